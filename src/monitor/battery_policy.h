// The battery threshold policy: from the power status and the critical battery level it
// decides, tick by tick, what the camera is owed and when to look again.
#pragma once
#include <windows.h>

#include "common/common.h"

struct PowerSnapshot {
    DWORD criticalLevel;  // percentage at which the system takes its critical-battery action
    DWORD acLineStatus;   // 0 on battery, 1 on mains, 255 unknown
    DWORD batteryPercent; // 0 to 100, 255 unknown
};

// Marks a decision that leaves the timer or the camera alone.
const DWORD NoTimerChange = 0;
const DWORD NoCommand = 0;

struct TickDecision {
    DWORD timerPeriod; // NoTimerChange, 20000 or 120000 ms
    DWORD command;     // NoCommand, BatteryLow or Normal
    DWORD latch;       // the latch after the tick
};

const DWORD NearPollPeriod = 20000;
const DWORD FarPollPeriod = 120000;

// The snapshot and the latch are process-wide, touched only on the monitor's thread.
BOOL RefreshPowerSnapshot();
const PowerSnapshot& CurrentPowerSnapshot();
// 1: BatteryLow was sent and Normal is owed.
DWORD BatteryLatch();
void StoreBatteryLatch(DWORD latch);
// Both as a new process has them, for tests that start one afresh.
void ResetBatteryPolicy();

TickDecision DecideTick(const PowerSnapshot& snapshot, DWORD latch);
