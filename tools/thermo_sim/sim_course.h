#pragma once
// The temperature course the simulated thermometer follows, one value per reply.
#include <cstddef>
#include <vector>

namespace pom::sim {

class Course {
public:
    static Course constant(double value);
    // start, start + step, start + 2 step, ...
    static Course ramp(double start, double step);
    // The values in turn, over and over; values must not be empty.
    static Course cycle(std::vector<double> values);

    // The value of this reply; the course then moves on.
    double next();

private:
    Course(std::vector<double> values, double step) : m_values(std::move(values)), m_step(step) {}

    std::vector<double> m_values;
    double m_step = 0.0;
    std::size_t m_count = 0;
};

} // namespace pom::sim
