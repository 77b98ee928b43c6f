#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "platform/clipboard/clipboard.h"
#include "platform/clipboard/clipboard_picture.h"
#include "platform/controls/clipboard_text.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/screen_dc.h"
#include "platform/kernel/memory.h"

namespace {

HGLOBAL Block(const void* bytes, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    std::memcpy(GlobalLock(block), bytes, size);
    GlobalUnlock(block);
    return block;
}

std::vector<uint8_t> BlockBytes(HGLOBAL block) {
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
    std::vector<uint8_t> copy(bytes, bytes + GlobalSize(block));
    GlobalUnlock(block);
    return copy;
}

// A 3 x 2 packed bitmap of 32 bits, rows bottom first.
std::vector<uint8_t> PackedDib(const std::vector<uint32_t>& pixels) {
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = 3;
    header.biHeight = 2;
    header.biPlanes = 1;
    header.biBitCount = 32;
    std::vector<uint8_t> dib(40 + pixels.size() * 4);
    std::memcpy(dib.data(), &header, 40);
    std::memcpy(dib.data() + 40, pixels.data(), pixels.size() * 4);
    return dib;
}

void Put(UINT format, HANDLE data) {
    ASSERT_TRUE(OpenClipboard(0));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_EQ(SetClipboardData(format, data), data);
    ASSERT_TRUE(CloseClipboard());
}

class FakeDesktop : public platform::DesktopClipboard {
public:
    void Put(const std::optional<std::string>& utf8, const std::vector<uint8_t>& png) override {
        text = utf8;
        picture = png.empty() ? std::nullopt : std::optional(png);
    }
    std::optional<std::string> Text() override { return text; }
    std::optional<std::vector<uint8_t>> Picture() override { return picture; }
    std::optional<std::string> text;
    std::optional<std::vector<uint8_t>> picture;
};

class Clipboard : public testing::Test {
protected:
    void SetUp() override { platform::ResetClipboardForTests(); }
    void TearDown() override {
        platform::AttachDesktopClipboard(nullptr);
        platform::ResetClipboardForTests();
    }
};

TEST_F(Clipboard, CallsNeedTheClipboardOpenAndOneThreadHoldsIt) {
    HGLOBAL text = Block("a", 2);
    EXPECT_EQ(SetClipboardData(CF_TEXT, text), 0u);
    EXPECT_EQ(GetClipboardData(CF_TEXT), 0u);
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());
    ASSERT_TRUE(OpenClipboard(0));
    bool otherOpened = true;
    std::thread([&] { otherOpened = OpenClipboard(0) != 0; }).join();
    EXPECT_FALSE(otherOpened);
    EXPECT_TRUE(OpenClipboard(0));
    EXPECT_EQ(SetClipboardData(CF_TEXT, text), text);
    EXPECT_EQ(GetClipboardData(CF_TEXT), text);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(0));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    // Emptying freed the block the clipboard had taken.
    EXPECT_EQ(GlobalSize(text), 0u);
}

TEST_F(Clipboard, RegisteredNamesIgnoreCaseAndNumberFromC000) {
    const UINT first = RegisterClipboardFormatA("Zorv Test Format");
    EXPECT_GE(first, kFirstRegisteredClipboardFormat);
    EXPECT_EQ(RegisterClipboardFormatA("zORV tEST fORMAT"), first);
    EXPECT_NE(RegisterClipboardFormatA("Zorv Other Format"), first);
    EXPECT_EQ(RegisterClipboardFormatA(""), 0u);
    EXPECT_EQ(RegisterClipboardFormatA(nullptr), 0u);
}

TEST_F(Clipboard, PackedBitmapsAndBitmapsAreMadeFromEachOther) {
    const std::vector<uint32_t> pixels = {0x112233, 0x445566, 0x778899,
                                          0xAABBCC, 0xDDEEFF, 0x010203};
    Put(CF_DIB, Block(PackedDib(pixels).data(), 40 + 24));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    ASSERT_TRUE(OpenClipboard(0));
    HBITMAP bitmap = GetClipboardData(CF_BITMAP);
    ASSERT_NE(bitmap, 0u);
    BITMAP shape{};
    ASSERT_NE(GetObjectA(bitmap, sizeof shape, &shape), 0);
    EXPECT_EQ(shape.bmWidth, 3);
    EXPECT_EQ(shape.bmHeight, 2);
    // A lone bitmap gives the packed bitmap back, pixel for pixel.
    BITMAPINFO info{};
    info.bmiHeader = {40, 3, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HBITMAP copy = CreateDIBSection(0, &info, DIB_RGB_COLORS, nullptr, 0, 0);
    HDC from = CreateCompatibleDC(0);
    HDC to = CreateCompatibleDC(0);
    SelectObject(from, bitmap);
    SelectObject(to, copy);
    BitBlt(to, 0, 0, 3, 2, from, 0, 0, SRCCOPY);
    DeleteDC(from);
    DeleteDC(to);
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_EQ(SetClipboardData(CF_BITMAP, copy), copy);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    std::vector<uint8_t> dib = BlockBytes(GetClipboardData(CF_DIB));
    ASSERT_EQ(dib.size(), 40u + 24u);
    for (size_t i = 0; i < pixels.size(); ++i) {
        uint32_t pixel = 0;
        std::memcpy(&pixel, dib.data() + 40 + 4 * i, 4);
        EXPECT_EQ(pixel & 0xFFFFFF, pixels[i]) << i;
    }
    EXPECT_TRUE(CloseClipboard());
}

TEST_F(Clipboard, PackedBitmapShapesAreCheckedWithinTheBlock) {
    std::vector<uint8_t> dib = PackedDib({1, 2, 3, 4, 5, 6});
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    ASSERT_TRUE(platform::PackedDibShape(dib.data(), dib.size(), width, height, depth));
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(depth, 32);
    // Rows past the block, a header past it, a colour table past it, a bad header size.
    EXPECT_FALSE(platform::PackedDibShape(dib.data(), dib.size() - 1, width, height, depth));
    EXPECT_FALSE(platform::PackedDibShape(dib.data(), 39, width, height, depth));
    std::vector<uint8_t> paletted = dib;
    paletted[14] = 8;
    EXPECT_FALSE(platform::PackedDibShape(paletted.data(), 40 + 1020, width, height, depth));
    paletted.resize(40 + 1024 + 8);
    EXPECT_TRUE(platform::PackedDibShape(paletted.data(), paletted.size(), width, height, depth));
    EXPECT_EQ(depth, 8);
    // Sizes whose byte count passes any integer are refused without computing it.
    for (int32_t side : {0x7FFF, 0x7FFFFFFF}) {
        std::vector<uint8_t> huge = dib;
        std::memcpy(huge.data() + 4, &side, 4);
        std::memcpy(huge.data() + 8, &side, 4);
        EXPECT_FALSE(platform::PackedDibShape(huge.data(), huge.size(), width, height, depth));
    }
    std::vector<uint8_t> badHeader = dib;
    badHeader[0] = 41;
    EXPECT_FALSE(
        platform::PackedDibShape(badHeader.data(), badHeader.size(), width, height, depth));
}

TEST_F(Clipboard, TextControlsShareTheStoreAndTextsStopAtTheBlock) {
    platform::PutClipboardText("from an edit");
    ASSERT_TRUE(OpenClipboard(0));
    std::vector<uint8_t> bytes = BlockBytes(GetClipboardData(CF_TEXT));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("from an edit", 13));
    // A block without a terminating zero is read to its end and no further.
    ASSERT_TRUE(EmptyClipboard());
    SetClipboardData(CF_TEXT, Block("abc", 3));
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(platform::ClipboardText(), "abc");
    ASSERT_TRUE(OpenClipboard(0));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(platform::ClipboardText(), std::nullopt);
}

// A rich edit ends its paragraphs with CR alone: other programs get LF for every line end.
TEST_F(Clipboard, EveryLineEndReachesTheDesktopAsLineFeed) {
    FakeDesktop desktop;
    platform::AttachDesktopClipboard(&desktop);
    platform::PutClipboardText("first\rsecond\r\nthird\r\rlast\r");
    EXPECT_EQ(desktop.text, "first\nsecond\nthird\n\nlast\n");
}

TEST_F(Clipboard, TheDesktopGetsOurTextAndAnotherProgramsTextReplacesTheStore) {
    FakeDesktop desktop;
    platform::AttachDesktopClipboard(&desktop);
    platform::PutClipboardText("caf\xE9\r\nline");
    EXPECT_EQ(desktop.text, "caf\xC3\xA9\nline");
    // Our own text coming back changes nothing: a bitmap put since stays.
    const std::vector<uint8_t> dib = PackedDib({1, 2, 3, 4, 5, 6});
    Put(CF_DIB, Block(dib.data(), dib.size()));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    // Another program copies: the store holds only its text, lines ending in CR LF.
    desktop.text = "na\xC3\xAFve\nx";
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_EQ(platform::ClipboardText(), "na\xEFve\r\nx");
    desktop.text = "other";
    ASSERT_TRUE(OpenClipboard(0));
    std::vector<uint8_t> bytes = BlockBytes(GetClipboardData(CF_TEXT));
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data()), "other");
    // While the clipboard is open, what it holds stays put.
    desktop.text = "later";
    EXPECT_STREQ(reinterpret_cast<const char*>(BlockBytes(GetClipboardData(CF_TEXT)).data()),
                 "other");
    EXPECT_TRUE(CloseClipboard());
}

// The 32-bit pixel at column x, row y (top first) of the store's picture.
uint32_t StorePixel(int x, int y) {
    EXPECT_TRUE(OpenClipboard(0));
    HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    HDC dc = CreateCompatibleDC(0);
    SelectObject(dc, bitmap);
    const uint32_t pixel = GetPixel(dc, x, y);
    DeleteDC(dc);
    EXPECT_TRUE(CloseClipboard());
    return pixel;
}

TEST_F(Clipboard, PicturesGoToTheDesktopAsPngAndComeBackFromPngOrBmp) {
    FakeDesktop desktop;
    platform::AttachDesktopClipboard(&desktop);
    const std::vector<uint8_t> dib = PackedDib({0x0000FF, 0x00FF00, 0xFF0000, 1, 2, 3});
    Put(CF_DIB, Block(dib.data(), dib.size()));
    ASSERT_TRUE(desktop.picture.has_value());
    EXPECT_FALSE(desktop.text.has_value());
    ASSERT_GT(desktop.picture->size(), 8u);
    EXPECT_EQ((*desktop.picture)[1], 'P');
    // Our own picture coming back changes nothing.
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    // Another program's PNG (here the one we gave, by then no longer ours): the bottom-left
    // pixel, blue in the packed bitmap, reads back blue (GDI's 0x00BBGGRR).
    const std::vector<uint8_t> png = *desktop.picture;
    platform::PutClipboardText("words");
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    desktop.text.reset();
    desktop.picture = png;
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_EQ(StorePixel(0, 1), 0xFF0000u);
    EXPECT_EQ(StorePixel(2, 0), 0x030000u);
    // A BMP file is a packed bitmap behind a 14-byte header.
    std::vector<uint8_t> bmp{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    const std::vector<uint8_t> other = PackedDib({7, 7, 7, 7, 7, 0x123456});
    bmp.insert(bmp.end(), other.begin(), other.end());
    desktop.picture = bmp;
    ASSERT_TRUE(OpenClipboard(0));
    EXPECT_EQ(BlockBytes(GetClipboardData(CF_DIB)), other);
    ASSERT_TRUE(CloseClipboard());
    // A damaged or oversized picture leaves the store as it was.
    for (std::vector<uint8_t> damaged : {std::vector<uint8_t>(bmp.begin(), bmp.end() - 1),
                                         std::vector<uint8_t>(png.begin(), png.begin() + 40)}) {
        desktop.picture = damaged;
        EXPECT_EQ(StorePixel(2, 0), 0x563412u);
    }
    EXPECT_EQ(platform::PackedDibFromPicture({'G', 'I', 'F', '8'}), 0u);
}

} // namespace
