// The support tool on a table of simulated machines: the report's lines, its verdict and exit
// code, and the one command --send writes; the copies of the report as the tool is started
// (from Explorer, a prompt, a script or a deployment agent, seen or not); and whatever call
// fails, an exit code of its own with everything given back.
#include <gtest/gtest.h>
#include <winsim.h>
#include <winsim/devices.h>

#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "common/common.h"
#include "diag.h"
#include "machine.h"

namespace {

const char* const NoValue = nullptr;
const char WindowsCopy[] = "C:\\WINDOWS\\QX481Mon.exe";
const char QuotedCopy[] = "\"C:\\Program Files\\QX481\\QX481Mon.exe\"";
const char CameraNode[] = "node: USB\\VID_05CA&PID_18A7&MI_00\\6&1A2B3C&0&0000; matches "
                          "USB\\VID_05CA&PID_18A7&MI_00; ";
const char Usage[] = "usage: QX481Diag [--send normal|suspend|sessionend|batterylow] [--save FILE]";
const char ExpandedCopy[] = "%SystemRoot%\\QX481Mon.exe";
const char SavedCopy[] = "C:\\reports\\camera.txt";
const char* const NoFailure = nullptr;
// What LoadSystemDlls finds missing on a machine whose system folder holds another cfgmgr32.dll.
const std::string NoFunction = "C:\\WINDOWS\\system32\\cfgmgr32.dll has no CM_Locate_DevNodeA";

// The file the Run value names.
enum InstalledFile {
    Missing,
    Unversioned,
    Versioned,  // 1.01.01.00
    OtherBuild, // 2.03.04.05: a field read in the wrong place shows
};

struct DiagCase {
    Machine machine;
    const char* runValue; // NoValue: none
    InstalledFile file;
    int monitors; // QX481Mon.exe processes running in the tool's session
    int exitCode;
    int sentCode; // the code of the one write the camera got, 0: none
    std::vector<std::string> arguments;
    std::vector<std::string> lines; // in this order among the report's lines
    const char* failing = nullptr;  // that call fails, its first time
    DWORD runType = REG_SZ;         // the Run value's, its data the text with its NUL
    const char* dllsMissing = nullptr;
};

const std::string ImagingNode =
    std::string(CameraNode) + "driver loaded; found in the imaging class";

// One row a machine: the scalars on the first line, the report's lines after them.
// clang-format off
const DiagCase cases[] = {
    {XpWithCamera, WindowsCopy, Versioned, 2, 0, 0, {},
     {"tool: QX481Diag 1.01.01.00", "windows version: 5.1", "platform: 2 (NT)",
      "windows accepted: yes", "camera: found", "driver description: QX481 Driver",
      "friendly name: QX481 USB Camera", "selective suspend: 1 (on)", ImagingNode,
      "capture devices: 1", "command property: supported",
      "autostart: C:\\WINDOWS\\QX481Mon.exe", "autostart file: exists",
      "installed version: 1.01.01.00", "monitors running in this session: 2", "verdict: runs"}},
    {NoCamera, NoValue, Missing, 0, 1, 0, {},
     {"camera: not found", "friendly name: ",
      "selective suspend: not read (no supported device node)", "nodes looked at: 1",
      "capture devices: not looked for (no camera)", "autostart: absent",
      "installed version: (none)", "monitors running in this session: 0",
      "verdict: does not run: no supported camera is installed"}},
    {SuspendOff, WindowsCopy, Versioned, 0, 1, 0, {},
     {"camera: not found", "friendly name: QX481 USB Camera", "selective suspend: 0 (off)",
      ImagingNode, "capture devices: 1",
      "verdict: does not run: selective suspend is off for the camera"}},
    {SuspendMissing, WindowsCopy, Versioned, 0, 1, 0, {},
     {"camera: not found", "selective suspend: missing or over 4 bytes (off)",
      "verdict: does not run: selective suspend is off for the camera"}},
    // Registered, but no monitor in this session: from a script with nobody logged on.
    {UsbOnlyCamera, WindowsCopy, Versioned, 0, 6, 0, {},
     {"camera: found", std::string(CameraNode) + "driver loaded; found in the USB nodes",
      "capture devices: 1", "monitors running in this session: 0",
      "verdict: not running in this session: it starts at the next log-on"}},
    // The search goes on past a node whose driver is not loaded, and the node after it decides.
    {UsbOnlyDriverNotLoaded, WindowsCopy, Versioned, 0, 1, 0, {},
     {"camera: not found", std::string(CameraNode) + "driver not loaded; found in the USB nodes",
      "capture devices: not looked for (no camera)",
      "verdict: does not run: no supported camera is installed"}},
    {Windows2000, WindowsCopy, Versioned, 0, 1, 0, {},
     {"windows version: 5.0", "windows accepted: no", "camera: found",
      "verdict: does not run: Windows 5.0 (platform 2) is not Windows XP"}},
    {Windows7, WindowsCopy, Versioned, 0, 1, 0, {},
     {"windows version: 6.1", "windows accepted: no", "camera: found",
      "verdict: does not run: Windows 6.1 (platform 2) is not Windows XP"}},
    // Nothing starts the monitor at the next log-on, though one may run now: the Run value went
    // at the log-on of an administrator whose camera was unplugged, or it names a lost file.
    {XpWithCamera, QuotedCopy, Missing, 0, 5, 0, {},
     {std::string("autostart: ") + QuotedCopy, "autostart file: missing",
      "installed version: (none)",
      "verdict: not started at log-on: the Run value names a missing file"}},
    {XpWithCamera, NoValue, Missing, 1, 5, 0, {},
     {"autostart: absent", "monitors running in this session: 1",
      "verdict: not started at log-on: no Run value"}},
    // A file of that name, but none of the monitor's builds.
    {XpWithCamera, WindowsCopy, Unversioned, 1, 0, 0, {},
     {"autostart file: exists", "installed version: (none)", "verdict: runs"}},
    // The tool cannot tell whether a monitor runs.
    {XpWithCamera, WindowsCopy, Versioned, 1, 7, 0, {},
     {"monitors running in this session: unknown (no process list)",
      "verdict: could not look: the running processes cannot be listed"},
     "CreateToolhelp32Snapshot"},
    // Nor whether a camera is installed: it says so rather than that there is none.
    {XpWithCamera, WindowsCopy, Versioned, 1, 7, 0, {},
     {"camera: not found", "nodes: not looked at (the imaging class cannot be listed)",
      "capture devices: not looked for (no camera)", "autostart file: exists",
      "monitors running in this session: 1",
      "verdict: could not look: the imaging class cannot be listed"},
     "SetupDiGetClassDevsA"},
    {XpWithCamera, WindowsCopy, Versioned, 1, 7, 0, {},
     {"tool: QX481Diag 1.01.01.00", "windows version: 5.1", "windows accepted: yes",
      "camera: not looked for (" + NoFunction + ")",
      "capture devices: not looked for (no camera)", "autostart file: exists",
      "installed version: 1.01.01.00", "monitors running in this session: 1",
      "verdict: could not look: " + NoFunction},
     NoFailure, REG_SZ, NoFunction.c_str()},
    // Log-on expands a REG_EXPAND_SZ value; a value of another type than text it does not start.
    {XpWithCamera, ExpandedCopy, OtherBuild, 1, 0, 0, {},
     {std::string("autostart: ") + ExpandedCopy, "autostart file: exists",
      "installed version: 2.03.04.05", "verdict: runs"},
     NoFailure, REG_EXPAND_SZ},
    {XpWithCamera, WindowsCopy, Versioned, 1, 5, 0, {},
     {"autostart: not text (type 3)", "installed version: (none)",
      "verdict: not started at log-on: the Run value is not a file name"},
     NoFailure, REG_BINARY},
    {XpWithCamera, QuotedCopy, Versioned, 1, 0, BatteryLow, {"--send", "batterylow"},
     {"autostart file: exists", "installed version: 1.01.01.00",
      "monitors running in this session: 1",
      "send: batterylow (4) accepted, HRESULT 0x00000000", "verdict: runs"}},
    {RejectingCamera, WindowsCopy, Versioned, 1, 3, Suspend, {"--SEND", "Suspend"},
     {"command property: not supported (HRESULT 0x80070492, support 0)",
      "send: suspend (2) rejected, HRESULT 0x80070492", "verdict: runs"}},
    {NoCamera, NoValue, Missing, 0, 3, 0, {"--send", "normal"},
     {"send: normal (5) not sent: discovery named no camera",
      "verdict: does not run: no supported camera is installed"}},
    // The failed send's code wins over the failed save's.
    {RejectingCamera, WindowsCopy, Versioned, 1, 3, Suspend,
     {"--send", "suspend", "--save", SavedCopy},
     {"send: suspend (2) rejected, HRESULT 0x80070492", "verdict: runs",
      "The report could not be saved to C:\\reports\\camera.txt (error 5)."},
     "CreateFileA"},
    // Unknown options and incomplete ones are refused before anything is looked at.
    {XpWithCamera, WindowsCopy, Versioned, 0, 2, 0, {"/x"}, {Usage}},
    {XpWithCamera, WindowsCopy, Versioned, 0, 2, 0, {"--send"}, {Usage}},
    {XpWithCamera, WindowsCopy, Versioned, 0, 2, 0, {"--send", "hibernate"}, {Usage}},
    {XpWithCamera, WindowsCopy, Versioned, 0, 2, 0, {"--send", "normal", "--send", "suspend"}, {Usage}},
    {XpWithCamera, WindowsCopy, Versioned, 0, 2, 0, {"--save"}, {Usage}},
    {XpWithCamera, WindowsCopy, Versioned, 0, 2, 0, {"--save", "a.txt", "--save", "b.txt"},
     {Usage}},
    {XpWithCamera, WindowsCopy, Versioned, 0, 2, 0, {"--save", "a.txt", "--send"}, {Usage}},
    {XpWithCamera, WindowsCopy, Versioned, 0, 2, 0, {"--send"}, {Usage}, NoFailure, REG_SZ,
     NoFunction.c_str()},
};
// clang-format on

const char DesktopCopy[] = "C:\\Documents and Settings\\Support\\Desktop\\"
                           "QX481Diag-SUPPORT-PC-20260304-050607.txt";
const DWORD Plenty = 0xFFFFFFFF;

// How the tool is started and how its copies of the report fare, on the machine of the first
// row of the table above.
struct CopyCase {
    DWORD consoleProcesses; // on the tool's console: 1 from Explorer, 2 from a prompt, 0 none
    bool outputIsConsole;   // else it goes to a file or a pipe
    std::vector<std::string> arguments;
    const char* failing; // that call fails once, its occurrence-th
    unsigned occurrence;
    DWORD diskSpace;
    int exitCode;
    bool onDesktop, inSavedFile;   // the report is copied there
    bool waits;                    // for Enter
    std::vector<std::string> tail; // the output's last lines
    winsim::ConsoleWindow window = winsim::ConsoleWindowShown;
    const char* dllsMissing = nullptr;
};

const std::string Saved = std::string("The report is saved on your desktop as ") + DesktopCopy;
const std::string CopyIt = "Please copy the report from this window and send it to support.";
const std::string PressEnter = "Press Enter to close this window.";

// clang-format off
const CopyCase copyCases[] = {
    // From Explorer.
    {1, true, {}, NoFailure, 0, Plenty, 0, true, false, true,
     {"verdict: runs", "", Saved, "Please send this file to support.", PressEnter}},
    // From a command prompt, its output shown or redirected; from a deployment tool, without a
    // console or reading the output through a pipe: no copy and no wait.
    {2, true, {}, NoFailure, 0, Plenty, 0, false, false, false, {"verdict: runs"}},
    {2, false, {}, NoFailure, 0, Plenty, 0, false, false, false, {"verdict: runs"}},
    {0, false, {}, NoFailure, 0, Plenty, 0, false, false, false, {"verdict: runs"}},
    {1, false, {}, NoFailure, 0, Plenty, 0, false, false, false, {"verdict: runs"}},
    // From a script or a deployment tool that gives it a console of its own nobody sees: it must
    // not wait for a person who is not there.
    {1, true, {}, NoFailure, 0, Plenty, 0, false, false, false, {"verdict: runs"},
     winsim::ConsoleWithoutWindow},
    {1, true, {}, NoFailure, 0, Plenty, 0, false, false, false, {"verdict: runs"},
     winsim::ConsoleWindowHidden},
    {1, true, {}, NoFailure, 0, Plenty, 0, false, false, false, {"verdict: runs"},
     winsim::ConsoleOnUnseenStation},
    {1, true, {}, "GetUserObjectInformationA", 1, Plenty, 0, false, false, false,
     {"verdict: runs"}},
    {2, true, {"--save", SavedCopy}, NoFailure, 0, Plenty, 0, false, true, false, {"verdict: runs"}},
    {1, true, {"--save", SavedCopy}, NoFailure, 0, Plenty, 0, true, true, true,
     {"verdict: runs", "", Saved, "Please send this file to support.", PressEnter}},
    // The desktop's copy fails: the window says so, the exit code stays the verdict's.
    {1, true, {}, "SHGetFolderPathA", 1, Plenty, 0, false, false, true,
     {"verdict: runs", "",
      "The report could not be saved: the desktop folder is unknown (HRESULT 0x80004005).",
      CopyIt, PressEnter}},
    {1, true, {}, "CreateFileA", 1, Plenty, 0, false, false, true,
     {"", "The report could not be saved on the desktop as " + std::string(DesktopCopy) +
      " (error 5).", CopyIt, PressEnter}},
    {1, true, {}, NoFailure, 0, 100, 0, false, false, true,
     {"", "The report could not be saved on the desktop as " + std::string(DesktopCopy) +
      " (error 112).", CopyIt, PressEnter}},
    // The file --save names fails: exit code 4. The first close is the process snapshot's;
    // a close that fails after the write is still a failure.
    {2, true, {"--save", SavedCopy}, "CreateFileA", 1, Plenty, 4, false, false, false,
     {"verdict: runs", "The report could not be saved to C:\\reports\\camera.txt (error 5)."}},
    {2, true, {"--save", SavedCopy}, "CloseHandle", 2, Plenty, 4, false, true, false,
     {"The report could not be saved to C:\\reports\\camera.txt (error 6)."}},
    {1, true, {"--save", SavedCopy}, NoFailure, 0, 100, 4, false, false, true,
     {"The report could not be saved to C:\\reports\\camera.txt (error 112).", "",
      "The report could not be saved on the desktop as " + std::string(DesktopCopy) +
      " (error 112).", CopyIt, PressEnter}},
    // A wrong command line gets its usage read too, and no copy.
    {1, true, {"/x"}, NoFailure, 0, Plenty, 2, false, false, true,
     {"7 the tool could not look", PressEnter}},
    // Without the system's device functions the report is copied all the same.
    {1, true, {}, NoFailure, 0, Plenty, 7, true, false, true,
     {"verdict: could not look: " + NoFunction, "", Saved, "Please send this file to support.",
      PressEnter},
     winsim::ConsoleWindowShown, NoFunction.c_str()},
    {2, true, {"--save", SavedCopy}, NoFailure, 0, Plenty, 7, false, true, false,
     {"verdict: could not look: " + NoFunction}, winsim::ConsoleWindowShown, NoFunction.c_str()},
};
// clang-format on

std::vector<std::string> Lines(const std::string& output) {
    std::vector<std::string> lines;
    std::istringstream stream(output);
    for (std::string line; std::getline(stream, line);) {
        EXPECT_EQ('\r', line.back()) << line;
        line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Sets the case's machine up and runs the tool on it: the exit code. prepare, if given, changes
// the machine last.
int RunCase(const DiagCase& c, unsigned long failingCall = 0,
            const std::function<void()>& prepare = nullptr) {
    SetUpMachine(c.machine);
    // A device that is no camera, after it: the USB nodes' search looks at it too.
    winsim::DeviceNode mouse;
    mouse.instanceId = "USB\\VID_046D&PID_C077\\5&2F1&0&1";
    mouse.hardwareIds = winsim::MultiString({"USB\\VID_046D&PID_C077"});
    winsim::AddDeviceNode(mouse);
    if (c.runValue)
        winsim::SetRegistryValue(
            HKEY_LOCAL_MACHINE, RunKey, AUTOSTART_VALUE_NAME, c.runType,
            std::vector<BYTE>(c.runValue, c.runValue + strlen(c.runValue) + 1));
    const char* file =
        c.runValue == QuotedCopy ? "C:\\Program Files\\QX481\\QX481Mon.exe" : WindowsCopy;
    if (c.file == Unversioned)
        winsim::AddFile(file);
    if (c.file == Versioned)
        winsim::AddFile(file, 0x00010001, 0x00010000);
    if (c.file == OtherBuild)
        winsim::AddFile(file, 0x00020003, 0x00040005);
    winsim::AddProcess("explorer.exe");
    // Another user's monitor is not this session's.
    winsim::AddProcess("QX481Mon.exe", 1);
    for (int i = 0; i < c.monitors; ++i)
        winsim::AddProcess(i ? "qx481mon.exe" : "QX481Mon.exe");
    std::vector<std::string> arguments = {"QX481Diag.exe"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    if (prepare)
        prepare();
    winsim::FailNthCall(failingCall);
    return RunDiagnosis((int)argv.size(), argv.data(), c.dllsMissing);
}

int RunCopyCase(const CopyCase& c, unsigned long failingCall = 0) {
    DiagCase started = cases[0];
    started.arguments = c.arguments;
    started.dllsMissing = c.dllsMissing;
    return RunCase(started, failingCall, [&c] {
        winsim::SetConsole(c.consoleProcesses, c.outputIsConsole, c.window);
        winsim::SetDiskSpace(c.diskSpace);
        if (c.failing)
            winsim::FailCall(c.failing, c.occurrence);
    });
}

void ExpectAllGivenBack() {
    EXPECT_EQ(0, winsim::HeapBlocksInUse());
    EXPECT_EQ(0, winsim::OpenRegistryKeys());
    EXPECT_EQ(0, winsim::OpenDeviceInfoSets());
    EXPECT_EQ(0, winsim::OpenKernelHandles());
    EXPECT_EQ(0, winsim::ComReferences());
    EXPECT_EQ(0, winsim::BstrsInUse());
    // A CoInitialize that failed is owed no CoUninitialize.
    bool initFailed = std::string(winsim::LastFailedCall()) == "CoInitialize";
    EXPECT_EQ(winsim::CoInitializeCalls() - (initFailed ? 1 : 0), winsim::CoUninitializeCalls());
}

TEST(RunDiagnosis, ReportsTheVerdictAndWhy) {
    for (const DiagCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases << ", machine " << c.machine << ", "
                                        << c.arguments.size() << " arguments, Run value "
                                        << (c.runValue ? c.runValue : "none"));
        EXPECT_EQ(c.exitCode, RunCase(c, 0, [&c] {
                      if (c.failing)
                          winsim::FailCall(c.failing, 1);
                  }));

        std::vector<std::string> lines = Lines(winsim::ConsoleOutput());
        size_t at = 0;
        for (const std::string& expected : c.lines) {
            while (at < lines.size() && lines[at] != expected)
                ++at;
            EXPECT_LT(at, lines.size()) << "missing or out of order: " << expected << "\n"
                                        << winsim::ConsoleOutput();
        }
        if (c.exitCode == DiagUsage)
            EXPECT_EQ(Usage, lines.at(0));
        else
            EXPECT_EQ(c.lines.back(), lines.back());
        const std::vector<winsim::PropertyWrite>& writes = winsim::PropertyWrites();
        EXPECT_EQ(c.sentCode ? 1u : 0u, writes.size());
        if (c.sentCode && writes.size() == 1)
            EXPECT_EQ(c.sentCode, writes[0].value.at(28));
        ExpectAllGivenBack();
    }
}

TEST(RunDiagnosis, CopiesTheReportAsItIsStarted) {
    for (const CopyCase& c : copyCases) {
        SCOPED_TRACE(testing::Message()
                     << &c - copyCases << ": " << c.consoleProcesses
                     << " processes on the console, " << c.arguments.size() << " arguments, "
                     << (c.failing ? c.failing : "") << " failing");
        EXPECT_EQ(c.exitCode, RunCopyCase(c));

        // The report ends with its verdict's line.
        std::string output = winsim::ConsoleOutput();
        size_t verdict = output.find("\r\nverdict: ");
        size_t end = verdict == std::string::npos ? verdict : output.find("\r\n", verdict + 2);
        std::string report = end == std::string::npos ? "" : output.substr(0, end + 2);
        EXPECT_EQ(c.onDesktop ? report : "", winsim::FileContent(DesktopCopy));
        EXPECT_EQ(c.inSavedFile ? report : "", winsim::FileContent(SavedCopy));
        EXPECT_EQ(c.waits ? 1 : 0, winsim::InputReads());
        std::vector<std::string> lines = Lines(output);
        ASSERT_GE(lines.size(), c.tail.size());
        EXPECT_EQ(c.tail, std::vector<std::string>(lines.end() - c.tail.size(), lines.end()));
        ExpectAllGivenBack();
    }
}

// Whichever call fails, the tool ends with an exit code of its own and gives back all it took.
TEST(RunDiagnosis, GivesBackWhatItTookWhateverFails) {
    // A report, one from the USB nodes, one with --send, and a start from Explorer with --save.
    const std::function<int(unsigned long)> runs[] = {
        [](unsigned long n) { return RunCase(cases[0], n); },
        [](unsigned long n) { return RunCase(cases[4], n); },
        [](unsigned long n) { return RunCase(cases[16], n); },
        [](unsigned long n) { return RunCopyCase(copyCases[10], n); },
    };
    for (const auto& run : runs) {
        run(0);
        unsigned long calls = winsim::PlatformCalls();
        for (unsigned long n = 1; n <= calls; ++n) {
            SCOPED_TRACE(testing::Message()
                         << "run " << &run - runs << ", call " << n << " failing");
            int exitCode = run(n);
            EXPECT_TRUE(exitCode == DiagRuns || exitCode == DiagDoesNotRun ||
                        exitCode == DiagSendFailed || exitCode == DiagSaveFailed ||
                        exitCode == DiagNotStarted || exitCode == DiagNotRunning ||
                        exitCode == DiagCouldNotLook)
                << exitCode;
            ExpectAllGivenBack();
        }
    }
}

} // namespace
