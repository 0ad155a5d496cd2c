#include <winsim/core.h>
#include <winsim/power.h>
#include <powrprof.h>

#include "internal.h"

namespace winsim {
namespace {

struct PowerState {
    BYTE acLineStatus = 1;
    BYTE batteryPercent = 100;
    DWORD criticalLevel = 5;
};
PowerState power;

} // namespace

void ResetPower() {
    power = PowerState();
}

void SetPowerStatus(BYTE acLineStatus, BYTE batteryPercent) {
    power.acLineStatus = acLineStatus;
    power.batteryPercent = batteryPercent;
}

void SetCriticalBatteryLevel(DWORD percent) {
    power.criticalLevel = percent;
}

} // namespace winsim

using winsim::power;

BOOLEAN WINAPI GetCurrentPowerPolicies(PGLOBAL_POWER_POLICY globalPolicy,
                                       PPOWER_POLICY schemePolicy) {
    if (winsim::ShouldFail("GetCurrentPowerPolicies") || !globalPolicy || !schemePolicy)
        return FALSE;
    *globalPolicy = GLOBAL_POWER_POLICY();
    *schemePolicy = POWER_POLICY();
    globalPolicy->user.DischargePolicy[DISCHARGE_POLICY_CRITICAL].Enable = TRUE;
    globalPolicy->user.DischargePolicy[DISCHARGE_POLICY_CRITICAL].BatteryLevel =
        power.criticalLevel;
    return TRUE;
}

BOOL WINAPI GetSystemPowerStatus(LPSYSTEM_POWER_STATUS status) {
    if (winsim::ShouldFail("GetSystemPowerStatus") || !status)
        return FALSE;
    *status = SYSTEM_POWER_STATUS();
    status->ACLineStatus = power.acLineStatus;
    status->BatteryLifePercent = power.batteryPercent;
    status->BatteryFlag = 255;
    status->BatteryLifeTime = status->BatteryFullLifeTime = 0xFFFFFFFF;
    return TRUE;
}
