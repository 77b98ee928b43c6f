#include "engine3d/files/path_split.h"

#include <gtest/gtest.h>

namespace {

TEST(PathSplitTest, FolderNameGivesTheFinalNameAfterEitherSeparator) {
    std::string name = "old";
    EXPECT_EQ(SplitFolderName("brick.bmp", name), 0u);
    EXPECT_EQ(name, "");
    EXPECT_EQ(SplitFolderName("C:\\worlds/tex\\brick.bmp", name), 10u);
    EXPECT_EQ(name, "brick.bmp");
    EXPECT_EQ(SplitFolderName("tex/sub\\", name), 1u);
    EXPECT_EQ(name, "");
}

TEST(PathSplitTest, BaseNameCutsOnlyAThreeCharacterExtension) {
    std::string name;
    EXPECT_EQ(SplitBaseName("C:\\tex\\brick.bmp", name), 5u);
    EXPECT_EQ(name, "brick");
    SplitBaseName("stone.jpeg", name);
    EXPECT_EQ(name, "stone.jpeg");
    SplitBaseName("a/b.c", name);
    EXPECT_EQ(name, "b.c");
    SplitBaseName("dir.old/plain", name);
    EXPECT_EQ(name, "plain");
    SplitBaseName("x.y.tga", name);
    EXPECT_EQ(name, "x.y");
}

} // namespace
