#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/gdi/dc_state.h"
#include "platform/gdi/screen_dc.h"
#include "platform/printing/printing.h"
#include "platform/user/dialogs/scripted_dialogs.h"

namespace {

class CommonDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetCommonDialogProvider(dialogs);
        unsetenv("ZORV_PRINTER");
    }
    void TearDown() override { platform::SetCommonDialogProvider(nullptr); }

    static OPENFILENAMEA Request(char* buffer, DWORD size, DWORD flags) {
        OPENFILENAMEA request{};
        request.lStructSize = sizeof request;
        request.lpstrFile = buffer;
        request.nMaxFile = size;
        request.Flags = flags | OFN_NOCHANGEDIR;
        return request;
    }

    std::shared_ptr<platform::test::ScriptedDialogs> dialogs =
        std::make_shared<platform::test::ScriptedDialogs>();
};

TEST_F(CommonDialogs, FileChoicesFillTheBufferWithOffsetsAndRefuseWhatDoesNotFit) {
    dialogs->files = {platform::FileDialogAnswer{"C:\\pictures", {"sun.bmp"}, 2},
                      platform::FileDialogAnswer{"C:\\pictures", {"a.bmp", "bb.bmp"}, 1},
                      platform::FileDialogAnswer{"C:\\pictures", {"a.bmp", "bb.bmp"}, 1},
                      platform::FileDialogAnswer{"C:\\pictures", {"long-name.bmp"}, 1}};
    char buffer[64] = "start.bmp";
    OPENFILENAMEA request = Request(buffer, sizeof buffer, 0);
    ASSERT_TRUE(GetOpenFileNameA(&request));
    EXPECT_STREQ(buffer, "C:\\pictures\\sun.bmp");
    EXPECT_EQ(request.nFileOffset, 12);
    EXPECT_EQ(request.nFileExtension, 16);
    EXPECT_EQ(request.nFilterIndex, 2u);
    EXPECT_EQ(dialogs->fileRequests[0].initialName, "start.bmp");

    request = Request(buffer, sizeof buffer, OFN_ALLOWMULTISELECT | OFN_EXPLORER);
    ASSERT_TRUE(GetOpenFileNameA(&request));
    EXPECT_EQ(std::string(buffer, 26), std::string("C:\\pictures\0a.bmp\0bb.bmp\0\0", 26));
    EXPECT_EQ(request.nFileOffset, 12);
    // Without multi-selection only the first name comes back.
    request = Request(buffer, sizeof buffer, 0);
    ASSERT_TRUE(GetSaveFileNameA(&request));
    EXPECT_STREQ(buffer, "C:\\pictures\\a.bmp");

    char small[16] = "keep";
    request = Request(small, sizeof small, 0);
    EXPECT_FALSE(GetOpenFileNameA(&request));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    WORD needed = 0;
    std::memcpy(&needed, small, sizeof needed);
    EXPECT_EQ(needed, std::strlen("C:\\pictures\\long-name.bmp") + 1);

    // Nothing queued: a cancel, which is no failure.
    request = Request(buffer, sizeof buffer, 0);
    EXPECT_FALSE(GetOpenFileNameA(&request));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    request.lStructSize = 12;
    EXPECT_FALSE(GetOpenFileNameA(&request));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
}

TEST_F(CommonDialogs, FilterTextsSplitIntoPairsWithinTheirLimit) {
    const char filter[] = "Pictures\0*.bmp;*.png\0All\0*.*\0\0";
    auto pairs = platform::SplitFilterText(filter, sizeof filter);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[1], std::make_pair(std::string("All"), std::string("*.*")));
    // A description without its pattern is dropped; nothing past the limit is read.
    const char cut[] = {'A', '\0', '*', '.', 'x', 'B', '\0'};
    pairs = platform::SplitFilterText(cut, sizeof cut);
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0].second, "*.xB");
    pairs = platform::SplitFilterText(cut, 4);
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0].second, "*.");
    EXPECT_TRUE(platform::SplitFilterText("Lonely\0", 7).empty());
}

TEST_F(CommonDialogs, FontAndPrintAnswersFollowTheFlags) {
    platform::FontDialogAnswer font;
    font.font.lfUnderline = 1;
    std::strcpy(font.font.lfFaceName, "DejaVu Sans");
    font.pointSize = 120;
    font.color = 0x0000FF;
    dialogs->fonts = {font};
    LOGFONTA chosen{};
    CHOOSEFONTA request{};
    request.lStructSize = sizeof request;
    request.lpLogFont = &chosen;
    request.Flags = CF_SCREENFONTS;
    request.rgbColors = 0x00FF00;
    ASSERT_TRUE(ChooseFontA(&request));
    // Without CF_EFFECTS neither effects nor the colour are chosen.
    EXPECT_EQ(chosen.lfUnderline, 0);
    EXPECT_EQ(request.rgbColors, 0x00FF00u);
    EXPECT_STREQ(chosen.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(request.iPointSize, 120);

    platform::PrintDialogAnswer unknown;
    unknown.printer = "Nowhere";
    platform::PrintDialogAnswer landscape;
    landscape.printer = "PDF";
    landscape.orientation = DMORIENT_LANDSCAPE;
    landscape.paper = DMPAPER_LETTER;
    landscape.range = PD_PAGENUMS;
    landscape.fromPage = 2;
    landscape.toPage = 4;
    landscape.copies = 3;
    landscape.toFile = true;
    dialogs->printers = {unknown, landscape};
    PRINTDLGA print{};
    print.lStructSize = sizeof print;
    print.Flags = PD_RETURNDC | PD_DISABLEPRINTTOFILE;
    EXPECT_FALSE(PrintDlgA(&print));
    EXPECT_EQ(CommDlgExtendedError(), PDERR_PRINTERNOTFOUND);
    ASSERT_TRUE(PrintDlgA(&print));
    ASSERT_NE(print.hDC, 0u);
    EXPECT_EQ(print.Flags & (PD_PAGENUMS | PD_PRINTTOFILE), PD_PAGENUMS);
    EXPECT_EQ(print.nFromPage, 2);
    EXPECT_EQ(print.nToPage, 4);
    EXPECT_EQ(print.nCopies, 3);
    EXPECT_EQ(GetDeviceCaps(print.hDC, PHYSICALWIDTH), 3300);
    EXPECT_EQ(GetDeviceCaps(print.hDC, PHYSICALHEIGHT), 2550);
    EXPECT_TRUE(DeleteDC(print.hDC));
    ASSERT_EQ(dialogs->printRequests.size(), 2u);
    EXPECT_EQ(dialogs->printRequests[0].printers.front(), "PDF");
}

} // namespace
