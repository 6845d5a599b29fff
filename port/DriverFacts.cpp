#include "DriverFacts.h"

const char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services";
const char kMemoryIntegrityKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceGuard\\Scenarios\\HypervisorEnforcedCodeIntegrity";
const char kCodeIntegrityConfigKey[] = "SYSTEM\\CurrentControlSet\\Control\\CI\\Config";
const char kCodeIntegrityPolicyKey[] = "SYSTEM\\CurrentControlSet\\Control\\CI\\Policy";

const char* DriverServiceName(bool windows64) { return windows64 ? "inpoutx64" : "inpout32"; }

std::string ShownFile(const ServiceFacts& service) {
    return service.imageFile + (service.imageInNativeSystemFolder ? " (the 64-bit system folder)" : "");
}

Known<bool> Windows64(const DriverFacts& facts) {
    const Known<WindowsMachine>& machine = facts.machine;
    if (!machine.known || machine.value == WindowsMachine::Other) return Unknown<bool>(machine.error);
    return KnownAs(machine.value != WindowsMachine::X86);
}

bool OnArm(const DriverFacts& facts) { return facts.machine.known && facts.machine.value == WindowsMachine::Arm64; }

Known<bool> MemoryIntegrityRuns(const DriverFacts& facts) {
    const Known<DWORD>& options = facts.codeIntegrityOptions;
    return options.known ? KnownAs((options.value & kMemoryIntegrityRunning) != 0) : Unknown<bool>(options.error);
}

Known<bool> MemoryIntegritySwitchedOn(const DriverFacts& facts) {
    const RegistryDword& configured = facts.memoryIntegrityConfigured;
    if (configured.read == RegistryRead::Failed) return Unknown<bool>(configured.error);
    return KnownAs(configured.read == RegistryRead::Found && configured.value != 0);
}

Known<bool> BlocklistOn(const DriverFacts& facts) {
    const RegistryDword& value = facts.blocklist;
    if (value.read == RegistryRead::Found) return KnownAs(value.value != 0);
    // Not set: Windows' default, on from Windows 11 22H2.
    if (value.read == RegistryRead::Absent && facts.windowsBuild.known)
        return KnownAs(facts.windowsBuild.value >= kBlocklistDefaultBuild);
    return Unknown<bool>(value.read == RegistryRead::Failed ? value.error : facts.windowsBuild.error);
}

Known<bool> SmartAppControlOn(const DriverFacts& facts) {
    const RegistryDword& value = facts.smartAppControl;
    // 1 on, 2 evaluation (it watches, and blocks nothing yet), 0 or absent off.
    if (value.read == RegistryRead::Found) return KnownAs(value.value == 1);
    if (value.read == RegistryRead::Absent) return KnownAs(false);
    return Unknown<bool>(value.error);
}
