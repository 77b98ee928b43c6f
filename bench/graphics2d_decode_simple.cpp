// Decoding speed of the simple image formats (BMP, PCX, TGA) from memory into a caller's
// buffer at the picture's own depth, for plain and run-length coded pictures of 1024 x 768.
// Bytes processed are the file's bytes; the pixels counter counts the picture's pixels.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "foundation/streams/mem_in_stream.h"
#include "foundation/streams/mem_out_stream.h"
#include "graphics2d/formats/bmp_handler.h"
#include "graphics2d/formats/pcx_handler.h"
#include "graphics2d/formats/tga_handler.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

// Flat stretches of varying length with some noise, as drawn pictures have: run-length
// coders see both runs and literals.
uint8_t Channel(int x, int y, int channel) {
    uint32_t noise = (static_cast<uint32_t>(x * 73 + y * 151) * 2654435761u) >> 29;
    return static_cast<uint8_t>((x / (4 + channel * 3) + y / 8) * 9 +
                                (noise == 0 ? noise + 17 : 0));
}

Bytes Bmp(int depth) {
    const int bytes = depth / 8;
    const int pitch = kWidth * bytes;
    Bytes pixels(static_cast<size_t>(pitch) * kHeight);
    for (int y = 0; y < kHeight; y++) {
        for (int x = 0; x < pitch; x++)
            pixels[y * pitch + x] = Channel(x / bytes, y, x % bytes);
    }
    ImagePalette palette{0x300, 256, {}};
    CBMPHandler writer;
    CMemOutStream out;
    if (writer.WriteImage(out, pixels.data(), kWidth, kHeight, depth, pitch, &palette, 0) !=
        kImageOk) {
        std::abort();
    }
    return Bytes(out.GetBuffer(), out.GetBuffer() + out.GetLength());
}

Bytes BmpRle8() {
    Bytes file = {'B', 'M'};
    file.resize(14);
    Put16(file, 40);
    Put16(file, 0);
    for (uint32_t value : {uint32_t(kWidth), uint32_t(kHeight)}) {
        Put16(file, value);
        Put16(file, value >> 16);
    }
    Put16(file, 1);
    Put16(file, 8);
    Put16(file, 1); // RLE8
    file.resize(14 + 40 + 1024);
    for (int y = 0; y < kHeight; y++) {
        for (int x = 0; x < kWidth;) {
            uint8_t value = Channel(x, y, 0);
            int run = 1;
            while (x + run < kWidth && run < 255 && Channel(x + run, y, 0) == value)
                run++;
            file.push_back(static_cast<uint8_t>(run));
            file.push_back(value);
            x += run;
        }
        file.push_back(0);
        file.push_back(0);
    }
    file.push_back(0);
    file.push_back(1);
    return file;
}

Bytes Pcx(int planes) {
    Bytes file(128, 0);
    file[0] = 0x0A;
    file[1] = 5;
    file[2] = 1;
    file[3] = 8;
    file[8] = static_cast<uint8_t>(kWidth - 1);
    file[9] = static_cast<uint8_t>((kWidth - 1) >> 8);
    file[10] = static_cast<uint8_t>(kHeight - 1);
    file[11] = static_cast<uint8_t>((kHeight - 1) >> 8);
    file[65] = static_cast<uint8_t>(planes);
    file[66] = static_cast<uint8_t>(kWidth);
    file[67] = static_cast<uint8_t>(kWidth >> 8);
    for (int y = 0; y < kHeight; y++) {
        for (int plane = 0; plane < planes; plane++) {
            for (int x = 0; x < kWidth;) {
                uint8_t value = Channel(x, y, plane);
                int run = 1;
                while (x + run < kWidth && run < 63 && Channel(x + run, y, plane) == value)
                    run++;
                if (run > 1 || value >= 0xC0) file.push_back(static_cast<uint8_t>(0xC0 | run));
                file.push_back(value);
                x += run;
            }
        }
    }
    if (planes == 1) {
        file.push_back(0x0C);
        file.resize(file.size() + 768, 0x40);
    }
    return file;
}

Bytes Tga(bool rle) {
    Bytes file(18, 0);
    file[2] = rle ? 10 : 2;
    file[12] = static_cast<uint8_t>(kWidth);
    file[13] = static_cast<uint8_t>(kWidth >> 8);
    file[14] = static_cast<uint8_t>(kHeight);
    file[15] = static_cast<uint8_t>(kHeight >> 8);
    file[16] = 32;
    file[17] = 0x28;
    auto pixel = [](int x, int y) {
        return Bytes{Channel(x, y, 0), Channel(x, y, 1), Channel(x, y, 2), 255};
    };
    for (int y = 0; y < kHeight; y++) {
        for (int x = 0; x < kWidth;) {
            Bytes value = pixel(x, y);
            int run = 1;
            while (rle && x + run < kWidth && run < 128 && pixel(x + run, y) == value)
                run++;
            if (rle) file.push_back(static_cast<uint8_t>(run > 1 ? 0x80 | (run - 1) : 0));
            file.insert(file.end(), value.begin(), value.end());
            x += run;
        }
    }
    return file;
}

template <class Handler> void Decode(benchmark::State& state, const Bytes& file) {
    Handler probe;
    CMemInStream stream;
    stream.Attach(file.data(), static_cast<uint32_t>(file.size()));
    if (probe.Open(stream) != kImageOk) std::abort();
    const int depth = probe.GetDepth();
    const int32_t pitch = (kWidth * (depth == 15 ? 16 : depth) + 31) / 32 * 4;
    Bytes dest(static_cast<size_t>(pitch) * kHeight);
    for (auto _ : state) {
        Handler handler;
        stream.Seek(0, 0);
        if (handler.Open(stream) != kImageOk ||
            handler.SetOutputFormat(depth, handler.GetPalette()) != kImageOk ||
            handler.ReadFrame(stream, dest.data(), pitch, nullptr) != kImageOk) {
            state.SkipWithError("decoding failed");
            break;
        }
        benchmark::DoNotOptimize(dest.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(file.size()));
    state.counters["pixels"] = benchmark::Counter(
        static_cast<double>(kWidth) * kHeight * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_DecodeBmp8(benchmark::State& state) {
    Decode<CBMPHandler>(state, Bmp(8));
}
void BM_DecodeBmp24(benchmark::State& state) {
    Decode<CBMPHandler>(state, Bmp(24));
}
void BM_DecodeBmp32(benchmark::State& state) {
    Decode<CBMPHandler>(state, Bmp(32));
}
void BM_DecodeBmpRle8(benchmark::State& state) {
    Decode<CBMPHandler>(state, BmpRle8());
}
void BM_DecodePcx8(benchmark::State& state) {
    Decode<CPCXHandler>(state, Pcx(1));
}
void BM_DecodePcx24(benchmark::State& state) {
    Decode<CPCXHandler>(state, Pcx(3));
}
void BM_DecodeTga32(benchmark::State& state) {
    Decode<CTGAHandler>(state, Tga(false));
}
void BM_DecodeTgaRle32(benchmark::State& state) {
    Decode<CTGAHandler>(state, Tga(true));
}

BENCHMARK(BM_DecodeBmp8);
BENCHMARK(BM_DecodeBmp24);
BENCHMARK(BM_DecodeBmp32);
BENCHMARK(BM_DecodeBmpRle8);
BENCHMARK(BM_DecodePcx8);
BENCHMARK(BM_DecodePcx24);
BENCHMARK(BM_DecodeTga32);
BENCHMARK(BM_DecodeTgaRle32);

} // namespace
