// Random programs that hold script objects in every kind of place (names, locals,
// parameters, members, elements of one and two dimensions, arrays inside arrays) and
// delete them through any of their holders: directly, from a function, from an event
// handler between statements and from the object's own method. Run on the walk, the
// reference walk and compiled, they must print the same, with the same kinds, and end
// with the same error at the same place.
#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "program_runs.h"

namespace {

using namespace program_runs;

class HolderProgram {
public:
    explicit HolderProgram(uint32_t seed) : random_(seed) {}

    std::string Make() {
        text_ = "Function Obj(x) { This.x = x; This.Drop = Drop; }\n"
                "Function Drop(k) { Var before = This.x; If (k != 0) Delete k; "
                "Return before + (k == 0); }\n"
                "Function Kill(q) { Delete q; Return 1; }\n"
                "Function Deep() { Var inner = nest[0]; Return inner[1]; }\n"
                "Function Later(q) { If (q != 0) Delete q; Print(\"later\", q); }\n";
        // F's parameter and local join the holders in its body.
        text_ += "Function F(p) {\nVar v = p;\n";
        Body({"p", "v", "h0", "box.m", "arr[1]"}, 4);
        text_ += "Return p;\n}\n";
        text_ += "o0 = New Obj(10); o1 = New Obj(11); o2 = New Obj(12); o3 = New Obj(13);\n"
                 "h0 = o0; h1 = o1; box = New Obj(9); box.m = o1; arr[0] = o2; arr[1] = o2; "
                 "grid[1, 1] = o3; grid[0, 1] = o0; nest[0] = arr; nest[1] = 5;\n";
        Body({"h0", "h1", "o0", "o1", "o2", "o3", "box.m", "arr[0]", "arr[1]", "grid[1, 1]",
              "grid[0, 1]", "Deep()"},
             6 + Pick(8));
        text_ += "Print(h0, h1, o0, o1, o2, o3, box.m, arr[0], arr[1], grid[1, 1], grid[0, 1]);\n";
        return text_;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    void Body(const std::vector<std::string>& holders, int statements) {
        for (int i = 0; i < statements; ++i)
            Statement(holders);
    }

    std::string Holder(const std::vector<std::string>& holders) {
        return holders[size_t(Pick(int(holders.size())))];
    }

    // A holder that is no call, whose members the compiler takes.
    std::string Place(const std::vector<std::string>& holders) {
        std::string h = Holder(holders);
        while (h.back() == ')')
            h = Holder(holders);
        return h;
    }

    // A read of a holder that works on an object and on 0 alike.
    std::string Read(const std::vector<std::string>& holders) {
        std::string h = Holder(holders);
        switch (Pick(4)) {
        case 0:
            return h + " == 0";
        case 1:
            return h + " == " + Holder(holders);
        case 2:
            return h + " != " + Holder(holders);
        default:
            return h;
        }
    }

    void Statement(const std::vector<std::string>& holders) {
        std::string h = Pick(4) == 0 ? Holder(holders) : Place(holders);
        std::string p = Place(holders);
        switch (Pick(40)) {
        case 0:
            text_ += "If (" + h + " != 0) Delete " + h + ";\n";
            break;
        case 1:
            // The operand read before the call that deletes its object takes part as 0.
            text_ += "If (" + h + " != 0) { x = " + h + " + Kill(" + h + "); Print(x); }\n";
            break;
        case 2:
            text_ += "Post(Later, " + h + ");\nPrint(\"posted\");\n";
            // Statements for the housekeeping to dispatch the event between.
            text_ += "For (i = 0; i < 11; i++) s = i;\n";
            break;
        case 3:
            text_ += "If (" + p + " != 0) Print(" + p + ".Drop(" + Holder(holders) + "));\n";
            break;
        case 4:
            if (h.find_first_of(".(") == std::string::npos)
                text_ +=
                    h + " = " +
                    (Pick(2) == 0 ? "New Obj(" + std::to_string(Pick(9)) + ")" : Holder(holders)) +
                    ";\n";
            break;
        case 5:
            // Not from F itself: it does not recurse.
            if (holders[0] != "p") text_ += "Print(F(" + h + "));\n";
            break;
        case 6:
            text_ += "For (i = 0; i < 3; i++) { n = " + h + " == 0; Print(n, i); }\n";
            break;
        case 7:
            text_ += "If (" + p + " != 0) " + p + ".x = " + p + ".x + " + std::to_string(Pick(5)) +
                     ";\n";
            break;
        case 8:
            text_ += "If (" + h + " != 0) Delete " + h + ";\nPrint(" + Read(holders) + ");\n";
            break;
        case 9:
            // Operators that take 0 but no object.
            text_ += "If (" + h + " == 0) Print(" + h + " + 1, \"t\" + " + h + ", !" + h + ", " +
                     h + " * 2.5, -" + h + ", " + h + " < 1);\n";
            break;
        case 10:
            text_ += "If (" + p + " != 0) Print(" + p + ".x);\n";
            break;
        case 11:
            // Unguarded: fails where the holder's object went.
            text_ += "Print(" + p + ".x);\n";
            break;
        case 12:
            text_ += "Delete " + h + ";\n";
            break;
        case 13:
        case 14:
        case 15:
        case 16:
        case 17:
            text_ += "Print(" + Read(holders) + ", " + Read(holders) + ");\n";
            break;
        default:
            Statement(holders);
            break;
        }
    }

    std::mt19937 random_;
    std::string text_;
};

// Number statements and conditions on members of objects held by parameters and locals:
// members holding integers, doubles, texts and arrays, missing ones assigned first, kinds
// changing between runs, objects deleted between statements by a handler or by a call,
// holders of no object.
class MemberNumberProgram {
public:
    explicit MemberNumberProgram(uint32_t seed) : random_(seed) {}

    std::string Make() {
        // Alt holds Obj's members at other places: a statement that last found them in an Obj
        // finds them again in an Alt.
        text_ = "Function Obj(a) { This.a = a; This.b = 2; This.c = 0.5; }\n"
                "Function Alt(a) { This.c = 1; This.a = a; This.b = 2.5; }\n"
                "Function Kill(q) { Delete q; Return 1; }\n"
                "Function Later(q) { If (q != 0) Delete q; Print(\"later\"); }\n"
                "Function G(p, q) {\nVar s = 1;\nVar i;\nVar j;\nVar v = q;\n";
        for (int i = 0, n = 3 + Pick(6); i < n; ++i)
            Statement(0);
        text_ += "Return s;\n}\n";
        text_ += "o0 = New Obj(3); o1 = New Obj(4.5); o2 = New Obj(2); o3 = New Obj(7);\n";
        for (int i = 0, n = 4 + Pick(6); i < n; ++i)
            Top();
        text_ += "Print(o0.a, o0.b, o0.c, o1.a, o1.b, o3.a, o3.c);\n";
        return text_;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    std::string Holder() { return Pick(3) == 0 ? "v" : Pick(2) == 0 ? "p" : "q"; }
    // A member of Obj's, or now and then "d", which no object has until it is assigned.
    std::string Member() {
        static const char* const kMembers[] = {"a", "b", "c", "a", "b", "c", "a", "d"};
        return Holder() + "." + kMembers[Pick(8)];
    }
    std::string Operand() {
        switch (Pick(6)) {
        case 0:
            return std::to_string(Pick(9));
        case 1:
            return "1.5";
        case 2:
            return "s";
        default:
            return Member();
        }
    }
    std::string Expression() {
        static const char* const kOperators[] = {" + ", " - ", " * ", " / ", " < ", " == ", " & "};
        std::string e = Operand();
        for (int i = 0, n = Pick(3); i < n; ++i)
            e = "(" + e + kOperators[Pick(7)] + Operand() + ")";
        return e;
    }

    void Statement(int depth) {
        static const char* const kAssignments[] = {" = ", " += ", " -= ", " *= "};
        switch (Pick(depth < 2 ? 17 : 14)) {
        case 0:
        case 1:
        case 2: {
            // Members of one holder only.
            const std::string h = Holder();
            text_ += h + "." + "abca"[Pick(4)] + kAssignments[Pick(4)] + "(" + h + "." +
                     "abcd"[Pick(4)] + " * " + Operand() + ") + " + h + ".b;\n";
            break;
        }
        case 3:
            text_ += Member() + (Pick(2) == 0 ? "++;\n" : "--;\n");
            break;
        case 4:
            text_ += "s = " + Expression() + ";\n";
            break;
        case 5:
            text_ += "If (" + Expression() + ") s = s + 1;\n";
            break;
        case 6:
            // A kind no number code takes, then numbers again.
            text_ += Member() + (Pick(2) == 0 ? " = \"x\";\n" : " = New Obj(1);\n");
            break;
        case 7:
            text_ +=
                "If (" + Holder() + " != 0) s = s + Kill(" + Holder() + ") + " + Member() + ";\n";
            break;
        case 8:
            text_ += "Print(s, " + Member() + ");\n";
            break;
        case 9:
            text_ += Member() + "[1] = 2;\n";
            break;
        case 10:
            text_ += "v = " +
                     std::string(Pick(3) == 0   ? "p"
                                 : Pick(2) == 0 ? "New Obj(2)"
                                                : "New Alt(2)") +
                     ";\n";
            break;
        case 11:
        case 12:
        case 13:
            OneHolderStatement();
            break;
        default:
            // A counter of each depth, which inner loops leave alone.
            const std::string counter = depth == 0 ? "i" : "j";
            text_ += "For (" + counter + " = 0; " + counter + " < " + std::to_string(1 + Pick(4)) +
                     "; " + counter + "++) {\n";
            for (int i = 0, n = 1 + Pick(3); i < n; ++i)
                Statement(depth + 1);
            text_ += "}\n";
            break;
        }
    }

    // Conditions, slots' values and members of one holder worked out from its members, slots
    // and integers: bounds tests joined by "||" or "&&", negations and results past 32 bits.
    void OneHolderStatement() {
        const std::string h = Holder();
        auto member = [&] { return h + "." + "abcad"[Pick(5)]; };
        auto operand = [&] {
            switch (Pick(5)) {
            case 0:
                return std::to_string(Pick(9) - 2);
            case 1:
                return std::string(Pick(2) == 0 ? "s" : "2147483647");
            default:
                return member();
            }
        };
        static const char* const kTests[] = {" < ", " > ", " <= ", " != "};
        static const char* const kOperators[] = {" + ", " - ", " * ", " % ", " / ", " << "};
        const std::string test = "(" + member() + kTests[Pick(4)] + operand() + ")" +
                                 (Pick(2) == 0 ? " || " : " && ") + "(" + member() +
                                 kTests[Pick(4)] + operand() + ")";
        switch (Pick(4)) {
        case 0:
            text_ += "If (" + test + ") " + member() + " = 0 - " + member() + ";\n";
            break;
        case 1:
            text_ += "s = " + std::string(Pick(2) == 0 ? "-" : "!") + member() +
                     kOperators[Pick(6)] + operand() + ";\n";
            break;
        case 2:
            text_ += member() + " = (" + member() + kOperators[Pick(6)] + operand() + ")" +
                     kOperators[Pick(3)] + operand() + ";\n";
            break;
        default:
            text_ += "If (!(" + test + ")) s = s + 1; Else " + member() + "++;\n";
            break;
        }
    }

    std::string Object() {
        switch (Pick(16)) {
        case 0:
            return "0";
        case 1:
            return "\"t\"";
        default:
            return "o" + std::to_string(Pick(4));
        }
    }

    void Top() {
        switch (Pick(8)) {
        case 0:
            text_ += "Post(Later, " + Object() +
                     ");\nPrint(\"posted\");\n"
                     "For (t = 0; t < 11; t++) Print(G(o1, o3));\n";
            break;
        case 1:
            text_ += "o" + std::to_string(Pick(4)) +
                     (Pick(2) == 0 ? " = New Obj(" : " = New Alt(") + std::to_string(Pick(5)) +
                     ");\n";
            break;
        case 2:
            text_ += "Print(G(" + Object() + ", " + Object() + "));\n";
            break;
        default:
            text_ +=
                "Print(G(o" + std::to_string(Pick(4)) + ", o" + std::to_string(Pick(4)) + "));\n";
            break;
        }
    }

    std::mt19937 random_;
    std::string text_;
};

// Loops whose rounds are number statements and conditions on members of objects in
// parameters, locals and This, run long enough for the housekeeping to dispatch posted
// handlers between their statements: handlers that delete the objects, add members to them
// (a new shape), change a member's kind or give it a text. Between the rounds' calls, the
// holders take objects of other shapes, no object or a deleted one.
class MemberLoopProgram {
public:
    explicit MemberLoopProgram(uint32_t seed) : random_(seed) {}

    std::string Make() {
        text_ = "Function Obj(a) { This.a = a; This.b = 2; This.c = 0.5; This.Run = Run; }\n"
                "Function Alt(a) { This.c = 1; This.a = a; This.b = 3; }\n"
                "Function Kill() { Delete o1; }\n"
                "Function Grow() { o1.e = 1; o3.b = 1.5; }\n"
                "Function Text() { o3.a = \"t\"; }\n"
                "Function Shrink() { o1.c = 2; o3.a = 7; }\n"
                "Function Run(n) {\nVar i;\n";
        Loop("This");
        text_ += "Return This.a;\n}\n"
                 "Function G(p, q, n) {\nVar s = 1;\nVar i;\nVar v = q;\n";
        for (int k = 0, count = 1 + Pick(2); k < count; ++k)
            Loop(Pick(3) == 0 ? "v" : Pick(2) == 0 ? "p" : "q");
        text_ += "Return s;\n}\n"
                 "o0 = New Obj(3); o1 = New Obj(4); o2 = New Alt(2); o3 = New Obj(1.5);\n";
        for (int k = 0, count = 3 + Pick(5); k < count; ++k)
            Top();
        text_ += "Print(o0.a, o0.b, o1.a, o1.b, o3.a, o3.b);\n";
        return text_;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    std::string Operand(const std::string& holder) {
        switch (Pick(6)) {
        case 0:
            return std::to_string(Pick(5));
        case 1:
            return "0.25";
        case 2:
            return "i";
        default:
            return holder + "." + "abcb"[Pick(4)];
        }
    }

    // A round of one holder's members, now and then with a second holder's.
    void Loop(const std::string& holder) {
        static const char* const kAssignments[] = {" = ", " += ", " -= ", " = "};
        static const char* const kOperators[] = {" + ", " - ", " * ", " < ", " % "};
        text_ += "For (i = 0; i < n; i++) {\n";
        for (int k = 0, count = 1 + Pick(4); k < count; ++k) {
            const std::string h = holder != "This" && Pick(5) == 0 ? "q" : holder;
            const std::string value =
                "(" + Operand(h) + kOperators[Pick(5)] + Operand(h) + ") % 1000";
            switch (Pick(5)) {
            case 0:
                text_ += "If (" + h + ".a < " + Operand(h) + ") " + h + ".b = " + value + ";\n";
                break;
            case 1:
                if (holder != "This") {
                    text_ += "s = s + " + h + "." + "abc"[Pick(3)] + ";\n";
                    break;
                }
                [[fallthrough]];
            default:
                text_ += h + "." + "abac"[Pick(4)] + kAssignments[Pick(4)] + value + ";\n";
                break;
            }
        }
        text_ += "}\n";
    }

    std::string Object() {
        switch (Pick(12)) {
        case 0:
            return "0";
        default:
            return "o" + std::to_string(Pick(4));
        }
    }

    void Top() {
        static const char* const kHandlers[] = {"Kill", "Grow", "Text", "Shrink"};
        const std::string rounds = std::to_string(2 + Pick(30));
        switch (Pick(6)) {
        case 0:
        case 1:
            // Dispatched between the statements of the rounds that follow.
            text_ += std::string("Post(") + kHandlers[Pick(4)] + ");\n";
            [[fallthrough]];
        case 2:
            text_ += "Print(G(" + Object() + ", " + Object() + ", " + rounds + "));\n";
            break;
        case 3:
            text_ += "If (o0 != 0) Print(o0.Run(" + rounds + "));\n";
            break;
        case 4:
            text_ += "o" + std::to_string(Pick(4)) +
                     (Pick(2) == 0 ? " = New Obj(" : " = New Alt(") + std::to_string(Pick(5)) +
                     ");\n";
            break;
        default:
            text_ += "o" + std::to_string(Pick(4)) + "." + "abc"[Pick(3)] + " = " +
                     (Pick(2) == 0 ? "2.5" : "\"u\"") + ";\n";
            break;
        }
    }

    std::mt19937 random_;
    std::string text_;
};

// One function's number statements and conditions on the members of the object it is passed,
// called from loops over elements of one and two dimensions whose objects are of two classes
// holding the members at other places, gain a member between calls or during one, are
// deleted by the call, by a handler or between calls, or are no objects at all; and the same
// statements on This in a method.
class MemberCallProgram {
public:
    explicit MemberCallProgram(uint32_t seed) : random_(seed) {}

    std::string Make() {
        text_ = "Function Obj(a) { This.x = a; This.v = 2; This.hits = 0; This.Step = Step; }\n"
                "Function Alt(a) { This.v = 1.5; This.x = a; This.Step = Step; This.hits = 0; }\n"
                "Function Kill(q) { Delete q; Return 1; }\n"
                "Function Later(q) { If (q != 0) Delete q; Print(\"later\"); }\n"
                "Function Grow(q) { If (q != 0) q.extra = 1; }\n"
                "Function Touch(q, k) { q.hits = q.hits + 1; If (k > 3) Return q.x; Return k; }\n"
                "Function Step(k) {\nVar i;\n";
        Body("This");
        text_ += "Return This.x;\n}\nFunction Move(p, k) {\nVar i;\n";
        Body("p");
        text_ += "Return p.x;\n}\n";
        // Elements of an array passed in, indexed by a slot or by integer operators on
        // slots: past its end at 4, before its start at -1, of two dimensions when the grid
        // is passed.
        const char* const kIndices[] = {"i", "(j * 3) % m", "((j + 1) % m)", "j - 1"};
        const std::string other = kIndices[Pick(4)];
        text_ += "Function Sweep(a, n, m) {\nVar j;\nVar i;\nVar s = 0;\n"
                 "For (j = 0; j < n; j++) {\ni = j % m;\nMove(a[i], j);\nMove(a[" +
                 other + "], j);\ns = s + Move(a[i], 1);\n}\nReturn s;\n}\n";
        for (int j = 0; j < 4; ++j) {
            text_ += "ps[" + std::to_string(j) + "] = " + NewObject() + "; grid[1, " +
                     std::to_string(j) + "] = " + NewObject() + ";\n";
        }
        for (int i = 0, n = 3 + Pick(5); i < n; ++i)
            Top();
        text_ += "Print(ps[0].x, ps[1].hits, grid[1, 2].x);\n";
        return text_;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    std::string NewObject() {
        return std::string(Pick(2) == 0 ? "New Obj(" : "New Alt(") + std::to_string(Pick(900)) +
               ")";
    }
    std::string Operand(const std::string& h) {
        switch (Pick(5)) {
        case 0:
            return std::to_string(Pick(9));
        case 1:
            return "k";
        default:
            return h + "." + (Pick(8) == 0 ? "extra" : Pick(2) == 0 ? "x" : "v");
        }
    }

    // A condition on the holder's members: some meet a double, a member missing or a
    // division by zero.
    std::string Condition(const std::string& h) {
        switch (Pick(5)) {
        case 0:
            return "(" + h + ".x < " + std::to_string(Pick(300)) + ") || (" + h + ".x > " +
                   std::to_string(500 + Pick(500)) + ")";
        case 1:
            return h + ".x > k";
        case 2:
            return "(" + h + ".v * 3) > (" + h + ".hits + k)";
        case 3:
            return "(" + h + ".x / k) > 40";
        default:
            return "(" + h + "." + RowMember() + " >= 2) && (" + h + ".x != k)";
        }
    }

    void Body(const std::string& h) {
        for (int i = 0, n = 2 + Pick(4); i < n; ++i) {
            switch (Pick(17)) {
            case 11:
                // A branch that leads on to statements on the holder's members, or past them.
                text_ += "If (" + Condition(h) + ") " + h + "." + RowMember() + " = " + h + "." +
                         RowMember() + " + " + Operand(h) + ";\n";
                if (Pick(2) == 0) text_ += "Else " + h + ".hits = " + h + ".hits - 1;\n";
                text_ += h + ".x = " + h + ".x + " + std::to_string(Pick(5)) + ";\n";
                break;
            case 12:
                // Statements on two holders in turn: the same object, or one from an element
                // that may hold none.
                text_ += std::string("q = ") + (Pick(2) == 0 ? h : "ps[k % 4]") + ";\n" + h +
                         ".hits = " + h + ".hits + 1;\nIf (" + Condition("q") + ") q.x = q.x - " +
                         std::to_string(1 + Pick(9)) + ";\nq.v = q.v + " + h + ".x;\n" + h +
                         ".x = " + h + ".x % 1000;\n";
                break;
            case 14:
                // A call of a body that runs in full, passed the holder: the condition's
                // program gives up before it, and its steps make it from then on.
                text_ += "If (Touch(" + h + ", k) > 2) " + h + ".x = " + h + ".x + 1;\n";
                break;
            case 13:
                text_ += "i = 0;\nWhile ((" + h + ".x > 990) && (i < 4)) {\n" + h + ".x = " + h +
                         ".x - " + std::to_string(1 + Pick(30)) + ";\ni++;\n}\n";
                break;
            case 0:
            case 1:
            case 2:
                text_ +=
                    h + "." + (Pick(3) == 0 ? "v" : "x") + " = " + h + ".x + " + Operand(h) + ";\n";
                break;
            case 3:
            case 4:
                text_ += "If ((" + h + ".x < " + std::to_string(Pick(300)) + ") || (" + h +
                         ".x > " + std::to_string(500 + Pick(500)) + ")) {\n" + h + ".v = 0 - " +
                         h + ".v;\n" + h + ".hits = " + h + ".hits + 1;\n}\n";
                break;
            case 5:
                text_ += h + ".hits" + (Pick(2) == 0 ? "++;\n" : " += " + Operand(h) + ";\n");
                break;
            case 6:
                // Enough statements for the housekeeping to dispatch a posted handler.
                text_ += "For (i = 0; i < 11; i++) " + h + ".hits = " + h + ".hits + i;\n";
                break;
            case 7:
                // A member added during the call: the object takes a new shape.
                text_ += "If (k == " + std::to_string(Pick(6)) + ") " + h + ".extra = k;\n";
                break;
            case 9:
            case 10:
                // A row of statements on the holder's members alone, which may meet a double,
                // a member missing or the housekeeping between any two.
                for (int j = 0, m = 2 + Pick(4); j < m; ++j)
                    text_ += h + "." + RowMember() + " = " + h + "." + RowMember() +
                             (Pick(3) == 0 ? " * " : " + ") + h + "." + RowMember() + ";\n";
                break;
            case 8:
                if (h == "p") {
                    text_ += "If (k == " + std::to_string(Pick(12)) + ") " +
                             (Pick(2) == 0 ? "Delete p;\n" : "p.x = Kill(p) + p.x;\n");
                    break;
                }
                [[fallthrough]];
            default:
                text_ += h + ".x = (" + Operand(h) + " * " + Operand(h) + ") % 1000;\n";
                break;
            }
        }
    }

    std::string RowMember() {
        static const char* const kMembers[] = {"x", "hits", "x", "hits", "v", "extra"};
        return kMembers[Pick(Pick(4) == 0 ? 6 : 4)];
    }

    std::string Element() {
        return Pick(3) == 0 ? "grid[1, " + std::to_string(Pick(4)) + "]"
                            : "ps[" + std::to_string(Pick(4)) + "]";
    }

    void Top() {
        const std::string rounds = std::to_string(1 + Pick(12));
        switch (Pick(10)) {
        case 0:
            text_ += Element() + " = " + NewObject() + ";\n";
            break;
        case 1:
            text_ += Element() + ".extra = 2;\n";
            break;
        case 2:
            text_ += std::string("Post(") + (Pick(2) == 0 ? "Later" : "Grow") + ", " + Element() +
                     ");\n";
            break;
        case 3:
            // No object: a number, a text, or an object deleted through another holder.
            text_ += Pick(3) == 0   ? Element() + " = 0;\n"
                     : Pick(2) == 0 ? Element() + " = \"t\";\n"
                                    : "Delete " + Element() + ";\n";
            break;
        case 4:
            text_ += "For (k = 0; k < " + rounds + "; k++) If (" + Element() +
                     " != 0) Print(ps[k % 4].Step(k));\n";
            break;
        case 5:
            text_ += "For (k = 0; k < " + rounds + "; k++) Print(Move(grid[1, k % 4], k));\n";
            break;
        case 6:
            text_ += std::string("Print(Sweep(") + (Pick(6) == 0 ? "grid" : "ps") + ", " + rounds +
                     (Pick(4) == 0 ? ", 5));\n" : ", 4));\n");
            break;
        default:
            text_ += "For (k = 0; k < " + rounds + "; k++) Print(Move(ps[k % 4], k));\n";
            break;
        }
    }

    std::mt19937 random_;
    std::string text_;
};

// A member after a name that holds no object, in every place an operand can stand: the
// walk's expression ends before the member, and the operators and constructs around it take
// the value left there (a name's placeholder, a function) and fail, or end the statement.
class MemberStopProgram {
public:
    explicit MemberStopProgram(uint32_t seed) : random_(seed) {}

    std::string Make() {
        static const char* const kHolders[] = {
            "",                             // unknown
            "Var v;\n",                     // an unset Var
            "v = G;\n",                     // a function
            "v = 3;\n",                     // a number
            "v = \"t\";\n",                 // a text
            "v[1] = 2;\n",                  // an array
            "v = New Obj(1);\nDelete v;\n", // a deleted object
        };
        // The value also stands in an element, a member and a member's element.
        static const char* const kMembers[] = {"v.a",    "v.F()",   "v.F(1)",  "v.a.b",
                                               "w[0].a", "o.n.F()", "o.m[0].a"};
        // A function taken as an argument goes on into the call, and one chosen by "?" on
        // to the operand after the member: those places come last.
        static const char* const kPlaces[] = {
            "S;",
            "x = S;",
            "y = S;",
            "x = x + S;",
            "x = 1 + S;",
            "x = S + 1;",
            "x += S;",
            "x = -S;",
            "x = !S;",
            "x = (S);",
            "x = (S) + 1;",
            "x = ((S));",
            "x = 1 < S;",
            "x = 1 && S;",
            "x = 1 - (2 * S);",
            "If (S) Print(1);",
            "If (x == 1 && S) Print(1);",
            "If ((S) > 1) Print(1);",
            "While (S) Print(1);",
            "For (k = 0; S; k++) Print(k);",
            "For (k = 1 + S; k < 2; k++) Print(k);",
            "x = ar[S];",
            "ar[S] = 1;",
            "x = ar[1 + S];",
            "Var z = S;",
            "Var w = 2 * S;",
            "Return S;",
            "x = 1 ? S : 2;",
            "Print(S);",
            "Print(1, S);",
            "Print(K(S));",
            "x = o.M(S);",
        };
        constexpr size_t kFunctionPlaces = std::size(kPlaces) - 4;
        const size_t kind = Pick(std::size(kHolders));
        std::string stop = kMembers[Pick(kind < 2 ? 4 : std::size(kMembers))];
        std::string place = kPlaces[Pick(kind == 2 ? kFunctionPlaces : std::size(kPlaces))];
        // (A method call's argument after a parenthesis is read on as the next statement.)
        if (kind == 2 && stop == "v.F(1)" && place.find("(S)") != std::string::npos) stop = "v.a";
        // (A choice's second operand read in a method call's list is not followed.)
        if (kind == 2 && place.find('?') != std::string::npos && stop == "v.F(1)") stop = "v.F()";
        place.replace(place.find('S'), 1, stop);
        std::string text = "Function G(p) { Print(\"G\", p); Return 1; }\n"
                           "Function K(p) { Print(\"K\", p); Return 2; }\n"
                           "Function Obj(a) { This.a = a; This.M = K; }\n";
        std::string body = std::string(kHolders[kind]) + "x = 1;\nar[0] = 1;\no = New Obj(2);\n" +
                           (kind < 2 ? "" : "w[0] = v;\no.n = v;\no.m[0] = v;\n") + place +
                           "\nPrint(x);\n";
        // In a function's slots, or at the top level through the scopes, after statements
        // that bring the housekeeping's round anywhere.
        const std::string before = std::to_string(Pick(12));
        if (Pick(3) != 0 || place.find("Return") == 0) {
            text += "Function H(n) {\nVar i;\nFor (i = 0; i < n; i++) Print(i);\n" + body +
                    "Return 0;\n}\nPrint(H(" + before + "));\n";
        } else {
            text += "For (i = 0; i < " + before + "; i++) Print(i);\n" + body;
        }
        return text;
    }

private:
    size_t Pick(size_t n) { return size_t(random_() % uint32_t(n)); }

    std::mt19937 random_;
};

class ObjectPrograms : public ProgramRunsTest {
protected:
    // `source` run the fast way and compiled gives what the reference walk gave.
    static void ExpectAgrees(const std::string& source, const Outcome& reference) {
        for (Way way : {Way::kFast, Way::kCompiled}) {
            const Outcome other = RunProgram(source, way);
            ASSERT_EQ(other.output, reference.output) << source;
            ASSERT_EQ(other.code, reference.code) << source;
            ASSERT_EQ(other.line, reference.line) << source;
            ASSERT_EQ(other.column, reference.column) << source;
            ASSERT_EQ(other.ticks, reference.ticks) << source;
        }
    }

    // `source` ends in error `code` by the reference walk, having printed `shown` on the way,
    // and runs the fast way and compiled alike.
    static void ExpectAgreesEndingIn(const std::string& source, int32_t code,
                                     const std::string& shown) {
        const Outcome reference = RunProgram(source, Way::kReference);
        ASSERT_EQ(reference.code, code) << reference.output;
        ASSERT_NE(reference.output.find(shown), std::string::npos) << reference.output;
        ExpectAgrees(source, reference);
    }

    // The programs `Maker` writes for `count` seeds from `firstSeed`, run by the reference
    // walk, the fast way and compiled: the same output and error at the same place, and the
    // housekeeping after the same statements. At least `minimumEnded` run to their end.
    template <class Maker>
    static void Compare(uint32_t firstSeed, uint32_t count, uint32_t minimumEnded) {
        uint32_t ended = 0;
        for (uint32_t seed = firstSeed; seed < firstSeed + count; ++seed) {
            std::string source = Maker(seed).Make();
            Outcome reference = RunProgram(source, Way::kReference);
            ASSERT_NE(reference.output, "does not compile") << source;
            ended += reference.code == 0 ? 1 : 0;
            for (Way way : {Way::kFast, Way::kCompiled}) {
                Outcome other = RunProgram(source, way);
                ASSERT_EQ(other.output, reference.output) << "seed " << seed << "\n" << source;
                ASSERT_EQ(other.code, reference.code) << "seed " << seed << "\n" << source;
                ASSERT_EQ(other.line, reference.line) << "seed " << seed << "\n" << source;
                ASSERT_EQ(other.column, reference.column) << "seed " << seed << "\n" << source;
                ASSERT_EQ(other.ticks, reference.ticks) << "seed " << seed << "\n" << source;
            }
        }
        EXPECT_GE(ended, minimumEnded);
    }
};

// Some run to their end, others fail at a member that is no number or an object gone.
TEST_F(ObjectPrograms, MemberNumberStatementsAgree) {
    Compare<MemberNumberProgram>(1, 1500, 40);
}

// A member after something that holds no object: the walk's statement ends before the
// member, and the next, starting at it, fails. That end is counted as any other, at every
// place in the housekeeping's round.
TEST_F(ObjectPrograms, StatementEndingBeforeAMemberCounts) {
    for (const char* stop : {"v.a = 1;", "v.F();", "v = G; x = v.a;", "v = Later; v.a.b = 1;"}) {
        for (int32_t before = 0; before <= CInterpretor::kStatementsPerCheck; ++before) {
            std::string source = "Function G(p) { Print(p); Return 1; }\n"
                                 "Function Later(q) { Print(\"later\"); }\n"
                                 "Function H(n) {\nVar k;\nFor (k = 0; k < n; k++) Print(k);\n" +
                                 std::string(stop) + "\nPrint(n);\n}\nH(" + std::to_string(before) +
                                 ");\n";
            Outcome reference = RunProgram(source, Way::kReference);
            Outcome compiled = RunProgram(source, Way::kCompiled);
            ASSERT_NE(reference.code, 0) << source;
            ASSERT_EQ(compiled.output, reference.output) << source;
            ASSERT_EQ(compiled.code, reference.code) << source;
            ASSERT_EQ(compiled.column, reference.column) << source;
            ASSERT_EQ(compiled.ticks, reference.ticks) << source;
        }
    }
}

// Each stop before a member ends the run with the walk's error at the walk's place, after
// the statements and output the walk has before it.
TEST_F(ObjectPrograms, StopsBeforeAMemberInEveryPlaceAgree) {
    Compare<MemberStopProgram>(1, 3000, 0);
}

// A Return whose value stops before a member gives back what the walk read up to there: a
// function, through the operators and parentheses around it, from a call with a frame of its
// own or none, a method and a handler; a name that holds nothing fails there instead.
TEST_F(ObjectPrograms, ReturnBeforeAMemberGivesTheFunction) {
    // Each with whether the walk's call ends there with the function.
    const std::pair<const char*, bool> kReturns[] = {
        {"v = G;\nReturn v.a;", true},         {"v = G;\nReturn v.F(1);", true},
        {"w[0] = G;\nReturn w[0].a;", true},   {"o.m[0] = G;\nReturn o.m[0].a;", true},
        {"o.n = G;\nReturn o.n.F();", true},   {"v = G;\nReturn -v.a.b;", false},
        {"v = G;\nReturn (v.a.b);", false},    {"v = G;\nReturn 1 + v.a;", false},
        {"Return u.a;", false},                 {"Var v;\nReturn v.a;", false},
        {"Return G.a;", true},
    };
    const char* const kCallers[] = {
        "Print(R(1));\n",
        "Function S(n) { f = R(n); Print(n); Return f; }\nPrint(S(2));\n",
        "o = New Obj(1);\no.R = R;\nPrint(o.R(3));\n",
        "Post(R, 4);\nFor (i = 0; i < 12; i++) Print(i);\n",
        // A body of its Return alone, and a call assigned.
        "Function T(v) { Return v.a; }\nPrint(T(G), T(R));\nx = R(5);\nPrint(x);\n",
    };
    for (const auto& [body, ends] : kReturns) {
        for (const char* caller : kCallers) {
            // A body that reads a name through the scopes before assigning it runs in a
            // frame of its own.
            for (const char* head : {"", "count = count + n;\n"}) {
                std::string source = "Function G(p) { Print(\"G\", p); Return 1; }\n"
                                     "Function Obj(a) { This.a = a; }\n"
                                     "Function R(n) {\n" + std::string(head) +
                                     "Print(n);\no = New Obj(2);\n" + body +
                                     "\nPrint(n);\n}\ncount = 0;\n" + caller + "Print(7, count);\n";
                const Outcome reference = RunProgram(source, Way::kReference);
                ASSERT_EQ(reference.code == 0, ends) << source;
                ASSERT_NO_FATAL_FAILURE(ExpectAgrees(source, reference));
            }
        }
    }
}

// A function chosen by "?" before a member: the walk reads the choice's second operand from
// the token after the member, which fails there when no operand can start at it, and is
// empty at a ")", the statement ending there.
TEST_F(ObjectPrograms, ChoiceOfAFunctionBeforeAMemberFailsAfterIt) {
    for (const char* choice : {"x = 1 ? v.a : 2;", "x = 0 ? v.a.b : 2;", "x = 1 ? (v.a) : 2;",
                               "x = 2 * (1 ? w[0].a : 2);", "If (1 ? o.n.a : 0) Print(9);",
                               "x = 1 ? u.a : 2;", "Print(1 ? v.a : 2);", "x = 1 ? v.F() : 2;",
                               "x = 0 ? o.n.F() : 2;", "x = 1 < 2 ? v.F() : 2;"}) {
        // In a function's slots or at the top level, with the housekeeping's round anywhere.
        for (int where = 0; where < 4; ++where) {
            std::string body = std::string(where % 2 == 0 ? "" : "For (i = 0; i < 9; i++) Print(i);\n") +
                               "v = G;\nw[0] = G;\no = New Obj(1);\no.n = G;\n" + choice +
                               "\nPrint(x);\n";
            std::string source = "Function G(p) { Print(\"G\", p); Return 1; }\n"
                                 "Function Obj(a) { This.a = a; }\n" +
                                 (where < 2 ? "Function H(n) {\n" + body + "}\nH(1);\n" : body);
            ASSERT_NO_FATAL_FAILURE(ExpectAgrees(source, RunProgram(source, Way::kReference)));
        }
    }
}

// Some run to their end, others fail at an object deleted or a text in a member.
TEST_F(ObjectPrograms, MemberLoopRoundsAgree) {
    Compare<MemberLoopProgram>(1, 1200, 40);
}

// Some run to their end, others fail at an element holding no object or a member missing.
TEST_F(ObjectPrograms, MemberCallsOnElementsAgree) {
    Compare<MemberCallProgram>(1, 1500, 100);
}

// Objects with more members than the front of an object holds: statements on members on
// either side of it, an object of another order of members at the same sites, a member
// added after the sites met the object, members holding texts and objects, and an object
// deleted while another of its shape goes on through the sites.
TEST_F(ObjectPrograms, MembersPastTheFrontOfTheirObjectAgree) {
    std::string source = "Function Wide(k) {\n";
    for (int member = 0; member < 12; ++member)
        source += "    This.m" + std::to_string(member) + " = k + " + std::to_string(member) + ";\n";
    source += "    This.t = \"text\";\n    This.o = New Narrow(k);\n}\n"
              "Function Narrow(k) { This.m11 = k; This.m0 = k * 2; }\n"
              "Function Touch(p, n) {\n"
              "    Var i;\n"
              "    For (i = 0; i < n; i++) {\n"
              "        p.m0 = p.m0 + p.m11;\n"
              "        p.m11 = p.m11 - 1;\n"
              "        If ((p.m0 > 40) || (p.m11 < 0)) p.m0 = p.m0 - 7;\n"
              "    }\n"
              "    Return p.m0 + p.m11;\n"
              "}\n"
              "a = New Wide(1); b = New Wide(5); c = New Narrow(3);\n"
              "Print(Touch(a, 30), Touch(b, 30), Touch(c, 30), Touch(a.o, 5));\n"
              "Delete a;\n"
              "Print(Touch(b, 3), a);\n"
              "c.m5 = 9;\n"
              "Print(Touch(c, 4), c.m5, b.t, Touch(b.o, 2));\n"
              "b.m11 = \"no number\";\n"
              "Print(Touch(b, 1));\n";
    const Outcome reference = RunProgram(source, Way::kReference);
    const Outcome compiled = RunProgram(source, Way::kCompiled);
    ASSERT_NE(reference.output.find("text"), std::string::npos) << reference.output;
    SameAsReference(compiled, reference, 0, source);
}

// Constructors that give their new object members from their parameters: numbers, texts
// written in the code and made, objects live and deleted, an array, a function and a missing
// argument; a member given twice, one read before it is given (error 41), one given through a
// member chain, and This of a plain function, which is the globals. Each constructor runs
// often enough for its statements to settle into the way they keep.
TEST_F(ObjectPrograms, ConstructorsAddTheirMembersAsTheWalkDoes) {
    const std::string source =
        "Function Keep(a, b, c) { This.a = a; This.b = b; This.c = c; This.a = b; }\n"
        "Function Plain(v) { This.g = v; }\n"
        "Function Chain(v) { This.o = New Keep(v, v, v); This.o.z = v; }\n"
        "Function Early(v) { This.e = This.e + v; }\n"
        "Function Show(k) { Print(k.a, k.b, k.c); }\n"
        "Function Twice(x) { Return x * 2; }\n"
        "Var i;\n"
        "For (i = 0; i < 40; i++) {\n"
        "    k = New Keep(i, i / 2.0, \"t\" + i);\n"
        "    If ((i % 13) == 0) Show(k);\n"
        "}\n"
        "d = New Keep(1, 2, 3);\n"
        "o = New Keep(d, \"lit\", 0.5);\n"
        "Delete d;\n"
        "n = New Keep(o.a, Twice, o);\n"
        "Print(n.a, n.b(4), n.c.b);\n"
        "m = New Keep(7);\n"
        "Print(m.a, m.b, m.c);\n"
        "arr[2] = 5;\n"
        "r = New Keep(1, arr, 2);\n"
        "Print(r.a[2], r.b[2]);\n"
        "Plain(11);\n"
        "Print(g);\n"
        "ch = New Chain(3);\n"
        "Print(ch.o.a, ch.o.z);\n"
        "e = New Early(1);\n"
        "Print(\"not reached\");\n";
    ExpectAgreesEndingIn(source, 41, "lit");
}

// Methods of script objects reading members of This: numbers in expressions, a member read
// and then assigned, texts (and a text method called on one), an object member and a member
// of it, a function member called, a member that changes kind between calls, This of a plain
// function (the globals), and a member that is missing (error 41 at the end).
TEST_F(ObjectPrograms, MethodsReadTheMembersOfThisAsTheWalkDoes) {
    const std::string source =
        "Function Box(v) { This.v = v; This.w = v * 2; This.Get = BoxGet; This.Sum = BoxSum; "
        "This.Self = BoxSelf; }\n"
        "Function BoxGet() { Return This.v; }\n"
        "Function BoxSum(k) { Var t = This.v; t = t + This.w * k; Return This.v + t; }\n"
        "Function BoxSelf() { Return This.Get(); }\n"
        "Function Label() { Return This.name.Length() + This.v; }\n"
        "Function Inner() { Return This.o.v + This.v; }\n"
        "Function Missing() { Return This.nothing + 1; }\n"
        "Function Top() { Return This.g + 1; }\n"
        "b = New Box(3);\n"
        "b.name = \"box\";\n"
        "b.Label = Label;\n"
        "b.o = New Box(10);\n"
        "b.Inner = Inner;\n"
        "Var i;\n"
        "total = 0;\n"
        "For (i = 0; i < 30; i++) {\n"
        "    total = total + b.Sum(i) + b.Get() + b.Self();\n"
        "    If (i == 10) b.v = 2.5;\n"
        "    If (i == 20) b.v = \"t\";\n"
        "    If (i == 25) b.v = 4;\n"
        "}\n"
        "Print(total, b.Label(), b.Inner());\n"
        "g = 41;\n"
        "Print(Top());\n"
        "b.Missing = Missing;\n"
        "Print(b.Missing());\n";
    ExpectAgreesEndingIn(source, 41, " 0:42");
}

// Methods called through a function's local (declared, or bound by its assignment): the
// method the member holds before the arguments run is the one called, an object deleted by
// them fails the call, and a member that is no function, a missing member, a deleted object
// and a text each end as the walk ends them.
TEST_F(ObjectPrograms, MethodsCalledThroughLocalsAgree) {
    const std::string head =
        "Function Box(v) { This.v = v; This.Get = BoxGet; This.Add = BoxAdd; This.Two = Two; }\n"
        "Function BoxGet() { Return This.v; }\n"
        "Function Two(a, b) { Var t = b; Return a; }\n"
        "Function BoxAdd(k) { This.v = This.v + k; Return This.v; }\n"
        "Function Other(k) { Return 1000 + k; }\n"
        "Function Swap(o) { o.Add = Other; Return 5; }\n"
        "Function Kill(o) { Delete o; Return 1; }\n";
    const std::string calls = "Function Main() {\n"
                              "    Var o = New Box(2);\n"
                              "    Var i;\n"
                              "    Var t = 0;\n"
                              "    For (i = 0; i < 20; i++) t = t + o.Add(i) + o.Get();\n"
                              "    bound = New Box(7);\n"
                              "    Print(t, bound.Get(), o.Add(Swap(o)), o.Add(1));\n"
                              "    Print(o.Two(4), o.Two(Other), o.Two(\"t\", 1, 2));\n"
                              "    Var s = \"text\";\n"
                              "    Print(s.Length());\n"
                              "    o.Get = 3;\n"
                              "    Print(o.Get());\n"
                              "}\n"
                              "Main();\n";
    ExpectAgreesEndingIn(head + calls, 40, " 0:2740 0:7 0:197 0:1001\n 0:4");
    ExpectAgreesEndingIn(head + "Function Main() { Var o = New Box(1); Print(o.Get());"
                                " Print(o.Add(Kill(o))); }\nMain();\n",
                         32, " 0:1");
    ExpectAgreesEndingIn(head + "Function Main() { Var o = New Box(1); Var p = o; Delete o;"
                                " Print(1); Print(p.Get()); }\nMain();\n",
                         35, " 0:1");
    ExpectAgreesEndingIn(head + "Function Main() { Var o = New Box(1); Print(o.Get());"
                                " Print(o.Missing()); }\nMain();\n",
                         42, " 0:1");
}

// Returns of number expressions, worked out before their steps: on slots and This's
// members, becoming doubles, meeting a member that holds a text, inside a loop, of a
// function whose body is its Return, and failing on a zero divisor where the walk fails.
TEST_F(ObjectPrograms, ReturnsOfNumbersAgree) {
    const std::string source =
        "Function P(x, y) { This.x = x; This.y = y; This.Sum = PSum; This.Mix = PMix; }\n"
        "Function PSum() { Return This.x + This.y; }\n"
        "Function PMix(k) { Var t = k * 3; Return (This.x - t) % 7 + This.y / 2; }\n"
        "Function Find(n) { Var i; For (i = 0; i < 10; i++) If (i * i > n) Return i * 10 + n; "
        "Return -1; }\n"
        "Function Cut(a, b) { Var c = a - b; Return (a * 1000) / c; }\n"
        "Function Main() {\n"
        "    Var p = New P(5, 8);\n"
        "    Var i;\n"
        "    Var t = 0;\n"
        "    For (i = 0; i < 12; i++) {\n"
        "        t = t + p.Sum() + p.Mix(i) + Find(i * 7);\n"
        "        If (i == 4) p.y = 2.5;\n"
        "        If (i == 10) p.x = 2147483647;\n"
        "    }\n"
        "    Print(t, Cut(9, 4));\n"
        "    p.y = \"7\";\n"
        "    Print(p.Sum());\n"
        "    Print(Cut(3, 3));\n"
        "}\n"
        "Main();\n";
    ExpectAgreesEndingIn(source, 111, " 0:1800\n 2:2.14748e+097\n");
}

// Locals given a new value again and again, which the assignment replaces unread: an object
// dropped for a new one each round, a text, a Var inside the loop made again each round, a
// local that the called function of its right side assigns too, and a right side that fails.
TEST_F(ObjectPrograms, LocalsAssignedAgainEachRoundAgree) {
    const std::string source = "Function Pair(x, y) { This.x = x; This.y = y; }\n"
                               "Function Other() { p = 5; Return New Pair(1, 2); }\n"
                               "Function Main() {\n"
                               "    Var i;\n"
                               "    Var sum = 0;\n"
                               "    For (i = 0; i < 40; i++) {\n"
                               "        p = New Pair(i, i + 1);\n"
                               "        sum = sum + p.x * p.y;\n"
                               "        s = \"r\" + i;\n"
                               "        Var q = New Pair(s, i);\n"
                               "        sum = sum + q.y;\n"
                               "        If (i == 20) p = Other();\n"
                               "        If (i == 39) Print(q.x, s, p.x);\n"
                               "    }\n"
                               "    Print(sum);\n"
                               "    t = Other();\n"
                               "    t = Other();\n"
                               "    Print(t.y);\n"
                               "    t = missing;\n"
                               "}\n"
                               "Main();\n";
    ExpectAgreesEndingIn(source, 41, " 2:r39 2:r39 0:39\n 0:22100\n 0:2\n");
}

// "slot = slot op F(...)" whose reads before the call wait until after it while they read
// numbers: the target as the left operand and apart from it, a left operand or a target that
// holds a double or a text, a call that gives a double, a text or an integer that overflows,
// an argument that assigns the target, a left operand worked on before the last operator, and
// a call that fails.
TEST_F(ObjectPrograms, ReadsLeftUntilAfterACallAgree) {
    const std::string source =
        "Function Sum(n) { Var t = n % 7; If (n == 0) Return 0; t = t + Sum(n - 1); Return t; }\n"
        "Function F(n) { Var k = n % 5; If (n < 1) Return k; Return k + 1; }\n"
        "Function H(n) { If (n == 3) Return 1.5; If (n == 1) Return 2147483647; Return n; }\n"
        "Function G(n) { If (n == 2) Return \"x\"; Return n; }\n"
        "Function Walk(n, d) {\n"
        "    Var t = n % 9;\n"
        "    Var a = d * 2;\n"
        "    If (d == 0) Return t;\n"
        "    t = t + Walk(a + 1, d - 1);\n"
        "    t = a * Walk(t % 13, d - 1);\n"
        "    t = t + H(d);\n"
        "    Return t;\n"
        "}\n"
        "Function Main() {\n"
        "    Var i;\n"
        "    Var s = 0;\n"
        "    Var u = 2.5;\n"
        "    Var w = \"w\";\n"
        "    Var g = 0;\n"
        "    Print(Sum(20));\n"
        "    For (i = 0; i < 6; i++) {\n"
        "        s = s + Sum(i + 3);\n"
        "        u = u + F(i);\n"
        "        w = w + F(i);\n"
        "        g = g + G(i);\n"
        "        u = u - F(i) > F(2) + i;\n"
        "        Print(Walk(i, 3));\n"
        "    }\n"
        "    Print(s, u, w, g);\n"
        "    s = 2147483647;\n"
        "    s = s + F(7);\n"
        "    Print(s);\n"
        "    s = 1;\n"
        "    s = s + F(s = 4);\n"
        "    Print(s);\n"
        "    s = s + Missing(2);\n"
        "}\n"
        "Main();\n";
    ExpectAgreesEndingIn(source, 42, " 0:63\n");
}

// Members and Deletes through a holder whose object went end some.
TEST_F(ObjectPrograms, HoldersOfDeletedObjectsAgreePart1) {
    Compare<HolderProgram>(1, 2000, 2000 / 4);
}
TEST_F(ObjectPrograms, HoldersOfDeletedObjectsAgreePart2) {
    Compare<HolderProgram>(2001, 2000, 2000 / 4);
}

} // namespace
