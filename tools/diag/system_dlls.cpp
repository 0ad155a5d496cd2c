// Windows XP takes only its known DLLs from the system folder whatever lies beside a program;
// setupapi.dll and cfgmgr32.dll are not among them, so for a program that imports them the
// loader looks in the program's own folder first. The tool is downloaded and started from
// wherever the browser put it, beside whatever else was dropped there, so it is linked without
// their import libraries: the functions that discovery calls by name are defined here, and
// each reaches the copy in the system folder that LoadSystemDlls loaded by its full path.
// (The monitor imports them as usual: it lives in the Windows folder, which only
// administrators may write.)
//
// A function that discovery starts to call and that is missing here fails the tool's link.
#include "system_dlls.h"

#include <setupapi.h>
#include <cfgmgr32.h>

namespace {

// Each pointer named as the function it leads to.
struct SystemFunctions {
    decltype(&::SetupDiGetClassDevsA) SetupDiGetClassDevsA;
    decltype(&::SetupDiEnumDeviceInfo) SetupDiEnumDeviceInfo;
    decltype(&::SetupDiGetDeviceInstanceIdA) SetupDiGetDeviceInstanceIdA;
    decltype(&::SetupDiDestroyDeviceInfoList) SetupDiDestroyDeviceInfoList;
    decltype(&::CM_Get_DevNode_Registry_PropertyA) CM_Get_DevNode_Registry_PropertyA;
    decltype(&::CM_Get_Device_ID_List_SizeA) CM_Get_Device_ID_List_SizeA;
    decltype(&::CM_Get_Device_ID_ListA) CM_Get_Device_ID_ListA;
    decltype(&::CM_Locate_DevNodeA) CM_Locate_DevNodeA;
    decltype(&::CM_Get_DevNode_Status) CM_Get_DevNode_Status;
    decltype(&::CM_Open_DevNode_Key) CM_Open_DevNode_Key;
} fromSystem;

struct SystemFunction {
    const char* dll;
    const char* name;
    FARPROC* pointer;
};

#define SYSTEM_FUNCTION(dll, function)                                                             \
    { dll, #function, reinterpret_cast<FARPROC*>(&fromSystem.function) }

// setupapi.dll first: XP's cfgmgr32.dll forwards to it, and a forwarder finds the copy loaded.
const SystemFunction SystemFunctionTable[] = {
    SYSTEM_FUNCTION("setupapi.dll", SetupDiGetClassDevsA),
    SYSTEM_FUNCTION("setupapi.dll", SetupDiEnumDeviceInfo),
    SYSTEM_FUNCTION("setupapi.dll", SetupDiGetDeviceInstanceIdA),
    SYSTEM_FUNCTION("setupapi.dll", SetupDiDestroyDeviceInfoList),
    SYSTEM_FUNCTION("cfgmgr32.dll", CM_Get_DevNode_Registry_PropertyA),
    SYSTEM_FUNCTION("cfgmgr32.dll", CM_Get_Device_ID_List_SizeA),
    SYSTEM_FUNCTION("cfgmgr32.dll", CM_Get_Device_ID_ListA),
    SYSTEM_FUNCTION("cfgmgr32.dll", CM_Locate_DevNodeA),
    SYSTEM_FUNCTION("cfgmgr32.dll", CM_Get_DevNode_Status),
    SYSTEM_FUNCTION("cfgmgr32.dll", CM_Open_DevNode_Key),
};

} // namespace

BOOL LoadSystemDlls(char* missing) {
    char path[MAX_PATH + 16];
    UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    if (!folder || folder >= MAX_PATH) {
        wsprintfA(missing, "the system folder is unknown (error %u)", GetLastError());
        return FALSE;
    }
    path[folder++] = '\\';
    HMODULE dll = NULL;
    const char* loaded = "";
    for (const SystemFunction& function : SystemFunctionTable) {
        if (lstrcmpiA(function.dll, loaded)) {
            lstrcpynA(path + folder, function.dll, sizeof path - folder);
            // The DLL's own imports are looked for beside it, in the system folder, too.
            dll = LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
            if (!dll) {
                wsprintfA(missing, "%s cannot be loaded (error %u)", path, GetLastError());
                return FALSE;
            }
            loaded = function.dll;
        }
        *function.pointer = GetProcAddress(dll, function.name);
        if (!*function.pointer) {
            wsprintfA(missing, "%s has no %s", path, function.name);
            return FALSE;
        }
    }
    return TRUE;
}

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND parent,
                                     DWORD flags) {
    return fromSystem.SetupDiGetClassDevsA(classGuid, enumerator, parent, flags);
}

BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA info) {
    return fromSystem.SetupDiEnumDeviceInfo(set, index, info);
}

BOOL WINAPI SetupDiGetDeviceInstanceIdA(HDEVINFO set, PSP_DEVINFO_DATA info, PSTR id, DWORD size,
                                        PDWORD needed) {
    return fromSystem.SetupDiGetDeviceInstanceIdA(set, info, id, size, needed);
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set) {
    return fromSystem.SetupDiDestroyDeviceInfoList(set);
}

CONFIGRET WINAPI CM_Get_DevNode_Registry_PropertyA(DEVINST node, ULONG property, PULONG type,
                                                   PVOID buffer, PULONG length, ULONG flags) {
    return fromSystem.CM_Get_DevNode_Registry_PropertyA(node, property, type, buffer, length,
                                                        flags);
}

CONFIGRET WINAPI CM_Get_Device_ID_List_SizeA(PULONG length, PCSTR filter, ULONG flags) {
    return fromSystem.CM_Get_Device_ID_List_SizeA(length, filter, flags);
}

CONFIGRET WINAPI CM_Get_Device_ID_ListA(PCSTR filter, PCHAR buffer, ULONG length, ULONG flags) {
    return fromSystem.CM_Get_Device_ID_ListA(filter, buffer, length, flags);
}

CONFIGRET WINAPI CM_Locate_DevNodeA(PDEVINST node, DEVINSTID_A id, ULONG flags) {
    return fromSystem.CM_Locate_DevNodeA(node, id, flags);
}

CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST node, ULONG flags) {
    return fromSystem.CM_Get_DevNode_Status(status, problem, node, flags);
}

CONFIGRET WINAPI CM_Open_DevNode_Key(DEVINST node, REGSAM access, ULONG profile,
                                     REGDISPOSITION disposition, PHKEY key, ULONG flags) {
    return fromSystem.CM_Open_DevNode_Key(node, access, profile, disposition, key, flags);
}
