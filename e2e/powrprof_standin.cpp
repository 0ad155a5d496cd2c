// powrprof.dll for the end-to-end tests: Wine's GetCurrentPowerPolicies is a stub that fails,
// so this one gives a policy whose critical battery level the test chooses. It reads the level
// as a decimal number from the file named by E2E_CRITICAL_LEVEL_FILE on every call, so a test
// can move it while the monitor runs; a missing file makes the call fail.
#include <windows.h>
#include <powrprof.h>
#include <stdio.h>
#include <string.h>

extern "C" BOOLEAN WINAPI GetCurrentPowerPolicies(PGLOBAL_POWER_POLICY globalPolicy,
                                                  PPOWER_POLICY schemePolicy) {
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("E2E_CRITICAL_LEVEL_FILE", path, sizeof path))
        return FALSE;
    FILE* file = fopen(path, "r");
    if (!file)
        return FALSE;
    unsigned long level = 0;
    int read = fscanf(file, "%lu", &level);
    fclose(file);
    if (read != 1)
        return FALSE;
    memset(globalPolicy, 0, sizeof *globalPolicy);
    memset(schemePolicy, 0, sizeof *schemePolicy);
    globalPolicy->user.Revision = 1;
    globalPolicy->user.DischargePolicy[DISCHARGE_POLICY_CRITICAL].Enable = TRUE;
    globalPolicy->user.DischargePolicy[DISCHARGE_POLICY_CRITICAL].BatteryLevel = level;
    return TRUE;
}
