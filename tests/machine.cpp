#include "machine.h"

#include <devguid.h>
#include <winsim.h>
#include <winsim/devices.h>

#include "camera/camera_channel.h"
#include "common/common.h"
#include "monitor/battery_policy.h"

const char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char DriverKey[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\{6BDD1FC6}\\0000";
const char CameraName[] = "QX481 USB Camera";
const char QuitMessageName[] = "QX481-Quit Message";

void SetUpMachine(Machine machine) {
    winsim::Reset();
    // The process-wide records, as a new process has them.
    SetCameraDeviceName("");
    ResetBatteryPolicy();
    winsim::SetRegistryString(HKEY_LOCAL_MACHINE, RunKey, "Other", "C:\\other.exe");
    // Another capture device comes first, so that the name must be the discovered one.
    winsim::AddVideoDevice(L"Some Other Camera");
    winsim::AddVideoDevice(L"QX481 USB Camera",
                           machine == RejectingCamera ? winsim::RejectsPropertyWrite : 0);
    if (machine != NoCamera) {
        winsim::DeviceNode node;
        node.instanceId = "USB\\VID_05CA&PID_18A7&MI_00\\6&1A2B3C&0&0000";
        node.hardwareIds = winsim::MultiString(
            {"USB\\VID_05CA&PID_18A7&REV_0100&MI_00", "USB\\VID_05CA&PID_18A7&MI_00"});
        if (machine != UsbOnlyCamera && machine != UsbOnlyDriverNotLoaded)
            node.setupClass = GUID_DEVCLASS_IMAGE;
        if (machine == UsbOnlyDriverNotLoaded)
            node.status = DN_STARTED;
        node.driverKey = DriverKey;
        winsim::AddDeviceNode(node);
        winsim::SetRegistryString(HKEY_LOCAL_MACHINE, DriverKey, "DriverDesc", "QX481 Driver");
        winsim::SetRegistryString(HKEY_LOCAL_MACHINE, DriverKey, "FriendlyName", CameraName);
        if (machine != SuspendMissing)
            winsim::SetRegistryDword(HKEY_LOCAL_MACHINE, DriverKey, "SelectiveSuspend",
                                     machine == SuspendOff ? 0 : 1);
    }
    switch (machine) {
    case Windows2000:
        winsim::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 0);
        break;
    case Windows9xReporting51:
        winsim::SetWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 5, 1);
        break;
    case Server2003:
        winsim::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 2);
        break;
    case Windows7:
        winsim::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 6, 1);
        break;
    case ReadOnlyRunKey:
        winsim::DenyKeyAccess(HKEY_LOCAL_MACHINE, RunKey, KEY_SET_VALUE);
        break;
    default:
        break;
    }
}

bool AutostartValueExists() {
    return winsim::GetRegistryValue(HKEY_LOCAL_MACHINE, RunKey, AUTOSTART_VALUE_NAME, nullptr,
                                    nullptr);
}
