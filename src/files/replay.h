#pragma once
// "Otwórz": draws a saved measurement log on the chart, the times of day
// running on past midnight.
#include "chart.h"
#include "controls.h"
#include "dialogs.h"
#include "log_file.h"
#include "regional.h"
#include "samples.h"

namespace pom {

inline const std::string ReplayTitlePrefix = "Wykres z dnia ";

// The chosen file becomes the current log and its lines replace the points of
// the series. A file that cannot be opened raises with the series emptied and
// the caption and OpenComm untouched. A line whose time is not valid raises
// after the points before it have been added; the file is closed and
// SampleCount reset in either case.
void Otwrz1Click(LogState& log, SampleState& samples, Controls& controls, Chart& chart,
                 Dialogs& dialogs, const RegionalFormats& formats);

} // namespace pom
