// The log failing while the worker records: deleted, on a file system turned
// read-only, locked by another program, on a full disk. Each time the worker
// holds with the line, reports the error, and writes the line once resumed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "crossing.h"
#include "fault_support.h"
#include "temp_dir.h"
#include "worker.h"

namespace pom {
namespace {

namespace fs = std::filesystem;

constexpr int FastReplyWaitMs = 10;
constexpr int SettleMs = 300;

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Fault {
    std::function<void()> make;
    std::function<void()> mend;
    std::string message;
    bool newLog = false;  // mended by a new, empty log, which starts with the held line
};

class FileFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldDir = fs::current_path();
        m_port.add(7, test::answer("+0023.5\r"));
        ASSERT_TRUE(OpenPort(m_w.channel, m_port, 7));
        m_ui.bindToCurrentThread();
    }
    void TearDown() override
    {
        m_worker.stop();
        fs::current_path(m_oldDir);
    }

    bool serveUntil(const std::function<bool()>& done, int ms) { return m_ui.drainUntil(done, ms); }
    std::size_t lines() const { return test::readLog(m_log.LogFileName).counts.size(); }
    std::string logPath() const { return fs::absolute(m_log.LogFileName).string(); }

    // Records in dir, with a header, until a few lines are in.
    void record(const std::string& dir)
    {
        fs::current_path(dir);
        CreateDefaultLog(m_log);
        WriteLogHeader(m_log, m_w.clock.now(), m_w.formats);
        m_worker.start(m_env);
        ASSERT_TRUE(serveUntil([&] { return lines() >= 3; }, 5000));
    }

    void provoke(const Fault& fault);

    test::FakeSerialPort m_port;
    test::CycleWorld m_w;
    LogState& m_log = m_w.log;
    SampleState& m_samples = m_w.samples;
    UiQueue m_ui{{}};
    CrossingControls m_workerControls{m_ui, m_w.controls};
    CrossingChart m_workerChart{m_ui, m_w.chart};
    MeasurementWorker m_worker{m_ui};
    std::vector<std::string> m_failures;
    // As the window does: on the UI thread, note the error and hold the worker.
    CycleEnv m_env{m_w.channel, m_port, m_log, m_samples, m_w.cycle, m_workerControls, m_workerChart,
                   m_w.clock, m_w.formats, m_worker.gate(),
                   CycleHooks{{}, [this](const std::string& message) {
                                  m_ui.call([&] {
                                      m_failures.push_back(message);
                                      m_worker.gate().pause();
                                  });
                              }},
                   FastReplyWaitMs};

private:
    fs::path m_oldDir;
};

// The fault is made while paused, so that it meets the next cycle's log
// steps rather than a log already open.
void FileFaults::provoke(const Fault& fault)
{
    m_worker.pause();
    fault.make();
    m_worker.resume();
    ASSERT_TRUE(serveUntil([&] { return !m_failures.empty(); }, 20000));
    EXPECT_EQ(m_failures, std::vector<std::string>{fault.message});
    EXPECT_TRUE(m_worker.gate().paused());

    // Held: nothing more is counted or written, and no part of the line stays.
    const int held = m_samples.SampleCount;
    const std::string atHold = fileBytes(m_log.LogFileName);
    serveUntil([] { return false; }, SettleMs);
    EXPECT_EQ(m_samples.SampleCount, held);
    EXPECT_EQ(fileBytes(m_log.LogFileName), atHold);
    EXPECT_EQ(test::readLog(m_log.LogFileName).fault, "");

    fault.mend();
    m_worker.resume();
    // Read from the file: the count itself is the worker's while it runs.
    ASSERT_TRUE(serveUntil([&] {
        const auto counts = test::readLog(m_log.LogFileName).counts;
        return !counts.empty() && counts.back() >= held + 2;
    }, 5000));
    m_worker.pause();

    const auto log = test::readLog(m_log.LogFileName);
    EXPECT_EQ(log.fault, "");
    EXPECT_EQ(log.headed, !fault.newLog);
    EXPECT_EQ(test::countsProblem(log, fault.newLog ? held : 1), "");
    ASSERT_FALSE(log.counts.empty());
    EXPECT_EQ(log.counts.back(), m_samples.SampleCount);
    EXPECT_GT(log.counts.back(), held);
    EXPECT_EQ(m_failures.size(), 1u);
}

TEST_F(FileFaults, DeletedLogHoldsUntilThereIsOneAgain)
{
    test::TempDir dir;
    record(dir.path());
    const std::string path = logPath();
    // The deleted lines are the operator's loss; from the held one on, none is lost.
    provoke({[&] { fs::remove(path); }, [&] { std::ofstream{path}; }, "File not found", true});
}

TEST_F(FileFaults, LogOnAFileSystemTurnedReadOnlyHoldsUntilWritableAgain)
{
    if (!test::ScratchMount::available())
        GTEST_SKIP() << "needs root to mount and remount a tmpfs";
    test::ScratchMount disk(256);
    record(disk.path());
    provoke({[&] { disk.remount(true); }, [&] { disk.remount(false); }, "File access denied"});
}

TEST_F(FileFaults, LogLockedByAnotherProgramHoldsUntilReleased)
{
    test::TempDir dir;
    record(dir.path());
    std::unique_ptr<test::LockHolder> other;
    provoke({[&] { other = std::make_unique<test::LockHolder>(logPath()); },
             [&] { other.reset(); }, "I/O error 32"});
}

TEST_F(FileFaults, FullDiskCutsTheHalfLineBackAndHoldsUntilThereIsRoom)
{
    if (!test::ScratchMount::available())
        GTEST_SKIP() << "needs root to mount a tmpfs";
    test::ScratchMount disk(256);
    record(disk.path());
    // The log's last page still has room: lines go on until one breaks across it.
    provoke({[&] { disk.fill(); }, [&] { disk.unfill(); }, "Disk full"});
}

} // namespace
} // namespace pom
