// The bare loop `make bench` measures PortCheck --watch against: Inp32 on
// the same port, as fast as it answers, and nothing else. One read a
// sample for the inputs, three (data, status, control) for all lines.
//   WatchReference BASE SECONDS inputs|all
// Prints "samples N seconds S"; loads inpout32.dll from its own folder.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using Inp32Fn = short(__stdcall*)(short);

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: WatchReference BASE SECONDS inputs|all\n");
        return 2;
    }
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string library(path);
    library = library.substr(0, library.rfind('\\') + 1) + "inpout32.dll";
    HMODULE module = LoadLibraryA(library.c_str());
    Inp32Fn read = module ? reinterpret_cast<Inp32Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, "Inp32")))
                          : nullptr;
    if (!read) {
        std::fprintf(stderr, "WatchReference: no Inp32 in %s\n", library.c_str());
        return 3;
    }
    const short base = static_cast<short>(std::strtol(argv[1], nullptr, 0));
    const bool all = std::strcmp(argv[3], "all") == 0;
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const LONGLONG end = start.QuadPart + static_cast<LONGLONG>(std::atof(argv[2]) * frequency.QuadPart);
    unsigned long long samples = 0;
    volatile unsigned sink = 0;
    do {
        for (int i = 0; i < 4096; ++i) {
            if (all) sink = sink + read(base) + read(static_cast<short>(base + 1)) + read(static_cast<short>(base + 2));
            else sink = sink + read(static_cast<short>(base + 1));
        }
        samples += 4096;
        QueryPerformanceCounter(&now);
    } while (now.QuadPart < end);
    std::printf("samples %llu seconds %.6f\n", samples,
                static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    return 0;
}
