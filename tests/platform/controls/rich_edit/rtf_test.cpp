#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/controls/rich_edit/rtf_reader.h"
#include "platform/controls/rich_edit/rtf_writer.h"

namespace {

using platform::ReadRtf;
using platform::RichAlign;
using platform::RichFormat;
using platform::RichRun;
using platform::RichText;
using platform::WriteRtf;

RichText Read(std::string_view rtf) {
    std::optional<RichText> document = ReadRtf(rtf, RichFormat{});
    EXPECT_TRUE(document.has_value()) << rtf;
    return document.value_or(RichText{});
}

RichFormat Format(uint32_t effects, int height = 200, std::string face = "Arial",
                  uint32_t color = 0) {
    return RichFormat{effects, height, color, std::move(face)};
}

TEST(RtfReader, CharacterWordsMakeRunsWithTheTablesFacesAndColours) {
    RichText document = Read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}"
                             "{\\f1\\froman{\\*\\panose 0}Times New Roman;}}"
                             "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}"
                             "\\fs40 a\\b b\\b0\\i c\\i0\\ul d\\ulnone\\strike e\\strike0"
                             "\\f1 f\\cf1 g\\cf2 h\\cf0 i{\\b j}k\\plain l}");
    EXPECT_EQ(document.Text(), "abcdefghijkl");
    const uint32_t kAuto = CFE_AUTOCOLOR;
    std::vector<RichRun> expected = {
        {1, Format(kAuto, 400)},
        {1, Format(kAuto | CFE_BOLD, 400)},
        {1, Format(kAuto | CFE_ITALIC, 400)},
        {1, Format(kAuto | CFE_UNDERLINE, 400)},
        {1, Format(kAuto | CFE_STRIKEOUT, 400)},
        {1, Format(kAuto, 400, "Times New Roman")},
        {1, Format(0, 400, "Times New Roman", 0x0000FF)},
        {1, Format(0, 400, "Times New Roman", 0x800000)},
        {1, Format(kAuto, 400, "Times New Roman")},
        {1, Format(kAuto | CFE_BOLD, 400, "Times New Roman")},
        {1, Format(kAuto, 400, "Times New Roman")},
        {1, Format(kAuto)},
    };
    EXPECT_EQ(document.Runs(), expected);
}

TEST(RtfReader, ParagraphsLinesAndTabsWithTheirAlignments) {
    RichText document =
        Read("{\\rtf1 \\qc one\\par\\pard two\\tab x\\line y\\par\\qr three\\par\n\\pard}");
    EXPECT_EQ(document.Text(), "one\rtwo\tx\vy\rthree\r");
    std::vector<RichAlign> expected = {RichAlign::Center, RichAlign::Left, RichAlign::Right,
                                       RichAlign::Left};
    EXPECT_EQ(document.Alignments(), expected);
    // Line ends in the file are not text; a backslash before one is a paragraph.
    EXPECT_EQ(Read("{\\rtf1 a\r\nb\\\nc}").Text(), "ab\rc");
}

TEST(RtfReader, EscapesUnicodeFallbacksAndBinaryData) {
    EXPECT_EQ(Read("{\\rtf1 \\'e9\\'80\\\\\\{\\}\\~}").Text(), "\xE9\x80\\{}\xA0");
    // A code the code page has skips its fallback; one it lacks shows the fallback.
    EXPECT_EQ(Read("{\\rtf1 \\u8364?x\\uc2\\u233\\'65\\'65y\\u20013ab}").Text(), "\x80x\xE9yab");
    EXPECT_EQ(Read("{\\rtf1 \\uc0\\u20013 z\\u-4064 w}").Text(), "?z?w");
    // Braces and backslashes inside binary data are data.
    EXPECT_EQ(Read("{\\rtf1 a\\bin4 }{\\\\b}").Text(), "ab");
    // A fallback ends with its group.
    EXPECT_EQ(Read("{\\rtf1 {\\uc3\\u8364}abc}").Text(), "\x80"
                                                         "abc");
}

TEST(RtfReader, OtherDestinationsAreSkipped) {
    RichText document = Read("{\\rtf1{\\info{\\title T}}{\\*\\generator G;}"
                             "{\\pict\\pngblip 89504e47}{\\object{\\objdata 01}}"
                             "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}} end}");
    // The picture and the object each keep their place.
    EXPECT_EQ(document.Text(), "  shown end");
}

TEST(RtfReader, MalformedInputLoadsWhatItCan) {
    EXPECT_FALSE(ReadRtf("plain text", RichFormat{}).has_value());
    EXPECT_FALSE(ReadRtf("", RichFormat{}).has_value());
    EXPECT_EQ(Read("{\\rtf1 open {\\b bold").Text(), "open bold");
    EXPECT_EQ(Read("{\\rtf1 a}} after").Text(), "a");
    EXPECT_EQ(Read("{\\rtf1 a\\bin99999999999 bcd").Text(), "a");
    EXPECT_EQ(Read("{\\rtf1 a\\'4").Text(), "a");
    EXPECT_EQ(Read("{\\rtf1 a\\'").Text(), "a");
    EXPECT_EQ(Read("{\\rtf1 a\\u").Text(), "a");
    EXPECT_EQ(Read("{\\rtf1 a\\").Text(), "a");
    EXPECT_EQ(Read("{\\rtf1 \\fs99999999999999 a\\fs-5 b}").Runs().front().format.height, 32760);

    // Deep nesting is read iteratively; past the limit groups share their parent's state.
    std::string deep = "{\\rtf1 ";
    for (int i = 0; i < 10000; ++i)
        deep += "{\\b x";
    deep += std::string(10000, '}') + "y}";
    RichText nested = Read(deep);
    EXPECT_EQ(nested.Length(), 10001);
    EXPECT_EQ(nested.Text().back(), 'y');
    EXPECT_EQ(nested.Runs().back().format.effects & CFE_BOLD, 0u);
}

TEST(RtfWriter, WritesTablesRunsAndEscapes) {
    RichText document;
    document.Append("a{b}\\", Format(CFE_AUTOCOLOR));
    document.Append("\xE9;\r", Format(CFE_BOLD | CFE_ITALIC, 240, "Fa;ce", 0x00FF00));
    document.SetLastAlignment(RichAlign::Right);
    document.Append("\t", Format(CFE_UNDERLINE | CFE_STRIKEOUT, 200, "Arial", 0x00FF00));
    EXPECT_EQ(WriteRtf(document), "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}"
                                  "{\\f1\\fnil Fa\\'3bce;}}\n"
                                  "{\\colortbl ;\\red0\\green255\\blue0;}\n"
                                  "\\pard \\plain\\f0\\fs20 a\\{b\\}\\\\"
                                  "\\plain\\f1\\fs24\\b\\i\\cf1 \\'e9;\\par\n"
                                  "\\pard\\qr \\plain\\f0\\fs20\\ul\\strike\\cf1 \\tab }\n");
}

TEST(RtfWriter, RandomDocumentsReadBackToTheSameRuns) {
    std::mt19937 random(22);
    const std::vector<std::string> faces = {"Arial", "Courier New", "{odd\\face;}", ""};
    for (int round = 0; round < 200; ++round) {
        RichText document;
        int runs = static_cast<int>(random() % 12);
        for (int r = 0; r < runs; ++r) {
            RichFormat format;
            format.effects = random() & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT);
            if (random() % 2)
                format.color = random() & 0xFFFFFF;
            else
                format.effects |= CFE_AUTOCOLOR;
            format.height = static_cast<int>(10 + random() % 3000 * 10);
            format.face = faces[random() % faces.size()];
            std::string text;
            int length = 1 + static_cast<int>(random() % 20);
            for (int i = 0; i < length; ++i) {
                char c = static_cast<char>(1 + random() % 255);
                text.push_back(c == '\n' ? '\r' : c);
            }
            document.Append(text, format);
            document.SetLastAlignment(static_cast<RichAlign>(random() % 3));
        }
        std::string written = WriteRtf(document);
        std::optional<RichText> back = ReadRtf(written, RichFormat{});
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->Text(), document.Text()) << written;
        EXPECT_EQ(back->Runs(), document.Runs()) << written;
        EXPECT_EQ(back->Alignments(), document.Alignments()) << written;
        EXPECT_EQ(WriteRtf(*back), written);
    }
}

TEST(RichText, ReplaceSliceAndFormatKeepRunsAndParagraphs) {
    RichText document;
    document.Append("one\r", Format(CFE_AUTOCOLOR));
    document.SetLastAlignment(RichAlign::Center);
    document.Append("two", Format(CFE_BOLD));
    EXPECT_EQ(document.Alignments(), (std::vector<RichAlign>{RichAlign::Left, RichAlign::Center}));

    RichText slice = document.Slice(2, 5);
    EXPECT_EQ(slice.Text(), "e\rt");
    EXPECT_EQ(slice.Runs().size(), 2u);
    EXPECT_EQ(slice.Alignments(), (std::vector<RichAlign>{RichAlign::Left, RichAlign::Center}));

    document.Format(1, 6, CFM_ITALIC | CFM_BOLD, Format(CFE_ITALIC));
    ASSERT_EQ(document.Runs().size(), 4u);
    EXPECT_EQ(document.Runs()[1].length, 3);
    EXPECT_EQ(document.Runs()[1].format.effects, CFE_AUTOCOLOR | CFE_ITALIC);
    EXPECT_EQ(document.Runs()[2].format.effects, static_cast<uint32_t>(CFE_ITALIC));
    EXPECT_EQ(document.Runs()[3].format.effects, static_cast<uint32_t>(CFE_BOLD));

    // Removing the paragraph end joins the two; the first keeps its alignment.
    RichText nothing;
    document.Replace(3, 4, nothing);
    EXPECT_EQ(document.Text(), "onetwo");
    EXPECT_EQ(document.Alignments(), (std::vector<RichAlign>{RichAlign::Left}));
    document.Replace(3, 3, slice);
    EXPECT_EQ(document.Text(), "onee\rttwo");
    EXPECT_EQ(document.Alignments(), (std::vector<RichAlign>{RichAlign::Left, RichAlign::Left}));
    int total = 0;
    for (const RichRun& run : document.Runs())
        total += run.length;
    EXPECT_EQ(total, document.Length());
}

} // namespace
