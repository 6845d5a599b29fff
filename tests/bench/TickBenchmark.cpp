// What one tick of each timer costs, with the virtual port library bound.
// Run by hand (it asserts nothing):
//   scripts/wine-run build/x86_64/tests/bin/tick_benchmark.exe
#include <windows.h>

#include <cstdio>

#include "Forms.h"
#include "Unit1.h"

namespace {

double MicrosecondsPer(int count, void (TTarnwick::*handler)(TObject*)) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < count; ++i) (Tarnwick->*handler)(nullptr);
    QueryPerformanceCounter(&end);
    return 1e6 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart) / count;
}

}  // namespace

int main() {
    Application = new TApplication;
    Application->CreateForm(&Tarnwick);
    Tarnwick->MaskEdit_REGISTER->SetText("0X378");
    Tarnwick->ButtonSetClick(nullptr);
    const int ticks = 20000;
    std::printf("TimerLEDsTimer:   %.2f us per tick (17 port reads, 17 colour assignments)\n",
                MicrosecondsPer(ticks, &TTarnwick::TimerLEDsTimer));
    std::printf("TimerValuesTimer: %.2f us per tick (3 caption assignments)\n",
                MicrosecondsPer(ticks, &TTarnwick::TimerValuesTimer));
    return 0;
}
