// A Windows error's wording in the native build, where no system has texts
// for Windows' numbers: the number alone.
#include "WindowsError.h"

std::string WindowsErrorText(unsigned long code) { return "error " + std::to_string(code); }
