// Test stand-in for cfgmgr32.dll, loaded under Wine by the end-to-end tests only
// (WINEDLLOVERRIDES=cfgmgr32=n for the process under test, this file beside its exe).
//
// Wine 8's configuration manager is a set of stubs: node properties fail, device-ID lists
// are empty, node keys come back NULL. Its SetupAPI, though, really records devices in the
// registry, and this DLL answers the device-node calls from that record:
//   HKLM\System\CurrentControlSet\Enum\<instance id>         HardwareID, Driver, ...
//   HKLM\System\CurrentControlSet\Control\Class\<Driver>     the driver (software) key
// Presence and status have no place there, so the device tool writes two test-only values
// into the node's Enum key: E2EDevNodeStatus (DN_* bits; absent for a node that is not
// present) and E2EDevNodeProblem (CM_PROB_* code).
//
// Node handles. Wine's SetupAPI numbers the devices of its device-information sets itself:
// DevInst is an index into a table inside setupapi.dll, the first free slot (so the first
// device a process sees is 0), freed again when its set is destroyed. Its own
// CM_Get_Device_IDA answers from that table, and nothing in setupapi.dll calls into
// cfgmgr32.dll, so a DevInst from SetupDiEnumDeviceInfo is turned into its instance id by
// asking setupapi.dll. Nodes located here by instance id get handles of their own from
// LocatedBase up, an index into this DLL's table of ids; setupapi.dll's indexes stay far
// below that.
#define _CFGMGR32_
#include <windows.h>
#include <cfgmgr32.h>
#include <cfg.h>
#include <string.h>

namespace {

const char EnumPath[] = "System\\CurrentControlSet\\Enum\\";
const char ClassPath[] = "System\\CurrentControlSet\\Control\\Class\\";
const DEVINST LocatedBase = 0x5E000000;
const DWORD MaxLocated = 256;
const DWORD PathSize = sizeof(EnumPath) + MAX_DEVICE_ID_LEN;

char located[MaxLocated][MAX_DEVICE_ID_LEN];
DWORD locatedCount;

// The Enum value behind each CM_DRP_* property, CM_DRP_DEVICEDESC (1) first; NULL where the
// property is not kept in the registry.
const char* const PropertyValues[] = {"DeviceDesc",
                                      "HardwareID",
                                      "CompatibleIDs",
                                      NULL,
                                      "Service",
                                      NULL,
                                      NULL,
                                      "Class",
                                      "ClassGUID",
                                      "Driver",
                                      "ConfigFlags",
                                      "Mfg",
                                      "FriendlyName",
                                      "LocationInformation",
                                      NULL,
                                      "Capabilities",
                                      "UINumber",
                                      "UpperFilters",
                                      "LowerFilters"};

struct Key {
    HKEY h = NULL;
    ~Key() {
        if (h)
            RegCloseKey(h);
    }
};

BOOL NodeId(DEVINST node, char* id) {
    if (node >= LocatedBase) {
        if (node - LocatedBase >= locatedCount)
            return FALSE;
        lstrcpyA(id, located[node - LocatedBase]);
        return TRUE;
    }
    return CM_Get_Device_IDA(node, id, MAX_DEVICE_ID_LEN, 0) == CR_SUCCESS;
}

LONG OpenUnder(const char* root, const char* sub, REGSAM access, HKEY* key) {
    char path[PathSize];
    if (lstrlenA(sub) >= MAX_DEVICE_ID_LEN)
        return ERROR_FILE_NOT_FOUND;
    lstrcpyA(path, root);
    lstrcatA(path, sub);
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access, key);
}

// A node the device tree knows: CR_SUCCESS with its Enum key open.
CONFIGRET OpenNode(DEVINST node, Key* key) {
    char id[MAX_DEVICE_ID_LEN];
    if (!NodeId(node, id))
        return CR_INVALID_DEVNODE;
    if (OpenUnder(EnumPath, id, KEY_READ, &key->h))
        return CR_NO_SUCH_DEVNODE;
    return CR_SUCCESS;
}

BOOL QueryDword(HKEY key, const char* name, DWORD* value) {
    DWORD size = sizeof(*value);
    DWORD type;
    return !RegQueryValueExA(key, name, NULL, &type, (BYTE*)value, &size) && type == REG_DWORD;
}

// Appends (when list is given) the instance ids under one Enum key level by level:
// depth 2 below an enumerator, 1 below enumerator\device. *length counts characters.
void CollectIds(HKEY key, char* prefix, int depth, char* list, ULONG capacity, ULONG* length) {
    int prefixLength = lstrlenA(prefix);
    char name[MAX_DEVICE_ID_LEN];
    for (DWORD i = 0;; i++) {
        DWORD nameSize = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &nameSize, NULL, NULL, NULL, NULL))
            break;
        if (prefixLength + 1 + (int)nameSize >= MAX_DEVICE_ID_LEN)
            continue;
        wsprintfA(prefix + prefixLength, "\\%s", name);
        if (depth == 1) {
            ULONG size = lstrlenA(prefix) + 1;
            if (list && *length + size <= capacity)
                lstrcpyA(list + *length, prefix);
            *length += size;
        } else {
            Key sub;
            if (!RegOpenKeyExA(key, name, 0, KEY_READ, &sub.h))
                CollectIds(sub.h, prefix, depth - 1, list, capacity, length);
        }
        prefix[prefixLength] = 0;
    }
}

// Every instance id under the filter ("USB", "USB\VID_0C45&PID_63F5&MI_00"), or under every
// enumerator for no filter. *length ends as the list's size with its final NUL.
CONFIGRET ListIds(PCSTR filter, ULONG flags, char* list, ULONG capacity, ULONG* length) {
    if (flags & ~CM_GETIDLIST_FILTER_BITS)
        return CR_INVALID_FLAG;
    if (flags != CM_GETIDLIST_FILTER_NONE && flags != CM_GETIDLIST_FILTER_ENUMERATOR)
        return CR_CALL_NOT_IMPLEMENTED;
    *length = 0;
    if (flags == CM_GETIDLIST_FILTER_NONE || !filter || !*filter) {
        Key root;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Enum", 0, KEY_READ,
                          &root.h))
            return CR_REGISTRY_ERROR;
        char name[MAX_DEVICE_ID_LEN];
        for (DWORD i = 0;; i++) {
            DWORD nameSize = sizeof(name);
            if (RegEnumKeyExA(root.h, i, name, &nameSize, NULL, NULL, NULL, NULL))
                break;
            Key sub;
            if (!RegOpenKeyExA(root.h, name, 0, KEY_READ, &sub.h))
                CollectIds(sub.h, name, 2, list, capacity, length);
        }
    } else {
        char prefix[MAX_DEVICE_ID_LEN];
        Key sub;
        if (OpenUnder(EnumPath, filter, KEY_READ, &sub.h))
            return CR_REGISTRY_ERROR;
        lstrcpyA(prefix, filter);
        CollectIds(sub.h, prefix, strchr(filter, '\\') ? 1 : 2, list, capacity, length);
    }
    *length += 1;
    return CR_SUCCESS;
}

} // namespace

extern "C" {

CONFIGRET WINAPI CM_Locate_DevNodeA(PDEVINST node, DEVINSTID_A id, ULONG flags) {
    if (!node)
        return CR_INVALID_POINTER;
    if (flags & ~CM_LOCATE_DEVNODE_BITS)
        return CR_INVALID_FLAG;
    if (!id || !*id)
        id = (DEVINSTID_A) "HTREE\\ROOT\\0";
    if (lstrlenA(id) >= MAX_DEVICE_ID_LEN)
        return CR_INVALID_DEVICE_ID;
    Key key;
    if (OpenUnder(EnumPath, id, KEY_READ, &key.h))
        return CR_NO_SUCH_DEVNODE;
    DWORD status;
    if (!(flags & CM_LOCATE_DEVNODE_PHANTOM) && !QueryDword(key.h, "E2EDevNodeStatus", &status))
        return CR_NO_SUCH_DEVNODE;
    DWORD i = 0;
    while (i < locatedCount && lstrcmpiA(located[i], id))
        i++;
    if (i == MaxLocated)
        return CR_OUT_OF_MEMORY;
    if (i == locatedCount)
        lstrcpyA(located[locatedCount++], id);
    *node = LocatedBase + i;
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_DevNode_Registry_PropertyA(DEVINST node, ULONG property, PULONG type,
                                                   PVOID buffer, PULONG length, ULONG flags) {
    if (!length || (!buffer && *length))
        return CR_INVALID_POINTER;
    if (flags)
        return CR_INVALID_FLAG;
    if (property < CM_DRP_MIN || property > CM_DRP_MAX)
        return CR_INVALID_PROPERTY;
    Key key;
    CONFIGRET result = OpenNode(node, &key);
    if (result != CR_SUCCESS)
        return result;
    const char* name = property <= ARRAYSIZE(PropertyValues) ? PropertyValues[property - 1] : NULL;
    DWORD valueType;
    DWORD size = 0;
    if (!name || RegQueryValueExA(key.h, name, NULL, &valueType, NULL, &size)) {
        *length = 0;
        return CR_NO_SUCH_VALUE;
    }
    // The caller's buffer is left alone when it is too small.
    if (size > *length) {
        *length = size;
        return CR_BUFFER_SMALL;
    }
    size = *length;
    if (RegQueryValueExA(key.h, name, NULL, &valueType, (BYTE*)buffer, &size))
        return CR_REGISTRY_ERROR;
    if (type)
        *type = valueType;
    *length = size;
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST node, ULONG flags) {
    if (!status || !problem)
        return CR_INVALID_POINTER;
    if (flags)
        return CR_INVALID_FLAG;
    Key key;
    CONFIGRET result = OpenNode(node, &key);
    if (result != CR_SUCCESS)
        return result;
    DWORD bits;
    DWORD code = 0;
    if (!QueryDword(key.h, "E2EDevNodeStatus", &bits))
        return CR_NO_SUCH_DEVINST;
    QueryDword(key.h, "E2EDevNodeProblem", &code);
    *status = bits;
    *problem = code;
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Open_DevNode_Key(DEVINST node, REGSAM access, ULONG profile,
                                     REGDISPOSITION disposition, PHKEY result, ULONG flags) {
    (void)profile; // only configuration keys have profiles
    if (!result)
        return CR_INVALID_POINTER;
    *result = NULL;
    if (flags & ~CM_REGISTRY_BITS)
        return CR_INVALID_FLAG;
    if (disposition & ~RegDisposition_Bits)
        return CR_INVALID_DATA;
    if (flags != CM_REGISTRY_SOFTWARE && flags != CM_REGISTRY_HARDWARE)
        return CR_CALL_NOT_IMPLEMENTED;
    Key key;
    CONFIGRET status = OpenNode(node, &key);
    if (status != CR_SUCCESS)
        return status;
    char driver[MAX_DEVICE_ID_LEN];
    DWORD size = sizeof(driver);
    const char* sub = "Device Parameters";
    HKEY parent = key.h;
    Key classes;
    if (flags == CM_REGISTRY_SOFTWARE) {
        DWORD type;
        if (RegQueryValueExA(key.h, "Driver", NULL, &type, (BYTE*)driver, &size) || type != REG_SZ)
            return CR_NO_SUCH_REGISTRY_KEY;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Class", 0,
                          KEY_READ, &classes.h))
            return CR_REGISTRY_ERROR;
        parent = classes.h;
        sub = driver;
    }
    LONG error = disposition == RegDisposition_OpenExisting
                     ? RegOpenKeyExA(parent, sub, 0, access, result)
                     : RegCreateKeyExA(parent, sub, 0, NULL, 0, access, NULL, result, NULL);
    if (error == ERROR_FILE_NOT_FOUND)
        return CR_NO_SUCH_REGISTRY_KEY;
    return error ? CR_REGISTRY_ERROR : CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_Device_ID_List_SizeA(PULONG length, PCSTR filter, ULONG flags) {
    if (!length)
        return CR_INVALID_POINTER;
    return ListIds(filter, flags, NULL, 0, length);
}

CONFIGRET WINAPI CM_Get_Device_ID_ListA(PCSTR filter, PCHAR buffer, ULONG capacity, ULONG flags) {
    if (!buffer || !capacity)
        return CR_INVALID_POINTER;
    ULONG length;
    CONFIGRET result = ListIds(filter, flags, buffer, capacity, &length);
    if (result != CR_SUCCESS)
        return result;
    if (length > capacity)
        return CR_BUFFER_SMALL;
    buffer[length - 1] = 0;
    return CR_SUCCESS;
}

} // extern "C"
