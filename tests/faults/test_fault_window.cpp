// Faults met by the real window: the thermometer vanishing and coming back
// while it records, the log deleted under it, and a settings file that
// cannot be read at start or written at save.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app_fixture.h"
#include "fault_support.h"
#include "serial_posix.h"
#include "sim_process.h"
#include "startup.h"
#include "temp_dir.h"

namespace pom::test {

namespace {

// What a test does to the settings file before the window touches it.
enum class SettingsFault { Missing, Directory, LinkLoop, ReadOnlyDisk, FullDisk };

void spoilSettings(SettingsFault fault)
{
    if (fault == SettingsFault::Directory)
        QDir::current().mkdir("config.kvt");
    if (fault == SettingsFault::LinkLoop)
        std::filesystem::create_symlink("config.kvt", "config.kvt");
}

LogContents currentLog()
{
    return readLog("zrx1.txt");
}

} // namespace

class TestFaultWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void vanishedThermometerBeepsEveryCycleAndRecordingGoesOnWhenItReturns();
    void deletedLogHoldsTheWindowUntilResumed();
    void unreadableSettingsEndStartUp_data();
    void unreadableSettingsEndStartUp();
    void unwritableSettingsAreReported_data();
    void unwritableSettingsAreReported();

private:
    void press() { QTest::mouseClick(m_form->OpenComm, Qt::LeftButton); }
    QString caption() const { return m_form->OpenComm->text(); }

    std::unique_ptr<AppFixture> m_fx;
    std::unique_ptr<TForm1> m_form;
};

void TestFaultWindow::init()
{
    m_fx = std::make_unique<AppFixture>();
}

void TestFaultWindow::cleanup()
{
    m_form.reset();
    m_fx.reset();
}

void TestFaultWindow::vanishedThermometerBeepsEveryCycleAndRecordingGoesOnWhenItReturns()
{
    TempDir links;
    SimProcess sim(POM_THERMO_SIM, links.path(), {"--ramp", "20:0.1"});
    const auto port = makePosixSerialPort(links.path());
    SystemClock clock;
    FakeDialogs& dialogs = m_fx->services.dialogs;
    m_form = std::make_unique<TForm1>(
        FormServices{dialogs, *port, clock, regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S")});
    press();
    QCOMPARE(caption(), QStringLiteral("&Mierz"));
    press();
    QTRY_VERIFY_WITH_TIMEOUT(currentLog().counts.size() >= 2, 8000);

    QCOMPARE(QString::fromStdString(sim.command("vanish")), QStringLiteral("ok vanish"));
    const int beepsBefore = dialogs.beeps;
    const std::size_t linesBefore = currentLog().counts.size();
    QTest::qWait(6500);
    // One beep a cycle, a cycle about every 2 s: no hang and no busy loop.
    QVERIFY2(dialogs.beeps - beepsBefore >= 2 && dialogs.beeps - beepsBefore <= 4,
             qPrintable(QString::number(dialogs.beeps - beepsBefore)));
    QCOMPARE(currentLog().counts.size(), linesBefore);

    // The window still answers at once: pause and resume.
    QElapsedTimer pausing;
    pausing.start();
    press();
    QCOMPARE(caption(), QStringLiteral("&Wznów"));
    QVERIFY(pausing.elapsed() < 1000);
    press();
    QCOMPARE(caption(), QStringLiteral("&Wstrzymaj"));

    QVERIFY(QString::fromStdString(sim.command("return")).startsWith("ready /"));
    QTRY_VERIFY_WITH_TIMEOUT(currentLog().counts.size() >= linesBefore + 2, 10000);
    press();

    const LogContents log = currentLog();
    QVERIFY(log.headed);
    QCOMPARE(QString::fromStdString(log.fault), QString());
    QCOMPARE(QString::fromStdString(countsProblem(log, 1)), QString());
    // Each reading once: the simulator's ramp rises with every reply.
    for (std::size_t i = 1; i < log.values.size(); ++i)
        QVERIFY2(std::stod(log.values[i]) > std::stod(log.values[i - 1]), log.values[i].c_str());
}

void TestFaultWindow::deletedLogHoldsTheWindowUntilResumed()
{
    m_fx->services.port.add(7, answer("+0023.5\r"));
    m_form = std::make_unique<TForm1>(m_fx->services.form());
    FakeDialogs& dialogs = m_fx->services.dialogs;
    press();
    press();
    QTRY_VERIFY_WITH_TIMEOUT(currentLog().counts.size() >= 1, 5000);
    press();
    QVERIFY(QFile::remove("zrx1.txt"));
    press();
    QCOMPARE(caption(), QStringLiteral("&Wstrzymaj"));

    // The failed line holds the worker as a pause would, and says why.
    QTRY_COMPARE_WITH_TIMEOUT(caption(), QStringLiteral("&Wznów"), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.shown.back().kind, std::string("error"), 1000);
    QCOMPARE(dialogs.shown.back().text, std::string("File not found."));
    QVERIFY(m_form->controls().enabled(Ctl::Plik1));
    const int held = m_form->state().SampleCount;
    const std::size_t shown = dialogs.shown.size();
    QTest::qWait(2500);
    QCOMPARE(m_form->state().SampleCount, held);
    QCOMPARE(dialogs.shown.size(), shown);
    QVERIFY(!QFile::exists("zrx1.txt"));

    std::ofstream{"zrx1.txt"};
    press();
    QCOMPARE(caption(), QStringLiteral("&Wstrzymaj"));
    QTRY_VERIFY_WITH_TIMEOUT(currentLog().counts.size() >= 2, 6000);
    press();
    const LogContents log = currentLog();
    QCOMPARE(QString::fromStdString(log.fault), QString());
    QCOMPARE(QString::fromStdString(countsProblem(log, held)), QString());
    QCOMPARE(dialogs.shown.size(), shown);
}

void TestFaultWindow::unreadableSettingsEndStartUp_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << int(SettingsFault::Missing) << "File not found.";
    QTest::newRow("a directory") << int(SettingsFault::Directory) << "File access denied.";
    QTest::newRow("a link to itself") << int(SettingsFault::LinkLoop) << "Invalid filename.";
}

void TestFaultWindow::unreadableSettingsEndStartUp()
{
    QFETCH(int, fault);
    QFETCH(QString, message);
    spoilSettings(static_cast<SettingsFault>(fault));
    // Should start-up go on after all, the event loop is ended rather than waited for.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, [] { QApplication::exit(99); });
    guard.start(3000);

    const int code = runApplication(m_fx->services.form(), StartupOptions{"/usr/bin/pomiarownik"});
    QCOMPARE(code, 1);
    const auto& shown = m_fx->services.dialogs.shown;
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].kind, std::string("applicationError"));
    const QRegularExpression report("^Exception EInOutError in module pomiarownik at [0-9A-F]{8}\\.\\n"
                                    + QRegularExpression::escape(message) + "$");
    QVERIFY2(report.match(QString::fromStdString(shown[0].text)).hasMatch(), shown[0].text.c_str());
}

void TestFaultWindow::unwritableSettingsAreReported_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("a directory") << int(SettingsFault::Directory) << "File access denied.";
    QTest::newRow("read-only disk") << int(SettingsFault::ReadOnlyDisk) << "File access denied.";
    QTest::newRow("full disk") << int(SettingsFault::FullDisk) << "Disk full.";
}

void TestFaultWindow::unwritableSettingsAreReported()
{
    QFETCH(int, fault);
    QFETCH(QString, message);
    const auto kind = static_cast<SettingsFault>(fault);
    const QString before = QDir::currentPath();
    std::unique_ptr<ScratchMount> disk;
    if (kind == SettingsFault::ReadOnlyDisk || kind == SettingsFault::FullDisk) {
        if (!ScratchMount::available())
            QSKIP("needs root to mount a tmpfs");
        disk = std::make_unique<ScratchMount>(256);
        QDir::setCurrent(QString::fromStdString(disk->path()));
    }
    m_form = std::make_unique<TForm1>(m_fx->services.form());
    spoilSettings(kind);
    if (kind == SettingsFault::ReadOnlyDisk)
        disk->remount(true);
    if (kind == SettingsFault::FullDisk)
        disk->fill();

    QTest::mouseClick(m_form->Button1, Qt::LeftButton);
    const auto& shown = m_fx->services.dialogs.shown;
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].kind, std::string("error"));
    QCOMPARE(QString::fromStdString(shown[0].text), message);
    // The window goes on: a second save reports again.
    QTest::mouseClick(m_form->Button1, Qt::LeftButton);
    QCOMPARE(shown.size(), std::size_t{2});

    m_form.reset();
    QDir::setCurrent(before);
}

} // namespace pom::test

QTEST_MAIN(pom::test::TestFaultWindow)
#include "test_fault_window.moc"
