// The numbers Windows answers with that the driver diagnosis and the file
// writers compare against: its error codes and a service's state. Windows'
// own values, named here so that the logic needs no <windows.h>.
#pragma once

#include "WinTypes.h"

namespace wincode {

constexpr DWORD kFileNotFound = 2;           // ERROR_FILE_NOT_FOUND
constexpr DWORD kPathNotFound = 3;           // ERROR_PATH_NOT_FOUND
constexpr DWORD kHandleDiskFull = 39;        // ERROR_HANDLE_DISK_FULL
constexpr DWORD kDiskFull = 112;             // ERROR_DISK_FULL
constexpr DWORD kModuleNotFound = 126;       // ERROR_MOD_NOT_FOUND
constexpr DWORD kBadExeFormat = 193;         // ERROR_BAD_EXE_FORMAT
constexpr DWORD kServiceNeverStarted = 1077; // ERROR_SERVICE_NEVER_STARTED
constexpr DWORD kResourceTypeNotFound = 1813;  // ERROR_RESOURCE_TYPE_NOT_FOUND

constexpr DWORD kServiceStopped = 1;         // SERVICE_STOPPED
constexpr DWORD kServiceRunning = 4;         // SERVICE_RUNNING

}  // namespace wincode
