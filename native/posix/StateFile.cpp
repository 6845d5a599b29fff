// The virtual port's state file on a POSIX system, for the native build:
// the file in $TMPDIR (or /tmp), mapped shared, so that the native tests and
// fuzz targets load it as the Windows builds do. Files are shared by name
// here; no object name is needed. Each mapping holds a shared lock on the
// file, so that a process can tell whether it is the only one.
#include "StateFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vport {

namespace {

// What UnmapStateFile needs to know of a mapping.
struct Mapping {
    size_t bytes;
    int file;  // open for its lock
};

std::string SystemError() { return std::strerror(errno); }

int OpenFile(const std::string& name, int flags, std::string* why) {
    const std::string path = StateFilePath(name);
    const int file = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | flags, 0600);
    if (file < 0) *why = "cannot open " + path + ": " + SystemError();
    return file;
}

}  // namespace

std::string StateFilePath(const std::string& name) {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/" + name + ".vport";
}

bool MapStateFile(const std::string& name, const std::string&, unsigned bytes, MappedFile* mapped,
                  std::string* why, bool* foreign) {
    const int file = OpenFile(name, 0, why);
    if (file < 0) return false;
    struct stat status = {};
    if (fstat(file, &status) != 0) {
        *why = SystemError();
        close(file);
        return false;
    }
    uint32_t header[3] = {};  // magic, version, the lock's holder
    const ssize_t got = pread(file, header, sizeof header, 0);
    if (status.st_size != 0 && static_cast<unsigned long long>(status.st_size) != bytes) {
        *why = WhatStateFileHolds(got >= static_cast<ssize_t>(2 * sizeof header[0]) ? header : nullptr,
                                  static_cast<uint64_t>(status.st_size));
        *foreign = true;
        close(file);
        return false;
    }
    mapped->alone = flock(file, LOCK_EX | LOCK_NB) == 0;
    mapped->lockOwner = got == sizeof header ? header[2] : 0;
    void* view = MAP_FAILED;
    if (flock(file, LOCK_SH) == 0 && (status.st_size != 0 || ftruncate(file, bytes) == 0))
        view = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    if (view == MAP_FAILED) {
        *why = SystemError();
        close(file);
        return false;
    }
    mapped->mapping = new Mapping{bytes, file};
    mapped->view = view;
    return true;
}

// Unlike Windows, nothing here tells whether a program has the file
// mapped: only the native build's own tests use it.
bool EmptyStateFile(const std::string& name, const std::string&, std::string* why) {
    const int file = OpenFile(name, O_TRUNC, why);
    if (file < 0) return false;
    close(file);
    return true;
}

void UnmapStateFile(const MappedFile& mapped) {
    const Mapping* mapping = static_cast<const Mapping*>(mapped.mapping);
    munmap(mapped.view, mapping->bytes);
    close(mapping->file);
    delete mapping;
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

void* NewPrivateBlock(unsigned bytes) { return std::calloc(1, bytes); }

void FreePrivateBlock(void* block) { std::free(block); }

}  // namespace vport
