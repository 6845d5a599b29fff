// A file PortCheck writes, created afresh (or replacing one of that name):
// Windows' file calls behind a small interface, so that what is written
// (the VCD) is built without them.
#pragma once

#include <string>

namespace portcheck {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates (or replaces) `path`; false with why not in *why ("no such
    // folder", "access denied", ..., "Windows error N").
    bool Create(const std::string& path, std::string* why);
    // Writes all of `bytes`; false with why not, and the file is closed.
    bool Write(const std::string& bytes, std::string* why);
    void Close();
    // Closes the file and deletes it.
    void Delete();

    bool open() const { return handle_ != nullptr; }

private:
    void* handle_ = nullptr;  // the file's handle; null while none is open
    std::string path_;
};

}  // namespace portcheck
