// Start-up: the settings step runs before the window is shown, closing the
// window ends with 0, and an error escaping a start-up step is the
// "Application Error" report with exit code 1 and no window.
#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <stdexcept>

#include "app_fixture.h"
#include "errors.h"
#include "startup.h"

using namespace pom;
using namespace pom::test;

namespace {

// Counts the main window being shown, whichever window it is.
class ShowCounter : public QObject {
public:
    int shows = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<TForm1*>(watched))
            ++shows;
        return false;
    }
};

struct StepRecord {
    bool ran = false;
    bool visibleWhenRun = true;
    QString captionWhenRun;
} g_step;

void closingStep(TForm1& form)
{
    g_step.ran = true;
    g_step.visibleWhenRun = form.isVisible();
    g_step.captionWhenRun = form.windowTitle();
    // Close the window once the event loop runs, as the operator would.
    QTimer::singleShot(0, &form, &QWidget::close);
}

void failIo(TForm1&)
{
    throw InOutError(io::FileNotFound);
}

void failConvert(TForm1&)
{
    throw ConvertError("'abc' is not a valid integer value");
}

void failStd(TForm1&)
{
    throw std::out_of_range("index past the end.");
}

const StartupStep failingSteps[] = {&failIo, &failConvert, &failStd};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_fx = std::make_unique<AppFixture>();
        g_step = {};
        qApp->installEventFilter(&m_shows);
    }
    void cleanup()
    {
        qApp->removeEventFilter(&m_shows);
        m_shows.shows = 0;
        m_fx.reset();
    }

    void normalStart();
    void formCreateErrorDoesNotStopStart();
    void applicationError_data();
    void applicationError();

private:
    std::unique_ptr<AppFixture> m_fx;
    ShowCounter m_shows;
};

void TestStartup::normalStart()
{
    const int code = runApplication(m_fx->services.form(), {"/usr/bin/pomiarownik", &closingStep});
    QCOMPARE(code, 0);
    QVERIFY(g_step.ran);
    QVERIFY(!g_step.visibleWhenRun);
    QCOMPARE(g_step.captionWhenRun, QString("Pomiarownik.     zrx1.txt"));
    QCOMPARE(m_shows.shows, 1);
    QVERIFY(m_fx->services.dialogs.shown.empty());
}

void TestStartup::formCreateErrorDoesNotStopStart()
{
    QVERIFY(QDir::current().mkdir("zrx1.txt"));
    const int code = runApplication(m_fx->services.form(), {"/usr/bin/pomiarownik", &closingStep});
    QCOMPARE(code, 0);
    QCOMPARE(m_fx->services.dialogs.shown.size(), std::size_t(1));
    QCOMPARE(m_fx->services.dialogs.shown[0].kind, std::string("error"));
    QVERIFY(g_step.ran);
    QCOMPARE(g_step.captionWhenRun, QString("Pomiarownik"));
    QCOMPARE(m_shows.shows, 1);
}

void TestStartup::applicationError_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("I/O") << 0 << "EInOutError" << "File not found.";
    QTest::newRow("conversion") << 1 << "EConvertError" << "'abc' is not a valid integer value.";
    QTest::newRow("std") << 2 << "std::out_of_range" << "index past the end.";
}

void TestStartup::applicationError()
{
    QFETCH(int, step);
    QFETCH(QString, kind);
    QFETCH(QString, message);
    const StartupStep failing = failingSteps[step];

    const int code = runApplication(m_fx->services.form(), {"/opt/torni/bin/pomiarownik", failing});
    QCOMPARE(code, 1);
    QCOMPARE(m_shows.shows, 0);

    const auto& shown = m_fx->services.dialogs.shown;
    QCOMPARE(shown.size(), std::size_t(1));
    QCOMPARE(shown[0].kind, std::string("applicationError"));
    const QString text = QString::fromStdString(shown[0].text);
    const QRegularExpression shape("^Exception " + QRegularExpression::escape(kind)
                                   + " in module pomiarownik at ([0-9A-F]{8})\\.\\n"
                                   + QRegularExpression::escape(message) + "$");
    const QRegularExpressionMatch match = shape.match(text);
    QVERIFY2(match.hasMatch(), qPrintable(text));
    // The location names the failing step within its module.
    QCOMPARE(match.captured(1).toUInt(nullptr, 16), codeLocation(failing));
    QVERIFY(codeLocation(failing) != 0);
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
