// Inside the blitter: the row loops behind BlitRowKernels. Each file that builds a kernel
// set includes this after its own target settings; everything here has internal linkage,
// so the sets never share an instantiation. The loops are plain indexed loops over bytes,
// 16-bit words or 32-bit pixels with no branch in the body, which the compiler turns into
// vector code; where it cannot, SSE2 (and in the AVX2 set, ZORV_ROW_LOOPS_AVX2, AVX2) is
// written out.
#pragma once

#include <cstdint>
#include <cstring>

#include <immintrin.h>

#include "graphics2d/blitter/blitter_rows.h"
#include "graphics2d/blitter/pixel_traits.h"

namespace {

constexpr int32_t kRowChunk = 256;

inline int32_t MinCount(int32_t a, int32_t b) {
    return a < b ? a : b;
}

// The C library's copy is the fastest for short rows, but its loop for rows of a kilobyte
// and more loses to a plain vector loop of 128-byte blocks (it sets up alignment and
// string moves per call); rows of distinct areas that long go in such blocks.
void CopyRow(uint8_t* d, const uint8_t* s, size_t n) {
    if (n < 1024 || (d < s + n && s < d + n)) {
        memmove(d, s, n);
        return;
    }
    size_t i = 0;
    for (; i + 128 <= n; i += 128) {
        memcpy(d + i, s + i, 32);
        memcpy(d + i + 32, s + i + 32, 32);
        memcpy(d + i + 64, s + i + 64, 32);
        memcpy(d + i + 96, s + i + 96, 32);
    }
    for (; i + 32 <= n; i += 32)
        memcpy(d + i, s + i, 32);
    if (i < n) memcpy(d + i, s + i, n - i);
}

// Rows of distinct areas in vector blocks, the last block of a row ending at its end (it
// may cover bytes already copied). Rows shorter than a block go to the C library, and so do
// rows of a kilobyte and more, where its widest vectors make up for the call.
void CopyRows(uint8_t* d, ptrdiff_t dPitch, const uint8_t* s, ptrdiff_t sPitch, size_t bytes,
              int32_t height) {
    for (int32_t row = 0; row < height; row++, d += dPitch, s += sPitch) {
        if (bytes < 32 || bytes >= 1024) {
            memcpy(d, s, bytes);
            continue;
        }
        size_t i = 0;
        for (; i + 128 <= bytes; i += 128) {
            memcpy(d + i, s + i, 32);
            memcpy(d + i + 32, s + i + 32, 32);
            memcpy(d + i + 64, s + i + 64, 32);
            memcpy(d + i + 96, s + i + 96, 32);
        }
        for (; i + 32 <= bytes; i += 32)
            memcpy(d + i, s + i, 32);
        if (i < bytes) memcpy(d + bytes - 32, s + bytes - 32, 32);
    }
}

// Fills.

template <class F> void FillRow(uint8_t* d, int32_t n, uint32_t word) {
    if (n <= 0) return;
    if constexpr (F::kBytes == 1) {
        memset(d, int(word & 0xFF), size_t(n));
    } else if constexpr (F::kBytes == 3) {
        F::Store(d, word);
        size_t done = 3, total = size_t(n) * 3;
        while (done < total) {
            size_t step = done < total - done ? done : total - done;
            memcpy(d + done, d, step);
            done += step;
        }
    } else {
        // Pixels one by one up to a vector boundary (when pixels lie on their own size,
        // else the whole row unaligned), then whole vectors, four at a time.
        const typename F::Word v = typename F::Word(word);
        uint8_t* p = d;
        uint8_t* const end = d + size_t(n) * F::kBytes;
#if defined(ZORV_ROW_LOOPS_AVX2)
        constexpr uintptr_t kAlign = 31;
#else
        constexpr uintptr_t kAlign = 15;
#endif
        if ((reinterpret_cast<uintptr_t>(p) & (F::kBytes - 1)) == 0)
            for (; p < end && (reinterpret_cast<uintptr_t>(p) & kAlign) != 0; p += F::kBytes)
                F::Store(p, v);
        const uint32_t pattern = F::kBytes == 2 ? (word & 0xFFFF) * 0x10001u : word;
#if defined(ZORV_ROW_LOOPS_AVX2)
        const __m256i wide = _mm256_set1_epi32(int(pattern));
        for (; end - p >= 128; p += 128) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), wide);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + 32), wide);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + 64), wide);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + 96), wide);
        }
        for (; end - p >= 32; p += 32)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), wide);
#endif
        const __m128i narrow = _mm_set1_epi32(int(pattern));
        for (; end - p >= 64; p += 64) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), narrow);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), narrow);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), narrow);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 48), narrow);
        }
        for (; end - p >= 16; p += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), narrow);
        for (; p < end; p += F::kBytes)
            F::Store(p, v);
    }
}

// d = key(s) ? d : t, pixel by pixel.
template <class F> void KeyedSelectRow(uint8_t* d, const uint8_t* s, const uint8_t* t, int32_t n) {
    if constexpr (F::kBytes == 3) {
        for (int32_t i = 0; i < n; i++) {
            const int32_t o = i * 3;
            // All ones where the source pixel is not the key.
            const uint8_t take = uint8_t(-uint8_t((s[o] | s[o + 1] | s[o + 2]) != 0));
            d[o] = uint8_t((d[o] & ~take) | (t[o] & take));
            d[o + 1] = uint8_t((d[o + 1] & ~take) | (t[o + 1] & take));
            d[o + 2] = uint8_t((d[o + 2] & ~take) | (t[o + 2] & take));
        }
    } else {
        for (int32_t i = 0; i < n; i++) {
            const int32_t o = i * F::kBytes;
            const typename F::Word sv = F::Load(s + o);
            const typename F::Word dv = F::Load(d + o);
            const typename F::Word tv = F::Load(t + o);
            F::Store(d + o, sv == 0 ? dv : tv);
        }
    }
}

template <class F> void KeyedRow(uint8_t* d, const uint8_t* s, int32_t n) {
    KeyedSelectRow<F>(d, s, s, n);
}

// Bitwise operations work on the bytes of any format.

void XorRow(uint8_t* d, const uint8_t* s, int32_t bytes) {
    for (int32_t i = 0; i < bytes; i++)
        d[i] = uint8_t(d[i] ^ s[i]);
}
void AndRow(uint8_t* d, const uint8_t* s, int32_t bytes) {
    for (int32_t i = 0; i < bytes; i++)
        d[i] = uint8_t(d[i] & s[i]);
}
void OrRow(uint8_t* d, const uint8_t* s, int32_t bytes) {
    for (int32_t i = 0; i < bytes; i++)
        d[i] = uint8_t(d[i] | s[i]);
}
void MaskOutRow(uint8_t* d, const uint8_t* s, int32_t bytes) {
    for (int32_t i = 0; i < bytes; i++)
        d[i] = uint8_t(d[i] & ~s[i]);
}

template <class F> void XorOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams&) {
    XorRow(d, s, n * F::kBytes);
}
template <class F> void AndOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams&) {
    AndRow(d, s, n * F::kBytes);
}
template <class F> void OrOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams&) {
    OrRow(d, s, n * F::kBytes);
}
template <class F> void MaskOutOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams&) {
    MaskOutRow(d, s, n * F::kBytes);
}

// The source with its colour bits inverted (the fourth byte of a 32-bit pixel kept).
template <class F> void InvertOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams&) {
    if constexpr (F::kBytes == 1 || F::kBytes == 3) {
        for (int32_t i = 0; i < n * F::kBytes; i++)
            d[i] = uint8_t(~s[i]);
    } else {
        for (int32_t i = 0; i < n; i++) {
            const int32_t o = i * F::kBytes;
            F::Store(d + o, typename F::Word(F::Load(s + o) ^ F::kColorBits));
        }
    }
}

// Per-channel operations on 24-bit pixels: every byte is a colour channel.

template <class F>
void BlendBytesOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams& params) {
    const uint16_t ws = uint16_t(params.sourceWeight), wd = uint16_t(params.destinationWeight);
    for (int32_t i = 0; i < n * F::kBytes; i++)
        d[i] = uint8_t(uint16_t(s[i] * ws + d[i] * wd) >> 7);
}

// min(a, 255 - b) + b never wraps and is the sum limited to 255.
inline uint8_t AddSaturated(uint8_t a, uint8_t b) {
    const uint8_t room = uint8_t(~b);
    return uint8_t((a < room ? a : room) + b);
}

template <class F> void AddBytesOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams&) {
    for (int32_t i = 0; i < n * F::kBytes; i++)
        d[i] = AddSaturated(d[i], s[i]);
}

template <class F>
void TintBytesOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams& params) {
    const uint8_t t0 = uint8_t(params.tintWord), t1 = uint8_t(params.tintWord >> 8),
                  t2 = uint8_t(params.tintWord >> 16);
    for (int32_t i = 0; i < n; i++) {
        uint8_t* dp = d + i * 3;
        const uint8_t d0 = dp[0], d1 = dp[1], d2 = dp[2];
        const bool black = (d0 | d1 | d2) == 0;
        dp[0] = black ? t0 : d0;
        dp[1] = black ? t1 : d1;
        dp[2] = black ? t2 : d2;
    }
    BlendBytesOp<F>(d, s, n, params);
}

// Per-channel operations on 32-bit pixels, which leave the fourth byte 0. The blends take
// red and blue together in one 32-bit lane (16 bits apart, so products of at most
// 255 x 128 never meet) and green apart.

inline uint32_t BlendPixel(uint32_t s, uint32_t d, uint32_t ws, uint32_t wd) {
    const uint32_t redBlue = ((s & 0xFF00FF) * ws + (d & 0xFF00FF) * wd) >> 7 & 0xFF00FF;
    const uint32_t green = ((s & 0xFF00) * ws + (d & 0xFF00) * wd) >> 7 & 0xFF00;
    return redBlue | green;
}

void BlendPixelsOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams& params) {
    const uint32_t ws = params.sourceWeight, wd = params.destinationWeight;
    for (int32_t i = 0; i < n; i++)
        StoreU32(d + 4 * i, BlendPixel(LoadU32(s + 4 * i), LoadU32(d + 4 * i), ws, wd));
}

void TintPixelsOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams& params) {
    const uint32_t ws = params.sourceWeight, wd = params.destinationWeight;
    const uint32_t tint = params.tintWord;
    for (int32_t i = 0; i < n; i++) {
        const uint32_t dv = LoadU32(d + 4 * i);
        StoreU32(d + 4 * i, BlendPixel(LoadU32(s + 4 * i), dv == 0 ? tint : dv, ws, wd));
    }
}

inline void AddPixel(uint8_t* dp, const uint8_t* sp) {
    dp[0] = AddSaturated(dp[0], sp[0]);
    dp[1] = AddSaturated(dp[1], sp[1]);
    dp[2] = AddSaturated(dp[2], sp[2]);
    dp[3] = 0;
}

// Saturating byte additions, the fourth bytes cleared by a mask. The compiler does not find
// the saturating instruction for the byte loop by itself, so it is written out. Pixels one
// by one up to an aligned destination: a store across two cache lines costs double.
void AddPixelsOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams&) {
    int32_t i = 0;
#if defined(ZORV_ROW_LOOPS_AVX2)
    constexpr uintptr_t kAlign = 31;
#else
    constexpr uintptr_t kAlign = 15;
#endif
    for (; i < n && (reinterpret_cast<uintptr_t>(d + 4 * i) & kAlign) != 0; i++)
        AddPixel(d + 4 * i, s + 4 * i);
#if defined(ZORV_ROW_LOOPS_AVX2)
    const __m256i wide = _mm256_set1_epi32(0xFFFFFF);
    for (; i + 8 <= n; i += 8) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 4 * i));
        const __m256i b = _mm256_load_si256(reinterpret_cast<const __m256i*>(d + 4 * i));
        _mm256_store_si256(reinterpret_cast<__m256i*>(d + 4 * i),
                           _mm256_and_si256(_mm256_adds_epu8(a, b), wide));
    }
#endif
    const __m128i colour = _mm_set1_epi32(0xFFFFFF);
    for (; i + 4 <= n; i += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 4 * i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * i),
                         _mm_and_si128(_mm_adds_epu8(a, b), colour));
    }
    for (; i < n; i++)
        AddPixel(d + 4 * i, s + 4 * i);
}

// Per-channel operations on 15- and 16-bit pixels, field by field in 16-bit lanes.

template <class F> inline uint16_t BlendWord(uint16_t a, uint16_t b, uint16_t wa, uint16_t wb) {
    constexpr uint16_t gm = uint16_t(F::kGreenMax);
    const uint16_t r =
        uint16_t(uint16_t((a >> F::kRedShift & 0x1F) * wa + (b >> F::kRedShift & 0x1F) * wb) >> 7);
    const uint16_t g = uint16_t(uint16_t((a >> 5 & gm) * wa + (b >> 5 & gm) * wb) >> 7);
    const uint16_t bl = uint16_t(uint16_t((a & 0x1F) * wa + (b & 0x1F) * wb) >> 7);
    return uint16_t(r << F::kRedShift | g << 5 | bl);
}

template <class F>
void BlendWordsOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams& params) {
    const uint16_t ws = uint16_t(params.sourceWeight), wd = uint16_t(params.destinationWeight);
    for (int32_t i = 0; i < n; i++)
        StoreU16(d + 2 * i, BlendWord<F>(LoadU16(s + 2 * i), LoadU16(d + 2 * i), ws, wd));
}

template <class F>
void TintWordsOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams& params) {
    const uint16_t ws = uint16_t(params.sourceWeight), wd = uint16_t(params.destinationWeight);
    const uint16_t tint = uint16_t(params.tintWord);
    for (int32_t i = 0; i < n; i++) {
        const uint16_t dv = LoadU16(d + 2 * i);
        StoreU16(d + 2 * i, BlendWord<F>(LoadU16(s + 2 * i), dv == 0 ? tint : dv, ws, wd));
    }
}

template <class F> void AddWordsOp(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams&) {
    constexpr uint16_t gm = uint16_t(F::kGreenMax);
    for (int32_t i = 0; i < n; i++) {
        const uint16_t a = LoadU16(s + 2 * i), b = LoadU16(d + 2 * i);
        uint16_t r = uint16_t((a >> F::kRedShift & 0x1F) + (b >> F::kRedShift & 0x1F));
        uint16_t g = uint16_t((a >> 5 & gm) + (b >> 5 & gm));
        uint16_t bl = uint16_t((a & 0x1F) + (b & 0x1F));
        r = r > 0x1F ? 0x1F : r;
        g = g > gm ? gm : g;
        bl = bl > 0x1F ? 0x1F : bl;
        StoreU16(d + 2 * i, uint16_t(r << F::kRedShift | g << 5 | bl));
    }
}

struct OpRows {
    RowOp op[kBlitOpCount];
};

template <class F> constexpr OpRows MakeOpRows() {
    OpRows rows{};
    rows.op[kBlitOpInvert] = InvertOp<F>;
    rows.op[kBlitOpXor] = XorOp<F>;
    rows.op[kBlitOpAnd] = AndOp<F>;
    rows.op[kBlitOpOr] = OrOp<F>;
    rows.op[kBlitOpMaskOut] = MaskOutOp<F>;
    if constexpr (F::kBytes == 2) {
        rows.op[kBlitOpBlend] = BlendWordsOp<F>;
        rows.op[kBlitOpTint] = TintWordsOp<F>;
        rows.op[kBlitOpAdd] = AddWordsOp<F>;
    } else if constexpr (F::kBytes == 3) {
        rows.op[kBlitOpBlend] = BlendBytesOp<F>;
        rows.op[kBlitOpTint] = TintBytesOp<F>;
        rows.op[kBlitOpAdd] = AddBytesOp<F>;
    } else if constexpr (F::kBytes == 4) {
        rows.op[kBlitOpBlend] = BlendPixelsOp;
        rows.op[kBlitOpTint] = TintPixelsOp;
        rows.op[kBlitOpAdd] = AddPixelsOp;
    }
    return rows;
}

// The operation on a copy of the destination, then kept only where the source is not the
// key; the copy lets every operation row serve the keyed copies unchanged.
template <class F>
void KeyedOpRow(uint8_t* d, const uint8_t* s, int32_t n, int32_t op, const RowOpParams& params) {
    static constexpr OpRows rows = MakeOpRows<F>();
    const RowOp row = rows.op[op];
    if (!row) return;
    uint8_t copy[kRowChunk * F::kBytes];
    for (int32_t done = 0; done < n; done += kRowChunk) {
        const int32_t count = MinCount(kRowChunk, n - done);
        uint8_t* dp = d + done * F::kBytes;
        const uint8_t* sp = s + done * F::kBytes;
        memcpy(copy, dp, size_t(count) * F::kBytes);
        row(copy, sp, count, params);
        KeyedSelectRow<F>(dp, sp, copy, count);
    }
}

template <class F> constexpr BlitRowKernels MakeKernels() {
    BlitRowKernels k{};
    k.copy = CopyRow;
    k.copyRows = CopyRows;
    k.fill = FillRow<F>;
    k.keyed = KeyedRow<F>;
    constexpr OpRows rows = MakeOpRows<F>();
    for (int32_t op = 0; op < kBlitOpCount; op++)
        k.op[op] = rows.op[op];
    k.keyedOp = KeyedOpRow<F>;
    return k;
}

constexpr BlitRowKernels kKernels[kFormatCount] = {
    MakeKernels<Pixel8>(),  MakeKernels<Pixel15>(), MakeKernels<Pixel16>(),
    MakeKernels<Pixel24>(), MakeKernels<Pixel32>(),
};

} // namespace
