// Finding and coding the changes between two frames of an animation.
#pragma once

#include <cstdint>

#include "foundation/streams/out_stream.h"

// Two images of the same size, rows pitch bytes apart (the pitch may be negative).
struct AnmzFramePair {
    const uint8_t* previous;
    const uint8_t* image;
    int32_t width;
    int32_t height;
    int32_t pitch;
    int bytesPerPixel;
};

// The rectangle of changed pixels; right and bottom are exclusive.
struct AnmzBox {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// False when the images are the same.
bool AnmzFindChanges(const AnmzFramePair& pair, AnmzBox* box);
// Writes the change code of the box: runs of unchanged rows as row skips, changed rows in
// groups of at most 127, each row from the box's left edge to its last change with
// unchanged stretches of 4 pixels or more skipped, then the final 0.
ResultCode AnmzCodeDelta(COutStream& out, const AnmzFramePair& pair, const AnmzBox& box);
