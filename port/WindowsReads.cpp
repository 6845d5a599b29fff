#include "WindowsReads.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "CodeIntegrityLog.h"

namespace {

template <class Entry>
Entry Lookup(const wchar_t* dll, const char* name) {
    HMODULE module = GetModuleHandleW(dll);  // kernel32 and ntdll are in every process
    return module ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

std::wstring Wide(const char* ascii) { return std::wstring(ascii, ascii + std::strlen(ascii)); }

class RegistryKey {
public:
    explicit RegistryKey(const char* path)
        : error_(RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, KEY_QUERY_VALUE, &key_)) {}
    ~RegistryKey() {
        if (error_ == ERROR_SUCCESS) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // The value's type and bytes, or the error.
    LONG Query(const char* name, DWORD* type, std::vector<BYTE>* data) const {
        if (error_ != ERROR_SUCCESS) return error_;
        const std::wstring wide = Wide(name);
        DWORD size = 0;
        LONG error = RegQueryValueExW(key_, wide.c_str(), nullptr, type, nullptr, &size);
        if (error != ERROR_SUCCESS) return error;
        data->assign(size + sizeof(wchar_t), 0);  // room for a terminator the value may lack
        return RegQueryValueExW(key_, wide.c_str(), nullptr, type, data->data(), &size);
    }

private:
    HKEY key_ = nullptr;
    LONG error_;
};

RegistryRead ReadOf(LONG error) {
    if (error == ERROR_SUCCESS) return RegistryRead::Found;
    return error == ERROR_FILE_NOT_FOUND ? RegistryRead::Absent : RegistryRead::Failed;
}

class ServiceHandle {
public:
    explicit ServiceHandle(SC_HANDLE handle) : handle_(handle) {}
    ~ServiceHandle() {
        if (handle_) CloseServiceHandle(handle_);
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    SC_HANDLE get() const { return handle_; }

private:
    SC_HANDLE handle_;
};

// The token-information class of elevation, which Vista added.
constexpr int kTokenElevation = 20;
// System information class 103: the code-integrity options.
constexpr ULONG kSystemCodeIntegrityInformation = 103;

struct CodeIntegrityInformation {
    ULONG length;
    ULONG options;
};

WindowsMachine MachineOf(USHORT machine) {
    switch (machine) {
    case 0x014C: return WindowsMachine::X86;    // IMAGE_FILE_MACHINE_I386
    case 0x8664: return WindowsMachine::X64;    // IMAGE_FILE_MACHINE_AMD64
    case 0xAA64: return WindowsMachine::Arm64;  // IMAGE_FILE_MACHINE_ARM64
    default: return WindowsMachine::Other;
    }
}

class Windows final : public WindowsReads {
public:
    RegistryDword Dword(const char* key, const char* value) const override {
        DWORD type = 0;
        std::vector<BYTE> data;
        const LONG error = RegistryKey(key).Query(value, &type, &data);
        RegistryDword answer{ReadOf(error), 0, static_cast<DWORD>(error)};
        if (answer.read != RegistryRead::Found) return answer;
        if (type != REG_DWORD || data.size() < sizeof(DWORD)) return {RegistryRead::Failed, 0, ERROR_INVALID_DATA};
        answer.value = *reinterpret_cast<const DWORD*>(data.data());
        return answer;
    }

    RegistryText Text(const char* key, const char* value) const override {
        DWORD type = 0;
        std::vector<BYTE> data;
        const LONG error = RegistryKey(key).Query(value, &type, &data);
        RegistryText answer{ReadOf(error), L"", static_cast<DWORD>(error)};
        if (answer.read != RegistryRead::Found) return answer;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return {RegistryRead::Failed, L"", ERROR_INVALID_DATA};
        answer.value = reinterpret_cast<const wchar_t*>(data.data());
        return answer;
    }

    ServiceStatus Service(const char* name) const override {
        ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
        if (!manager.get()) return {RegistryRead::Failed, 0, 0, GetLastError()};
        ServiceHandle service(OpenServiceW(manager.get(), Wide(name).c_str(), SERVICE_QUERY_STATUS));
        if (!service.get()) {
            const DWORD error = GetLastError();
            return {error == ERROR_SERVICE_DOES_NOT_EXIST ? RegistryRead::Absent : RegistryRead::Failed, 0, 0, error};
        }
        SERVICE_STATUS status{};
        if (!QueryServiceStatus(service.get(), &status)) return {RegistryRead::Failed, 0, 0, GetLastError()};
        const DWORD exitCode = status.dwWin32ExitCode == ERROR_SERVICE_SPECIFIC_ERROR
                                   ? status.dwServiceSpecificExitCode
                                   : status.dwWin32ExitCode;
        return {RegistryRead::Found, status.dwCurrentState, exitCode, 0};
    }

    Known<bool> FileExists(const std::wstring& path) const override {
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return KnownAs(true);
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return KnownAs(false);
        return Unknown<bool>(error);
    }

    Known<bool> FileExistsUnredirected(const std::wstring& path) const override {
        // Every 64-bit Windows has these, XP x64 and Server 2003 x64 too,
        // which have no Sysnative folder; 32-bit XP has neither, and nothing
        // it would redirect. Nothing may load a DLL while redirection is off.
        using DisableEntry = BOOL(WINAPI*)(PVOID*);
        using RevertEntry = BOOL(WINAPI*)(PVOID);
        const auto disable = Lookup<DisableEntry>(L"kernel32.dll", "Wow64DisableWow64FsRedirection");
        const auto revert = Lookup<RevertEntry>(L"kernel32.dll", "Wow64RevertWow64FsRedirection");
        PVOID previous = nullptr;
        if (!disable || !revert || !disable(&previous)) return FileExists(path);  // nothing redirected here
        const Known<bool> exists = FileExists(path);
        revert(previous);
        return exists;
    }

    Known<WindowsMachine> Machine(const char** source) const override {
        // Windows 10 1511 and later tell the real processor; on ARM,
        // IsWow64Process is TRUE for an x86 program as on x64.
        using IsWow64Process2Entry = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
        if (const auto isWow64Process2 = Lookup<IsWow64Process2Entry>(L"kernel32.dll", "IsWow64Process2")) {
            *source = "IsWow64Process2";
            USHORT process = 0, native = 0;
            if (!isWow64Process2(GetCurrentProcess(), &process, &native))
                return Unknown<WindowsMachine>(GetLastError());
            return KnownAs(MachineOf(native));
        }
#ifdef _WIN64
        *source = "this program is 64-bit";
        return KnownAs(WindowsMachine::X64);
#else
        using IsWow64ProcessEntry = BOOL(WINAPI*)(HANDLE, PBOOL);
        const auto isWow64 = Lookup<IsWow64ProcessEntry>(L"kernel32.dll", "IsWow64Process");
        *source = "IsWow64Process";
        // Windows without the call (XP before SP2) has no 64-bit edition it could run on.
        if (!isWow64) return KnownAs(WindowsMachine::X86);
        BOOL wow64 = FALSE;
        if (!isWow64(GetCurrentProcess(), &wow64)) return Unknown<WindowsMachine>(GetLastError());
        return KnownAs(wow64 ? WindowsMachine::X64 : WindowsMachine::X86);
#endif
    }

    Known<bool> Elevated(const char** source) const override {
        HANDLE token = nullptr;
        *source = "token elevation";
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return Unknown<bool>(GetLastError());
        DWORD elevation = 0, size = 0;
        const BOOL told = GetTokenInformation(token, static_cast<TOKEN_INFORMATION_CLASS>(kTokenElevation),
                                              &elevation, sizeof elevation, &size);
        CloseHandle(token);
        if (told) return KnownAs(elevation != 0);
        // XP has no elevation: there an administrator's program has every right.
        *source = "administrators' group";
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        PSID administrators = nullptr;
        if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                      0, &administrators))
            return Unknown<bool>(GetLastError());
        BOOL member = FALSE;
        const BOOL checked = CheckTokenMembership(nullptr, administrators, &member);
        const DWORD error = GetLastError();
        FreeSid(administrators);
        return checked ? KnownAs(member != FALSE) : Unknown<bool>(error);
    }

    Known<DWORD> CodeIntegrityOptions() const override {
        using QueryEntry = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
        const auto query = Lookup<QueryEntry>(L"ntdll.dll", "NtQuerySystemInformation");
        if (!query) return Unknown<DWORD>(ERROR_PROC_NOT_FOUND);
        CodeIntegrityInformation information{sizeof information, 0};
        const LONG status = query(kSystemCodeIntegrityInformation, &information, sizeof information, nullptr);
        if (status < 0) return Unknown<DWORD>(static_cast<DWORD>(status));  // before Vista: not a class it knows
        return KnownAs<DWORD>(information.options);
    }

    Known<DWORD> WindowsBuild() const override {
        // GetVersionEx may report an older Windows to a program; this call does not.
        using RtlGetVersionEntry = LONG(WINAPI*)(OSVERSIONINFOW*);
        const auto getVersion = Lookup<RtlGetVersionEntry>(L"ntdll.dll", "RtlGetVersion");
        if (!getVersion) return Unknown<DWORD>(ERROR_PROC_NOT_FOUND);
        OSVERSIONINFOW version{};
        version.dwOSVersionInfoSize = sizeof version;
        const LONG status = getVersion(&version);
        if (status < 0) return Unknown<DWORD>(static_cast<DWORD>(status));
        return KnownAs<DWORD>(version.dwBuildNumber);
    }

    Known<DWORD> CodeIntegrityEvent(const std::wstring& file) const override {
        return NewestCodeIntegrityEvent(file);
    }

    std::wstring WindowsFolder() const override {
        wchar_t folder[MAX_PATH];
        const UINT n = GetWindowsDirectoryW(folder, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return L"C:\\Windows";
        std::wstring path(folder, n);
        if (!path.empty() && path.back() == L'\\') path.pop_back();
        return path;
    }
};

}  // namespace

const WindowsReads& ThisWindows() {
    static const Windows windows;
    return windows;
}
