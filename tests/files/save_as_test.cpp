#include <gtest/gtest.h>

#include "errors.h"
#include "fakes.h"
#include "save_as.h"
#include "temp_dir.h"

namespace pom {
namespace {

const RegionalFormats Formats = regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");

class SaveAsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDefaultLog(m_log);
        m_controls.setText(Ctl::Form, WindowCaption(m_log.LogFileName));
    }

    void appendLine(std::int32_t count)
    {
        Buffer65 reply{};
        copyText(reply, "+0021.5");
        AppendLogOpen(m_log);
        AppendLogWrite(m_log, count, 45000.5, reply, Formats);
        AppendLogClose(m_log);
    }

    void expectUnchanged()
    {
        EXPECT_EQ(m_log.LogFileName, DefaultLogName);
        EXPECT_EQ(m_log.LogFile.name(), DefaultLogName);
        EXPECT_EQ(m_controls.text(Ctl::Form), "Pomiarownik.     zrx1.txt");
    }

    test::TempDir m_dir;
    LogState m_log;
    test::FakeDialogs m_dialogs;
    test::FakeControls m_controls;
};

TEST_F(SaveAsTest, TheCopyBecomesTheLogAndTheCountsGoOn)
{
    for (std::int32_t count = 1; count <= 56; ++count)
        appendLine(count);
    const std::string before = test::readBytes(DefaultLogName);
    const std::string target = m_dir.file("kopia łódź.txt");
    m_dialogs.nextSave = target;

    ASSERT_TRUE(SaveLogAs(m_log, m_dialogs, m_controls));
    EXPECT_EQ(m_log.LogFileName, target);
    EXPECT_EQ(m_controls.text(Ctl::Form), "Pomiarownik.     " + target);
    appendLine(57);

    EXPECT_EQ(test::readBytes(DefaultLogName), before);
    const std::string copy = test::readBytes(target);
    EXPECT_EQ(copy.substr(0, before.size()), before);
    EXPECT_EQ(copy.substr(before.size()), "57\t12:00:00\t+0021.5\r\n");
}

TEST_F(SaveAsTest, CancelChangesNothing)
{
    EXPECT_FALSE(SaveLogAs(m_log, m_dialogs, m_controls));
    expectUnchanged();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(SaveAsTest, AnExistingTargetIsReplaced)
{
    appendLine(1);
    const std::string target = m_dir.file("old.txt");
    test::writeBytes(target, std::string(10000, 'x'));
    m_dialogs.nextSave = target;
    ASSERT_TRUE(SaveLogAs(m_log, m_dialogs, m_controls));
    EXPECT_EQ(test::readBytes(target), test::readBytes(DefaultLogName));
}

TEST_F(SaveAsTest, AFailedCopyIsReportedAndKeepsTheCurrentLog)
{
    appendLine(1);
    m_dialogs.nextSave = m_dir.file("no such folder/copy.txt");
    EXPECT_THROW(SaveLogAs(m_log, m_dialogs, m_controls), InOutError);
    expectUnchanged();
    appendLine(2);
    EXPECT_EQ(test::readBytes(DefaultLogName).size(), 2 * std::string("1\t12:00:00\t+0021.5\r\n").size());
}

} // namespace
} // namespace pom
