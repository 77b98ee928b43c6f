#include "graphics2d/palette/palette.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>

#include "platform/kernel/test_hooks.h"

namespace {

using platform::test::Fault;
using platform::test::InjectFault;

bool SameRgb(const PaletteEntry& a, const PaletteEntry& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// 256 distinct colours, none black or near it; every one is 510 - green away from white.
RawPalette MakePalette(uint32_t seed) {
    RawPalette palette{kPaletteVersion, kPaletteEntryCount, {}};
    for (uint32_t i = 0; i < 256; ++i)
        palette.entries[i] = {uint8_t(i), uint8_t(seed * 7 + 1), uint8_t(255 - i), 0};
    return palette;
}

RawPalette DefaultColors() {
    PaletteRecord* record = Palette_GetDefault();
    RawPalette palette = *record;
    Palette_Release(record);
    return palette;
}

// Runs `body` on a thread of its own, which starts without a palette context.
template <class Body> void OnOtherThread(Body body) {
    std::thread(body).join();
}

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(CreatePaletteContext(), nullptr); }
    void TearDown() override {
        ReleasePaletteContext();
        platform::test::ClearFaults();
    }
};

TEST_F(PaletteTest, RegistrationSharesPalettesThatDifferOnlyInBlack) {
    RawPalette first = MakePalette(1);
    RawPalette second = first;
    for (int i : {5, 10, 200}) {
        first.entries[i] = {0, 0, 0, 0};
        second.entries[i] = {8, 0, 0, 0};
    }
    first.entries[9].flags = 4;
    PaletteRecord* a = Palette_AddRef(&first);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(Palette_AddRef(&second), a);
    EXPECT_EQ(a->useCount, 2u);
    EXPECT_TRUE(SameRgb(a->entries[200], {8, 0, 0, 0}));
    EXPECT_EQ(a->entries[9].flags, 0);
    // Entry 10 is compared first: black there must still find the record.
    EXPECT_EQ(Palette_FindEqual(&first), a);

    RawPalette otherZero = second;
    otherZero.entries[0] = {8, 0, 0, 0};
    PaletteRecord* b = Palette_AddRef(&otherZero);
    EXPECT_NE(b, a);
    Palette_Release(b);
    Palette_Release(a);
    Palette_Release(a);
    EXPECT_EQ(Palette_FindEqual(&second), nullptr);
}

TEST_F(PaletteTest, SubstituteBlackIsTheLastNearestNonZeroEntry) {
    RawPalette palette = MakePalette(3);
    palette.entries[0] = {0, 0, 0, 0};
    palette.entries[40] = {0, 0, 0, 0};
    palette.entries[90] = {0, 8, 0, 0};
    PaletteRecord* record = Palette_AddRef(&palette);
    EXPECT_EQ(record->substituteBlack, 90u);
    Palette_Release(record);
    // (8, 0, 0) stands at several places of the default table; the last is 245.
    EXPECT_EQ(DefaultColors().entries[245].red, 8);
    PaletteRecord* standard = Palette_GetDefault();
    EXPECT_EQ(standard->substituteBlack, 245u);
    Palette_Release(standard);
}

TEST_F(PaletteTest, RecordsLiveUntilTheirLastUse) {
    PaletteRecord* records[20];
    for (uint32_t i = 0; i < 20; ++i) {
        const RawPalette palette = MakePalette(10 + i);
        records[i] = Palette_AddRef(&palette);
        ASSERT_NE(records[i], nullptr);
    }
    const RawPalette third = MakePalette(13);
    Palette_AddUse(records[3]);
    Palette_Release(records[3]);
    EXPECT_EQ(Palette_FindEqual(&third), records[3]);
    Palette_Release(records[3]);
    EXPECT_EQ(Palette_FindEqual(&third), nullptr);
    const RawPalette last = MakePalette(29);
    EXPECT_EQ(Palette_FindEqual(&last), records[19]);
    for (uint32_t i = 0; i < 20; ++i)
        if (i != 3) Palette_Release(records[i]);

    InjectFault(Fault::HeapAlloc, 4);
    EXPECT_EQ(Palette_AddRef(&third), nullptr);
    platform::test::ClearFaults();
    EXPECT_EQ(Palette_FindEqual(&third), nullptr);
}

TEST_F(PaletteTest, FindNearestKeepsEntryZeroForBlackAndTiesGoLater) {
    RawPalette palette = MakePalette(5);
    palette.entries[0] = {50, 50, 50, 0};
    palette.entries[100] = {60, 50, 50, 0};
    palette.entries[120] = {40, 50, 50, 0};
    palette.entries[150] = {2, 2, 2, 0};
    EXPECT_EQ(Palette_FindNearest(palette.entries, 256, 0x000000), 0u);
    EXPECT_EQ(Palette_FindNearest(palette.entries, 256, 0x323232), 120u);
    // With another count every given entry is a candidate and black is searched for.
    EXPECT_EQ(Palette_FindNearest(palette.entries, 255, 0x323232), 0u);
    EXPECT_EQ(Palette_FindNearest(palette.entries, 255, 0x000000), 150u);

    std::mt19937 random(7);
    for (auto& entry : palette.entries)
        entry = {uint8_t(random()), uint8_t(random()), uint8_t(random() & 0xF0), 0};
    for (int probe = 0; probe < 2000; ++probe) {
        const uint32_t colour = (random() & 0xFFFFFF) | 1;
        uint32_t expected = 1;
        int best = 1 << 30;
        for (uint32_t i = 1; i < 256 && best > 0; ++i) {
            const int dr = palette.entries[i].red - int(colour & 0xFF);
            const int dg = palette.entries[i].green - int((colour >> 8) & 0xFF);
            const int db = palette.entries[i].blue - int(colour >> 16);
            if (dr * dr + dg * dg + db * db <= best) {
                best = dr * dr + dg * dg + db * db;
                expected = i;
            }
        }
        ASSERT_EQ(Palette_FindNearest(palette.entries, 256, colour), expected) << colour;
    }
}

TEST_F(PaletteTest, InverseTableCachesPerFifteenBitCell) {
    RawPalette palette = MakePalette(6);
    palette.entries[20] = {100, 100, 100, 0};
    palette.entries[30] = {103, 100, 100, 0}; // same cell as entry 20
    PaletteRecord* record = Palette_AddRef(&palette);

    InjectFault(Fault::HeapAlloc, 4);
    EXPECT_EQ(Palette_BuildInverse(record), 0);
    EXPECT_EQ(Palette_ColorToIndex(record, 0x646464), 20u);
    platform::test::ClearFaults();
    EXPECT_EQ(Palette_ColorToIndexSafe(record, 0x646464), 20u);
    EXPECT_EQ(record->inverseTable, nullptr);

    // Built on demand; the later entry of a shared cell is the cell's answer.
    EXPECT_EQ(Palette_ColorToIndex(record, 0x646464), 30u);
    ASSERT_NE(record->inverseTable, nullptr);
    EXPECT_EQ(Palette_ColorToIndexSafe(record, 0x646464), 30u);
    EXPECT_EQ(Palette_ColorToIndexSafe(record, 0x000000), 0u);

    // An empty cell takes the answer of the first colour asked in it.
    ASSERT_EQ(PaletteInverseCell(0x0000F8), PaletteInverseCell(0x0000FF));
    const uint32_t answer = Palette_ColorToIndex(record, 0x0000F8);
    EXPECT_EQ(answer, Palette_FindNearest(record->entries, 256, 0x0000F8));
    EXPECT_EQ(record->inverseTable[PaletteInverseCell(0x0000FF)], answer);
    EXPECT_EQ(Palette_ColorToIndex(record, 0x0000FF), answer);
    Palette_Release(record);
}

TEST_F(PaletteTest, MapsKeepZeroOnlyForEntryZero) {
    RawPalette target = MakePalette(8);
    target.entries[0] = {0, 0, 0, 0};
    target.entries[77] = {8, 0, 0, 0};
    RawPalette source = target;
    uint8_t map[256];
    std::memset(map, 0xAA, sizeof(map));
    EXPECT_EQ(Palette_BuildMap(map, &target, &source, 1), 0);
    EXPECT_EQ(map[5], 0xAA);

    source.entries[9] = {0, 0, 0, 0};
    source.entries[10] = {200, 9, 55, 0};
    EXPECT_EQ(Palette_BuildMap(map, &target, &source, 1), 1);
    EXPECT_EQ(map[0], 0);
    EXPECT_EQ(map[9], 77);
    EXPECT_EQ(map[10], 200);
    EXPECT_EQ(map[33], 33);
    EXPECT_EQ(Palette_BuildMap(map, &target, &source, 0), 1);
    EXPECT_EQ(map[9], 0);

    // A short target offers its entry 0 to every colour unless zero is kept.
    RawPalette small{kPaletteVersion, 2, {{250, 0, 0, 0}, {0, 0, 250, 0}}};
    RawPalette reds{kPaletteVersion, kPaletteEntryCount, {}};
    for (auto& entry : reds.entries)
        entry = {255, 0, 0, 0};
    Palette_BuildMap(map, &small, &reds, 0);
    EXPECT_EQ(map[100], 0);
    Palette_BuildMap(map, &small, &reds, 1);
    EXPECT_EQ(map[0], 0);
    EXPECT_EQ(map[100], 1);
}

TEST_F(PaletteTest, StaticColorsMoveIntoPlaceWithTheirRemap) {
    const RawPalette standard = DefaultColors();
    PaletteEntry placed[256];
    uint8_t remap[256];
    EXPECT_EQ(Palette_PlaceStaticColors(placed, standard.entries, remap), 0);
    for (int i = 0; i < 256; ++i) {
        EXPECT_TRUE(SameRgb(placed[i], standard.entries[i]) && remap[i] == i) << i;
        EXPECT_EQ(placed[i].flags, i >= 10 && i < 246 ? kPaletteNoCollapse : 0) << i;
    }

    // The static colours scattered over the middle, reversed, and a near-black colour
    // that would be taken for the key.
    RawPalette source = MakePalette(9);
    for (int s = 0; s < 10; ++s)
        source.entries[200 - s] = standard.entries[s];
    for (int s = 246; s < 256; ++s)
        source.entries[50 + (255 - s)] = standard.entries[s];
    source.entries[120] = {3, 2, 1, 0};
    EXPECT_EQ(Palette_PlaceStaticColors(placed, source.entries, remap), 1);
    for (int p = 0; p < 256; ++p) {
        const bool isStatic = p < 10 || p >= 246;
        EXPECT_TRUE(SameRgb(placed[p], isStatic ? standard.entries[p] : source.entries[remap[p]]) ||
                    remap[p] == 120)
            << p;
        EXPECT_TRUE(SameRgb(source.entries[remap[p]], placed[p]) || remap[p] == 120) << p;
    }
    EXPECT_EQ(remap[0], 200);
    EXPECT_EQ(remap[255], 50);
    EXPECT_TRUE(SameRgb(placed[120], {8, 0, 0, 0}));

    EXPECT_EQ(Palette_PlaceStaticColors(source.entries, source.entries, nullptr), 1);
    EXPECT_EQ(std::memcmp(source.entries, placed, sizeof(placed)), 0);
}

TEST_F(PaletteTest, StaticColorSearchBreaksTies) {
    const RawPalette standard = DefaultColors();
    RawPalette source = MakePalette(9); // all 446 away from white
    for (int s = 0; s < 255; ++s)
        if (s < 10 || s >= 246) source.entries[s] = standard.entries[s];
    // Low static 1 is (128, 0, 0): of two entries 4 away the first wins.
    source.entries[1] = {0, 0, 200, 0};
    source.entries[60] = {128, 4, 0, 0};
    source.entries[70] = {124, 0, 0, 0};
    // High static 255 (white) takes a middle entry only when strictly nearer.
    source.entries[255] = {0, 64, 255, 0};
    uint8_t remap[256];
    PaletteEntry placed[256];
    Palette_PlaceStaticColors(placed, source.entries, remap);
    EXPECT_EQ(remap[1], 60);
    EXPECT_EQ(remap[60], 1);
    EXPECT_EQ(remap[255], 255);
    source.entries[30] = {255, 255, 250, 0};
    Palette_PlaceStaticColors(placed, source.entries, remap);
    EXPECT_EQ(remap[255], 30);
}

TEST_F(PaletteTest, FromEntriesRegistersACopyOnlyWhenColorsMove) {
    PaletteRecord* standard = Palette_GetDefault();
    const uint32_t uses = standard->useCount;
    uint8_t remap[256];
    EXPECT_EQ(Palette_FromEntries(standard, remap), standard);
    EXPECT_EQ(standard->useCount, uses + 1);
    Palette_Release(standard);

    RawPalette swapped = *standard;
    std::swap(swapped.entries[3], swapped.entries[100]);
    PaletteRecord* scattered = Palette_AddRef(&swapped);
    EXPECT_EQ(Palette_FromEntries(scattered, remap), standard);
    EXPECT_EQ(remap[3], 100);
    EXPECT_EQ(remap[100], 3);
    Palette_Release(standard);

    // Without memory the caller keeps its record, so its pixels must not be re-indexed.
    InjectFault(Fault::HeapAlloc, 4);
    EXPECT_EQ(Palette_FromEntries(scattered, remap), scattered);
    platform::test::ClearFaults();
    EXPECT_EQ(scattered->useCount, 2u);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(remap[i], i);
    Palette_Release(scattered);
    Palette_Release(scattered);
    Palette_Release(standard);
}

TEST(PaletteColorTable, ExchangesRedAndBlueAndClearsTheFourthByte) {
    PaletteEntry entries[2] = {{1, 2, 3, 4}, {0xFF, 0, 0x80, 7}};
    const uint8_t expected[8] = {3, 2, 1, 0, 0x80, 0, 0xFF, 0};
    Palette_ToColorTable(reinterpret_cast<uint8_t*>(entries), entries, 2);
    EXPECT_EQ(std::memcmp(entries, expected, sizeof(expected)), 0);
    PaletteEntry back[2];
    Palette_FromColorTable(back, expected, 2);
    EXPECT_TRUE(SameRgb(back[1], {0xFF, 0, 0x80, 0}) && back[1].flags == 0);
}

TEST(PaletteContext, RegistrationsOfAThreadShareOneContext) {
    OnOtherThread([] {
        const RawPalette palette = MakePalette(11);
        EXPECT_EQ(Palette_GetDefault(), nullptr);
        EXPECT_EQ(Palette_AddRef(&palette), nullptr);
        ReleasePaletteContext();
        EXPECT_EQ(InitThreadGraphics(), 1);
        PaletteRecord* first = CreatePaletteContext();
        EXPECT_EQ(first->useCount, 1u);
        EXPECT_TRUE(SameRgb(first->entries[1], {128, 0, 0, 0}));
        ReleasePaletteContext();
        EXPECT_EQ(Palette_GetDefault(), first);
        Palette_Release(first);
        ReleasePaletteContext();
        EXPECT_EQ(Palette_GetDefault(), nullptr);
    });
}

TEST(PaletteContext, ReleaseDropsOnlyTheContextsOwnUses) {
    OnOtherThread([] {
        CreatePaletteContext();
        PaletteRecord* standard = Palette_GetDefault();
        const RawPalette palette = MakePalette(12);
        PaletteRecord* held = Palette_AddRef(&palette);
        ReleasePaletteContext();
        // Both records stay usable; the thread is no longer registered.
        EXPECT_EQ(standard->useCount, 1u);
        EXPECT_EQ(held->useCount, 1u);
        EXPECT_EQ(Palette_ColorToIndex(held, PaletteEntryColor(palette.entries[7])), 7u);
        EXPECT_EQ(Palette_GetDefault(), nullptr);
        EXPECT_EQ(Palette_AddRef(&palette), nullptr);

        // Registering again takes up the records still held.
        EXPECT_EQ(CreatePaletteContext(), standard);
        EXPECT_EQ(Palette_AddRef(&palette), held);
        Palette_Release(held);
        ReleasePaletteContext();

        // The holders' releases free the records and, with the last, the context.
        Palette_Release(held);
        Palette_Release(standard);
        EXPECT_EQ(Palette_GetDefault(), nullptr);
        CreatePaletteContext();
        EXPECT_EQ(Palette_FindEqual(&palette), nullptr);
        ReleasePaletteContext();
    });
}

TEST(PaletteContext, ThreadsKeepTheirOwnRecords) {
    const RawPalette palette = MakePalette(13);
    OnOtherThread([&] {
        CreatePaletteContext();
        PaletteRecord* mine = Palette_AddRef(&palette);
        OnOtherThread([&] {
            CreatePaletteContext();
            PaletteRecord* theirs = Palette_AddRef(&palette);
            EXPECT_NE(theirs, mine);
            // Released here, the record of the other thread stays listed there.
            Palette_Release(mine);
            Palette_Release(theirs);
            EXPECT_EQ(Palette_FindEqual(&palette), nullptr);
            ReleasePaletteContext();
        });
        EXPECT_EQ(Palette_FindEqual(&palette), mine);
        // The owner frees it when it leaves.
        ReleasePaletteContext();
        CreatePaletteContext();
        EXPECT_EQ(Palette_FindEqual(&palette), nullptr);
        ReleasePaletteContext();
    });
}

} // namespace
