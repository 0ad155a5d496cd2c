#include "diag.h"

// dshow.h brings strsafe.h, which would hide the formatting call the report is printed with.
#define STRSAFE_NO_DEPRECATE
#include <windows.h>
#include <devguid.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <dshow.h>
#include <stdarg.h>
#include <string.h>

#include "app/monitors.h"
#include "app/program.h"
#include "camera/camera_channel.h"
#include "common/common.h"
#include "devices/discovery.h"
#include "devices/hardware_ids.h"
#include "version.h"

namespace {

// Bounds the hardware-ID list of an imaging device, as discovery does; USB nodes are read with
// a bound of MAX_PATH, as there. Two spare bytes end the list whatever was stored.
const ULONG ListSize = 4096;

struct CommandName {
    const char* name;
    CameraCommand command;
};
const CommandName Commands[] = {{"normal", Normal},
                                {"suspend", Suspend},
                                {"sessionend", SessionEnd},
                                {"batterylow", BatteryLow}};

// One line of the report on standard output.
void Print(const char* format, ...) {
    char line[1024 + 2];
    va_list arguments;
    va_start(arguments, format);
    int length = wvsprintfA(line, format, arguments);
    va_end(arguments);
    if (length < 0)
        return;
    line[length++] = '\r';
    line[length++] = '\n';
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, length, &written, NULL);
}

void PrintUsage() {
    Print("usage: QX481Diag [--send normal|suspend|sessionend|batterylow]");
    Print("Reports whether the QX481 camera monitor runs on this machine, and why; --send gives");
    Print("the camera that one command as the monitor would.");
    Print("exit codes: 0 the monitor runs, 1 it does not, 2 wrong command line, 3 the send failed");
}

const char* PlatformName(DWORD platformId) {
    switch (platformId) {
    case VER_PLATFORM_WIN32s:
        return "Win32s";
    case VER_PLATFORM_WIN32_WINDOWS:
        return "Windows 9x";
    case VER_PLATFORM_WIN32_NT:
        return "NT";
    }
    return "unknown";
}

// Reads a node's hardware IDs into list, ended right after what the platform wrote.
BOOL ReadHardwareIds(DEVINST node, char* list, ULONG capacity) {
    ULONG length = capacity;
    if (CM_Get_DevNode_Registry_PropertyA(node, CM_DRP_HARDWAREID, NULL, list, &length, 0) !=
        CR_SUCCESS)
        return FALSE;
    list[length] = list[length + 1] = 0;
    return TRUE;
}

// The supported ID the list names, by the monitor's own test on one entry at a time; NULL when
// it names none. The test cuts its list, so each try gets a fresh copy.
const char* MatchingId(const char* list) {
    const char* end = list;
    while (*end)
        end += strlen(end) + 1;
    char copy[ListSize + 2];
    for (DWORD i = 0; i < SupportedHardwareIdCount; ++i) {
        memcpy(copy, list, end - list + 1);
        if (MatchHardwareIdList(copy, SupportedHardwareIds + i, 1))
            return SupportedHardwareIds[i];
    }
    return NULL;
}

void PrintNode(const char* instanceId, const char* matchingId, DEVINST node, const char* where) {
    ULONG status, problem;
    const char* driver = "not present";
    if (CM_Get_DevNode_Status(&status, &problem, node, 0) == CR_SUCCESS)
        driver = (status & DN_DRIVER_LOADED) ? "driver loaded" : "driver not loaded";
    Print("node: %s; matches %s; %s; found in %s", instanceId, matchingId, driver, where);
}

// The walk discovery makes, told node by node: the present devices of the imaging class, and
// only when none of them matches, every node of the USB enumerator.
void ReportNodes() {
    char* list = (char*)HeapAlloc(GetProcessHeap(), 0, ListSize + 2);
    if (!list) {
        Print("nodes: not looked at (out of memory)");
        return;
    }
    DWORD looked = 0, matched = 0;
    HDEVINFO set = SetupDiGetClassDevsA(&GUID_DEVCLASS_IMAGE, NULL, NULL, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        Print("imaging class: cannot be read");
    } else {
        SP_DEVINFO_DATA info;
        info.cbSize = sizeof info;
        for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &info); ++index) {
            ++looked;
            const char* id =
                ReadHardwareIds(info.DevInst, list, ListSize) ? MatchingId(list) : NULL;
            if (!id)
                continue;
            char instanceId[MAX_PATH];
            if (!SetupDiGetDeviceInstanceIdA(set, &info, instanceId, sizeof instanceId, NULL))
                lstrcpynA(instanceId, "(unknown)", MAX_PATH);
            PrintNode(instanceId, id, info.DevInst, "the imaging class");
            ++matched;
        }
        SetupDiDestroyDeviceInfoList(set);
    }

    char enumerator[MAX_PATH];
    EnumeratorName(SupportedHardwareIds, enumerator);
    ULONG length;
    char* ids;
    if (!matched &&
        CM_Get_Device_ID_List_SizeA(&length, enumerator, CM_GETIDLIST_FILTER_ENUMERATOR) ==
            CR_SUCCESS &&
        length && (ids = (char*)HeapAlloc(GetProcessHeap(), 0, length))) {
        if (CM_Get_Device_ID_ListA(enumerator, ids, length, CM_GETIDLIST_FILTER_ENUMERATOR) ==
            CR_SUCCESS) {
            for (char* instanceId = ids; *instanceId; instanceId += strlen(instanceId) + 1) {
                ++looked;
                DEVINST node;
                if (CM_Locate_DevNodeA(&node, instanceId, CM_LOCATE_DEVNODE_PHANTOM) !=
                        CR_SUCCESS ||
                    !ReadHardwareIds(node, list, MAX_PATH))
                    continue;
                if (const char* id = MatchingId(list)) {
                    PrintNode(instanceId, id, node, "the USB nodes");
                    ++matched;
                }
            }
        }
        HeapFree(GetProcessHeap(), 0, ids);
    }
    if (!matched)
        Print("nodes looked at: %u", looked);
    HeapFree(GetProcessHeap(), 0, list);
}

// How many video input devices carry the name, read as the channel reads them.
DWORD CountCaptureDevices(const char* name) {
    HRESULT initialized = CoInitialize(NULL);
    DWORD count = 0;
    ICreateDevEnum* devices = NULL;
    IEnumMoniker* monikers = NULL;
    if (SUCCEEDED(CoCreateInstance(CLSID_SystemDeviceEnum, NULL, CLSCTX_INPROC_SERVER,
                                   IID_ICreateDevEnum, (void**)&devices))) {
        devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0);
        devices->Release();
    }
    if (monikers) {
        IMoniker* moniker;
        ULONG fetched;
        while (monikers->Next(1, &moniker, &fetched) == S_OK && fetched == 1) {
            IPropertyBag* bag;
            if (SUCCEEDED(moniker->BindToStorage(NULL, NULL, IID_IPropertyBag, (void**)&bag))) {
                VARIANT value;
                memset(&value, 0, sizeof value);
                value.vt = VT_BSTR;
                if (SUCCEEDED(bag->Read(L"FriendlyName", &value, NULL))) {
                    char friendlyName[MAX_PATH];
                    if (WideCharToMultiByte(CP_ACP, 0, value.bstrVal, -1, friendlyName, MAX_PATH,
                                            NULL, NULL) &&
                        _stricmp(friendlyName, name) == 0)
                        ++count;
                    SysFreeString(value.bstrVal);
                }
                bag->Release();
            }
            moniker->Release();
        }
        monikers->Release();
    }
    if (initialized == S_OK)
        CoUninitialize();
    return count;
}

// Binds the device the channel would bind and asks its driver, without writing anything,
// whether the command property takes writes.
void ReportCommandProperty(const char* name) {
    if (!OpenCameraChannel(name)) {
        Print("command property: not asked (the capture device cannot be opened)");
    } else {
        DWORD support = 0;
        HRESULT hr =
            Camera.propertySet->QuerySupported(CameraPropertySet, CameraCommandProperty, &support);
        if (SUCCEEDED(hr) && (support & KSPROPERTY_SUPPORT_SET))
            Print("command property: supported");
        else
            Print("command property: not supported (HRESULT 0x%08X, support %u)", hr, support);
    }
    CloseCameraChannel();
}

void ReportAutostart() {
    char value[MAX_PATH + 2];
    DWORD size = sizeof value - 1, type = REG_NONE;
    LONG result = ERROR_FILE_NOT_FOUND;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, AUTOSTART_KEY, 0, KEY_QUERY_VALUE, &key) ==
        ERROR_SUCCESS) {
        result = RegQueryValueExA(key, AUTOSTART_VALUE_NAME, NULL, &type, (BYTE*)value, &size);
        RegCloseKey(key);
    }
    if (result == ERROR_FILE_NOT_FOUND) {
        Print("autostart: absent");
        return;
    }
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        Print("autostart: unreadable (error %d, type %u)", result, type);
        return;
    }
    value[size] = 0;
    Print("autostart: %s", value);
    // The monitor quotes a path with a space; it never adds arguments.
    char* path = value;
    if (*path == '"') {
        char* close = strchr(++path, '"');
        if (close)
            *close = 0;
    }
    Print("autostart file: %s",
          GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ? "exists" : "missing");
}

// Counted as the uninstall counts the monitors it waits for.
void ReportMonitors() {
    DWORD count;
    if (CountOtherMonitors(&count))
        Print("monitors running in this session: %u", count);
    else
        Print("monitors running in this session: unknown (no process list)");
}

// Sends through the monitor's own channel; FALSE when the command did not reach the driver or
// the driver rejected it.
BOOL Send(const CommandName& command, const char* name) {
    SetCameraDeviceName(name);
    if (!OpenCameraChannel(Camera.deviceName)) {
        CloseCameraChannel();
        Print("send: %s (%u) failed: no capture device named \"%s\" could be opened", command.name,
              command.command, name);
        return FALSE;
    }
    HRESULT hr = WriteCameraCommand(command.command);
    CloseCameraChannel();
    Print("send: %s (%u) %s, HRESULT 0x%08X", command.name, command.command,
          SUCCEEDED(hr) ? "accepted" : "rejected", hr);
    return SUCCEEDED(hr);
}

} // namespace

int RunDiagnosis(int argc, char** argv) {
    // Unlike the monitor, which ignores what it does not know, the tool refuses it.
    const CommandName* send = NULL;
    for (int i = 1; i < argc; ++i) {
        const CommandName* named = NULL;
        if (!send && !lstrcmpiA(argv[i], "--send") && i + 1 < argc)
            for (const CommandName& command : Commands)
                if (!lstrcmpiA(argv[i + 1], command.name))
                    named = &command;
        if (!named) {
            PrintUsage();
            return DiagUsage;
        }
        send = named;
        ++i;
    }

    Print("tool: QX481Diag %s", QX481_FILEVERSION_TEXT);

    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    BOOL versionKnown = GetVersionExA(&version);
    if (versionKnown) {
        Print("windows version: %u.%u", version.dwMajorVersion, version.dwMinorVersion);
        Print("windows build: %u", version.dwBuildNumber & 0xFFFF);
        Print("service pack: %s", version.szCSDVersion[0] ? version.szCSDVersion : "none");
        Print("platform: %u (%s)", version.dwPlatformId, PlatformName(version.dwPlatformId));
    } else {
        Print("windows version: unknown");
    }
    BOOL windowsAccepted = IsSupportedWindowsVersion();
    Print("windows accepted: %s", windowsAccepted ? "yes" : "no");

    // The monitor's own discovery decides; the lines after it only explain.
    char desc[MAX_PATH], name[MAX_PATH];
    DiscoveryDetail detail;
    memset(&detail, 0, sizeof detail);
    BOOL found = FindSupportedCamera(SupportedHardwareIds, SupportedHardwareIdCount, desc, MAX_PATH,
                                     name, MAX_PATH, &detail);
    Print("camera: %s", found ? "found" : "not found");
    Print("driver description: %s", desc);
    Print("friendly name: %s", name);
    if (!detail.settled)
        Print("selective suspend: not read (no supported device node)");
    else if (!detail.keyOpened)
        Print("selective suspend: driver key cannot be opened (counts as on)");
    else if (!detail.suspendRead)
        Print("selective suspend: missing (off)");
    else
        Print("selective suspend: %u (%s)", detail.suspendValue,
              detail.suspendValue ? "on" : "off");
    ReportNodes();

    // A camera settled on, even one refused, has a name the channel can look for.
    BOOL named = detail.settled;
    if (named) {
        DWORD devices = CountCaptureDevices(name);
        Print("capture devices: %u", devices);
        if (devices)
            ReportCommandProperty(name);
        else
            Print("command property: not asked (no capture device of that name)");
    } else {
        Print("capture devices: not looked for (no camera)");
    }
    ReportAutostart();
    ReportMonitors();

    BOOL sendFailed = FALSE;
    if (send) {
        if (named) {
            sendFailed = !Send(*send, name);
        } else {
            Print("send: %s (%u) not sent: discovery named no camera", send->name, send->command);
            sendFailed = TRUE;
        }
    }

    // In the order the monitor's start-up checks.
    if (!found && !detail.settled)
        Print("verdict: does not run: no supported camera is installed");
    else if (!found)
        Print("verdict: does not run: selective suspend is off for the camera");
    else if (!windowsAccepted && versionKnown)
        Print("verdict: does not run: Windows %u.%u (platform %u) is not Windows XP",
              version.dwMajorVersion, version.dwMinorVersion, version.dwPlatformId);
    else if (!windowsAccepted)
        Print("verdict: does not run: the Windows version cannot be read");
    else
        Print("verdict: runs");

    if (sendFailed)
        return DiagSendFailed;
    return found && windowsAccepted ? DiagRuns : DiagDoesNotRun;
}
