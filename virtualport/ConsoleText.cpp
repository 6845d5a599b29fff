#include "ConsoleText.h"

#include <cstdio>

#include "PinModel.h"

namespace vport {

namespace {

struct PinInfo {
    const char* name;
    const char* role;  // the register bit behind the pin
};

// Pins 1-17 in order; pins 18-25 are ground.
const PinInfo kPins[17] = {
    {"/STROBE", "out  C0 inverted"},
    {"D0", "out  data bit 0"},
    {"D1", "out  data bit 1"},
    {"D2", "out  data bit 2"},
    {"D3", "out  data bit 3"},
    {"D4", "out  data bit 4"},
    {"D5", "out  data bit 5"},
    {"D6", "out  data bit 6"},
    {"D7", "out  data bit 7"},
    {"/ACK", "in   S6"},
    {"BUSY", "in   S7 inverted"},
    {"PAPER OUT", "in   S5"},
    {"SELECT", "in   S4"},
    {"/AUTOFEED", "out  C1 inverted"},
    {"/ERROR", "in   S3"},
    {"/INIT", "out  C2"},
    {"/SELECT IN", "out  C3 inverted"},
};

std::string Binary(uint8_t value) {
    std::string bits;
    for (int bit = 7; bit >= 0; --bit) bits += (value >> bit & 1) ? '1' : '0';
    return bits;
}

std::string RegisterLine(const char* name, uint8_t value, const char* note) {
    char line[80];
    std::snprintf(line, sizeof line, "%-9s0x%02X  %s%s\n", name, value, Binary(value).c_str(),
                  note);
    return line;
}

}  // namespace

const char* WiringName(Wiring wiring) {
    switch (wiring) {
    case Wiring::None: return "none";
    case Wiring::DataLoopback: return "data loopback";
    case Wiring::ControlLoopback: return "control loopback";
    }
    return "unknown";
}

const char* DriverStateName(bool running) { return running ? "running" : "stopped"; }

PortSnapshot TakeSnapshot(const PortState& port) {
    PortSnapshot snapshot;
    snapshot.name = PortState::SharedName();
    snapshot.data = port.Data();
    snapshot.status = port.Status();
    snapshot.control = port.Control();
    snapshot.statusForced = port.StatusForced();
    snapshot.wiring = port.GetWiring();
    snapshot.driverRunning = port.DriverRunning();
    for (int pin = 1; pin <= 17; ++pin) snapshot.pinHigh[pin] = port.PinLevel(pin);
    return snapshot;
}

std::string FormatSnapshot(const PortSnapshot& snapshot) {
    std::string text = "port     " + snapshot.name + "\nwiring   " +
                       WiringName(snapshot.wiring) + "\ndriver   " +
                       DriverStateName(snapshot.driverRunning) + "\n";
    text += RegisterLine("data", snapshot.data, "");
    text += RegisterLine("status", snapshot.status, snapshot.statusForced ? "  forced" : "");
    text += RegisterLine("control", snapshot.control, "");
    text += "pin  name        level  dir  register\n";
    for (int pin = 1; pin <= 17; ++pin) {
        char line[96];
        std::snprintf(line, sizeof line, "%3d  %-10s  %-5s  %s", pin, kPins[pin - 1].name,
                      snapshot.pinHigh[pin] ? "high" : "low", kPins[pin - 1].role);
        text += line;
        if (int source = WiredSource(snapshot.wiring, pin)) {
            text += ", wired to pin " + std::to_string(source);
            // Only a pin held low by hand parts from the output wired to it.
            if (snapshot.pinHigh[pin] != snapshot.pinHigh[source]) text += ", held low";
        }
        text += "\n";
    }
    return text;
}

std::string FormatAccess(const Access& access) {
    char line[48];
    std::snprintf(line, sizeof line, "%c 0x%04X %s 0x%02X%s", access.write ? 'W' : 'R', access.port,
                  access.write ? "<-" : "->", access.value,
                  access.driverStopped ? "  (driver stopped)" : "");
    return line;
}

}  // namespace vport
