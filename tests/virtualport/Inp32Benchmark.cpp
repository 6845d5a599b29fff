// Measures what one Inp32 call costs the panel: the built library loaded as
// the panel loads it, a million status reads, the time per call printed.
// A measurement to read, not a test: it passes whatever the number.
#include <windows.h>

#include <cstdio>

#include "PortState.h"
#include "TestSupport.h"

int main() {
    const long calls = 1000000;
    HMODULE library = LoadLibraryA(vport_test::BuiltFile(VPORT_LIBRARY).c_str());
    auto inp32 = library ? vport_test::FindEntry<vport_test::Inp32Fn>(library, "Inp32") : nullptr;
    if (inp32 == nullptr) {
        std::fprintf(stderr, "cannot load Inp32 from %s\n", VPORT_LIBRARY);
        return 1;
    }
    inp32(0x379);  // opens the port outside the timing

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    unsigned sum = 0;
    for (long i = 0; i < calls; ++i) sum += static_cast<unsigned short>(inp32(0x379));
    QueryPerformanceCounter(&end);

    double ns = double(end.QuadPart - start.QuadPart) * 1e9 / double(frequency.QuadPart) / calls;
    std::printf("Inp32: %ld calls, %.1f ns/call (checksum %u)\n", calls, ns, sum);
    FreeLibrary(library);
    return 0;
}
