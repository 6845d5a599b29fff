// A Windows error as every program here words it: "error 5 (Access is
// denied.)": the number in decimal, as Windows' documentation lists it, and
// the system's own text where it has one. Only for Win32 error codes
// (GetLastError and the calls that return one); the configuration manager's
// CONFIGRET codes are another numbering, which the system's texts would
// misname.
#pragma once

#include <string>

std::string WindowsErrorText(unsigned long code);
