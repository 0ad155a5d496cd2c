// Arbitrary bytes as a device's hardware-ID list, through the matcher.
#include <stdint.h>
#include <string.h>

#include <vector>

#include "devices/hardware_ids.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The device tree always ends a list with two NULs; the matcher relies on that.
    std::vector<char> list(data, data + size);
    list.push_back(0);
    list.push_back(0);
    MatchHardwareIdList(list.data(), SupportedHardwareIds, SupportedHardwareIdCount);
    return 0;
}
