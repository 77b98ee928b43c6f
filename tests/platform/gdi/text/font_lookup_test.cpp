#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/gdi/text/font_lookup.h"
#include "platform/gdi/text/font_pinned_set.h"

namespace {

using font_test::PinnedFonts;
using platform::FaceTableFamily;
using platform::FindFontFile;
using platform::FontFile;

std::string FileName(const FontFile& file) {
    return file.path.substr(file.path.find_last_of('/') + 1);
}

TEST(FontFaceTable, WindowsFacesTakeTheirMetricCompatibleFamilies) {
    EXPECT_EQ(FaceTableFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(FaceTableFamily("times new ROMAN"), "Liberation Serif");
    EXPECT_EQ(FaceTableFamily("Courier New"), "Liberation Mono");
    for (const char* face : {"MS Sans Serif", "MS Shell Dlg", "System", "Tahoma"})
        EXPECT_EQ(FaceTableFamily(face), "Liberation Sans") << face;
    EXPECT_EQ(FaceTableFamily("Verdana"), "");
    EXPECT_EQ(FaceTableFamily("Arial Black"), "");
}

TEST(FontFaceTable, FaceNamesEndAtTheirNulOrTheField) {
    LOGFONTA font{};
    std::memset(font.lfFaceName, 'A', LF_FACESIZE); // no NUL at all
    EXPECT_EQ(platform::FaceNameOf(font).size(), static_cast<size_t>(LF_FACESIZE));
    std::snprintf(font.lfFaceName, LF_FACESIZE, "Arial");
    EXPECT_EQ(platform::FaceNameOf(font), "Arial");
}

TEST_F(PinnedFonts, StylesComeFromTheirOwnFilesWhenTheFamilyHasThem) {
    EXPECT_EQ(FileName(FindFontFile(Font("Arial", -12))), "LiberationSans-Regular.ttf");
    FontFile bold = FindFontFile(Font("Arial", -12, FW_BOLD));
    EXPECT_EQ(FileName(bold), "LiberationSans-Bold.ttf");
    EXPECT_FALSE(bold.synthesizeBold);
    FontFile both = FindFontFile(Font("Courier New", -12, FW_HEAVY, true));
    EXPECT_EQ(FileName(both), "LiberationMono-BoldItalic.ttf");
    EXPECT_FALSE(both.synthesizeBold || both.synthesizeItalic);
    EXPECT_EQ(FileName(FindFontFile(Font("Times New Roman", -12, FW_SEMIBOLD))),
              "LiberationSerif-Bold.ttf");
    // A weight below semi-bold stays regular.
    EXPECT_EQ(FileName(FindFontFile(Font("Arial", -12, FW_MEDIUM))), "LiberationSans-Regular.ttf");
    // Faces outside the table go to fontconfig by name.
    EXPECT_EQ(FileName(FindFontFile(Font("DejaVu Sans Mono", -12))), "DejaVuSansMono.ttf");
    // The set has no oblique DejaVu Sans: the upright face is slanted.
    FontFile slanted = FindFontFile(Font("DejaVu Sans", -12, FW_NORMAL, true));
    EXPECT_EQ(FileName(slanted), "DejaVuSans.ttf");
    EXPECT_TRUE(slanted.synthesizeItalic);
}

TEST_F(PinnedFonts, UnknownAndEmptyFacesGoByPitchAndFamily) {
    LOGFONTA font = Font("No Such Face", -12);
    EXPECT_EQ(FileName(FindFontFile(font)), "LiberationSans-Regular.ttf");
    font.lfPitchAndFamily = FF_ROMAN | VARIABLE_PITCH;
    EXPECT_EQ(FileName(FindFontFile(font)), "LiberationSerif-Regular.ttf");
    font.lfPitchAndFamily = FIXED_PITCH;
    EXPECT_EQ(FileName(FindFontFile(font)), "LiberationMono-Regular.ttf");
    LOGFONTA empty = Font("", -12);
    empty.lfPitchAndFamily = FF_MODERN;
    EXPECT_EQ(FileName(FindFontFile(empty)), "LiberationMono-Regular.ttf");
}

TEST_F(PinnedFonts, MissingStylesAreMarkedForSynthesis) {
    // A set holding one regular face: bold and italic must be made from it.
    test_support::TempDir only;
    only.WriteFile("fonts/keep", "");
    std::filesystem::copy_file(std::string(font_test::LIBERATION_FOLDER) +
                                   "/LiberationSans-Regular.ttf",
                               only.Linux("fonts/LiberationSans-Regular.ttf"));
    font_test::PinFolders(only, font_test::Dir(only.Linux("fonts")));
    FontFile file = FindFontFile(Font("Arial", -12, FW_BOLD, true));
    EXPECT_EQ(FileName(file), "LiberationSans-Regular.ttf");
    EXPECT_TRUE(file.synthesizeBold);
    EXPECT_TRUE(file.synthesizeItalic);
}

TEST_F(PinnedFonts, AnEmptySetFindsNoFile) {
    test_support::TempDir none;
    none.WriteFile("fonts/keep", "");
    font_test::PinFolders(none, font_test::Dir(none.Linux("fonts")));
    EXPECT_TRUE(FindFontFile(Font("Arial", -12)).path.empty());
}

} // namespace
