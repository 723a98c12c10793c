#pragma once
// The measurement log: a header with the date, an empty line, then one
// "count TAB time TAB value" line per sample; CR LF, code page 1250.
#include <cstdint>
#include <string>

#include "buffers.h"
#include "datetime.h"
#include "regional.h"
#include "text_file.h"

namespace pom {

inline const std::string DefaultLogName = "zrx1.txt";
inline const std::string LogHeaderPrefix = "TORNI - Zapis temperatury:   ";
inline const std::string CaptionPrefix = "Pomiarownik.     ";

struct LogState {
    std::string LogFileName;  // UTF-8; a full path once a dialog chose it
    TextFile LogFile;
};

// The window caption whenever LogFileName changes.
std::string WindowCaption(const std::string& logFileName);

// LogFileName := "zrx1.txt"; the file is created empty or cut to zero bytes.
void CreateDefaultLog(LogState& log);
// Appends the header line and the empty line to the existing current log.
void WriteLogHeader(LogState& log, DateTime today, const RegionalFormats& formats);

// AppendLogLine in its three steps, which the cycle places apart. Each
// raises InOutError; after a failure the log is closed.
void AppendLogOpen(LogState& log);                                   // (a)
void AppendLogWrite(LogState& log, std::int32_t sampleCount, DateTime now,
                    const Buffer65& rxBuffer, const RegionalFormats& formats); // (b)
void AppendLogClose(LogState& log);                                  // (c) flush to disk, close

// The measurement line's file bytes without the line end: count, TAB, time,
// TAB, characters 1 to 7 of the reply (fewer when it is shorter).
std::string LogLineText(std::int32_t sampleCount, DateTime now, const Buffer65& rxBuffer,
                        const RegionalFormats& formats);

} // namespace pom
