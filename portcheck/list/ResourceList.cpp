#include "ResourceList.h"

#include <cstring>

namespace portcheck {

namespace {

// The three records of a resource list, packed to 4 bytes as Windows packs
// them, so that the 8-byte start of a range sits at offset 4 also in the
// x86_64 build.
#pragma pack(push, 4)
struct ListHeader {
    uint32_t fullCount;
};

struct FullDescriptorHeader {
    int32_t interfaceType;  // the bus: ISA, PCI ...
    uint32_t busNumber;
    uint16_t version;
    uint16_t revision;
    uint32_t partialCount;
};

struct PartialDescriptor {
    uint8_t type;
    uint8_t shareDisposition;
    uint16_t flags;
    uint64_t start;   // a port range's first address; a device-specific block's size in its low half
    uint32_t length;  // a port range's number of addresses
    uint32_t rest;    // the rest of the union: an interrupt's affinity is 8 bytes on 64-bit Windows
};
#pragma pack(pop)

static_assert(sizeof(ListHeader) == 4, "resource list header");
static_assert(sizeof(FullDescriptorHeader) == 16, "full descriptor header");
static_assert(offsetof(FullDescriptorHeader, partialCount) == 12, "partial count");
static_assert(sizeof(PartialDescriptor) == 20, "partial descriptor on 64-bit Windows");
static_assert(offsetof(PartialDescriptor, start) == 4, "range start");
static_assert(offsetof(PartialDescriptor, length) == 12, "range length");

constexpr uint8_t kPortType = 1;
// Followed by its own block of data, of the size in its first field.
constexpr uint8_t kDeviceSpecificType = 5;
constexpr uint64_t kLastIoAddress = 0xFFFF;  // x86 has no I/O port above

// Takes records off the front of the list, never past its end.
class ListReader {
public:
    ListReader(const uint8_t* data, size_t size) : data_(data), left_(data ? size : 0) {}

    bool Skip(size_t bytes) {
        if (bytes > left_) return false;
        data_ += bytes;
        left_ -= bytes;
        return true;
    }

    template <class Record>
    bool Take(Record* record) {
        if (sizeof(Record) > left_) return false;
        std::memcpy(record, data_, sizeof(Record));
        return Skip(sizeof(Record));
    }

private:
    const uint8_t* data_;
    size_t left_;
};

bool IsIoRange(const PartialDescriptor& port) {
    return port.length != 0 && port.start <= kLastIoAddress && port.start + port.length - 1 <= kLastIoAddress;
}

}  // namespace

bool IoRangesInResourceList(const uint8_t* list, size_t size, std::vector<IoRange>* ranges) {
    // Each pass of a loop takes a record off the list or ends it: no count,
    // however large, reads past the end or loops longer than the list is long.
    ListReader reader(list, size);
    ListHeader header;
    if (!reader.Take(&header)) return false;
    std::vector<IoRange> found;
    for (uint32_t full = 0; full < header.fullCount; ++full) {
        FullDescriptorHeader bus;
        if (!reader.Take(&bus)) return false;
        for (uint32_t partial = 0; partial < bus.partialCount; ++partial) {
            PartialDescriptor resource;
            if (!reader.Take(&resource)) return false;
            if (resource.type == kDeviceSpecificType && !reader.Skip(static_cast<uint32_t>(resource.start)))
                return false;
            if (resource.type != kPortType) continue;
            if (!IsIoRange(resource)) return false;
            IoRange range;
            range.start = static_cast<uint32_t>(resource.start);
            range.length = resource.length;
            found.push_back(range);
        }
    }
    ranges->swap(found);
    return true;
}

}  // namespace portcheck
