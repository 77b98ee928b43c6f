#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/files/files_fixture.h"

namespace {

using DrivesTest = FilesTest;

std::string Mapped(const std::string& windowsPath) {
    std::string linuxPath;
    return platform::MapPath(windowsPath.c_str(), linuxPath)
               ? linuxPath
               : "error " + std::to_string(GetLastError());
}

std::string FullPath(const char* path) {
    char buffer[MAX_PATH];
    DWORD length = GetFullPathNameA(path, MAX_PATH, buffer, nullptr);
    return length == 0 || length >= MAX_PATH ? "error" : std::string(buffer, length);
}

TEST_F(DrivesTest, MapsSeparatorsDrivesAndMissingNames) {
    dir.WriteFile("Sub/Deep/File.txt", "x");
    std::string expected = dir.Linux("Sub/Deep/File.txt");
    EXPECT_EQ(Mapped(dir.WinPath() + "/Sub\\Deep/File.txt"), expected);

    platform::SetDriveRoot('q', dir.LinuxPath() + "/");
    EXPECT_EQ(platform::GetDriveRoot('Q'), dir.LinuxPath());
    EXPECT_EQ(Mapped("Q:\\Sub\\Deep\\File.txt"), expected);
    EXPECT_EQ(Mapped("q:/"), dir.LinuxPath());
    EXPECT_EQ(Mapped("Q:\\Sub\\Deep\\New.txt"), dir.Linux("Sub/Deep/New.txt")); // may be created
    EXPECT_EQ(Mapped("Q:\\Sub\\Deep\\File.txt. . "), expected); // Windows drops those
    std::string back;
    EXPECT_TRUE(platform::LinuxToWindowsPath(expected, back)); // the longest root wins over C:
    EXPECT_EQ(back, "Q:\\Sub\\Deep\\File.txt");

    EXPECT_EQ(Mapped("Q:\\Sub\\Missing\\File.txt"), "error 3");
    EXPECT_EQ(Mapped("Q:\\Sub\\Deep\\File.txt\\x"), "error 3"); // a file is no folder
    EXPECT_EQ(Mapped("R:\\x"), "error 3");                      // unmapped drive
    EXPECT_EQ(Mapped("\\\\server\\share\\x.txt"), "error 53");
    EXPECT_EQ(Mapped("//server/share"), "error 53");
    // Characters and device names Windows refuses.
    for (const char* bad : {"Q:\\a<b", "Q:\\a*", "Q:\\Sub\\x:y", "Q:\\tab\there",
                            "Q:\\Sub\\con.txt", "Q:\\Sub\\LPT1"})
        EXPECT_EQ(Mapped(bad), "error 123") << bad;
    EXPECT_EQ(Mapped("Q:\\Sub\\console.txt"), dir.Linux("Sub/console.txt"));
    EXPECT_EQ(Mapped("Q:\\" + std::string(300, 'a')), "error 206");
    std::string deep = "Q:";
    while (deep.size() < 300)
        deep += "\\folder";
    EXPECT_EQ(Mapped(deep), "error 3"); // long, but refused only for its missing folders
    while (deep.size() < 5000)
        deep += "\\folder";
    EXPECT_EQ(Mapped(deep), "error 206");
    EXPECT_EQ(Mapped(""), "error 3");

    platform::SetDriveRoot('Q', "");
    EXPECT_EQ(Mapped("Q:\\Sub"), "error 3");
}

TEST_F(DrivesTest, FindsNamesInAnotherCaseAndPrefersTheExactOne) {
    dir.WriteFile("Data Folder/Caf\xC3\xA9/Read Me.TXT", "x");
    dir.WriteFile("data folder/other.txt", "y");
    // Exact spellings first, then the first case-insensitive match in byte order.
    EXPECT_EQ(Mapped(dir.Win("data folder\\other.txt")), dir.Linux("data folder/other.txt"));
    EXPECT_EQ(Mapped(dir.Win("DATA FOLDER\\CAF\xC9\\read me.txt")),
              dir.Linux("Data Folder/Caf\xC3\xA9/Read Me.TXT"));
    EXPECT_EQ(Mapped(dir.Win("DATA FOLDER\\CAF\xC9\\new.txt")),
              dir.Linux("Data Folder/Caf\xC3\xA9/new.txt"));
    EXPECT_EQ(Mapped(dir.Win("DATA FOLDER\\missing\\new.txt")), "error 3");
    // The same names through their 8.3 forms.
    EXPECT_EQ(Mapped(dir.Win("DATAFO~1\\CAF~1\\README~1.TXT")),
              dir.Linux("Data Folder/Caf\xC3\xA9/Read Me.TXT"));
    EXPECT_NE(GetFileAttributesA(dir.Win("datafo~1\\caf~1\\readme~1.txt").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

TEST_F(DrivesTest, ReadsMappingsFromTheEnvironment) {
    std::string entry = "d=" + dir.LinuxPath() + ";bad;E=relative;F=" + dir.Linux("f");
    ASSERT_EQ(setenv("ZORV_DRIVES", entry.c_str(), 1), 0);
    platform::ResetDriveRoots();
    EXPECT_EQ(platform::GetDriveRoot('D'), dir.LinuxPath());
    EXPECT_EQ(platform::GetDriveRoot('E'), "");
    EXPECT_EQ(platform::GetDriveRoot('F'), dir.Linux("f"));
    EXPECT_EQ(platform::GetDriveRoot('C'), "/");
    unsetenv("ZORV_DRIVES");
    platform::ResetDriveRoots();
    EXPECT_EQ(platform::GetDriveRoot('D'), "");
}

TEST_F(DrivesTest, FullPathsFollowTheWindowsRules) {
    platform::SetDriveRoot('D', dir.LinuxPath());
    ASSERT_TRUE(SetCurrentDirectoryA("D:\\"));
    ASSERT_TRUE(CreateDirectoryA("work", nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA("work\\"));
    char current[MAX_PATH];
    EXPECT_EQ(GetCurrentDirectoryA(MAX_PATH, current), 7u);
    EXPECT_STREQ(current, "D:\\work");

    EXPECT_EQ(FullPath("a/b\\..\\.\\c.txt"), "D:\\work\\a\\c.txt");
    EXPECT_EQ(FullPath(".."), "D:\\");
    EXPECT_EQ(FullPath("..\\..\\..\\x"), "D:\\x");
    EXPECT_EQ(FullPath("\\x\\y\\"), "D:\\x\\y\\");
    EXPECT_EQ(FullPath("d:rel"), "D:\\work\\rel"); // drive-relative on the current drive
    EXPECT_EQ(FullPath("E:rel"), "E:\\rel");       // another drive: from its root
    EXPECT_EQ(FullPath("C:/x//y/"), "C:\\x\\y\\");
    EXPECT_EQ(FullPath("name. . "), "D:\\work\\name");
    EXPECT_EQ(FullPath("\\\\server\\share\\a\\..\\b"), "\\\\server\\share\\b");

    char buffer[MAX_PATH];
    char* filePart = nullptr;
    EXPECT_EQ(GetFullPathNameA("file.txt", 5, buffer, &filePart), 17u); // the size needed
    EXPECT_EQ(GetFullPathNameA("file.txt", 17, buffer, &filePart), 16u);
    EXPECT_STREQ(filePart, "file.txt");
    EXPECT_EQ(GetFullPathNameA("sub\\", MAX_PATH, buffer, &filePart), 12u);
    EXPECT_EQ(filePart, nullptr);
    EXPECT_EQ(GetFullPathNameA("", MAX_PATH, buffer, nullptr), 0u);

    // Relative paths resolve against the layer's directory, not the process's.
    ASSERT_TRUE(CloseHandle(Open("rel.txt", GENERIC_WRITE, 0, CREATE_NEW)));
    EXPECT_TRUE(dir.Exists("work/rel.txt"));
    EXPECT_EQ(ErrorOf(SetCurrentDirectoryA("missing"), FALSE), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ErrorOf(SetCurrentDirectoryA("rel.txt"), FALSE), ERROR_DIRECTORY);
    EXPECT_EQ(ErrorOf(RemoveDirectoryA("D:\\work"), FALSE), ERROR_SHARING_VIOLATION);
}

TEST_F(DrivesTest, TempPathIsAPrivateFolderInTmpdir) {
    const char* saved = std::getenv("TMPDIR");
    std::string previous = saved ? saved : "";
    setenv("TMPDIR", dir.LinuxPath().c_str(), 1);
    char buffer[MAX_PATH];
    std::string own = "zorv-" + std::to_string(geteuid());
    DWORD length = GetTempPathA(MAX_PATH, buffer);
    EXPECT_EQ(std::string(buffer, length), dir.Win(own) + "\\");
    EXPECT_EQ(GetTempPathA(3, buffer), length + 1);
    struct stat info {};
    ASSERT_EQ(stat(dir.Linux(own).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // A folder others may enter is never used.
    test_support::TempDir other;
    std::filesystem::create_directory(other.Linux(own));
    chmod(other.Linux(own).c_str(), 0755);
    setenv("TMPDIR", other.LinuxPath().c_str(), 1);
    EXPECT_EQ(GetTempPathA(MAX_PATH, buffer), 0u);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    if (saved) {
        setenv("TMPDIR", previous.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

} // namespace
