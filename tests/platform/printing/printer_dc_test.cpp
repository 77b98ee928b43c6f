#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes/shapes_dc.h"
#include "platform/gdi/text/text_out.h"
#include "platform/kernel/errors.h"
#include "platform/printing/printing.h"
#include "support/temp_dir.h"

namespace {

class PrinterDC : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("ZORV_PRINTER");
        unsetenv("LC_ALL");
        setenv("LC_PAPER", "C", 1);
    }
    void TearDown() override { unsetenv("ZORV_PRINTER"); }

    static DOCINFOA Document(const std::string& output) {
        static std::string kept;
        kept = output;
        DOCINFOA info{};
        info.cbSize = sizeof info;
        info.lpszDocName = "test";
        info.lpszOutput = kept.c_str();
        return info;
    }

    test_support::TempDir dir;
};

TEST_F(PrinterDC, PagesFollowThePaperAndTheProfileNamesTheDefaultPrinter) {
    HDC a4 = CreateDCA(nullptr, "PDF", nullptr, nullptr);
    ASSERT_NE(a4, 0u);
    EXPECT_EQ(GetDeviceCaps(a4, LOGPIXELSX), 300);
    EXPECT_EQ(GetDeviceCaps(a4, PHYSICALWIDTH), 2480);
    EXPECT_EQ(GetDeviceCaps(a4, PHYSICALHEIGHT), 3508);
    EXPECT_EQ(GetDeviceCaps(a4, PHYSICALOFFSETX), 75);
    EXPECT_EQ(GetDeviceCaps(a4, HORZRES), 2330);
    EXPECT_EQ(GetDeviceCaps(a4, TECHNOLOGY), DT_RASPRINTER);
    POINT size{};
    EXPECT_EQ(Escape(a4, GETPHYSPAGESIZE, 0, nullptr, &size), 1);
    EXPECT_EQ(size.x, 2480);
    EXPECT_EQ(size.y, 3508);
    EXPECT_TRUE(DeleteDC(a4));

    DEVMODEA letter{};
    letter.dmFields = DM_PAPERSIZE | DM_ORIENTATION;
    letter.dmPaperSize = DMPAPER_LETTER;
    letter.dmOrientation = DMORIENT_LANDSCAPE;
    HDC wide = CreateDCA(nullptr, nullptr, nullptr, &letter);
    ASSERT_NE(wide, 0u);
    EXPECT_EQ(GetDeviceCaps(wide, VERTRES), 2550 - 150);
    EXPECT_TRUE(DeleteDC(wide));

    char entry[128];
    GetProfileStringA("windows", "device", "", entry, sizeof entry);
    EXPECT_STREQ(entry, "PDF,zorv,PDF:");
    setenv("ZORV_PRINTER", "none", 1);
    GetProfileStringA("windows", "device", "no printer", entry, sizeof entry);
    EXPECT_STREQ(entry, "no printer");
    EXPECT_EQ(CreateDCA(nullptr, nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);
    EXPECT_EQ(platform::PrinterNames(), std::vector<std::string>{"PDF"});
}

TEST_F(PrinterDC, WhatReadsThePageBackIsRefusedAndTheRestDraws) {
    HDC dc = CreateDCA(nullptr, "PDF", nullptr, nullptr);
    DOCINFOA info = Document(dir.Win("page.pdf"));
    ASSERT_GT(StartDocA(dc, &info), 0);
    ASSERT_GT(StartPage(dc), 0);
    EXPECT_EQ(GetPixel(dc, 10, 10), CLR_INVALID);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    EXPECT_FALSE(PatBlt(dc, 0, 0, 100, 100, DSTINVERT));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ previous = SelectObject(dc, red);
    EXPECT_TRUE(PatBlt(dc, 0, 0, 100, 100, PATCOPY));
    EXPECT_TRUE(Rectangle(dc, 200, 200, 400, 300));
    EXPECT_TRUE(TextOutA(dc, 100, 500, "Printed words", 13));
    SelectObject(dc, previous);
    DeleteObject(red);
    EXPECT_GT(EndPage(dc), 0);
    EXPECT_GT(EndDoc(dc), 0);
    std::string pdf = dir.ReadFile("page.pdf");
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    // The words are text in an embedded face, not a picture of them.
    EXPECT_NE(pdf.find("/FontFile"), std::string::npos);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(PrinterDC, AnAbortedOrAbandonedDocumentLeavesNoFile) {
    HDC dc = CreateDCA(nullptr, "PDF", nullptr, nullptr);
    DOCINFOA info = Document(dir.Win("aborted.pdf"));
    ASSERT_GT(StartDocA(dc, &info), 0);
    EXPECT_EQ(StartDocA(dc, &info), SP_ERROR);
    StartPage(dc);
    EXPECT_GT(AbortDoc(dc), 0);
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
    info = Document(dir.Win("abandoned.pdf"));
    ASSERT_GT(StartDocA(dc, &info), 0);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(dir.Exists("aborted.pdf"));
    EXPECT_FALSE(dir.Exists("abandoned.pdf"));
    // Without a provider for its question the PDF printer opens no document.
    HDC asking = CreateDCA(nullptr, "PDF", nullptr, nullptr);
    DOCINFOA unnamed{};
    unnamed.cbSize = sizeof unnamed;
    EXPECT_EQ(StartDocA(asking, &unnamed), SP_ERROR);
    EXPECT_EQ(GetLastError(), ERROR_CANCELLED);
    EXPECT_TRUE(DeleteDC(asking));
}

TEST_F(PrinterDC, AFolderPrinterNumbersItsDocuments) {
    dir.WriteFile("out/print-0001.pdf", "taken");
    setenv("ZORV_PRINTER", ("file:" + dir.Linux("out")).c_str(), 1);
    EXPECT_EQ(platform::DefaultPrinterName(), "file:" + dir.Linux("out"));
    HDC dc = CreateDCA(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dc, 0u);
    DOCINFOA info{};
    info.cbSize = sizeof info;
    for (int i = 0; i < 2; ++i) {
        ASSERT_GT(StartDocA(dc, &info), 0);
        StartPage(dc);
        EndPage(dc);
        ASSERT_GT(EndDoc(dc), 0);
    }
    EXPECT_EQ(dir.ReadFile("out/print-0001.pdf"), "taken");
    EXPECT_EQ(dir.ReadFile("out/print-0002.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(dir.ReadFile("out/print-0003.pdf").substr(0, 5), "%PDF-");
    EXPECT_TRUE(DeleteDC(dc));
}

} // namespace
