// The sectioned text format: every value the writer spells reads back, and the reader's
// handling of layouts that files rely on or that arrive spoilt.
#include "engine3d/files/section_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "engine3d/scene/key_track.h"
#include "foundation/streams/mem_in_stream.h"
#include "support/temp_dir.h"

namespace {

// A document over literal text.
struct Text {
    explicit Text(std::string body)
        : text(std::move(body)),
          document((stream.Attach(text.data(), uint32_t(text.size())), &stream)) {}
    std::string text;
    CMemInStream stream;
    SectionFile document;
};

constexpr int kFirst = SectionFile::kFirst;
constexpr int kNext = SectionFile::kNext;

TEST(SectionFileTest, EveryValueTheWriterSpellsReadsBack) {
    test_support::TempDir dir;
    const std::string path = dir.Win("values.yix");
    SectionFileWriter writer;
    ASSERT_EQ(writer.Open(path.c_str()), kResultOk);
    writer.WriteSection("VALUES");
    writer.WriteInt("ValInt", -42);
    writer.WriteULong("ValLong", 4000000000u);
    writer.WriteFloat("ValFloat", -2.5f);
    writer.WriteString("ValWord", "DIRECT3D");
    writer.WriteQuotedString("ValQuoted", "two words");
    writer.WriteRGB("ValColour", 0x030201);
    writer.WritePos3D("ValPos", 1.5f, -2.0f, 3.25f);
    writer.WriteRot3D("ValRot", 0.5f, 0.25f, -0.125f);
    writer.WriteVec3D("ValVec", 0.0f, 0.0f, 1.0f);
    const int32_t rect[4] = {10, 20, 30, 40};
    writer.WriteRect("ValRect", rect);
    const float point[7] = {1, 2, 3, 0.25f, 0.5f, 0.75f, 1};
    writer.WriteP3DDef("ValPoint", point);
    const int32_t quad[4] = {0, 1, 2, 3};
    writer.WritePolDef("ValQuad", quad, 4, "Stone Wall");
    writer.WritePolDef("ValTriangle", quad, 3, "Mat2");
    const int32_t anim[7] = {2, 10, 50, 12, 1, 2, 3};
    writer.WriteAnimDef("ValAnim", "Walk2", anim);
    writer.WriteTrackDef("ValTrack", 3, 12);
    LKey key;
    key.frame = 5;
    key.tension = 0.5f;
    key.bias = -0.25f;
    key.continuity = 0.125f;
    key.easeTo = 1;
    key.easeFrom = 2;
    key.elementCount = 7;
    writer.WriteKeyDef("ValKey", key);
    const float vector[3] = {4, 5, 6};
    writer.WriteVec3DKey("ValVecKey", vector);
    const float quat[4] = {0.5f, 1, 0, -1};
    writer.WriteQuat("ValQuat", quat);
    float matrix[16];
    for (int i = 0; i < 16; ++i)
        matrix[i] = float(i + 1);
    writer.WriteMatrix("ValMatrix", matrix);
    writer.WritePMove("ValMove", LPointMove{9, {1, 2, 3, 4, 5}});
    ASSERT_EQ(writer.Close(), kResultOk);

    SectionFile document(path.c_str());
    ASSERT_EQ(document.LastResult(), kResultOk);
    ASSERT_EQ(document.FindSection("VALUES", kFirst), 1);
    EXPECT_EQ(document.GetInt("ValInt", 0, kFirst), -42);
    EXPECT_EQ(uint32_t(document.GetLong("ValLong", 0, kFirst)), 4000000000u);
    EXPECT_FLOAT_EQ(document.GetFloat("ValFloat", 0, kFirst), -2.5f);
    // Names are known by their hashes only: every key of this section hashes apart.
    char text[64];
    document.GetString("ValWord", text, sizeof text, "", kFirst);
    EXPECT_STREQ(text, "DIRECT3D");
    document.GetQuotedString("ValQuoted", text, sizeof text, "", kFirst);
    EXPECT_STREQ(text, "two words");
    document.GetString("ValQuoted", text, sizeof text, "", kFirst);
    EXPECT_STREQ(text, "'two") << "read as a word it ends at the blank";
    EXPECT_EQ(document.GetRGB("ValColour", 0, kFirst), 0x030201u);
    const float zero[16] = {};
    float xyz[3];
    document.GetPos3D("ValPos", xyz, zero, kFirst);
    EXPECT_EQ(xyz[0], 1.5f);
    EXPECT_EQ(xyz[1], -2.0f);
    EXPECT_EQ(xyz[2], 3.25f) << "the digit of the keyword is never taken";
    document.GetRot3D("ValRot", xyz, zero, kFirst);
    EXPECT_EQ(xyz[2], -0.125f);
    float v4[4] = {9, 9, 9, 9};
    document.GetVec3D("ValVec", v4, zero, kFirst);
    EXPECT_EQ(v4[2], 1.0f);
    EXPECT_EQ(v4[3], 0.0f);
    int32_t readRect[4];
    const int32_t noRect[4] = {};
    document.GetRect("ValRect", readRect, noRect, kFirst);
    EXPECT_EQ(std::vector<int32_t>(readRect, readRect + 4), std::vector<int32_t>(rect, rect + 4));
    float p7[7];
    document.GetP3DDef("ValPoint", p7, zero, true, kFirst);
    EXPECT_EQ(std::vector<float>(p7, p7 + 7), std::vector<float>(point, point + 7));
    document.GetP3DDef("ValPoint", p7, zero, false, kFirst);
    EXPECT_EQ(p7[5], 0.25f);
    EXPECT_EQ(p7[6], 0.5f) << "older files repeat the first texture pair";
    int32_t indices[4] = {};
    const int32_t noIndices[4] = {7, 7, 7, 7};
    EXPECT_EQ(document.GetPolDef("ValQuad", indices, text, sizeof text, noIndices, "", kFirst), 4);
    EXPECT_EQ(indices[3], 3);
    EXPECT_STREQ(text, "Stone Wall");
    EXPECT_EQ(document.GetPolDef("ValTriangle", indices, text, sizeof text, noIndices, "", kFirst),
              3);
    EXPECT_STREQ(text, "Mat2");
    EXPECT_EQ(document.GetPolDef("ValAbsent", indices, text, sizeof text, noIndices, "Def", kFirst),
              0);
    EXPECT_EQ(indices[0], 7);
    char name[16];
    int32_t values[7];
    const int32_t noValues[7] = {};
    document.GetAnimDef("ValAnim", name, values, "", noValues, kFirst);
    EXPECT_STREQ(name, "Walk2");
    EXPECT_EQ(std::vector<int32_t>(values, values + 7), std::vector<int32_t>(anim, anim + 7))
        << "the digit in the name is not a value";
    int32_t track[2];
    document.GetTrackDef("ValTrack", track, noValues, kFirst);
    EXPECT_EQ(track[0], 3);
    EXPECT_EQ(track[1], 12);
    LKey readKey, fallback;
    fallback.elementCount = 99;
    document.GetKeyDef("ValKey", readKey, fallback, true, kFirst);
    EXPECT_EQ(readKey.frame, 5.0f);
    EXPECT_EQ(readKey.bias, -0.25f);
    EXPECT_EQ(readKey.continuity, 0.125f);
    EXPECT_EQ(readKey.easeFrom, 2.0f);
    EXPECT_EQ(readKey.elementCount, 7u);
    document.GetKeyDef("ValKey", readKey, fallback, false, kFirst);
    EXPECT_EQ(readKey.elementCount, 99u) << "without the flag the count is the default's";
    document.GetVec3D("ValVecKey", v4, zero, kFirst);
    EXPECT_EQ(v4[0], 4.0f);
    document.GetQuat("ValQuat", v4, zero, kFirst);
    EXPECT_EQ(std::vector<float>(v4, v4 + 4), std::vector<float>(quat, quat + 4));
    float readMatrix[16];
    document.GetMatrix("ValMatrix", readMatrix, zero, kFirst);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(readMatrix[row * 4 + column], matrix[row * 4 + column]);
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(readMatrix[12 + column], 0.0f) << "the fourth row stays zero";
    LPointMove move{}, noMove{};
    document.GetPMove("ValMove", move, noMove, kFirst);
    EXPECT_EQ(move.index, 9u);
    EXPECT_EQ(move.values[4], 5.0f);
}

TEST(SectionFileTest, HeadersAndKeysFollowTheFormatsOddities) {
    Text t("junk [A]\r\nLost = 1\r\n[AB]\r\nXey = 5\r\n\r\n[CD]\r\n[EF]\r\nGone = 3\r\n"
           "[GH]\r\nOne = 1\r\n\r\n\r\nTwo = 2\r\nLast = 3");
    SectionFile& d = t.document;
    EXPECT_EQ(d.FindSection("A", kFirst), 0) << "a one-character name is no header";
    ASSERT_EQ(d.FindSection("AB", kFirst), 1);
    EXPECT_EQ(d.GetInt("Key", 0, kFirst), 5) << "names equal but for the first character";
    EXPECT_EQ(d.FindSection("Lost", kFirst), 0);
    // A header right after a header is a key of the first; the second's keys are lost.
    ASSERT_EQ(d.FindSection("CD", kFirst), 1);
    EXPECT_EQ(d.FindSection("EF", kFirst), 0);
    ASSERT_EQ(d.FindSection("GH", kFirst), 1);
    EXPECT_EQ(d.GetInt("One", 0, kFirst), 1);
    EXPECT_EQ(d.GetInt("Two", -1, kFirst), -1) << "two empty lines swallow the next key";
    EXPECT_EQ(d.GetInt("Last", -1, kFirst), -1) << "a last line without CR LF";
}

TEST(SectionFileTest, LookupModesAndDefaults) {
    Text t("\r\n[S1]\r\nKey = 1\r\nKey = 2\r\nOther = 9\r\n\r\n[LF]\nKey = 1\nKey = 2\n"
           "\r\n[S1]\r\nKey = 3\r\n");
    SectionFile& d = t.document;
    ASSERT_EQ(d.FindSection("S1", kFirst), 1);
    EXPECT_EQ(d.GetInt("Key", 0, kNext), 1);
    EXPECT_EQ(d.GetInt("Key", 0, kNext), 2);
    EXPECT_EQ(d.GetInt("Key", -1, kNext), -1);
    EXPECT_EQ(d.GetInt("Key", 0, kNext), 1) << "after a failed lookup mode 2 starts again";
    EXPECT_EQ(d.GetInt("Key", 0, SectionFile::kLast), 2);
    ASSERT_EQ(d.FindSection("S1", kNext), 1);
    EXPECT_EQ(d.GetInt("Key", 0, kFirst), 3);
    EXPECT_EQ(d.FindSection("S1", kNext), 0);
    EXPECT_EQ(d.GetInt("Key", 7, kFirst), 7) << "no section is current after a failure";
    ASSERT_EQ(d.FindSection("S1", SectionFile::kLast), 1);
    EXPECT_EQ(d.GetInt("Key", 0, kFirst), 3);
    char text[4];
    d.GetQuotedString("Absent", text, sizeof text, "Nothing", kFirst);
    EXPECT_STREQ(text, "Not") << "a default is cut to the buffer";
    // With LF line ends a section is one line: no key after the first is indexed.
    ASSERT_EQ(d.FindSection("LF", kFirst), 1);
    EXPECT_EQ(d.GetInt("Key", 0, kNext), 1);
    EXPECT_EQ(d.GetInt("Key", -1, kNext), -1);
}

TEST(SectionFileTest, QuotedTextDropsQuotesAndCarriageReturns) {
    Text t("[QQ]\r\nApostrophe = 'it''s'\r\nSpaced =    'two words'\r\n");
    char text[32];
    ASSERT_EQ(t.document.FindSection("QQ", kFirst), 1);
    t.document.GetQuotedString("Apostrophe", text, sizeof text, "", kFirst);
    EXPECT_STREQ(text, "its");
    t.document.GetQuotedString("Spaced", text, sizeof text, "", kFirst);
    EXPECT_STREQ(text, "two words");
}

TEST(SectionFileTest, OverlongTextAndSpoiltTuplesStayInsideTheirBuffers) {
    const std::string longName(5000, 'n');
    const std::string longNumber(100, '7');
    Text t("[" + longName + "]\r\nK = 1\r\n[LL]\r\nLongQuote = '" + longName +
           "'\r\nLongWord = " + longName + "\r\nBigNumber = POS3D(" + longNumber +
           ",2.0,3.0)\r\nTruncated = POS3D(1.0,2.0\r\nLongAnim = ANIMDEF(" + longName +
           ",1,2)\r\nLongPoly = POLDEF(0,1,2," + longName + ")\r\n");
    SectionFile& d = t.document;
    ASSERT_EQ(d.FindSection("LL", kFirst), 1);
    char text[512];
    d.GetQuotedString("LongQuote", text, sizeof text, "", kFirst);
    EXPECT_LT(std::string(text).size(), SectionFile::kLineSize);
    EXPECT_GT(std::string(text).size(), SectionFile::kLineSize - 3);
    d.GetString("LongWord", text, sizeof text, "", kFirst);
    EXPECT_EQ(std::string(text).size(), SectionFile::kLineSize - 1);
    const float zero[3] = {};
    float xyz[3];
    d.GetPos3D("BigNumber", xyz, zero, kFirst);
    EXPECT_EQ(xyz[1], 2.0f);
    // The text ends inside the second number: it is 0, and the scan starts over.
    d.GetPos3D("Truncated", xyz, zero, kFirst);
    EXPECT_EQ(xyz[0], 1.0f);
    EXPECT_EQ(xyz[1], 0.0f);
    EXPECT_EQ(xyz[2], 1.0f);
    char name[16];
    int32_t values[7];
    const int32_t none[7] = {};
    d.GetAnimDef("LongAnim", name, values, "", none, kFirst);
    EXPECT_EQ(std::string(name), std::string(15, 'n'));
    int32_t indices[4];
    EXPECT_EQ(d.GetPolDef("LongPoly", indices, text, sizeof text, none, "", kFirst), 3);
    EXPECT_EQ(std::string(text).size(), SectionFile::kFieldSize - 1);
}

TEST(SectionFileTest, ALongKeyNeverCutsItsTextShort) {
    // Key and text together pass the reader's line length; the text alone does not.
    test_support::TempDir dir;
    const std::string path = dir.Win("long.yix");
    const std::string text(250, 'x');
    SectionFileWriter writer;
    ASSERT_EQ(writer.Open(path.c_str()), kResultOk);
    writer.WriteSection("LONG");
    writer.WriteQuotedString("QuotedTextureReference", (text + " y").c_str());
    writer.WriteString("PlainTextureReference", text.c_str());
    writer.WriteInt("After", 7);
    ASSERT_EQ(writer.Close(), kResultOk);

    SectionFile document(path.c_str());
    ASSERT_EQ(document.FindSection("LONG", kFirst), 1);
    char read[SectionFile::kLineSize];
    document.GetQuotedString("QuotedTextureReference", read, sizeof read, "", kFirst);
    EXPECT_EQ(std::string(read), text + " y");
    document.GetString("PlainTextureReference", read, sizeof read, "", kFirst);
    EXPECT_EQ(std::string(read), text);
    EXPECT_EQ(document.GetInt("After", 0, kFirst), 7);
}

TEST(SectionFileTest, FilesThatCannotBeOpenedOrCreated) {
    test_support::TempDir dir;
    const std::string path = dir.Win("missing\\world.yix");
    SectionFile missing(path.c_str());
    EXPECT_EQ(missing.LastResult(), kResultCannotOpen);
    EXPECT_EQ(missing.FindSection("ANY", kFirst), 0);
    EXPECT_EQ(missing.GetInt("Key", 12, kFirst), 12);
    SectionFileWriter writer;
    EXPECT_EQ(writer.Open(path.c_str()), kResultCannotOpen);
    writer.WriteInt("Key", 1);
}

TEST(SectionFileTest, HashWeighsTheFirstCharacterZero) {
    EXPECT_EQ(HashName("A"), 0u);
    EXPECT_EQ(HashName("AB"), HashName("ZB"));
    EXPECT_EQ(HashName("abc"), uint32_t(1 * 'b' + 2 * 'c'));
    EXPECT_EQ(HashName("a\xE9"), uint32_t(-23)) << "characters are signed bytes";
}

} // namespace
