#include "foundation/files/file_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "foundation/files/path_compare.h"
#include "platform/files/drives.h"
#include "platform/user/input/keyboard_state.h"
#include "support/temp_dir.h"

namespace {

using Paths = std::vector<std::string>;

class FileListTest : public ::testing::Test {
protected:
    FileListTest() {
        for (const char* name : {"a.txt", "b.doc", "README", "sub/c.txt", "sub/deep/d.txt",
                                 "Zeta/e.TXT", "skip/f.txt"})
            dir.WriteFile(name, name);
        root = dir.WinPath() + "\\";
    }
    void TearDown() override { platform::test::SetKeyDown(VK_ESCAPE, false); }

    // The results below the tree's root, in their order.
    Paths Relative(const CFileList& list) const {
        Paths relative;
        for (const std::string& path : list.GetResults())
            relative.push_back(path.compare(0, root.size(), root) == 0 ? path.substr(root.size())
                                                                       : path);
        return relative;
    }
    static Paths Sorted(Paths paths) {
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    test_support::TempDir dir;
    std::string root;
};

TEST_F(FileListTest, ListsFilesMatchingIncludesAndNoExclude) {
    CFileList list;
    list.AddIncludePatterns("*.txt");
    ASSERT_EQ(list.ListFiles(root.c_str(), CFileList::kFiles), 1);
    EXPECT_EQ(Relative(list), Paths{"a.txt"});

    CFileList recursive;
    recursive.AddIncludePatterns("*.txt;*.doc", ';');
    recursive.AddExcludePatterns("sub\\deep\\*.*,skip");
    ASSERT_EQ(recursive.ListFiles(dir.WinPath().c_str(), CFileList::kFiles | CFileList::kRecurse),
              1);
    EXPECT_EQ(Sorted(Relative(recursive)), (Paths{"Zeta\\e.TXT", "a.txt", "b.doc", "sub\\c.txt"}));

    CFileList noIncludes;
    ASSERT_EQ(noIncludes.ListFiles(root.c_str(), CFileList::kFiles | CFileList::kRecurse), 1);
    EXPECT_TRUE(noIncludes.GetResults().empty());

    CFileList missing;
    missing.AddIncludePatterns("*.*");
    EXPECT_EQ(missing.ListFiles((root + "nothing\\").c_str(), CFileList::kFiles), 1);
    EXPECT_TRUE(missing.GetResults().empty());
}

TEST_F(FileListTest, SortedListingFollowsComparePaths) {
    CFileList list;
    list.AddIncludePatterns("*.*");
    list.AddExcludePatterns("skip");
    ASSERT_EQ(list.ListFiles(root.c_str(), CFileList::kFiles | CFileList::kDirectories |
                                               CFileList::kRecurse | CFileList::kSorted),
              1);
    EXPECT_EQ(Relative(list), (Paths{"a.txt", "b.doc", "README", "sub\\", "sub\\c.txt",
                                     "sub\\deep\\", "sub\\deep\\d.txt", "Zeta\\", "Zeta\\e.TXT"}));
}

TEST_F(FileListTest, SortedInsertionIntoUnorderedResults) {
    // Files after the folders in walk order come before them in ComparePaths order.
    for (int i = 10; i < 30; ++i)
        dir.WriteFile("zz" + std::to_string(i) + ".txt", "");
    CFileList list;
    list.AddIncludePatterns("*.*");
    uint32_t walk = CFileList::kFiles | CFileList::kDirectories | CFileList::kRecurse;
    ASSERT_EQ(list.ListFiles(root.c_str(), walk), 1);
    Paths expected = list.GetResults();
    ASSERT_FALSE(std::is_sorted(expected.begin(), expected.end(),
                                [](const std::string& a, const std::string& b) {
                                    return ComparePaths(a.c_str(), b.c_str()) < 0;
                                }));

    ASSERT_EQ(list.ListFiles((root + "sub").c_str(), walk | CFileList::kSorted), 1);
    // Each new result goes before the first stored one that is greater, in walk order.
    for (const char* added : {"sub\\c.txt", "sub\\deep\\", "sub\\deep\\d.txt"}) {
        std::string path = dir.Win(added);
        auto before = std::find_if(expected.begin(), expected.end(), [&](const std::string& s) {
            return ComparePaths(s.c_str(), path.c_str()) > 0;
        });
        expected.insert(before, path);
    }
    EXPECT_EQ(list.GetResults(), expected);
}

TEST_F(FileListTest, DirectoriesOnlyAndNamesOnly) {
    CFileList folders;
    ASSERT_EQ(folders.ListFiles(root.c_str(), CFileList::kDirectories | CFileList::kRecurse), 1);
    EXPECT_EQ(Sorted(Relative(folders)), (Paths{"Zeta\\", "skip\\", "sub\\", "sub\\deep\\"}));

    CFileList names;
    names.AddIncludePatterns("*.txt");
    ASSERT_EQ(names.ListFiles(root.c_str(), CFileList::kFiles | CFileList::kDirectories |
                                                CFileList::kNameOnly | CFileList::kRecurse |
                                                CFileList::kSorted),
              1);
    EXPECT_EQ(names.GetResults(), (Paths{"a.txt", "c.txt", "d.txt", "e.TXT", "f.txt", "deep\\",
                                         "skip\\", "sub\\", "Zeta\\"}));
}

TEST_F(FileListTest, PatternTextsSkipEmptyAndOverlongPieces) {
    CFileList list;
    std::string overlong(MAX_PATH, 'x');
    list.AddIncludePatterns((",*.txt,," + overlong + ",*.doc,").c_str());
    list.AddIncludePatterns("a|b", '|');
    list.AddExcludePatterns(nullptr);
    list.AddExcludePatterns(std::string(MAX_PATH - 1, 'y').c_str());
    EXPECT_EQ(list.GetIncludePatterns(), (Paths{"*.txt", "*.doc", "a", "b"}));
    EXPECT_EQ(list.GetExcludePatterns(), (Paths{std::string(MAX_PATH - 1, 'y')}));
}

TEST_F(FileListTest, EscapeAbortsAndEmptiesTheResults) {
    CFileList list;
    list.AddIncludePatterns("*.*");
    ASSERT_EQ(list.ListFiles(root.c_str(), CFileList::kFiles), 1);
    ASSERT_FALSE(list.GetResults().empty());
    platform::test::SetKeyDown(VK_ESCAPE, true);
    EXPECT_EQ(list.ListFiles(root.c_str(), CFileList::kFiles | CFileList::kRecurse), 0);
    EXPECT_TRUE(list.GetResults().empty());
    platform::test::SetKeyDown(VK_ESCAPE, false);
    EXPECT_EQ(list.ListFiles(root.c_str(), CFileList::kFiles | CFileList::kRecurse), 1);
    EXPECT_EQ(list.GetResults().size(), 7u);
}

TEST_F(FileListTest, LinkedFoldersAreListedButNotWalked) {
    std::filesystem::create_directory_symlink(dir.LinuxPath(), dir.Linux("sub/loop"));
    CFileList list;
    list.AddIncludePatterns("*.txt");
    ASSERT_EQ(list.ListFiles(root.c_str(), CFileList::kFiles | CFileList::kDirectories |
                                               CFileList::kRecurse | CFileList::kSorted),
              1);
    EXPECT_EQ(Relative(list),
              (Paths{"a.txt", "skip\\", "skip\\f.txt", "sub\\", "sub\\c.txt", "sub\\deep\\",
                     "sub\\deep\\d.txt", "sub\\loop\\", "Zeta\\", "Zeta\\e.TXT"}));
}

TEST(FileListDrivesTest, ListsOneRootPerDrive) {
    test_support::TempDir dir;
    platform::SetDriveRoot('Q', dir.LinuxPath());
    CFileList list;
    list.AddResult("first");
    int count = list.ListDrives();
    platform::ResetDriveRoots();
    const Paths& results = list.GetResults();
    ASSERT_EQ(count, static_cast<int>(results.size()));
    EXPECT_EQ(results.front(), "first");
    EXPECT_NE(std::find(results.begin(), results.end(), "C:\\"), results.end());
    EXPECT_NE(std::find(results.begin(), results.end(), "Q:\\"), results.end());
    for (size_t i = 1; i < results.size(); ++i)
        EXPECT_EQ(results[i].size(), 3u) << results[i];
}

} // namespace
