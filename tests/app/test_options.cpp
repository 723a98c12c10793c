// The chart options and the interval fields on the real window: when their
// handlers fire, what they change, the mark on a field that does not convert,
// and the settings file loaded at start-up through them.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "window_fixture.h"
#include "colour_box.h"
#include "errors.h"
#include "startup.h"

using namespace pom;
using namespace pom::test;

namespace {

constexpr Colour Red = 0x0000FF;
constexpr Colour Blue = 0xFF0000;
constexpr Colour Green = 0x008000;

void writeSettings(const QStringList& lines)
{
    QFile file(QStringLiteral("config.kvt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const QString& line : lines)
        file.write(line.toLatin1() + "\r\n");
}

QStringList settingsLines(const QString& plotting, const QString& colour, const QString& minutes,
                          const QString& seconds)
{
    return {"TORNI - Jednokanalowy pomiarownik temperatury. Plik konfiguracyjny",
            "25", "22", "0", "plynacy", plotting, colour, "100", minutes, seconds};
}

bool markedInvalid(const QLineEdit* edit)
{
    return edit->palette().color(QPalette::Active, QPalette::Text) == QColor(Qt::red)
        && edit->toolTip() == QString::fromUtf8("Niepoprawna liczba całkowita");
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT

private slots:
    void init() { m_world = std::make_unique<WindowFixture>(); }
    void cleanup() { m_world.reset(); }

    void plottingShowsTheLineInTheBoxColour();
    void colourChangesOnlyOnThePick();
    void slidingEnablesTheLengthField();
    void interval_data();
    void interval();
    void typingALeadingMinusReportsAtOnce();
    void invalidMark_data();
    void invalidMark();
    void startUpLoadsStoredColourButLineStaysRed();
    void savedSettingsComeBackAtTheNextStart();
    void loadErrorsEndStartUp_data();
    void loadErrorsEndStartUp();

private:
    const std::vector<FakeDialogs::Shown>& shown() { return m_world->dialogs().shown; }

    std::unique_ptr<WindowFixture> m_world;
};

void TestOptions::plottingShowsTheLineInTheBoxColour()
{
    TForm1& f = m_world->form;
    ChartModel& series = f.chartModel();
    series.addPoints({{45000.1, 20.0}, {45000.2, 21.0}});
    f.ColorBox1->setSelected(Blue);
    QCOMPARE(series.seriesColour(), Red);

    QTest::mouseClick(f.CheckBox1, Qt::LeftButton);
    QVERIFY(f.CheckBox1->isChecked());
    QCOMPARE(series.seriesColour(), Blue);
    QVERIFY(series.seriesActive());
    QVERIFY(f.ColorBox1->isEnabled());

    f.ColorBox1->setSelected(Green);
    f.CheckBox1->setChecked(false);
    QCOMPARE(series.seriesColour(), Green);  // unticking also takes the box's colour
    QVERIFY(!series.seriesActive());
    QVERIFY(!f.ColorBox1->isEnabled());
    QCOMPARE(series.pointCount(), std::size_t(2));

    // The same state again fires nothing.
    f.ColorBox1->setSelected(Blue);
    f.CheckBox1->setChecked(false);
    QCOMPARE(series.seriesColour(), Green);
}

void TestOptions::colourChangesOnlyOnThePick()
{
    TForm1& f = m_world->form;
    ChartModel& series = f.chartModel();
    f.CheckBox1->setChecked(true);

    f.ColorBox1->setSelected(Green);
    QCOMPARE(series.seriesColour(), Red);

    // The operator steps to the next entry, clOlive after clGreen.
    QTest::keyClick(f.ColorBox1, Qt::Key_Down);
    QCOMPARE(f.ColorBox1->selected(), Colour(0x008080));
    QCOMPARE(series.seriesColour(), Colour(0x008080));
    QVERIFY(series.seriesActive());
}

void TestOptions::slidingEnablesTheLengthField()
{
    TForm1& f = m_world->form;
    f.Edit10->setText("250");
    QTest::mouseClick(f.CheckBox2, Qt::LeftButton);
    QVERIFY(f.Edit10->isEnabled());
    QVERIFY(f.Label3->isEnabled());
    QTest::mouseClick(f.CheckBox2, Qt::LeftButton);
    QVERIFY(!f.Edit10->isEnabled());
    QVERIFY(!f.Label3->isEnabled());
    QCOMPARE(f.Edit10->text(), QString("250"));
}

void TestOptions::interval_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<int>("minutesMs");
    QTest::addColumn<int>("secondsMs");
    QTest::addColumn<int>("wait");
    QTest::addColumn<QString>("error");
    // Each case starts from 7 minutes and 0 seconds: a wait of 418000.
    QTest::newRow("0/2 is not above 2000") << "0" << "2" << 0 << 2000 << 0 << "";
    QTest::newRow("0/3") << "0" << "3" << 0 << 3000 << 1000 << "";
    QTest::newRow("1/0") << "1" << "0" << 60000 << 0 << 58000 << "";
    QTest::newRow("empty minutes") << "" << "5" << 0 << 5000 << 3000 << "";
    QTest::newRow("00") << "00" << "0" << 0 << 0 << 0 << "";
    QTest::newRow("leading space") << " 5" << "0" << 300000 << 0 << 298000 << "";
    QTest::newRow("hexadecimal") << "$A" << "0" << 600000 << 0 << 598000 << "";
    QTest::newRow("negative") << "-1" << "0" << -60000 << 0 << 0 << "";
    QTest::newRow("trailing space") << "5 " << "0" << 420000 << 0 << 418000
                                    << "'5 ' is not a valid integer value.";
    QTest::newRow("bad seconds") << "7" << "1a" << 420000 << 0 << 418000
                                 << "'1a' is not a valid integer value.";
}

void TestOptions::interval()
{
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    QFETCH(int, minutesMs);
    QFETCH(int, secondsMs);
    QFETCH(int, wait);
    QFETCH(QString, error);
    TForm1& f = m_world->form;
    const RecorderState& s = f.state();
    f.Edit1->setText("7");
    QCOMPARE(s.IntervalWait, 418000);

    f.Edit2->setText(seconds);
    f.Edit1->setText(minutes);
    QCOMPARE(s.IntervalMinutesMs, minutesMs);
    QCOMPARE(s.IntervalSecondsMs, secondsMs);
    QCOMPARE(s.IntervalWait, wait);
    QCOMPARE(f.Edit1->text(), minutes);
    QCOMPARE(f.Edit2->text(), seconds);
    if (error.isEmpty()) {
        QVERIFY(shown().empty());
    } else {
        QCOMPARE(shown().size(), std::size_t(1));
        QCOMPARE(shown()[0].kind, std::string("error"));
        QCOMPARE(QString::fromStdString(shown()[0].text), error);
    }
}

void TestOptions::typingALeadingMinusReportsAtOnce()
{
    TForm1& f = m_world->form;
    f.Edit1->setText("1");
    f.Edit1->clear();
    QTest::keyClicks(f.Edit1, "-1");
    QCOMPARE(shown().size(), std::size_t(1));
    QCOMPARE(shown()[0].text, std::string("'-' is not a valid integer value."));
    QCOMPARE(f.state().IntervalMinutesMs, -60000);
    QCOMPARE(f.state().IntervalWait, 0);
}

void TestOptions::invalidMark_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("bad");
    QTest::addColumn<QString>("good");
    QTest::newRow("minutes") << "Edit1" << "5 " << "";
    QTest::newRow("seconds") << "Edit2" << "x" << "0";
    QTest::newRow("length zero") << "Edit10" << "0" << "1";
    QTest::newRow("length text") << "Edit10" << "sto" << "100";
    QTest::newRow("upper threshold") << "Edit4" << "" << "-5";
    QTest::newRow("lower threshold") << "Edit5" << "22,5" << "$16";
}

void TestOptions::invalidMark()
{
    QFETCH(QString, field);
    QFETCH(QString, bad);
    QFETCH(QString, good);
    auto* edit = m_world->form.findChild<QLineEdit*>(field);
    QVERIFY(edit);
    QVERIFY(!markedInvalid(edit));
    const QColor normal = edit->palette().color(QPalette::Active, QPalette::Text);

    edit->setText(bad);
    QVERIFY(markedInvalid(edit));
    QCOMPARE(edit->text(), bad);
    edit->setText(good);
    QVERIFY(!markedInvalid(edit));
    QVERIFY(edit->toolTip().isEmpty());
    QCOMPARE(edit->palette().color(QPalette::Active, QPalette::Text), normal);
}

void TestOptions::startUpLoadsStoredColourButLineStaysRed()
{
    writeSettings(settingsLines("kresl", "16711680", "1", "30"));
    LoadSettingsStep(m_world->form);
    TForm1& f = m_world->form;
    QCOMPARE(f.ColorBox1->selected(), Blue);
    QVERIFY(f.ColorBox1->isEnabled());
    QCOMPARE(f.chartModel().seriesColour(), Red);
    QVERIFY(f.chartModel().seriesActive());
    QVERIFY(f.Edit10->isEnabled());
    QVERIFY(f.Label3->isEnabled());
    QCOMPARE(f.state().IntervalMinutesMs, 60000);
    QCOMPARE(f.state().IntervalSecondsMs, 30000);
    QCOMPARE(f.state().IntervalWait, 88000);
    QVERIFY(shown().empty());

    // The stored colour reaches the line with the next click on "Kresl".
    QTest::mouseClick(f.CheckBox1, Qt::LeftButton);
    QCOMPARE(f.chartModel().seriesColour(), Blue);
}

void TestOptions::savedSettingsComeBackAtTheNextStart()
{
    TForm1& f = m_world->form;
    f.Edit4->setText("31");
    f.Edit5->setText(QString(40, 'a'));
    f.CheckBox3->setChecked(true);
    f.CheckBox1->setChecked(true);
    f.ColorBox1->setSelected(0xFF00000F);  // clBtnFace
    f.Edit10->setText("15");
    f.Edit1->setText("2");
    f.Edit2->setText("5");
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QVERIFY(shown().empty());

    TForm1 next(m_world->fx.services.form());
    LoadSettingsStep(next);
    QCOMPARE(next.Edit4->text(), QString("31"));
    QCOMPARE(next.Edit5->text(), QString(32, 'a'));
    QVERIFY(next.CheckBox3->isChecked());
    QVERIFY(!next.CheckBox2->isChecked());
    QVERIFY(next.CheckBox1->isChecked());
    QCOMPARE(next.ColorBox1->selected(), Colour(0xFF00000F));
    QCOMPARE(next.Edit10->text(), QString("15"));
    QCOMPARE(next.Edit1->text(), QString("2"));
    QCOMPARE(next.Edit2->text(), QString("5"));
    QCOMPARE(next.state().IntervalWait, 123000);
    QVERIFY(shown().empty());
}

void TestOptions::loadErrorsEndStartUp_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("seconds");  // Edit2 once loading has ended
    QTest::newRow("no file") << QStringList() << "EInOutError" << "File not found" << "0";
    QTest::newRow("colour") << settingsLines("kresl", "red", "1", "30") << "EInOutError"
                            << "Invalid numeric input" << "0";
    QTest::newRow("minutes") << settingsLines("kresl", "255", "5 ", "30") << "EConvertError"
                             << "'5 ' is not a valid integer value" << "0";
    QTest::newRow("seconds") << settingsLines("kresl", "255", "1", "3O") << "EConvertError"
                             << "'3O' is not a valid integer value" << "3O";
}

void TestOptions::loadErrorsEndStartUp()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QFETCH(QString, seconds);
    if (!lines.isEmpty())
        writeSettings(lines);
    try {
        LoadSettingsStep(m_world->form);
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(QString::fromStdString(e.kind()), kind);
        QCOMPARE(QString(e.what()), message);
    }
    // Raised to the start-up, not reported in the window's error box, and
    // the loading stopped where the error came.
    QVERIFY(shown().empty());
    QCOMPARE(m_world->form.Edit2->text(), seconds);

    // Once loading is over, the handlers report their errors again.
    m_world->form.Edit1->setText("x");
    QCOMPARE(shown().size(), std::size_t(1));
    QCOMPARE(shown()[0].kind, std::string("error"));
}

QTEST_MAIN(TestOptions)
#include "test_options.moc"
