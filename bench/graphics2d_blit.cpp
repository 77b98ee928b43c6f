// Pixel throughput of the blitter at 8, 16 and 32 bits, beside pixman doing the same
// operation on the same buffers where it has one: fills (pixman_fill), copies of whole
// surfaces and of sprites into a screen (pixman_blt, or SRC at 8 bits), the semi-transparent blend
// (OVER through a constant half mask), the saturating add (ADD) and nearest-pixel stretching (a
// scaling transform, NEAREST). 8-bit blends and adds run on palette indices in both (pixman's c8
// with an inverse table). Counters: "ours" and "pixman" in Mpixel/s and "ratio", our time over
// pixman's (goal: at most 1). Keyed copies and the bitwise operations have no pixman counterpart.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdlib>
#include <memory>
#include <random>

#include "graphics2d/blitter/blitter.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/mem_surface.h"
#include "side_by_side.h"

namespace {

// The last argument of every benchmark picks the area: 0 a screen (1024 x 768, the images
// beyond the second-level cache), 1 a sprite (256 x 128, all in cache).
struct Area {
    int32_t width;
    int32_t height;
};
constexpr Area kAreas[2] = {{1024, 768}, {256, 128}};
constexpr int32_t kSmallWidth = 640;
constexpr int32_t kSmallHeight = 480;

// The thread's default palette, for 8-bit surfaces and pixman's indexed format.
struct PaletteSetup {
    PaletteSetup() {
        if (!CreatePaletteContext()) std::abort();
        PaletteRecord* palette = Palette_GetDefault();
        for (uint32_t i = 0; i < 256; i++) {
            const PaletteEntry& e = palette->entries[i];
            indexed.rgba[i] = 0xFF000000u | uint32_t(e.red) << 16 | uint32_t(e.green) << 8 | e.blue;
        }
        for (uint32_t cell = 0; cell < 32768; cell++) {
            const uint32_t colour =
                (cell >> 10 & 31) << 3 | (cell >> 5 & 31) << 11 | (cell & 31) << 19;
            indexed.ent[cell] = uint8_t(Palette_ColorToIndex(palette, colour));
        }
        Palette_Release(palette);
    }
    pixman_indexed_t indexed{};
};

PaletteSetup& Palettes() {
    static PaletteSetup setup;
    return setup;
}

// A memory surface of random pixels, about a quarter of them the key, and pixman's view
// of the same pixels.
struct Image {
    Image(int32_t depth, int32_t width, int32_t height, pixman_format_code_t format,
          uint32_t seed) {
        Palettes();
        cMemSurface prototype;
        if (!prototype.InitFormat(depth)) std::abort();
        surface.reset(prototype.MakeInstance(width, height));
        if (!surface) std::abort();
        const SurfaceBits* bits = surface->GetBits();
        std::mt19937 rng(seed);
        for (int32_t i = 0; i < bits->pitch * height; i++)
            bits->pixels[i] = rng() % 4 == 0 ? 0 : uint8_t(rng());
        pixman = pixman_image_create_bits(format, width, height,
                                          reinterpret_cast<uint32_t*>(bits->pixels), bits->pitch);
        if (format == PIXMAN_c8) pixman_image_set_indexed(pixman, &Palettes().indexed);
    }
    ~Image() { pixman_image_unref(pixman); }
    const SurfaceBits* Bits() const { return surface->GetBits(); }
    uint32_t* Words() const { return reinterpret_cast<uint32_t*>(surface->GetBits()->pixels); }
    int StrideWords() const { return surface->GetBits()->pitch / 4; }

    std::unique_ptr<cSurface> surface;
    pixman_image_t* pixman;
};

pixman_format_code_t PixmanFormat(int32_t depth, bool channels) {
    if (depth == 32) return channels ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8;
    if (depth == 16) return PIXMAN_r5g6b5;
    return channels ? PIXMAN_c8 : PIXMAN_a8;
}

// Ours and pixman's in turn in every iteration, so that both see the same machine load.
template <class Ours, class Theirs>
void Compare(benchmark::State& state, int64_t pixels, Ours ours, Theirs theirs) {
    bench::SideBySide(state, pixels, "pixman", ours, theirs);
}

template <class Ours> void Alone(benchmark::State& state, int64_t pixels, Ours ours) {
    for (auto _ : state)
        ours();
    state.counters["ours"] = benchmark::Counter(double(state.iterations()) * double(pixels) / 1e6,
                                                benchmark::Counter::kIsRate);
}

void BM_Fill(benchmark::State& state) {
    const int32_t depth = int32_t(state.range(0));
    const int32_t width = kAreas[state.range(1)].width, height = kAreas[state.range(1)].height;
    Image dst(depth, width, height, PixmanFormat(depth, false), 1);
    const PixelFormatOps* ops = dst.Bits()->formatOps;
    Compare(
        state, int64_t(width) * height,
        [&] { ops->FillRect(dst.Bits(), 0, 0, width, height, kColorIsIndex | 0x123456); },
        [&] { pixman_fill(dst.Words(), dst.StrideWords(), depth, 0, 0, width, height, 0x56); });
}
BENCHMARK(BM_Fill)->ArgsProduct({{8, 16, 32}, {0, 1}});

void BM_Copy(benchmark::State& state) {
    const int32_t depth = int32_t(state.range(0));
    const int32_t width = kAreas[state.range(1)].width, height = kAreas[state.range(1)].height;
    Image src(depth, width, height, PixmanFormat(depth, false), 1);
    Image dst(depth, width, height, PixmanFormat(depth, false), 2);
    const PixelFormatOps* ops = src.Bits()->formatOps;
    Compare(
        state, int64_t(width) * height,
        [&] { ops->CopyPlain(dst.Bits(), 0, 0, src.Bits(), 0, 0, width, height); },
        [&] {
            // pixman_blt has no 8-bit rows: its 8-bit copy is the composite SRC.
            if (depth == 8)
                pixman_image_composite32(PIXMAN_OP_SRC, src.pixman, nullptr, dst.pixman, 0, 0, 0, 0,
                                         0, 0, width, height);
            else
                pixman_blt(src.Words(), dst.Words(), src.StrideWords(), dst.StrideWords(), depth,
                           depth, 0, 0, 0, 0, width, height);
        });
}
BENCHMARK(BM_Copy)->ArgsProduct({{8, 16, 32}, {0, 1}});

// A sprite into a screen: rows apart in the destination, so they are copied one by one.
void BM_CopySprite(benchmark::State& state) {
    const int32_t depth = int32_t(state.range(0));
    const Area sprite = kAreas[1], screen = kAreas[0];
    Image src(depth, sprite.width, sprite.height, PixmanFormat(depth, false), 1);
    Image dst(depth, screen.width, screen.height, PixmanFormat(depth, false), 2);
    const PixelFormatOps* ops = src.Bits()->formatOps;
    Compare(
        state, int64_t(sprite.width) * sprite.height,
        [&] {
            ops->CopyPlain(dst.Bits(), 100, 100, src.Bits(), 0, 0, sprite.width, sprite.height);
        },
        [&] {
            if (depth == 8)
                pixman_image_composite32(PIXMAN_OP_SRC, src.pixman, nullptr, dst.pixman, 0, 0, 0, 0,
                                         100, 100, sprite.width, sprite.height);
            else
                pixman_blt(src.Words(), dst.Words(), src.StrideWords(), dst.StrideWords(), depth,
                           depth, 0, 0, 100, 100, sprite.width, sprite.height);
        });
}
BENCHMARK(BM_CopySprite)->Arg(8)->Arg(16)->Arg(32);

void BM_CopyKeyed(benchmark::State& state) {
    const int32_t depth = int32_t(state.range(0));
    const int32_t width = kAreas[state.range(1)].width, height = kAreas[state.range(1)].height;
    Image src(depth, width, height, PixmanFormat(depth, false), 1);
    Image dst(depth, width, height, PixmanFormat(depth, false), 2);
    const PixelFormatOps* ops = src.Bits()->formatOps;
    Alone(state, int64_t(width) * height,
          [&] { ops->CopyKeyed(dst.Bits(), 0, 0, src.Bits(), 0, 0, width, height); });
}
BENCHMARK(BM_CopyKeyed)->ArgsProduct({{8, 16, 32}, {0, 1}});

// A sprite as drawn: a disc on the key, so rows hold long runs of each.
void BM_CopyKeyedDisc(benchmark::State& state) {
    const int32_t depth = int32_t(state.range(0));
    const int32_t width = kAreas[1].width, height = kAreas[1].height;
    Image src(depth, width, height, PixmanFormat(depth, false), 1);
    Image dst(depth, width, height, PixmanFormat(depth, false), 2);
    const PixelFormatOps* ops = src.Bits()->formatOps;
    for (int32_t y = 0; y < height; y++)
        for (int32_t x = 0; x < width; x++) {
            const int32_t dx = x - width / 2, dy = (y - height / 2) * 2;
            ops->PutPixel(src.Bits(), x, y, dx * dx + dy * dy < width * width / 4 ? 0x3080C0 : 0);
        }
    Alone(state, int64_t(width) * height,
          [&] { ops->CopyKeyed(dst.Bits(), 0, 0, src.Bits(), 0, 0, width, height); });
}
BENCHMARK(BM_CopyKeyedDisc)->Arg(8)->Arg(16)->Arg(32);

// Half-way blend: our weight 64 of 128; pixman's OVER of the opaque source through a
// constant mask of 0x80.
void BM_Blend(benchmark::State& state) {
    const int32_t depth = int32_t(state.range(0));
    const int32_t width = kAreas[state.range(1)].width, height = kAreas[state.range(1)].height;
    Image src(depth, width, height, PixmanFormat(depth, true), 1);
    Image dst(depth, width, height, PixmanFormat(depth, true), 2);
    if (depth == 32) {
        pixman_image_unref(src.pixman);
        src.pixman = pixman_image_create_bits(PIXMAN_x8r8g8b8, width, height, src.Words(),
                                              src.Bits()->pitch);
    }
    const pixman_color_t half{0, 0, 0, 0x8080};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    const PixelFormatOps* ops = src.Bits()->formatOps;
    Compare(
        state, int64_t(width) * height,
        [&] { ops->CopyOp(dst.Bits(), 0, 0, src.Bits(), 0, 0, width, height, kBlitOpBlend, 64); },
        [&] {
            pixman_image_composite32(PIXMAN_OP_OVER, src.pixman, mask, dst.pixman, 0, 0, 0, 0, 0, 0,
                                     width, height);
        });
    pixman_image_unref(mask);
}
BENCHMARK(BM_Blend)->ArgsProduct({{8, 16, 32}, {0, 1}});

void BM_Add(benchmark::State& state) {
    const int32_t depth = int32_t(state.range(0));
    const int32_t width = kAreas[state.range(1)].width, height = kAreas[state.range(1)].height;
    Image src(depth, width, height, PixmanFormat(depth, true), 1);
    Image dst(depth, width, height, PixmanFormat(depth, true), 2);
    const PixelFormatOps* ops = src.Bits()->formatOps;
    Compare(
        state, int64_t(width) * height,
        [&] { ops->CopyOp(dst.Bits(), 0, 0, src.Bits(), 0, 0, width, height, kBlitOpAdd, 0); },
        [&] {
            pixman_image_composite32(PIXMAN_OP_ADD, src.pixman, nullptr, dst.pixman, 0, 0, 0, 0, 0,
                                     0, width, height);
        });
}
BENCHMARK(BM_Add)->ArgsProduct({{8, 16, 32}, {0, 1}});

// Every operation, plain and keyed: state.range(1) is the code, range(2) the keyed flag.
void BM_Operation(benchmark::State& state) {
    const int32_t depth = int32_t(state.range(0));
    const int32_t op = int32_t(state.range(1));
    const bool keyed = state.range(2) != 0;
    const int32_t width = kAreas[0].width, height = kAreas[0].height;
    Image src(depth, width, height, PixmanFormat(depth, false), 1);
    Image dst(depth, width, height, PixmanFormat(depth, false), 2);
    const PixelFormatOps* ops = src.Bits()->formatOps;
    const uint32_t param = op == kBlitOpTint ? 0x40000000u | 0x204060 : 64;
    Alone(state, int64_t(width) * height, [&] {
        (keyed ? ops->CopyKeyedOp : ops->CopyOp)(dst.Bits(), 0, 0, src.Bits(), 0, 0, width, height,
                                                 op, param);
    });
}
BENCHMARK(BM_Operation)->ArgsProduct({{8, 16, 32}, {1, 2, 3, 4, 5, 8, 9}, {0, 1}});
BENCHMARK(BM_Operation)->ArgsProduct({{8, 16, 32}, {6}, {1}});

// Nearest-pixel scaling between 640 x 480 and 1024 x 768: range(1) 1 enlarges, 0 shrinks.
void BM_Stretch(benchmark::State& state) {
    const int32_t depth = int32_t(state.range(0));
    const bool enlarge = state.range(1) != 0;
    const int32_t width = kAreas[0].width, height = kAreas[0].height;
    const int32_t sw = enlarge ? kSmallWidth : width, sh = enlarge ? kSmallHeight : height;
    const int32_t dw = enlarge ? width : kSmallWidth, dh = enlarge ? height : kSmallHeight;
    Image src(depth, sw, sh, PixmanFormat(depth, false), 1);
    Image dst(depth, dw, dh, PixmanFormat(depth, false), 2);
    pixman_transform_t transform;
    pixman_transform_init_scale(&transform, pixman_int_to_fixed(sw) / dw,
                                pixman_int_to_fixed(sh) / dh);
    pixman_image_set_transform(src.pixman, &transform);
    pixman_image_set_filter(src.pixman, PIXMAN_FILTER_NEAREST, nullptr, 0);
    Compare(
        state, int64_t(dw) * dh,
        [&] { Blit_Stretch(dst.Bits(), 0, 0, src.Bits(), 0, 0, dw, dh, sw, sh); },
        [&] {
            pixman_image_composite32(PIXMAN_OP_SRC, src.pixman, nullptr, dst.pixman, 0, 0, 0, 0, 0,
                                     0, dw, dh);
        });
}
BENCHMARK(BM_Stretch)->ArgsProduct({{8, 16, 32}, {1, 0}});

} // namespace
