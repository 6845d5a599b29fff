// Where the port's state is kept between program runs: a file in the
// Windows temp folder (inside the Wine prefix under Wine), named after the
// port, mapped under the port's name so that processes running at the same
// time share one view of it. The system's calls are in StateFile.cpp; the
// rules for names and contents, which need none, in StateFileCheck.cpp.
#pragma once

#include <cstdint>
#include <string>

namespace vport {

// A port name makes a file name and an object name: letters, digits, '-',
// '_' and '.', at most 200 of them. False, with *why, for any other.
bool IsValidPortName(const std::string& name, std::string* why);

// The state file of the port `name`: <temp folder>\<name>.vport.
std::string StateFilePath(const std::string& name);

struct MappedFile {
    void* mapping = nullptr;  // the file mapping's handle
    void* view = nullptr;
    // No other process had the port mapped: the lock's holder the file
    // named then (lockOwner) had ended, whatever process has its number now.
    bool alone = false;
    uint32_t lockOwner = 0;
};

// Maps the state file of `name` under `objectName`, creating it (zero-filled,
// `bytes` long) when it is new; a running process's mapping of that name is
// shared instead. A file of another size is left alone: false, with what it
// holds in *why and *foreign set.
bool MapStateFile(const std::string& name, const std::string& objectName, unsigned bytes,
                  MappedFile* mapped, std::string* why, bool* foreign);

// Empties the state file of `name`, so that the next MapStateFile starts it
// afresh; refused while a program has the port mapped.
bool EmptyStateFile(const std::string& name, const std::string& objectName, std::string* why);

void UnmapStateFile(const MappedFile& mapped);

// Why a state file of `version` is not this program's: "it is a port state
// of another version (2) than this program's (3)".
std::string AnotherVersion(uint32_t version);
// What a state file of the wrong size holds, judged by its first two words
// (null where they could not be read): another version's port state, or
// something else.
std::string WhatStateFileHolds(const uint32_t* header, uint64_t size);

// The value of the environment variable `name`; empty where it is not set.
std::string EnvironmentValue(const char* name);

// A zero-filled block of `bytes` for this process alone; null when there is
// no memory for it.
void* NewPrivateBlock(unsigned bytes);
void FreePrivateBlock(void* block);


}  // namespace vport
