// PortCheck's output file on a POSIX system, for the native build, with
// the reasons a file cannot be written worded as on Windows.
#include "OutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace portcheck {

namespace {

std::string FileErrorText(int code) {
    switch (code) {
    case ENOENT:
    case ENOTDIR: return "no such folder";
    case EACCES:
    case EPERM:
    case EISDIR: return "access denied";
    case ENOSPC: return "the disk is full";
    case ENAMETOOLONG: return "not a valid file name";
    default: return std::strerror(code);
    }
}

int Handle(void* handle) { return static_cast<int>(reinterpret_cast<intptr_t>(handle)) - 1; }

}  // namespace

OutputFile::~OutputFile() { Close(); }

bool OutputFile::Create(const std::string& path, std::string* why) {
    Close();
    path_ = path;
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) {
        *why = FileErrorText(errno);
        return false;
    }
    handle_ = reinterpret_cast<void*>(static_cast<intptr_t>(file) + 1);  // null stays "none open"
    return true;
}

bool OutputFile::Write(const std::string& bytes, std::string* why) {
    if (!open()) return false;
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t written = ::write(Handle(handle_), bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            *why = FileErrorText(written < 0 ? errno : ENOSPC);
            Close();
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

void OutputFile::Close() {
    if (open()) ::close(Handle(handle_));
    handle_ = nullptr;
}

void OutputFile::Delete() {
    if (!open()) return;
    Close();
    unlink(path_.c_str());
}

}  // namespace portcheck
