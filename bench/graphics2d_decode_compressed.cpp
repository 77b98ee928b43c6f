// Decode speed of the compressed image formats: PNG and JPEG through our handlers beside
// the libraries driven directly on the same files (the difference is the cost of our
// stream glue), FLI/FLC frame playback and ANMZ playback, stored and packed. Bytes are
// those of the decoded pictures.
#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/streams/mem_in_stream.h"
#include "foundation/streams/mem_out_stream.h"
#include "graphics2d/formats/anmz_handler.h"
#include "graphics2d/formats/fli_handler.h"
#include "graphics2d/formats/jpeg_handler.h"
#include "graphics2d/formats/png_handler.h"

#include <jpeglib.h>
#include <png.h>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Smooth shading with some noise, like a photograph or a rendered scene.
Bytes MakePicture(int width, int height, uint32_t seed) {
    Bytes pixels(size_t(width) * height * 3);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            seed = seed * 1103515245 + 12345;
            uint8_t* p = &pixels[(size_t(y) * width + x) * 3];
            p[0] = static_cast<uint8_t>(x / 4 + (seed >> 28));
            p[1] = static_cast<uint8_t>(y / 3 + (seed >> 29));
            p[2] = static_cast<uint8_t>((x + y) / 7);
        }
    }
    return pixels;
}

Bytes Written(CImageFormatHandler&& handler, const Bytes& pixels) {
    CMemOutStream out;
    if (handler.WriteImage(out, pixels.data(), kWidth, kHeight, 24, kWidth * 3, nullptr, 0) !=
        kImageOk)
        std::abort();
    return Bytes(out.GetBuffer(), out.GetBuffer() + out.GetLength());
}

const Bytes& PngFile() {
    static const Bytes file = Written(CPNGHandler(), MakePicture(kWidth, kHeight, 1));
    return file;
}

const Bytes& JpegFile() {
    static const Bytes file = Written(CJPEGHandler(), MakePicture(kWidth, kHeight, 2));
    return file;
}

// Opens and decodes the whole file at the image's own depth.
void DecodeWithHandler(CImageFormatHandler& handler, const Bytes& file, Bytes& pixels) {
    CMemInStream stream;
    stream.Attach(file.data(), static_cast<uint32_t>(file.size()));
    if (handler.Open(stream) != kImageOk ||
        handler.SetOutputFormat(handler.GetDepth(), handler.GetPalette()) != kImageOk ||
        handler.ReadFrame(stream, pixels.data(), handler.GetPitch(), nullptr) != kImageOk)
        std::abort();
}

void BM_PngHandler(benchmark::State& state) {
    Bytes pixels(size_t(kWidth) * kHeight * 3);
    for (auto _ : state) {
        CPNGHandler handler;
        DecodeWithHandler(handler, PngFile(), pixels);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size()));
}
BENCHMARK(BM_PngHandler)->Unit(benchmark::kMillisecond);

struct MemoryReader {
    const Bytes* file;
    size_t position;
};

void ReadFromMemory(png_structp png, png_bytep data, size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > reader->file->size() - reader->position) png_error(png, "short");
    std::memcpy(data, reader->file->data() + reader->position, length);
    reader->position += length;
}

void DecodeWithLibpng(const Bytes& file, std::vector<png_bytep>& rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) std::abort();
    MemoryReader reader{&file, 0};
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    png_set_bgr(png);
    png_read_update_info(png, info);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
}

void BM_PngLibpngDirect(benchmark::State& state) {
    Bytes pixels(size_t(kWidth) * kHeight * 3);
    std::vector<png_bytep> rows;
    for (int y = 0; y < kHeight; y++)
        rows.push_back(&pixels[size_t(y) * kWidth * 3]);
    for (auto _ : state)
        DecodeWithLibpng(PngFile(), rows);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size()));
}
BENCHMARK(BM_PngLibpngDirect)->Unit(benchmark::kMillisecond);

void BM_JpegHandler(benchmark::State& state) {
    Bytes pixels(size_t(kWidth) * kHeight * 3);
    for (auto _ : state) {
        CJPEGHandler handler;
        DecodeWithHandler(handler, JpegFile(), pixels);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size()));
}
BENCHMARK(BM_JpegHandler)->Unit(benchmark::kMillisecond);

void BM_JpegLibjpegDirect(benchmark::State& state) {
    Bytes pixels(size_t(kWidth) * kHeight * 3);
    const Bytes& file = JpegFile();
    for (auto _ : state) {
        jpeg_decompress_struct decompress;
        jpeg_error_mgr errors;
        decompress.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&decompress);
        jpeg_mem_src(&decompress, file.data(), file.size());
        jpeg_read_header(&decompress, TRUE);
        decompress.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&decompress);
        while (decompress.output_scanline < decompress.output_height) {
            JSAMPROW row = &pixels[size_t(decompress.output_scanline) * kWidth * 3];
            jpeg_read_scanlines(&decompress, &row, 1);
        }
        jpeg_finish_decompress(&decompress);
        jpeg_destroy_decompress(&decompress);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size()));
}
BENCHMARK(BM_JpegLibjpegDirect)->Unit(benchmark::kMillisecond);

// An FLC of 320 x 200: a literal-run first frame, then frames whose changed lines are
// byte deltas and word deltas in turn, as an animation tool writes them.
constexpr int kFliWidth = 320;
constexpr int kFliHeight = 200;
constexpr int kFliFrames = 60;

void Put16(Bytes& b, uint32_t value) {
    b.push_back(static_cast<uint8_t>(value));
    b.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(Bytes& b, uint32_t value) {
    Put16(b, value);
    Put16(b, value >> 16);
}

Bytes FliChunk(uint16_t type, const Bytes& body) {
    Bytes chunk;
    Put32(chunk, static_cast<uint32_t>(6 + body.size()));
    Put16(chunk, type);
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

Bytes FliFrame(const Bytes& subChunks, int count = 1) {
    Bytes body;
    Put16(body, count);
    body.insert(body.end(), 8, 0);
    body.insert(body.end(), subChunks.begin(), subChunks.end());
    return FliChunk(0xF1FA, body);
}

const Bytes& FliFile() {
    static const Bytes file = [] {
        Bytes b;
        Put32(b, 0);
        Put16(b, 0xAF12);
        Put16(b, kFliFrames);
        Put16(b, kFliWidth);
        Put16(b, kFliHeight);
        Put16(b, 8);
        b.resize(128);
        uint32_t seed = 5;
        Bytes run;
        for (int y = 0; y < kFliHeight; y++) {
            run.push_back(0);
            for (int x = 0; x < kFliWidth; x += 64) {
                run.push_back(static_cast<uint8_t>(-64));
                for (int i = 0; i < 64; i++)
                    run.push_back(static_cast<uint8_t>((x + i) ^ y));
            }
        }
        Bytes colors = {1, 0, 0, 0};
        for (int i = 0; i < 256; i++)
            colors.insert(colors.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
        Bytes first = FliChunk(4, colors);
        const Bytes literal = FliChunk(15, run);
        first.insert(first.end(), literal.begin(), literal.end());
        Bytes frames = FliFrame(first, 2);
        for (int f = 1; f < kFliFrames; f++) {
            Bytes delta;
            if (f % 2 == 1) {
                Put16(delta, 20);
                Put16(delta, 150);
                for (int line = 0; line < 150; line++) {
                    delta.push_back(4);
                    for (int p = 0; p < 4; p++) {
                        seed = seed * 1103515245 + 12345;
                        delta.push_back(static_cast<uint8_t>(seed >> 26));
                        delta.push_back(p % 2 == 0 ? 12 : static_cast<uint8_t>(-12));
                        for (int i = 0; i < (p % 2 == 0 ? 12 : 1); i++)
                            delta.push_back(static_cast<uint8_t>(f + i));
                    }
                }
                const Bytes frame = FliFrame(FliChunk(12, delta));
                frames.insert(frames.end(), frame.begin(), frame.end());
            } else {
                Put16(delta, 150);
                for (int line = 0; line < 150; line++) {
                    Put16(delta, 3);
                    for (int p = 0; p < 3; p++) {
                        delta.push_back(20);
                        delta.push_back(8);
                        for (int i = 0; i < 16; i++)
                            delta.push_back(static_cast<uint8_t>(f * i));
                    }
                }
                const Bytes frame = FliFrame(FliChunk(7, delta));
                frames.insert(frames.end(), frame.begin(), frame.end());
            }
        }
        b.insert(b.end(), frames.begin(), frames.end());
        return b;
    }();
    return file;
}

void BM_FlcPlayback(benchmark::State& state) {
    Bytes pixels(size_t(kFliWidth) * kFliHeight);
    const Bytes& file = FliFile();
    for (auto _ : state) {
        CFLIHandler handler;
        CMemInStream stream;
        stream.Attach(file.data(), static_cast<uint32_t>(file.size()));
        if (handler.Open(stream) != kImageOk) std::abort();
        for (int f = 0; f < kFliFrames; f++)
            if (handler.ReadFrame(stream, pixels.data(), kFliWidth, nullptr) != kImageOk)
                std::abort();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kFliFrames * int64_t(pixels.size()));
}
BENCHMARK(BM_FlcPlayback)->Unit(benchmark::kMillisecond);

// 640 x 480 at 24 bits: a full first frame, then a rectangle moving over the picture.
constexpr int kAnimWidth = 640;
constexpr int kAnimHeight = 480;
constexpr int kAnimFrames = 30;

Bytes MakeAnimation(int quality) {
    Bytes previous = MakePicture(kAnimWidth, kAnimHeight, 3);
    CANMZHandler writer;
    writer.SetQuality(quality);
    CMemOutStream out;
    const int pitch = kAnimWidth * 3;
    writer.BeginWrite(out, kAnimWidth, kAnimHeight, 24, kAnimFrames, 40, 1, 0, nullptr, 0);
    writer.WriteFrame(out, nullptr, previous.data(), kAnimWidth, kAnimHeight, pitch, 24, nullptr,
                      40, 0);
    for (int f = 1; f < kAnimFrames; f++) {
        Bytes image = previous;
        for (int y = 100 + f * 4; y < 260 + f * 4; y++)
            for (int x = 50 + f * 10; x < 250 + f * 10; x++)
                image[size_t(y) * pitch + x * 3 + f % 3] ^= 0x5A;
        writer.WriteFrame(out, previous.data(), image.data(), kAnimWidth, kAnimHeight, pitch, 24,
                          nullptr, 40, 0);
        previous = image;
    }
    writer.EndWrite(out);
    return Bytes(out.GetBuffer(), out.GetBuffer() + out.GetLength());
}

void AnmzPlayback(benchmark::State& state, const Bytes& file) {
    Bytes pixels(size_t(kAnimWidth) * kAnimHeight * 3);
    for (auto _ : state) {
        CANMZHandler handler;
        CMemInStream stream;
        stream.Attach(file.data(), static_cast<uint32_t>(file.size()));
        if (handler.Open(stream) != kImageOk) std::abort();
        for (int f = 0; f < kAnimFrames; f++)
            if (handler.ReadFrame(stream, pixels.data(), kAnimWidth * 3, nullptr) != kImageOk)
                std::abort();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kAnimFrames * int64_t(pixels.size()));
}

void BM_AnmzPlaybackStored(benchmark::State& state) {
    static const Bytes file = MakeAnimation(0);
    AnmzPlayback(state, file);
}
BENCHMARK(BM_AnmzPlaybackStored)->Unit(benchmark::kMillisecond);

void BM_AnmzPlaybackPacked(benchmark::State& state) {
    static const Bytes file = MakeAnimation(60);
    AnmzPlayback(state, file);
}
BENCHMARK(BM_AnmzPlaybackPacked)->Unit(benchmark::kMillisecond);

} // namespace
