#include "StateFile.h"

#include <windows.h>

#include "WindowsError.h"

namespace vport {

namespace {

// What a file of the wrong size holds, judged by its first words.
std::string Describe(HANDLE file, DWORD size) {
    uint32_t header[2] = {};
    DWORD got = 0;
    const bool read = ReadFile(file, header, sizeof header, &got, nullptr) && got == sizeof header;
    return WhatStateFileHolds(read ? header : nullptr, size);
}

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
    if (size != 0 && size != bytes) {
        *why = Describe(file, size);
        *foreign = true;
        CloseHandle(file);
        return false;
    }
    // The mapping keeps the file open; a mapping of that name that a running
    // process made is opened instead, whatever file it maps.
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, bytes, objectName.c_str());
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

}  // namespace vport
