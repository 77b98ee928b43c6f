#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script/language/char_class.h"
#include "script/classes/class_lookup.h"
#include "script/language/compile_harness.h"
#include "script/language/name_table.h"
#include "script/language/token_codes.h"

namespace script_test {
namespace {

struct LexicalCase {
    const char* source;
    const char* tokens; // CompileHarness::Text of the tokenizer's output
};

class LexicalRules : public testing::TestWithParam<LexicalCase> {};

TEST_P(LexicalRules, Tokenize) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Tokenize(GetParam().source)) << "error " << harness.ErrorCode();
    EXPECT_EQ(harness.Text(), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Punctuation, LexicalRules,
    testing::Values(LexicalCase{"a+=b", "a += b"}, LexicalCase{"a+ =b", "a + = b"},
                    LexicalCase{"x=-1", "x = - 1"}, LexicalCase{"a=(b)", "a = ( b )"},
                    LexicalCase{"a<<=b", "a <<= b"}, LexicalCase{"a<<<b", "a << < b"},
                    LexicalCase{"a>>=b>>c", "a >>= b >> c"}, LexicalCase{"a!=b", "a != b"},
                    LexicalCase{"a&&&b", "a && & b"}, LexicalCase{"!!a||~b", "! ! a || ~ b"},
                    LexicalCase{"a<=>b", "a <= > b"}, LexicalCase{"{}[];:,?", "{ } [ ] ; : , ?"},
                    LexicalCase{"i++--", "i ++ --"}, LexicalCase{"a%=b^c", "a %= b ^ c"},
                    // The text may end inside the longest candidate ("<<=", "*/").
                    LexicalCase{"a<", "a <"}, LexicalCase{"b>", "b >"}));

INSTANTIATE_TEST_SUITE_P(Comments, LexicalRules,
                         testing::Values(LexicalCase{"a = b // c d\ne", "a = b e"},
                                         LexicalCase{"a //x\r\nb", "a b"},
                                         LexicalCase{"a=//x", "a ="},
                                         LexicalCase{"a/*b*/c", "a /* b */ c"},
                                         // "*/" is the longest match, so the comment never starts.
                                         LexicalCase{"a*//b", "a */ / b"}));

INSTANTIATE_TEST_SUITE_P(
    Names, LexicalRules,
    testing::Values(
        LexicalCase{"IF if If iF", "If If If If"}, LexicalCase{"while WHILE In", "While While in"},
        LexicalCase{"true False on OFF", "TRUE FALSE ON OFF"},
        LexicalCase{"Abc ABC abc", "Abc Abc Abc"}, LexicalCase{"a1b2 _x x_1", "a1b2 _x x_1"},
        // The interpreter's own class name, and a class the project does not use.
        LexicalCase{"Interpretor Surface", "Interpretor Surface"},
        LexicalCase{"math.Floor(1)", "<Math> .Floor( 1 )"}, LexicalCase{"SPRITE.x", "<Sprite> .x"},
        // Bare methods and constants read as members of their class.
        LexicalCase{"Abs(x)", "<Math> .Abs( x )"}, LexicalCase{"abs (x)", "<Math> .abs( x )"},
        LexicalCase{"y=PI", "y = <Math> .PI"}, LexicalCase{"WriteLn(1)", "CurWindow .WriteLn( 1 )"},
        LexicalCase{"End", "<Program> .End"}, LexicalCase{"Floor(x) Show", "Floor( x ) Show"},
        // The next word decides between call, element and plain name.
        LexicalCase{"f(a) f (a) f\t(a)", "f( a ) f( a ) f( a )"},
        LexicalCase{"a[1] a [1]", "a[ 1 ] a[ 1 ]"}, LexicalCase{"a\n(b)", "a ( b )"},
        LexicalCase{"f((a))", "f( ( a ) )"}, LexicalCase{"o.m(1)", "o .m( 1 )"},
        LexicalCase{"o.p", "o .p"}, LexicalCase{"o.a[1]", "o .a[ 1 ]"},
        LexicalCase{"o . p", "o .p"}, LexicalCase{"o.5", "o . 5"}, LexicalCase{"o..p", "o . .p"},
        LexicalCase{"o.While", "o .While"}, LexicalCase{"\"abc\".Len()", "\"abc\" .Len( )"},
        LexicalCase{"Function f(a)", "Function:f ( a )"},
        // Windows-1252: 0xA0 is a blank, high bytes are letters that fold.
        LexicalCase{"a\xA0=\xA0"
                    "b",
                    "a = b"},
        LexicalCase{"\xE9t\xE9 \xC9T\xC9", "\xE9t\xE9 \xE9t\xE9"},
        LexicalCase{"\x9A"
                    "a \x8A"
                    "A",
                    "\x9A"
                    "a \x9A"
                    "a"}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, LexicalRules,
    testing::Values(LexicalCase{"2147483646", "2147483646"},
                    LexicalCase{"2147483647", "2147483647.0"},
                    LexicalCase{"3000000000", "3000000000.0"}, LexicalCase{"5 5.0 5.", "5 5.0 5.0"},
                    LexicalCase{"1.5e3", "1500.0"}, LexicalCase{"1e5-2", "100000.0"},
                    LexicalCase{"1d3 1D3 2E-2", "1000.0 1000.0 0.02"}, LexicalCase{"007", "7"},
                    LexicalCase{"-5", "- 5"}, LexicalCase{"12abc", "12 abc"},
                    LexicalCase{"12days", "12.0 ays"}, LexicalCase{"0x1F 0XFFFFFFFF", "h31 h-1"},
                    LexicalCase{"0x7FFFFFFF", "h2147483647"}, LexicalCase{"0b101 0B11", "h5 h3"},
                    LexicalCase{"0x", "h0"}, LexicalCase{"0xg", "h0 g"}, LexicalCase{"0b", "h0"},
                    // Digits past 32 bits are not read: the one that would overflow starts
                    // the next token.
                    LexicalCase{"0x123456789", "h305419896 9"}, LexicalCase{"0b102", "h2 2"}));

INSTANTIATE_TEST_SUITE_P(
    Strings, LexicalRules,
    testing::Values(LexicalCase{"\"abc\" 'de'", "\"abc\" \"de\""},
                    LexicalCase{"\"it's\" 'say \"hi\"'", "\"it's\" \"say \"hi\"\""},
                    // No escapes: the backslash is a character, the apostrophe ends it.
                    LexicalCase{"'a\\'b'", "\"a\\\" b \"\""},
                    LexicalCase{"\"abc\ndef\"", "\"abc\" def \"\""},
                    LexicalCase{"\"ab\r\n", "\"ab\""}, LexicalCase{"\"\"", "\"\""},
                    LexicalCase{"\"a@b\" x", "\"a@b\" x"}));

TEST(Tokenizer, LongNameSplitsAt255) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Tokenize(std::string(300, 'n')));
    std::vector<Record> records = harness.Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].name, std::string(255, 'n'));
    EXPECT_EQ(records[1].name, std::string(45, 'n'));
    EXPECT_EQ(records[1].position, 255u);
}

TEST(Tokenizer, StringLiteralsUpToTheCap) {
    for (uint32_t length = 240; length <= 255; ++length) {
        CompileHarness harness;
        std::string literal(length, 'q');
        ASSERT_TRUE(harness.Tokenize("\"" + literal + "\"+x")) << length;
        std::vector<Record> records = harness.Records();
        ASSERT_EQ(records.size(), 4u) << length;
        EXPECT_EQ(records[0].text, literal);
        // Header, text with its zero padded to 8, position.
        EXPECT_EQ(records[0].size, 8 + ((length + 1 + 7) & ~7u) + 8);
        EXPECT_EQ(RecordText(records[1]), "+");
        EXPECT_EQ(records[2].name, "x");
        EXPECT_EQ(records[2].position, length + 3);
    }
}

TEST(Tokenizer, StringLiteralOver255IsCut) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Tokenize("'" + std::string(255, 'a') + std::string(45, 'b') + "'"));
    std::vector<Record> records = harness.Records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].text, std::string(255, 'a'));
    // The rest reads as source: a name, then the closing quote opens an empty literal.
    EXPECT_EQ(records[1].name, std::string(45, 'b'));
    EXPECT_EQ(records[2].text, "");
}

TEST(Tokenizer, PositionsAndUnits) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Tokenize("  abc = 12 + \"s\";"));
    std::vector<Record> records = harness.Records();
    ASSERT_EQ(records.size(), 7u);
    EXPECT_TRUE(records[0].positioned);
    EXPECT_EQ(records[0].position, 2u);
    EXPECT_EQ(records[1].position, 6u);
    EXPECT_FALSE(records[2].positioned); // numbers carry no position
    EXPECT_EQ(records[4].position, 13u);
    EXPECT_EQ(records[5].position, 16u);
    EXPECT_EQ(records[6].code, kTokenEnd);
    EXPECT_FALSE(records[6].positioned);
}

TEST(Tokenizer, ControlBytesEndTheUnitWhenFlagged) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Tokenize("a = 1\nb = 2", kUnitControlEnds));
    EXPECT_EQ(harness.Text(), "a = 1");
}

TEST(Tokenizer, FramedUnitsCarryTheirArgument) {
    CompileHarness harness;
    harness.AddUnit("a", kUnitFramed, "first", 7);
    harness.AddUnit("b", 0, "second", 8);
    ASSERT_TRUE(harness.Tokenize("c", kUnitFramed));
    EXPECT_EQ(harness.Text(), "unit7 ; a unitend ; b unit0 ; c unitend ;");
    std::vector<Record> records = harness.Records();
    EXPECT_EQ(records[2].unit, 0u);
    EXPECT_EQ(records[5].unit, 1u);
    EXPECT_EQ(records[8].unit, 2u);
}

TEST(Tokenizer, FunctionRecordCarriesNameAndUnitArgument) {
    CompileHarness harness;
    harness.AddUnit("Function Go()", 0, "module", 9);
    ASSERT_TRUE(harness.Tokenize("", 0));
    std::vector<Record> records = harness.Records();
    EXPECT_EQ(RecordText(records[0]), "Function:Go");
    EXPECT_EQ(records[0].target, 9u); // the unit argument
}

TEST(Tokenizer, SameNameSameId) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Tokenize("count COUNT o.Count Count("));
    std::vector<Record> records = harness.Records();
    const auto* stream = harness.Result().GetStream();
    uint32_t id = reinterpret_cast<const NameToken*>(stream + records[0].offset)->nameId;
    for (int i : {1, 3, 4})
        EXPECT_EQ(reinterpret_cast<const NameToken*>(stream + records[i].offset)->nameId, id);
}

TEST(Tokenizer, ClassNamesOnlyForClassesInUse) {
    // Surface has no registered table: its name still reads as the class.
    CompileHarness harness({"Surface"});
    ASSERT_TRUE(harness.Tokenize("surface.Blit(1) Abs(1) Math.Abs(1)"));
    EXPECT_EQ(harness.Text(), "<Surface> .Blit( 1 ) Abs( 1 ) Math .Abs( 1 )");
}

TEST(ClassTable, RegistrationIsChecked) {
    const MethodNameRow wrongName[] = {{2, "Maths", 0, 0}, {0, nullptr, 0, 0}};
    const MethodNameRow interpreter[] = {{0, "Interpretor", 0, 0}, {0, nullptr, 0, 0}};
    const MethodNameRow outOfRange[] = {{76, "Sprite", 0, 0}, {0, nullptr, 0, 0}};
    EXPECT_EQ(RegisterClassNameTable(wrongName), 0);
    EXPECT_EQ(RegisterClassNameTable(interpreter), 0);
    EXPECT_EQ(RegisterClassNameTable(outOfRange), 0);
    EXPECT_EQ(RegisterClassNameTable(nullptr), 0);
    EXPECT_EQ(GetClassNameTable(0), kInterpretorNameTable);
    EXPECT_EQ(GetClassNameTable(76), nullptr);
    EXPECT_STREQ(GetBuiltinClassName(30), "QelConnection");
    EXPECT_STREQ(GetBuiltinClassName(75), "Point3D");
    EXPECT_EQ(GetBuiltinClassName(76), nullptr);
}

TEST(ClassLookup, FirstRowWinsByNameAndById) {
    const MethodNameRow rows[] = {{7, "Go", 0, 0},
                                  {3, "Move", 0, 0},
                                  {3 + 256, "Stop", 0, 0},
                                  {9, "MOVE", 1, 0},
                                  {0, nullptr, 0, 0}};
    CClassLookup lookup;
    ASSERT_EQ(lookup.AddRows(rows), 1);
    EXPECT_EQ(lookup.FindName("move"), &rows[1]);
    EXPECT_EQ(lookup.FindName("Go"), nullptr); // the class row is not filed
    EXPECT_EQ(lookup.FindId(3 + 256), &rows[2]);
    EXPECT_EQ(lookup.FindId(9), &rows[3]);
    EXPECT_EQ(lookup.FindId(4), nullptr);
}

// Hundreds of rows make the tables grow several times; the first row under a name or an id
// must still win after every growth, and names differing only in case are one name.
TEST(ClassLookup, FirstRowStillWinsAfterTheTablesGrow) {
    std::vector<std::string> names;
    for (int i = 0; i < 600; ++i)
        names.push_back((i % 2 ? "method" : "METHOD") + std::to_string(i / 2));
    std::vector<MethodNameRow> rows{{1, "Class", 0, 0}};
    for (int i = 0; i < 600; ++i)
        rows.push_back({uint32_t(1000 + i % 450), names[size_t(i)].c_str(), 0, 0});
    rows.push_back({0, nullptr, 0, 0});
    CClassLookup filed;
    ASSERT_EQ(filed.AddRows(rows.data()), 1);
    // A lookup made over the table files it at its first search, with the same answers.
    const CClassLookup unfiled(rows.data());
    for (const CClassLookup* lookup : {static_cast<const CClassLookup*>(&filed), &unfiled}) {
        for (int i = 0; i < 300; ++i) {
            const std::string name = "Method" + std::to_string(i);
            ASSERT_EQ(lookup->FindName(name.c_str()), &rows[size_t(2 * i + 1)]) << name;
        }
        for (int i = 0; i < 450; ++i)
            ASSERT_EQ(lookup->FindId(uint32_t(1000 + i)), &rows[size_t(i + 1)]) << i;
        EXPECT_EQ(lookup->FindName("Method300"), nullptr);
        EXPECT_EQ(lookup->FindId(1450), nullptr);
    }
    EXPECT_EQ(CClassLookup().FindName("Go"), nullptr);
    EXPECT_EQ(CClassLookup().FindId(0), nullptr);
}

TEST(NameTable, IdsIgnoreCaseAndNameTheirBucket) {
    CNameTable names;
    int32_t id = names.FindOrAdd("Score");
    EXPECT_EQ(names.FindOrAdd("SCORE"), id);
    EXPECT_EQ(uint32_t(id) >> 16, NameHash("score") % CNameTable::kBucketCount);
    EXPECT_STREQ(names.GetName(uint32_t(id)), "Score");
    EXPECT_EQ(names.GetName(uint32_t(id) + 1), nullptr);
    EXPECT_EQ(names.GetName(0x7FFF0000), nullptr);
    EXPECT_EQ(names.GetCount(), 1u);
}

// The index is 16 bits of the id: a bucket with 65536 names takes no more, rather than
// giving a new name the id of an old one.
TEST(NameTable, FullBucketRefusesInsteadOfAliasing) {
    CNameTable names;
    uint32_t added = 0;
    int32_t last = 0;
    for (uint32_t n = 0; added <= CNameTable::kBucketLimit; ++n) {
        std::string name = "n" + std::to_string(n);
        if (NameHash(name.c_str()) % CNameTable::kBucketCount != 5) continue;
        last = names.FindOrAdd(name.c_str());
        if (added < CNameTable::kBucketLimit) {
            ASSERT_EQ(uint32_t(last), (5u << 16) | added) << name;
        }
        ++added;
    }
    EXPECT_EQ(last, -1);
    EXPECT_EQ(names.GetCount(), CNameTable::kBucketLimit);
}

struct LexicalError {
    const char* source;
    int32_t code;
    int32_t line;
    int32_t column;
};

class LexicalErrors : public testing::TestWithParam<LexicalError> {};

TEST_P(LexicalErrors, FailWithPosition) {
    CompileHarness harness;
    EXPECT_FALSE(harness.Tokenize(GetParam().source));
    EXPECT_EQ(harness.ErrorCode(), GetParam().code);
    EXPECT_EQ(harness.ErrorLine(), GetParam().line);
    EXPECT_EQ(harness.ErrorColumn(), GetParam().column);
}

INSTANTIATE_TEST_SUITE_P(
    Tokenizer, LexicalErrors,
    testing::Values(LexicalError{"a @ b", 16, 0, 2}, LexicalError{"#", 16, 0, 0},
                    LexicalError{"x = $1", 16, 0, 4}, LexicalError{"a\\b", 16, 0, 1},
                    LexicalError{"1.2.3", 16, 0, 0}, LexicalError{"x=1e5e3", 16, 0, 2},
                    LexicalError{"1e5.3", 16, 0, 0}, LexicalError{"Function 5", 40, 0, 9},
                    LexicalError{"Function\nf", 40, 0, 8},
                    // Line breaks: CR LF and LF CR are each one break; CR CR and LF LF hold an empty line.
                    LexicalError{"a;\r\nb;\r\n @", 16, 2, 1},
                    LexicalError{"a;\n\rb;\n\r  @", 16, 2, 2}, LexicalError{"a;\r\r@", 16, 2, 0},
                    LexicalError{"a;\n\n@", 16, 2, 0}, LexicalError{"a;\r\n\r\n@", 16, 2, 0},
                    LexicalError{"a;\rb;\n@", 16, 2, 0}));

} // namespace
} // namespace script_test
