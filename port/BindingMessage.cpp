#include "BindingMessage.h"

#include "DriverReport.h"
#include "ReadDriverFacts.h"

std::string PortBindingMessage(PortBinding binding, const PortLibrary& library) {
    switch (binding) {
    case PortBinding::Bound: return "";
    case PortBinding::NoLibrary: return "LoadLibrary Failed.\n";
    case PortBinding::NoInp32: return "GetProcAddress for Inp32 Failed.\n";
    case PortBinding::NoOut32: return "GetProcAddress for Oup32 Failed.\n";
    case PortBinding::DriverNotRunning:
        return DriverNotRunningMessage(GatherDriverFacts(ThisWindows(), library, binding));
    }
    return "";
}
