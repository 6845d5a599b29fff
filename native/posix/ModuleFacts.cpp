// What Windows tells of the loaded port library, in the native build,
// where none is loaded; paths narrowed as an ASCII code page would.
#include "ModuleFacts.h"

#include "WindowsCodes.h"

Known<std::string> ModuleFileVersion(const PortLibrary&) { return Unknown<std::string>(wincode::kModuleNotFound); }

std::wstring ModulePath(const PortLibrary&) { return L""; }

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c >= 0 && c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}
