#include "reply.h"

namespace pom {

namespace {

constexpr std::size_t ValueLength = 7;

DeviceModel makeModel(const std::string& name, bool insertPoint, bool dropLeading)
{
    DeviceModel model{Buffer65{}, insertPoint, dropLeading};
    copyText(model.record, name);
    return model;
}

// 1-based; a position past the end holds no character and matches nothing.
bool charAt(const std::string& text, std::size_t position, char wanted)
{
    return position <= text.size() && text[position - 1] == wanted;
}

} // namespace

const std::array<DeviceModel, 3>& DeviceModelTable()
{
    static const std::array<DeviceModel, 3> table{
        makeModel("KVT-4xx", false, false),
        makeModel("P-410", false, true),
        makeModel("P-400", true, false),
    };
    return table;
}

std::optional<std::size_t> IdentifyReply(const std::string& replyText)
{
    const bool pointAt6 = charAt(replyText, 6, '.');
    const bool pointAt7 = charAt(replyText, 7, '.');
    const bool signed1 = charAt(replyText, 1, '+') || charAt(replyText, 1, '-');
    if (pointAt6)
        return 0;
    if (pointAt7)
        return 1;
    if (signed1)
        return 2;
    return std::nullopt;
}

void NormaliseReply(ChannelState& ch)
{
    auto& rx = ch.RxBuffer;
    if (ch.InsertDecimalPoint != 0) {
        rx[6] = rx[5];
        rx[5] = '.';
    }
    if (ch.DropLeadingChar != 0) {
        for (std::size_t p = 0; p < ValueLength; ++p)
            rx[p] = rx[p + 1];
    }
}

std::string ValueText(const Buffer65& rxBuffer)
{
    return bufferText(rxBuffer).substr(0, ValueLength);
}

} // namespace pom
