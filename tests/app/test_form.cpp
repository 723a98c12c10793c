// The window after FormCreate: its design state, its frame, its menus, and
// the default log it creates.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

#include "app_fixture.h"
#include "colour_box.h"
#include "form.h"

using namespace pom;
using namespace pom::test;

namespace {

QString captionOf(QWidget* w)
{
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    return {};
}

} // namespace

class TestForm : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_fx = std::make_unique<AppFixture>();
    }
    void cleanup()
    {
        m_fx.reset();
    }

    void designState_data();
    void designState();
    void colours();
    void clientArea();
    void menus();
    void formCreate();
    void truncatesExistingLog();
    void defaultLogFailure();

private:
    std::unique_ptr<AppFixture> m_fx;
};

void TestForm::designState_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("fixedPitch");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");

    const QString client = "client";
    auto row = [](const char* name, const char* kind, const QString& parent, QRect r, int px,
                  bool bold, bool fixed, const char* caption, bool enabled = true,
                  bool visible = true) {
        QTest::newRow(name) << QString(kind) << parent << r << px << bold << fixed
                            << QString::fromUtf8(caption) << enabled << visible;
    };
    row("GroupBox1", "QGroupBox", client, {0, 0, 201, 97}, 16, true, false, "Temperatura [C]");
    row("Edit3", "QLineEdit", "GroupBox1", {8, 24, 185, 59}, 43, true, false, "");
    row("GroupBox3", "QGroupBox", client, {208, 0, 145, 97}, 11, false, false, "Wykres");
    row("CheckBox2", "QCheckBox", "GroupBox3", {8, 16, 65, 17}, 11, false, false, "Płynący");
    row("Label3", "QLabel", "GroupBox3", {8, 32, 66, 14}, 11, false, false, "Dlugosc (min)", false);
    row("Edit10", "QLineEdit", "GroupBox3", {96, 24, 41, 22}, 11, false, false, "100", false);
    row("CheckBox1", "QCheckBox", "GroupBox3", {8, 48, 81, 17}, 11, false, false, "Kresl");
    row("ColorBox1", "pom::ColorBox", "GroupBox3", {104, 47, 33, 18}, 9, false, false, "clRed",
        false);
    row("Edit6", "QLineEdit", "GroupBox3", {2, 72, 140, 22}, 11, false, false, "");
    row("GroupBox2", "QGroupBox", client, {360, 0, 153, 41}, 11, false, false, "Alarm");
    row("CheckBox3", "QCheckBox", "GroupBox2", {8, 16, 33, 17}, 11, false, false, "Wł");
    row("Edit5", "QLineEdit", "GroupBox2", {72, 16, 33, 22}, 11, false, false, "22");
    row("Edit4", "QLineEdit", "GroupBox2", {112, 16, 33, 22}, 11, false, false, "25");
    row("GroupBox4", "QGroupBox", client, {360, 40, 81, 57}, 11, false, false, "Pomiar co:");
    row("Edit1", "QLineEdit", "GroupBox4", {8, 16, 25, 23}, 12, false, false, "0");
    row("Label4", "QLabel", "GroupBox4", {8, 40, 16, 14}, 11, false, false, "min");
    row("Edit2", "QLineEdit", "GroupBox4", {48, 16, 25, 22}, 11, false, false, "0");
    row("Label2", "QLabel", "GroupBox4", {48, 40, 17, 14}, 11, false, false, "sek");
    row("Label6", "QLabel", client, {448, 56, 68, 23}, 20, false, true, "ALARM", true, false);
    row("Panel2", "QFrame", client, {520, 8, 105, 89}, 11, false, false, "");
    row("OpenComm", "QPushButton", "Panel2", {8, 8, 89, 41}, 13, false, false, "&Połącz");
    row("Button1", "QPushButton", "Panel2", {8, 56, 89, 25}, 11, false, true, "Zapis ustawień");
    row("Chart1", "pom::ChartView", client, {0, 104, 625, 361}, 11, false, false, "");
}

void TestForm::designState()
{
    QFETCH(QString, kind);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    QFETCH(bool, fixedPitch);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    QFETCH(bool, visible);

    TForm1 form(m_fx->services.form());
    auto* w = form.findChild<QWidget*>(QTest::currentDataTag());
    QVERIFY(w);
    QCOMPARE(QString(w->metaObject()->className()), kind);
    QCOMPARE(w->parentWidget()->objectName(), parent);
    QCOMPARE(w->geometry(), geometry);
    QCOMPARE(w->font().family(), QString("Arial"));
    QCOMPARE(w->font().pixelSize(), pixels);
    QCOMPARE(w->font().bold(), bold);
    QCOMPARE(w->font().fixedPitch(), fixedPitch);
    QCOMPARE(captionOf(w), caption);
    QCOMPARE(w->isEnabled(), enabled);
    QCOMPARE(w->isVisibleTo(&form), visible);
}

void TestForm::colours()
{
    TForm1 form(m_fx->services.form());
    QVERIFY(form.Edit3->isReadOnly());
    QCOMPARE(form.Edit3->palette().color(QPalette::Base), QColor(192, 192, 192));
    QCOMPARE(form.Label6->palette().color(QPalette::Window), QColor(255, 0, 0));
    QVERIFY(form.Label6->autoFillBackground());
    QCOMPARE(form.palette().color(QPalette::Window), form.palette().color(QPalette::Button));

    // The unnamed label: empty, bold, on the window at 216, 0.
    QLabel* unnamed = form.unnamedLabel();
    QCOMPARE(unnamed->parentWidget(), form.centralWidget());
    QCOMPARE(unnamed->pos(), QPoint(216, 0));
    QVERIFY(unnamed->text().isEmpty());
    QVERIFY(unnamed->font().bold());
}

void TestForm::clientArea()
{
    TForm1 form(m_fx->services.form());
    QCOMPARE(form.windowTitle(), QString("Pomiarownik.     zrx1.txt"));

    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.centralWidget()->geometry(),
             QRect(0, form.menuBar()->height(), 625, 465));
    QCOMPARE(form.size(), QSize(625, 465 + form.menuBar()->height()));
    QCOMPARE(form.minimumSize(), form.maximumSize());

    const QRect screen = form.screen()->availableGeometry();
    QVERIFY(qAbs(form.frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(form.frameGeometry().center().y() - screen.center().y()) <= 1);
}

void TestForm::menus()
{
    TForm1 form(m_fx->services.form());
    const QList<QAction*> bar = form.menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar[0]->menu(), form.Plik1);
    QCOMPARE(bar[1]->menu(), form.Pomoc1);
    QCOMPARE(form.Plik1->objectName(), QString("Plik1"));
    QCOMPARE(form.Plik1->title(), QString("Plik"));
    QCOMPARE(form.Pomoc1->objectName(), QString("Pomoc1"));
    QCOMPARE(form.Pomoc1->title(), QString("Pomoc"));

    auto items = [](QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions())
            out << a->objectName() + "=" + a->text();
        return out;
    };
    QCOMPARE(items(form.Plik1), QStringList({"Otwrz1=Otwórz", "Zapisz1=Zapisuj jako",
                                             "Drukuj1=Drukuj", QString::fromUtf8("Zakocz1=Zakończ")}));
    QCOMPARE(items(form.Pomoc1), QStringList({"Oprogramie1=O programie..."}));
    QVERIFY(form.Plik1->menuAction()->isEnabled());
}

void TestForm::formCreate()
{
    TForm1 form(m_fx->services.form());
    QVERIFY(m_fx->services.dialogs.shown.empty());
    QCOMPARE(form.state().SampleCount, 0);
    QCOMPARE(form.state().RunFlag, -1);
    QCOMPARE(form.state().LogFileName, std::string("zrx1.txt"));
    QVERIFY(form.OpenComm->isEnabled());
    QFile log(m_fx->dir.file("zrx1.txt"));
    QVERIFY(log.exists());
    QCOMPARE(log.size(), 0);
    QVERIFY(!form.state().LogFile.isOpen());
}

void TestForm::truncatesExistingLog()
{
    {
        QFile old(m_fx->dir.file("zrx1.txt"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("1\t10:00:00\t+0021.5\r\n");
    }
    TForm1 form(m_fx->services.form());
    QCOMPARE(QFile(m_fx->dir.file("zrx1.txt")).size(), 0);
    QCOMPARE(form.windowTitle(), QString("Pomiarownik.     zrx1.txt"));
}

void TestForm::defaultLogFailure()
{
    QVERIFY(QDir(m_fx->dir.file("")).mkdir("zrx1.txt"));
    TForm1 form(m_fx->services.form());

    const auto& shown = m_fx->services.dialogs.shown;
    QCOMPARE(shown.size(), std::size_t(1));
    QCOMPARE(shown[0].kind, std::string("error"));
    QCOMPARE(shown[0].text, std::string("File access denied."));
    // The steps before the failure stay done; the caption step is skipped.
    QCOMPARE(form.windowTitle(), QString("Pomiarownik"));
    QCOMPARE(form.state().LogFileName, std::string("zrx1.txt"));
    QCOMPARE(form.state().RunFlag, -1);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
}

QTEST_MAIN(TestForm)
#include "test_form.moc"
