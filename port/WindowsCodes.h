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
constexpr DWORD kVirusInfected = 225;        // ERROR_VIRUS_INFECTED
constexpr DWORD kImageHashRejected = 577;    // ERROR_INVALID_IMAGE_HASH: a signature or hash not accepted
constexpr DWORD kServiceDisabled = 1058;     // ERROR_SERVICE_DISABLED
constexpr DWORD kServiceNeverStarted = 1077; // ERROR_SERVICE_NEVER_STARTED: nothing tried since boot
constexpr DWORD kBlockedByPolicy = 1260;     // ERROR_ACCESS_DISABLED_BY_POLICY: AppLocker, Software Restriction Policies
constexpr DWORD kDriverBlocked = 1275;       // ERROR_DRIVER_BLOCKED
constexpr DWORD kResourceTypeNotFound = 1813;  // ERROR_RESOURCE_TYPE_NOT_FOUND
// Smart App Control's reputation verdicts.
constexpr DWORD kReputationUnfriendly = 4580;    // ERROR_SYSTEM_INTEGRITY_REPUTATION_UNFRIENDLY_FILE
constexpr DWORD kReputationUnattainable = 4581;  // ERROR_SYSTEM_INTEGRITY_REPUTATION_UNATTAINABLE

constexpr DWORD kServiceStopped = 1;         // SERVICE_STOPPED
constexpr DWORD kServiceRunning = 4;         // SERVICE_RUNNING

}  // namespace wincode
