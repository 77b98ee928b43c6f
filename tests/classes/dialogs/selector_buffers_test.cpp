#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/dialogs/selector_buffers.h"

namespace {

using Paths = std::vector<std::string>;

TEST(SelectorBuffers, ItemsAreReadWithinTheBufferAndJoinedToTheFolder) {
    const char several[] = "C:\\docs\0a.txt\0b.txt\0\0ignored\0";
    EXPECT_TRUE(selector::HasManyFiles(several, sizeof several));
    EXPECT_EQ(selector::FirstFile(several, sizeof several), "C:\\docs\\a.txt");
    EXPECT_EQ(selector::AllFiles(several, sizeof several),
              (Paths{"C:\\docs\\a.txt", "C:\\docs\\b.txt"}));
    // A root keeps its one separator; a folder with one name still counts as several items.
    const char root[] = "C:\\\0x\0";
    EXPECT_TRUE(selector::HasManyFiles(root, sizeof root));
    EXPECT_EQ(selector::AllFiles(root, sizeof root), Paths{"C:\\x"});
    // No zero at the end: the text stops at the buffer's end.
    const char unended[] = {'C', ':', '\\', 'f'};
    EXPECT_EQ(selector::FirstFile(unended, sizeof unended), "C:\\f");
    EXPECT_FALSE(selector::HasManyFiles(unended, sizeof unended));
    const char empty[4] = {};
    EXPECT_EQ(selector::FirstFile(empty, sizeof empty), "");
    EXPECT_TRUE(selector::AllFiles(empty, sizeof empty).empty());
}

TEST(SelectorBuffers, FiltersTurnBarsIntoZeroesAndEndInTwo) {
    EXPECT_EQ(selector::DialogFilter("Images|*.bmp|"), std::string("Images\0*.bmp\0\0\0", 15));
    EXPECT_EQ(selector::DialogFilter(""), std::string("\0\0", 2));
}

} // namespace
