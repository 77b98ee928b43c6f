#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/clipboard/clipboard.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/kernel/memory.h"
#include "script/script_runner.h"

namespace {

void PutBlock(UINT format, const std::vector<uint8_t>& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size());
    void* at = GlobalLock(block);
    if (!bytes.empty()) std::memcpy(at, bytes.data(), bytes.size());
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(0));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_EQ(SetClipboardData(format, block), block);
    ASSERT_TRUE(CloseClipboard());
}

std::vector<uint8_t> DibHeader(int32_t width, int32_t height, uint16_t bits) {
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bits;
    std::vector<uint8_t> bytes(40);
    std::memcpy(bytes.data(), &header, 40);
    return bytes;
}

std::string RunScript(const std::string& source) {
    script_test::ScriptRunner runner;
    script_test::ScriptResult result = runner.Run(source);
    EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    return result.output;
}

TEST(ClipboardClass, WhatComesFromElsewhereIsReadWithinItsBlock) {
    // A text without its zero stops at the block's end.
    PutBlock(CF_TEXT, {'a', 'b', 'c'});
    EXPECT_EQ(RunScript("c = New Clipboard(); Print(\"[\" + c.GetText() + \"]\");"), "[abc]\n");

    // Packed bitmaps whose rows, colour table or header lie past the block give 0, and
    // a huge claimed size is not allocated.
    std::vector<uint8_t> shortRows = DibHeader(4, 4, 32);
    shortRows.resize(40 + 63);
    std::vector<uint8_t> shortTable = DibHeader(4, 4, 8);
    shortTable.resize(40 + 1020);
    std::vector<uint8_t> huge = DibHeader(0x7FFFFFF, 0x7FFFFFF, 32);
    std::vector<uint8_t> badHeader = DibHeader(2, 2, 32);
    badHeader.resize(40 + 16);
    badHeader[0] = 12;
    for (const std::vector<uint8_t>* dib : {&shortRows, &shortTable, &huge, &badHeader}) {
        PutBlock(CF_DIB, *dib);
        EXPECT_EQ(RunScript("c = New Clipboard(); Print(c.HasImage(), c.GetImage());"), "1 0\n");
    }

    // An unknown format's block, whatever its size, becomes a Binary of those bytes.
    const UINT format = RegisterClipboardFormatA("Zorv Raw");
    PutBlock(format, {});
    EXPECT_EQ(
        RunScript("c = New Clipboard(); b = c.GetBinary(\"zorv raw\"); Print(b.GetDataSize());"),
        "0\n");
}

TEST(ClipboardClass, ARefusedPutLeavesTheClipboardAsItWas) {
    script_test::ScriptRunner runner;
    script_test::ScriptResult result = runner.Run(
        "c = New Clipboard();\nc.PutData(\"kept\");\nb = New Binary();\nc.PutData(b);\n");
    EXPECT_EQ(result.code, 14);
    EXPECT_EQ(platform::ReadClipboardText(), "kept");
    // The clipboard was closed on the way out: another thread can open it.
    ASSERT_TRUE(OpenClipboard(0));
    EXPECT_TRUE(CloseClipboard());
}

TEST(ClipboardClass, ImagesOfEveryDepthAndALoneBitmapBecomeSurfaces) {
    EXPECT_EQ(
        RunScript(
            "c = New Clipboard();\n"
            "s = New Surface(3, 2, 8);\n"
            "s.SetPixel(1, 1, Surface.RED);\n"
            "c.PutData(s);\n"
            "t = c.GetImage();\n"
            "Print(t.GetDepth(), AsText(t.GetPixel(1, 1)), t.GetPixel(0, 0) == s.GetPixel(0, 0));\n"
            "u = New Surface(3, 2, 16);\n"
            "u.SetPixel(2, 0, 0x00FF00);\n"
            "c.PutData(u);\n"
            "v = c.GetImage();\n"
            "Print(v.GetDepth(), v.GetPixel(2, 0) == u.GetPixel(2, 0), v.GetPixel(1, 1) == "
            "u.GetPixel(1, 1));\n"),
        "8 16711680 1\n16 1 1\n");

    // Another program's bitmap, with no packed bitmap beside it.
    BITMAPINFO info{};
    info.bmiHeader = {40, 2, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, 0, 0);
    ASSERT_NE(bits, nullptr);
    static_cast<uint32_t*>(bits)[0] = 0x00ABCDEF;
    ASSERT_TRUE(OpenClipboard(0));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_EQ(SetClipboardData(CF_BITMAP, bitmap), bitmap);
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(RunScript("c = New Clipboard(); t = c.GetImage();\n"
                        "Print(c.HasImage(), t.GetPixelWidth(), AsText(t.GetPixel(0, 1)));"),
              "1 2 11259375\n");
}

} // namespace
