// The port library the panel loads in place of real port access: Inp32 and
// Out32 work on the virtual port's shared state, so the port console (or a
// test) sees every access and drives the input pins.
//
// IsInpOutDriverOpen answers whether the port's kernel driver runs; the
// console can stop it, and the port then behaves as the real library does
// before its driver is installed (reads 0, writes lost).
//
// Built four ways from this file: complete, without one of the two entry
// points (VPORT_WITHOUT_OUT32 / VPORT_WITHOUT_INP32), to try how the panel
// copes with a library that lacks one, and without IsInpOutDriverOpen
// (VPORT_WITHOUT_ISINPOUTDRIVEROPEN), as older versions of the library are.
#include <windows.h>

#include <cstdint>
#include <string>

#include "PortState.h"

namespace {

// Opened on first use rather than when the library loads: creating the
// mapping is not safe under the loader lock. If the shared state can't be
// had, the port still works, privately, so the panel never fails here.
vport::PortState* Port() {
    static vport::PortState* const port = []() -> vport::PortState* {
        try {
            std::string error;
            if (vport::PortState* shared = vport::PortState::Open(&error)) return shared;
            OutputDebugStringA(("inpout32: " + error + "; using a private port\n").c_str());
        } catch (...) {
        }
        return vport::PortState::CreatePrivate();
    }();
    return port;
}

}  // namespace

extern "C" {

#ifndef VPORT_WITHOUT_INP32
short __stdcall Inp32(short port) {
    vport::PortState* state = Port();
    // With no state at all the port reads like an empty bus.
    uint8_t value = state != nullptr ? state->Read(static_cast<uint16_t>(port)) : 0xFF;
    return static_cast<short>(value);
}
#endif

#ifndef VPORT_WITHOUT_OUT32
void __stdcall Out32(short port, short value) {
    if (vport::PortState* state = Port())
        state->Write(static_cast<uint16_t>(port), static_cast<uint8_t>(value));
}
#endif

#ifndef VPORT_WITHOUT_ISINPOUTDRIVEROPEN
BOOL __stdcall IsInpOutDriverOpen() {
    vport::PortState* state = Port();
    return state == nullptr || state->DriverRunning() ? TRUE : FALSE;
}
#endif

}  // extern "C"
