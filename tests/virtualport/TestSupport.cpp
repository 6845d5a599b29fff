#include "TestSupport.h"

#include <cstring>

#include "TestThread.h"

namespace vport_test {

namespace {

const char kNameVariable[] = "TARNWICK_VPORT";

std::string ReadAll(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; ++i)
            if (buffer[i] != '\r') text += buffer[i];
    return text;
}

}  // namespace

std::string BuiltFile(const char* relativePath) {
    char exe[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe, length);
    path.erase(path.find_last_of('\\') + 1);
    for (const char* c = relativePath; *c; ++c) path += *c == '/' ? '\\' : *c;
    return path;
}

ScopedPortName::ScopedPortName(const std::string& suffix) {
    name_ = "TarnwickVirtualPortTest-" + suffix + "-" + std::to_string(GetCurrentProcessId());
    char previous[256];
    DWORD length = GetEnvironmentVariableA(kNameVariable, previous, sizeof previous);
    hadPrevious_ = length > 0 && length < sizeof previous;
    if (hadPrevious_) previous_ = previous;
    SetEnvironmentVariableA(kNameVariable, name_.c_str());
    DeleteFileA(vport::PortState::FilePath().c_str());  // left by an earlier process of this id
}

ScopedPortName::~ScopedPortName() {
    DeleteFileA(vport::PortState::FilePath().c_str());
    SetEnvironmentVariableA(kNameVariable, hadPrevious_ ? previous_.c_str() : nullptr);
}

void WriteStateFile(DWORD bytes, uint32_t magic, uint32_t version) {
    std::string content(bytes, '\0');
    memcpy(&content[0], &magic, sizeof magic);
    memcpy(&content[4], &version, sizeof version);
    HANDLE file = CreateFileA(vport::PortState::FilePath().c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, content.data(), bytes, &written, nullptr);
    CloseHandle(file);
}

ForeignMapping::ForeignMapping(const std::string& name, DWORD bytes, uint32_t magic,
                               uint32_t version) {
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, bytes,
                                  ("Local\\" + name).c_str());
    view_ = MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    words()[0] = magic;
    words()[1] = version;
}

ForeignMapping::~ForeignMapping() {
    UnmapViewOfFile(view_);
    CloseHandle(mapping_);
}

namespace {

// A child with its standard output and error on pipes (output's buffer
// `outBuffer` bytes, 0 for the system's), until it ended and was waited out.
struct Child {
    PROCESS_INFORMATION process = {};
    HANDLE outRead = nullptr, errRead = nullptr;
    ProcessResult result;

    Child(const std::string& exe, const std::string& args, DWORD outBuffer) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE outWrite, errWrite;
        CreatePipe(&outRead, &outWrite, &inherit, outBuffer);
        CreatePipe(&errRead, &errWrite, &inherit, 0);
        SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = outWrite;
        startup.hStdError = errWrite;
        std::string commandLine = "\"" + exe + "\" " + args;
        if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                            &process)) {
            result.exitCode = ~0u;
            result.err = "cannot start " + exe + ": error " + std::to_string(GetLastError());
        }
        result.processId = process.dwProcessId;
        CloseHandle(outWrite);
        CloseHandle(errWrite);
    }
    ~Child() {
        if (started()) {
            WaitForSingleObject(process.hProcess, INFINITE);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        CloseHandle(outRead);
        CloseHandle(errRead);
    }
    bool started() const { return process.hProcess != nullptr; }
    void TakeExitCode() { GetExitCodeProcess(process.hProcess, &result.exitCode); }
};

}  // namespace

ProcessResult RunProcess(const std::string& exe, const std::string& args) {
    Child child(exe, args, 0);
    if (!child.started()) return child.result;
    // Both pipes are drained at once, so a child filling one never stalls.
    TestThread errReader([&] { child.result.err = ReadAll(child.errRead); });
    child.result.out = ReadAll(child.outRead);
    errReader.join();
    WaitForSingleObject(child.process.hProcess, INFINITE);
    child.TakeExitCode();
    return child.result;
}

ProcessResult RunProcessUnread(const std::string& exe, const std::string& args, DWORD timeoutMs, DWORD* elapsedMs) {
    const DWORD start = GetTickCount();
    Child child(exe, args, 1);
    if (!child.started()) return child.result;
    TestThread errReader([&] { child.result.err = ReadAll(child.errRead); });
    if (WaitForSingleObject(child.process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(child.process.hProcess, ~0u);
    WaitForSingleObject(child.process.hProcess, INFINITE);
    *elapsedMs = GetTickCount() - start;
    child.result.out = ReadAll(child.outRead);
    errReader.join();
    child.TakeExitCode();
    return child.result;
}

}  // namespace vport_test
