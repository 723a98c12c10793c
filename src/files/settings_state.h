#pragma once
#include <string>

#include "text_file.h"

namespace pom {

inline const std::string SettingsFileDefaultName = "config.kvt";

// The settings writer's fields of the recorder state.
struct SettingsState {
    TextFile SettingsFile;
    std::string SettingsFileName;
};

} // namespace pom
