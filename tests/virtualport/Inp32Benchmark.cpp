// Measures what one Inp32 call costs: the built library loaded as the panel
// loads it, on a port of the benchmark's own, a million reads of each kind
// (status as the panel and --watch read it, then data and control reading
// back the pins with signals on them, and status with signals on inputs),
// the time per call printed. A measurement to read, not a test: it passes
// whatever the numbers.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "PortState.h"
#include "TestSupport.h"

namespace {

const long kCalls = 1000000;

// The time of one call of `inp32(port)`, in nanoseconds.
double NanosPerRead(vport_test::Inp32Fn inp32, short port, unsigned* sum) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (long i = 0; i < kCalls; ++i) *sum += static_cast<unsigned short>(inp32(port));
    QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) * 1e9 / double(frequency.QuadPart) / kCalls;
}

}  // namespace

int main() {
    vport_test::ScopedPortName name("benchmark");
    std::unique_ptr<vport::PortState> port(vport::PortState::Open());
    HMODULE library = LoadLibraryA(vport_test::BuiltFile(VPORT_LIBRARY).c_str());
    auto inp32 = library ? vport_test::FindEntry<vport_test::Inp32Fn>(library, "Inp32") : nullptr;
    if (port == nullptr || inp32 == nullptr) {
        std::fprintf(stderr, "cannot open the port or load Inp32 from %s\n", VPORT_LIBRARY);
        return 1;
    }
    inp32(0x379);  // opens the port outside the timing

    unsigned sum = 0;
    std::printf("Inp32, ns/call over %ld calls:\n", kCalls);
    std::printf("  status, no signals                        %6.1f\n", NanosPerRead(inp32, 0x379, &sum));
    port->SetReadbackFromPins(true);
    port->SetData(0xFF);
    port->SetControl(0x04);
    std::printf("  data, read back from the pins, no signals %6.1f\n", NanosPerRead(inp32, 0x378, &sum));
    port->SetPulse({5, 1000, 500});
    port->SetUart({14, 9600, "Tarnwick"});
    std::printf("  data, a pulse on pin 5                    %6.1f\n", NanosPerRead(inp32, 0x378, &sum));
    std::printf("  control, a UART line on pin 14            %6.1f\n", NanosPerRead(inp32, 0x37A, &sum));
    std::printf("  status, the signals on data and control   %6.1f\n", NanosPerRead(inp32, 0x379, &sum));
    port->SetPulse({10, 1000, 500});
    port->SetUart({11, 9600, "Tarnwick"});
    std::printf("  status, the signals on pins 10 and 11     %6.1f\n", NanosPerRead(inp32, 0x379, &sum));
    std::printf("(checksum %u)\n", sum);
    FreeLibrary(library);
    return 0;
}
