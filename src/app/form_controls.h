#pragma once
// The Controls seam over the window's widgets. Setting a text or a check
// state goes through the widget, so its change signal fires exactly when the
// value differs; setting the colour box's selection fires nothing.
#include <QWidget>

#include "controls.h"

namespace pom {

class TForm1;

// Background and font colour of a widget; system colours from its palette.
void setWidgetColours(QWidget& widget, Colour background, Colour font);

class FormControls final : public Controls {
public:
    explicit FormControls(TForm1& form) : m_form(form) {}

    std::string text(Ctl control) override;
    void setText(Ctl control, const std::string& text) override;
    bool checked(Ctl control) override;
    void setChecked(Ctl control, bool on) override;
    bool enabled(Ctl control) override;
    void setEnabled(Ctl control, bool on) override;
    bool visible(Ctl control) override;
    void setVisible(Ctl control, bool on) override;
    void setColours(Ctl control, Colour background, Colour font) override;
    Colour selectedColour() override;
    void setSelectedColour(Colour colour) override;

private:
    QWidget* widget(Ctl control) const;

    TForm1& m_form;
};

} // namespace pom
