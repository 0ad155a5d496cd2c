// The table of supported hardware IDs, and the matching of a device's REG_MULTI_SZ hardware-ID
// list against it.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "devices/hardware_ids.h"

namespace {

// The table's contract, entry by entry in order: interface 0, by its plain ID, of each product
// id from first to last of a vendor. A model outside these ranges is one more row.
struct ProductRange {
    DWORD vendor, first, last;
};

const ProductRange supported[] = {
    {0x0C45, 0x63F0, 0x63FF},
    {0x05CA, 0x18A0, 0x18AF},
};

TEST(SupportedHardwareIds, NamesInterfaceZeroOfEveryRangeInOrder) {
    std::vector<std::string> expected;
    for (const ProductRange& range : supported) {
        for (DWORD product = range.first; product <= range.last; ++product) {
            char id[MAX_PATH];
            snprintf(id, sizeof id, "USB\\VID_%04X&PID_%04X&MI_00", range.vendor, product);
            expected.push_back(id);
        }
    }
    ASSERT_EQ(expected.size(), SupportedHardwareIdCount);
    for (DWORD i = 0; i < SupportedHardwareIdCount; ++i)
        EXPECT_EQ(expected[i], SupportedHardwareIds[i]) << "entry " << i;
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
    DWORD count; // how many of the table's entries, from the first, are compared
    BOOL expected;
};

const DWORD All = SupportedHardwareIdCount;

const MatchCase matches[] = {
    {"", All, 0},
    {"USB\\VID_0C45&PID_63F0&MI_00", All, 1},
    {"usb\\vid_0c45&pid_63f0&mi_00", All, 1},
    {"USB\\VID_05CA&PID_18AF&MI_00", All, 1},
    {"USB\\VID_0C45&PID_63F0&REV_0100&MI_00|USB\\VID_0C45&PID_63F0", All, 0},
    {"USB\\VID_1234&PID_0001&REV_0100&MI_00|USB\\VID_05CA&PID_18A7&MI_00", All, 1},
    {"USB\\VID_0C45&PID_63F0&MI_00", 0, 0},
    {"USB\\VID_05CA&PID_18A0&MI_00", 16, 0},
    {"USB\\VID_05CA&PID_18A0&MI_00", 17, 1},
    // The text after a comma is compared next, as if it were the following string.
    {"X,USB\\VID_0C45&PID_63F5&MI_00", All, 1},
    {",,USB\\VID_0C45&PID_63F5&MI_00", All, 1},
    // A string made only of commas yields no piece; the walk goes on with the next string.
    {",,,|USB\\VID_0C45&PID_63F5&MI_00", All, 1},
    // A string ending in a comma ends the walk.
    {"ABC,|USB\\VID_0C45&PID_63F5&MI_00", All, 0},
    {"USB\\VID_0C45&PID_63F5&MI_00,", All, 1},
    {"USB\\VID_0C45&PID_63F5&MI_00X", All, 0},
    {"USB\\VID_0C45&PID_63F5&MI_0", All, 0},
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
