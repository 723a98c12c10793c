// The operator's aids around the main window: the busy look while discovery
// holds the window, and the fonts the design names.
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <stdexcept>

#include "app_fixture.h"
#include "chart_view.h"
#include "discovery_progress.h"

namespace pom::test {

namespace {

bool busy()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

QLabel* portLabel(QWidget& window)
{
    return window.findChild<QLabel*>(QStringLiteral("DiscoveryPort"));
}

// The dialogs, noting whether the busy look was still on when a box came up.
class WatchedDialogs final : public Dialogs {
public:
    void message(const std::string& text, const std::string& title) override
    {
        busyAtBox = busyAtBox || busy() || portLabel(*window);
        fake.message(text, title);
    }
    void error(const std::string& text) override { fake.error(text); }
    void applicationError(const std::string& text) override { fake.applicationError(text); }
    bool confirm(const std::string& text, const std::string& title) override
    {
        return fake.confirm(text, title);
    }
    std::optional<std::string> openFileName() override { return fake.openFileName(); }
    std::optional<std::string> saveFileName() override { return fake.saveFileName(); }
    void beep() override { fake.beep(); }
    bool printDialog(Printer& printer) override { return fake.printDialog(printer); }

    FakeDialogs fake;
    QWidget* window = nullptr;
    bool busyAtBox = false;
};

} // namespace

class TestWindowAids : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void theScanIsBusyUntilItsBox_data();
    void theScanIsBusyUntilItsBox();
    void anErrorEndsTheBusyLook();
    void arialIsMetricCompatible_data();
    void arialIsMetricCompatible();

private:
    std::unique_ptr<WorkDir> m_work;
    std::unique_ptr<AppServices> m_services;
    std::unique_ptr<WatchedDialogs> m_dialogs;
    std::unique_ptr<TForm1> m_form;
};

void TestWindowAids::init()
{
    m_work = std::make_unique<WorkDir>();
    m_services = std::make_unique<AppServices>();
    m_dialogs = std::make_unique<WatchedDialogs>();
    m_form = std::make_unique<TForm1>(FormServices{*m_dialogs, m_services->port,
                                                   m_services->clock, RegionalFormats{}});
    m_dialogs->window = m_form.get();
    m_form->show();
}

void TestWindowAids::cleanup()
{
    m_form.reset();
    m_dialogs.reset();
    m_services.reset();
    m_work.reset();
}

void TestWindowAids::theScanIsBusyUntilItsBox_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("title");
    QTest::newRow("silent port") << QString() << QStringLiteral("Uwaga !");
    QTest::newRow("thermometer") << QStringLiteral("+0023.5\r") << QStringLiteral("Znaleziono  :");
}

void TestWindowAids::theScanIsBusyUntilItsBox()
{
    QFETCH(QString, reply);
    QFETCH(QString, title);
    bool busyOnPort7 = false;
    QString shown;
    // Port 7 is asked while the scan runs: the look is checked from inside it.
    m_services->port.add(7, [&](const std::vector<std::uint8_t>&) {
        busyOnPort7 = busy();
        if (QLabel* label = portLabel(*m_form); label && label->isVisible())
            shown = label->text();
        const std::string r = reply.toStdString();
        return std::vector<std::uint8_t>(r.begin(), r.end());
    });
    m_form->OpenComm->click();

    QVERIFY(busyOnPort7);
    QCOMPARE(shown, portAttemptText(7));
    QCOMPARE(shown, QStringLiteral("Sprawdzany port: COM7"));
    QCOMPARE(m_dialogs->fake.shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(m_dialogs->fake.shown[0].title), title);
    QVERIFY(!m_dialogs->busyAtBox);
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(!portLabel(*m_form));
}

void TestWindowAids::anErrorEndsTheBusyLook()
{
    try {
        DiscoveryProgress progress(*m_dialogs, m_form->Chart1);
        progress.attempt(3);
        QVERIFY(busy());
        QCOMPARE(portLabel(*m_form)->text(), portAttemptText(3));
        throw std::runtime_error("port fault");
    } catch (const std::runtime_error&) {
    }
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(!portLabel(*m_form));
}

void TestWindowAids::arialIsMetricCompatible_data()
{
    QTest::addColumn<QString>("control");
    for (const char* name : {"Edit3", "GroupBox1", "OpenComm", "Button1", "Edit1", "Label6"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// Where Arial itself is missing, fontconfig's metric alias must give Liberation
// Sans, so that the texts fit the design's pixel geometry.
void TestWindowAids::arialIsMetricCompatible()
{
    QFETCH(QString, control);
    auto* widget = m_form->findChild<QWidget*>(control);
    QVERIFY(widget);
    const QString family = QFontInfo(widget->font()).family();
    QVERIFY2(family == QLatin1String("Arial") || family == QLatin1String("Liberation Sans"),
             qPrintable(family));
}

} // namespace pom::test

QTEST_MAIN(pom::test::TestWindowAids)
#include "test_window_aids.moc"
