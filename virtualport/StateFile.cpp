#include "StateFile.h"

#include <windows.h>

#include "WindowsError.h"

namespace vport {

namespace {

HANDLE OpenFile(const std::string& name, DWORD disposition, std::string* why) {
    const std::string path = StateFilePath(name);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) *why = "cannot open " + path + ": " + WindowsErrorText(GetLastError());
    return file;
}

}  // namespace

std::string StateFilePath(const std::string& name) {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof folder, folder);
    return std::string(folder, length > 0 && length < sizeof folder ? length : 0) + name + ".vport";
}

bool MapStateFile(const std::string& name, const std::string& objectName, unsigned bytes,
                  MappedFile* mapped, std::string* why, bool* foreign) {
    HANDLE file = OpenFile(name, OPEN_ALWAYS, why);
    if (file == INVALID_HANDLE_VALUE) return false;
    const DWORD size = GetFileSize(file, nullptr);
    uint32_t header[3] = {};  // magic, version, the lock's holder
    DWORD got = 0;
    if (!ReadFile(file, header, sizeof header, &got, nullptr)) got = 0;
    if (size != 0 && size != bytes) {
        *why = WhatStateFileHolds(got >= 2 * sizeof header[0] ? header : nullptr, size);
        *foreign = true;
        CloseHandle(file);
        return false;
    }
    // The mapping keeps the file open; a mapping of that name that a running
    // process made is opened instead, whatever file it maps.
    SetLastError(ERROR_SUCCESS);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, bytes, objectName.c_str());
    mapped->alone = GetLastError() != ERROR_ALREADY_EXISTS;
    mapped->lockOwner = got == sizeof header ? header[2] : 0;
    if (mapping == nullptr) *why = WindowsErrorText(GetLastError());
    CloseHandle(file);
    if (mapping == nullptr) return false;
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    MEMORY_BASIC_INFORMATION region = {};
    if (view == nullptr)
        *why = WindowsErrorText(GetLastError());
    else if (VirtualQuery(view, &region, sizeof region) == 0 || region.RegionSize < bytes) {
        *why = "it is smaller than a port state";
        *foreign = true;
    } else {
        mapped->mapping = mapping;
        mapped->view = view;
        return true;
    }
    if (view != nullptr) UnmapViewOfFile(view);
    CloseHandle(mapping);
    return false;
}

bool EmptyStateFile(const std::string& name, const std::string& objectName, std::string* why) {
    if (HANDLE inUse = OpenFileMappingA(FILE_MAP_READ, FALSE, objectName.c_str())) {
        CloseHandle(inUse);
        *why = "a program has the port open; end it first";
        return false;
    }
    HANDLE file = OpenFile(name, CREATE_ALWAYS, why);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

void UnmapStateFile(const MappedFile& mapped) {
    UnmapViewOfFile(mapped.view);
    CloseHandle(mapped.mapping);
}

std::string EnvironmentValue(const char* name) {
    std::string value(GetEnvironmentVariableA(name, nullptr, 0), '\0');
    if (!value.empty()) value.resize(GetEnvironmentVariableA(name, &value[0], value.size()));
    return value;
}

void* NewPrivateBlock(unsigned bytes) {
    return VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void FreePrivateBlock(void* block) { VirtualFree(block, 0, MEM_RELEASE); }

}  // namespace vport
