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
    // A 2 x 1 bitmap of 4 bits a pixel, with its 16 colours.
    std::string bmp4("BM\x7A\0\0\0\0\0\0\0\x76\0\0\0\x28\0\0\0\2\0\0\0\1\0\0\0\1\0\4\0", 30);
    bmp4 += std::string(24, '\0') + std::string(64, '\x40') + std::string(4, '\x12');
    dir.WriteFile("four-bits.bmp", bmp4);
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
         "p.zpk:3: 'not-an-image.png' is not an image file the player can read: its format is "
         "none the player reads, or its header is damaged"},
        {"entry E\nbank image\nfile four-bits.bmp",
         "p.zpk:3: 'four-bits.bmp' is not an image file the player can read: its pixels have "
         "fewer than 8 bits, which only PNG images may have"},
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

// Linux editors write UTF-8; the player reads Windows-1252.
TEST_F(ManifestTest, Utf8NamesAndModulesAreStoredInWindows1252) {
    dir.WriteFile("h\xC3\xA9llo.zs", "\xEF\xBB\xBFx = \"Gr\xC3\xBC\xC3\x9F"
                                     "e, caf\xC3\xA9 \xE2\x82\xAC\";\n");
    dir.WriteFile("old.zs", "y = \"caf\xE9\";\n"); // already Windows-1252: not valid UTF-8
    dir.WriteFile("init.zs", "\xEF\xBB\xBFz = 1;\n");
    ASSERT_EQ(Parse("entry \xC3\x9Cn\xC3\xAF"
                    "code\n"
                    "init-source init.zs\n"
                    "module h\xC3\xA9llo.zs folder=D\xC3\xA9j\xC3\xA0\n"
                    "module old.zs\n"
                    "bank string \xC3\x89"
                    "crits\n"
                    "text gr\xC3\xBC\xC3\x9F \"na\xC3\xAFve \xE2\x80\x9Cquoted\xE2\x80\x9D\"\n"),
              "");
    const PackEntry& entry = project.entries[0];
    EXPECT_EQ(entry.name, "\xDCn\xEF"
                          "code");
    EXPECT_EQ(entry.initialSource, "z = 1;\n");
    const PackBank& sources = entry.banks[0];
    ASSERT_EQ(sources.elements.size(), 2u);
    EXPECT_EQ(sources.elements[0].name, "h\xE9llo.zs");
    EXPECT_EQ(sources.elements[0].folder, "D\xE9j\xE0");
    EXPECT_EQ(std::string(sources.elements[0].data.begin(), sources.elements[0].data.end()),
              "x = \"Gr\xFC\xDF"
              "e, caf\xE9 \x80\";\n");
    EXPECT_EQ(std::string(sources.elements[1].data.begin(), sources.elements[1].data.end()),
              "y = \"caf\xE9\";\n");
    const PackBank& strings = entry.banks.back();
    EXPECT_EQ(strings.name, "\xC9"
                            "crits");
    EXPECT_EQ(strings.elements[0].name, "gr\xFC\xDF");
    EXPECT_EQ(std::string(strings.elements[0].data.begin(), strings.elements[0].data.end()),
              "na\xEFve \x93quoted\x94");

    // A manifest that is not UTF-8 keeps its bytes.
    dir.WriteFile("caf\xE9.zs", "");
    ASSERT_EQ(Parse("entry Caf\xE9\nmodule caf\xE9.zs\n"), "");
    EXPECT_EQ(project.entries[0].name, "Caf\xE9");
    EXPECT_EQ(project.entries[0].banks[0].elements[0].name, "caf\xE9.zs");
}

TEST_F(ManifestTest, ACharacterWindows1252CannotHoldIsAnErrorWhereItStands) {
    dir.WriteFile("m.zs", "");
    dir.WriteFile("greek.zs", "a = 1;\r\nb = \"\xCE\xB1\";\n");
    EXPECT_EQ(Parse("entry E\nmodule m.zs\nmodule greek.zs\n"),
              dir.Linux("greek.zs") + ":2: U+03B1 '\xCE\xB1' cannot be written in Windows-1252, "
                                      "the player's character set");
    EXPECT_EQ(Parse("\n\nentry \xE2\x9C\x93\nmodule m.zs\n"),
              "p.zpk:3: entry name '\xE2\x9C\x93' holds U+2713 '\xE2\x9C\x93', which "
              "Windows-1252 cannot hold");
    EXPECT_EQ(Parse("entry E\nmodule m.zs\nbank string\ntext t \"\xF0\x9F\x99\x82\"\n"),
              "p.zpk:4: the text of 't' holds U+1F642 '\xF0\x9F\x99\x82', which Windows-1252 "
              "cannot hold");
}

TEST_F(ManifestTest, GameInputTakesAutoStartAndTheDefaultGameType) {
    dir.WriteFile("input.txt", "Game\n");
    dir.WriteFile("main.zs", "x = 1;\n");
    ASSERT_EQ(Parse("entry E\n  module main.zs\n  game-input on input.txt auto-start default=2\n"),
              "");
    ASSERT_TRUE(project.entries[0].gameInput.has_value());
    EXPECT_EQ(project.entries[0].gameInput->autoStart, 1);
    EXPECT_EQ(project.entries[0].gameInput->defaultSetting, 2u);
    EXPECT_EQ(project.entries[0].gameInput->settings, "Game\n");
    ASSERT_EQ(Parse("entry E\n  module main.zs\n  game-input on auto-start\n"), "");
    EXPECT_TRUE(project.entries[0].gameInput->settings.empty());
    EXPECT_EQ(project.entries[0].gameInput->defaultSetting, 0u);
    EXPECT_NE(Parse("entry E\n  module main.zs\n  game-input on input.txt start\n"), "");
    EXPECT_NE(Parse("entry E\n  module main.zs\n  game-input on default=x\n"), "");
}
