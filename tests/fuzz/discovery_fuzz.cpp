// Device trees with arbitrary hardware-ID bytes and driver values of any type, size and content,
// through discovery. Whatever the machine holds, both names come back terminated within their
// buffers and nothing is left open.
#include <fuzzer/FuzzedDataProvider.h>
#include <winsim.h>

#include "check.h"
#include <winsim/devices.h>

#include <string.h>

#include "devices/discovery.h"
#include "devices/hardware_ids.h"

namespace {

const GUID ImagingClass = {
    0x6BDD1FC6, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};
const char* const ValueNames[] = {"DriverDesc", "FriendlyName", "SelectiveSuspend"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    winsim::Reset();

    int nodes = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < nodes; ++i) {
        winsim::DeviceNode node;
        node.instanceId = (input.ConsumeBool() ? "USB\\" : "PCI\\") + std::to_string(i);
        // Often one of the table's IDs, any of them, so that the driver values are reached.
        if (input.ConsumeBool()) {
            DWORD entry = input.ConsumeIntegralInRange<DWORD>(0, SupportedHardwareIdCount - 1);
            node.hardwareIds = winsim::MultiString({SupportedHardwareIds[entry]});
        } else {
            node.hardwareIds = input.ConsumeRandomLengthString(300);
        }
        if (input.ConsumeBool())
            node.setupClass = ImagingClass;
        node.present = input.ConsumeBool();
        node.status = input.ConsumeIntegral<ULONG>();
        node.driverKey = "System\\CurrentControlSet\\Control\\Class\\X\\" + std::to_string(i);
        for (const char* name : ValueNames) {
            if (input.ConsumeBool()) {
                DWORD type = input.ConsumeIntegralInRange<DWORD>(0, 7);
                std::string bytes = input.ConsumeRandomLengthString(600);
                winsim::SetRegistryValue(HKEY_LOCAL_MACHINE, node.driverKey, name, type,
                                         std::vector<BYTE>(bytes.begin(), bytes.end()));
            }
        }
        winsim::AddDeviceNode(node);
    }

    char desc[MAX_PATH], name[MAX_PATH];
    memset(desc, 'x', sizeof desc);
    memset(name, 'x', sizeof name);
    FindSupportedCamera(SupportedHardwareIds, SupportedHardwareIdCount, desc, sizeof desc, name,
                        sizeof name);
    Check(memchr(desc, 0, sizeof desc) && memchr(name, 0, sizeof name));
    Check(winsim::HeapBlocksInUse() == 0 && winsim::OpenRegistryKeys() == 0 &&
          winsim::OpenDeviceInfoSets() == 0);
    return 0;
}
