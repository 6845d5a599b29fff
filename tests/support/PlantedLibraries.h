// Copies of the test-only port library that marks where it was loaded, put
// where no program may look for its port library: the current directory and
// a folder on PATH. Programs started while this object lives inherit both.
#pragma once

#include <windows.h>

#include <string>

class PlantedLibraries {
public:
    // `traced`: that library's build; `root`: a folder for the copies,
    // ending in a backslash.
    PlantedLibraries(const std::wstring& traced, const std::wstring& root)
        : cwd_(root + L"cwd\\"), path_(root + L"path\\") {
        CreateDirectoryW(root.c_str(), nullptr);
        for (const std::wstring& dir : {cwd_, path_}) {
            CreateDirectoryW(dir.c_str(), nullptr);
            DeleteFileW((dir + kMark).c_str());
            planted_ = CopyFileW(traced.c_str(), (dir + L"inpout32.dll").c_str(), FALSE) && planted_;
        }
        GetCurrentDirectoryW(MAX_PATH, savedCwd_);
        savedPath_.resize(GetEnvironmentVariableW(L"PATH", &savedPath_[0], static_cast<DWORD>(savedPath_.size())));
        SetCurrentDirectoryW(cwd_.c_str());
        SetEnvironmentVariableW(L"PATH", (path_ + L";" + savedPath_).c_str());
    }
    ~PlantedLibraries() {
        SetCurrentDirectoryW(savedCwd_);
        SetEnvironmentVariableW(L"PATH", savedPath_.c_str());
    }
    PlantedLibraries(const PlantedLibraries&) = delete;
    PlantedLibraries& operator=(const PlantedLibraries&) = delete;

    bool planted() const { return planted_; }

    // Where planted copies were loaded from: "" when none was.
    std::string Loaded() const {
        const bool cwd = Marked(cwd_), path = Marked(path_);
        return std::string(cwd ? "current directory" : "") + (cwd && path ? ", " : "") + (path ? "PATH" : "");
    }

private:
    static constexpr const wchar_t* kMark = L"inpout32.dll.loaded";
    static bool Marked(const std::wstring& dir) {
        return GetFileAttributesW((dir + kMark).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::wstring cwd_, path_;
    wchar_t savedCwd_[MAX_PATH] = {};
    std::wstring savedPath_ = std::wstring(32767, L'\0');  // the longest a variable can be
    bool planted_ = true;
};
