// Copies of the test-only port library that leaves a mark when loaded, put
// where no program may look for its port library: the current directory and
// a folder on PATH. Programs started while this object lives inherit both.
#pragma once

#include <windows.h>

#include <string>

class PlantedLibraries {
public:
    // `traced`: that library's build; `root`: a folder for the two copies,
    // ending in a backslash.
    PlantedLibraries(const std::wstring& traced, const std::wstring& root)
        : workingDir_(root + L"cwd\\"), pathDir_(root + L"path\\") {
        CreateDirectoryW(root.c_str(), nullptr);
        for (const std::wstring* dir : {&workingDir_, &pathDir_}) {
            CreateDirectoryW(dir->c_str(), nullptr);
            DeleteFileW((*dir + kMark).c_str());
            planted_ = CopyFileW(traced.c_str(), (*dir + L"inpout32.dll").c_str(), FALSE) && planted_;
        }
        savedDir_ = Read(GetCurrentDirectoryW);
        savedPath_ = Read([](DWORD n, wchar_t* s) { return GetEnvironmentVariableW(L"PATH", s, n); });
        SetCurrentDirectoryW(workingDir_.c_str());
        SetEnvironmentVariableW(L"PATH", (pathDir_ + L";" + savedPath_).c_str());
    }

    ~PlantedLibraries() {
        SetCurrentDirectoryW(savedDir_.c_str());
        SetEnvironmentVariableW(L"PATH", savedPath_.c_str());
    }

    PlantedLibraries(const PlantedLibraries&) = delete;
    PlantedLibraries& operator=(const PlantedLibraries&) = delete;

    bool planted() const { return planted_; }

    // Where planted copies were loaded from so far: "" when none was.
    std::string Loaded() const {
        const bool cwd = Marked(workingDir_), path = Marked(pathDir_);
        return std::string(cwd ? "current directory" : "") + (cwd && path ? ", " : "") + (path ? "PATH" : "");
    }

private:
    static constexpr const wchar_t* kMark = L"inpout32.dll.loaded";

    static bool Marked(const std::wstring& dir) {
        return GetFileAttributesW((dir + kMark).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // A string from a call that takes a buffer size and a buffer.
    template <class Get>
    static std::wstring Read(Get get) {
        std::wstring text(get(0, nullptr), L'\0');
        text.resize(get(static_cast<DWORD>(text.size()), &text[0]));
        return text;
    }

    std::wstring workingDir_, pathDir_, savedDir_, savedPath_;
    bool planted_ = true;
};
