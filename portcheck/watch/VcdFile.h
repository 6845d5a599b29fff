// The VCD file on disk. The recording goes to a file of its own beside the
// one asked for ("trace.vcd.partial"), and only a complete recording takes
// the asked-for name: a file already there stays as it was until then, and
// stays for good when nothing is recorded. Windows' file calls stay in
// the .cpp: the VCD's text is built without them.
#pragma once

#include <cstdint>
#include <string>

namespace portcheck {

class VcdFile {
public:
    VcdFile() = default;
    ~VcdFile();  // a file not committed is removed: it is ours, not the user's
    VcdFile(const VcdFile&) = delete;
    VcdFile& operator=(const VcdFile&) = delete;

    // Creates the partial file beside `path`. False with the reason in error().
    bool Open(const std::string& path);
    // Writes `text` and empties it; false (and error()) when it fails.
    bool Write(std::string& text);
    // Closes the file and gives it the asked-for name, replacing one there.
    bool Commit();
    // Closes and removes the partial file: nothing was recorded.
    void Discard();

    bool open() const { return file_ != nullptr; }
    uint64_t written() const { return written_; }
    // Free bytes on the file's disk; false when Windows doesn't tell.
    bool FreeBytes(uint64_t* bytes) const;
    const std::string& path() const { return path_; }
    const std::string& partialPath() const { return partial_; }
    const std::string& error() const { return error_; }

private:
    void Fail(const std::string& what, unsigned long code);
    void CloseFile();

    void* file_ = nullptr;  // the file's handle; null while none is open
    std::string path_;
    std::string partial_;
    std::string folder_;
    std::string error_;
    uint64_t written_ = 0;
};

}  // namespace portcheck
