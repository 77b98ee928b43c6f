#include "foundation/files/path_compare.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(PathCompareTest, SplitsDriveFoldersNameAndExtension) {
    std::string drive, name, extension;
    std::vector<std::string> folders;
    EXPECT_EQ(SplitPathComponents("C:\\x\\dir\\a.tar.gz", &drive, &name, &extension, &folders), 2);
    EXPECT_EQ(drive, "C:");
    EXPECT_EQ(name, "a.tar");
    EXPECT_EQ(extension, ".gz");
    EXPECT_EQ(folders, (std::vector<std::string>{"x", "dir"}));

    EXPECT_EQ(SplitPathComponents("dir\\sub\\", &drive, &name, &extension, &folders), 2);
    EXPECT_EQ(drive, "");
    EXPECT_EQ(name + extension, "");
    EXPECT_EQ(folders, (std::vector<std::string>{"dir", "sub"}));

    EXPECT_EQ(SplitPathComponents("C:x\\.profile", &drive, &name, &extension, &folders), 1);
    EXPECT_EQ(drive, "C:");
    EXPECT_EQ(name, "");
    EXPECT_EQ(extension, ".profile");

    EXPECT_EQ(SplitPathComponents("C:\\README", nullptr, &name, &extension, &folders), 0);
    EXPECT_EQ(name, "README");
    EXPECT_EQ(extension, "");
    EXPECT_TRUE(folders.empty());
    EXPECT_EQ(SplitPathComponents("\\a\\\\b\\c", nullptr, nullptr, nullptr, nullptr), 3);
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(PathCompareTest, ComparesComponentsWithoutCase) {
    EXPECT_EQ(ComparePaths("a\\b", "A\\B"), 0);
    EXPECT_LT(ComparePaths("a\\b", "a\\b\\c"), 0);
    EXPECT_GT(ComparePaths("a\\b\\c", "a\\b"), 0);
    EXPECT_LT(ComparePaths("abc", "ABD"), 0);
    EXPECT_GT(ComparePaths("b\\x", "a\\y"), 0);
    EXPECT_EQ(ComparePaths("\xC9t\xC9", "\xE9T\xE9"), 0);
    // Within one folder its files come first, then each subfolder with its contents.
    EXPECT_LT(ComparePaths("r\\z.txt", "r\\a\\"), 0);
    EXPECT_LT(ComparePaths("r\\a\\", "r\\a\\b.txt"), 0);

    std::vector<std::string> paths = {"C:\\r\\b\\c.txt", "C:\\r\\b\\", "C:\\r\\B.txt",
                                      "C:\\r\\a.txt",    "C:\\r\\a\\", "C:\\r\\a\\z\\"};
    std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return ComparePaths(a.c_str(), b.c_str()) < 0;
    });
    EXPECT_EQ(paths, (std::vector<std::string>{"C:\\r\\a.txt", "C:\\r\\B.txt", "C:\\r\\a\\",
                                               "C:\\r\\a\\z\\", "C:\\r\\b\\", "C:\\r\\b\\c.txt"}));
    EXPECT_EQ(Sign(ComparePaths("x\\b", "x\\a")), -Sign(ComparePaths("x\\a", "x\\b")));
}

TEST(PathCompareTest, PatternsMatchTheLastComponents) {
    EXPECT_EQ(MatchFileName("C:\\x\\README", "*.*"), 1);
    EXPECT_EQ(MatchFileName("README", "*."), 1);
    EXPECT_EQ(MatchFileName("README", "readme"), 1);
    EXPECT_EQ(MatchFileName("a.txt", "*."), 0);
    EXPECT_EQ(MatchFileName("C:\\x\\A.TXT", "*.txt"), 1);
    EXPECT_EQ(MatchFileName("C:\\x\\dir\\", "dir"), 1);
    EXPECT_EQ(MatchFileName("C:\\x\\a.txt", "x"), 0);
    EXPECT_EQ(MatchFileName("C:\\x\\a.txt", "[a-"), 0);
    EXPECT_EQ(MatchPath("C:\\x\\dir\\a.txt", "dir\\*.txt"), 1);
    EXPECT_EQ(MatchPath("C:\\x\\dir\\sub\\a.txt", "dir\\*.txt"), 0);
    EXPECT_EQ(MatchPath("C:\\dir\\x\\dir\\a.txt", "dir\\*.txt"), 1);
    EXPECT_EQ(MatchPath("C:\\x\\DIR\\a.txt", "x\\d?r\\*.*"), 1);
    EXPECT_EQ(MatchPath("C:\\x\\dir\\a.txt", "y\\dir\\*.*"), 0);
    EXPECT_EQ(MatchPath("C:\\a.txt", "dir\\*.txt"), 0);
    EXPECT_EQ(MatchPath("C:\\x\\dir\\a.doc", "dir\\*.txt"), 0);
    EXPECT_EQ(MatchPath("C:\\x\\dir\\", "dir\\"), 1);
    EXPECT_EQ(MatchPath("C:\\x\\dir\\a.txt", "dir\\"), 0);
    EXPECT_EQ(MatchPath("C:\\x\\dir\\Makefile", "dir\\*.*"), 1);
    EXPECT_EQ(MatchPath("C:\\x\\dir\\a.txt", "*.TXT"), 1);

    std::vector<std::string> patterns = {"*.doc", "dir\\*.txt", "*.txt"};
    EXPECT_EQ(MatchAny("C:\\dir\\a.txt", patterns), 1);
    EXPECT_EQ(MatchAny("C:\\other\\a.txt", patterns), 2);
    EXPECT_EQ(MatchAny("C:\\b.bin", patterns), -1);
    EXPECT_EQ(MatchAny("C:\\b.bin", {}), -1);
}

} // namespace
