// The program from its entry: the command line after the program's name, the Windows version
// check, and whole simulated machines run with switches and without, with the Run value, the
// monitor's run, the quit broadcast and the uninstall's wait as what comes out.
#include <gtest/gtest.h>
#include <windows.h>
#include <winsim.h>

#include <string>
#include <vector>

#include "app/autostart.h"
#include "app/entry.h"
#include "app/program.h"
#include "app/windows_version.h"
#include "camera/camera_channel.h"
#include "common/common.h"
#include "machine.h"
#include "resource.h"

namespace {

struct SkipCase {
    const char* commandLine;
    const char* arguments;
};

const SkipCase skips[] = {
    {"", ""},
    {"QX481Mon.exe", ""},
    {"\"C:\\WINDOWS\\QX481Mon.exe\"", ""},
    {"\"C:\\WINDOWS\\QX481Mon.exe\"/i", "/i"},
    {"\"C:\\Program Files\\QX481Mon.exe\" /i /u", "/i /u"},
    {"C:\\WINDOWS\\QX481Mon.exe /i", "/i"},
    {"QX481Mon.exe\t\t/u", "/u"},
    {"QX481Mon.exe \t\r\n\x01 -i \t", "-i \t"},
    // Quotes inside an unquoted name are part of it.
    {"QX481\"Mon\".exe /i", "/i"},
    // An unclosed quote takes the whole line as the name.
    {"\"C:\\WINDOWS\\QX481Mon.exe /i", ""},
    {"\"\" /i", "/i"},
    // Bytes above 127 are name characters, not blanks.
    {"Kamera\xe9.exe /i", "/i"},
    {"   /i", "/i"},
};

TEST(SkipProgramName, GivesTheTextAfterTheName) {
    for (const SkipCase& c : skips) {
        std::string line(c.commandLine);
        EXPECT_STREQ(c.arguments, SkipProgramName(&line[0])) << c.commandLine;
    }
}

struct VersionCase {
    DWORD platformId, major, minor;
    bool failing;
    BOOL supported;
};

const VersionCase versions[] = {
    {VER_PLATFORM_WIN32_NT, 5, 1, false, 1}, // XP
    {VER_PLATFORM_WIN32_NT, 5, 0, false, 0}, // 2000
    {VER_PLATFORM_WIN32_NT, 5, 2, false, 0}, // Server 2003, 64-bit XP
    {VER_PLATFORM_WIN32_NT, 6, 1, false, 0}, // 7
    {VER_PLATFORM_WIN32_NT, 4, 1, false, 0}, {VER_PLATFORM_WIN32_WINDOWS, 5, 1, false, 0},
    {VER_PLATFORM_WIN32_NT, 5, 1, true, 0},
};

TEST(IsSupportedWindowsVersion, OnlyXp) {
    for (const VersionCase& c : versions) {
        winsim::Reset();
        winsim::SetWindowsVersion(c.platformId, c.major, c.minor);
        if (c.failing)
            winsim::FailCall("GetVersionExA");
        EXPECT_EQ(c.supported, IsSupportedWindowsVersion())
            << c.platformId << " " << c.major << "." << c.minor << (c.failing ? " failing" : "");
    }
}

// Whole-machine runs: the command line and the machine in, the autostart value, the monitor's
// run and the quit broadcast out.

// Another application's top-level window, which sees what is broadcast to all of them.
std::vector<UINT> bystanderMessages;
INT_PTR CALLBACK BystanderProcedure(HWND, UINT message, WPARAM, LPARAM) {
    bystanderMessages.push_back(message);
    return 0;
}

struct Outcome {
    bool monitorRan;     // the monitor's loop waited with its window alive
    bool normalToCamera; // the monitor's first command reached the discovered camera
    bool quitBroadcast;
    bool valueAfter;
};

// Runs the program as the platform entry would, with the value there or not beforehand and
// the first call of failingCall failing. A monitor that runs is told to quit the first time
// its loop waits, as the broadcast of another instance would.
Outcome RunProgram(const std::string& commandLine, bool valueBefore,
                   const char* failingCall = nullptr) {
    if (valueBefore)
        winsim::SetRegistryString(HKEY_LOCAL_MACHINE, RunKey, AUTOSTART_VALUE_NAME,
                                  "C:\\WINDOWS\\QX481Mon.exe");
    bystanderMessages.clear();
    HWND bystander =
        CreateDialogParamA(NULL, MAKEINTRESOURCE(IDD_MONITOR), NULL, BystanderProcedure, 0);
    Outcome outcome = {};
    winsim::WhileWaiting([&] {
        HWND monitor = winsim::DialogWindow();
        outcome.monitorRan = monitor && monitor != bystander;
        if (outcome.monitorRan)
            winsim::PostToWindow(monitor, RegisterWindowMessageA(QuitMessageName), 0, 0);
    });
    if (failingCall)
        winsim::FailCall(failingCall);

    EXPECT_EQ(0, ProgramMain(NULL, commandLine.c_str()));

    // What is still queued for the bystander once the program has ended.
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    DestroyWindow(bystander);
    for (UINT message : bystanderMessages)
        outcome.quitBroadcast |= message == RegisterWindowMessageA(QuitMessageName);
    const std::vector<winsim::PropertyWrite>& writes = winsim::PropertyWrites();
    outcome.normalToCamera = !writes.empty() && writes[0].device == 1 &&
                             writes[0].value.size() == 36 && writes[0].value[28] == Normal;
    outcome.valueAfter = AutostartValueExists();

    EXPECT_EQ(0, winsim::HeapBlocksInUse());
    EXPECT_EQ(0, winsim::OpenRegistryKeys());
    EXPECT_EQ(0, winsim::OpenDeviceInfoSets());
    EXPECT_EQ(0, winsim::OpenKernelHandles());
    EXPECT_EQ(0, winsim::ComReferences());
    return outcome;
}

struct Scenario {
    const char* commandLine;
    Machine machine;
    const char* failingCall; // nullptr: none
    bool valueBefore;
    bool valueAfter;
    bool monitorRuns;
    bool quitBroadcast;
};

const Scenario scenarios[] = {
    {"", XpWithCamera, nullptr, false, false, true, false},
    {"", XpWithCamera, nullptr, true, true, true, false},
    {"/i", XpWithCamera, nullptr, false, true, true, false},
    {"/I", XpWithCamera, nullptr, false, true, true, false},
    {"-i", XpWithCamera, nullptr, false, true, true, false},
    {"/i /i", XpWithCamera, nullptr, false, true, true, false},
    {"   /i   ", XpWithCamera, nullptr, false, true, true, false},
    {"/x /i extra", XpWithCamera, nullptr, false, true, true, false},
    {"/u", XpWithCamera, nullptr, true, false, false, true},
    {"-U", XpWithCamera, nullptr, true, false, false, true},
    {"/u", XpWithCamera, nullptr, false, false, false, true},
    {"/i /u", XpWithCamera, nullptr, false, false, false, true},
    {"/u /i", XpWithCamera, nullptr, true, false, false, true},
    // Tokens are cut at spaces only.
    {"/i/u", XpWithCamera, nullptr, false, false, true, false},
    {"/i\t/u", XpWithCamera, nullptr, false, false, true, false},
    {"/x", XpWithCamera, nullptr, true, true, true, false},
    // The gate: the value goes, even one written by this same command line.
    {"/i", NoCamera, nullptr, false, false, false, false},
    {"", NoCamera, nullptr, true, false, false, false},
    {"", SuspendOff, nullptr, true, false, false, false},
    {"", Windows2000, nullptr, true, false, false, false},
    {"", Windows9xReporting51, nullptr, true, false, false, false},
    {"", Server2003, nullptr, true, false, false, false},
    {"/i", Windows7, nullptr, true, false, false, false},
    {"", XpWithCamera, "GetVersionExA", true, false, false, false},
    // Without administrator rights nothing is written or deleted, and the rest goes on.
    {"/i", ReadOnlyRunKey, nullptr, false, false, true, false},
    {"/u", ReadOnlyRunKey, nullptr, true, true, false, true},
    // A monitor window that cannot be created ends the program; the value stays.
    {"", XpWithCamera, "CreateDialogParamA", true, true, false, false},
    // Without its buffer the program does nothing at all.
    {"/i", XpWithCamera, "HeapAlloc", false, false, false, false},
    {"/u", XpWithCamera, "HeapAlloc", true, true, false, false},
    {"", NoCamera, "HeapAlloc", true, true, false, false},
};

TEST(ProgramMain, CarriesOutSwitchesAndTheGate) {
    for (const Scenario& c : scenarios) {
        SCOPED_TRACE(testing::Message()
                     << "\"" << c.commandLine << "\" on machine " << c.machine
                     << (c.failingCall ? ", failing " : "") << (c.failingCall ? c.failingCall : "")
                     << (c.valueBefore ? ", value there" : ""));
        SetUpMachine(c.machine);
        Outcome outcome = RunProgram(c.commandLine, c.valueBefore, c.failingCall);
        EXPECT_EQ(c.valueAfter, outcome.valueAfter);
        EXPECT_EQ(c.monitorRuns, outcome.monitorRan);
        EXPECT_EQ(c.monitorRuns, outcome.normalToCamera);
        EXPECT_EQ(c.quitBroadcast, outcome.quitBroadcast);
    }
}

// A command line is copied whole and still carries its switches: up to 259 characters into
// the smallest buffer, one of 260 or more into a buffer of its own length.
TEST(ProgramMain, TakesALongCommandLine) {
    for (size_t length : {MAX_PATH - 1, MAX_PATH, 300}) {
        SetUpMachine(NoCamera);
        Outcome outcome =
            RunProgram(std::string(150, ' ') + "/i" + std::string(length - 154, ' ') + "/u", true);
        EXPECT_FALSE(outcome.valueAfter) << length;
        EXPECT_TRUE(outcome.quitBroadcast) << length;
    }
}

// "/u" from a second instance ends the one that is running.
TEST(ProgramMain, UninstallEndsTheRunningMonitor) {
    SetUpMachine(XpWithCamera);
    SetAutostart(TRUE);
    bool secondRan = false;
    winsim::WhileWaiting([&] {
        secondRan = true;
        EXPECT_EQ(0, ProgramMain(NULL, "/u"));
    });
    EXPECT_EQ(0, ProgramMain(NULL, ""));
    EXPECT_TRUE(secondRan);
    EXPECT_FALSE(winsim::MessageLoopStarved()) << "the running monitor did not quit";
    EXPECT_EQ(NULL, winsim::DialogWindow());
    EXPECT_FALSE(AutostartValueExists());
    EXPECT_EQ(0, winsim::HeapBlocksInUse());
}

// "/u" returns once the monitors it told to quit have ended, or after ten seconds: whoever runs
// it removes or replaces their file next. Processes are walked every 100 ms.
struct OtherProcess {
    const char* exeFile;
    DWORD sessionId;
    DWORD endsAfter;
};

struct WaitCase {
    std::vector<OtherProcess> others;
    DWORD waited;
};

const WaitCase waits[] = {
    {{}, 0},
    {{{"explorer.exe", 0, INFINITE}}, 0},
    {{{"QX481Mon.exe", 0, 300}}, 300},
    {{{"qx481mon.exe", 0, 250}, {"QX481Mon.exe", 0, 1200}}, 1200},
    {{{"QX481Mon.exe", 0, INFINITE}}, 10000},
    // Another user's monitor never gets the broadcast, whether its session can be read or not.
    {{{"QX481Mon.exe", 1, INFINITE}, {"QX481Mon.exe", winsim::UnreadableSession, INFINITE}}, 0},
};

TEST(ProgramMain, UninstallWaitsForTheMonitorsOfItsSession) {
    for (const WaitCase& c : waits) {
        SetUpMachine(XpWithCamera);
        std::string names;
        for (const OtherProcess& other : c.others) {
            winsim::AddProcess(other.exeFile, other.sessionId, other.endsAfter);
            names += std::string(other.exeFile) + " ";
        }
        DWORD start = GetTickCount();
        Outcome outcome = RunProgram("/u", true);
        EXPECT_EQ(c.waited, GetTickCount() - start) << names;
        EXPECT_TRUE(outcome.quitBroadcast) << names;
    }
}

// The entry reads the command line the system holds and ends the process with code 0.
TEST(ProgramEntry, RunsTheTextAfterTheProgramNameAndExitsWithZero) {
    SetUpMachine(XpWithCamera);
    winsim::SetRegistryString(HKEY_LOCAL_MACHINE, RunKey, AUTOSTART_VALUE_NAME, "C:\\x.exe");
    winsim::SetCommandLine("\"C:\\Program Files\\QX481\\QX481Mon.exe\"/u");
    ProgramEntry();
    EXPECT_EQ(0u, winsim::ExitCode());
    EXPECT_FALSE(AutostartValueExists());
    EXPECT_EQ(0, winsim::HeapBlocksInUse());
}

// Whichever call fails, the program gives back all it took.
TEST(ProgramMain, ReleasesEverythingWhateverFails) {
    for (const char* line : {"", "/i", "/u"}) {
        SetUpMachine(XpWithCamera);
        RunProgram(line, true);
        unsigned long calls = winsim::PlatformCalls();
        for (unsigned long n = 1; n <= calls; ++n) {
            SCOPED_TRACE(testing::Message() << "\"" << line << "\", call " << n << " failing");
            SetUpMachine(XpWithCamera);
            winsim::FailNthCall(n);
            RunProgram(line, true);
        }
    }
}

} // namespace
