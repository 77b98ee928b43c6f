#include <string>

#include <gtest/gtest.h>

#include "platform/kernel/test_hooks.h"
#include "script/language/compile_harness.h"
#include "script/language/name_table.h"
#include "script/language/token_codes.h"
#include "support/temp_dir.h"

namespace script_test {
namespace {

struct StatementCase {
    const char* source;
    int32_t code; // 0: compiles
};

class StatementForms : public testing::TestWithParam<StatementCase> {};

TEST_P(StatementForms, CompileOrFailWithCode) {
    CompileHarness harness;
    bool ok = harness.Compile(GetParam().source);
    EXPECT_EQ(harness.ErrorCode(), GetParam().code);
    EXPECT_EQ(ok, GetParam().code == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, StatementForms,
    testing::Values(
        StatementCase{"a = 1;", 0}, StatementCase{"f();", 0}, StatementCase{"f(1, 2);", 0},
        StatementCase{"f(1,,3);", 0}, StatementCase{"f(,1);", 0}, StatementCase{"f(1,);", 16},
        StatementCase{"a[1] = 2;", 0}, StatementCase{"a[] = 1;", 16}, StatementCase{"a[1 = 2;", 16},
        StatementCase{"o.p.q = o.a[1, 2].b(3);", 0}, StatementCase{"o.m().x;", 16},
        StatementCase{"This.x = 1;", 0}, StatementCase{"CurWindow.WriteLn(1);", 0},
        StatementCase{"WriteLn(1);", 0}, StatementCase{"Math.Abs(1);", 0},
        StatementCase{"x = Math.PI + PI;", 0}, StatementCase{"Math;", 16},
        StatementCase{"x = Math;", 16}, StatementCase{"\"abc\".Len();", 0},
        StatementCase{"x = \"a\" + 'b';", 0}, StatementCase{"x = New Sprite();", 0},
        StatementCase{"x = New Sprite(1, , 3);", 0}, StatementCase{"x = New Sprite;", 16},
        StatementCase{"x = New f(1);", 0}, StatementCase{"x = New 5;", 30},
        StatementCase{"x = New \"a\";", 30}, StatementCase{"x = New g;", 30},
        StatementCase{"x = a ? b : c;", 0}, StatementCase{"x = a ? b;", 16},
        StatementCase{"x = a ? b : c ? d : e;", 0}, StatementCase{"i++;", 0},
        StatementCase{"x = i++ + 1;", 0},
        // A prefix increment is a complete operand: the name after it cannot follow.
        StatementCase{"x = ++i;", 16}, StatementCase{"x = -a + !b - ~c;", 0},
        StatementCase{"x = - -a;", 16}, StatementCase{"x = (a + b) * c;", 0},
        StatementCase{"x = ((a));", 0}, StatementCase{"x = (a;", 16}, StatementCase{"x = a);", 16},
        StatementCase{"x = (o).p + 1;", 0}, StatementCase{"f((o).p);", 0},
        StatementCase{"x = ((o).p);", 0}, StatementCase{"x = (o).m(1);", 0},
        StatementCase{"a = 1", 6}, StatementCase{"a = 1 b = 2;", 16}, StatementCase{"x = a b;", 16},
        StatementCase{"x = TRUE && OFF || 0x1F;", 0}, StatementCase{"5;", 16},
        StatementCase{"(a);", 16}, StatementCase{"-a;", 16}, StatementCase{"x = 1 /* c */;", 16},
        StatementCase{"*/", 16}, StatementCase{"x = y = z;", 0},
        StatementCase{"x += a << 2 >> 1 % 3;", 0}));

INSTANTIATE_TEST_SUITE_P(
    Statements, StatementForms,
    testing::Values(
        StatementCase{";;;", 0}, StatementCase{"Var x = 1;", 0}, StatementCase{"Var x;", 0},
        StatementCase{"Delete o;", 0}, StatementCase{"Return;", 0},
        StatementCase{"Return 1 + 2;", 0}, StatementCase{"Return 1 2;", 16},
        StatementCase{"Break;", 0}, StatementCase{"Continue;", 0}, StatementCase{"Break", 6},
        StatementCase{"For (i = 0; i < 10; i++) x = i;", 0}, StatementCase{"For (;;) {}", 0},
        StatementCase{"For (;;);", 0}, StatementCase{"For i = 0;", 16},
        StatementCase{"For (i = 0 i < 3;;) {}", 16}, StatementCase{"For (; i < 3 x; ) {}", 6},
        StatementCase{"For (; ; i++ {}", 16}, StatementCase{"For (i = 0; i < 3) {}", 6},
        StatementCase{"While (a) b();", 0}, StatementCase{"While a;", 16},
        StatementCase{"While (a) {", 3}, StatementCase{"While (a)", 3},
        StatementCase{"{ a = 1; { b = 2; } }", 0}, StatementCase{"{ a = 1;", 3},
        StatementCase{"}", 16}, StatementCase{"If (a) b = 1;", 0},
        StatementCase{"If (a) b = 1; Else c = 2;", 0},
        StatementCase{"If (a) b; Else If (c) d; Else e;", 0}, StatementCase{"If a b;", 16},
        StatementCase{"Else x;", 16}, StatementCase{"If (a)", 3},
        StatementCase{"Function f() {}", 0}, StatementCase{"Function f {}", 0},
        StatementCase{"Function f(a, b) { Return a + b; }", 0},
        StatementCase{"Function f(a) Return;", 4}, StatementCase{"Function f(a,) {}", 16},
        StatementCase{"Function f(a b) {}", 16},
        StatementCase{"Switch (x) { Case 1: a; Break; Case 2: Default: b; }", 0},
        StatementCase{"Switch (x) {}", 0}, StatementCase{"Switch (x) { a; }", 16},
        StatementCase{"Switch (x) { Case 1 a; }", 16},
        StatementCase{"Switch (x) { Case 1: Break; a; }", 16},
        StatementCase{"Switch (x) { Case 1: Break }", 16},
        StatementCase{"Switch (x) { Case 1: If (a) { Break; } b; }", 0},
        StatementCase{"Switch (x) { Case 1: a;", 16}, StatementCase{"Switch x {}", 16},
        StatementCase{"Switch (x) Case", 16}, StatementCase{"Switch (x) { Default b; }", 16},
        StatementCase{"in;", 16}));

std::string Repeated(const std::string& part, int count, const std::string& separator) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? separator : "") + part;
    return text;
}

TEST(Compiler, ArgumentParameterAndIndexLimits) {
    struct Limit {
        std::string prefix;
        std::string suffix;
        int allowed;
        std::string separator;
    };
    for (const Limit& limit : {Limit{"f(", ");", 15, ","}, Limit{"x = New Sprite(", ");", 15, ","},
                               Limit{"o.m(", ");", 15, ","}, Limit{"a[", "] = 1;", 10, ","},
                               Limit{"Function f(", ") {}", 15, ","}}) {
        CompileHarness fits;
        EXPECT_TRUE(fits.Compile(limit.prefix + Repeated("p", limit.allowed, ",") + limit.suffix))
            << limit.prefix;
        CompileHarness tooMany;
        EXPECT_FALSE(
            tooMany.Compile(limit.prefix + Repeated("p", limit.allowed + 1, ",") + limit.suffix));
        EXPECT_EQ(tooMany.ErrorCode(), 13) << limit.prefix;
    }
}

TEST(Compiler, EmptyStatementLeavesNoRecord) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Compile(";"));
    EXPECT_EQ(harness.Text(), "");
    EXPECT_EQ(harness.Result().GetStreamLength(), sizeof(TokenHeader));
}

TEST(Compiler, IfElseTargets) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Compile("If (a) b = 1; Else c = 2; d;"));
    EXPECT_EQ(harness.Text(), "If a ) b = 1 ; Else c = 2 ; d ;");
    std::vector<Record> r = harness.Records();
    EXPECT_EQ(r[0].target, r[7].offset);  // If: the Else
    EXPECT_EQ(r[7].target, r[12].offset); // Else: after the second statement
}

TEST(Compiler, ElseIfChainsEndTogether) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Compile("If (a) x; Else If (b) y; Else If (c) z; Else w; v;"));
    EXPECT_EQ(harness.Text(), "If a ) x ; Else If b ) y ; Else If c ) z ; Else w ; v ;");
    std::vector<Record> r = harness.Records();
    uint32_t end = r[20].offset;
    EXPECT_EQ(r[0].target, r[5].offset);
    EXPECT_EQ(r[6].target, r[11].offset);
    EXPECT_EQ(r[12].target, r[17].offset);
    for (int otherwise : {5, 11, 17})
        EXPECT_EQ(r[otherwise].target, end) << otherwise;
}

TEST(Compiler, ElseIfChainOfThousandsNeedsNoStack) {
    std::string source = "If (a) x;" + Repeated(" Else If (a) x;", 5000, "") + " Else y;";
    CompileHarness harness;
    ASSERT_TRUE(harness.Compile(source));
    std::vector<Record> r = harness.Records();
    EXPECT_EQ(r[5].target, r.back().offset);
}

TEST(Compiler, DanglingElseBelongsToTheInnerIf) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Compile("If (a) If (b) x; Else y;"));
    std::vector<Record> r = harness.Records();
    EXPECT_EQ(r[0].target, r.back().offset);
    EXPECT_EQ(r[3].target, r[8].offset);
    EXPECT_EQ(r[8].target, r.back().offset);
}

TEST(Compiler, ForLoopBlockRecord) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Compile("For (i = 0; i < 3; i++) x; y;"));
    EXPECT_EQ(harness.Text(), "For i = 0 ; i < 3 ; i ++ ) { x ; } y ;");
    std::vector<Record> r = harness.Records();
    ASSERT_EQ(harness.Result().GetBlockCount(), 1u);
    const BlockRecord& block = harness.Block(0);
    EXPECT_EQ(block.kind, uint32_t(kBlockFor));
    EXPECT_EQ(block.condition, r[5].offset);
    EXPECT_EQ(block.step, r[9].offset);
    EXPECT_EQ(block.bodyStart, r[12].offset);
    EXPECT_EQ(block.end, r[15].offset);
    EXPECT_EQ(r[0].blockIndex, 0u);
    EXPECT_EQ(r[0].target, r[16].offset); // just past the loop
    // Braces made around a single statement have no position.
    EXPECT_FALSE(r[12].positioned);
    EXPECT_EQ(r[12].target, r[15].offset);
    EXPECT_EQ(r[15].target, r[12].offset);
}

TEST(Compiler, EmptyForHasNoConditionOrStep) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Compile("For (;;) {}"));
    EXPECT_EQ(harness.Text(), "For ; ; { }");
    std::vector<Record> r = harness.Records();
    const BlockRecord& block = harness.Block(0);
    EXPECT_EQ(block.condition, 0u);
    EXPECT_EQ(block.step, 0u);
    EXPECT_TRUE(r[3].positioned);
    EXPECT_EQ(r[3].position, 9u);
    EXPECT_EQ(r[4].position, 10u);
    EXPECT_EQ(r[0].target, r[5].offset);
}

TEST(Compiler, WhileLoopBlockRecord) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Compile("While (n > 0) { n--; }"));
    EXPECT_EQ(harness.Text(), "While n > 0 ) { n -- ; }");
    std::vector<Record> r = harness.Records();
    const BlockRecord& block = harness.Block(0);
    EXPECT_EQ(block.kind, uint32_t(kBlockWhile));
    EXPECT_EQ(block.condition, r[1].offset);
    EXPECT_EQ(block.bodyStart, r[5].offset);
    EXPECT_EQ(block.end, r[9].offset);
    EXPECT_EQ(r[5].blockIndex, 0u);
    EXPECT_EQ(r[9].target, r[5].offset);
    EXPECT_EQ(r[0].target, r[10].offset);
}

TEST(Compiler, SwitchLabelChain) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Compile("{} Switch (x) { Case 1: a; Break; Case 2: Default: b; } c;"));
    EXPECT_EQ(harness.Text(), "{ } Switch x ) { Case 1 ; a ; Break Case 2 ; Default b ; } c ;");
    std::vector<Record> r = harness.Records();
    ASSERT_EQ(harness.Result().GetBlockCount(), 2u);
    const BlockRecord& block = harness.Block(1);
    EXPECT_EQ(block.kind, uint32_t(kBlockSwitch));
    EXPECT_FALSE(r[2].positioned);
    EXPECT_EQ(r[2].blockIndex, 1u);
    EXPECT_EQ(r[2].target, r[6].offset);   // first Case
    EXPECT_EQ(r[6].target, r[12].offset);  // second Case
    EXPECT_EQ(r[12].target, r[15].offset); // Default
    EXPECT_EQ(r[15].target, 0u);
    EXPECT_FALSE(r[8].positioned); // the ";" standing for the colon
    EXPECT_EQ(block.step, r[16].offset);
    EXPECT_EQ(block.bodyStart, r[5].offset);
    EXPECT_EQ(block.end, r[18].offset);
    EXPECT_EQ(r[5].blockIndex, 0u); // the switch's "{" keeps block index 0
    EXPECT_EQ(r[5].target, r[18].offset);
    EXPECT_EQ(r[18].target, r[5].offset);
    EXPECT_EQ(r[18].blockIndex, 1u);
    EXPECT_TRUE(r[18].positioned);
}

TEST(Compiler, FunctionBlockRecord) {
    CompileHarness harness;
    harness.AddUnit("x;", 0, "first", 3);
    harness.AddUnit("Function Add(a, b) { Return a + b; } Function Nop() {}", 0, "second", 5);
    ASSERT_TRUE(harness.Compile());
    EXPECT_EQ(harness.Text(), "x ; Function ( a , b ) { Return a + b ; } Function { }");
    std::vector<Record> r = harness.Records();
    ASSERT_EQ(harness.Result().GetBlockCount(), 2u);
    const BlockRecord& add = harness.Block(0);
    EXPECT_EQ(add.kind, uint32_t(kBlockFunction));
    EXPECT_STREQ(harness.Result().GetNameTable()->GetName(add.condition), "Add");
    EXPECT_EQ(add.step, r[2].offset);
    EXPECT_EQ(add.unitArgument, 5u);
    EXPECT_EQ(add.bodyStart, r[8].offset);
    EXPECT_EQ(add.end, r[14].offset);
    EXPECT_EQ(r[2].target, 0u);
    EXPECT_EQ(r[2].blockIndex, 0u);
    EXPECT_TRUE(r[2].positioned);
    EXPECT_EQ(r[2].unit, 1u);
    EXPECT_EQ(r[15].blockIndex, 1u);
    EXPECT_STREQ(harness.Result().GetNameTable()->GetName(harness.Block(1).condition), "Nop");
}

TEST(Compiler, UnitsAreFramed) {
    CompileHarness harness;
    harness.AddUnit("a;", kUnitFramed, "main", 4);
    ASSERT_TRUE(harness.Compile());
    EXPECT_EQ(harness.Text(), "unit4 ; a ; unitend ;");
}

TEST(Compiler, DeepNestingFailsWithoutCrashing) {
    for (const std::string& source :
         {"x = " + std::string(100000, '(') + "a" + std::string(100000, ')') + ";",
          std::string(100000, '{'), Repeated("If (a)", 100000, " ") + " x;",
          "f(" + Repeated("g(", 100000, "") + ");", "x = " + Repeated("a[", 100000, "") + ";"}) {
        CompileHarness harness;
        EXPECT_FALSE(harness.Compile(source));
        EXPECT_EQ(harness.ErrorCode(), 16) << source.substr(0, 20);
    }
    CompileHarness nested;
    EXPECT_TRUE(nested.Compile("x = " + std::string(400, '(') + "a" + std::string(400, ')') + ";"));
}

struct LocatedError {
    const char* source;
    int32_t code;
    int32_t line;
    int32_t column;
};

class ErrorLocation : public testing::TestWithParam<LocatedError> {};

TEST_P(ErrorLocation, UnitLineAndColumn) {
    CompileHarness harness;
    harness.AddUnit("a = 1;", 0, "Game:Scripts/First.src");
    harness.AddUnit(GetParam().source, 0, "Game:Scripts/Main.src");
    EXPECT_FALSE(harness.Compile());
    EXPECT_EQ(harness.ErrorCode(), GetParam().code);
    EXPECT_EQ(harness.ErrorUnit(), "Game:Scripts/Main.src");
    EXPECT_EQ(harness.ErrorLine(), GetParam().line);
    EXPECT_EQ(harness.ErrorColumn(), GetParam().column);
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, ErrorLocation,
    testing::Values(LocatedError{"a = 1;\r\nb = 2;\r\n  c = 3 d;", 16, 2, 8},
                    // A name where ";" was expected is 16; 6 needs a token that ends
                    // the expression. The literal has no position: its "=" is reported.
                    LocatedError{"a = 1\nb = 2;", 16, 1, 0}, LocatedError{"a;\nb = 2", 6, 1, 2},
                    LocatedError{"x = New 5;", 30, 0, 4},
                    LocatedError{"\r\n\r\nWhile (a) {\r\n  b;", 3, 3, 3},
                    LocatedError{"f(a\n @)", 16, 1, 1}));

// Positions keep the whole unit index: the 300th unit is not taken for the 44th.
TEST(Compiler, ErrorsInUnitsPast255) {
    CompileHarness harness;
    for (int i = 0; i < 299; ++i)
        harness.AddUnit("a = " + std::to_string(i) + ";", 0, ("unit" + std::to_string(i)).c_str());
    harness.AddUnit("b = 1;\nc = ;", 0, "last");
    EXPECT_FALSE(harness.Compile());
    EXPECT_EQ(harness.ErrorUnit(), "last");
    EXPECT_EQ(harness.ErrorLine(), 1);
    EXPECT_EQ(harness.ErrorColumn(), 4);
}

TEST(Compiler, CaptionFromUnitName) {
    struct Case {
        const char* unit;
        const char* caption;
    };
    for (const Case& c :
         {Case{"Game:Scripts/Main.src", "Game - Main"},
          Case{"Game://Bank/Main.v2.src", "Game - Main"}, Case{"Folder/File.txt", "File"},
          Case{"Prefix:File", "Prefix"}, Case{"Plain", ""}}) {
        CompileHarness harness;
        harness.AddUnit("@", 0, c.unit);
        EXPECT_FALSE(harness.Compile());
        EXPECT_EQ(harness.Caption(), c.caption) << c.unit;
    }
    CompileHarness cut;
    cut.AddUnit("@", 0, "Game:Scripts/Main.src");
    EXPECT_FALSE(cut.Compile());
    char buffer[6];
    cut.Result().GetErrorCaption(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Game ");
}

TEST(Compiler, ErrorTextCarriesTheLine) {
    CompileHarness harness;
    EXPECT_FALSE(harness.Compile("a;\nb;\nc = ;"));
    char text[64];
    harness.Result().GetErrorText(text, sizeof text);
    EXPECT_STREQ(text, "Erreur #16 ligne 3.");
    CompileHarness clean;
    EXPECT_TRUE(clean.Compile("a;"));
    EXPECT_EQ(clean.ErrorCode(), 0);
    EXPECT_EQ(clean.Caption(), "");
}

TEST(Compiler, RunningModeLocatesTheCurrentToken) {
    CompileHarness harness;
    ASSERT_TRUE(harness.Compile("a = 1;\n  b = 2;"));
    auto& infos = const_cast<CTokenInfos&>(harness.Result());
    infos.mode = kModeRunning;
    // The "=" of the second line, then the literal after it, which has no position.
    std::vector<Record> r = harness.Records();
    for (int index : {5, 6}) {
        infos.currentToken = infos.GetStream() + r[index].offset;
        try {
            infos.Fail(41);
            FAIL();
        } catch (CIError* error) {
            EXPECT_EQ(error->code, 41);
            EXPECT_EQ(error->line, 1);
            EXPECT_EQ(error->column, 4);
            error->Delete();
        }
    }
    infos.currentToken = infos.GetStream();
    EXPECT_EQ(infos.FindToken(kTokenSemicolon), infos.GetStream() + r[3].offset);
    EXPECT_EQ(infos.FindToken(kTokenFor), nullptr);
}

TEST(Compiler, UnitFromFile) {
    test_support::TempDir dir;
    dir.WriteFile("prog.txt", "x = 1;\ny = @;");
    CTokenInfos infos;
    EXPECT_EQ(infos.LoadUnitFromFile(dir.Win("prog.txt").c_str()), 1);
    CTokenCompiler compiler;
    EXPECT_EQ(compiler.Compile(infos), 0);
    EXPECT_EQ(infos.GetErrorCode(), 16);
    EXPECT_EQ(infos.GetPendingError()->line, 1);

    CTokenInfos missing;
    try {
        missing.LoadUnitFromFile(dir.Win("none.txt").c_str());
        FAIL();
    } catch (CIError* error) {
        EXPECT_EQ(error->code, 17);
        EXPECT_EQ(error->line, -1);
        EXPECT_EQ(error->column, -1);
        error->Delete();
    }
}

// Every allocation of a compile failing in turn: the compile reports 15 or succeeds,
// and nothing leaks or crashes.
TEST(Compiler, OutOfMemoryAnywhereGives15) {
    const std::string source = "Function f(a) { For (i = 0; i < a; i++) { s = s + \"x\"; } }"
                               " Switch (f(3)) { Case 1: Abs(-1); Default: WriteLn(PI); }";
    int failures = 0;
    for (DWORD skip = 0; skip < 200; ++skip) {
        CompileHarness harness;
        harness.AddUnit(source, 0, "unit");
        platform::test::InjectFault(platform::test::Fault::HeapAlloc, 2, skip);
        bool ok = harness.Compile();
        platform::test::ClearFaults();
        if (!ok) {
            ++failures;
            EXPECT_EQ(harness.ErrorCode(), 15) << skip;
        }
    }
    EXPECT_GT(failures, 5);
}

} // namespace
} // namespace script_test
