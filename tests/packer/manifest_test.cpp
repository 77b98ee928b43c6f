#include "packer/manifest.h"

#include <gtest/gtest.h>

#include "packer/class_list.h"
#include "packer/manifest_line.h"
#include "script/project/project_format.h"
#include "support/temp_dir.h"

namespace pf = project_format;

namespace {

class ManifestTest : public ::testing::Test {
protected:
    // Parses `text` with files relative to the temporary folder; the error or "".
    std::string Parse(const std::string& text) {
        std::string error;
        project = PackProject{};
        if (ParseManifest(text, "p.zpk", dir.LinuxPath(), project, error)) return "";
        return error;
    }

    test_support::TempDir dir;
    PackProject project;
};

} // namespace

TEST(ManifestLine, SplitsWordsWithQuotesEscapesAndComments) {
    std::vector<std::string> words;
    std::string error;
    ASSERT_TRUE(
        SplitManifestLine("  text  hi \"a b\\\"c\" folder=\"My Pics\" # note", words, error));
    EXPECT_EQ(words, (std::vector<std::string>{"text", "hi", "a b\"c", "folder=My Pics"}));
    ASSERT_TRUE(SplitManifestLine("text e \"\" \"x#y\\n\"", words, error));
    EXPECT_EQ(words, (std::vector<std::string>{"text", "e", "", "x#y\n"}));
    ASSERT_TRUE(SplitManifestLine("\t# only a comment\r", words, error));
    EXPECT_TRUE(words.empty());
    EXPECT_FALSE(SplitManifestLine("text a \"open", words, error));
    EXPECT_FALSE(SplitManifestLine("text a \"\\q\"", words, error));
}

TEST_F(ManifestTest, RawImagesArePaddedAndShareTheirPalette) {
    dir.WriteFile("m.zs", "");
    dir.WriteFile("tight.raw", std::string(6, '\x10')); // 3 x 2 at 8 bits
    dir.WriteFile("padded.raw", std::string(8, '\x20'));
    dir.WriteFile("grey.pal", std::string(1024, '\x33'));
    dir.WriteFile("mask.bin", std::string(6, '\x01'));
    ASSERT_EQ(Parse("entry E\nmodule m.zs\nbank image\n"
                    "raw tight.raw width=3 height=2 depth=8 palette=grey.pal mask=mask.bin\n"
                    "raw padded.raw width=3 height=2 depth=8 palette=grey.pal x=2 packed\n"),
              "");
    const PackBank& images = project.entries[0].banks[1];
    EXPECT_EQ(images.name, "Images");
    ASSERT_EQ(images.elements.size(), 2u);
    EXPECT_EQ(images.elements[0].data, (std::vector<uint8_t>{16, 16, 16, 0, 16, 16, 16, 0}));
    EXPECT_EQ(images.elements[0].mask.size(), 6u);
    EXPECT_EQ(images.elements[1].data, std::vector<uint8_t>(8, 0x20));
    EXPECT_TRUE(images.elements[1].packed);
    EXPECT_EQ(images.elements[1].x, 2u);
    ASSERT_EQ(images.palettes.size(), 1u);
    EXPECT_EQ(images.elements[0].paletteIndex, 0u);
    EXPECT_EQ(images.elements[1].paletteIndex, 0u);
}

TEST_F(ManifestTest, DefaultsToEveryBuiltInClassAndTheDefaultPalette) {
    dir.WriteFile("m.zs", "");
    // A byte-order mark some editors write is not part of the first keyword.
    ASSERT_EQ(Parse("\xEF\xBB\xBF"
                    "entry E\r\nmodule m.zs\r\n"),
              "");
    EXPECT_EQ(project.classes, BuiltinClassList());
    EXPECT_EQ(project.entries[0].palette, DefaultPackPalette());
    EXPECT_EQ(project.entries[0].cpuShare, 100u);
    EXPECT_FALSE(project.entries[0].gameInput);
}

TEST_F(ManifestTest, ErrorsNameTheLine) {
    dir.WriteFile("m.zs", "");
    dir.WriteFile("four.raw", "abcd");
    dir.WriteFile("not-an-image.png", "hello");
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"module m.zs", "p.zpk:1: 'module' outside an entry (start one with 'entry NAME')"},
        {"entry E\n\n  frobnicate 1", "p.zpk:3: unknown keyword 'frobnicate'"},
        {"entry E\ncpu-share 101", "p.zpk:2: cpu-share: 101 is above 100"},
        {"entry E\ncolour green", "p.zpk:2: colour: 'green' is not a number"},
        {"entry E\nfile m.zs", "p.zpk:2: 'file' outside a bank (start one with 'bank TYPE NAME')"},
        {"entry E\nmodule gone.zs", "p.zpk:2: cannot read 'gone.zs'"},
        {"entry E\nmodule m.zs colour=1", "p.zpk:2: unknown option 'colour=1'"},
        {"entry E\nentry e", "p.zpk:2: entry 'e' is listed twice"},
        {"entry E\nmodule m.zs\nmodule m.zs",
         "p.zpk:3: element 'm.zs' is listed twice in bank 'Source'"},
        {"entry E\nbank pictures", "p.zpk:2: unknown bank type 'pictures' (image, animation, "
                                   "sound, music, string, 3d or binary)"},
        {"entry E\nbank sound A\nbank sound B",
         "p.zpk:3: entry 'E' already has a bank of type sound"},
        {"entry E\nbank binary Images", "p.zpk:2: bank name 'Images' is already used in entry 'E'"},
        {"entry E\nbank binary a:b", "p.zpk:2: bank name 'a:b' must not contain ':'"},
        {"entry E\nbank image\nraw four.raw width=3 height=1 depth=12",
         "p.zpk:3: depth 12 is not one of 1, 4, 8, 15, 16, 24, 32"},
        {"entry E\nbank image\nraw four.raw width=3 height=2 depth=8",
         "p.zpk:3: 'four.raw' holds 4 bytes; a 3 x 2 image of depth 8 needs 8 (rows padded to 4 "
         "bytes) or 6"},
        {"entry E\nbank image\nfile not-an-image.png",
         "p.zpk:3: 'not-an-image.png' is not an image file the player can read"},
        {"entry E\nbank image\ntext t \"x\"", "p.zpk:3: 'text' does not suit an image bank"},
        {"entry E\nbank string\ntext t \"open", "p.zpk:3: unterminated quote"},
        {"entry E\nmodule m.zs\nclasses all",
         "p.zpk:3: 'classes' must come before the first entry"},
        {"classes Sprites", "p.zpk:1: unknown class 'Sprites'"},
        {"", "p.zpk: no application entry (add an 'entry NAME' line)"},
        {"entry E\nbank binary", "p.zpk: no script module (add a 'module FILE' line)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parse(c.text), c.error) << c.text;
}

TEST_F(ManifestTest, ReadsTheManifestFileOfAFolder) {
    dir.WriteFile("game/project.zpk", "entry E\nmodule m.zs\n");
    dir.WriteFile("game/m.zs", "x = 1;");
    std::string error;
    ASSERT_TRUE(ReadManifestFile(dir.Linux("game"), project, error)) << error;
    EXPECT_EQ(project.entries[0].banks[0].elements[0].data.size(), 6u);
    EXPECT_FALSE(ReadManifestFile(dir.Linux("nothing"), project, error));
    EXPECT_EQ(error, dir.Linux("nothing") + "/project.zpk: cannot read the manifest");
}
