// The text of a string value: a counted block that keeps the text's length and the room
// it may grow into. Values and array cells point at the block's bytes, which follow its
// header and always end with a 0, so reading a text is one load and needs no header;
// copying a text value shares the block, and only a block with one holder is written.
#pragma once

#include <cstddef>
#include <cstdint>

struct TextBlock {
    // Values and array cells pointing at the bytes.
    uint32_t holders;
    // Bytes before the terminating 0, or kUnmeasured while a filler owns the bytes.
    uint32_t length;
    // Bytes the text may hold without growing, the terminating 0 not counted.
    uint32_t room;
    uint32_t unused;

    static constexpr uint32_t kUnmeasured = UINT32_MAX;
    // Longest text a block takes: its size must stay below kUnmeasured.
    static constexpr size_t kMaxLength = UINT32_MAX - 1;

    static TextBlock* Of(const char* bytes) {
        return reinterpret_cast<TextBlock*>(const_cast<char*>(bytes)) - 1;
    }
    char* Bytes() { return reinterpret_cast<char*>(this + 1); }

    // The bytes of a new block with one holder, room for `room` bytes and an empty text
    // of unknown length (the caller writes it and sets the length, or leaves it to be
    // measured); null when memory runs out or `room` is too large.
    static char* Make(size_t room);
    // A new block holding the first `length` bytes of `text`; null as Make.
    static char* Copy(const char* text, size_t length);
    static void Share(const char* bytes) { ++Of(bytes)->holders; }
    // The last holder frees the block.
    static void LetGo(const char* bytes);
    static size_t Length(const char* bytes);
    // Grows the block of `*bytes` (one holder) to hold `length` bytes at least, doubling
    // its room so that appending piece by piece copies each byte a bounded number of
    // times; 0 when memory runs out, the block left as it was.
    static int Reserve(char** bytes, size_t length);
};

static_assert(sizeof(TextBlock) == 16);
