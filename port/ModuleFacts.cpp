#include "ModuleFacts.h"

#include <windows.h>

#include <cstdio>

// The file version from the loaded module's version resource.
Known<std::string> ModuleFileVersion(const PortLibrary& library) {
    const HMODULE module = static_cast<HMODULE>(library.module);
    if (!module) return Unknown<std::string>(ERROR_MOD_NOT_FOUND);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // VS_VERSION_INFO, RT_VERSION
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data) return Unknown<std::string>(ERROR_RESOURCE_TYPE_NOT_FOUND);
    const DWORD size = SizeofResource(module, found);
    // The fixed part starts with its signature, on a 32-bit boundary.
    for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        const auto* info = reinterpret_cast<const VS_FIXEDFILEINFO*>(data + at);
        if (info->dwSignature != 0xFEEF04BD) continue;
        char text[48];
        std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", info->dwFileVersionMS >> 16,
                      info->dwFileVersionMS & 0xFFFF, info->dwFileVersionLS >> 16, info->dwFileVersionLS & 0xFFFF);
        return KnownAs(std::string(text));
    }
    return Unknown<std::string>(ERROR_RESOURCE_TYPE_NOT_FOUND);
}

std::wstring ModulePath(const PortLibrary& library) {
    const HMODULE module = static_cast<HMODULE>(library.module);
    if (!module) return L"";
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path, n) : L"";
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return "";
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return "";
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size) - 1);
    return narrow;
}

