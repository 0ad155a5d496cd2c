// The simulated registry's rules that the program's safeguards rely on.
#include <gtest/gtest.h>
#include <windows.h>
#include <winsim.h>

#include <string>

namespace {

const char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class Registry : public testing::Test {
  protected:
    void SetUp() override { winsim::Reset(); }
};

TEST_F(Registry, QueryFollowsTheSizeRules) {
    winsim::SetRegistryString(HKEY_LOCAL_MACHINE, RunKey, "QX481Mon", "C:\\QX481Mon.exe");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\MICROSOFT\\windows\\currentversion\\run",
                            0, KEY_READ, &key));

    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "qx481mon", NULL, &type, NULL, &size));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(16u, size);

    char text[32];
    memset(text, 'x', sizeof text);
    size = 4;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key, "QX481Mon", NULL, NULL, (BYTE*)text, &size));
    EXPECT_EQ(16u, size);
    EXPECT_EQ("C:\\Qx", std::string(text, 5)) << "a partial prefix, no terminator";

    size = sizeof text;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "QX481Mon", NULL, NULL, (BYTE*)text, &size));
    EXPECT_EQ(16u, size);
    EXPECT_STREQ("C:\\QX481Mon.exe", text);

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key, "Other", NULL, NULL, NULL, &size));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteValueA(key, "QX481Mon")) << "opened for reading";
    EXPECT_EQ(1, winsim::OpenRegistryKeys());
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(0, winsim::OpenRegistryKeys());
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
}

TEST_F(Registry, SetAndDeleteThroughAWritableKey) {
    winsim::SetRegistryDword(HKEY_LOCAL_MACHINE, RunKey, "Other", 7);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_WRITE, &key));
    const BYTE path[] = "C:\\A.exe";
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "QX481Mon", 0, REG_SZ, path, sizeof path));
    DWORD type;
    std::vector<BYTE> data;
    ASSERT_TRUE(winsim::GetRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "QX481MON", &type, &data));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(std::vector<BYTE>(path, path + sizeof path), data);

    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, "qx481mon"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueA(key, "QX481Mon"));
    EXPECT_FALSE(winsim::GetRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "QX481Mon", NULL, NULL));
    EXPECT_TRUE(winsim::GetRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "Other", NULL, NULL));
    RegCloseKey(key);
}

TEST_F(Registry, DeniedRightsFailOnlyTheOpensThatAskForThem) {
    winsim::SetRegistryDword(HKEY_LOCAL_MACHINE, RunKey, "Other", 7);
    winsim::DenyKeyAccess(HKEY_LOCAL_MACHINE, RunKey, KEY_SET_VALUE);
    HKEY key = NULL;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_WRITE, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_READ, &key));
    RegCloseKey(key);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Missing", 0, KEY_READ, &key));
    EXPECT_EQ(0, winsim::OpenRegistryKeys());
}

TEST_F(Registry, PlannedFailuresLeaveNoKeyOpen) {
    winsim::SetRegistryDword(HKEY_LOCAL_MACHINE, RunKey, "Other", 7);
    HKEY key = NULL;
    winsim::FailCall("RegOpenKeyExA");
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_READ, &key));
    EXPECT_EQ(0, winsim::OpenRegistryKeys());
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_READ, &key));
    winsim::FailCall("RegCloseKey");
    EXPECT_NE(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(0, winsim::OpenRegistryKeys());
}

} // namespace
