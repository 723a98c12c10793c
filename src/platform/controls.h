#pragma once
// The window's controls as the logic reads and writes them. The real window
// implements this with Qt widgets; tests use a fake. Setting a text or a
// check state fires the control's handler only when the value differs;
// setting the colour box's selection fires nothing.
#include <string>

#include "colour.h"

namespace pom {

enum class Ctl {
    Form,       // caption of the window
    Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit10,
    CheckBox1, CheckBox2, CheckBox3,
    ColorBox1,
    Label3, Label6,
    OpenComm, Button1,
    Plik1, Otwrz1,
};

class Controls {
public:
    virtual ~Controls() = default;
    // Text of an edit field, caption of anything else; UTF-8.
    virtual std::string text(Ctl control) = 0;
    virtual void setText(Ctl control, const std::string& text) = 0;
    virtual bool checked(Ctl control) = 0;
    virtual void setChecked(Ctl control, bool on) = 0;
    virtual bool enabled(Ctl control) = 0;
    virtual void setEnabled(Ctl control, bool on) = 0;
    virtual bool visible(Ctl control) = 0;
    virtual void setVisible(Ctl control, bool on) = 0;
    virtual void setColours(Ctl control, Colour background, Colour font) = 0;
    virtual Colour selectedColour() = 0;
    virtual void setSelectedColour(Colour colour) = 0;
};

} // namespace pom
