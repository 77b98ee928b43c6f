// The font holders of an interpreter: the shared Fonts they start with, what a dying Font
// leaves them, and text measured with the Font held.
#include <gtest/gtest.h>

#include <cstring>

#include "classes/window/font_class.h"
#include "classes/window/font_container.h"
#include "foundation/containers/ptr_array.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/dc_state.h"
#include "script/interpreter/interpretor.h"

namespace {

class FontHolders : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        PtrArray names;
        BuildBuiltinClassNameList(names);
        ASSERT_EQ(interpreter.InitClassRegistry(names), 1);
    }
    CIFont* NewFont(const char* face, int32_t size) {
        auto* font = new CIFont(&interpreter, interpreter.GetClassRecord(CIFont::kClassId));
        font->SetFaceAndSize(face, size);
        return font;
    }
    CInterpretor interpreter;
};

TEST_F(FontHolders, StartWithTheDefaultFontAndCountTheirUses) {
    CIFontContainer first(&interpreter);
    CIFontContainer second(&interpreter);
    ASSERT_NE(first.font, nullptr);
    EXPECT_EQ(first.font, second.font);
    EXPECT_EQ(first.font, GetDefaultFont(&interpreter));
    EXPECT_STREQ(first.font->logFont.lfFaceName, "Arial");
    EXPECT_EQ(first.font->logFont.lfHeight, -16);
    // The registry's use and one per holder.
    EXPECT_EQ(first.font->useCount, 3);
    CIFont* gui = GetGuiFont(&interpreter);
    ASSERT_NE(gui, nullptr);
    EXPECT_NE(gui, first.font);
    EXPECT_EQ(gui->ownsFont, 0u);
    EXPECT_EQ(gui->hFont, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    CIFont* courier = NewFont("Courier New", 20);
    first.SetFont(courier);
    EXPECT_EQ(courier->useCount, 1);
    EXPECT_EQ(second.font->useCount, 2);
}

TEST_F(FontHolders, ADyingFontLeavesItsHoldersTheDefaultOne) {
    CIFontContainer holder(&interpreter);
    CIFont* courier = NewFont("Courier New", 20);
    holder.SetFont(courier);
    courier->Destroy(0);
    ASSERT_EQ(holder.font, GetDefaultFont(&interpreter));
    // The default Font itself going: a new default takes its place.
    CIFont* old = holder.font;
    old->Destroy(0);
    ASSERT_NE(holder.font, nullptr);
    EXPECT_EQ(holder.font, GetDefaultFont(&interpreter));
    EXPECT_STREQ(holder.font->logFont.lfFaceName, "Arial");
    EXPECT_EQ(holder.font->useCount, 2);
}

TEST_F(FontHolders, MeasureTextScalesByTheDevicePixelsPerPoint) {
    CIFontContainer holder(&interpreter);
    HDC dc = GetDC(0);
    SIZE size{};
    holder.MeasureText(dc, "Hello", size);
    HGDIOBJ old = SelectObject(dc, holder.font->hFont);
    SIZE plain{};
    GetTextExtentPoint32A(dc, "Hello", 5, &plain);
    SelectObject(dc, old);
    int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    EXPECT_EQ(size.cx, (plain.cx * dpiX + 36) / 72);
    EXPECT_EQ(size.cy, (plain.cy * dpiY + 36) / 72);
    EXPECT_GT(size.cx, plain.cx);
    holder.MeasureText(0, "Hello", size);
    EXPECT_EQ(size.cx, 0);
    holder.MeasureText(dc, nullptr, size);
    EXPECT_EQ(size.cy, 0);
    ReleaseDC(0, dc);
}

} // namespace
