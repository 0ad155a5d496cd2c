// powrprof.dll for the end-to-end tests: Wine's GetCurrentPowerPolicies is a stub that fails,
// so this one gives a policy whose critical battery level the test chooses. It reads the level
// as a decimal number from the file named by E2E_CRITICAL_LEVEL_FILE on every call, so a test
// can move it while the monitor runs; a missing file makes the call fail, as Wine's own does.
// When E2E_POWER_LOG names a file, every call appends a line to it, "policy" and the level
// or "policy none": a monitor's timer ticks, counted without touching the monitor.
#include <windows.h>
#include <powrprof.h>
#include <stdio.h>
#include <string.h>

namespace {

bool ReadCriticalLevel(unsigned long* level) {
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("E2E_CRITICAL_LEVEL_FILE", path, sizeof path))
        return false;
    FILE* file = fopen(path, "r");
    if (!file)
        return false;
    int read = fscanf(file, "%lu", level);
    fclose(file);
    return read == 1;
}

void LogCall(bool known, unsigned long level) {
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("E2E_POWER_LOG", path, sizeof path))
        return;
    FILE* file = fopen(path, "a");
    if (!file)
        return;
    if (known)
        fprintf(file, "policy %lu\n", level);
    else
        fprintf(file, "policy none\n");
    fclose(file);
}

} // namespace

extern "C" BOOLEAN WINAPI GetCurrentPowerPolicies(PGLOBAL_POWER_POLICY globalPolicy,
                                                  PPOWER_POLICY schemePolicy) {
    unsigned long level = 0;
    bool known = ReadCriticalLevel(&level);
    LogCall(known, level);
    if (!known)
        return FALSE;
    memset(globalPolicy, 0, sizeof *globalPolicy);
    memset(schemePolicy, 0, sizeof *schemePolicy);
    globalPolicy->user.Revision = 1;
    globalPolicy->user.DischargePolicy[DISCHARGE_POLICY_CRITICAL].Enable = TRUE;
    globalPolicy->user.DischargePolicy[DISCHARGE_POLICY_CRITICAL].BatteryLevel = level;
    return TRUE;
}
