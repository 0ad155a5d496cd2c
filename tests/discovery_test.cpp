// Device discovery on simulated device trees: the imaging class first, then the USB nodes; the
// selective-suspend setting that decides; bounds of hardware-ID lists and names; thousands of
// nodes; and every failing call leaving everything released.
#include <gtest/gtest.h>
#include <windows.h>
#include <devguid.h>
#include <winsim.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "devices/discovery.h"
#include "devices/hardware_ids.h"

namespace {

const char Camera[] = "USB\\VID_05CA&PID_18A7&MI_00";
const std::string CameraIds =
    winsim::MultiString({"USB\\VID_05CA&PID_18A7&REV_0100&MI_00", Camera});
const std::string OtherIds = winsim::MultiString({"USB\\VID_046D&PID_0825&MI_00"});

struct Node {
    std::string hardwareIds;
    bool present;
    bool loaded;
    const char* name; // its driver's "FriendlyName"
    DWORD suspend;    // its driver's "SelectiveSuspend"
    const char* enumerator = "USB";
    bool imaging = false;
};

struct Result {
    BOOL found;
    std::string desc, name;
};

class Discovery : public testing::Test {
  protected:
    void SetUp() override { winsim::Reset(); }

    // Adds the node with a driver key holding its settings; returns the key's path.
    std::string Add(const Node& n) {
        winsim::DeviceNode node;
        char tail[32];
        snprintf(tail, sizeof tail, "\\VID_%04X\\%u", keys, keys);
        node.instanceId = n.enumerator + std::string(tail);
        node.hardwareIds = n.hardwareIds;
        node.setupClass = n.imaging ? GUID_DEVCLASS_IMAGE : GUID();
        node.present = n.present;
        node.status = n.loaded ? DN_DRIVER_LOADED | DN_STARTED : 0;
        snprintf(tail, sizeof tail, "%04u", keys++);
        node.driverKey =
            "SYSTEM\\CurrentControlSet\\Control\\Class\\{6BDD1FC6}\\" + std::string(tail);
        winsim::AddDeviceNode(node);
        winsim::SetRegistryString(HKEY_LOCAL_MACHINE, node.driverKey, "DriverDesc",
                                  std::string("Driver of ") + n.name);
        winsim::SetRegistryString(HKEY_LOCAL_MACHINE, node.driverKey, "FriendlyName", n.name);
        winsim::SetRegistryDword(HKEY_LOCAL_MACHINE, node.driverKey, "SelectiveSuspend", n.suspend);
        return node.driverKey;
    }

    // Runs the search as the start-up does, and checks that it gave back everything it took
    // and left both outputs terminated.
    Result Find(DWORD descSize = MAX_PATH) {
        char desc[MAX_PATH], name[MAX_PATH];
        memset(desc, 'x', sizeof desc);
        memset(name, 'x', sizeof name);
        BOOL found = FindSupportedCamera(SupportedHardwareIds, SupportedHardwareIdCount, desc,
                                         descSize, name, sizeof name);
        EXPECT_EQ(0, winsim::HeapBlocksInUse());
        EXPECT_EQ(0, winsim::OpenRegistryKeys());
        EXPECT_EQ(0, winsim::OpenDeviceInfoSets());
        EXPECT_TRUE(memchr(desc, 0, descSize) && memchr(name, 0, sizeof name));
        if (!memchr(desc, 0, descSize) || !memchr(name, 0, sizeof name))
            return {found, "", ""};
        return {found, desc, name};
    }

    unsigned keys = 0;
};

TEST_F(Discovery, ImagingCameraIsServedOnlyWithSelectiveSuspendOn) {
    struct Case {
        DWORD type;
        std::vector<BYTE> data; // empty: no value
        BOOL expected;
    } cases[] = {
        {REG_DWORD, {}, 0},
        {REG_DWORD, {0, 0, 0, 0}, 0},
        {REG_DWORD, {1, 0, 0, 0}, 1},
        {REG_DWORD, {0, 0, 0, 1}, 1},
        {REG_BINARY, {1}, 1},
        {REG_BINARY, {0, 0}, 0},
        {REG_BINARY, {1, 0, 0, 0, 0}, 0}, // longer than four bytes
        {REG_SZ, {'0', 0}, 1},            // read as the number 0x30
        {REG_SZ, {0}, 0},
    };
    for (const Case& c : cases) {
        winsim::Reset();
        std::string key = Add({CameraIds, true, true, "Cam", 0, "USB", true});
        winsim::SetRegistryValue(HKEY_LOCAL_MACHINE, key, "SelectiveSuspend", c.type, c.data);
        if (c.data.empty()) {
            HKEY open = winsim::OpenRegistryKey(HKEY_LOCAL_MACHINE, key);
            RegDeleteValueA(open, "SelectiveSuspend");
            RegCloseKey(open);
        }
        Result r = Find();
        EXPECT_EQ(c.expected, r.found) << c.type << " of " << c.data.size() << " bytes";
        EXPECT_EQ("Cam", r.name);
        EXPECT_EQ("Driver of Cam", r.desc);
    }
}

TEST_F(Discovery, ImagingMatchIsSettledOnWithoutTheWiderSearch) {
    Add({CameraIds, true, true, "Usb", 1});
    Add({OtherIds, true, true, "Other", 1, "USB", true});
    Add({winsim::MultiString({std::string(3000, 'X'), Camera}), true, false, "Img", 0, "USB",
         true});
    Result r = Find();
    EXPECT_EQ(0, r.found);
    EXPECT_EQ("Img", r.name);
}

TEST_F(Discovery, OnlyPresentImagingDevicesAreSearched) {
    Add({CameraIds, false, false, "Phantom", 1, "PCI", true});
    EXPECT_EQ(0, Find().found);
}

struct WiderCase {
    const char* what;
    std::vector<Node> nodes;
    BOOL expected;
    const char* name;
    DWORD told; // matching nodes the support tool's explained search tells
};

const WiderCase widerCases[] = {
    {"a match with its driver loaded ends the search",
     {{OtherIds, true, true, "O", 1},
      {CameraIds, true, true, "A", 1},
      {CameraIds, true, true, "B", 0}},
     1,
     "A",
     2},
    {"a match without its driver loaded does not",
     {{CameraIds, true, false, "A", 1}, {CameraIds, true, true, "B", 0}},
     0,
     "B",
     2},
    {"a later readable node that does not match undoes a match",
     {{CameraIds, false, false, "A", 1}, {OtherIds, true, true, "O", 1}},
     0,
     "",
     1},
    {"a phantom match that is the last readable node decides",
     {{OtherIds, true, true, "O", 1}, {CameraIds, false, false, "A", 1}},
     1,
     "A",
     1},
    {"nodes whose IDs cannot be read change nothing",
     {{CameraIds, false, false, "A", 1},
      {"", true, true, "N", 0},
      {winsim::MultiString({std::string(250, 'X'), Camera}), true, true, "L", 0}},
     1,
     "A",
     1},
    {"a list stored without its terminators",
     {{CameraIds.substr(0, CameraIds.size() - 2), true, true, "A", 1}},
     1,
     "A",
     1},
    {"other enumerators' nodes are not examined",
     {{CameraIds, true, true, "A", 1, "HID"}},
     0,
     "",
     0},
    {"an empty device-ID list", {}, 0, "", 0},
};

TEST_F(Discovery, WiderSearchOfTheUsbNodes) {
    for (const WiderCase& c : widerCases) {
        winsim::Reset();
        for (const Node& node : c.nodes)
            Add(node);
        Result r = Find();
        EXPECT_EQ(c.expected, r.found) << c.what;
        EXPECT_EQ(c.name, r.name) << c.what;
        // Going on past the node it settles on, the explained search settles the same.
        char desc[MAX_PATH], name[MAX_PATH];
        DiscoveryDetail detail;
        MatchedNode nodes[MatchedNodeRoom];
        EXPECT_EQ(c.expected,
                  ExplainSupportedCamera(SupportedHardwareIds, SupportedHardwareIdCount, desc,
                                         MAX_PATH, name, MAX_PATH, &detail, nodes))
            << c.what;
        EXPECT_STREQ(c.name, name) << c.what;
        EXPECT_EQ(c.told, detail.nodesMatched) << c.what;
    }
}

TEST_F(Discovery, FailedLocateOrReadLeavesTheEarlierMatchDeciding) {
    for (const char* call : {"CM_Locate_DevNodeA", "CM_Get_DevNode_Registry_PropertyA"}) {
        winsim::Reset();
        Add({CameraIds, false, false, "A", 1});
        Add({OtherIds, true, true, "O", 0});
        winsim::FailCall(call, 2);
        Result r = Find();
        EXPECT_EQ(1, r.found) << call;
        EXPECT_EQ("A", r.name) << call;
    }
}

// The imaging search reads a hardware-ID list of up to 4096 bytes, the wider search one of up
// to 260; a longer list is unreadable.
TEST_F(Discovery, HardwareIdListsUpToTheirBound) {
    for (bool imaging : {true, false}) {
        const size_t bound = imaging ? 4096 : MAX_PATH;
        for (size_t size : {bound, bound + 1}) {
            winsim::Reset();
            std::string ids = winsim::MultiString({std::string(size - 30, 'X'), Camera});
            ASSERT_EQ(size, ids.size());
            Add({ids, true, true, "Cam", 1, "USB", imaging});
            EXPECT_EQ(size == bound, Find().found) << (imaging ? "imaging, " : "USB, ") << size;
        }
    }
}

TEST_F(Discovery, ThousandsOfUsbNodesWithTheCameraLast) {
    for (int i = 0; i < 5000; ++i)
        winsim::AddDeviceNode({"USB\\VID_046D&PID_0825\\" + std::to_string(i), OtherIds});
    Add({CameraIds, true, true, "Cam", 1});
    Result r = Find();
    EXPECT_EQ(1, r.found);
    EXPECT_EQ("Cam", r.name);
}

TEST_F(Discovery, DriverKeyThatCannotBeOpenedStillCounts) {
    std::string key = Add({CameraIds, true, true, "Cam", 0, "USB", true});
    winsim::DenyKeyAccess(HKEY_LOCAL_MACHINE, key, KEY_QUERY_VALUE);
    Result r = Find();
    EXPECT_EQ(1, r.found);
    EXPECT_EQ("", r.name);
    EXPECT_EQ("", r.desc);
}

TEST_F(Discovery, WithoutBuffersOnlySelectiveSuspendIsRead) {
    Add({CameraIds, true, true, "Cam", 1, "USB", true});
    winsim::FailCall("RegQueryValueExA");
    EXPECT_EQ(0, FindSupportedCamera(SupportedHardwareIds, SupportedHardwareIdCount, NULL, MAX_PATH,
                                     NULL, MAX_PATH));
    winsim::FailCall("RegQueryValueExA");
    EXPECT_EQ(1, Find().found) << "with buffers the first read is of DriverDesc";
}

TEST_F(Discovery, NamesOfEveryLengthComeBackWholeOrEmpty) {
    for (size_t length = 0; length <= 300; ++length) {
        for (bool terminated : {true, false}) {
            winsim::Reset();
            std::string key = Add({CameraIds, true, true, "", 1, "USB", true});
            std::string name(length, 'n');
            std::vector<BYTE> data(name.begin(), name.end());
            if (terminated)
                data.push_back(0);
            winsim::SetRegistryValue(HKEY_LOCAL_MACHINE, key, "FriendlyName", REG_SZ, data);
            winsim::SetRegistryValue(HKEY_LOCAL_MACHINE, key, "DriverDesc", REG_SZ, data);
            Result r = Find(16);
            std::string expected = length < MAX_PATH ? name : "";
            EXPECT_EQ(expected, r.name) << length << (terminated ? " with NUL" : " without");
            EXPECT_EQ(length < 16 ? name : "", r.desc) << length;
        }
    }
}

// Every platform call of a search that takes every path fails in turn; each run still gives
// back everything it took (checked by Find).
TEST_F(Discovery, EveryFailureReleasesEverything) {
    Add({OtherIds, true, true, "Other", 1, "USB", true});
    Add({OtherIds, true, true, "O", 1});
    Add({CameraIds, true, true, "Cam", 1});
    ASSERT_EQ(1, Find().found);
    unsigned long calls = winsim::PlatformCalls();
    for (unsigned long n = 1; n <= calls; ++n) {
        winsim::FailNthCall(winsim::PlatformCalls() + n);
        Find();
    }

    struct Case {
        const char* call;
        unsigned occurrence;
        BOOL expected;
        const char* name;
    } cases[] = {
        {"HeapAlloc", 1, 0, ""},
        {"SetupDiGetClassDevsA", 1, 0, ""},
        {"SetupDiEnumDeviceInfo", 1, 1, "Cam"},
        {"CM_Get_DevNode_Registry_PropertyA", 1, 1, "Cam"},
        {"CM_Get_Device_ID_List_SizeA", 1, 0, ""},
        {"HeapAlloc", 2, 0, ""},
        {"CM_Get_Device_ID_ListA", 1, 0, ""},
        {"CM_Locate_DevNodeA", 3, 0, ""}, // the camera, last: the other node decides
        {"CM_Get_DevNode_Status", 1, 1, "Cam"},
        {"CM_Open_DevNode_Key", 1, 1, ""},
        {"RegQueryValueExA", 1, 1, "Cam"},
        {"RegQueryValueExA", 2, 1, ""},
        {"RegQueryValueExA", 3, 0, "Cam"},
        {"RegCloseKey", 1, 1, "Cam"},
        {"SetupDiDestroyDeviceInfoList", 1, 1, "Cam"},
    };
    for (const Case& c : cases) {
        winsim::FailCall(c.call, c.occurrence);
        Result r = Find();
        EXPECT_EQ(c.expected, r.found) << c.call << " #" << c.occurrence;
        EXPECT_EQ(c.name, r.name) << c.call << " #" << c.occurrence;
    }
}

} // namespace
