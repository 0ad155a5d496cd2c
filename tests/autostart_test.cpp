// The Run value on the simulated registry: enabling writes the copy in the Windows directory,
// quoted where its path holds a space, at every length the buffers take; enabling twice leaves
// one value; disabling deletes it and ignores a missing one; without write access to the Run
// key nothing changes.
#include <gtest/gtest.h>
#include <winsim.h>

#include <string>

#include "app/autostart.h"

namespace {

const char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The bytes of a value, its type checked to be REG_SZ; false when it does not
// exist.
bool StoredValue(const char* name, std::string* data) {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    if (!winsim::GetRegistryValue(HKEY_LOCAL_MACHINE, RunKey, name, &type, &bytes))
        return false;
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    if (data)
        data->assign(bytes.begin(), bytes.end());
    return true;
}

// The Run key as an installed system has it, with another program's value in
// it.
class AutostartTest : public testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        winsim::SetRegistryString(HKEY_LOCAL_MACHINE, RunKey, "Other", "C:\\other.exe");
    }
    void TearDown() override {
        EXPECT_EQ(0, winsim::OpenRegistryKeys());
        EXPECT_TRUE(StoredValue("Other", nullptr)) << "another program's value was touched";
    }
};

struct ValueCase {
    const char* modulePath; // "" cannot be read
    const char* windowsDirectory;
    const char* failingCall; // nullptr: none
    const char* expected;    // nullptr: nothing is written
};

const ValueCase values[] = {
    {"D:\\tools\\QX481Mon.exe", "C:\\WINDOWS", nullptr, "C:\\WINDOWS\\QX481Mon.exe"},
    {"C:\\WINDOWS\\QX481Mon.exe", "C:\\WINDOWS", nullptr, "C:\\WINDOWS\\QX481Mon.exe"},
    {"E:\\x\\renamed.exe", "C:\\WINNT", nullptr, "C:\\WINNT\\renamed.exe"},
    // Only the value's own path decides the quotes.
    {"C:\\Program Files\\QX481\\QX481Mon.exe", "C:\\WINDOWS", nullptr, "C:\\WINDOWS\\QX481Mon.exe"},
    {"D:\\tools\\QX481 Mon.exe", "C:\\WINDOWS", nullptr, "\"C:\\WINDOWS\\QX481 Mon.exe\""},
    {"D:\\tools\\QX481Mon.exe", "C:\\My Windows", nullptr, "\"C:\\My Windows\\QX481Mon.exe\""},
    // A Windows directory at a drive's root keeps its own backslash.
    {"D:\\tools\\QX481Mon.exe", "C:\\", nullptr, "C:\\\\QX481Mon.exe"},
    {"", "C:\\WINDOWS", nullptr, nullptr},
    {"D:\\tools\\", "C:\\WINDOWS", nullptr, nullptr},
    {"D:\\tools\\QX481Mon.exe", "C:\\WINDOWS", "GetModuleFileNameA", nullptr},
    {"D:\\tools\\QX481Mon.exe", "C:\\WINDOWS", "GetFullPathNameA", nullptr},
    {"D:\\tools\\QX481Mon.exe", "C:\\WINDOWS", "GetWindowsDirectoryA", nullptr},
    {"D:\\tools\\QX481Mon.exe", "C:\\WINDOWS", "RegSetValueExA", nullptr},
};

TEST_F(AutostartTest, EnableWritesTheCopyInTheWindowsDirectory) {
    for (const ValueCase& c : values) {
        SCOPED_TRACE(std::string(c.modulePath) + " | " + c.windowsDirectory + " | " +
                     (c.failingCall ? c.failingCall : "-"));
        winsim::Reset();
        winsim::SetRegistryString(HKEY_LOCAL_MACHINE, RunKey, "Other", "C:\\other.exe");
        winsim::SetModulePath(c.modulePath);
        winsim::SetWindowsDirectory(c.windowsDirectory);
        if (c.failingCall)
            winsim::FailCall(c.failingCall);

        SetAutostart(TRUE);

        std::string data;
        if (!c.expected) {
            EXPECT_FALSE(StoredValue("QX481Mon", &data)) << data;
            continue;
        }
        ASSERT_TRUE(StoredValue("QX481Mon", &data));
        EXPECT_EQ(std::string(c.expected) + '\0', data);
    }
}

// length characters: head, then as many 'x' as it takes.
std::string Long(const std::string& head, size_t length) {
    return head + std::string(length - head.size(), 'x');
}

struct LimitCase {
    const char* what;
    std::string directory; // the Windows directory
    std::string file;      // the program runs as D:\file
    bool written;          // directory\file, quoted when the directory holds a space
};

// The module path and the Windows directory fit their buffers up to 259 characters, the
// value up to 261 with its quotes.
const LimitCase limits[] = {
    {"module path of 259, value of 261", "C:\\W", Long("", 256), true},
    {"module path of 260", "C:\\W", Long("", 257), false},
    {"value of 262", "C:\\Wi", Long("", 256), false},
    {"directory of 259", Long("C:\\", 259), "Q", true},
    {"directory of 260", Long("C:\\", 260), "Q", false},
    {"quoted value of 261", "C:\\W w", Long("", 252), true},
    {"quoted value of 262", "C:\\W w", Long("", 253), false},
    {"joined too long", Long("C:\\", 203), Long("", 104), false},
};

TEST_F(AutostartTest, EnableWritesPathsUpToTheBuffersLimits) {
    for (const LimitCase& c : limits) {
        SCOPED_TRACE(c.what);
        winsim::Reset();
        winsim::SetRegistryString(HKEY_LOCAL_MACHINE, RunKey, "Other", "C:\\other.exe");
        winsim::SetModulePath("D:\\" + c.file);
        winsim::SetWindowsDirectory(c.directory);
        SetAutostart(TRUE);
        std::string data;
        if (!c.written) {
            EXPECT_FALSE(StoredValue("QX481Mon", &data)) << data;
            continue;
        }
        std::string value = c.directory + "\\" + c.file;
        if (c.directory.find(' ') != std::string::npos)
            value = '"' + value + '"';
        ASSERT_TRUE(StoredValue("QX481Mon", &data));
        EXPECT_EQ(value + '\0', data);
    }
}

TEST_F(AutostartTest, EnablingTwiceLeavesTheSameValue) {
    winsim::SetModulePath("D:\\tools\\QX481Mon.exe");
    SetAutostart(TRUE);
    std::string first, second;
    ASSERT_TRUE(StoredValue("QX481Mon", &first));
    SetAutostart(TRUE);
    ASSERT_TRUE(StoredValue("QX481Mon", &second));
    EXPECT_EQ(first, second);
}

TEST_F(AutostartTest, DisableDeletesTheValueAndIgnoresAMissingOne) {
    SetAutostart(TRUE);
    ASSERT_TRUE(StoredValue("QX481Mon", nullptr));
    SetAutostart(FALSE);
    EXPECT_FALSE(StoredValue("QX481Mon", nullptr));
    SetAutostart(FALSE);
    EXPECT_FALSE(StoredValue("QX481Mon", nullptr));
    EXPECT_TRUE(winsim::RegistryKeyExists(HKEY_LOCAL_MACHINE, RunKey));
}

// Without administrator rights the Run key cannot be opened for writing.
TEST_F(AutostartTest, WithoutWriteAccessNothingChanges) {
    winsim::SetRegistryString(HKEY_LOCAL_MACHINE, RunKey, "QX481Mon", "old");
    winsim::DenyKeyAccess(HKEY_LOCAL_MACHINE, RunKey, KEY_SET_VALUE);
    std::string data;
    for (BOOL enable : {TRUE, FALSE}) {
        SetAutostart(enable);
        ASSERT_TRUE(StoredValue("QX481Mon", &data));
        EXPECT_EQ(std::string("old") + '\0', data);
    }
}

} // namespace
