// The Controls seam over the real widgets: what it reads and writes, and that
// change signals fire exactly when a value differs, as the handlers expect.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <stdexcept>

#include "app_fixture.h"
#include "colour_box.h"
#include "form.h"

using namespace pom;
using namespace pom::test;

Q_DECLARE_METATYPE(pom::Ctl)

class TestFormControls : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_fx = std::make_unique<AppFixture>();
        m_form = std::make_unique<TForm1>(m_fx->services.form());
    }
    void cleanup()
    {
        m_form.reset();
        m_fx.reset();
    }

    void texts_data();
    void texts();
    void changeSignalsOnlyOnChange();
    void enabledAndVisible();
    void colours_data();
    void colours();
    void selectedColourFiresNothing();
    void misuseIsAnError();

private:
    std::unique_ptr<AppFixture> m_fx;
    std::unique_ptr<TForm1> m_form;
};

void TestFormControls::texts_data()
{
    QTest::addColumn<Ctl>("control");
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("set");
    QTest::newRow("Form") << Ctl::Form << "Pomiarownik.     zrx1.txt" << "Pomiarownik.     /tmp/ą.txt";
    QTest::newRow("Edit1") << Ctl::Edit1 << "0" << " 5";
    QTest::newRow("Edit3") << Ctl::Edit3 << "" << "+0023.5";
    QTest::newRow("Edit10") << Ctl::Edit10 << "100" << "";
    QTest::newRow("OpenComm") << Ctl::OpenComm << "&Połącz" << "&Wznów";
    QTest::newRow("CheckBox3") << Ctl::CheckBox3 << "Wł" << "Wł";
    QTest::newRow("Label6") << Ctl::Label6 << "ALARM" << "ALARM!";
    QTest::newRow("Plik1") << Ctl::Plik1 << "Plik" << "Plik";
    QTest::newRow("Otwrz1") << Ctl::Otwrz1 << "Otwórz" << "Otwórz";
    QTest::newRow("ColorBox1") << Ctl::ColorBox1 << "clRed" << "";
}

void TestFormControls::texts()
{
    QFETCH(Ctl, control);
    QFETCH(QString, design);
    QFETCH(QString, set);
    Controls& controls = m_form->controls();
    QCOMPARE(QString::fromStdString(controls.text(control)), design);
    if (control == Ctl::ColorBox1)
        return;  // its text is the selected entry's name
    controls.setText(control, set.toStdString());
    QCOMPARE(QString::fromStdString(controls.text(control)), set);
}

void TestFormControls::changeSignalsOnlyOnChange()
{
    Controls& controls = m_form->controls();
    QSignalSpy edited(m_form->Edit1, &QLineEdit::textChanged);
    controls.setText(Ctl::Edit1, "0");
    QCOMPARE(edited.count(), 0);
    controls.setText(Ctl::Edit1, "5");
    controls.setText(Ctl::Edit1, "5");
    QCOMPARE(edited.count(), 1);

    QSignalSpy toggled(m_form->CheckBox1, &QCheckBox::toggled);
    controls.setChecked(Ctl::CheckBox1, false);
    QCOMPARE(toggled.count(), 0);
    controls.setChecked(Ctl::CheckBox1, true);
    controls.setChecked(Ctl::CheckBox1, true);
    QCOMPARE(toggled.count(), 1);
    QVERIFY(controls.checked(Ctl::CheckBox1));
    QVERIFY(m_form->CheckBox1->isChecked());
}

void TestFormControls::enabledAndVisible()
{
    Controls& controls = m_form->controls();
    QVERIFY(!controls.enabled(Ctl::Edit10));
    QVERIFY(!controls.enabled(Ctl::Label3));
    QVERIFY(controls.enabled(Ctl::Plik1));
    controls.setEnabled(Ctl::Plik1, false);
    QVERIFY(!m_form->Plik1->menuAction()->isEnabled());
    QVERIFY(!controls.enabled(Ctl::Plik1));
    controls.setEnabled(Ctl::Edit10, true);
    QVERIFY(m_form->Edit10->isEnabled());

    // Before the window is first shown a control still reports its own setting.
    QVERIFY(!controls.visible(Ctl::Label6));
    QVERIFY(controls.visible(Ctl::Edit3));
    controls.setVisible(Ctl::Label6, true);
    QVERIFY(controls.visible(Ctl::Label6));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QVERIFY(m_form->Label6->isVisible());
    controls.setVisible(Ctl::Label6, false);
    QVERIFY(!m_form->Label6->isVisible());
}

void TestFormControls::colours_data()
{
    QTest::addColumn<Ctl>("control");
    QTest::addColumn<uint>("background");
    QTest::addColumn<uint>("font");
    QTest::addColumn<QColor>("back");
    QTest::addColumn<QColor>("fore");
    const QPalette palette;
    QTest::newRow("Edit3 red") << Ctl::Edit3 << 0x0000FFu << 0xFF000008u << QColor(255, 0, 0)
                               << palette.color(QPalette::WindowText);
    QTest::newRow("Edit3 blue, white") << Ctl::Edit3 << 0xFF0000u << 0xFFFFFFu << QColor(0, 0, 255)
                                       << QColor(255, 255, 255);
    QTest::newRow("Label6 button face") << Ctl::Label6 << 0xFF00000Fu << 0x808000u
                                        << palette.color(QPalette::Button) << QColor(0, 128, 128);
}

void TestFormControls::colours()
{
    QFETCH(Ctl, control);
    QFETCH(uint, background);
    QFETCH(uint, font);
    QFETCH(QColor, back);
    QFETCH(QColor, fore);
    m_form->controls().setColours(control, background, font);
    QWidget* w = control == Ctl::Edit3 ? static_cast<QWidget*>(m_form->Edit3) : m_form->Label6;
    // The roles each kind of widget paints with.
    const bool edit = control == Ctl::Edit3;
    QCOMPARE(w->palette().color(edit ? QPalette::Base : QPalette::Window), back);
    QCOMPARE(w->palette().color(edit ? QPalette::Text : QPalette::WindowText), fore);
}

void TestFormControls::selectedColourFiresNothing()
{
    Controls& controls = m_form->controls();
    QCOMPARE(controls.selectedColour(), Colour(255));
    QSignalSpy activated(m_form->ColorBox1, &QComboBox::activated);
    QSignalSpy changed(m_form->ColorBox1, &QComboBox::currentIndexChanged);
    controls.setSelectedColour(0xFF0000);
    QCOMPARE(controls.selectedColour(), Colour(0xFF0000));
    QCOMPARE(activated.count() + changed.count(), 0);
}

void TestFormControls::misuseIsAnError()
{
    Controls& controls = m_form->controls();
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, controls.checked(Ctl::Edit1));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, controls.setChecked(Ctl::OpenComm, true));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, controls.setText(Ctl::ColorBox1, "clRed"));
}

QTEST_MAIN(TestFormControls)
#include "test_form_controls.moc"
