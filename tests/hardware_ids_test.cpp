#include <gtest/gtest.h>

#include <string>

#include "devices/hardware_ids.h"

namespace {

TEST(SupportedHardwareIds, NamesInterfaceZeroOfBothFamiliesInOrder) {
    EXPECT_STREQ("USB\\VID_0C45&PID_63F0&MI_00", SupportedHardwareIds[0]);
    EXPECT_STREQ("USB\\VID_0C45&PID_63F9&MI_00", SupportedHardwareIds[9]);
    EXPECT_STREQ("USB\\VID_0C45&PID_63FA&MI_00", SupportedHardwareIds[10]);
    EXPECT_STREQ("USB\\VID_0C45&PID_63FF&MI_00", SupportedHardwareIds[15]);
    EXPECT_STREQ("USB\\VID_05CA&PID_18A0&MI_00", SupportedHardwareIds[16]);
    EXPECT_STREQ("USB\\VID_05CA&PID_18AF&MI_00", SupportedHardwareIds[31]);
    for (const char* id : SupportedHardwareIds)
        EXPECT_EQ(27u, std::string(id).size()) << id;
}

// A REG_MULTI_SZ list written as one string with '|' for each NUL; the list's closing empty
// string is added here.
std::string MultiString(const char* pieces) {
    std::string list(pieces);
    for (char& c : list) {
        if (c == '|')
            c = '\0';
    }
    return list + std::string(2, '\0');
}

struct MatchCase {
    const char* list;
    DWORD count;
    BOOL expected;
};

const MatchCase matches[] = {
    {"", 32, 0},
    {"USB\\VID_0C45&PID_63F0&MI_00", 32, 1},
    {"usb\\vid_0c45&pid_63f0&mi_00", 32, 1},
    {"USB\\VID_05CA&PID_18AF&MI_00", 32, 1},
    {"USB\\VID_0C45&PID_63F0&REV_0100&MI_00|USB\\VID_0C45&PID_63F0", 32, 0},
    {"USB\\VID_1234&PID_0001&REV_0100&MI_00|USB\\VID_05CA&PID_18A7&MI_00", 32, 1},
    {"USB\\VID_0C45&PID_63F0&MI_00", 0, 0},
    {"USB\\VID_05CA&PID_18A0&MI_00", 16, 0},
    {"USB\\VID_05CA&PID_18A0&MI_00", 17, 1},
    // The text after a comma is compared next, as if it were the following string.
    {"X,USB\\VID_0C45&PID_63F5&MI_00", 32, 1},
    {",,USB\\VID_0C45&PID_63F5&MI_00", 32, 1},
    // A string made only of commas yields no piece; the walk goes on with the next string.
    {",,,|USB\\VID_0C45&PID_63F5&MI_00", 32, 1},
    // A string ending in a comma ends the walk.
    {"ABC,|USB\\VID_0C45&PID_63F5&MI_00", 32, 0},
    {"USB\\VID_0C45&PID_63F5&MI_00,", 32, 1},
    {"USB\\VID_0C45&PID_63F5&MI_00X", 32, 0},
    {"USB\\VID_0C45&PID_63F5&MI_0", 32, 0},
};

TEST(MatchHardwareIdList, ComparesEveryPieceWithEveryEntry) {
    for (const MatchCase& c : matches) {
        std::string list = MultiString(c.list);
        EXPECT_EQ(c.expected, MatchHardwareIdList(&list[0], SupportedHardwareIds, c.count))
            << "list \"" << c.list << "\", count " << c.count;
    }
}

TEST(EnumeratorName, IsTheFirstEntryUpToItsBackslash) {
    char buffer[MAX_PATH];
    EXPECT_STREQ("USB", EnumeratorName(SupportedHardwareIds, buffer));
    const char* const plain[] = {"ROOT"};
    EXPECT_STREQ("ROOT", EnumeratorName(plain, buffer));
    const char* const leading[] = {"\\X"};
    EXPECT_STREQ("", EnumeratorName(leading, buffer));
}

} // namespace
