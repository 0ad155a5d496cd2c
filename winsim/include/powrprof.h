// Simulated Windows: the POWRPROF call the program makes, with the fields it reads.
#pragma once
#include <windows.h>

#define NUM_DISCHARGE_POLICIES 4
#define DISCHARGE_POLICY_CRITICAL 0
#define DISCHARGE_POLICY_LOW 1

struct SYSTEM_POWER_LEVEL {
    BOOLEAN Enable;
    BYTE Spare[3];
    DWORD BatteryLevel;
    DWORD PowerPolicy[3];
    DWORD MinSystemState;
};
struct GLOBAL_USER_POWER_POLICY {
    ULONG Revision;
    DWORD PowerButtonAc[3];
    DWORD PowerButtonDc[3];
    DWORD SleepButtonAc[3];
    DWORD SleepButtonDc[3];
    DWORD LidCloseAc[3];
    DWORD LidCloseDc[3];
    SYSTEM_POWER_LEVEL DischargePolicy[NUM_DISCHARGE_POLICIES];
    ULONG GlobalFlags;
};
struct GLOBAL_MACHINE_POWER_POLICY {
    ULONG Revision;
    DWORD LidOpenWakeAc;
    DWORD LidOpenWakeDc;
    ULONG BroadcastCapacityResolution;
};
struct GLOBAL_POWER_POLICY {
    GLOBAL_USER_POWER_POLICY user;
    GLOBAL_MACHINE_POWER_POLICY mach;
};
struct POWER_POLICY {
    BYTE opaque[232];
};
typedef GLOBAL_POWER_POLICY* PGLOBAL_POWER_POLICY;
typedef POWER_POLICY* PPOWER_POLICY;

BOOLEAN WINAPI GetCurrentPowerPolicies(PGLOBAL_POWER_POLICY globalPolicy,
                                       PPOWER_POLICY schemePolicy);
