#include <gtest/gtest.h>
#include <winsim.h>
#include <winsim/devices.h>

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
const char Usage[] = "usage: QX481Diag [--send normal|suspend|sessionend|batterylow]";

struct DiagCase {
    Machine machine;
    const char* runValue; // NoValue: none
    bool fileExists;      // the file the Run value names
    int monitors;         // QX481Mon.exe processes running in the tool's session
    int exitCode;
    int sentCode; // the code of the one write the camera got, 0: none
    std::vector<std::string> arguments;
    std::vector<std::string> lines; // in this order among the report's lines
};

const std::string ImagingNode =
    std::string(CameraNode) + "driver loaded; found in the imaging class";

// One row a machine: the scalars on the first line, the report's lines after them.
// clang-format off
const DiagCase cases[] = {
    {XpWithCamera, WindowsCopy, true, 2, 0, 0, {},
     {"tool: QX481Diag 1.01.01.00", "windows version: 5.1", "platform: 2 (NT)",
      "windows accepted: yes", "camera: found", "driver description: QX481 Driver",
      "friendly name: QX481 USB Camera", "selective suspend: 1 (on)", ImagingNode,
      "capture devices: 1", "command property: supported",
      "autostart: C:\\WINDOWS\\QX481Mon.exe", "autostart file: exists",
      "monitors running in this session: 2", "verdict: runs"}},
    {NoCamera, NoValue, false, 0, 1, 0, {},
     {"camera: not found", "friendly name: ",
      "selective suspend: not read (no supported device node)", "nodes looked at: 1",
      "capture devices: not looked for (no camera)", "autostart: absent",
      "monitors running in this session: 0",
      "verdict: does not run: no supported camera is installed"}},
    {SuspendOff, WindowsCopy, true, 0, 1, 0, {},
     {"camera: not found", "friendly name: QX481 USB Camera", "selective suspend: 0 (off)",
      ImagingNode, "capture devices: 1",
      "verdict: does not run: selective suspend is off for the camera"}},
    {SuspendMissing, WindowsCopy, true, 0, 1, 0, {},
     {"camera: not found", "selective suspend: missing (off)",
      "verdict: does not run: selective suspend is off for the camera"}},
    {UsbOnlyCamera, WindowsCopy, true, 0, 0, 0, {},
     {"camera: found", std::string(CameraNode) + "driver loaded; found in the USB nodes",
      "capture devices: 1", "verdict: runs"}},
    // The search goes on past a node whose driver is not loaded, and the node after it decides.
    {UsbOnlyDriverNotLoaded, WindowsCopy, true, 0, 1, 0, {},
     {"camera: not found", std::string(CameraNode) + "driver not loaded; found in the USB nodes",
      "capture devices: not looked for (no camera)",
      "verdict: does not run: no supported camera is installed"}},
    {Windows2000, WindowsCopy, true, 0, 1, 0, {},
     {"windows version: 5.0", "windows accepted: no", "camera: found",
      "verdict: does not run: Windows 5.0 (platform 2) is not Windows XP"}},
    {Windows7, WindowsCopy, true, 0, 1, 0, {},
     {"windows version: 6.1", "windows accepted: no", "camera: found",
      "verdict: does not run: Windows 6.1 (platform 2) is not Windows XP"}},
    {XpWithCamera, QuotedCopy, false, 0, 0, 0, {},
     {std::string("autostart: ") + QuotedCopy, "autostart file: missing", "verdict: runs"}},
    {XpWithCamera, QuotedCopy, true, 1, 0, BatteryLow, {"--send", "batterylow"},
     {"autostart file: exists", "monitors running in this session: 1",
      "send: batterylow (4) accepted, HRESULT 0x00000000", "verdict: runs"}},
    {RejectingCamera, WindowsCopy, true, 1, 3, Suspend, {"--SEND", "Suspend"},
     {"command property: not supported (HRESULT 0x80070492, support 0)",
      "send: suspend (2) rejected, HRESULT 0x80070492", "verdict: runs"}},
    {NoCamera, NoValue, false, 0, 3, 0, {"--send", "normal"},
     {"send: normal (5) not sent: discovery named no camera",
      "verdict: does not run: no supported camera is installed"}},
    // Unknown options and incomplete ones are refused before anything is looked at.
    {XpWithCamera, WindowsCopy, true, 0, 2, 0, {"/x"}, {Usage}},
    {XpWithCamera, WindowsCopy, true, 0, 2, 0, {"--send"}, {Usage}},
    {XpWithCamera, WindowsCopy, true, 0, 2, 0, {"--send", "hibernate"}, {Usage}},
    {XpWithCamera, WindowsCopy, true, 0, 2, 0, {"--send", "normal", "--send", "suspend"}, {Usage}},
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

// Sets the case's machine up and runs the tool on it: the exit code.
int RunCase(const DiagCase& c, unsigned long failingCall = 0) {
    SetUpMachine(c.machine);
    // A device that is no camera, after it: the USB nodes' search looks at it too.
    winsim::DeviceNode mouse;
    mouse.instanceId = "USB\\VID_046D&PID_C077\\5&2F1&0&1";
    mouse.hardwareIds = winsim::MultiString({"USB\\VID_046D&PID_C077"});
    winsim::AddDeviceNode(mouse);
    if (c.runValue)
        winsim::SetRegistryString(HKEY_LOCAL_MACHINE, RunKey, AUTOSTART_VALUE_NAME, c.runValue);
    if (c.fileExists)
        winsim::AddFile(c.runValue == QuotedCopy ? "C:\\Program Files\\QX481\\QX481Mon.exe"
                                                 : WindowsCopy);
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
    winsim::FailNthCall(failingCall);
    return RunDiagnosis((int)argv.size(), argv.data());
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
        SCOPED_TRACE(testing::Message()
                     << "machine " << c.machine << ", " << c.arguments.size()
                     << " arguments, Run value " << (c.runValue ? c.runValue : "none"));
        EXPECT_EQ(c.exitCode, RunCase(c));

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

// Whichever call fails, the tool ends with an exit code of its own and gives back all it took.
TEST(RunDiagnosis, GivesBackWhatItTookWhateverFails) {
    for (size_t row : {0, 4, 9}) {
        RunCase(cases[row]);
        unsigned long calls = winsim::PlatformCalls();
        for (unsigned long n = 1; n <= calls; ++n) {
            SCOPED_TRACE(testing::Message() << "row " << row << ", call " << n << " failing");
            int exitCode = RunCase(cases[row], n);
            EXPECT_TRUE(exitCode == DiagRuns || exitCode == DiagDoesNotRun ||
                        exitCode == DiagSendFailed)
                << exitCode;
            ExpectAllGivenBack();
        }
    }
}

} // namespace
