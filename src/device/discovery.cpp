#include "discovery.h"

#include "reply.h"

namespace pom {

namespace {

// One attempt on port n: true when the port answered with an accepted reply,
// in which case RxBuffer holds the model's record and the port stays open.
bool TryPort(DiscoveryEnv& env, std::int32_t n)
{
    ChannelState& ch = env.channel;
    if (!OpenPort(ch, env.port, n))
        return false;
    copyText(ch.TxBuffer, QueryCommand);
    env.clock.sleepMs(PreSendWaitMs);
    const bool sent = SendCommand(ch, env.port) == 0;
    env.clock.sleepMs(DiscoveryReplyWaitMs);
    const auto model = sent && ReadAvailable(ch, env.port, ch.PortHandle, BufferSize) != 0
                           ? IdentifyReply(bufferText(ch.RxBuffer))
                           : std::nullopt;
    if (!model) {
        env.port.closeHandle(ch.PortHandle);
        return false;
    }
    const DeviceModel& record = DeviceModelTable()[*model];
    ch.InsertDecimalPoint = record.insertDecimalPoint ? -1 : 0;
    ch.DropLeadingChar = record.dropLeadingChar ? -1 : 0;
    ch.RxBuffer = record.record;
    return true;
}

} // namespace

void DiscoverDevice(DiscoveryEnv& env)
{
    bool found = false;
    for (std::int32_t k = 1; !found && k < DiscoveryAttempts + 1; ++k) {
        const std::int32_t n = k % 256;
        if (env.onAttempt)
            env.onAttempt(n);
        found = TryPort(env, n);
    }

    if (found) {
        env.dialogs.message(bufferText(env.channel.RxBuffer), "Znaleziono  :");
        env.controls.setText(Ctl::OpenComm, "&Mierz");
        // A header error ends discovery here: the axis stays as it was and the
        // buffers keep their bytes, as the operator's error report shows.
        if (env.log.LogFileName == DefaultLogName)
            WriteLogHeader(env.log, env.clock.now(), env.formats);
    } else {
        env.dialogs.message("Urządzenie nie odpowiada ", "Uwaga !");
    }
    env.freezeTimeAxis();
    env.channel.TxBuffer.fill(0);
    env.channel.RxBuffer.fill(0);
}

} // namespace pom
