// Pictures and objects in rich text: what is decoded, the size each shows at, and their
// groups written back as read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/controls/rich_edit/picture_decode.h"
#include "platform/controls/rich_edit/rtf_reader.h"
#include "platform/controls/rich_edit/rtf_writer.h"

namespace {

using platform::DecodedPicture;
using platform::ReadRtf;
using platform::RichFormat;
using platform::RichObject;
using platform::RichObjectKind;
using platform::RichText;

std::string PicturesFile() {
    std::ifstream file(std::filesystem::path(__FILE__).parent_path() / "pictures.rtf",
                       std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::vector<const RichObject*> Objects(const RichText& document) {
    std::vector<const RichObject*> objects;
    for (const platform::RichRun& run : document.Runs())
        for (int i = 0; run.object && i < run.length; ++i)
            objects.push_back(run.object.get());
    return objects;
}

// The bytes of `source` from `first` up to and with the brace that closes it.
std::string Group(const std::string& source, const std::string& first) {
    size_t start = source.find(first);
    EXPECT_NE(start, std::string::npos) << first;
    int depth = 0;
    for (size_t i = start; i < source.size(); ++i) {
        if (source[i] == '{') ++depth;
        if (source[i] == '}' && --depth == 0) return source.substr(start, i - start + 1);
    }
    return "";
}

uint32_t Distance(uint32_t a, uint32_t b) {
    uint32_t most = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        most = std::max(most, static_cast<uint32_t>(std::abs(d)));
    }
    return most;
}

TEST(RtfPictures, PngJpegAndDibShowAndEveryGroupWritesBackAsRead) {
    std::string source = PicturesFile();
    std::optional<RichText> document = ReadRtf(source, RichFormat{});
    ASSERT_TRUE(document.has_value());
    EXPECT_EQ(document->Text(), "PNG   JPEG  \rDIB   meta   obj   end\r");
    std::vector<const RichObject*> objects = Objects(*document);
    ASSERT_EQ(objects.size(), 5u); // the \nonshppict stand-in is not read
    const RichObject& png = *objects[0];
    const RichObject& jpeg = *objects[1];
    const RichObject& dib = *objects[2];
    EXPECT_EQ(png.kind, RichObjectKind::Png);
    EXPECT_EQ(jpeg.kind, RichObjectKind::Jpeg);
    EXPECT_EQ(dib.kind, RichObjectKind::Dib);
    EXPECT_EQ(objects[3]->kind, RichObjectKind::OtherPicture);
    EXPECT_EQ(objects[4]->kind, RichObjectKind::Embedded);

    // Goal sizes in twips, else the pixels at 15 twips each, scaled.
    EXPECT_EQ(std::make_pair(png.width, png.height), std::make_pair(360, 240));
    EXPECT_EQ(std::make_pair(jpeg.width, jpeg.height), std::make_pair(360, 180));
    EXPECT_EQ(std::make_pair(dib.width, dib.height), std::make_pair(300, 180));
    EXPECT_EQ(std::make_pair(objects[3]->width, objects[3]->height), std::make_pair(480, 240));
    EXPECT_EQ(std::make_pair(objects[4]->width, objects[4]->height), std::make_pair(300, 300));
    EXPECT_FALSE(objects[3]->Shown());
    EXPECT_FALSE(objects[4]->Shown());

    ASSERT_EQ(std::make_pair(png.pixelWidth, png.pixelHeight), std::make_pair(12, 8));
    EXPECT_EQ(png.pixels[0], 0xFFDC1E1Eu);
    EXPECT_EQ(png.pixels[4 * 12], 0xFF1EA01Eu);
    EXPECT_EQ(png.pixels[10] >> 24, 0u);
    ASSERT_EQ(std::make_pair(jpeg.pixelWidth, jpeg.pixelHeight), std::make_pair(16, 8));
    EXPECT_LE(Distance(jpeg.pixels[0], 0x0040FF), 8u);
    EXPECT_LE(Distance(jpeg.pixels[15], 0xFFC800), 8u);
    ASSERT_EQ(std::make_pair(dib.pixelWidth, dib.pixelHeight), std::make_pair(5, 3));
    EXPECT_EQ(dib.pixels[0], 0xFF0064C8u);     // top row, first in the file's last row
    EXPECT_EQ(dib.pixels[5 + 4], 0xFFFFC800u); // padded rows
    EXPECT_EQ(dib.pixels[14], 0xFF505050u);

    std::string written = platform::WriteRtf(*document);
    for (const char* first : {"{\\pict\\pngblip", "{\\pict{\\*\\picprop", "{\\pict\\dibitmap0",
                              "{\\pict\\wmetafile8\\picw847", "{\\object"})
        EXPECT_NE(written.find(Group(source, first)), std::string::npos) << first;
    EXPECT_EQ(written.find("nonshppict"), std::string::npos);
    std::optional<RichText> again = ReadRtf(written, RichFormat{});
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(*again, *document);
    EXPECT_EQ(platform::WriteRtf(*again), written);
}

TEST(RtfPictures, SizesScalesAndBrokenGroups) {
    auto only = [](const std::string& rtf) {
        std::optional<RichText> document = ReadRtf(rtf, RichFormat{});
        std::vector<const RichObject*> objects = Objects(document.value_or(RichText{}));
        return objects.size() == 1 ? std::make_pair(objects[0]->width, objects[0]->height)
                                   : std::make_pair(-1, -1);
    };
    // A metafile's \picw is in hundredths of a millimetre; a scale of nothing counts as none.
    EXPECT_EQ(only("{\\rtf1{\\pict\\wmetafile8\\picw2540\\pich1270\\picscalex0 00}}"),
              std::make_pair(1440, 720));
    EXPECT_EQ(only("{\\rtf1{\\pict\\emfblip\\picwgoal100\\pichgoal100\\picscalex200"
                   "\\picscaley50 00}}"),
              std::make_pair(200, 50));
    EXPECT_EQ(only("{\\rtf1{\\pict\\picwgoal2147483647\\pichgoal-5\\picscalex99999999 00}}"),
              std::make_pair(platform::kRichObjectMaxTwips, 0));
    EXPECT_EQ(only("{\\rtf1{\\object\\objw100\\objh40\\objscalex50{\\result{\\pict 00}}}}"),
              std::make_pair(50, 40));

    // Cut short, a picture is dropped; data that is not its kind shows as a frame; \\bin data
    // and escaped braces stay inside the group; a picture reads alike at any depth.
    EXPECT_EQ(ReadRtf("{\\rtf1 a{\\pict\\pngblip 8950", RichFormat{})->Text(), "a");
    std::optional<RichText> odd =
        ReadRtf("{\\rtf1{\\pict\\pngblip\\bin4 {}\\x\\'7d\\}}b}", RichFormat{});
    ASSERT_EQ(Objects(*odd).size(), 1u);
    EXPECT_FALSE(Objects(*odd)[0]->Shown());
    EXPECT_EQ(Objects(*odd)[0]->group, "{\\pict\\pngblip\\bin4 {}\\x\\'7d\\}}");
    EXPECT_EQ(odd->Text(), " b");
    std::string deep = "{\\rtf1 ";
    for (int i = 0; i < 150; ++i)
        deep += "{";
    deep += "{\\pict\\picwgoal30\\pichgoal30{\\*\\x{{{}}}}00}" + std::string(150, '}') + "}";
    EXPECT_EQ(only(deep), std::make_pair(30, 30));
}

std::string Le(std::initializer_list<uint32_t> words, int size = 4) {
    std::string out;
    for (uint32_t word : words)
        for (int i = 0; i < size; ++i)
            out.push_back(static_cast<char>(word >> (8 * i)));
    return out;
}

// A BITMAPINFOHEADER: size, width, height, planes and bits, compression, image size, the
// resolutions, colours used and important.
std::string Header(int32_t width, int32_t height, int bits, uint32_t compression = 0,
                   uint32_t used = 0) {
    return Le({40, static_cast<uint32_t>(width), static_cast<uint32_t>(height),
               1u | static_cast<uint32_t>(bits) << 16, compression, 0, 0, 0, used, 0});
}

TEST(PictureDecode, DibsOfEveryDepthAndTheOnesRefused) {
    DecodedPicture out;
    // 1 bit, bottom-up: the lower row first; each row padded to 4 bytes.
    std::string one = Header(3, 2, 1) + Le({0x0000FF, 0xFFFFFF}) + Le({0xA0, 0x40});
    ASSERT_TRUE(platform::DecodeDib(one, out));
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0xFF0000FF, 0xFFFFFFFF, 0xFF0000FF, 0xFFFFFFFF,
                                                 0xFF0000FF, 0xFFFFFFFF}));
    // 4 bits with two colours used, top-down; an index past the table is black.
    std::string four = Header(2, -1, 4, 0, 2) + Le({0x112233, 0x445566}) + Le({0x12});
    ASSERT_TRUE(platform::DecodeDib(four, out));
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0xFF445566, 0xFF000000}));
    // 16 bits 5-6-5 by masks after the header; 32 bits as stored.
    std::string sixteen =
        Header(2, 1, 16, 3) + Le({0xF800, 0x07E0, 0x001F}) + Le({0xF800, 0x07E0}, 2) + Le({0});
    ASSERT_TRUE(platform::DecodeDib(sixteen, out));
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00}));
    ASSERT_TRUE(platform::DecodeDib(Header(1, 1, 32) + Le({0x80123456}), out));
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0xFF123456}));

    EXPECT_FALSE(platform::DecodeDib(Header(3, 2, 1) + Le({0, 0}) + Le({0}), out)); // rows cut
    EXPECT_FALSE(platform::DecodeDib(Header(2, 1, 8) + Le({0}), out));       // table cut
    EXPECT_FALSE(platform::DecodeDib(Header(1, 1, 8, 1) + Le({0}), out));    // RLE
    EXPECT_FALSE(platform::DecodeDib(Header(1, 1, 7) + Le({0}), out));
    EXPECT_FALSE(platform::DecodeDib(Header(0, 1, 24) + Le({0}), out));
    EXPECT_FALSE(platform::DecodeDib(Header(1, INT32_MIN, 24) + Le({0}), out));
    EXPECT_FALSE(platform::DecodeDib(Header(70000, 70000, 1), out));
    EXPECT_FALSE(platform::DecodeDib(Header(1, 1, 24).substr(0, 39), out));
    EXPECT_FALSE(platform::DecodePng("\x89PNG\r\n\x1a\n", out));
    EXPECT_FALSE(platform::DecodeJpeg("\xFF\xD8\xFF\xE0", out));
    EXPECT_FALSE(platform::DecodeJpeg("", out));
}

} // namespace
