// Discovery over a bank of fake ports on a fake clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "chart_model.h"
#include "discovery.h"
#include "fakes.h"
#include "time_window.h"

namespace pom {
namespace {

namespace fs = std::filesystem;

class Discovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("pom-discovery-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        m_oldDir = fs::current_path();
        fs::current_path(m_dir);
        CreateDefaultLog(log);
    }
    void TearDown() override
    {
        fs::current_path(m_oldDir);
        fs::remove_all(m_dir);
    }
    void discover()
    {
        DiscoveryEnv env{ch, port, clock, dialogs, controls, log, formats,
                         [this] { FreezeTimeAxis(chart); }};
        DiscoverDevice(env);
    }
    std::string logBytes()
    {
        std::ifstream in(log.LogFileName, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    ChannelState ch;
    test::FakeSerialPort port;
    test::FakeClock clock;
    test::FakeDialogs dialogs;
    test::FakeControls controls;
    LogState log;
    RegionalFormats formats = regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");
    ChartModel chart;

private:
    fs::path m_dir, m_oldDir;
};

TEST_F(Discovery, ThermometerOnPort3IsFoundAfterTheSilentPortsBeforeIt)
{
    port.add(1);                       // opens, stays silent
    port.add(2, test::answer("junk"));  // opens, wrong shape
    port.add(3, test::answer("1+0023.5\r"));
    port.add(4, test::answer("+0023.5\r"));
    discover();

    EXPECT_EQ(port.opens, 3);          // ports 4 and above are never opened
    EXPECT_EQ(port.closes, 2);
    EXPECT_TRUE(port.device(3).open);
    EXPECT_FALSE(port.device(4).open);
    EXPECT_EQ(clock.sleptMs, 3 * (85 + 1000));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "P-410");
    EXPECT_EQ(dialogs.shown[0].title, "Znaleziono  :");
    EXPECT_EQ(controls.text(Ctl::OpenComm), "&Mierz");
    EXPECT_EQ(ch.DropLeadingChar, -1);
    EXPECT_EQ(ch.InsertDecimalPoint, 0);
    EXPECT_EQ(ch.PortHandle, 4u);      // the fake's handle for port 3
    EXPECT_EQ(ch.TxBuffer, Buffer65{});
    EXPECT_EQ(ch.RxBuffer, Buffer65{});
    EXPECT_FALSE(chart.bottomAutomatic());
    EXPECT_EQ(logBytes().rfind(LogHeaderPrefix, 0), 0u);
    EXPECT_EQ(logBytes().substr(logBytes().size() - 4), "\r\n\r\n");
}

TEST_F(Discovery, NoPortAtAllTakes511OpensAndNoWaits)
{
    ch.InsertDecimalPoint = -1;  // flags keep their values on failure
    discover();
    EXPECT_EQ(port.opens, 511);
    EXPECT_EQ(clock.sleptMs, 0);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Urządzenie nie odpowiada ");
    EXPECT_EQ(dialogs.shown[0].title, "Uwaga !");
    EXPECT_EQ(controls.text(Ctl::OpenComm), "&Połącz");
    EXPECT_EQ(ch.PortHandle, InvalidHandle);
    EXPECT_EQ(ch.InsertDecimalPoint, -1);
    EXPECT_FALSE(chart.bottomAutomatic());  // frozen in both outcomes
    EXPECT_EQ(logBytes(), "");
}

TEST_F(Discovery, PortZeroIsTriedAfter255AndThePassRepeats)
{
    port.add(0, test::answer("+0012.5\r"));
    discover();
    EXPECT_EQ(port.opens, 256);
    EXPECT_EQ(dialogs.shown.at(0).text, "KVT-4xx");
}

TEST_F(Discovery, ASilentPortIsTriedOnBothPasses)
{
    port.add(9);
    discover();
    EXPECT_EQ(clock.sleptMs, 2 * (85 + 1000));
    EXPECT_EQ(port.closes, 2);
}

TEST_F(Discovery, NoHeaderOnceTheLogIsNoLongerTheDefaultFile)
{
    port.add(1, test::answer("+00235\r"));
    const std::string other = (fs::current_path() / "zrx1.txt").string();  // same file, other name
    log.LogFileName = other;
    discover();
    EXPECT_EQ(controls.text(Ctl::OpenComm), "&Mierz");
    EXPECT_EQ(logBytes(), "");
}

TEST_F(Discovery, AHeaderErrorSkipsTheRestOfTheOutcome)
{
    port.add(1, test::answer("+0023.5\r"));
    fs::remove(log.LogFileName);  // the header never creates the file
    EXPECT_THROW(discover(), InOutError);
    EXPECT_EQ(controls.text(Ctl::OpenComm), "&Mierz");
    EXPECT_TRUE(chart.bottomAutomatic());
    EXPECT_EQ(bufferText(ch.RxBuffer), "KVT-4xx");
}

TEST_F(Discovery, AFailedTransmitIsRetriedAndThenRejectsThePort)
{
    port.add(1, test::answer("+0023.5\r")).failingWaits = MaxSendAttempts;
    port.add(2, test::answer("+0023.5\r")).failingWaits = 1;
    discover();
    EXPECT_FALSE(port.device(1).open);
    EXPECT_TRUE(port.device(2).open);
    EXPECT_EQ(port.device(2).written.size(), 2 * QueryCommand.size());
}

} // namespace
} // namespace pom
