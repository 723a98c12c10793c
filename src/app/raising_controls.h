#pragma once
// The window's controls for code that sets them outside any handler, such as
// the settings loader at start-up: a change handler that the change sets off
// raises its error into that code, as if it had called the handler itself,
// instead of reporting it in the error box.
#include <exception>

#include "controls.h"

namespace pom {

class TForm1;

class RaisingControls final : public Controls {
public:
    explicit RaisingControls(TForm1& form);
    ~RaisingControls() override;
    RaisingControls(const RaisingControls&) = delete;
    RaisingControls& operator=(const RaisingControls&) = delete;

    std::string text(Ctl control) override { return m_controls.text(control); }
    void setText(Ctl control, const std::string& text) override;
    bool checked(Ctl control) override { return m_controls.checked(control); }
    void setChecked(Ctl control, bool on) override;
    bool enabled(Ctl control) override { return m_controls.enabled(control); }
    void setEnabled(Ctl control, bool on) override { m_controls.setEnabled(control, on); }
    bool visible(Ctl control) override { return m_controls.visible(control); }
    void setVisible(Ctl control, bool on) override { m_controls.setVisible(control, on); }
    void setColours(Ctl control, Colour background, Colour font) override
    {
        m_controls.setColours(control, background, font);
    }
    Colour selectedColour() override { return m_controls.selectedColour(); }
    void setSelectedColour(Colour colour) override { m_controls.setSelectedColour(colour); }

private:
    void raiseKept();

    TForm1& m_form;
    Controls& m_controls;
    std::exception_ptr m_kept;
};

} // namespace pom
