#include "monitor/battery_policy.h"

#include <powrprof.h>

namespace {

PowerSnapshot Snapshot;
DWORD Latch;

} // namespace

const PowerSnapshot& CurrentPowerSnapshot() {
    return Snapshot;
}

DWORD BatteryLatch() {
    return Latch;
}

void StoreBatteryLatch(DWORD latch) {
    Latch = latch;
}

void ResetBatteryPolicy() {
    Snapshot = PowerSnapshot();
    Latch = 0;
}

BOOL RefreshPowerSnapshot() {
    GLOBAL_POWER_POLICY globalPolicy;
    POWER_POLICY schemePolicy;
    if (!GetCurrentPowerPolicies(&globalPolicy, &schemePolicy))
        return 0;
    Snapshot.criticalLevel =
        globalPolicy.user.DischargePolicy[DISCHARGE_POLICY_CRITICAL].BatteryLevel;

    SYSTEM_POWER_STATUS status;
    if (!GetSystemPowerStatus(&status))
        return 0;
    Snapshot.acLineStatus = status.ACLineStatus;
    Snapshot.batteryPercent = status.BatteryLifePercent;
    return 1;
}

TickDecision DecideTick(const PowerSnapshot& snapshot, DWORD latch) {
    TickDecision decision = {NoTimerChange, NoCommand, latch};
    const DWORD p = snapshot.batteryPercent, level = snapshot.criticalLevel;

    // Distance to the level, measured from the side the battery comes from. Being past the
    // level counts as having left the band.
    bool pastLevel = snapshot.acLineStatus == 0 ? p < level : level < p;
    if (!pastLevel) {
        DWORD distance = snapshot.acLineStatus == 0 ? p - level : level - p;
        if (distance <= 1) {
            if (latch == 0) {
                decision.command = BatteryLow;
                decision.latch = 1;
            }
            return decision;
        }
        decision.timerPeriod = distance > 5 ? FarPollPeriod : NearPollPeriod;
    }

    if (latch == 1) {
        decision.command = Normal;
        decision.latch = 0;
    }
    return decision;
}
