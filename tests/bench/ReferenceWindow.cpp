// The least a Win32 program with the panel's duty can cost, for `make bench`
// to hold the panel against: a bare window of the panel's size and place,
// painted once, with two 1 ms timers. Each tick of the first reads the port
// registers as the panel's lamp timer does (seventeen Inp32 calls through
// inpout32.dll from this program's folder); nothing is repainted after the
// first paint. It needs no Set: it reads port 0x378 from the first tick.
#include <windows.h>

namespace {

using PortRead = short(__stdcall*)(short);

PortRead Inp32 = nullptr;
volatile short lastRead = 0;  // keeps the reads' results in use

const short kData = 0x378, kStatus = 0x379, kControl = 0x37A;
// The panel's lamp order: five status lines, one control line, eight data
// lines, three control lines.
const short kLampPorts[17] = {kStatus, kStatus, kStatus, kStatus, kStatus, kControl,
                              kData,   kData,   kData,   kData,   kData,   kData,
                              kData,   kData,   kControl, kControl, kControl};

void ReadLamps() {
    if (!Inp32) return;
    for (short port : kLampPorts) lastRead = Inp32(port);
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER:
        if (wParam == 1) ReadLamps();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the background
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Loaded once, from this program's folder first, as the panel does.
    if (HMODULE library = LoadLibraryA("inpout32.dll"))
        Inp32 = reinterpret_cast<PortRead>(reinterpret_cast<void*>(GetProcAddress(library, "Inp32")));

    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "TarnwickReference";
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Tarnwick reference", WS_OVERLAPPEDWINDOW, 289, 122, 947,
                                  589, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    SetTimer(window, 1, 1, nullptr);
    SetTimer(window, 2, 1, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
