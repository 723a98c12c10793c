#pragma once
// The thermometer's replies: which shapes are accepted, which model each
// shape names, and the rewrite that brings every model to "+0023.5".
#include <array>
#include <optional>
#include <string>

#include "buffers.h"
#include "channel.h"

namespace pom {

struct DeviceModel {
    Buffer65 record;  // the name, then zero bytes up to 65
    bool insertDecimalPoint;
    bool dropLeadingChar;
};

// "KVT-4xx", "P-410", "P-400", in the order identification tries them.
const std::array<DeviceModel, 3>& DeviceModelTable();

// The model index for an accepted reply text, nullopt for a rejected one.
std::optional<std::size_t> IdentifyReply(const std::string& replyText);

// Rewrites the reply in RxBuffer in place by the model flags.
void NormaliseReply(ChannelState& ch);

// Characters 1 to 7 of the reply text, fewer when it is shorter.
std::string ValueText(const Buffer65& rxBuffer);

} // namespace pom
