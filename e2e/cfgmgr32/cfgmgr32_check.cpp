// Prints what the test configuration manager answers to a table of calls; cfgmgr32_test.py
// holds the real DLL's answers: the return codes, lengths and status bits discovery relies on.
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <stdio.h>
#include <string.h>

namespace {

char camera[] = "USB\\VID_0C45&PID_63F5&MI_00\\6&1234&0&0000";
char phantom[] = "USB\\VID_05CA&PID_18A3&MI_00\\6&2AA&0&0000";
char broken[] = "USB\\VID_FFFF&PID_0001\\5&0&0&2";
char unknown[] = "USB\\VID_FFFF&PID_0002\\5&0&0&9";

struct Locate {
    const char* what;
    char* id;
    ULONG flags;
} const locates[] = {
    {"camera", camera, 0},
    {"phantom", phantom, 0},
    {"phantom, phantoms too", phantom, CM_LOCATE_DEVNODE_PHANTOM},
    {"unknown, phantoms too", unknown, CM_LOCATE_DEVNODE_PHANTOM},
    {"camera, flag 8", camera, 8},
};

DEVINST LocateOrZero(char* id) {
    DEVINST node = 0;
    CM_Locate_DevNodeA(&node, id, CM_LOCATE_DEVNODE_PHANTOM);
    return node;
}

void Property(const char* what, DEVINST node, ULONG property, ULONG capacity, ULONG flags) {
    char buffer[512];
    memset(buffer, '#', sizeof(buffer));
    ULONG type = 0;
    ULONG length = capacity;
    CONFIGRET result =
        CM_Get_DevNode_Registry_PropertyA(node, property, &type, buffer, &length, flags);
    printf("property %s: %#lx length %lu type %lu first '%.40s'\n", what, result, length,
           result ? 0 : type, result ? (buffer[0] == '#' ? "untouched" : "written") : buffer);
}

void Status(const char* what, DEVINST node) {
    ULONG status = 0;
    ULONG problem = 0;
    CONFIGRET result = CM_Get_DevNode_Status(&status, &problem, node, 0);
    printf("status %s: %#lx status %#lx problem %lu\n", what, result, status, problem);
}

void DriverKey(const char* what, DEVINST node) {
    HKEY key = NULL;
    CONFIGRET result = CM_Open_DevNode_Key(node, KEY_READ, 2, RegDisposition_OpenExisting, &key,
                                           CM_REGISTRY_SOFTWARE);
    char name[MAX_PATH] = "";
    DWORD size = sizeof(name);
    if (key) {
        RegQueryValueExA(key, "FriendlyName", NULL, NULL, (BYTE*)name, &size);
        RegCloseKey(key);
    }
    printf("driver key %s: %#lx '%s'\n", what, result, name);
}

void IdList(const char* filter, ULONG shortBy) {
    ULONG length = 0;
    CONFIGRET result = CM_Get_Device_ID_List_SizeA(&length, filter, CM_GETIDLIST_FILTER_ENUMERATOR);
    printf("list size %s: %#lx length %lu\n", filter, result, length);
    if (result)
        return;
    char list[1024];
    result = CM_Get_Device_ID_ListA(filter, list, length - shortBy, CM_GETIDLIST_FILTER_ENUMERATOR);
    printf("list %s, %lu short: %#lx\n", filter, shortBy, result);
    for (char* id = list; !result && *id; id += strlen(id) + 1)
        printf("listed %s\n", id);
}

} // namespace

int main() {
    for (const Locate& call : locates) {
        DEVINST node = 0;
        printf("locate %s: %#lx\n", call.what, CM_Locate_DevNodeA(&node, call.id, call.flags));
    }
    printf("locate into NULL: %#lx\n", CM_Locate_DevNodeA(NULL, camera, 0));

    // SetupAPI's own numbering and the nodes located by id reach the same registry data.
    static const GUID imaging = {
        0x6BDD1FC6, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};
    HDEVINFO set = SetupDiGetClassDevsA(&imaging, NULL, NULL, DIGCF_PRESENT);
    SP_DEVINFO_DATA info = {};
    info.cbSize = sizeof(info);
    if (SetupDiEnumDeviceInfo(set, 0, &info)) {
        printf("imaging member 0: DevInst %lu\n", info.DevInst);
        Property("of imaging member 0", info.DevInst, CM_DRP_HARDWAREID, 512, 0);
    }
    DEVINST node = LocateOrZero(camera);
    Property("hardware IDs", node, CM_DRP_HARDWAREID, 512, 0);
    Property("hardware IDs, 3 bytes", node, CM_DRP_HARDWAREID, 3, 0);
    Property("friendly name, not set", node, CM_DRP_FRIENDLYNAME, 512, 0);
    Property("number 0", node, 0, 512, 0);
    Property("with flag 1", node, CM_DRP_HARDWAREID, 512, 1);
    Property("of a handle never given out", 0x5E00FFFF, CM_DRP_HARDWAREID, 512, 0);
    ULONG length = 0;
    CONFIGRET result =
        CM_Get_DevNode_Registry_PropertyA(node, CM_DRP_HARDWAREID, NULL, NULL, &length, 0);
    printf("property size query: %#lx length %lu\n", result, length);
    printf("property into NULL length: %#lx\n",
           CM_Get_DevNode_Registry_PropertyA(node, CM_DRP_HARDWAREID, NULL, NULL, NULL, 0));

    Status("camera", node);
    Status("phantom", LocateOrZero(phantom));
    Status("broken", LocateOrZero(broken));
    DriverKey("camera", node);
    DriverKey("phantom", LocateOrZero(phantom));
    DriverKey("broken", LocateOrZero(broken));

    IdList("USB", 0);
    IdList("USB", 1);
    IdList("USB\\VID_0C45&PID_63F5&MI_00", 0);
    IdList("NOSUCHBUS", 0);
    SetupDiDestroyDeviceInfoList(set);
    return 0;
}
