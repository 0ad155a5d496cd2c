// Controls of the simulated power status and power policy.
#pragma once
#include <windows.h>

namespace winsim {

void SetPowerStatus(BYTE acLineStatus, BYTE batteryPercent);
void SetCriticalBatteryLevel(DWORD percent);

} // namespace winsim
