// The fault sweep: whole-program runs on the simulated machine in which the Nth platform call
// fails, for every N the run reaches. Whatever fails, the program must not crash, must give
// back everything it took, must keep COM balanced, and must end as its rules say for a failure
// in that part of it.
#include <gtest/gtest.h>
#include <winsim.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "app/program.h"
#include "common/common.h"
#include "machine.h"
#include "monitor_run.h"

namespace {

struct Outcome {
    bool valueAfter;
    bool monitorRan;
    std::vector<DWORD> commands;
};

struct Scenario {
    const char* name;
    const char* commandLine;
    Machine machine;
    bool valueBefore;
};

const Scenario scenarios[] = {
    {"install, camera in the imaging class", "/i", XpWithCamera, false},
    {"log-on start, camera among the USB nodes", "", UsbOnlyCamera, true},
    {"uninstall", "/u", XpWithCamera, true},
};

// Every event the monitor handles, then the quit broadcast of an uninstall.
std::vector<MonitorEvent> EveryEvent() {
    return {Sent(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND),
            Sent(WM_POWERBROADCAST, PBT_APMSUSPEND),
            Sent(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND),
            Sent(WM_QUERYENDSESSION),
            Sent(WM_ENDSESSION, TRUE),
            TickAt(0, 12),
            TickAt(0, 7),
            TickAt(0, 6),
            TickAt(0, 4),
            Posted(WM_USER),
            QuitBroadcast()};
}

Outcome RunScenario(const Scenario& scenario, unsigned long failingCall) {
    SetUpMachine(scenario.machine);
    if (scenario.valueBefore)
        winsim::SetRegistryString(HKEY_LOCAL_MACHINE, RunKey, AUTOSTART_VALUE_NAME,
                                  "C:\\WINDOWS\\QX481Mon.exe");
    // A monitor of this session, which an uninstall waits for: it quits within 300 ms.
    winsim::AddProcess("QX481Mon.exe", 0, 300);
    winsim::FailNthCall(failingCall);
    DWORD start = GetTickCount();
    int exitCode = -1;
    MonitorRun run = RunMonitorThrough(EveryEvent(),
                                       [&] { exitCode = ProgramMain(NULL, scenario.commandLine); });

    EXPECT_EQ(0, exitCode);
    EXPECT_LE(GetTickCount() - start, 10000u) << "waited longer than ten seconds";
    EXPECT_EQ(0, winsim::HeapBlocksInUse());
    EXPECT_EQ(0, winsim::OpenKernelHandles());
    EXPECT_EQ(0, winsim::OpenRegistryKeys());
    EXPECT_EQ(0, winsim::OpenDeviceInfoSets());
    EXPECT_EQ(0, winsim::ComReferences());
    EXPECT_EQ(0, winsim::BstrsInUse());
    bool initFailed = std::string(winsim::LastFailedCall()) == "CoInitialize";
    EXPECT_EQ(winsim::CoInitializeCalls() - (initFailed ? 1 : 0), winsim::CoUninitializeCalls());
    for (const winsim::PropertyWrite& write : winsim::PropertyWrites()) {
        std::vector<BYTE> record(36, 0);
        record[28] = write.value.size() == 36 ? write.value[28] : 0;
        EXPECT_TRUE(record[28] >= Suspend && record[28] <= Normal);
        EXPECT_EQ(record, write.value);
        EXPECT_EQ(record, write.instanceData);
    }

    Outcome outcome = {AutostartValueExists(), !run.steps.empty() && run.steps[0].windowAlive, {}};
    for (const MonitorStep& step : run.steps)
        outcome.commands.insert(outcome.commands.end(), step.commands.begin(), step.commands.end());
    return outcome;
}

bool IsSubsequence(const std::vector<DWORD>& part, const std::vector<DWORD>& whole) {
    size_t i = 0;
    for (DWORD command : whole)
        i += i < part.size() && part[i] == command;
    return i == part.size();
}

bool InGroup(const std::string& function, std::initializer_list<const char*> group) {
    return std::find(group.begin(), group.end(), function) != group.end();
}

// What the program's rules allow when function failed once, given the run without failures.
void ExpectAllowedOutcome(const std::string& function, const Scenario& scenario,
                          const Outcome& clean, const Outcome& got) {
    bool asClean = got.valueAfter == clean.valueAfter && got.monitorRan == clean.monitorRan &&
                   got.commands == clean.commands;
    // The start-up gate refused: the value removed, no monitor.
    bool gateRefused = !got.valueAfter && !got.monitorRan && got.commands.empty();
    if (InGroup(function,
                {"CoInitialize", "CoCreateInstance", "ICreateDevEnum::CreateClassEnumerator",
                 "IEnumMoniker::Reset", "IEnumMoniker::Next", "IMoniker::BindToStorage",
                 "IPropertyBag::Read", "WideCharToMultiByte", "IMoniker::BindToObject",
                 "IBaseFilter::QueryInterface", "IKsPropertySet::Set"})) {
        // One command lost at most; nothing else changes.
        EXPECT_EQ(clean.valueAfter, got.valueAfter);
        EXPECT_TRUE(got.monitorRan);
        EXPECT_TRUE(got.commands.size() + 1 >= clean.commands.size() &&
                    IsSubsequence(got.commands, clean.commands));
    } else if (InGroup(function, {"GetCurrentPowerPolicies", "GetSystemPowerStatus"})) {
        // A tick skipped: no decision that time, the rest as usual.
        EXPECT_EQ(clean.valueAfter, got.valueAfter);
        EXPECT_TRUE(got.monitorRan);
    } else if (InGroup(function,
                       {"SetupDiGetClassDevsA", "SetupDiEnumDeviceInfo",
                        "CM_Get_DevNode_Registry_PropertyA", "CM_Get_Device_ID_List_SizeA",
                        "CM_Get_Device_ID_ListA", "CM_Locate_DevNodeA", "CM_Get_DevNode_Status",
                        "CM_Open_DevNode_Key", "RegQueryValueExA"})) {
        // Discovery either still settles on the camera, perhaps without its name, or refuses.
        bool namelessMonitor =
            got.valueAfter == clean.valueAfter && got.monitorRan && got.commands.empty();
        EXPECT_TRUE(asClean || gateRefused || namelessMonitor);
    } else if (function == "HeapAlloc") {
        bool nothingDone = got.valueAfter == scenario.valueBefore && !got.monitorRan;
        EXPECT_TRUE(asClean || gateRefused || nothingDone);
    } else if (function == "GetVersionExA") {
        EXPECT_TRUE(gateRefused);
    } else if (InGroup(function, {"RegOpenKeyExA", "GetModuleFileNameA", "GetFullPathNameA",
                                  "GetWindowsDirectoryA", "RegSetValueExA", "RegDeleteValueA"})) {
        // The value is left as it was instead; the monitor is not affected.
        EXPECT_TRUE(got.valueAfter == clean.valueAfter || got.valueAfter == scenario.valueBefore);
        EXPECT_EQ(clean.monitorRan, got.monitorRan);
        EXPECT_EQ(clean.commands, got.commands);
    } else if (InGroup(function, {"RegCloseKey", "SetupDiDestroyDeviceInfoList",
                                  "ProcessIdToSessionId", "CreateToolhelp32Snapshot",
                                  "Process32First", "Process32Next", "CloseHandle"})) {
        // The uninstall's wait for the monitors may end early; nothing else changes.
        EXPECT_TRUE(asClean);
    } else {
        // The window manager: the monitor may not start, or stop early, or miss a message or
        // its timer, but the autostart value is not its business.
        EXPECT_EQ(clean.valueAfter, got.valueAfter) << "a window call touched the value";
        EXPECT_TRUE(IsSubsequence(got.commands, clean.commands));
    }
}

TEST(FaultSweep, EveryFailingCallIsSurvivedAndReleased) {
    unsigned long swept = 0;
    std::set<std::string> functions;
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        Outcome clean = RunScenario(scenario, 0);
        unsigned long calls = winsim::PlatformCalls();
        ASSERT_EQ(scenario.commandLine != std::string("/u"), clean.monitorRan);
        for (unsigned long n = 1; n <= calls; ++n) {
            Outcome got = RunScenario(scenario, n);
            std::string function = winsim::LastFailedCall();
            SCOPED_TRACE(testing::Message() << "call " << n << ", " << function << ", failing");
            ASSERT_FALSE(function.empty());
            ExpectAllowedOutcome(function, scenario, clean, got);
            functions.insert(function);
            ++swept;
        }
    }
    std::cout << "fault sweep: " << swept << " failure points in " << functions.size()
              << " functions over " << std::size(scenarios) << " scenarios\n";
}

} // namespace
