#include "chart_model.h"

#include <utility>
#include <algorithm>
#include <array>

#include "errors.h"

namespace pom {

namespace {
constexpr std::size_t BlockSize = 16;

bool byX(const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; }
}

void ChartModel::changed()
{
    if (m_listener)
        m_listener();
}

void ChartModel::setTitle(const std::string& firstLine)
{
    m_title = firstLine;
    changed();
}

void ChartModel::setBottomAutomatic(bool on)
{
    if (!on && m_automatic) {
        const auto [low, high] = bottomRange();
        m_minimum = low;
        m_maximum = high;
    }
    m_automatic = on;
    changed();
}

std::pair<double, double> ChartModel::bottomRange() const
{
    if (!m_automatic)
        return {m_minimum, m_maximum};
    if (m_points.empty())
        return {0.0, 0.0};
    return {m_points.front().x, m_points.back().x};
}

void ChartModel::setBottomMinimum(double value)
{
    if (value > bottomMaximum())
        throw ChartError("Axis Minimum Value must be <= Maximum");
    m_minimum = value;
    changed();
}

void ChartModel::setBottomMaximum(double value)
{
    if (value < bottomMinimum())
        throw ChartError("Axis Maximum Value must be >= Minimum");
    m_maximum = value;
    changed();
}

std::size_t ChartModel::firstIndexAtOrAfter(double x) const
{
    const auto it = std::lower_bound(m_points.begin(), m_points.end(), ChartPoint{x, 0}, byX);
    return static_cast<std::size_t>(it - m_points.begin());
}

std::size_t ChartModel::firstIndexAfter(double x) const
{
    const auto it = std::upper_bound(m_points.begin(), m_points.end(), ChartPoint{x, 0}, byX);
    return static_cast<std::size_t>(it - m_points.begin());
}

void ChartModel::addPoint(double x, double y)
{
    const std::size_t at = firstIndexAfter(x);
    m_points.insert(m_points.begin() + static_cast<std::ptrdiff_t>(at), ChartPoint{x, y});
    rebuildSummaries(at);
    changed();
}

// The common case of a replay or a bulk load: no point goes before an existing one.
bool ChartModel::appendsInOrder(const std::vector<ChartPoint>& points) const
{
    return std::is_sorted(points.begin(), points.end(), byX) &&
           (m_points.empty() || points.front().x >= m_points.back().x);
}

void ChartModel::addPoints(std::vector<ChartPoint> points)
{
    if (points.empty())
        return;
    std::size_t from = m_points.size();
    if (m_points.empty() && appendsInOrder(points))
        m_points = std::move(points);  // a replay's month of points, taken over whole
    else if (appendsInOrder(points))
        m_points.insert(m_points.end(), points.begin(), points.end());
    else
        from = mergePoints(points);
    rebuildSummaries(from);
    changed();
}

std::size_t ChartModel::mergePoints(const std::vector<ChartPoint>& points)
{
    // A stable sort and a stable merge place each point exactly where adding
    // the points one by one would have put it.
    std::vector<ChartPoint> sorted(points);
    std::stable_sort(sorted.begin(), sorted.end(), byX);
    const std::size_t from = firstIndexAfter(sorted.front().x);
    const auto middle = static_cast<std::ptrdiff_t>(m_points.size());
    m_points.insert(m_points.end(), sorted.begin(), sorted.end());
    std::inplace_merge(m_points.begin() + static_cast<std::ptrdiff_t>(from),
                       m_points.begin() + middle, m_points.end(), byX);
    return from;
}

void ChartModel::clearPoints()
{
    m_points.clear();
    m_points.shrink_to_fit();
    m_levels.clear();
    changed();
}

void ChartModel::setSeriesColour(Colour colour)
{
    m_colour = colour;
    changed();
}

void ChartModel::setSeriesActive(bool on)
{
    m_active = on;
    changed();
}

ChartModel::Extremes ChartModel::pick(Extremes a, Extremes b) const
{
    return {m_points[b.low].y < m_points[a.low].y ? b.low : a.low,
            m_points[b.high].y > m_points[a.high].y ? b.high : a.high};
}

ChartModel::Extremes ChartModel::element(std::size_t level, std::size_t index) const
{
    if (level == 0) {
        const auto i = static_cast<std::uint32_t>(index);
        return {i, i};
    }
    return m_levels[level - 1][index];
}

void ChartModel::rebuildSummaries(std::size_t fromIndex)
{
    std::size_t count = m_points.size();
    std::size_t from = fromIndex;
    std::size_t level = 0;
    while (count > BlockSize) {
        const std::size_t blocks = (count + BlockSize - 1) / BlockSize;
        if (m_levels.size() <= level)
            m_levels.emplace_back();
        m_levels[level].resize(blocks);
        for (std::size_t block = from / BlockSize; block < blocks; ++block) {
            const std::size_t first = block * BlockSize;
            m_levels[level][block] = scan(level, first, std::min(first + BlockSize, count));
        }
        from /= BlockSize;
        count = blocks;
        ++level;
    }
    m_levels.resize(level);
}

ChartModel::Extremes ChartModel::scan(std::size_t level, std::size_t first, std::size_t last) const
{
    Extremes result = element(level, first);
    for (std::size_t i = first + 1; i < last; ++i)
        result = pick(result, element(level, i));
    return result;
}

ChartModel::Extremes ChartModel::extremesAt(std::size_t level, std::size_t first,
                                            std::size_t last) const
{
    // Whole blocks are answered one level up; only the ragged ends are scanned here.
    const std::size_t wholeFirst = (first + BlockSize - 1) / BlockSize;
    const std::size_t wholeLast = last / BlockSize;
    if (level >= m_levels.size() || wholeFirst >= wholeLast)
        return scan(level, first, last);
    Extremes result = extremesAt(level + 1, wholeFirst, wholeLast);
    if (first < wholeFirst * BlockSize)
        result = pick(result, scan(level, first, wholeFirst * BlockSize));
    if (wholeLast * BlockSize < last)
        result = pick(result, scan(level, wholeLast * BlockSize, last));
    return result;
}

ChartModel::Extremes ChartModel::extremesOf(std::size_t first, std::size_t last) const
{
    return extremesAt(0, first, last);
}

std::optional<std::pair<double, double>> ChartModel::yRange(double xMin, double xMax) const
{
    const std::size_t first = firstIndexAtOrAfter(xMin);
    const std::size_t last = firstIndexAfter(xMax);
    if (first >= last)
        return std::nullopt;
    const Extremes e = extremesOf(first, last);
    return std::pair{m_points[e.low].y, m_points[e.high].y};
}

void ChartModel::appendColumn(std::vector<ChartPoint>& out, std::size_t first,
                              std::size_t last) const
{
    const Extremes e = extremesOf(first, last);
    std::array<std::size_t, 4> picks{first, e.low, e.high, last - 1};
    std::sort(picks.begin(), picks.end());
    const auto end = std::unique(picks.begin(), picks.end());
    for (auto it = picks.begin(); it != end; ++it)
        out.push_back(m_points[*it]);
}

void ChartModel::appendColumns(std::vector<ChartPoint>& out, std::size_t first, std::size_t last,
                               double xMin, double xMax, std::size_t columns) const
{
    const double width = (xMax - xMin) / static_cast<double>(columns);
    const auto at = [this](std::size_t i) { return m_points.begin() + static_cast<std::ptrdiff_t>(i); };
    std::size_t begin = first;
    for (std::size_t column = 1; column <= columns && begin < last; ++column) {
        std::size_t end = last;
        if (column < columns) {
            const ChartPoint edge{xMin + width * static_cast<double>(column), 0};
            end = static_cast<std::size_t>(std::lower_bound(at(begin), at(last), edge, byX) -
                                           m_points.begin());
        }
        if (end > begin)
            appendColumn(out, begin, end);
        begin = end;
    }
}

std::vector<ChartPoint> ChartModel::decimated(double xMin, double xMax, int columns) const
{
    std::vector<ChartPoint> out;
    if (!(xMin <= xMax))
        return out;
    const std::size_t first = firstIndexAtOrAfter(xMin);
    const std::size_t last = firstIndexAfter(xMax);
    const auto count = static_cast<std::size_t>(std::max(columns, 1));
    if (first > 0)
        out.push_back(m_points[first - 1]);
    if (last - first <= 4 * count)
        out.insert(out.end(), m_points.begin() + static_cast<std::ptrdiff_t>(first),
                   m_points.begin() + static_cast<std::ptrdiff_t>(last));
    else
        appendColumns(out, first, last, xMin, xMax, count);
    if (last < m_points.size())
        out.push_back(m_points[last]);
    return out;
}

} // namespace pom
