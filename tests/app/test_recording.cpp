// Live recording end to end: the real window, the real serial layer and the
// simulated thermometer on a pseudo-terminal linked as port 7.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <memory>

#include "app_fixture.h"
#include "serial_posix.h"
#include "sim_process.h"
#include "temp_dir.h"

namespace pom::test {

class TestRecording : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void recordsPausesResumesAndExits();
    void everyModelLogsTheCommonLayout_data();
    void everyModelLogsTheCommonLayout();

private:
    void startThermometer(const std::string& model);
    std::unique_ptr<TForm1> makeForm();
    QStringList logLines() const;
    void press() { QTest::mouseClick(m_form->OpenComm, Qt::LeftButton); }

    std::unique_ptr<WorkDir> m_work;
    std::unique_ptr<TempDir> m_links;
    std::unique_ptr<SimProcess> m_sim;
    std::unique_ptr<SerialPort> m_port;
    FakeDialogs m_dialogs;
    SystemClock m_clock;
    std::unique_ptr<TForm1> m_form;
};

void TestRecording::init()
{
    m_work = std::make_unique<WorkDir>();
    m_links = std::make_unique<TempDir>();
    m_dialogs = FakeDialogs{};
}

void TestRecording::cleanup()
{
    m_form.reset();
    m_port.reset();
    m_sim.reset();
    m_links.reset();
    m_work.reset();
}

void TestRecording::startThermometer(const std::string& model)
{
    m_sim = std::make_unique<SimProcess>(POM_THERMO_SIM, m_links->path(),
                                         std::vector<std::string>{"--model", model, "--constant", "23.5"});
    m_port = makePosixSerialPort(m_links->path());
    m_form = std::make_unique<TForm1>(FormServices{
        m_dialogs, *m_port, m_clock, regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S")});
}

QStringList TestRecording::logLines() const
{
    std::ifstream in("zrx1.txt", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    QStringList lines = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())).split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void TestRecording::recordsPausesResumesAndExits()
{
    startThermometer("KVT-4xx");
    press();
    QCOMPARE(m_dialogs.shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(m_dialogs.shown[0].text), QStringLiteral("KVT-4xx"));
    QCOMPARE(m_form->OpenComm->text(), QStringLiteral("&Mierz"));

    press();
    QCOMPARE(m_form->OpenComm->text(), QStringLiteral("&Wstrzymaj"));
    QTRY_VERIFY_WITH_TIMEOUT(logLines().size() >= 5, 12000);
    press();
    QCOMPARE(m_form->OpenComm->text(), QStringLiteral("&Wznów"));

    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 5);
    QVERIFY(QRegularExpression("^TORNI - Zapis temperatury:   \\d\\d\\.\\d\\d\\.\\d{4}$").match(lines[0]).hasMatch());
    QCOMPARE(lines[1], QString());
    for (int i = 1; i <= 3; ++i) {
        const QRegularExpression shape(QStringLiteral("^%1\\t\\d\\d:\\d\\d:\\d\\d\\t\\+0023\\.5$").arg(i));
        QVERIFY2(shape.match(lines[i + 1]).hasMatch(), qPrintable(lines[i + 1]));
    }

    QTest::qWait(2500);
    QCOMPARE(logLines().size(), 5);  // nothing while paused
    press();
    QTRY_COMPARE_WITH_TIMEOUT(logLines().size(), 6, 5000);
    QVERIFY(logLines()[5].startsWith("4\t"));
    press();

    m_dialogs.confirmAnswer = true;
    QTimer::singleShot(0, m_form.get(), [this] { m_form->Zakocz1->trigger(); });
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(m_dialogs.shown.back().text, std::string("Zakończenie pomiaru i zamknięcie aplikacji?"));
    QCOMPARE(logLines().size(), 6);

    // The port is free again for anyone else.
    auto other = makePosixSerialPort(m_links->path());
    const SerialHandle handle = other->createFile("\\\\.\\COM7");
    QVERIFY(handle != InvalidHandle);
    other->closeHandle(handle);
}

void TestRecording::everyModelLogsTheCommonLayout_data()
{
    QTest::addColumn<QString>("model");
    QTest::newRow("P-410") << "P-410";
    QTest::newRow("P-400") << "P-400";
}

void TestRecording::everyModelLogsTheCommonLayout()
{
    QFETCH(QString, model);
    startThermometer(model.toStdString());
    press();
    QCOMPARE(QString::fromStdString(m_dialogs.shown.at(0).text), model);
    press();
    QTRY_VERIFY_WITH_TIMEOUT(logLines().size() >= 3, 8000);
    press();
    QVERIFY2(logLines()[2].endsWith("\t+0023.5"), qPrintable(logLines()[2]));
    QCOMPARE(m_form->Edit3->text(), QStringLiteral("+0023.5"));
}

} // namespace pom::test

QTEST_MAIN(pom::test::TestRecording)
#include "test_recording.moc"
