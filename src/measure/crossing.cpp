#include "crossing.h"

#include <utility>
#include <optional>
#include <type_traits>

namespace pom {

namespace {

// Runs f through the queue and hands back its result.
template <typename F>
auto callOnUi(UiQueue& ui, F&& f)
{
    using Result = std::invoke_result_t<F>;
    if constexpr (std::is_void_v<Result>) {
        ui.call(f);
    } else {
        std::optional<Result> result;
        ui.call([&] { result = f(); });
        return *result;
    }
}

} // namespace

template <typename F> auto CrossingControls::onUi(F&& f) { return callOnUi(m_ui, std::forward<F>(f)); }
template <typename F> auto CrossingChart::onUi(F&& f) { return callOnUi(m_ui, std::forward<F>(f)); }

std::string CrossingControls::text(Ctl c) { return onUi([&] { return m_target.text(c); }); }
void CrossingControls::setText(Ctl c, const std::string& t) { onUi([&] { m_target.setText(c, t); }); }
bool CrossingControls::checked(Ctl c) { return onUi([&] { return m_target.checked(c); }); }
void CrossingControls::setChecked(Ctl c, bool on) { onUi([&] { m_target.setChecked(c, on); }); }
bool CrossingControls::enabled(Ctl c) { return onUi([&] { return m_target.enabled(c); }); }
void CrossingControls::setEnabled(Ctl c, bool on) { onUi([&] { m_target.setEnabled(c, on); }); }
bool CrossingControls::visible(Ctl c) { return onUi([&] { return m_target.visible(c); }); }
void CrossingControls::setVisible(Ctl c, bool on) { onUi([&] { m_target.setVisible(c, on); }); }
void CrossingControls::setColours(Ctl c, Colour bg, Colour font)
{
    onUi([&] { m_target.setColours(c, bg, font); });
}
Colour CrossingControls::selectedColour() { return onUi([&] { return m_target.selectedColour(); }); }
void CrossingControls::setSelectedColour(Colour colour) { onUi([&] { m_target.setSelectedColour(colour); }); }

std::string CrossingChart::title() { return onUi([&] { return m_target.title(); }); }
void CrossingChart::setTitle(const std::string& t) { onUi([&] { m_target.setTitle(t); }); }
bool CrossingChart::bottomAutomatic() { return onUi([&] { return m_target.bottomAutomatic(); }); }
void CrossingChart::setBottomAutomatic(bool on) { onUi([&] { m_target.setBottomAutomatic(on); }); }
double CrossingChart::bottomMinimum() { return onUi([&] { return m_target.bottomMinimum(); }); }
double CrossingChart::bottomMaximum() { return onUi([&] { return m_target.bottomMaximum(); }); }
void CrossingChart::setBottomMinimum(double v) { onUi([&] { m_target.setBottomMinimum(v); }); }
void CrossingChart::setBottomMaximum(double v) { onUi([&] { m_target.setBottomMaximum(v); }); }
void CrossingChart::addPoint(double x, double y) { onUi([&] { m_target.addPoint(x, y); }); }
void CrossingChart::addPoints(std::vector<ChartPoint> p) { onUi([&] { m_target.addPoints(std::move(p)); }); }
void CrossingChart::clearPoints() { onUi([&] { m_target.clearPoints(); }); }
std::size_t CrossingChart::pointCount() { return onUi([&] { return m_target.pointCount(); }); }
Colour CrossingChart::seriesColour() { return onUi([&] { return m_target.seriesColour(); }); }
void CrossingChart::setSeriesColour(Colour c) { onUi([&] { m_target.setSeriesColour(c); }); }
bool CrossingChart::seriesActive() { return onUi([&] { return m_target.seriesActive(); }); }
void CrossingChart::setSeriesActive(bool on) { onUi([&] { m_target.setSeriesActive(on); }); }

} // namespace pom
