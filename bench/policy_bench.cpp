#include <benchmark/benchmark.h>

#include <string>

#include "devices/hardware_ids.h"
#include "monitor/battery_policy.h"

namespace {

void BM_DecideTick(benchmark::State& state) {
    PowerSnapshot snapshot = {5, 0, 0};
    DWORD latch = 0;
    for (auto _ : state) {
        snapshot.batteryPercent = (snapshot.batteryPercent + 1) % 101;
        TickDecision decision = DecideTick(snapshot, latch);
        latch = decision.latch;
        benchmark::DoNotOptimize(decision);
    }
}
BENCHMARK(BM_DecideTick);

// A typical composite-device list that matches nothing: every table entry is compared.
void BM_MatchHardwareIdList_NoMatch(benchmark::State& state) {
    const std::string pristine = std::string("USB\\VID_1234&PID_5678&REV_0100&MI_00") + '\0' +
                                 "USB\\VID_1234&PID_5678&MI_00" + '\0' + '\0';
    std::string list;
    for (auto _ : state) {
        list = pristine;
        benchmark::DoNotOptimize(
            MatchHardwareIdList(&list[0], SupportedHardwareIds, SupportedHardwareIdCount));
    }
}
BENCHMARK(BM_MatchHardwareIdList_NoMatch);

void BM_MatchHardwareIdList_LastEntry(benchmark::State& state) {
    const std::string pristine = std::string("USB\\VID_05CA&PID_18AF&MI_00") + '\0' + '\0';
    std::string list;
    for (auto _ : state) {
        list = pristine;
        benchmark::DoNotOptimize(
            MatchHardwareIdList(&list[0], SupportedHardwareIds, SupportedHardwareIdCount));
    }
}
BENCHMARK(BM_MatchHardwareIdList_LastEntry);

} // namespace
