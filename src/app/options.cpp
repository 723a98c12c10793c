// The chart options and the interval fields: they act at once, and a field
// the measuring cycle cannot convert is marked until it can.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPalette>

#include "colour_box.h"
#include "convert.h"
#include "form.h"
#include "interval.h"

namespace pom {

namespace {

const QString InvalidNumberTip = QString::fromUtf8("Niepoprawna liczba całkowita");

bool isInteger(const std::string& text)
{
    return tryStrToInt(text).has_value();
}

// The interval rule takes an empty field or "0" without converting it.
bool isIntervalField(const std::string& text)
{
    return text.empty() || text == "0" || isInteger(text);
}

bool isWindowLength(const std::string& text)
{
    const auto minutes = tryStrToInt(text);
    return minutes && *minutes >= 1;
}

// Red text and a tip while the field is not valid; the desktop's colours otherwise.
void showValidity(QLineEdit& edit, bool valid)
{
    const QPalette desktop = QApplication::palette(&edit);
    QPalette palette = edit.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Text,
                         valid ? desktop.color(group, QPalette::Text) : QColor(Qt::red));
    edit.setPalette(palette);
    edit.setToolTip(valid ? QString() : InvalidNumberTip);
}

} // namespace

void TForm1::runOption(void (TForm1::*handler)())
{
    if (!m_keptError)
        return runHandler(handler);
    try {
        (this->*handler)();
    } catch (...) {
        if (!*m_keptError)
            *m_keptError = std::current_exception();
    }
}

void TForm1::connectOptions()
{
    using Rule = bool (*)(const std::string&);
    const auto mark = [this](QLineEdit* edit, Rule valid) {
        const auto update = [edit, valid] { showValidity(*edit, valid(edit->text().toStdString())); };
        connect(edit, &QLineEdit::textChanged, this, update);
        update();
    };
    mark(Edit1, &isIntervalField);
    mark(Edit2, &isIntervalField);
    mark(Edit10, &isWindowLength);
    mark(Edit4, &isInteger);
    mark(Edit5, &isInteger);

    const auto on = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this, [this, handler] { runOption(handler); });
    };
    on(CheckBox1, &QCheckBox::toggled, &TForm1::CheckBox1Click);
    on(CheckBox2, &QCheckBox::toggled, &TForm1::CheckBox2Click);
    // The operator's pick only: setting the selection from code fires nothing.
    on(ColorBox1, &QComboBox::activated, &TForm1::ColorBox1Change);
    on(Edit1, &QLineEdit::textChanged, &TForm1::Edit1Change);
    on(Edit2, &QLineEdit::textChanged, &TForm1::Edit2Change);
}

void TForm1::CheckBox1Click()
{
    const bool plotting = m_controls->checked(Ctl::CheckBox1);
    m_chartModel.setSeriesColour(m_controls->selectedColour());
    m_chartModel.setSeriesActive(plotting);
    m_controls->setEnabled(Ctl::ColorBox1, plotting);
}

void TForm1::ColorBox1Change()
{
    m_chartModel.setSeriesColour(m_controls->selectedColour());
}

void TForm1::CheckBox2Click()
{
    const bool sliding = m_controls->checked(Ctl::CheckBox2);
    m_controls->setEnabled(Ctl::Edit10, sliding);
    m_controls->setEnabled(Ctl::Label3, sliding);
}

// A text that does not convert raises before anything is assigned, so the
// interval keeps its values.
void TForm1::Edit1Change()
{
    StoreIntervalPart(m_state, &CycleState::IntervalMinutesMs,
                      IntervalFieldMs(m_controls->text(Ctl::Edit1), MinutesFactor));
}

void TForm1::Edit2Change()
{
    StoreIntervalPart(m_state, &CycleState::IntervalSecondsMs,
                      IntervalFieldMs(m_controls->text(Ctl::Edit2), SecondsFactor));
}

} // namespace pom
