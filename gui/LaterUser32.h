// Functions of user32 newer than Windows XP, looked up where they exist:
// null on a Windows that lacks them.
#pragma once

#include <windows.h>

template <class Fn>
Fn User32Function(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}
