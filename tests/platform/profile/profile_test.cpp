#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/files/files.h"
#include "platform/kernel/errors.h"
#include "platform/profile/ini_document.h"
#include "platform/profile/profile.h"
#include "platform/profile/profile_test_hooks.h"
#include "support/temp_dir.h"

namespace {

using namespace std::string_literals;

class ProfileTest : public ::testing::Test {
protected:
    std::string Get(const char* section, const char* key, const char* fallback = "dflt",
                    DWORD size = 256, const char* file = nullptr) {
        char buffer[256];
        DWORD n = GetPrivateProfileStringA(section, key, fallback, buffer, size,
                                           file ? file : path.c_str());
        EXPECT_EQ(n, std::string(buffer).size());
        return buffer;
    }

    test_support::TempDir dir;
    std::string path = dir.Win("p.ini");
};

TEST_F(ProfileTest, ReadsByTheRulesOfTheProfileFunctions) {
    dir.WriteFile("p.ini", "top=no section\r\n"
                           "[First]\n"
                           "  Key  =  spaced value \t\n"
                           "quoted=\"  kept  \"\r"
                           "single='x'\n"
                           "mixed=\"x'\n"
                           "; comment=not a key\n"
                           "Key=second wins not\n"
                           "cut=ab\0cd\n"
                           "[ first ]\n"
                           "other=in a later section of the same name\n"
                           "[\xC9t\xE9]\n"
                           "caf\xE9=1\n"
                           "[open\n"
                           "k=v\n"s);
    EXPECT_EQ(Get("first", "KEY"), "spaced value");
    EXPECT_EQ(Get("First", "quoted"), "  kept  ");
    EXPECT_EQ(Get("First", "single"), "x");
    EXPECT_EQ(Get("First", "mixed"), "\"x'");
    EXPECT_EQ(Get("First", "; comment"), "dflt");
    EXPECT_EQ(Get("First", "cut"), "ab");
    EXPECT_EQ(Get("First", "other"), "dflt");
    EXPECT_EQ(Get("", "top"), "dflt");
    EXPECT_EQ(Get("\xE9T\xC9", "CAF\xC9"), "1");
    EXPECT_EQ(Get("open", "k"), "v");
    EXPECT_EQ(Get("First", "missing", "pad  \t"), "pad");
    EXPECT_EQ(Get("First", "missing", nullptr), "");
    EXPECT_EQ(Get("First", "KEY", "", 6), "space");
    EXPECT_EQ(Get("First", "KEY", "", 1), "");
    EXPECT_EQ(Get("First", "KEY", "dflt", 256, dir.Win("none.ini").c_str()), "dflt");
}

TEST_F(ProfileTest, WritesKeepEveryOtherLineInPlace) {
    dir.WriteFile("p.ini", "; head\n[a]\nx=1\n; note\ny=2\n\n[b]\nz=3\n");
    ASSERT_TRUE(WritePrivateProfileStringA("A", "X", "one", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("a", "new", "n", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("c", "w", " spaced ", path.c_str()));
    EXPECT_EQ(dir.ReadFile("p.ini"),
              "; head\r\n[a]\r\nx=one\r\n; "
              "note\r\ny=2\r\nnew=n\r\n\r\n[b]\r\nz=3\r\n[c]\r\nw=spaced\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("a", "y", nullptr, path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("b", nullptr, nullptr, path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("none", "k", nullptr, path.c_str()));
    EXPECT_EQ(dir.ReadFile("p.ini"),
              "; head\r\n[a]\r\nx=one\r\n; note\r\nnew=n\r\n\r\n[c]\r\nw=spaced\r\n");
    // Deleting from a missing file makes none.
    std::string missing = dir.Win("missing.ini");
    EXPECT_TRUE(WritePrivateProfileStringA("a", nullptr, nullptr, missing.c_str()));
    EXPECT_FALSE(dir.Exists("missing.ini"));
}

TEST_F(ProfileTest, RefusesLineEndsAndHugeFiles) {
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "a\nb", path.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA("s\r", "k", "v", path.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k\n", "v", path.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(dir.Exists("p.ini"));

    std::string huge = "[s]\r\nk=v\r\n" + std::string(16 * 1024 * 1024, ';');
    dir.WriteFile("p.ini", huge);
    EXPECT_EQ(Get("s", "k"), "dflt");
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "w", path.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_TOO_LARGE);
    EXPECT_EQ(dir.ReadFile("p.ini").size(), huge.size());
}

TEST_F(ProfileTest, SeesChangesMadeBehindItsCache) {
    dir.WriteFile("p.ini", "[s]\nk=1\n");
    EXPECT_EQ(Get("s", "k"), "1");
    dir.WriteFile("p.ini", "[s]\nk=22\n");
    EXPECT_EQ(Get("s", "k"), "22");
    std::filesystem::remove(dir.Linux("p.ini"));
    EXPECT_EQ(Get("s", "k"), "dflt");
}

TEST_F(ProfileTest, AFailureBeforeTheRenameLeavesTheOldFile) {
    dir.WriteFile("p.ini", "[s]\nk=old\n");
    chmod(dir.Linux("p.ini").c_str(), 0640);
    platform::test::FailProfileWriteBeforeRename(true);
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "new", path.c_str()));
    platform::test::FailProfileWriteBeforeRename(false);
    EXPECT_EQ(dir.ReadFile("p.ini"), "[s]\nk=old\n");
    size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.LinuxPath())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1u);

    // A write follows a link and keeps the file's mode.
    symlink("p.ini", dir.Linux("link.ini").c_str());
    std::string link = dir.Win("link.ini");
    ASSERT_TRUE(WritePrivateProfileStringA("s", "k", "new", link.c_str()));
    struct stat info {};
    ASSERT_EQ(lstat(dir.Linux("link.ini").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(stat(dir.Linux("p.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(Get("s", "k"), "new");
}

TEST_F(ProfileTest, TwoProcessesWritingOneFileLoseNoUpdate) {
    constexpr int kKeys = 500;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    const char* who = child == 0 ? "child" : "parent";
    for (int i = 0; i < kKeys; ++i) {
        std::string key = std::string(who) + std::to_string(i);
        if (!WritePrivateProfileStringA("s", key.c_str(), "1", path.c_str()) && child == 0)
            _exit(1);
    }
    if (child == 0) _exit(0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    platform::IniDocument document;
    document.Parse(dir.ReadFile("p.ini"));
    std::string value;
    int found = 0;
    for (int i = 0; i < kKeys; ++i) {
        found += document.Find("s", "parent" + std::to_string(i), value);
        found += document.Find("s", "child" + std::to_string(i), value);
    }
    EXPECT_EQ(found, 2 * kKeys);
}

TEST(SystemFolders, BareNamesLiveInThePrivateWindowsDirectory) {
    test_support::TempDir dir;
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const char* savedData = std::getenv("XDG_DATA_HOME");
    std::string config = savedConfig ? savedConfig : "";
    std::string data = savedData ? savedData : "";
    setenv("XDG_CONFIG_HOME", dir.Linux("config").c_str(), 1);
    setenv("XDG_DATA_HOME", dir.Linux("data").c_str(), 1);

    char buffer[MAX_PATH];
    UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    EXPECT_EQ(std::string(buffer, length), dir.Win("config\\zorv\\windows"));
    EXPECT_EQ(GetWindowsDirectoryA(buffer, 3), length + 1);
    length = GetSystemDirectoryA(buffer, MAX_PATH);
    EXPECT_EQ(std::string(buffer, length), dir.Win("data\\zorv\\system"));
    struct stat info {};
    ASSERT_EQ(stat(dir.Linux("config/zorv/windows").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    ASSERT_TRUE(WritePrivateProfileStringA("s", "k", "v", "bare.ini"));
    EXPECT_TRUE(dir.Exists("config/zorv/windows/bare.ini"));

    if (savedConfig)
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    if (savedData)
        setenv("XDG_DATA_HOME", data.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

} // namespace
