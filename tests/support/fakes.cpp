#include "fakes.h"

#include <algorithm>
#include <utility>

namespace pom::test {

void FakeClock::sleepMs(int ms)
{
    if (trace)
        trace->add("sleep " + std::to_string(ms));
    sleptMs += ms;
    advanceMs(ms);
}

void FakeClock::advanceMs(double ms)
{
    m_now += ms / MsPerDay;
    m_steady += static_cast<std::int64_t>(ms);
}

FakeControls::FakeControls()
{
    // The design-time values that matter to the logic.
    m_state[Ctl::Edit1].text = "0";
    m_state[Ctl::Edit2].text = "0";
    m_state[Ctl::Edit4].text = "25";
    m_state[Ctl::Edit5].text = "22";
    m_state[Ctl::Edit10].text = "100";
    m_state[Ctl::OpenComm].text = "&Połącz";
    m_state[Ctl::Form].text = "Pomiarownik";
    m_state[Ctl::Label6].visible = false;
}

void FakeControls::setText(Ctl c, const std::string& t)
{
    if (trace)
        trace->add("text " + t);
    if (m_state[c].text == t)
        return;
    m_state[c].text = t;
    if (onChange)
        onChange(c);
}

void FakeControls::setChecked(Ctl c, bool on)
{
    if (m_state[c].checked == on)
        return;
    m_state[c].checked = on;
    if (onChange)
        onChange(c);
}

void FakeControls::setVisible(Ctl c, bool on)
{
    if (trace)
        trace->add(std::string(on ? "show" : "hide"));
    m_state[c].visible = on;
}

void FakeControls::setColours(Ctl c, Colour background, Colour font)
{
    if (trace)
        trace->add("colours " + std::to_string(background));
    m_state[c].background = background;
    m_state[c].font = font;
}

void FakeDialogs::message(const std::string& text, const std::string& title)
{
    shown.push_back({"message", text, title});
}

void FakeDialogs::error(const std::string& text)
{
    shown.push_back({"error", text, ""});
}

void FakeDialogs::applicationError(const std::string& text)
{
    shown.push_back({"applicationError", text, "Application Error"});
}

bool FakeDialogs::confirm(const std::string& text, const std::string& title)
{
    shown.push_back({"confirm", text, title});
    return confirmAnswer;
}

std::optional<std::string> FakeDialogs::openFileName()
{
    return std::exchange(nextOpen, std::nullopt);
}

std::optional<std::string> FakeDialogs::saveFileName()
{
    return std::exchange(nextSave, std::nullopt);
}

void FakeDialogs::beep()
{
    ++beeps;
    if (trace)
        trace->add("beep");
}

// The print dialog.
bool FakeDialogs::printDialog(Printer&)
{
    shown.push_back({"print", "", ""});
    return printAnswer;
}

FakeSerialPort::Device& FakeSerialPort::add(int portNumber, Responder responder)
{
    Device& d = m_devices[portNumber];
    d.responder = std::move(responder);
    return d;
}

FakeSerialPort::Device* FakeSerialPort::byHandle(SerialHandle h)
{
    const auto it = m_devices.find(static_cast<int>(h) - 1);
    return it == m_devices.end() ? nullptr : &it->second;
}

SerialHandle FakeSerialPort::createFile(const std::string& name)
{
    ++opens;
    const auto n = portNumberFromName(name);
    const auto it = m_devices.find(static_cast<int>(n));
    if (it == m_devices.end() || it->second.open)
        return InvalidHandle;
    it->second.open = true;
    return static_cast<SerialHandle>(n + 1);
}

bool FakeSerialPort::getCommState(SerialHandle h, Dcb& dcb)
{
    Device* d = byHandle(h);
    if (d)
        dcb = d->dcb;
    return d != nullptr;
}

bool FakeSerialPort::setCommState(SerialHandle h, const Dcb& dcb)
{
    Device* d = byHandle(h);
    if (d)
        d->dcb = dcb;
    return d != nullptr;
}

bool FakeSerialPort::writeFile(SerialHandle h, const std::uint8_t* data, std::uint32_t count,
                               std::uint32_t& written)
{
    Device* d = byHandle(h);
    written = 0;
    if (!d)
        return false;
    const std::vector<std::uint8_t> bytes(data, data + count);
    if (trace)
        trace->add("send " + std::string(bytes.begin(), bytes.end()));
    d->written.insert(d->written.end(), bytes.begin(), bytes.end());
    if (d->responder) {
        const auto reply = d->responder(bytes);
        d->waiting.insert(d->waiting.end(), reply.begin(), reply.end());
    }
    written = count;
    return true;
}

bool FakeSerialPort::waitCommEvent(SerialHandle h, std::uint32_t& mask)
{
    Device* d = byHandle(h);
    if (!d)
        return false;
    if (d->failingWaits > 0) {
        --d->failingWaits;
        return false;
    }
    mask = EV_TXEMPTY;
    return true;
}

bool FakeSerialPort::clearCommError(SerialHandle h, std::uint32_t& errors, ComStat& status)
{
    Device* d = byHandle(h);
    errors = 0;
    if (!d)
        return false;
    status.cbInQue = static_cast<std::uint32_t>(d->waiting.size());
    return true;
}

bool FakeSerialPort::readFile(SerialHandle h, std::uint8_t* data, std::uint32_t count,
                              std::uint32_t& read)
{
    Device* d = byHandle(h);
    read = 0;
    if (!d)
        return false;
    if (trace)
        trace->add("read");
    while (read < count && !d->waiting.empty()) {
        data[read++] = d->waiting.front();
        d->waiting.pop_front();
    }
    return true;
}

bool FakeSerialPort::closeHandle(SerialHandle h)
{
    Device* d = byHandle(h);
    ++closes;
    if (!d)
        return false;
    d->open = false;
    return true;
}

FakeSerialPort::Responder answer(const std::string& text)
{
    return [text](const std::vector<std::uint8_t>&) {
        return std::vector<std::uint8_t>(text.begin(), text.end());
    };
}

bool FakeGate::checkpoint()
{
    if (atCheckpoint)
        atCheckpoint();
    return m_left-- > 0;
}

bool FakeGate::wait(int ms)
{
    if (trace)
        trace->add("wait " + std::to_string(ms));
    m_clock.advanceMs(ms);
    return true;
}

} // namespace pom::test
