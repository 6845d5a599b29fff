// What Windows tells about the loaded port library, and the wording of a
// wide path in messages: Windows' calls, kept out of the diagnosis's logic.
#pragma once

#include <string>

#include "PortLibrary.h"
#include "WindowsReads.h"

// The loaded library's full path; empty when none is loaded.
std::wstring ModulePath(const PortLibrary& library);
// Its file version from its version resource ("6.0.0.1").
Known<std::string> ModuleFileVersion(const PortLibrary& library);

// A path or name as text in the ANSI code page, as the messages are shown.
std::string Narrow(const std::wstring& text);
