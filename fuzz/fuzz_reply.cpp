// The reply path of discovery and of the measurement cycle on arbitrary
// port bytes: what is waiting is read into RxBuffer over the bytes of the
// previous reply, rewritten by the model flags and turned into the value
// text, the temperature and the log line.
//
// Input: a flags byte, the length of the first reply, the first reply, and
// the second reply (the rest). Flags: 1 InsertDecimalPoint, 2 DropLeadingChar,
// 4 a silent cycle between the replies, 8 the first reply is discovery's and
// picks the flags by the model it names.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "channel.h"
#include "convert.h"
#include "fakes.h"
#include "fuzz_support.h"
#include "log_file.h"
#include "reply.h"

namespace {

using pom::fuzz::Require;

const pom::RegionalFormats Formats = pom::regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");
// Noon, and a moment that rounds up to the next midnight.
constexpr pom::DateTime Moments[] = {46367.5, 46367.999999999};

struct Input {
    std::uint8_t flags = 0;
    std::vector<std::vector<std::uint8_t>> replies;
};

Input split(const std::uint8_t* data, std::size_t size)
{
    Input in;
    if (size < 2)
        return in;
    in.flags = data[0];
    const std::size_t first = std::min<std::size_t>(data[1], size - 2);
    in.replies.emplace_back(data + 2, data + 2 + first);
    if (in.flags & 4)
        in.replies.emplace_back();
    in.replies.emplace_back(data + 2 + first, data + size);
    return in;
}

struct Port {
    Port()
        : device(fake.add(1, [this](const std::vector<std::uint8_t>&) { return next; }))
    {
        Require(pom::OpenPort(channel, fake, 1), "the fake port opens");
    }
    pom::test::FakeSerialPort fake;
    pom::test::FakeSerialPort::Device& device;
    pom::ChannelState channel;
    std::vector<std::uint8_t> next;
};

// Sends the query and reads what is waiting, checking that the read takes
// the head of the queue and leaves the rest of RxBuffer as it was.
bool query(Port& p, const std::vector<std::uint8_t>& reply)
{
    pom::ChannelState& ch = p.channel;
    p.next = reply;
    pom::copyText(ch.TxBuffer, pom::QueryCommand);
    Require(pom::SendCommand(ch, p.fake) == 0, "the fake port sends");
    const pom::Buffer65 before = ch.RxBuffer;
    const std::deque<std::uint8_t> waiting = p.device.waiting;
    const bool got = pom::ReadAvailable(ch, p.fake, ch.PortHandle, pom::BufferSize) != 0;
    Require(got == !waiting.empty(), "a read reports whether bytes were waiting");
    const std::size_t taken = std::min(waiting.size(), pom::BufferSize);
    Require(p.device.waiting.size() == waiting.size() - taken, "at most 65 bytes are taken");
    Require(std::equal(waiting.begin(), waiting.begin() + static_cast<std::ptrdiff_t>(taken), ch.RxBuffer.begin()),
            "the bytes read come first in RxBuffer");
    Require(std::equal(before.begin() + static_cast<std::ptrdiff_t>(taken), before.end(),
                       ch.RxBuffer.begin() + static_cast<std::ptrdiff_t>(taken)),
            "the bytes after them are the previous reply's");
    return got;
}

// Discovery: an accepted reply sets the flags by its model and both buffers
// are cleared; a rejected one changes nothing.
void discover(Port& p)
{
    pom::ChannelState& ch = p.channel;
    const auto model = pom::IdentifyReply(pom::bufferText(ch.RxBuffer));
    if (model) {
        const pom::DeviceModel& record = pom::DeviceModelTable()[*model];
        ch.InsertDecimalPoint = record.insertDecimalPoint ? -1 : 0;
        ch.DropLeadingChar = record.dropLeadingChar ? -1 : 0;
    }
    ch.TxBuffer.fill(0);
    ch.RxBuffer.fill(0);
}

// Steps 7 to 12 of a cycle with a reply.
void measure(Port& p, std::int32_t sampleCount)
{
    pom::ChannelState& ch = p.channel;
    const auto shape = pom::IdentifyReply(pom::bufferText(ch.RxBuffer));
    pom::NormaliseReply(ch);
    const std::string text = pom::bufferText(ch.RxBuffer);
    const std::string value = pom::ValueText(ch.RxBuffer);
    Require(value.size() <= 7 && text.starts_with(value), "the value text is the reply's first 7 characters");
    if (shape) {
        const pom::DeviceModel& model = pom::DeviceModelTable()[*shape];
        const bool flagsMatch = (ch.InsertDecimalPoint != 0) == model.insertDecimalPoint
                                && (ch.DropLeadingChar != 0) == model.dropLeadingChar;
        if (flagsMatch && value.size() >= 6)
            Require(value[5] == '.', "a model's own reply has its point at 6 after the rewrite");
    }
    std::int32_t errorPos = 0;
    const double temperature = pom::valDouble(value, errorPos);
    Require(!std::isnan(temperature), "a value text gives a number");
    Require(errorPos >= 0 && static_cast<std::size_t>(errorPos) <= value.size() + 1, "the error position lies in the text");
    const std::string line = pom::LogLineText(sampleCount, Moments[sampleCount % 2], ch.RxBuffer, Formats);
    Require(line.starts_with(pom::intToStr(sampleCount) + '\t') && line.ends_with('\t' + value),
            "the log line is count, time and value text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Input in = split(data, size);
    if (in.replies.empty())
        return 0;
    Port p;
    p.channel.InsertDecimalPoint = (in.flags & 1) ? -1 : 0;
    p.channel.DropLeadingChar = (in.flags & 2) ? -1 : 0;
    std::int32_t sampleCount = 0;
    for (std::size_t i = 0; i < in.replies.size(); ++i) {
        if (!query(p, in.replies[i])) {
            p.channel.RxBuffer.fill(0); // the cycle's no-reply path
            continue;
        }
        if (i == 0 && (in.flags & 8))
            discover(p);
        else
            measure(p, ++sampleCount);
    }
    return 0;
}
