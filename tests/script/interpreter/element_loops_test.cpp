// Loops whose rounds store into and read elements of arrays, of one and two indices, held by
// the call's variables and by globals, run compiled as one program per round against the
// reference walk. The rounds meet what a cell's quick store cannot do and must leave to the
// full steps where the walk stands: missing elements, arrays that grow (one element past
// the end of a one-dimensional array, or further), texts in cells, Switch statements on
// slots of any kind,
// indices outside the shape or not integers, kinds changing between rounds; and handlers
// posted between the statements that change, grow or replace the arrays the round uses.
// The function is called again after the globals its loops read were grown, replaced or
// made something else, and its stores take indices that a slot held out of range, or
// negative, as the loop's program was written. Elements are indexed by slots, constants,
// elements and expressions.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "program_runs.h"

namespace {

using namespace program_runs;

class ElementLoopsMaker {
public:
    explicit ElementLoopsMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        std::string text = "g[0] = 1; g[1] = 2.5; g[2] = 3; g[3] = -4; g[4] = 0; g[5] = 7;\n"
                           "ge[0] = 0;\n"
                           "m[0, 0] = 0;\n"
                           "For (j = 0; j < 3; j++) For (i = 0; i < 6; i++) m[i, j] = i - j;\n";
        const bool events = Pick(3) == 0;
        if (events) text += "Function H(n) {\n" + Change() + ";\nIf (n > 0) Post(H, n - 1);\n}\n";
        text += "Function F(p0, p1) {\nVar a[0] = p0; a[1] = 2; a[2] = 0.5; a[3] = p1; "
                "a[4] = 0; a[5] = 1;\nVar b[0, 0] = 0; Var i = 0; Var j = 0; Var s = 0; "
                "Var x = 1; Var k = 1; Var q = " +
                std::to_string(Pick(9) - 1) +
                "; e[0] = 0;\nFor (j = 0; j < 3; j++) For (i = 0; i < 6; i++) "
                "b[i, j] = i * j;\nj = "
                "0;\n";
        if (events) text += "Post(H, " + std::to_string(Pick(20)) + ");\n";
        const int loops = 1 + Pick(2);
        for (int loop = 0; loop < loops; ++loop)
            text += Loop();
        text += "Return s + \"/\" + x + \"/\" + a[0] + \"/\" + a[1] + \"/\" + a[2] + \"/\" + "
                "a[3] + \"/\" + a[5] + \"/\" + b[1, 1] + \"/\" + b[5, 2] + \"/\" + k + \"/\" + "
                "e[k - 1];\n}\n";
        text += "Print(F(3, 7));\n" + Between() + "Print(F(2.5, -1));\n" + Between() +
                "Print(F(2147483647, 0));\n"
                "Print(g[0], g[1], g[2], g[5], m[1, 1], m[5, 2], ge[0]);\n";
        return text;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    // A loop over i, with now and then an inner one over j.
    std::string Loop() {
        std::string text = "For (i = 0; i < " + std::to_string(1 + Pick(6)) + "; i++) {\n";
        const bool inner = Pick(3) == 0;
        if (inner) text += "For (j = 0; j < " + std::to_string(1 + Pick(2)) + "; j++) {\n";
        const int statements = 1 + Pick(5);
        for (int s = 0; s < statements; ++s)
            text += Statement();
        if (inner) text += "}\n";
        return text + "}\n";
    }

    // What changes the globals between two calls of the function.
    std::string Between() {
        static const char* const kChanges[] = {
            "",
            "g[6] = 5;\n",
            "g = 0; g[0] = 4; g[1] = 0.5; g[2] = 1; g[3] = 2; g[4] = 3; g[5] = 1;\n",
            "g = 0; g[0] = 1; g[1] = 2;\n",
            "ge = 0; ge[0] = 2;\n",
            "m = 0; m[0, 0] = 1; m[5, 2] = 2;\n",
            "fresh = 1;\n",
        };
        return kChanges[Pick(int(std::size(kChanges)))];
    }

    // An index: mostly inside the arrays' shapes, now and then outside or no integer.
    std::string Index() {
        switch (Pick(26)) {
        case 8:
        case 9:
            return "q";
        case 0:
        case 1:
            return "i + 1";
        case 2:
            return "i - 1";
        case 3:
        case 4:
            return std::to_string(Pick(7));
        case 5:
            return "x";
        case 6:
            return "k - 1";
        case 7:
            return "k";
        default:
            return "i";
        }
    }

    std::string Element() {
        switch (Pick(6)) {
        case 0:
            return "g[" + Index() + "]";
        case 4:
            return "e[" + Index() + "]";
        case 5:
            return "b[" + Index() + ", j " + (Pick(2) == 0 ? "+" : "-") + " 1]";
        case 1:
            return "b[" + Index() + ", j]";
        case 2:
            return "m[" + Index() + ", " + std::to_string(Pick(3)) + "]";
        default:
            return "a[" + Index() + "]";
        }
    }

    std::string Operand() {
        switch (Pick(9)) {
        case 0:
        case 1:
        case 2:
            return Element();
        case 3:
            return "i";
        case 4:
            return "s";
        case 5:
            return "p0";
        default: {
            static const char* const kOperands[] = {"0", "1", "3", "-2", "0.5", "2.25", "j"};
            return kOperands[Pick(int(std::size(kOperands)))];
        }
        }
    }

    std::string Expression() {
        static const char* const kOperators[] = {"+", "-", "*", "+", "<", "/"};
        std::string text = Operand();
        const int operators = Pick(3);
        for (int o = 0; o < operators; ++o)
            text = "(" + text + " " + kOperators[Pick(int(std::size(kOperators)))] + " " +
                   Operand() + ")";
        return text;
    }

    // What a handler does between two statements of the round.
    std::string Change() {
        static const char* const kChanges[] = {
            "g[1] = 0.5",  "g[2] = \"t\"", "g[6] = 5",      "g = 3",        "m[1, 1] = 2.5",
            "m[6, 0] = 1", "g[0]++",       "g[3] = 2",      "m = \"text\"", "g[5] *= 2",
            "ge = 0",      "ge[40] = 1",   "ge[0] = \"t\"",
        };
        return kChanges[Pick(int(std::size(kChanges)))];
    }

    // A Switch on a slot: integer Cases, some left by Break, some falling through to the
    // next, now and then a Case value of another kind or a Default; the selector is now
    // and then a double or a text.
    std::string Switch() {
        static const char* const kSelectors[] = {"i", "x", "k", "j", "s"};
        std::string text = "Switch (" + std::string(kSelectors[Pick(5)]) + ") {\n";
        const int cases = 1 + Pick(4);
        for (int c = 0; c < cases; ++c) {
            text +=
                "Case " + (Pick(8) == 0 ? std::string("0.5") : std::to_string(Pick(6) - 1)) + ":\n";
            const int statements = Pick(3);
            for (int s = 0; s < statements; ++s)
                text += Statement();
            if (Pick(4) != 0) text += "Break;\n";
        }
        if (Pick(2) == 0) text += "Default:\n" + Statement();
        return text + "}\n";
    }

    // An index worked out by an expression: an element, or arithmetic that now and then
    // falls outside the arrays, below 0 or on a double.
    std::string WorkedIndex() {
        switch (Pick(8)) {
        case 0:
            return "g[" + Index() + "]";
        case 1:
            return "a[" + Index() + "] + 1";
        case 2:
            return "(i * 2) - 3";
        case 3:
            return "(i + k) % 4";
        case 4:
            return "x * 2";
        case 5:
            return "e[k - 1] - i";
        case 6:
            return "a[a[" + Index() + "]]";
        default:
            return "q - 1";
        }
    }

    // An element of one index worked out by an expression, of an array in a slot or named,
    // now and then one of two dimensions.
    std::string WorkedElement() {
        static const char* const kArrays[] = {"a", "g", "e", "ge", "a", "m"};
        return std::string(kArrays[Pick(int(std::size(kArrays)))]) + "[" + WorkedIndex() + "]";
    }

    std::string Statement() {
        static const char* const kStores[] = {"=", "+=", "-=", "*=", "=", "="};
        switch (Pick(22)) {
        case 0:
            return Element() + (Pick(2) == 0 ? "++" : "--") + ";\n";
        case 1:
            return "s += " + Element() + ";\n";
        case 2:
            return "x = " + Expression() + ";\n";
        case 3:
            return "If (" + Element() + " > " + Operand() + ") s++;\n";
        case 4:
            // Kinds changing between rounds: a double, a text, growth or an integer again.
            return "If (i == " + std::to_string(Pick(5)) + ") " + Element() + " = " +
                   (Pick(4) == 0   ? "\"x\""
                    : Pick(3) == 0 ? "0.25"
                    : Pick(2) == 0 ? "1"
                                   : "4") +
                   ";\n";
        case 5:
            return "If (i == " + std::to_string(Pick(5)) + ") a[" + std::to_string(6 + Pick(2)) +
                   "] = i;\n";
        case 6:
            return "If (i == 2) x = " + (Pick(2) == 0 ? std::string("0.5") : "1") + ";\n";
        case 7:
        case 8:
            // The element past the end of the array, which the store grows by one; now and
            // then one further on, which leaves an element holding nothing.
            return "e[k] = " + Expression() + ";\nk" + (Pick(8) == 0 ? " += 2" : "++") + ";\n";
        case 9:
            return "ge[" + std::string(Pick(2) == 0 ? "i" : "i + 1") + "] = " + Operand() + ";\n";
        case 10:
        case 11:
            return Switch();
        case 12:
            // An element as an index, read by the round's program from the index it works out.
            return "s = s + a[g[" + Index() + "]];\n";
        case 13:
            // An index slot out of the arrays now and then, inside them else.
            return "q = " + std::string(Pick(3) == 0 ? std::to_string(Pick(12) - 2) : "i") + ";\n";
        case 14:
            return (Pick(2) == 0 ? "g[q] = " : "a[q] = ") + Operand() + ";\n";
        case 19:
        case 20:
            return WorkedElement() + " " + kStores[Pick(int(std::size(kStores)))] + " " +
                   Expression() + ";\n";
        case 21:
            return "If (" + WorkedElement() + " < " + WorkedElement() + ") x = " + WorkedElement() +
                   ";\n";
        default:
            return Element() + " " + kStores[Pick(int(std::size(kStores)))] + " " + Expression() +
                   ";\n";
        }
    }

    std::mt19937 random_;
};

class ElementLoops : public ProgramRunsTest {
protected:
    static void Compare(uint32_t firstSeed, uint32_t count) {
        uint32_t ended;
        ASSERT_NO_FATAL_FAILURE(CompareWithTheWalk(
            firstSeed, count, 1, [](uint32_t seed) { return ElementLoopsMaker(seed).Make(); },
            ended));
        EXPECT_GE(ended, count / 10);
    }
};

// A stack machine whose loop decodes a random program: its stack and registers are indexed
// by the program's cells and by expressions of its counters, which stray outside the arrays,
// below 0, onto doubles and texts, while handlers replace, shrink and change the arrays
// between the statements.
class MachineLoopsMaker {
public:
    explicit MachineLoopsMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        const bool local = Pick(2) == 0;
        const bool events = Pick(3) == 0;
        std::string text;
        if (events) text += "Function H(n) {\n" + Change() + ";\nIf (n > 0) Post(H, n - 1);\n}\n";
        text += "Function Run(code, size) {\nVar pc = 0; Var sp = 3; Var steps = 0; Var op;\n";
        if (local) text += "Var reg[0] = 0; reg[1] = 2; reg[2] = 0.5;\n";
        if (events) text += "Post(H, " + std::to_string(Pick(12)) + ");\n";
        text += "While ((pc < size) && (steps < 200)) {\nsteps++;\nop = code[pc];\n";
        text += Pick(2) == 0 ? Switch() : Chain();
        text += "}\nReturn sp + \"/\" + pc + \"/\" + reg[0] + \"/\" + reg[1] + \"/\" + reg[2] + "
                "\"/\" + stack[0] + \"/\" + stack[1];\n}\n";
        text += "reg[0] = 1; reg[1] = 0; reg[2] = 3;\nstack[0] = 0;\n"
                "For (i = 1; i < 10; i++) stack[i] = i;\n";
        const int size = 6 + Pick(14);
        for (int i = 0; i < size; ++i)
            text += "prog[" + std::to_string(i) + "] = " + Cell(i % 2 == 0) + ";\n";
        text += "Print(Run(prog, " + std::to_string(size) + "));\nPrint(Run(prog, " +
                std::to_string(size) + "));\n";
        return text;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    // An opcode, mostly, or an operand: a register's number, now and then outside the
    // registers, negative, a double or a text.
    std::string Cell(bool opcode) {
        if (Pick(24) == 0) {
            static const char* const kOdd[] = {"0.5", "\"t\"", "-1", "7", "1.0"};
            return kOdd[Pick(int(std::size(kOdd)))];
        }
        return std::to_string(Pick(opcode ? 8 : 3));
    }

    std::string Change() {
        static const char* const kChanges[] = {
            "reg = 0; reg[0] = 4", "reg[1] = \"t\"", "reg[2] = 1.5",  "stack = 0; stack[0] = 2",
            "stack[3] = 0.25",     "reg[3] = 9",     "prog[1] = 2.5", "prog = 0; prog[0] = 1",
        };
        return kChanges[Pick(int(std::size(kChanges)))];
    }

    // The instructions, each as the statements of one opcode.
    static std::string Instruction(int op) {
        switch (op) {
        case 0:
            return "stack[sp] = code[pc + 1]; sp++; pc += 2;";
        case 1:
            return "stack[sp] = reg[code[pc + 1]]; sp++; pc += 2;";
        case 2:
            return "sp--; reg[code[pc + 1]] = stack[sp]; pc += 2;";
        case 3:
            return "sp--; stack[sp - 1] = stack[sp - 1] + stack[sp]; pc++;";
        case 4:
            return "sp--; stack[sp - 1] = stack[sp - 1] * stack[sp]; pc++;";
        case 5:
            return "sp--; If (stack[sp] != 0) pc = code[pc + 1]; Else pc += 2;";
        case 6:
            return "reg[code[pc + 1]] += code[(pc + 1) - 0] * reg[(sp * 2) % 3]; pc += 2;";
        default:
            return "stack[(sp + code[pc + 1]) % 5] -= reg[(stack[sp - 1] & 1) + 1]; pc += 2;";
        }
    }

    std::string Switch() {
        std::string text = "Switch (op) {\n";
        for (int op = 0; op < 8; ++op)
            text += "Case " + std::to_string(op) + ":\n" + Instruction(op) + "\nBreak;\n";
        return text + "Default:\npc++;\n}\n";
    }

    std::string Chain() {
        std::string text;
        for (int op = 0; op < 8; ++op)
            text += (op == 0 ? "If (op == " : "Else If (op == ") + std::to_string(op) + ") {\n" +
                    Instruction(op) + "\n}\n";
        return text + "Else pc++;\n";
    }

    std::mt19937 random_;
};

class MachineLoops : public ProgramRunsTest {
protected:
    static void Compare(uint32_t firstSeed, uint32_t count) {
        uint32_t ended;
        ASSERT_NO_FATAL_FAILURE(CompareWithTheWalk(
            firstSeed, count, 1, [](uint32_t seed) { return MachineLoopsMaker(seed).Make(); },
            ended));
        EXPECT_GE(ended, count / 10);
    }
};

TEST_F(MachineLoops, RandomMachinesAgreeWithTheWalk) {
    Compare(140001, 800);
}

// A function whose loop reads globals, arrays and numbers, by name, called again and again as
// a plain function and as a method of objects, which gain members of those names between
// calls, while handlers give the globals other kinds and make new globals; and the calls
// come from the top level or from a function with a local of a global's name. Each call is a
// new state of the scopes, where the loop's names must find what a lookup would find now.
class LoopNamesMaker {
public:
    explicit LoopNamesMaker(uint32_t seed) : random_(seed) {}

    std::string Make(bool fromMain) {
        std::string text = "Function Change(v) { g = v; made = v; }\n"
                           "Function Obj(k) { This.k = k; This.F = F; }\n"
                           "Function F(p) {\nVar i; Var s = 0;\n";
        text += "For (i = 0; i < " + std::to_string(2 + Pick(4)) + "; i++) {\n";
        const int statements = 2 + Pick(4);
        for (int i = 0; i < statements; ++i)
            text += Statement();
        text += "}\nReturn s;\n}\n";
        text += "g = 5; k = 3; arr[0] = 1; arr[1] = 2.5; arr[2] = -4; arr[3] = 7;\n"
                "w[0] = 0; w[1] = 0; w[2] = 0; w[3] = 0; w[4] = 0; w[5] = 0;\n"
                "o1 = New Obj(10); o2 = New Obj(20);\n";
        std::string loop = "For (j = 0; j < " + std::to_string(3 + Pick(5)) + "; j++) {\n";
        const int calls = 2 + Pick(4);
        for (int i = 0; i < calls; ++i)
            loop += Call();
        loop += "}\n";
        const std::string shown = "Print(g, k, arr[0], arr[1], arr[2], arr[3], w[2], t);\n";
        if (fromMain)
            text +=
                "Function Main() {\nVar j; Var g = 1;\n" + loop + shown + "}\nt = 0;\nMain();\n";
        else
            text += "t = 0;\n" + loop + shown;
        return text;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    std::string Index() {
        static const char* const kIndices[] = {"i & 3", "(i + p) & 3", "p & 3", "i", "3 - (i & 3)"};
        return kIndices[Pick(int(std::size(kIndices)))];
    }

    std::string Operand() {
        switch (Pick(5)) {
        case 0:
            return "arr[" + Index() + "]";
        case 1:
            return "w[" + Index() + "]";
        case 2:
            return "g";
        case 3:
            return "k";
        default:
            return Pick(2) == 0 ? "p" : "0.5";
        }
    }

    // The statements of F's loop, each one a loop program takes.
    std::string Statement() {
        switch (Pick(5)) {
        case 0:
            return "s = s + (" + Operand() + " * " + Operand() + ");\n";
        case 1:
            return "w[" + Index() + "] = " + Operand() + " + s;\n";
        case 2:
            return "arr[" + Index() + "] " + (Pick(2) == 0 ? "+=" : "=") + " " + Operand() + ";\n";
        case 3:
            return "If (" + Operand() + " > s) s = s - 1;\n";
        default:
            return "s += " + Operand() + ";\n";
        }
    }

    std::string Literal() {
        static const char* const kLiterals[] = {"0", "1", "-1", "2147483647", "0.5"};
        return kLiterals[Pick(int(std::size(kLiterals)))];
    }

    // A call, as a function or a method; or, between calls, a member of a global's name
    // made in an object, a handler posted that changes g and makes a global, or a global
    // array replaced.
    std::string Call() {
        const std::string when = "If (j == " + std::to_string(Pick(5)) + ") ";
        switch (Pick(8)) {
        case 0:
        case 1:
            return "t = t + F(j & 3);\n";
        case 2:
            return "t = t + o1.F(j & 3);\n";
        case 3:
            return "t = t + o2.F(j & 3);\n";
        case 4:
            return when + "o" + std::to_string(1 + Pick(2)) + "." + std::string(1, "gk"[Pick(2)]) +
                   " = " + Literal() + ";\n";
        case 5:
            return when + "{ o1.arr = 0; o1.arr[0] = 2; o1.arr[1] = 1.5; o1.arr[2] = 0; o1.arr[3] "
                          "= 4; }\n";
        case 6:
            return when + "{ w = 0; w[0] = 1; w[1] = 2; w[2] = 0.25; w[3] = 3; }\n";
        default:
            return when + "Math.Post(Change, " + Literal() + ");\n";
        }
    }

    std::mt19937 random_;
};

class LoopNames : public ProgramRunsTest {
protected:
    static void Compare(uint32_t firstSeed, uint32_t count, bool fromMain) {
        uint32_t ended;
        ASSERT_NO_FATAL_FAILURE(CompareWithTheWalk(
            firstSeed, count, 0,
            [fromMain](uint32_t seed) { return LoopNamesMaker(seed).Make(fromMain); }, ended));
        EXPECT_GE(ended, count / 6);
    }
};

TEST_F(LoopNames, CalledFromTheTopLevelAgreeWithTheWalk) {
    Compare(130001, 800, false);
}

TEST_F(LoopNames, CalledFromAFunctionAgreeWithTheWalk) {
    Compare(131001, 800, true);
}

// An integer constant stored into an element of one index and a slot compounded with a slot
// are each one dispatch of the round: they must still grow, leave for the steps and fail
// where the walk does, and keep the order of an operator's sides.
TEST_F(ElementLoops, ConstantStoresAndSlotsCompoundedBySlotsAgreeWithTheWalk) {
    static const char* const kPrograms[] = {
        // Grown one past the end, then stored over; an array of one element.
        "Function F(n) {\nVar a[0] = 0; Var i;\nFor (i = 1; i < n; i++) a[i] = 7;\n"
        "For (i = 0; i < n; i += 2) a[i] = -3;\nReturn a[0] + \"/\" + a[1] + \"/\" + "
        "a[n - 1];\n}\nPrint(F(10));\nPrint(F(2));\n",
        // Over a text and a double, two past the end (the element between holds nothing).
        "Function F() {\nVar a[0] = 1; a[1] = \"t\"; a[2] = 0.5; Var i; Var k = 0;\n"
        "For (i = 0; i < 5; i++) {\na[k] = 2;\nk += 2;\n}\n"
        "Print(a[0], a[2], a[4], a[8], k);\n}\nF();\n",
        // A named array made two-dimensional, then a number, by the round itself.
        "Function F() {\nVar i; g[0] = 0;\nFor (i = 0; i < 30; i++) {\ng[i] = 1;\n"
        "If (i == 5) {\ng = 0; g[1, 1] = 5;\n}\n}\nReturn i;\n}\nPrint(F());\n",
        "Function F() {\nVar i; g[0] = 0;\nFor (i = 0; i < 30; i++) {\ng[i + 1] = 1;\n"
        "If (i == 5) g = 4;\n}\nReturn i;\n}\nPrint(F());\n",
        // An index slot gone negative, and one gone a double.
        "Function F(q) {\nVar a[0] = 0; Var i;\nFor (i = 0; i < 4; i++) {\na[q] = 5;\n"
        "q = q - 1;\n}\nReturn a[0];\n}\nPrint(F(2));\n",
        "Function F(q) {\nVar a[0] = 0; a[1] = 0; a[2] = 0; Var i;\nFor (i = 0; i < 4; i++) {\na[q] = 5;\n"
        "q = q + 0.5;\n}\nReturn a[0] + \"/\" + a[1] + \"/\" + a[2];\n}\nPrint(F(0));\n",
        // Sides kept in order, integers wrapping, a slot turned double in a round.
        "Function F(d) {\nVar i; Var j = 100; Var k = 1; Var s = 0.5; Var m = 7;\n"
        "For (i = 1; i < 20; i++) {\nj -= i;\nk *= i;\ns += i;\nm %= i;\n"
        "If (i == 10) i = i + d;\n}\nReturn j + \"/\" + k + \"/\" + s + \"/\" + m + "
        "\"/\" + i;\n}\nPrint(F(1));\nPrint(F(0.5));\n",
        // A division by a slot that holds 0 in a later round.
        "Function F() {\nVar i; Var j = 1000; Var z = 3;\nFor (i = 0; i < 6; i++) {\n"
        "j /= z;\nz -= 1;\n}\nReturn j;\n}\nPrint(F());\n",
    };
    uint32_t ended;
    ASSERT_NO_FATAL_FAILURE(CompareWithTheWalk(
        0, uint32_t(std::size(kPrograms)), 1,
        [](uint32_t seed) { return std::string(kPrograms[seed]); }, ended));
    EXPECT_GE(ended, 4u);
}

TEST_F(ElementLoops, RandomElementLoopsPart1) {
    Compare(90001, 1000);
}
TEST_F(ElementLoops, RandomElementLoopsPart2) {
    Compare(91001, 1000);
}
TEST_F(ElementLoops, RandomElementLoopsPart3) {
    Compare(92001, 1000);
}

} // namespace
