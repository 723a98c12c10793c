#include "raising_controls.h"

#include <utility>

#include "form.h"

namespace pom {

RaisingControls::RaisingControls(TForm1& form) : m_form(form), m_controls(form.controls())
{
    m_form.keepHandlerErrors(&m_kept);
}

RaisingControls::~RaisingControls()
{
    m_form.keepHandlerErrors(nullptr);
}

void RaisingControls::setText(Ctl control, const std::string& text)
{
    m_controls.setText(control, text);
    raiseKept();
}

void RaisingControls::setChecked(Ctl control, bool on)
{
    m_controls.setChecked(control, on);
    raiseKept();
}

void RaisingControls::raiseKept()
{
    if (m_kept)
        std::rethrow_exception(std::exchange(m_kept, nullptr));
}

} // namespace pom
