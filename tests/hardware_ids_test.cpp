// The table of supported hardware IDs, and the matching of a device's REG_MULTI_SZ hardware-ID
// list against it.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "devices/hardware_ids.h"

namespace {

// Every entry, built here from the two families' ranges: interface 0 of product ids
// 63F0 to 63FF of vendor 0C45, then 18A0 to 18AF of vendor 05CA.
TEST(SupportedHardwareIds, NamesInterfaceZeroOfBothFamiliesInOrder) {
    ASSERT_EQ(32u, SupportedHardwareIdCount);
    for (DWORD i = 0; i < 32; ++i) {
        char expected[32];
        snprintf(expected, sizeof expected,
                 i < 16 ? "USB\\VID_0C45&PID_63F%X&MI_00" : "USB\\VID_05CA&PID_18A%X&MI_00",
                 i % 16);
        EXPECT_STREQ(expected, SupportedHardwareIds[i]) << "entry " << i;
    }
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
