#pragma once
// The settings file "config.kvt": thresholds, alarm switch, chart options, line
// colour and interval, ten lines of code page 1250 text.
#include <cstdint>
#include <string>

#include "controls.h"
#include "settings_state.h"

namespace pom {

inline const std::string SettingsHeader =
    "TORNI - Jednokanalowy pomiarownik temperatury. Plik konfiguracyjny";

// "Zapis ustawień": writes the ten lines from the controls as they are at the
// moment each line is written. A failure raises the platform's I/O error; the
// file is closed all the same and keeps the lines written before it.
void Button1Click(SettingsState& s, Controls& controls);

// Start-up: fills the option controls from "config.kvt" in the file's order,
// which fires the window's change handlers as the values differ. intervalWait
// is the recorder's field, which those handlers also update. Errors, the
// handlers' own included, propagate; the file is closed in every case.
void LoadSettings(Controls& controls, std::int32_t& intervalWait);

} // namespace pom
