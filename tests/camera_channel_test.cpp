// The camera command channel against simulated DirectShow devices: the 36-byte record with the
// code at offset 28, written to the first device of the name; COM initialised and every
// reference released on every path, whichever call fails.
#include <gtest/gtest.h>
#include <winsim.h>

#include <algorithm>
#include <string>
#include <vector>

#include "camera/camera_channel.h"

namespace {

const GUID DriverPropertySet = {
    0xCCA349DA, 0x4FE2, 0x423A, {0xAA, 0x50, 0xE6, 0xF3, 0x52, 0x57, 0x5C, 0xBC}};

using winsim::FilterBindFails;
using winsim::NoFriendlyName;
using winsim::NoPropertySet;
using winsim::PropertyBagFails;
using winsim::RejectsPropertyWrite;

class CameraChannelTest : public testing::Test {
  protected:
    void SetUp() override { Fresh(); }

    static void Fresh() { winsim::Reset(); }

    // What must hold after every send, whatever became of it.
    static void ExpectReleased(int coUninitializeCalls) {
        EXPECT_EQ(0, winsim::ComReferences());
        EXPECT_EQ(0, winsim::BstrsInUse());
        EXPECT_EQ(coUninitializeCalls, winsim::CoUninitializeCalls());
    }
};

TEST_F(CameraChannelTest, WritesEachCodeAtOffset28OfTheSame36ByteBuffer) {
    const struct {
        CameraCommand command;
        BYTE code;
    } commands[] = {{Suspend, 2}, {SessionEnd, 3}, {BatteryLow, 4}, {Normal, 5}};
    winsim::AddVideoDevice(L"USB Camera");
    SetCameraDeviceName("USB Camera");
    for (const auto& c : commands) {
        SCOPED_TRACE(testing::Message() << "command " << (int)c.code);
        std::vector<BYTE> expected(36, 0);
        expected[28] = c.code;
        ASSERT_EQ(1, SendCameraCommand(c.command));
        const winsim::PropertyWrite& write = winsim::PropertyWrites().back();
        EXPECT_TRUE(write.propertySet == DriverPropertySet);
        EXPECT_EQ(0x807u, write.id);
        EXPECT_EQ(expected, write.instanceData);
        EXPECT_EQ(expected, write.value);
    }
    EXPECT_EQ(4u, winsim::PropertyWrites().size());
    ExpectReleased(4);
}

struct Device {
    std::wstring name;
    unsigned faults;
};

struct MatchCase {
    const char* what;
    std::vector<Device> devices;
    std::string wanted;
    int chosen; // index of the device written to, -1 for none
};

const std::wstring LongName(MAX_PATH, L'a'); // one character more than the buffer holds
const std::wstring LongestName(MAX_PATH - 1, L'a');
const std::string LongestWanted(MAX_PATH - 1, 'a');

const MatchCase matches[] = {
    {"no device at all", {}, "USB Camera", -1},
    {"name not found", {{L"Other", 0}, {L"USB Camera 2", 0}}, "USB Camera", -1},
    {"later device", {{L"Other", 0}, {L"USB Camera", 0}}, "USB Camera", 1},
    {"same name twice: the first", {{L"USB Camera", 0}, {L"USB Camera", 0}}, "USB Camera", 0},
    {"case differs", {{L"usb CAMERA", 0}}, "USB Camera", 0},
    {"only ASCII letters fold", {{L"K\u00C4MERA", 0}}, "k\xE4mera", -1},
    {"other bytes compare as they are", {{L"K\u00C4MERA", 0}}, "k\xC4mera", 0},
    {"bag that fails is skipped",
     {{L"USB Camera", PropertyBagFails}, {L"USB Camera", 0}},
     "USB Camera",
     1},
    {"unreadable name is not the camera",
     {{L"Other", 0}, {L"USB Camera", NoFriendlyName}},
     "USB Camera",
     -1},
    // The empty name.
    {"empty: empty friendly name", {{L"Other", 0}, {L"", 0}}, "", 1},
    {"empty: unreadable first name", {{L"X", NoFriendlyName}, {L"", 0}}, "", 0},
    {"empty: unreadable after a failed bag",
     {{L"X", PropertyBagFails}, {L"Y", NoFriendlyName}},
     "",
     1},
    {"empty: unreadable after a name was read", {{L"Other", 0}, {L"X", NoFriendlyName}}, "", -1},
    {"empty: no bag opens", {{L"X", PropertyBagFails}}, "", -1},
    {"empty: every name is set", {{L"Other", 0}}, "", -1},
    // Names that do not fit the 260-byte buffer read as empty and harm nothing after them.
    {"after an over-long name", {{LongName, 0}, {L"USB Camera", 0}}, "USB Camera", 1},
    {"over-long name is no prefix", {{LongName, 0}}, LongestWanted, -1},
    {"longest name that fits", {{LongName, 0}, {LongestName, 0}}, LongestWanted, 1},
    {"empty: over-long name", {{L"Other", 0}, {LongName, 0}}, "", 1},
};

TEST_F(CameraChannelTest, WritesToTheFirstDeviceWithTheName) {
    for (const MatchCase& c : matches) {
        SCOPED_TRACE(c.what);
        Fresh();
        for (const Device& device : c.devices)
            winsim::AddVideoDevice(device.name, device.faults);
        SetCameraDeviceName(c.wanted.c_str());
        EXPECT_EQ(c.chosen >= 0, SendCameraCommand(Normal));
        const std::vector<winsim::PropertyWrite>& writes = winsim::PropertyWrites();
        ASSERT_EQ(c.chosen >= 0 ? 1u : 0u, writes.size());
        if (c.chosen >= 0)
            EXPECT_EQ(c.chosen, writes[0].device);
        ExpectReleased(1);
    }
}

TEST_F(CameraChannelTest, KeepsAtMost259CharactersOfTheName) {
    winsim::AddVideoDevice(std::wstring(MAX_PATH - 1, L'b'));
    for (size_t length : {MAX_PATH - 1, MAX_PATH, 300}) {
        SCOPED_TRACE(testing::Message() << "name of " << length);
        SetCameraDeviceName(std::string(length, 'b').c_str());
        EXPECT_EQ(1, SendCameraCommand(Normal));
    }
}

struct OpenCase {
    const char* failingCall; // nullptr: none
    unsigned faults;         // of the one device "USB Camera"; none at all when ~0u
    BOOL sent;
    size_t writes;
};

const unsigned NoDevice = ~0u;

const OpenCase opens[] = {
    {nullptr, 0, 1, 1},
    {nullptr, NoDevice, 0, 0},
    {"CoCreateInstance", 0, 0, 0},
    {"ICreateDevEnum::CreateClassEnumerator", 0, 0, 0},
    {"IEnumMoniker::Reset", 0, 1, 1},
    {"IEnumMoniker::Next", 0, 0, 0},
    {"IMoniker::BindToStorage", 0, 0, 0},
    {"IPropertyBag::Read", 0, 0, 0},
    {"WideCharToMultiByte", 0, 0, 0},
    {"IMoniker::BindToObject", 0, 0, 0},
    {"IBaseFilter::QueryInterface", 0, 0, 0},
    {"IKsPropertySet::Set", 0, 0, 0},
    {nullptr, FilterBindFails, 0, 0},
    {nullptr, NoPropertySet, 0, 0},
    {nullptr, RejectsPropertyWrite, 0, 1},
};

TEST_F(CameraChannelTest, ReleasesEverythingAndOwesCoUninitializeOnlyForItsOwnS_OK) {
    const HRESULT initResults[] = {S_OK, S_FALSE, RPC_E_CHANGED_MODE};
    for (HRESULT init : initResults) {
        for (const OpenCase& c : opens) {
            SCOPED_TRACE(testing::Message() << "CoInitialize 0x" << std::hex << init << ", "
                                            << (c.failingCall ? c.failingCall : "no failing call")
                                            << ", faults " << c.faults);
            Fresh();
            winsim::SetCoInitializeResult(init);
            if (c.faults != NoDevice)
                winsim::AddVideoDevice(L"USB Camera", c.faults);
            if (c.failingCall)
                winsim::FailCall(c.failingCall);
            SetCameraDeviceName("USB Camera");
            EXPECT_EQ(c.sent, SendCameraCommand(Suspend));
            EXPECT_EQ(c.writes, winsim::PropertyWrites().size());
            EXPECT_EQ(1, winsim::CoInitializeCalls());
            ExpectReleased(init == S_OK ? 1 : 0);
        }
    }
}

TEST_F(CameraChannelTest, GoesNoFurtherWhenCoInitializeFails) {
    const HRESULT failures[] = {E_OUTOFMEMORY, E_INVALIDARG, E_FAIL};
    for (HRESULT failure : failures) {
        SCOPED_TRACE(testing::Message() << "CoInitialize 0x" << std::hex << failure);
        Fresh();
        winsim::AddVideoDevice(L"USB Camera");
        winsim::SetCoInitializeResult(failure);
        SetCameraDeviceName("USB Camera");
        EXPECT_EQ(0, SendCameraCommand(SessionEnd));
        EXPECT_EQ(1u, winsim::PlatformCalls());
        ExpectReleased(0);
    }
}

// Fails each platform call of a send in turn; the channel must come back clean every time
// and work again at the next send.
TEST_F(CameraChannelTest, SurvivesAFailureAtEveryCall) {
    const auto setUp = [] {
        Fresh();
        winsim::AddVideoDevice(L"Other");
        winsim::AddVideoDevice(L"USB Camera");
        SetCameraDeviceName("USB Camera");
    };
    setUp();
    ASSERT_EQ(1, SendCameraCommand(BatteryLow));
    const unsigned long calls = winsim::PlatformCalls();
    for (unsigned long n = 1; n <= calls; ++n) {
        SCOPED_TRACE(testing::Message() << "failing call " << n << " of " << calls);
        setUp();
        winsim::FailNthCall(n);
        BOOL sent = SendCameraCommand(BatteryLow);
        EXPECT_EQ(winsim::PropertyWrites().size(), (size_t)sent);
        ExpectReleased(n == 1 ? 0 : 1);
        EXPECT_EQ(1, SendCameraCommand(BatteryLow));
        ExpectReleased(n == 1 ? 1 : 2);
    }
}

} // namespace
