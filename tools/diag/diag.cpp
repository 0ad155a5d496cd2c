#include "diag.h"

// shlobj.h brings strsafe.h, which would otherwise retire wsprintfA.
#define STRSAFE_NO_DEPRECATE
#include <windows.h>
#include <dshow.h>
#include <shlobj.h>
#include <stdarg.h>
#include <string.h>

#include "app/monitors.h"
#include "app/windows_version.h"
#include "camera/camera_channel.h"
#include "common/common.h"
#include "console.h"
#include "devices/discovery.h"
#include "devices/hardware_ids.h"
#include "version.h"

namespace {

// The commands --send takes, by code from Suspend on.
const char* const CommandNames[] = {"suspend", "sessionend", "batterylow", "normal"};

void PrintUsage() {
    Print("usage: QX481Diag [--send normal|suspend|sessionend|batterylow] [--save FILE]");
    Print("Reports whether the QX481 camera monitor runs on this machine, and why; --send gives");
    Print("the camera that one command as the monitor would; --save copies the report to FILE.");
    Print("exit codes: 0 the monitor runs, 1 the machine does not qualify,");
    Print("2 wrong command line, 3 the send failed, 4 the report was not saved to FILE,");
    Print("5 nothing starts the monitor at log-on, 6 it is not running in this session,");
    Print("7 the tool could not look");
}

// By platform id: VER_PLATFORM_WIN32s, VER_PLATFORM_WIN32_WINDOWS, VER_PLATFORM_WIN32_NT.
const char* const PlatformNames[] = {"Win32s", "Windows 9x", "NT"};

// What the Run value does at log-on.
enum Autostart {
    AutostartStartsFile,  // names a file that exists
    AutostartAbsent,      // there is no value
    AutostartFileMissing, // names a file that does not exist
    AutostartNotAString,  // a value of a type that log-on does not start
    AutostartUnreadable   // the value cannot be read
};

// What the report has found out by the time it gives its verdict.
struct Findings {
    OSVERSIONINFOA version;
    BOOL versionKnown;
    BOOL windowsAccepted;
    const char* systemDllsMissing; // NULL, or what discovery needs and lacks: it is not made
    BOOL found;                    // discovery's result
    DiscoveryDetail detail;
    char name[MAX_PATH]; // the camera's friendly name, as discovery read it
    Autostart autostart;
    LONG autostartError; // why the Run value cannot be read
    BOOL monitorsCounted;
    DWORD monitors; // running in the tool's session
};

struct Options {
    DWORD send;       // the command --send names, 0: none
    const char* save; // the file --save names, NULL: none
};

// "--send" with a command's name and "--save" with a file, each at most once, in any order.
// Unlike the monitor, which ignores what it does not know, the tool refuses anything else:
// FALSE then.
BOOL ParseCommandLine(int argc, char** argv, Options* options) {
    options->send = 0;
    options->save = NULL;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 == argc)
            return FALSE;
        if (!lstrcmpiA(argv[i], "--save") && !options->save) {
            options->save = argv[i + 1];
            continue;
        }
        if (lstrcmpiA(argv[i], "--send") || options->send)
            return FALSE;
        for (DWORD command = 0; command < 4; ++command)
            if (!lstrcmpiA(argv[i + 1], CommandNames[command]))
                options->send = Suspend + command;
        if (!options->send)
            return FALSE;
    }
    return TRUE;
}

void ReportWindows(Findings* seen) {
    OSVERSIONINFOA& version = seen->version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    seen->versionKnown = GetVersionExA(&version);
    if (seen->versionKnown) {
        Print("windows version: %u.%u", version.dwMajorVersion, version.dwMinorVersion);
        Print("windows build: %u", version.dwBuildNumber & 0xFFFF);
        Print("service pack: %s", version.szCSDVersion[0] ? version.szCSDVersion : "none");
        Print("platform: %u (%s)", version.dwPlatformId,
              version.dwPlatformId < 3 ? PlatformNames[version.dwPlatformId] : "unknown");
    } else {
        Print("windows version: unknown");
    }
    seen->windowsAccepted = IsSupportedWindowsVersion();
    Print("windows accepted: %s", seen->windowsAccepted ? "yes" : "no");
}

// The nodes discovery's search came to that carry a supported ID.
void ReportNodes(const DiscoveryDetail& detail, const MatchedNode* nodes) {
    if (!detail.searched) {
        Print("nodes: not looked at (the imaging class cannot be listed)");
        return;
    }
    for (DWORD i = 0; i < detail.nodesMatched && i < MatchedNodeRoom; ++i) {
        const MatchedNode& node = nodes[i];
        const char* driver = !node.statusRead    ? "not present"
                             : node.driverLoaded ? "driver loaded"
                                                 : "driver not loaded";
        Print("node: %s; matches %s; %s; found in %s", node.instanceId,
              SupportedHardwareIds[node.entry], driver,
              node.inImagingClass ? "the imaging class" : "the USB nodes");
    }
    if (detail.nodesMatched > MatchedNodeRoom)
        Print("nodes matched: %u, the first %u told", detail.nodesMatched, MatchedNodeRoom);
    if (!detail.nodesMatched)
        Print("nodes looked at: %u", detail.nodesLooked);
}

// The monitor's own discovery decides; the lines after it only explain.
void ReportDiscovery(Findings* seen) {
    char desc[MAX_PATH];
    MatchedNode nodes[MatchedNodeRoom];
    const DiscoveryDetail& detail = seen->detail;
    if (seen->systemDllsMissing) {
        Print("camera: not looked for (%s)", seen->systemDllsMissing);
        return;
    }
    seen->found = ExplainSupportedCamera(SupportedHardwareIds, SupportedHardwareIdCount, desc,
                                         MAX_PATH, seen->name, MAX_PATH, &seen->detail, nodes);
    Print("camera: %s", seen->found ? "found" : "not found");
    Print("driver description: %s", desc);
    Print("friendly name: %s", seen->name);
    if (!detail.settled)
        Print("selective suspend: not read (no supported device node)");
    else if (!detail.keyOpened)
        Print("selective suspend: driver key cannot be opened (counts as on)");
    else if (!detail.suspendRead)
        Print("selective suspend: missing or over 4 bytes (off)");
    else
        Print("selective suspend: %u (%s)", detail.suspendValue,
              detail.suspendValue ? "on" : "off");
    ReportNodes(detail, nodes);
}

// A camera settled on, even one refused, has a name the channel can look for. Its driver is
// asked, without anything being written, whether the command property takes writes.
void ReportCaptureDevice(const Findings& seen) {
    if (!seen.detail.settled) {
        Print("capture devices: not looked for (no camera)");
        return;
    }
    SetCameraDeviceName(seen.name);
    DWORD devices = CountCaptureDevices();
    Print("capture devices: %u", devices);
    HRESULT hr = E_FAIL;
    DWORD support = 0;
    if (!devices)
        Print("command property: not asked (no capture device of that name)");
    else if (!QueryCameraCommandSupport(&hr, &support))
        Print("command property: not asked (the capture device cannot be opened)");
    else if (SUCCEEDED(hr) && (support & KSPROPERTY_SUPPORT_SET))
        Print("command property: supported");
    else
        Print("command property: not supported (HRESULT 0x%08X, support %u)", hr, support);
}

// The file the Run value names, in path (empty when there is none).
void ReportAutostart(char* path, Findings* seen) {
    *path = 0;
    char value[MAX_PATH + 2];
    DWORD size = sizeof value - 1, type = REG_NONE;
    LONG result = ERROR_FILE_NOT_FOUND;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, AUTOSTART_KEY, 0, KEY_QUERY_VALUE, &key) ==
        ERROR_SUCCESS) {
        result = RegQueryValueExA(key, AUTOSTART_VALUE_NAME, NULL, &type, (BYTE*)value, &size);
        RegCloseKey(key);
    }
    seen->autostartError = result;
    if (result == ERROR_FILE_NOT_FOUND) {
        seen->autostart = AutostartAbsent;
        Print("autostart: absent");
        return;
    }
    if (result != ERROR_SUCCESS) {
        seen->autostart = AutostartUnreadable;
        Print("autostart: unreadable (error %d, type %u)", result, type);
        return;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        seen->autostart = AutostartNotAString;
        Print("autostart: not text (type %u)", type);
        return;
    }
    value[size] = 0;
    Print("autostart: %s", value);
    char* file = value;
    // Log-on expands such a value before it starts it. The ANSI call wants a spare byte; a
    // value longer than a path once expanded names no file that log-on could start.
    char expanded[MAX_PATH + 1];
    if (type == REG_EXPAND_SZ) {
        DWORD length = ExpandEnvironmentStringsA(value, expanded, MAX_PATH);
        if (!length || length > MAX_PATH)
            expanded[0] = 0;
        file = expanded;
    }
    // The monitor quotes a path with a space; it never adds arguments.
    if (*file == '"') {
        char* close = strchr(++file, '"');
        if (close)
            *close = 0;
    }
    lstrcpynA(path, file, MAX_PATH);
    BOOL exists = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    seen->autostart = exists ? AutostartStartsFile : AutostartFileMissing;
    Print("autostart file: %s", exists ? "exists" : "missing");
}

// The file version in the version block of the monitor that log-on starts, written as the
// tool writes its own.
void ReportInstalledVersion(const char* path) {
    DWORD unused, size = *path ? GetFileVersionInfoSizeA(path, &unused) : 0;
    void* block = size ? HeapAlloc(GetProcessHeap(), 0, size) : NULL;
    VS_FIXEDFILEINFO* info;
    UINT length;
    if (block && GetFileVersionInfoA(path, 0, size, block) &&
        VerQueryValueA(block, "\\", reinterpret_cast<void**>(&info), &length) &&
        length >= sizeof *info)
        Print("installed version: %u.%02u.%02u.%02u", HIWORD(info->dwFileVersionMS),
              LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
              LOWORD(info->dwFileVersionLS));
    else
        Print("installed version: (none)");
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

// Counted as the uninstall counts the monitors it waits for.
void ReportMonitors(Findings* seen) {
    seen->monitorsCounted = CountOtherMonitors(&seen->monitors);
    if (seen->monitorsCounted)
        Print("monitors running in this session: %u", seen->monitors);
    else
        Print("monitors running in this session: unknown (no process list)");
}

// Sends through the monitor's own channel; FALSE when the command did not reach the driver or
// the driver rejected it.
BOOL Send(CameraCommand command, const Findings& seen) {
    const char* name = CommandNames[command - Suspend];
    HRESULT hr = E_FAIL;
    if (!seen.detail.settled)
        Print("send: %s (%u) not sent: discovery named no camera", name, command);
    else if (!SendCameraCommandForAnswer(command, &hr))
        Print("send: %s (%u) failed: no capture device named \"%s\" could be opened", name, command,
              seen.name);
    else
        Print("send: %s (%u) %s, HRESULT 0x%08X", name, command,
              SUCCEEDED(hr) ? "accepted" : "rejected", hr);
    return SUCCEEDED(hr);
}

// The report's last line; exitCode back.
int Verdict(int exitCode, const char* format, ...) {
    char verdict[1024];
    va_list arguments;
    va_start(arguments, format);
    wvsprintfA(verdict, format, arguments);
    va_end(arguments);
    Print("verdict: %s", verdict);
    return exitCode;
}

// First whether the monitor's start-up lets it run, in the order it checks; then whether log-on
// starts it, and whether it runs in this session.
int GiveVerdict(const Findings& seen) {
    const OSVERSIONINFOA& version = seen.version;
    const DiscoveryDetail& detail = seen.detail;
    if (detail.searched && !seen.found && !detail.settled)
        return Verdict(DiagDoesNotRun, "does not run: no supported camera is installed");
    if (!seen.found && detail.settled)
        return Verdict(DiagDoesNotRun, "does not run: selective suspend is off for the camera");
    if (!seen.windowsAccepted && seen.versionKnown)
        return Verdict(DiagDoesNotRun,
                       "does not run: Windows %u.%u (platform %u) is not Windows XP",
                       version.dwMajorVersion, version.dwMinorVersion, version.dwPlatformId);
    if (!seen.windowsAccepted)
        return Verdict(DiagDoesNotRun, "does not run: the Windows version cannot be read");
    // Whether a camera is installed is unknown: only a Windows the monitor refuses settles it.
    if (seen.systemDllsMissing)
        return Verdict(DiagCouldNotLook, "could not look: %s", seen.systemDllsMissing);
    if (!detail.searched)
        return Verdict(DiagCouldNotLook, "could not look: the imaging class cannot be listed");
    switch (seen.autostart) {
    case AutostartStartsFile:
        break;
    case AutostartAbsent:
        return Verdict(DiagNotStarted, "not started at log-on: no Run value");
    case AutostartFileMissing:
        return Verdict(DiagNotStarted, "not started at log-on: the Run value names a missing file");
    case AutostartNotAString:
        return Verdict(DiagNotStarted, "not started at log-on: the Run value is not a file name");
    case AutostartUnreadable:
        return Verdict(DiagCouldNotLook, "could not look: the Run value cannot be read (error %d)",
                       seen.autostartError);
    }
    if (!seen.monitorsCounted)
        return Verdict(DiagCouldNotLook, "could not look: the running processes cannot be listed");
    if (!seen.monitors)
        return Verdict(DiagNotRunning, "not running in this session: it starts at the next log-on");
    return Verdict(DiagRuns, "runs");
}

// The whole report; its exit code.
int Report(const Options& options, const char* systemDllsMissing) {
    Print("tool: QX481Diag %s", QX481_FILEVERSION_TEXT);
    Findings seen = {};
    seen.systemDllsMissing = systemDllsMissing;
    ReportWindows(&seen);
    ReportDiscovery(&seen);
    ReportCaptureDevice(seen);
    char path[MAX_PATH];
    ReportAutostart(path, &seen);
    ReportInstalledVersion(path);
    ReportMonitors(&seen);
    BOOL sendFailed = options.send && !Send(static_cast<CameraCommand>(options.send), seen);
    int exitCode = GiveVerdict(seen);
    return sendFailed ? DiagSendFailed : exitCode;
}

// Started from Explorer, the report goes to the desktop too, named for the machine and the
// time, where the customer finds it to send.
void SaveOnDesktop() {
    char computer[MAX_COMPUTERNAME_LENGTH + 1], folder[MAX_PATH], path[MAX_PATH + 64];
    DWORD size = sizeof computer;
    if (!GetComputerNameA(computer, &size))
        lstrcpynA(computer, "unknown", sizeof computer);
    SYSTEMTIME now;
    GetLocalTime(&now);
    Tell("");
    HRESULT hr = SHGetFolderPathA(NULL, CSIDL_DESKTOPDIRECTORY, NULL, SHGFP_TYPE_CURRENT, folder);
    if (FAILED(hr)) {
        Tell("The report could not be saved: the desktop folder is unknown (HRESULT 0x%08X).", hr);
    } else {
        wsprintfA(path, "%s\\QX481Diag-%s-%04u%02u%02u-%02u%02u%02u.txt", folder, computer,
                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
        if (SaveReport(path)) {
            Tell("The report is saved on your desktop as %s", path);
            Tell("Please send this file to support.");
            return;
        }
        Tell("The report could not be saved on the desktop as %s (error %u).", path,
             GetLastError());
    }
    Tell("Please copy the report from this window and send it to support.");
}

} // namespace

int RunDiagnosis(int argc, char** argv, const char* systemDllsMissing) {
    BOOL ownConsole = HasSeenConsoleOfItsOwn();
    // Room for at least 31 of the longest lines.
    char kept[32 * 1024];
    KeepReport(kept, sizeof kept);
    Options options;
    int exitCode = DiagUsage;
    if (!ParseCommandLine(argc, argv, &options)) {
        PrintUsage();
    } else {
        exitCode = Report(options, systemDllsMissing);
        if (options.save && !SaveReport(options.save)) {
            Tell("The report could not be saved to %s (error %u).", options.save, GetLastError());
            if (exitCode != DiagSendFailed)
                exitCode = DiagSaveFailed;
        }
        if (ownConsole)
            SaveOnDesktop();
    }
    KeepReport(NULL, 0);
    // Its window would close with it before anyone could read it.
    if (ownConsole)
        WaitForEnter();
    return exitCode;
}
