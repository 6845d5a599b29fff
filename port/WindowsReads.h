// What the driver diagnosis asks Windows, behind an interface so that it can
// be tried against stand-ins. Each answer says whether Windows told: a read
// that failed is "unknown", never a guess. Nothing here needs rights a
// normal program lacks, from XP to 11.
#pragma once

#include "WinTypes.h"

#include <string>

// An answer Windows may not give: `known` false where it did not (the call
// is missing on this Windows, or failed with `error`).
template <class T>
struct Known {
    bool known = false;
    T value{};
    DWORD error = 0;
};

template <class T>
Known<T> KnownAs(T value) {
    return {true, value, 0};
}

template <class T>
Known<T> Unknown(DWORD error) {
    return {false, T{}, error};
}

// A value under HKLM: there, absent (key or value missing), or unreadable.
enum class RegistryRead { Found, Absent, Failed };

struct RegistryDword {
    RegistryRead read = RegistryRead::Failed;
    DWORD value = 0;
    DWORD error = 0;  // when Failed
};

struct RegistryText {
    RegistryRead read = RegistryRead::Failed;
    std::wstring value;
    DWORD error = 0;
};

// A service as the service manager tells it to a program with connect and
// query-status rights only.
struct ServiceStatus {
    RegistryRead read = RegistryRead::Failed;  // Absent: no such service
    DWORD state = 0;                           // SERVICE_STOPPED, SERVICE_RUNNING, ...
    DWORD exitCode = 0;                        // the last start's, or the service's own
    DWORD error = 0;
};

class WindowsReads {
public:
    virtual ~WindowsReads() = default;
    virtual RegistryDword Dword(const wchar_t* key, const wchar_t* value) const = 0;  // under HKLM
    virtual RegistryText Text(const wchar_t* key, const wchar_t* value) const = 0;    // under HKLM
    virtual ServiceStatus Service(const wchar_t* name) const = 0;
    virtual Known<bool> FileExists(const std::wstring& path) const = 0;
    // Whether Windows is 64-bit, and how that was learned.
    virtual Known<bool> Windows64(const char** source) const = 0;
    // Whether this process runs elevated, and how that was learned.
    virtual Known<bool> Elevated(const char** source) const = 0;
    // The code-integrity options of system information class 103.
    virtual Known<DWORD> CodeIntegrityOptions() const = 0;
    virtual Known<DWORD> WindowsBuild() const = 0;
    // The Windows folder, without a trailing backslash.
    virtual std::wstring WindowsFolder() const = 0;
};

// The answers of the Windows this program runs on.
const WindowsReads& ThisWindows();
