// The battery threshold policy: the decision of each timer tick as a table of power readings
// and latch states in, polling period, command and latch out; and the power snapshot that a
// failed reading of the policy or the status leaves as it was.
#include <gtest/gtest.h>
#include <winsim.h>

#include "monitor/battery_policy.h"

namespace {

const DWORD OnBattery = 0, OnMains = 1, Unknown = 255;

struct DecisionCase {
    DWORD source, percent, level, latchBefore;
    DWORD period, command, latchAfter;
};

// (source, P, L, latch) -> (period, command, latch)
const DecisionCase decisions[] = {
    // On battery, critical level 5: the band is 5 and 6.
    {OnBattery, 12, 5, 0, FarPollPeriod, NoCommand, 0},
    {OnBattery, 11, 5, 0, FarPollPeriod, NoCommand, 0},
    {OnBattery, 10, 5, 0, NearPollPeriod, NoCommand, 0},
    {OnBattery, 7, 5, 0, NearPollPeriod, NoCommand, 0},
    {OnBattery, 6, 5, 0, NoTimerChange, BatteryLow, 1},
    {OnBattery, 6, 5, 1, NoTimerChange, NoCommand, 1},
    {OnBattery, 5, 5, 0, NoTimerChange, BatteryLow, 1},
    {OnBattery, 5, 5, 1, NoTimerChange, NoCommand, 1},
    {OnBattery, 4, 5, 1, NoTimerChange, Normal, 0},
    {OnBattery, 4, 5, 0, NoTimerChange, NoCommand, 0},
    {OnBattery, 7, 5, 1, NearPollPeriod, Normal, 0},
    {OnBattery, 12, 5, 1, FarPollPeriod, Normal, 0},
    // Unknown percentage on battery is far above the level.
    {OnBattery, 255, 5, 0, FarPollPeriod, NoCommand, 0},
    {OnBattery, 255, 5, 1, FarPollPeriod, Normal, 0},
    // Level 0 on battery: the battery is never past the level.
    {OnBattery, 0, 0, 0, NoTimerChange, BatteryLow, 1},
    {OnBattery, 1, 0, 0, NoTimerChange, BatteryLow, 1},
    {OnBattery, 2, 0, 1, NearPollPeriod, Normal, 0},
    // On mains, critical level 5: the band is 4 and 5.
    {OnMains, 5, 5, 0, NoTimerChange, BatteryLow, 1},
    {OnMains, 4, 5, 0, NoTimerChange, BatteryLow, 1},
    {OnMains, 4, 5, 1, NoTimerChange, NoCommand, 1},
    {OnMains, 6, 5, 1, NoTimerChange, Normal, 0},
    {OnMains, 6, 5, 0, NoTimerChange, NoCommand, 0},
    {OnMains, 3, 5, 0, NearPollPeriod, NoCommand, 0},
    {OnMains, 1, 5, 1, NearPollPeriod, Normal, 0},
    {OnMains, 0, 5, 0, NearPollPeriod, NoCommand, 0},
    {OnMains, 10, 20, 0, FarPollPeriod, NoCommand, 0},
    {OnMains, 10, 20, 1, FarPollPeriod, Normal, 0},
    // Unknown percentage on mains is past the level.
    {OnMains, 255, 5, 1, NoTimerChange, Normal, 0},
    {OnMains, 255, 5, 0, NoTimerChange, NoCommand, 0},
    // An unknown line status counts as mains.
    {Unknown, 5, 5, 0, NoTimerChange, BatteryLow, 1},
    {Unknown, 6, 5, 1, NoTimerChange, Normal, 0},
    {Unknown, 0, 5, 0, NearPollPeriod, NoCommand, 0},
    // Level 0 on mains: 0 is in the band, anything above is past it.
    {OnMains, 0, 0, 0, NoTimerChange, BatteryLow, 1},
    {OnMains, 1, 0, 1, NoTimerChange, Normal, 0},
};

TEST(DecideTick, FollowsTheDecisionTable) {
    for (const DecisionCase& c : decisions) {
        PowerSnapshot snapshot = {c.level, c.source, c.percent};
        TickDecision got = DecideTick(snapshot, c.latchBefore);
        SCOPED_TRACE(testing::Message() << "source " << c.source << ", P " << c.percent << ", L "
                                        << c.level << ", latch " << c.latchBefore);
        EXPECT_EQ(c.period, got.timerPeriod);
        EXPECT_EQ(c.command, got.command);
        EXPECT_EQ(c.latchAfter, got.latch);
    }
}

TEST(DecideTick, SendsOneBatteryLowPerVisitAndOneNormalOnLeaving) {
    const DWORD walk[] = {12, 8, 7, 6, 6, 5, 5, 4, 3, 5, 6, 9};
    const DWORD expected[] = {NoCommand, NoCommand, NoCommand, BatteryLow, NoCommand, NoCommand,
                              NoCommand, Normal,    NoCommand, BatteryLow, NoCommand, Normal};
    DWORD latch = 0;
    for (size_t i = 0; i < sizeof walk / sizeof walk[0]; ++i) {
        PowerSnapshot snapshot = {5, OnBattery, walk[i]};
        TickDecision got = DecideTick(snapshot, latch);
        EXPECT_EQ(expected[i], got.command) << "tick " << i << " at " << walk[i] << "%";
        latch = got.latch;
    }
}

class RefreshPowerSnapshotTest : public testing::Test {
  protected:
    void SetUp() override {
        // A snapshot a failed refresh must keep.
        winsim::Reset();
        winsim::SetCriticalBatteryLevel(7);
        winsim::SetPowerStatus(7, 7);
        ASSERT_EQ(1, RefreshPowerSnapshot());
        winsim::Reset();
    }
};

TEST_F(RefreshPowerSnapshotTest, ReadsCriticalLevelLineStatusAndPercent) {
    winsim::SetCriticalBatteryLevel(3);
    winsim::SetPowerStatus(0, 42);
    ASSERT_EQ(1, RefreshPowerSnapshot());
    EXPECT_EQ(3u, CurrentPowerSnapshot().criticalLevel);
    EXPECT_EQ(0u, CurrentPowerSnapshot().acLineStatus);
    EXPECT_EQ(42u, CurrentPowerSnapshot().batteryPercent);
}

TEST_F(RefreshPowerSnapshotTest, ZeroExtendsUnknownStatusBytes) {
    winsim::SetPowerStatus(255, 255);
    ASSERT_EQ(1, RefreshPowerSnapshot());
    EXPECT_EQ(255u, CurrentPowerSnapshot().acLineStatus);
    EXPECT_EQ(255u, CurrentPowerSnapshot().batteryPercent);
}

TEST_F(RefreshPowerSnapshotTest, PolicyFailureKeepsTheWholeSnapshot) {
    winsim::FailCall("GetCurrentPowerPolicies");
    EXPECT_EQ(0, RefreshPowerSnapshot());
    EXPECT_EQ(7u, CurrentPowerSnapshot().criticalLevel);
    EXPECT_EQ(7u, CurrentPowerSnapshot().acLineStatus);
    EXPECT_EQ(7u, CurrentPowerSnapshot().batteryPercent);
}

TEST_F(RefreshPowerSnapshotTest, StatusFailureKeepsTheNewLevelOnly) {
    winsim::SetCriticalBatteryLevel(9);
    winsim::FailCall("GetSystemPowerStatus");
    EXPECT_EQ(0, RefreshPowerSnapshot());
    EXPECT_EQ(9u, CurrentPowerSnapshot().criticalLevel);
    EXPECT_EQ(7u, CurrentPowerSnapshot().acLineStatus);
    EXPECT_EQ(7u, CurrentPowerSnapshot().batteryPercent);
}

} // namespace
