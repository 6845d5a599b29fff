// Windows' Code Integrity log (Microsoft-Windows-CodeIntegrity/Operational,
// Vista and later): the record that Windows refused a file.
#pragma once

#include "WinTypes.h"

#include <string>

#include "WindowsReads.h"

// The id of the newest event 3033 or 3077 since boot whose text names
// `file`; 0 where none does. Unknown where the log can't be read (XP has
// none; the log's rights may keep a program out).
Known<DWORD> NewestCodeIntegrityEvent(const std::wstring& file);
