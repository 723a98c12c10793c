#pragma once
// Small stand-ins for the window, the clock, the dialogs and the serial port,
// shared by the logic tests. Each can write into one Trace so a test can check
// the order in which a cycle touches them.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "controls.h"
#include "datetime.h"
#include "dialogs.h"
#include "run_gate.h"
#include "serial_port.h"

namespace pom::test {

struct Trace {
    std::vector<std::string> events;
    void add(std::string e) { events.push_back(std::move(e)); }
};

class FakeClock final : public Clock {
public:
    explicit FakeClock(DateTime start = 46367.5) : m_now(start) {}
    DateTime now() override { return m_now; }
    std::int64_t steadyMs() override { return m_steady; }
    void sleepMs(int ms) override;
    void advanceMs(double ms);
    void set(DateTime value) { m_now = value; }
    Trace* trace = nullptr;
    std::int64_t sleptMs = 0;

private:
    DateTime m_now;
    std::int64_t m_steady = 0;
};

class FakeControls final : public Controls {
public:
    FakeControls();
    std::string text(Ctl c) override { return m_state[c].text; }
    void setText(Ctl c, const std::string& t) override;
    bool checked(Ctl c) override { return m_state[c].checked; }
    void setChecked(Ctl c, bool on) override;
    bool enabled(Ctl c) override { return m_state[c].enabled; }
    void setEnabled(Ctl c, bool on) override { m_state[c].enabled = on; }
    bool visible(Ctl c) override { return m_state[c].visible; }
    void setVisible(Ctl c, bool on) override;
    void setColours(Ctl c, Colour background, Colour font) override;
    Colour selectedColour() override { return m_selected; }
    void setSelectedColour(Colour colour) override { m_selected = colour; }

    Colour background(Ctl c) { return m_state[c].background; }
    Colour font(Ctl c) { return m_state[c].font; }
    // Called after a text or check state really changed, like a change handler.
    std::function<void(Ctl)> onChange;
    Trace* trace = nullptr;

private:
    struct State {
        std::string text;
        bool checked = false;
        bool enabled = true;
        bool visible = true;
        Colour background = 0;
        Colour font = 0;
    };
    std::map<Ctl, State> m_state;
    Colour m_selected = 0x0000FF;
};

class FakeDialogs final : public Dialogs {
public:
    struct Shown {
        std::string kind, text, title;
    };
    void message(const std::string& text, const std::string& title) override;
    void error(const std::string& text) override;
    void applicationError(const std::string& text) override;
    bool confirm(const std::string& text, const std::string& title) override;
    std::optional<std::string> openFileName() override;
    std::optional<std::string> saveFileName() override;
    void beep() override;

    std::vector<Shown> shown;
    bool confirmAnswer = false;
    std::optional<std::string> nextOpen, nextSave;
    int beeps = 0;
    Trace* trace = nullptr;

    // The print dialog: recorded as "print", answered with printAnswer.
    bool printDialog(Printer& printer) override;
    bool printAnswer = false;
};

// A bank of serial ports by number; each open port answers what its
// responder returns for the bytes written to it.
class FakeSerialPort final : public SerialPort {
public:
    using Responder = std::function<std::vector<std::uint8_t>(const std::vector<std::uint8_t>&)>;
    struct Device {
        Responder responder;
        int failingWaits = 0;  // transmit waits that fail before one succeeds
        std::vector<std::uint8_t> written;
        std::deque<std::uint8_t> waiting;
        Dcb dcb{};
        bool open = false;
    };

    Device& add(int portNumber, Responder responder = {});
    Device& device(int portNumber) { return m_devices.at(portNumber); }

    SerialHandle createFile(const std::string& name) override;
    bool setupComm(SerialHandle, std::uint32_t, std::uint32_t) override { return true; }
    bool getCommState(SerialHandle h, Dcb& dcb) override;
    bool setCommState(SerialHandle h, const Dcb& dcb) override;
    bool setCommMask(SerialHandle, std::uint32_t) override { return true; }
    bool flushFileBuffers(SerialHandle) override { return true; }
    bool writeFile(SerialHandle h, const std::uint8_t* data, std::uint32_t count,
                   std::uint32_t& written) override;
    bool waitCommEvent(SerialHandle h, std::uint32_t& mask) override;
    bool clearCommError(SerialHandle h, std::uint32_t& errors, ComStat& status) override;
    bool readFile(SerialHandle h, std::uint8_t* data, std::uint32_t count,
                  std::uint32_t& read) override;
    bool closeHandle(SerialHandle h) override;

    int opens = 0;         // open attempts
    int closes = 0;
    Trace* trace = nullptr;

private:
    Device* byHandle(SerialHandle h);
    std::map<int, Device> m_devices;
};

// A responder that answers every query with text.
FakeSerialPort::Responder answer(const std::string& text);

// A gate that never holds: waits advance the fake clock, and the worker is
// let through a fixed number of checkpoints.
class FakeGate final : public RunGate {
public:
    FakeGate(FakeClock& clock, int checkpoints) : m_clock(clock), m_left(checkpoints) {}
    bool checkpoint() override;
    bool wait(int ms) override;
    bool enterLogSection() override { return true; }
    void leaveLogSection() override {}
    Trace* trace = nullptr;
    // Called at each checkpoint, for a test that changes things between cycles.
    std::function<void()> atCheckpoint;

private:
    FakeClock& m_clock;
    int m_left;
};

} // namespace pom::test
