// The monitor window, run on the simulated window manager: messages in, commands and timer
// periods out, as tables of rows in the manner of Wine's message-sequence tests; the quit
// message, and a window or a loop that fails.
#include <gtest/gtest.h>
#include <winsim.h>

#include "camera/camera_channel.h"
#include "machine.h"
#include "monitor/battery_policy.h"
#include "monitor/monitor.h"
#include "monitor_run.h"

namespace {

const BYTE OnBattery = 0, OnMains = 1;
const DWORD None = 0;
const int Any = -1; // a result or reply the row does not check

// One row: what happens, then what the monitor is expected to have done and how it stands.
struct Expected {
    MonitorEvent event;
    int result; // the dialog procedure's return value
    int reply;  // what the sender got back
    DWORD command;
    UINT timerPeriod;
    DWORD latch;
};

class Monitor : public testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        ResetBatteryPolicy();
        InstallCamera(0);
    }
    void InstallCamera(unsigned faults) {
        winsim::AddVideoDevice(L"QX481 USB Camera", faults);
        SetCameraDeviceName("QX481 USB Camera");
    }
};

void ExpectSteps(const MonitorRun& run, const Expected* rows, size_t count) {
    ASSERT_EQ(count + 1, run.steps.size()) << "the loop ended early";
    for (size_t i = 0; i < count; ++i) {
        const Expected& row = rows[i];
        const MonitorStep& step = run.steps[i + 1];
        SCOPED_TRACE(testing::Message() << "row " << i);
        if (row.result != Any)
            EXPECT_EQ(row.result, step.result);
        if (row.reply != Any)
            EXPECT_EQ(row.reply, step.reply);
        EXPECT_EQ(row.command == None ? std::vector<DWORD>() : std::vector<DWORD>{row.command},
                  step.commands);
        EXPECT_EQ(row.timerPeriod, step.timerPeriod);
        EXPECT_EQ(row.latch, step.latch);
        EXPECT_TRUE(step.windowAlive);
    }
}

MonitorRun RunRows(const Expected* rows, size_t count) {
    std::vector<MonitorEvent> events;
    for (size_t i = 0; i < count; ++i)
        events.push_back(rows[i].event);
    return RunMonitorThrough(events);
}

TEST_F(Monitor, SendsNormalOnceAndArmsTheTimerBeforeTheLoopWaits) {
    MonitorRun run = RunMonitorThrough({});
    ASSERT_EQ(1u, run.steps.size());
    EXPECT_EQ(std::vector<DWORD>{Normal}, run.steps[0].commands);
    EXPECT_EQ(20000u, run.steps[0].timerPeriod);
    EXPECT_EQ(1, run.steps[0].result); // WM_INITDIALOG
    EXPECT_TRUE(run.steps[0].windowAlive);
}

// The queries must be granted (reply nonzero) whatever the camera did, or the monitor would
// veto the suspend or the log-off. PBT_APMSUSPEND and WM_ENDSESSION replies mean nothing.
const Expected systemEvents[] = {
    {Sent(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND), 1, TRUE, Suspend, 20000, 0},
    {Sent(WM_POWERBROADCAST, PBT_APMSUSPEND), 1, Any, Suspend, 20000, 0},
    {Sent(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND), 0, Any, None, 20000, 0},
    {Sent(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE), 0, Any, None, 20000, 0},
    {Sent(WM_QUERYENDSESSION), 1, TRUE, SessionEnd, 20000, 0},
    {Sent(WM_ENDSESSION, TRUE), 1, Any, SessionEnd, 20000, 0},
    {Sent(WM_QUERYENDSESSION), 1, TRUE, SessionEnd, 20000, 0},
    {Sent(WM_ENDSESSION, FALSE), 1, Any, SessionEnd, 20000, 0},
    {Posted(WM_POWERBROADCAST, PBT_APMSUSPEND), 1, Any, Suspend, 20000, 0},
    {Sent(WM_USER + 7), 1, Any, None, 20000, 0},
    {Sent(WM_NULL), 1, Any, None, 20000, 0},
    {Posted(0xC123), 1, Any, None, 20000, 0},
};

TEST_F(Monitor, TurnsSystemEventsIntoCommands) {
    ExpectSteps(RunRows(systemEvents, std::size(systemEvents)), systemEvents,
                std::size(systemEvents));
}

// A camera that rejects the write: the sends fail and the default processing answers, which
// lets the session end and does not deny the suspend.
const Expected failedSends[] = {
    {Sent(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND), 0, 0, Suspend, 20000, 0},
    {Sent(WM_POWERBROADCAST, PBT_APMSUSPEND), 0, Any, Suspend, 20000, 0},
    {Sent(WM_QUERYENDSESSION), 0, TRUE, SessionEnd, 20000, 0},
    {Sent(WM_ENDSESSION, TRUE), 0, Any, SessionEnd, 20000, 0},
};

TEST_F(Monitor, GrantsQueriesWhenTheCameraRejectsTheWrite) {
    winsim::Reset();
    InstallCamera(winsim::RejectsPropertyWrite);
    ExpectSteps(RunRows(failedSends, std::size(failedSends)), failedSends, std::size(failedSends));
}

// Critical level 5 on battery: the band is 6 and 5. Each tick comes when the timer is due.
const Expected batteryWalk[] = {
    {TickAt(OnBattery, 100), 1, Any, None, 120000, 0},
    {TickAt(OnBattery, 12), 1, Any, None, 120000, 0},
    {TickAt(OnBattery, 10), 1, Any, None, 20000, 0},
    {TickAt(OnBattery, 7), 1, Any, None, 20000, 0},
    {TickAt(OnBattery, 6), 1, Any, BatteryLow, 20000, 1},
    {TickAt(OnBattery, 5), 1, Any, None, 20000, 1},
    {TickAt(OnBattery, 4), 1, Any, Normal, 20000, 0},
    {TickAt(OnBattery, 5), 1, Any, BatteryLow, 20000, 1},
    {TickAt(OnBattery, 6), 1, Any, None, 20000, 1},
    {TickAt(OnBattery, 30), 1, Any, Normal, 120000, 0},
    {TickAt(OnMains, 5), 1, Any, BatteryLow, 120000, 1},
    {TickAt(OnMains, 80), 1, Any, Normal, 120000, 0},
    // Suspend and session commands leave the latch alone.
    {TickAt(OnBattery, 6), 1, Any, BatteryLow, 120000, 1},
    {Sent(WM_POWERBROADCAST, PBT_APMSUSPEND), 1, Any, Suspend, 120000, 1},
    {TickAt(OnBattery, 9), 1, Any, Normal, 20000, 0},
};

TEST_F(Monitor, CarriesOutTheBatteryDecisionOnEachTick) {
    winsim::SetCriticalBatteryLevel(5);
    ExpectSteps(RunRows(batteryWalk, std::size(batteryWalk)), batteryWalk, std::size(batteryWalk));
}

const Expected timerIds[] = {
    {PowerAt(OnBattery, 6), Any, Any, None, 20000, 0},
    {Posted(WM_TIMER, 0), 1, Any, BatteryLow, 20000, 1},
    {PowerAt(OnBattery, 50), Any, Any, None, 20000, 1},
    {Posted(WM_TIMER, 12345), 1, Any, Normal, 120000, 0},
    {PowerAt(OnBattery, 5), Any, Any, None, 120000, 0},
    {Sent(WM_TIMER, 1), 1, Any, BatteryLow, 120000, 1},
};

TEST_F(Monitor, RunsTheTickForAnyTimerId) {
    winsim::SetCriticalBatteryLevel(5);
    ExpectSteps(RunRows(timerIds, std::size(timerIds)), timerIds, std::size(timerIds));
}

// A tick whose power reading fails decides nothing: no command, no re-arm, latch kept.
const Expected failedRefresh[] = {
    {TickAt(OnBattery, 6), 1, Any, BatteryLow, 20000, 1},
    {FailNext("GetCurrentPowerPolicies"), Any, Any, None, 20000, 1},
    {TickAt(OnBattery, 90), 1, Any, None, 20000, 1},
    {FailNext("GetSystemPowerStatus"), Any, Any, None, 20000, 1},
    {TickAt(OnBattery, 90), 1, Any, None, 20000, 1},
    {TickAt(OnBattery, 90), 1, Any, Normal, 120000, 0},
};

TEST_F(Monitor, IgnoresATickWhosePowerReadingFails) {
    winsim::SetCriticalBatteryLevel(5);
    ExpectSteps(RunRows(failedRefresh, std::size(failedRefresh)), failedRefresh,
                std::size(failedRefresh));
}

TEST_F(Monitor, EndsOnTheQuitBroadcastWithoutACommand) {
    MonitorRun run =
        RunMonitorThrough({Sent(WM_QUERYENDSESSION), QuitBroadcast(), Sent(WM_QUERYENDSESSION)});
    EXPECT_FALSE(run.scriptRanOut);
    ASSERT_EQ(3u, run.steps.size()) << "the loop went on after the quit message";
    const MonitorStep& last = run.steps[2];
    EXPECT_EQ(1, last.result);
    EXPECT_TRUE(last.commands.empty());
    EXPECT_EQ(0u, last.timerPeriod);
    EXPECT_FALSE(last.windowAlive);
}

TEST_F(Monitor, EndsOnASentQuitMessageToo) {
    MonitorRun run =
        RunMonitorThrough({Sent(RegisterWindowMessageA(QuitMessageName)), Sent(WM_NULL)});
    EXPECT_FALSE(run.scriptRanOut);
    ASSERT_EQ(2u, run.steps.size());
    EXPECT_FALSE(run.steps[1].windowAlive);
    EXPECT_TRUE(run.steps[1].commands.empty());
}

// With no quit identifier, WM_NULL (0) must not pass for the quit message.
TEST_F(Monitor, KeepsRunningOnWmNullWhenTheQuitMessageCannotBeRegistered) {
    winsim::FailEveryCall("RegisterWindowMessageA");
    MonitorRun run = RunMonitorThrough({Sent(WM_NULL), Posted(WM_NULL), QuitBroadcast()});
    EXPECT_TRUE(run.scriptRanOut);
    ASSERT_EQ(4u, run.steps.size());
    for (const MonitorStep& step : run.steps) {
        EXPECT_TRUE(step.windowAlive);
        EXPECT_EQ(20000u, step.timerPeriod);
    }
}

TEST_F(Monitor, ReturnsAtOnceWhenTheWindowCannotBeCreated) {
    winsim::FailCall("CreateDialogParamA");
    MonitorRun run = RunMonitorThrough({Sent(WM_QUERYENDSESSION)});
    EXPECT_FALSE(run.scriptRanOut); // the loop never waited
    ASSERT_EQ(1u, run.steps.size());
    EXPECT_TRUE(run.steps[0].commands.empty());
    EXPECT_FALSE(run.steps[0].windowAlive);
}

TEST_F(Monitor, EndsWhenGetMessageFails) {
    winsim::FailCall("GetMessageA", 2);
    // Sent messages are handled inside GetMessageA; posted ones make it return.
    MonitorRun run = RunMonitorThrough({Posted(WM_USER), Posted(WM_USER)});
    EXPECT_FALSE(run.scriptRanOut);
    EXPECT_EQ(2u, run.steps.size());
}

} // namespace
