#include "graphics2d/formats/anmz_delta.h"

#include <cstddef>
#include <cstring>

#include "graphics2d/formats/anmz_format.h"

namespace {

const uint8_t* Row(const uint8_t* base, const AnmzFramePair& pair, int32_t y) {
    return base + static_cast<ptrdiff_t>(y) * pair.pitch;
}

bool SamePixel(const AnmzFramePair& pair, const uint8_t* a, const uint8_t* b, int32_t x) {
    const size_t offset = static_cast<size_t>(x) * pair.bytesPerPixel;
    return std::memcmp(a + offset, b + offset, static_cast<size_t>(pair.bytesPerPixel)) == 0;
}

// First and last changed pixel of row y; false when the row is unchanged.
bool FindRowChanges(const AnmzFramePair& pair, int32_t y, int32_t* first, int32_t* last) {
    const uint8_t* a = Row(pair.previous, pair, y);
    const uint8_t* b = Row(pair.image, pair, y);
    const size_t bytes = static_cast<size_t>(pair.width) * pair.bytesPerPixel;
    if (std::memcmp(a, b, bytes) == 0) return false;
    size_t start = 0;
    while (a[start] == b[start])
        start++;
    size_t end = bytes - 1;
    while (a[end] == b[end])
        end--;
    *first = static_cast<int32_t>(start / pair.bytesPerPixel);
    *last = static_cast<int32_t>(end / pair.bytesPerPixel);
    return true;
}

// Skips of `count` rows or pixels: full skips of 127, then the rest.
ResultCode WriteSkips(COutStream& out, int64_t count) {
    const uint8_t full = kAnmzSkipBit | kAnmzMaxCount;
    for (; count >= kAnmzMaxCount; count -= kAnmzMaxCount)
        if (ResultCode result = out.Write(&full, 1)) return result;
    if (count == 0) return kResultOk;
    const auto rest = static_cast<uint8_t>(kAnmzSkipBit | count);
    return out.Write(&rest, 1);
}

// Pixels from..to (exclusive) of the row as tokens of at most 127.
ResultCode WriteLiterals(COutStream& out, const AnmzFramePair& pair, const uint8_t* row,
                         int32_t from, int32_t to) {
    while (from < to) {
        const auto count =
            static_cast<uint8_t>(to - from < kAnmzMaxCount ? to - from : kAnmzMaxCount);
        if (ResultCode result = out.Write(&count, 1)) return result;
        if (ResultCode result = out.Write(row + static_cast<size_t>(from) * pair.bytesPerPixel,
                                          uint32_t{count} * pair.bytesPerPixel))
            return result;
        from += count;
    }
    return kResultOk;
}

ResultCode WriteRow(COutStream& out, const AnmzFramePair& pair, int32_t y, int32_t left,
                    int32_t last) {
    const uint8_t* a = Row(pair.previous, pair, y);
    const uint8_t* b = Row(pair.image, pair, y);
    const int32_t end = last + 1;
    int32_t literalStart = left;
    int32_t x = left;
    while (x < end) {
        if (!SamePixel(pair, a, b, x)) {
            x++;
            continue;
        }
        int32_t same = x;
        while (same < end && SamePixel(pair, a, b, same))
            same++;
        if (same - x >= kAnmzShortestSkip) {
            if (ResultCode result = WriteLiterals(out, pair, b, literalStart, x)) return result;
            if (ResultCode result = WriteSkips(out, same - x)) return result;
            literalStart = same;
        }
        x = same;
    }
    if (ResultCode result = WriteLiterals(out, pair, b, literalStart, end)) return result;
    const uint8_t endOfRow = 0;
    return out.Write(&endOfRow, 1);
}

} // namespace

bool AnmzFindChanges(const AnmzFramePair& pair, AnmzBox* box) {
    bool changed = false;
    for (int32_t y = 0; y < pair.height; y++) {
        int32_t first, last;
        if (!FindRowChanges(pair, y, &first, &last)) continue;
        if (!changed) {
            *box = {first, y, last + 1, y + 1};
            changed = true;
            continue;
        }
        if (first < box->left) box->left = first;
        if (last + 1 > box->right) box->right = last + 1;
        box->bottom = y + 1;
    }
    return changed;
}

ResultCode AnmzCodeDelta(COutStream& out, const AnmzFramePair& pair, const AnmzBox& box) {
    int32_t y = box.top;
    while (y < box.bottom) {
        int32_t first, last;
        if (!FindRowChanges(pair, y, &first, &last)) {
            int32_t same = y + 1;
            while (same < box.bottom && !FindRowChanges(pair, same, &first, &last))
                same++;
            if (ResultCode result = WriteSkips(out, same - y)) return result;
            y = same;
            continue;
        }
        int32_t groupEnd = y + 1;
        while (groupEnd < box.bottom && groupEnd - y < kAnmzMaxCount &&
               FindRowChanges(pair, groupEnd, &first, &last))
            groupEnd++;
        const auto group = static_cast<uint8_t>(groupEnd - y);
        if (ResultCode result = out.Write(&group, 1)) return result;
        for (; y < groupEnd; y++) {
            FindRowChanges(pair, y, &first, &last);
            if (ResultCode result = WriteRow(out, pair, y, box.left, last)) return result;
        }
    }
    const uint8_t endOfFrame = 0;
    return out.Write(&endOfFrame, 1);
}
