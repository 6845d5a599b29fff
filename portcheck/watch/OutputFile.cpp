#include "OutputFile.h"

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

}  // namespace

OutputFile::~OutputFile() { Close(); }

bool OutputFile::Create(const std::string& path, std::string* why) {
    Close();
    path_ = path;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *why = FileErrorText(GetLastError());
        return false;
    }
    handle_ = file;
    return true;
}

bool OutputFile::Write(const std::string& bytes, std::string* why) {
    if (!open()) return false;
    DWORD written = 0;
    if (!WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        *why = FileErrorText(GetLastError());
        Close();
        return false;
    }
    return true;
}

void OutputFile::Close() {
    if (open()) CloseHandle(handle_);
    handle_ = nullptr;
}

void OutputFile::Delete() {
    if (!open()) return;
    Close();
    DeleteFileA(path_.c_str());
}

}  // namespace portcheck
