#include "OleAccLibrary.h"

const IID kIID_IAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const IID kIID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIID_IOleWindow = {0x00000114, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

template <class Fn>
bool Bind(HMODULE module, const char* name, Fn& fn) {
    fn = module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    return fn != nullptr;
}

OleAccLibrary Load() {
    OleAccLibrary lib{};
    const HMODULE oleacc = LoadLibraryA("oleacc.dll"), oleaut = LoadLibraryA("oleaut32.dll"),
                  ole = LoadLibraryA("ole32.dll");
    decltype(&::CoInitializeEx) coInitializeEx;
    const bool all = Bind(oleacc, "LresultFromObject", lib.LresultFromObject) &&
                     Bind(oleacc, "CreateStdAccessibleObject", lib.CreateStdAccessibleObject) &&
                     Bind(oleacc, "AccessibleObjectFromWindow", lib.AccessibleObjectFromWindow) &&
                     Bind(oleaut, "SysAllocString", lib.SysAllocString) &&
                     Bind(ole, "CoInitializeEx", coInitializeEx);
    if (!all) return {};
    // Handing an object to another process marshals it, which needs COM on
    // this thread; a thread that has it already, in either model, keeps it
    // (S_FALSE, RPC_E_CHANGED_MODE). Never ended: clients may call until exit.
    if (coInitializeEx(nullptr, COINIT_APARTMENTTHREADED) == E_OUTOFMEMORY) return {};
    return lib;
}

}  // namespace

const OleAccLibrary* OleAccLibrary::Get() noexcept {
    static const OleAccLibrary lib = Load();
    return lib.LresultFromObject ? &lib : nullptr;
}
