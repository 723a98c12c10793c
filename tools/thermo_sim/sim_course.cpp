#include "sim_course.h"

#include <stdexcept>

namespace pom::sim {

Course Course::constant(double value)
{
    return Course({value}, 0.0);
}

Course Course::ramp(double start, double step)
{
    return Course({start}, step);
}

Course Course::cycle(std::vector<double> values)
{
    if (values.empty())
        throw std::invalid_argument("a course needs at least one value");
    return Course(std::move(values), 0.0);
}

double Course::next()
{
    // From the count rather than by adding up steps, so a long ramp does not drift.
    const double value = m_values[m_count % m_values.size()] + m_step * static_cast<double>(m_count);
    ++m_count;
    return value;
}

} // namespace pom::sim
