// The libpng calls of the PNG handler. Each function sets libpng's jump point first and
// answers 0 or an image result code; after an error jump it answers at once. Their frames
// hold plain values only (what the jump skips needs no destructor), and nothing they
// change is read after a jump: the library objects belong to the caller, who destroys them.
#pragma once

#include <png.h>

#include "foundation/streams/in_stream.h"
#include "foundation/streams/out_stream.h"
#include "graphics2d/formats/image_format_handler.h"

struct PngHeader {
    png_uint_32 width;
    png_uint_32 height;
    // 1 (palette indices), 3 or 4 after the transformations (grey expanded, 16 bits cut
    // to 8).
    int channels;
    int paletteCount;
    png_color palette[256];
};

struct PngWriteJob {
    const uint8_t* pixels;
    int32_t width;
    int32_t height;
    int32_t pitch;
    int depth;
    // 256 entries, for depth 8 only.
    const png_color* palette;
};

// Error and warning callbacks: errors jump, warnings are dropped; neither prints.
void PngError(png_structp png, png_const_charp message);
void PngWarning(png_structp png, png_const_charp message);

// Reads the header after the 8 signature bytes that the caller has checked, and sets the
// transformations that turn every accepted image into 8, 24 or 32 bits per pixel, blue
// first. 0, 12 for bit depths below 8, 11 for a library error.
ImageResult PngReadHeader(png_structp png, png_infop info, CInStream& stream, PngHeader* header);
// Reads the whole image into the rows (all passes of an interlaced image); 0 or 11.
ImageResult PngReadRows(png_structp png, CInStream& stream, png_bytepp rows);
// Reads the chunks after the image data; 0 or 11.
ImageResult PngReadEnd(png_structp png, png_infop endInfo);
// Writes a whole image to the stream; 0, or 4 for a stream or library error.
ImageResult PngWrite(png_structp png, png_infop info, COutStream& stream, const PngWriteJob& job);
