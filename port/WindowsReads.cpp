#include "WindowsReads.h"

#include <windows.h>

#include <vector>

namespace {

template <class Entry>
Entry Lookup(const wchar_t* dll, const char* name) {
    HMODULE module = GetModuleHandleW(dll);  // kernel32 and ntdll are in every process
    return module ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

class RegistryKey {
public:
    explicit RegistryKey(const wchar_t* path)
        : error_(RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key_)) {}
    ~RegistryKey() {
        if (error_ == ERROR_SUCCESS) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // The value's type and bytes, or the error.
    LONG Query(const wchar_t* name, DWORD* type, std::vector<BYTE>* data) const {
        if (error_ != ERROR_SUCCESS) return error_;
        DWORD size = 0;
        LONG error = RegQueryValueExW(key_, name, nullptr, type, nullptr, &size);
        if (error != ERROR_SUCCESS) return error;
        data->assign(size + sizeof(wchar_t), 0);  // room for a terminator the value may lack
        return RegQueryValueExW(key_, name, nullptr, type, data->data(), &size);
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

class Windows final : public WindowsReads {
public:
    RegistryDword Dword(const wchar_t* key, const wchar_t* value) const override {
        DWORD type = 0;
        std::vector<BYTE> data;
        const LONG error = RegistryKey(key).Query(value, &type, &data);
        RegistryDword answer{ReadOf(error), 0, static_cast<DWORD>(error)};
        if (answer.read != RegistryRead::Found) return answer;
        if (type != REG_DWORD || data.size() < sizeof(DWORD)) return {RegistryRead::Failed, 0, ERROR_INVALID_DATA};
        answer.value = *reinterpret_cast<const DWORD*>(data.data());
        return answer;
    }

    RegistryText Text(const wchar_t* key, const wchar_t* value) const override {
        DWORD type = 0;
        std::vector<BYTE> data;
        const LONG error = RegistryKey(key).Query(value, &type, &data);
        RegistryText answer{ReadOf(error), L"", static_cast<DWORD>(error)};
        if (answer.read != RegistryRead::Found) return answer;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return {RegistryRead::Failed, L"", ERROR_INVALID_DATA};
        answer.value = reinterpret_cast<const wchar_t*>(data.data());
        return answer;
    }

    ServiceStatus Service(const wchar_t* name) const override {
        ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
        if (!manager.get()) return {RegistryRead::Failed, 0, 0, GetLastError()};
        ServiceHandle service(OpenServiceW(manager.get(), name, SERVICE_QUERY_STATUS));
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

    Known<bool> Windows64(const char** source) const override {
#ifdef _WIN64
        *source = "this program is 64-bit";
        return KnownAs(true);
#else
        using IsWow64ProcessEntry = BOOL(WINAPI*)(HANDLE, PBOOL);
        const auto isWow64 = Lookup<IsWow64ProcessEntry>(L"kernel32.dll", "IsWow64Process");
        *source = "IsWow64Process";
        // Windows without the call (XP before SP2) has no 64-bit edition it could run on.
        if (!isWow64) return KnownAs(false);
        BOOL wow64 = FALSE;
        if (!isWow64(GetCurrentProcess(), &wow64)) return Unknown<bool>(GetLastError());
        return KnownAs(wow64 != FALSE);
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
