// Writes the large seeds of the fuzz targets with the system's own writers (the packer's
// project writer, the BMP, PNG, JPEG and ANMZ writers, the registry store, the zlib glue;
// TGA, PCX and FLC have no writer and are laid out by hand), so that every target starts
// from inputs well above libFuzzer's usual 4 KiB: files with several chunks, long scripts,
// long frame lists and pictures of a few hundred pixels.
// Usage: fuzz_write_seeds REPOSITORY_ROOT   (writes fuzz/corpus/<target>/large_*)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/streams/mem_in_stream.h"
#include "foundation/streams/mem_out_stream.h"
#include "foundation/streams/zstream.h"
#include "graphics2d/formats/anmz_handler.h"
#include "graphics2d/formats/bmp_handler.h"
#include "graphics2d/formats/jpeg_handler.h"
#include "graphics2d/formats/png_handler.h"
#include "packer/project_chunk_writer.h"
#include "packer/project_model.h"
#include "packer/project_writer.h"
#include "platform/registry/registry_store.h"
#include "script/project/project_format.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

fs::path corpus;
bool failed = false;

void Save(const std::string& target, const std::string& name, const Bytes& bytes) {
    std::ofstream file(corpus / target / name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) failed = true;
    std::printf("%-20s %-24s %8zu bytes\n", target.c_str(), name.c_str(), bytes.size());
}

Bytes Contents(CMemOutStream& out) {
    return Bytes(out.GetBuffer(), out.GetBuffer() + out.GetLength());
}

// Still-image targets read one byte that picks the output format, then the file.
Bytes WithChoice(uint8_t choice, const Bytes& file) {
    Bytes bytes{choice};
    bytes.insert(bytes.end(), file.begin(), file.end());
    return bytes;
}

// Gradients with noise: enough detail that compressed formats stay large.
struct Picture {
    Picture(int32_t w, int32_t h, int d, uint32_t seed)
        : width(w), height(h), depth(d), pitch(int32_t(SurfacePitch(w, d))),
          pixels(size_t(pitch) * h) {
        uint32_t state = seed;
        for (int32_t y = 0; y < h; y++)
            for (int32_t x = 0; x < pitch; x++) {
                state = state * 1664525u + 1013904223u;
                pixels[size_t(y) * pitch + x] = uint8_t(x * 3 + y * 5 + ((state >> 24) & 0x1F));
            }
    }
    int32_t width, height;
    int depth;
    int32_t pitch;
    Bytes pixels;
};

ImagePalette Rainbow() {
    ImagePalette palette{kPaletteVersion, kPaletteEntryCount, {}};
    for (int i = 0; i < 256; i++)
        palette.entries[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
    return palette;
}

Bytes WriteStill(CImageFormatHandler& handler, const Picture& picture) {
    CMemOutStream out;
    const ImagePalette palette = Rainbow();
    if (handler.WriteImage(out, picture.pixels.data(), picture.width, picture.height, picture.depth,
                           picture.pitch, &palette, 0) != kImageOk)
        failed = true;
    handler.EndWrite(out);
    return Contents(out);
}

void StillImages() {
    CBMPHandler bmp;
    Save("bmp_handler", "large_pal8.bmp", WithChoice(0, WriteStill(bmp, Picture(120, 90, 8, 1))));
    Save("bmp_handler", "large_rgb24.bmp", WithChoice(3, WriteStill(bmp, Picture(96, 64, 24, 2))));
    CPNGHandler png;
    Save("png_handler", "large_rgb24.png", WithChoice(3, WriteStill(png, Picture(100, 80, 24, 3))));
    Save("png_handler", "large_pal8.png", WithChoice(8, WriteStill(png, Picture(128, 96, 8, 4))));
    CJPEGHandler jpeg;
    Save("jpeg_handler", "large_rgb24.jpg",
         WithChoice(4, WriteStill(jpeg, Picture(160, 120, 24, 5))));
}

Bytes Animation(int depth, int frames, uint32_t seed) {
    CANMZHandler handler;
    CMemOutStream out;
    const ImagePalette palette = Rainbow();
    const int32_t width = 96, height = 64;
    if (handler.BeginWrite(out, width, height, depth, frames, 40, 1, 0, nullptr, 0) != kImageOk)
        failed = true;
    std::vector<Picture> pictures;
    for (int i = 0; i < frames; i++) {
        pictures.emplace_back(width, height, depth, seed + uint32_t(i / 2));
        const Picture& picture = pictures.back();
        const uint8_t* previous = i > 0 ? pictures[size_t(i) - 1].pixels.data() : nullptr;
        if (handler.WriteFrame(out, previous, picture.pixels.data(), width, height, picture.pitch,
                               depth, &palette, 10, 0) != kImageOk)
            failed = true;
    }
    handler.EndWrite(out);
    return Contents(out);
}

void Put16(Bytes& bytes, size_t at, uint16_t v) {
    bytes[at] = uint8_t(v);
    bytes[at + 1] = uint8_t(v >> 8);
}

void Put32(Bytes& bytes, size_t at, uint32_t v) {
    Put16(bytes, at, uint16_t(v));
    Put16(bytes, at + 2, uint16_t(v >> 16));
}

// TGA, PCX and FLC have no writer in the system; their layouts are simple enough to build
// here.
Bytes Targa(const Picture& picture) {
    Bytes bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (uint16_t v : {uint16_t(picture.width), uint16_t(picture.height)}) {
        bytes.push_back(uint8_t(v));
        bytes.push_back(uint8_t(v >> 8));
    }
    bytes.push_back(24);
    bytes.push_back(0);
    for (int32_t y = 0; y < picture.height; y++) {
        const uint8_t* row = picture.pixels.data() + size_t(y) * picture.pitch;
        bytes.insert(bytes.end(), row, row + picture.width * 3);
    }
    return bytes;
}

Bytes Pcx(const Picture& picture) {
    Bytes bytes(128, 0);
    bytes[0] = 10;
    bytes[1] = 5;
    bytes[2] = 1;
    bytes[3] = 8;
    Put16(bytes, 8, uint16_t(picture.width - 1));
    Put16(bytes, 10, uint16_t(picture.height - 1));
    Put16(bytes, 12, 72);
    Put16(bytes, 14, 72);
    bytes[65] = 1;
    Put16(bytes, 66, uint16_t(picture.width));
    Put16(bytes, 68, 1);
    for (int32_t y = 0; y < picture.height; y++) {
        const uint8_t* row = picture.pixels.data() + size_t(y) * picture.pitch;
        for (int32_t x = 0; x < picture.width;) {
            int32_t run = 1;
            while (x + run < picture.width && run < 63 && row[x + run] == row[x])
                run++;
            if (run > 1 || row[x] >= 0xC0) bytes.push_back(uint8_t(0xC0 | run));
            bytes.push_back(row[x]);
            x += run;
        }
    }
    bytes.push_back(12);
    for (int i = 0; i < 256; i++)
        for (uint8_t c : {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)})
            bytes.push_back(c);
    return bytes;
}

// A chunk: u32 size (header included), u16 type, then the body.
void AddChunk(Bytes& bytes, uint16_t type, const Bytes& body) {
    const size_t start = bytes.size();
    bytes.resize(start + 6);
    Put32(bytes, start, uint32_t(6 + body.size()));
    Put16(bytes, start + 4, type);
    bytes.insert(bytes.end(), body.begin(), body.end());
}

// An FLC animation: a first frame with colours and literal pixels, then frames whose rows
// alternate between literal and repeat packets of byte-run coding.
Bytes Flc(int32_t width, int32_t height, int frames) {
    Bytes bytes(128, 0);
    Put16(bytes, 4, 0xAF12);
    Put16(bytes, 6, uint16_t(frames));
    Put16(bytes, 8, uint16_t(width));
    Put16(bytes, 10, uint16_t(height));
    Put16(bytes, 12, 8);
    Put32(bytes, 16, 40);
    for (int f = 0; f < frames; f++) {
        const Picture picture(width, height, 8, uint32_t(20 + f));
        std::vector<std::pair<uint16_t, Bytes>> chunks;
        if (f == 0) {
            Bytes colours{1, 0, 0, 0};
            for (int i = 0; i < 256; i++)
                for (uint8_t c : {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)})
                    colours.push_back(c);
            chunks.push_back({4, colours});
            Bytes literal;
            for (int32_t y = 0; y < height; y++) {
                const uint8_t* row = picture.pixels.data() + size_t(y) * picture.pitch;
                literal.insert(literal.end(), row, row + width);
            }
            chunks.push_back({16, literal});
        } else {
            Bytes run;
            for (int32_t y = 0; y < height; y++) {
                const uint8_t* row = picture.pixels.data() + size_t(y) * picture.pitch;
                run.push_back(1);
                if (y % 2) {
                    run.push_back(uint8_t(width));
                    run.push_back(row[0]);
                } else {
                    run.push_back(uint8_t(-width));
                    run.insert(run.end(), row, row + width);
                }
            }
            chunks.push_back({15, run});
        }
        const size_t start = bytes.size();
        bytes.resize(start + 16, 0);
        Put16(bytes, start + 4, 0xF1FA);
        Put16(bytes, start + 6, uint16_t(chunks.size()));
        for (const auto& [type, body] : chunks)
            AddChunk(bytes, type, body);
        Put32(bytes, start, uint32_t(bytes.size() - start));
    }
    Put32(bytes, 0, uint32_t(bytes.size()));
    return bytes;
}

std::string ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The scripts of the script tests, in name order.
std::vector<fs::path> TestScripts(const fs::path& root) {
    std::vector<fs::path> paths;
    for (const auto& item : fs::directory_iterator(root / "tests" / "scripts"))
        if (item.path().extension() == ".zs") paths.push_back(item.path());
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::string AllTestScripts(const fs::path& root) {
    std::string text;
    for (const fs::path& path : TestScripts(root))
        text += ReadText(path) + "\n";
    return text;
}

Bytes AsBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

void Project(const fs::path& root) {
    namespace pf = project_format;
    PackProject project;
    for (int e = 0; e < 2; e++) {
        PackEntry entry;
        entry.name = e == 0 ? "Game" : "Tools";
        entry.initialSource = "Init";
        PackBank& source = BankOfType(entry, pf::kSourceBank);
        const std::vector<fs::path> paths = TestScripts(root);
        for (size_t i = size_t(e); i < paths.size() && i < 12; i += 2) {
            PackElement module;
            module.name = paths[i].filename().string();
            module.data = AsBytes(ReadText(paths[i]));
            module.packed = i % 4 < 2;
            source.elements.push_back(std::move(module));
        }
        PackBank& images = BankOfType(entry, pf::kImageBank);
        images.palettes.push_back(DefaultPackPalette());
        for (int depth : {8, 16, 24}) {
            const Picture picture(48, 32, depth, uint32_t(depth + e));
            PackElement image;
            image.kind = PackElement::Kind::RawImage;
            image.name = "raw" + std::to_string(depth);
            image.folder = "Sprites";
            image.width = uint16_t(picture.width);
            image.height = uint16_t(picture.height);
            image.depth = uint16_t(depth);
            image.data = picture.pixels;
            image.packed = depth != 16;
            if (depth == 8) {
                image.paletteIndex = 0;
                image.mask.assign(size_t(picture.width) * picture.height, 0xFF);
            }
            images.elements.push_back(std::move(image));
        }
        CPNGHandler png;
        PackElement file;
        file.kind = PackElement::Kind::ImageFile;
        file.name = "title.png";
        file.width = 40;
        file.height = 30;
        file.depth = 24;
        file.data = WriteStill(png, Picture(40, 30, 24, 9));
        images.elements.push_back(std::move(file));
        PackBank& strings = BankOfType(entry, pf::kStringBank);
        for (int i = 0; i < 20; i++) {
            PackElement text;
            text.name = "line" + std::to_string(i);
            text.folder = i % 2 ? "en" : "fr";
            text.data = AsBytes("A line of text number " + std::to_string(i) + " \xE9t\xE9");
            strings.elements.push_back(std::move(text));
        }
        project.entries.push_back(std::move(entry));
    }
    ProjectChunkWriter out;
    std::string error;
    if (!WriteProjectData(project, out, error) || !out.Ok()) {
        std::fprintf(stderr, "project: %s\n", error.c_str());
        failed = true;
    }
    Save("project_reader", "large_two_entries.proj", out.Bytes());
}

void Registry() {
    platform::RegistryKey root;
    for (int k = 0; k < 24; k++) {
        auto key = std::make_shared<platform::RegistryKey>();
        key->name = "Key" + std::to_string(100 + k);
        for (int v = 0; v < 8; v++) {
            platform::RegistryValue value;
            value.name = "Value" + std::to_string(v);
            value.type = DWORD(v % 4 == 0 ? REG_SZ : v % 4 == 1 ? REG_DWORD : REG_BINARY);
            value.data.assign(size_t(v % 4 == 1 ? 4 : 4 + v * 3), BYTE('a' + v));
            key->values.push_back(std::move(value));
        }
        auto sub = std::make_shared<platform::RegistryKey>();
        sub->name = "Settings";
        sub->values.push_back({"", REG_SZ, {'x', 0}});
        key->subkeys.push_back(sub);
        root.subkeys.push_back(std::move(key));
    }
    Save("registry_store", "large_many_keys.reg", platform::SerializeRegistryStore(root));
}

Bytes Compress(const Bytes& data, int level) {
    CMemInStream in;
    in.Attach(data.data(), uint32_t(data.size()));
    CMemOutStream out;
    if (ZStream_Compress(out, in, uint32_t(data.size()), level) != kResultOk) failed = true;
    return Contents(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_write_seeds REPOSITORY_ROOT\n");
        return 2;
    }
    const fs::path root = argv[1];
    corpus = root / "fuzz" / "corpus";
    StillImages();
    Save("anmz_handler", "large_depth24.anmz", Animation(24, 12, 11));
    Save("anmz_handler", "large_depth8.anmz", Animation(8, 16, 12));
    Save("tga_handler", "large_rgb24.tga", WithChoice(3, Targa(Picture(64, 48, 24, 13))));
    Save("fli_handler", "large_frames.flc", Flc(96, 64, 8));
    Save("pcx_handler", "large_pal8.pcx", WithChoice(0, Pcx(Picture(128, 96, 8, 14))));
    const std::string scripts = AllTestScripts(root);
    Save("script_compile", "large_all_tests.src", AsBytes(scripts));
    Project(root);
    Registry();
    Save("zstream_decompress", "large_scripts.z", Compress(AsBytes(scripts), 6));
    Save("zstream_decompress", "large_noise_level1.z",
         Compress(Picture(128, 128, 8, 15).pixels, 1));
    return failed ? 1 : 0;
}
