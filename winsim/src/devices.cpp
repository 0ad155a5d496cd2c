#include <winsim/core.h>
#include <winsim/devices.h>
#include <winsim/registry.h>
#include <devguid.h>
#include <setupapi.h>

#include <cstring>
#include <map>
#include <vector>

#include "internal.h"

extern "C" const GUID GUID_DEVCLASS_IMAGE = {
    0x6BDD1FC6, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};

namespace winsim {
namespace {

struct DevicesState {
    std::vector<DeviceNode> nodes; // indexed by DevInst
    std::map<std::string, DEVINST, NoCase> byInstanceId;
    std::map<HDEVINFO, std::vector<DEVINST>> sets;
    ULONG_PTR lastSet = 0x5E70000;
};
DevicesState devices;

const DeviceNode* Node(DEVINST node) {
    return node < devices.nodes.size() ? &devices.nodes[node] : nullptr;
}

// The instance IDs the filter selects, each with its NUL, then the closing NUL.
std::string DeviceIdList(PCSTR filter, ULONG flags) {
    std::string list;
    for (const DeviceNode& node : devices.nodes) {
        std::string enumerator = node.instanceId.substr(0, node.instanceId.find('\\'));
        if (!(flags & CM_GETIDLIST_FILTER_ENUMERATOR) || _stricmp(enumerator.c_str(), filter) == 0)
            list += node.instanceId + '\0';
    }
    return list + '\0';
}

} // namespace

void ResetDevices() {
    devices = DevicesState();
}

std::string MultiString(std::initializer_list<std::string> strings) {
    std::string list;
    for (const std::string& s : strings)
        list += s + '\0';
    return list + '\0';
}

DEVINST AddDeviceNode(const DeviceNode& node) {
    DEVINST devInst = static_cast<DEVINST>(devices.nodes.size());
    devices.nodes.push_back(node);
    devices.byInstanceId[node.instanceId] = devInst;
    return devInst;
}

int OpenDeviceInfoSets() {
    return static_cast<int>(devices.sets.size());
}

} // namespace winsim

using winsim::devices;

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, PCSTR, HWND, DWORD flags) {
    if (winsim::ShouldFail("SetupDiGetClassDevsA") || !classGuid)
        return INVALID_HANDLE_VALUE;
    std::vector<DEVINST> members;
    for (DEVINST i = 0; i < devices.nodes.size(); ++i) {
        const winsim::DeviceNode& node = devices.nodes[i];
        if (node.setupClass == *classGuid && (node.present || !(flags & DIGCF_PRESENT)))
            members.push_back(i);
    }
    devices.lastSet += 0x10;
    HDEVINFO set = reinterpret_cast<HDEVINFO>(devices.lastSet);
    devices.sets[set] = members;
    return set;
}

BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA info) {
    if (winsim::ShouldFail("SetupDiEnumDeviceInfo"))
        return FALSE;
    auto found = devices.sets.find(set);
    if (found == devices.sets.end() || !info || info->cbSize != sizeof(SP_DEVINFO_DATA) ||
        index >= found->second.size())
        return FALSE;
    info->DevInst = found->second[index];
    info->ClassGuid = devices.nodes[info->DevInst].setupClass;
    info->Reserved = 0;
    return TRUE;
}

BOOL WINAPI SetupDiGetDeviceInstanceIdA(HDEVINFO set, PSP_DEVINFO_DATA info, PSTR id,
                                        DWORD capacity, PDWORD required) {
    if (winsim::ShouldFail("SetupDiGetDeviceInstanceIdA") || !devices.sets.count(set) || !info ||
        info->cbSize != sizeof(SP_DEVINFO_DATA) || !winsim::Node(info->DevInst))
        return FALSE;
    const std::string& instanceId = devices.nodes[info->DevInst].instanceId;
    DWORD size = static_cast<DWORD>(instanceId.size() + 1);
    if (required)
        *required = size;
    if (!id || capacity < size)
        return FALSE; // ERROR_INSUFFICIENT_BUFFER
    std::memcpy(id, instanceId.c_str(), size);
    return TRUE;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set) {
    // A failed destroy still gives the set up: the caller has nothing left to do with it.
    bool fail = winsim::ShouldFail("SetupDiDestroyDeviceInfoList");
    return devices.sets.erase(set) && !fail;
}

CONFIGRET WINAPI CM_Get_Device_ID_List_SizeA(PULONG length, PCSTR filter, ULONG flags) {
    if (winsim::ShouldFail("CM_Get_Device_ID_List_SizeA"))
        return CR_FAILURE;
    if (!length || ((flags & CM_GETIDLIST_FILTER_ENUMERATOR) && !filter))
        return CR_INVALID_POINTER;
    *length = static_cast<ULONG>(winsim::DeviceIdList(filter, flags).size());
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_Device_ID_ListA(PCSTR filter, PCHAR buffer, ULONG length, ULONG flags) {
    if (winsim::ShouldFail("CM_Get_Device_ID_ListA"))
        return CR_FAILURE;
    if (!buffer || !length || ((flags & CM_GETIDLIST_FILTER_ENUMERATOR) && !filter))
        return CR_INVALID_POINTER;
    std::string list = winsim::DeviceIdList(filter, flags);
    if (length < list.size())
        return CR_BUFFER_SMALL;
    std::memcpy(buffer, list.data(), list.size());
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Locate_DevNodeA(PDEVINST node, DEVINSTID_A id, ULONG flags) {
    // On failure *node is left as it was: callers must not trust it.
    if (winsim::ShouldFail("CM_Locate_DevNodeA"))
        return CR_FAILURE;
    if (!node)
        return CR_INVALID_POINTER;
    auto found = devices.byInstanceId.find(id ? id : "");
    if (found == devices.byInstanceId.end() ||
        (!devices.nodes[found->second].present && !(flags & CM_LOCATE_DEVNODE_PHANTOM)))
        return CR_NO_SUCH_DEVNODE;
    *node = found->second;
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_DevNode_Registry_PropertyA(DEVINST devInst, ULONG property, PULONG type,
                                                   PVOID buffer, PULONG length, ULONG) {
    if (winsim::ShouldFail("CM_Get_DevNode_Registry_PropertyA"))
        return CR_FAILURE;
    const winsim::DeviceNode* node = winsim::Node(devInst);
    if (!node)
        return CR_INVALID_DEVNODE;
    if (!length || (!buffer && *length))
        return CR_INVALID_POINTER;
    if (property != CM_DRP_HARDWAREID || node->hardwareIds.empty())
        return CR_NO_SUCH_VALUE;
    ULONG capacity = *length;
    *length = static_cast<ULONG>(node->hardwareIds.size());
    if (capacity < *length)
        return CR_BUFFER_SMALL;
    std::memcpy(buffer, node->hardwareIds.data(), *length);
    if (type)
        *type = REG_MULTI_SZ;
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST devInst, ULONG) {
    if (winsim::ShouldFail("CM_Get_DevNode_Status"))
        return CR_FAILURE;
    const winsim::DeviceNode* node = winsim::Node(devInst);
    if (!status || !problem)
        return CR_INVALID_POINTER;
    if (!node)
        return CR_INVALID_DEVNODE;
    if (!node->present)
        return CR_NO_SUCH_DEVINST;
    *status = node->status;
    *problem = 0;
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Open_DevNode_Key(DEVINST devInst, REGSAM access, ULONG, REGDISPOSITION,
                                     PHKEY key, ULONG flags) {
    if (winsim::ShouldFail("CM_Open_DevNode_Key"))
        return CR_REGISTRY_ERROR;
    const winsim::DeviceNode* node = winsim::Node(devInst);
    if (!key)
        return CR_INVALID_POINTER;
    if (!node)
        return CR_INVALID_DEVNODE;
    // Only driver keys, and only those that exist: the program never creates one.
    if (flags != CM_REGISTRY_SOFTWARE || node->driverKey.empty())
        return CR_NO_SUCH_REGISTRY_KEY;
    HKEY opened = winsim::OpenRegistryKey(HKEY_LOCAL_MACHINE, node->driverKey, access);
    if (!opened)
        return CR_NO_SUCH_REGISTRY_KEY;
    *key = opened;
    return CR_SUCCESS;
}
