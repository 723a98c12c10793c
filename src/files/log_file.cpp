#include "log_file.h"

#include "convert.h"
#include "cp1250.h"
#include "errors.h"

namespace pom {

namespace {

constexpr std::size_t ValueLength = 7;

// After a failure the log must still end up closed, so that the next cycle
// (or a resume) starts from a clean, closed file; the first error is the one
// the caller reports.
template <class Step>
void closingOnFailure(TextFile& file, Step step)
{
    try {
        step();
    } catch (const Error&) {
        if (file.isOpen()) {
            try {
                file.close();
            } catch (const Error&) {
            }
        }
        throw;
    }
}

} // namespace

std::string WindowCaption(const std::string& logFileName)
{
    return CaptionPrefix + logFileName;
}

void CreateDefaultLog(LogState& log)
{
    log.LogFileName = DefaultLogName;
    log.LogFile.assign(log.LogFileName);
    log.LogFile.rewrite();
    log.LogFile.close();
}

void WriteLogHeader(LogState& log, DateTime today, const RegionalFormats& formats)
{
    log.LogFile.append();
    closingOnFailure(log.LogFile, [&] {
        log.LogFile.writeLn(utf8ToCp1250(LogHeaderPrefix + formatDate(today, formats)));
        log.LogFile.writeLn();
        log.LogFile.close();
    });
}

void AppendLogOpen(LogState& log)
{
    log.LogFile.append();
}

void AppendLogWrite(LogState& log, std::int32_t sampleCount, DateTime now,
                    const Buffer65& rxBuffer, const RegionalFormats& formats)
{
    closingOnFailure(log.LogFile, [&] {
        log.LogFile.writeLn(LogLineText(sampleCount, now, rxBuffer, formats));
    });
}

void AppendLogClose(LogState& log)
{
    closingOnFailure(log.LogFile, [&] {
        log.LogFile.flush();
        log.LogFile.close();
    });
}

std::string LogLineText(std::int32_t sampleCount, DateTime now, const Buffer65& rxBuffer,
                        const RegionalFormats& formats)
{
    const std::string fields = intToStr(sampleCount) + '\t' + formatTime(now, formats) + '\t';
    // The reply's bytes are already single-byte text and go into the file as received.
    return utf8ToCp1250(fields) + bufferText(rxBuffer).substr(0, ValueLength);
}

} // namespace pom
