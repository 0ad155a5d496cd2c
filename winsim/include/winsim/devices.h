// Controls of the simulated device tree: device nodes, their setup classes, hardware IDs,
// status and driver keys, and the device-information sets still open.
#pragma once
#include <windows.h>
#include <cfgmgr32.h>

#include <initializer_list>
#include <string>

namespace winsim {

// The REG_MULTI_SZ form of a list: each string with its NUL, then the closing empty string.
std::string MultiString(std::initializer_list<std::string> strings);

struct DeviceNode {
    // Its enumerator is the part before the first backslash: "USB\\VID_0C45&PID_63F0\\5&1&0".
    std::string instanceId;
    // The HardwareID property's bytes as stored; empty: the node has no such property.
    std::string hardwareIds;
    GUID setupClass = {};
    // A node that is not present is found only by CM_Locate_DevNodeA with
    // CM_LOCATE_DEVNODE_PHANTOM, and has no status.
    bool present = true;
    ULONG status = DN_DRIVER_LOADED | DN_STARTED;
    // Path under HKEY_LOCAL_MACHINE of its driver (software) key; empty: none.
    std::string driverKey;
};

// Adds a node after those already there (the enumerators list them in this order) and returns
// its DevInst: 0 for the first, as under Wine.
DEVINST AddDeviceNode(const DeviceNode& node);

// Device-information sets obtained and not yet destroyed.
int OpenDeviceInfoSets();

} // namespace winsim
