#include "SharedLayout.h"
#include "StateFile.h"

namespace vport {

namespace {

const size_t kLongestName = 200;

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

}  // namespace

std::string AnotherVersion(uint32_t version) {
    return "it is a port state of another version (" + std::to_string(version) + ") than this program's (" +
           std::to_string(kSharedVersion) + ")";
}

std::string WhatStateFileHolds(const uint32_t* header, uint64_t size) {
    if (header == nullptr || header[0] != kSharedMagic)
        return "it holds something other than a port state (" + std::to_string(size) + " bytes)";
    return AnotherVersion(header[1]);
}

bool IsValidPortName(const std::string& name, std::string* why) {
    bool valid = !name.empty() && name.size() <= kLongestName;
    for (char c : name) valid = valid && IsNameCharacter(c);
    if (!valid)
        *why = "the port name '" + name + "' is not 1 to " + std::to_string(kLongestName) +
               " letters, digits, '-', '_' or '.'";
    return valid;
}

}  // namespace vport
