// Formatted text, alignments, a detected link and pictures as the control draws them, against
// reference pictures in golden/ drawn with the pinned font set (within 16 a channel on at
// most 1% of the pixels). ZORV_WRITE_PICTURES=1 writes the pictures anew.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/controls/controls_fixture.h"
#include "platform/controls/rich_edit/rich_edit.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "support/golden_picture.h"

namespace {

using controls_test::ControlTest;

constexpr char kDocument[] =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}}"
    "{\\colortbl ;\\red200\\green0\\blue0;\\red0\\green128\\blue0;}"
    "\\pard\\qc\\b\\fs28 Title\\b0\\fs20\\par"
    "\\pard plain, \\i italic\\i0 , \\ul under\\ulnone , \\strike gone\\strike0 , "
    "\\cf1 red\\cf0 , \\f1\\cf2 serif\\f0\\cf0\\par"
    "\\qr right\\par\\pard see www.example.com\\tab x}";

DWORD ReadString(DWORD_PTR cookie, BYTE* buffer, LONG count, LONG* done) {
    auto* text = reinterpret_cast<std::string*>(cookie);
    auto n = std::min(text->size(), static_cast<size_t>(count));
    std::memcpy(buffer, text->data(), n);
    text->erase(0, n);
    *done = static_cast<LONG>(n);
    return 0;
}

class RichEditGolden : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        dir.WriteFile("fonts/.keep", "");
        for (const char* name : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                                 "LiberationSans-Italic.ttf", "LiberationSerif-Regular.ttf"})
            Link(font_test::LIBERATION_FOLDER, name);
        font_test::PinFolders(dir, font_test::Dir(dir.Linux("fonts")));
    }
    void TearDown() override {
        platform::test::UseFontConfigFile("");
        ControlTest::TearDown();
    }
    void Link(const std::string& folder, const std::string& name) {
        ASSERT_TRUE(std::filesystem::exists(folder + "/" + name)) << folder << "/" << name;
        std::filesystem::create_symlink(folder + "/" + name, dir.Linux("fonts/" + name));
    }
    platform::headless::Pixels Shot() {
        Pump();
        platform::headless::Pixels pixels;
        EXPECT_TRUE(platform::headless::ReadPixels(parent, pixels));
        return pixels;
    }
    void Check(const std::string& name, const platform::headless::Pixels& drawn) {
        test_support::ExpectLikeGolden(
            std::filesystem::path(__FILE__).parent_path() / "golden" / name, drawn);
    }
    test_support::TempDir dir;
};

TEST_F(RichEditGolden, FormattedTextAlignmentsAndALink) {
    HWND edit = Control(kRichEditClass, "", ES_MULTILINE | ES_SUNKEN, 5, 5, 190, 110);
    std::string rtf = kDocument;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, ReadString};
    SendMessageA(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    SendMessageA(edit, EM_AUTOURLDETECT, TRUE, 0);
    SendMessageA(edit, EM_SETBKGNDCOLOR, 0, 0xE0FFFF);
    Check("rich_edit_formats.png", Shot());

    // Disabled, the text is grey on the same background.
    EnableWindow(edit, FALSE);
    Check("rich_edit_disabled.png", Shot());
}

// A PNG with transparent columns over the background, a JPEG scaled by half again and a
// DIB at its goal size, then a metafile and an object as frames.
TEST_F(RichEditGolden, PicturesInlineAtTheirSizes) {
    std::ifstream file(std::filesystem::path(__FILE__).parent_path() / "pictures.rtf",
                       std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    std::string rtf = bytes.str();
    HWND edit = Control(kRichEditClass, "", ES_MULTILINE, 5, 5, 190, 110);
    SendMessageA(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, ReadString};
    SendMessageA(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    SendMessageA(edit, EM_SETBKGNDCOLOR, 0, 0xC0E0FF);
    platform::headless::Pixels drawn = Shot();
    Check("rich_edit_pictures.png", drawn);
}

} // namespace
