#include "ResourceMap.h"

#include "ResourceList.h"

namespace portcheck {

namespace {

// The Plug and Play manager's own part of the map: one value per device,
// named after its physical device object.
const wchar_t kPnpResourceMap[] = L"HARDWARE\\RESOURCEMAP\\PnP Manager\\PnpManager";
// The resources as the bus assigned them, before the HAL translates them
// for the processor: what the configuration manager gives elsewhere (and
// Device Manager shows). For I/O ports on x86 the two are the same.
const wchar_t kRawSuffix[] = L".Raw";
constexpr DWORD kMaxListBytes = 64 * 1024;  // a parallel port's list is under 200 bytes

// The value's bytes; empty where it is missing, of another type or too large.
std::vector<uint8_t> ReadResourceList(const Registry& registry, HKEY map, const std::wstring& name) {
    DWORD type = 0, size = 0;
    if (registry.queryValue(map, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_RESOURCE_LIST || size == 0 || size > kMaxListBytes)
        return {};
    std::vector<uint8_t> list(size);
    if (registry.queryValue(map, name.c_str(), nullptr, &type, list.data(), &size) != ERROR_SUCCESS ||
        type != REG_RESOURCE_LIST || size > list.size())
        return {};
    list.resize(size);
    return list;
}

}  // namespace

bool ReadMappedIoRanges(const Registry& registry, const std::wstring& objectName, std::vector<IoRange>* ranges) {
    if (objectName.empty()) return false;
    HKEY map = nullptr;
    if (registry.openKey(HKEY_LOCAL_MACHINE, kPnpResourceMap, 0, KEY_QUERY_VALUE, &map) != ERROR_SUCCESS)
        return false;
    const std::vector<uint8_t> list = ReadResourceList(registry, map, objectName + kRawSuffix);
    registry.closeKey(map);
    std::vector<IoRange> found;
    if (!IoRangesInResourceList(list.data(), list.size(), &found) || found.empty()) return false;
    ranges->swap(found);
    return true;
}

}  // namespace portcheck
