// What Windows shows of the built libraries in a file's Properties: each
// says it is a virtual port that reaches no hardware, so nobody takes one
// for the real port library, and carries the project's version.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "Version.h"

namespace {

// A value of the library's US English version strings, or "" without one.
std::string VersionString(const std::string& file, const char* name) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    if (size == 0) return "";
    std::vector<char> info(size);
    if (!GetFileVersionInfoA(file.c_str(), 0, size, info.data())) return "";
    void* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), &value, &length) || length == 0) return "";
    return static_cast<const char*>(value);
}

}  // namespace

TEST(VersionInfo, EveryLibraryBuildSaysItReachesNoHardware) {
    for (const char* library : {VPORT_LIBRARY, VPORT_LIBRARY_NO_OUT32, VPORT_LIBRARY_NO_INP32}) {
        SCOPED_TRACE(library);
        const std::string file = vport_test::BuiltFile(library);
        const std::string description = VersionString(file, "FileDescription");
        EXPECT_NE(description.find("Virtual parallel port"), std::string::npos) << description;
        EXPECT_NE(description.find("reaches no hardware"), std::string::npos) << description;
        EXPECT_EQ(VersionString(file, "OriginalFilename"), "inpout32.dll");
        EXPECT_EQ(VersionString(file, "FileVersion"), TARNWICK_VERSION_TEXT);
    }
}

TEST(VersionInfo, AFileWithoutVersionInformationGivesNoDescription) {
    // The test program itself has none: the helper must say so, not pass.
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    EXPECT_EQ(VersionString(self, "FileDescription"), "");
    EXPECT_EQ(VersionString(vport_test::BuiltFile("no-such-file.dll"), "FileDescription"), "");
}
