#include "form_controls.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <stdexcept>

#include "colour_box.h"
#include "form.h"
#include "qt_colour.h"

namespace pom {

namespace {

[[noreturn]] void unsupported(const char* what)
{
    throw std::invalid_argument(std::string("This control has no ") + what);
}

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

void setWidgetColours(QWidget& widget, Colour background, Colour font)
{
    // System colours follow the desktop, not colours given to this widget before.
    const QPalette desktop = QApplication::palette(&widget);
    const QColor back = toQColor(background, desktop);
    const QColor fore = toQColor(font, desktop);
    QPalette palette = widget.palette();
    // Edit fields paint Base and Text; everything else Window and WindowText.
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, back);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, fore);
    widget.setPalette(palette);
    if (!qobject_cast<QLineEdit*>(&widget))
        widget.setAutoFillBackground(true);
}

QWidget* FormControls::widget(Ctl control) const
{
    TForm1& f = m_form;
    switch (control) {
    case Ctl::Form: return &f;
    case Ctl::Edit1: return f.Edit1;
    case Ctl::Edit2: return f.Edit2;
    case Ctl::Edit3: return f.Edit3;
    case Ctl::Edit4: return f.Edit4;
    case Ctl::Edit5: return f.Edit5;
    case Ctl::Edit6: return f.Edit6;
    case Ctl::Edit10: return f.Edit10;
    case Ctl::CheckBox1: return f.CheckBox1;
    case Ctl::CheckBox2: return f.CheckBox2;
    case Ctl::CheckBox3: return f.CheckBox3;
    case Ctl::ColorBox1: return f.ColorBox1;
    case Ctl::Label3: return f.Label3;
    case Ctl::Label6: return f.Label6;
    case Ctl::OpenComm: return f.OpenComm;
    case Ctl::Button1: return f.Button1;
    case Ctl::Plik1:
    case Ctl::Otwrz1: return nullptr;  // menu entries are actions, not widgets
    }
    return nullptr;
}

std::string FormControls::text(Ctl control)
{
    switch (control) {
    case Ctl::Form: return m_form.windowTitle().toStdString();
    case Ctl::Plik1: return m_form.Plik1->title().toStdString();
    case Ctl::Otwrz1: return m_form.Otwrz1->text().toStdString();
    default: break;
    }
    QWidget* w = widget(control);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text().toStdString();
    if (auto* box = qobject_cast<ColorBox*>(w))
        return box->currentText().toStdString();
    unsupported("text");
}

void FormControls::setText(Ctl control, const std::string& text)
{
    const QString value = qs(text);
    switch (control) {
    case Ctl::Form: m_form.setWindowTitle(value); return;
    case Ctl::Plik1: m_form.Plik1->setTitle(value); return;
    case Ctl::Otwrz1: m_form.Otwrz1->setText(value); return;
    default: break;
    }
    QWidget* w = widget(control);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(value);
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(value);
    else
        unsupported("text to set");
}

bool FormControls::checked(Ctl control)
{
    if (auto* box = qobject_cast<QCheckBox*>(widget(control)))
        return box->isChecked();
    unsupported("check state");
}

void FormControls::setChecked(Ctl control, bool on)
{
    if (auto* box = qobject_cast<QCheckBox*>(widget(control)))
        box->setChecked(on);
    else
        unsupported("check state");
}

bool FormControls::enabled(Ctl control)
{
    switch (control) {
    case Ctl::Plik1: return m_form.Plik1->menuAction()->isEnabled();
    case Ctl::Otwrz1: return m_form.Otwrz1->isEnabled();
    default: return widget(control)->isEnabled();
    }
}

void FormControls::setEnabled(Ctl control, bool on)
{
    switch (control) {
    case Ctl::Plik1: m_form.Plik1->menuAction()->setEnabled(on); return;
    case Ctl::Otwrz1: m_form.Otwrz1->setEnabled(on); return;
    default: widget(control)->setEnabled(on); return;
    }
}

bool FormControls::visible(Ctl control)
{
    switch (control) {
    case Ctl::Plik1: return m_form.Plik1->menuAction()->isVisible();
    case Ctl::Otwrz1: return m_form.Otwrz1->isVisible();
    case Ctl::Form: return m_form.isVisible();
    default: {
        // The control's own setting, also before the window is first shown.
        QWidget* w = widget(control);
        return w->isVisibleTo(w->window());
    }
    }
}

void FormControls::setVisible(Ctl control, bool on)
{
    switch (control) {
    case Ctl::Plik1: m_form.Plik1->menuAction()->setVisible(on); return;
    case Ctl::Otwrz1: m_form.Otwrz1->setVisible(on); return;
    default: widget(control)->setVisible(on); return;
    }
}

void FormControls::setColours(Ctl control, Colour background, Colour font)
{
    QWidget* w = widget(control);
    if (!w)
        unsupported("colours");
    setWidgetColours(*w, background, font);
}

Colour FormControls::selectedColour()
{
    return m_form.ColorBox1->selected();
}

void FormControls::setSelectedColour(Colour colour)
{
    m_form.ColorBox1->setSelected(colour);
}

} // namespace pom
