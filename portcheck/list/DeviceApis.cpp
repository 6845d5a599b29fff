#include "DeviceApis.h"

#include "SystemLibrary.h"

namespace portcheck {

namespace {

// Sets `entry` to the function `name` of `module`; false where it is missing.
template <class Entry>
bool Find(HMODULE module, const char* name, Entry* entry) {
    // The functions are plain functions of the documented types.
    *entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return *entry != nullptr;
}

bool FindConfigManager(HMODULE module, ConfigManager* api) {
    return module && Find(module, "CM_Locate_DevNodeW", &api->locateDevNode) &&
           Find(module, "CM_Get_First_Log_Conf", &api->getFirstLogConf) &&
           Find(module, "CM_Get_Next_Res_Des", &api->getNextResDes) &&
           Find(module, "CM_Get_Res_Des_Data_Size", &api->getResDesDataSize) &&
           Find(module, "CM_Get_Res_Des_Data", &api->getResDesData) &&
           Find(module, "CM_Free_Res_Des_Handle", &api->freeResDesHandle) &&
           Find(module, "CM_Free_Log_Conf_Handle", &api->freeLogConfHandle) &&
           Find(module, "CM_Get_DevNode_Status", &api->getDevNodeStatus);
}

}  // namespace

bool LoadSetupApi(SetupApi* api) {
    const HMODULE module = LoadSystemLibrary(L"setupapi.dll");
    return module && Find(module, "SetupDiGetClassDevsW", &api->getClassDevs) &&
           Find(module, "SetupDiEnumDeviceInfo", &api->enumDeviceInfo) &&
           Find(module, "SetupDiGetDeviceRegistryPropertyW", &api->getDeviceRegistryProperty) &&
           Find(module, "SetupDiOpenDevRegKey", &api->openDevRegKey) &&
           Find(module, "SetupDiDestroyDeviceInfoList", &api->destroyDeviceInfoList);
}

bool LoadConfigManager(ConfigManager* api) {
    return FindConfigManager(LoadSystemLibrary(L"cfgmgr32.dll"), api) ||
           FindConfigManager(LoadSystemLibrary(L"setupapi.dll"), api);
}

}  // namespace portcheck
