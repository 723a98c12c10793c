#pragma once
// The last valid value of each field the cycle converts. A typo in a field
// must never stop the recording: the cycle goes on with the field's last
// valid value, and skips the step while the field has never been valid.
#include <cstdint>
#include <limits>
#include <optional>

#include "controls.h"
#include "convert.h"
#include "errors.h"

namespace pom {

struct FieldMemory {
    std::optional<std::int32_t> Edit1;
    std::optional<std::int32_t> Edit2;
    std::optional<std::int32_t> Edit10;
    std::optional<std::int32_t> Edit4;
    std::optional<std::int32_t> Edit5;
};

// convert() raises ConvertError for text that is not valid; a value below
// minimum counts as not valid too. Either way the memory keeps its value.
template <class Convert>
std::optional<std::int32_t> RememberValid(std::optional<std::int32_t>& memory, Convert convert,
                                          std::int32_t minimum =
                                              std::numeric_limits<std::int32_t>::min())
{
    try {
        const std::int32_t value = convert();
        if (value >= minimum)
            memory = value;
    } catch (const ConvertError&) {
    }
    return memory;
}

// The whole number in a field, or its last valid value.
inline std::optional<std::int32_t> FieldValue(Controls& controls, Ctl field,
                                              std::optional<std::int32_t>& memory,
                                              std::int32_t minimum =
                                                  std::numeric_limits<std::int32_t>::min())
{
    return RememberValid(memory, [&] { return strToInt(controls.text(field)); }, minimum);
}

} // namespace pom
