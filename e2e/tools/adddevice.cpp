// Adds simulated devices to a Wine prefix through SetupAPI, the way an installer would, for
// the end-to-end tests. Each --device starts a device; the options after it describe it:
//
//   --device <instance id>            e.g. USB\VID_0C45&PID_63F5&MI_00\6&1234&0&0000
//   --class <{guid}>                  setup class, imaging by default
//   --hwid <id>                       one hardware ID; repeat for a list, in order
//   --value <name> sz|dword|binary <data>   a value in the driver key (binary: hex bytes)
//   --no-driver-key                   no driver key at all
//   --state loaded|present|phantom    driver loaded (the default), present without a driver,
//                                     or not present
//
// The state goes into the node's Enum key as E2EDevNodeStatus/E2EDevNodeProblem for the
// test configuration manager (e2e/cfgmgr32); Wine's SetupAPI itself lists every registered
// device, present or not.
#include <windows.h>
#include <setupapi.h>
#include <cfg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const GUID ImagingClass = {
    0x6BDD1FC6, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};

BOOL ParseGuid(const char* text, GUID* guid) {
    unsigned int d[11];
    if (sscanf(text, "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &d[0], &d[1], &d[2], &d[3], &d[4],
               &d[5], &d[6], &d[7], &d[8], &d[9], &d[10]) != 11)
        return FALSE;
    guid->Data1 = d[0];
    guid->Data2 = (WORD)d[1];
    guid->Data3 = (WORD)d[2];
    for (int i = 0; i < 8; i++)
        guid->Data4[i] = (BYTE)d[3 + i];
    return TRUE;
}

BOOL SetValue(HKEY key, const char* name, const char* type, const char* data) {
    BYTE bytes[512];
    DWORD size;
    DWORD regType;
    if (!strcmp(type, "sz")) {
        regType = REG_SZ;
        size = lstrlenA(data) + 1;
        if (size > sizeof(bytes))
            return FALSE;
        memcpy(bytes, data, size);
    } else if (!strcmp(type, "dword")) {
        regType = REG_DWORD;
        DWORD value = strtoul(data, NULL, 0);
        size = sizeof(value);
        memcpy(bytes, &value, size);
    } else if (!strcmp(type, "binary")) {
        regType = REG_BINARY;
        for (size = 0; data[2 * size] && data[2 * size + 1] && size < sizeof(bytes); size++) {
            char hex[3] = {data[2 * size], data[2 * size + 1], 0};
            bytes[size] = (BYTE)strtoul(hex, NULL, 16);
        }
    } else {
        return FALSE;
    }
    return !RegSetValueExA(key, name, 0, regType, bytes, size);
}

BOOL SetState(const char* id, const char* state) {
    DWORD status;
    DWORD problem = 0;
    if (!strcmp(state, "loaded")) {
        status = DN_DRIVER_LOADED | DN_STARTED;
    } else if (!strcmp(state, "present")) {
        status = DN_HAS_PROBLEM;
        problem = CM_PROB_FAILED_INSTALL;
    } else {
        return !strcmp(state, "phantom");
    }
    char path[300];
    HKEY key;
    wsprintfA(path, "System\\CurrentControlSet\\Enum\\%s", id);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_SET_VALUE, &key))
        return FALSE;
    BOOL ok =
        !RegSetValueExA(key, "E2EDevNodeStatus", 0, REG_DWORD, (BYTE*)&status, sizeof(status)) &&
        !RegSetValueExA(key, "E2EDevNodeProblem", 0, REG_DWORD, (BYTE*)&problem, sizeof(problem));
    RegCloseKey(key);
    return ok;
}

// Creates the device described by args[0] (--device) up to args[count - 1].
BOOL AddDevice(char** args, int count) {
    if (count < 2)
        return FALSE;
    const char* id = args[1];
    GUID cls = ImagingClass;
    char hwids[1024];
    DWORD hwidsSize = 0;
    BOOL driverKey = TRUE;
    const char* state = "loaded";
    for (int i = 2; i < count; i++) {
        if (!strcmp(args[i], "--class") && i + 1 < count) {
            if (!ParseGuid(args[++i], &cls))
                return FALSE;
        } else if (!strcmp(args[i], "--hwid") && i + 1 < count) {
            DWORD size = lstrlenA(args[++i]) + 1;
            if (hwidsSize + size + 1 > sizeof(hwids))
                return FALSE;
            memcpy(hwids + hwidsSize, args[i], size);
            hwidsSize += size;
        } else if (!strcmp(args[i], "--value") && i + 3 < count) {
            i += 3; // applied once the driver key exists
        } else if (!strcmp(args[i], "--no-driver-key")) {
            driverKey = FALSE;
        } else if (!strcmp(args[i], "--state") && i + 1 < count) {
            state = args[++i];
        } else {
            fprintf(stderr, "adddevice: unexpected %s\n", args[i]);
            return FALSE;
        }
    }
    hwids[hwidsSize++] = 0;

    HDEVINFO set = SetupDiCreateDeviceInfoList(&cls, NULL);
    if (set == INVALID_HANDLE_VALUE)
        return FALSE;
    SP_DEVINFO_DATA info = {};
    info.cbSize = sizeof(info);
    BOOL ok =
        SetupDiCreateDeviceInfoA(set, id, &cls, NULL, NULL, 0, &info) &&
        SetupDiSetDeviceRegistryPropertyA(set, &info, SPDRP_HARDWAREID, (BYTE*)hwids, hwidsSize) &&
        SetupDiRegisterDeviceInfo(set, &info, 0, NULL, NULL, NULL);
    if (ok && driverKey) {
        HKEY key = SetupDiCreateDevRegKeyA(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DRV, NULL, NULL);
        ok = key != INVALID_HANDLE_VALUE;
        for (int i = 2; ok && i < count; i++) {
            if (!strcmp(args[i], "--value") && i + 3 < count) {
                ok = SetValue(key, args[i + 1], args[i + 2], args[i + 3]);
                i += 3;
            }
        }
        if (key != INVALID_HANDLE_VALUE)
            RegCloseKey(key);
    }
    if (ok)
        ok = SetState(id, state);
    if (!ok)
        fprintf(stderr, "adddevice: %s: failed, error %lu\n", id, GetLastError());
    SetupDiDestroyDeviceInfoList(set);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    int start = 1;
    if (argc < 3 || strcmp(argv[1], "--device")) {
        fprintf(stderr, "usage: adddevice --device <instance id> [options] ...\n");
        return 2;
    }
    for (int i = 2; i <= argc; i++) {
        if (i == argc || !strcmp(argv[i], "--device")) {
            if (!AddDevice(argv + start, i - start))
                return 1;
            printf("added %s\n", argv[start + 1]);
            start = i;
        }
    }
    return 0;
}
