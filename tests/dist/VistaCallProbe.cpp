// Must not compile: our code is built for the Windows XP API, and
// GetTickCount64 came with Vista. Built only by the xp_api_level test.
#include <windows.h>

int main() {
    return static_cast<int>(GetTickCount64() & 1);
}
