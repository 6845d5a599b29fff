#include "VcdFile.h"

#include <windows.h>

namespace portcheck {

namespace {

struct FileError {
    DWORD code;
    const char* text;
};

const FileError kFileErrors[] = {
    {ERROR_FILE_NOT_FOUND, "no such folder"},     {ERROR_PATH_NOT_FOUND, "no such folder"},
    {ERROR_ACCESS_DENIED, "access denied"},       {ERROR_SHARING_VIOLATION, "in use by another program"},
    {ERROR_DISK_FULL, "the disk is full"},        {ERROR_HANDLE_DISK_FULL, "the disk is full"},
    {ERROR_INVALID_NAME, "not a valid file name"},
};

std::string FileErrorText(DWORD code) {
    for (const FileError& known : kFileErrors)
        if (known.code == code) return known.text;
    return "Windows error " + std::to_string(code);
}

// Names tried for the partial file, should an earlier one be there.
const int kPartialNames = 10;

}  // namespace

VcdFile::~VcdFile() { Discard(); }

void VcdFile::CloseFile() {
    if (open()) CloseHandle(file_);
    file_ = nullptr;
}

void VcdFile::Fail(const std::string& what, unsigned long code) {
    error_ = what + " \"" + path_ + "\": " + FileErrorText(code);
}

bool VcdFile::Open(const std::string& path) {
    path_ = path;
    const size_t slash = path.find_last_of("\\/:");
    folder_ = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
        error_ = "cannot write the VCD file \"" + path + "\": " +
                 (attributes & FILE_ATTRIBUTE_DIRECTORY ? "a folder of that name is there" : "the file is read-only");
        return false;
    }
    for (int n = 1; n <= kPartialNames && !open(); ++n) {
        partial_ = path + ".partial" + (n == 1 ? std::string() : std::to_string(n));
        // Never one that is there already: that may be somebody's.
        const HANDLE file = CreateFileA(partial_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) file_ = file;
        if (!open() && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!open()) {
        Fail("cannot write the VCD file", GetLastError());
        partial_.clear();
    }
    return open();
}

bool VcdFile::Write(std::string& text) {
    if (!open()) return false;
    if (text.empty()) return true;
    DWORD done = 0;
    if (!WriteFile(file_, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) || done != text.size()) {
        Fail("cannot write the VCD file", GetLastError());
        // Kept as it is, cut short: it holds what was recorded.
        CloseFile();
        error_ += "; what was recorded is in \"" + partial_ + "\"";
        partial_.clear();
        return false;
    }
    written_ += done;
    text.clear();
    return true;
}

bool VcdFile::Commit() {
    if (!open()) return false;
    CloseFile();
    if (!MoveFileExA(partial_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        Fail("cannot give the recording its name", GetLastError());
        error_ += "; it is in \"" + partial_ + "\"";
        partial_.clear();  // kept: it holds the recording
        return false;
    }
    partial_.clear();
    return true;
}

void VcdFile::Discard() {
    CloseFile();
    if (!partial_.empty()) DeleteFileA(partial_.c_str());
    partial_.clear();
}

bool VcdFile::FreeBytes(uint64_t* bytes) const {
    ULARGE_INTEGER free;
    if (!GetDiskFreeSpaceExA(folder_.empty() ? nullptr : folder_.c_str(), &free, nullptr, nullptr)) return false;
    *bytes = free.QuadPart;
    return true;
}

}  // namespace portcheck
