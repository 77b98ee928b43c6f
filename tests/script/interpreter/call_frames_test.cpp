// Random programs built around calls of compiled functions from compiled code, run by the
// reference walk and compiled, must agree in what they print, in the error that ends them
// and where it stands. The callees give back every kind of value (or nothing, by Return;
// or by their end), with arguments missing or extra, at every place of an expression, as
// methods of objects that delete themselves, while events wait between their statements,
// while their names are bound to other functions between calls, and failing inside; with
// no arguments, and with arguments of a parameter and an integer.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "script/script_runner.h"

namespace {

class CallProgramMaker {
public:
    explicit CallProgramMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        text_ = "Function H(a) { Print(\"event\", a); }\n"
                "Function Obj(v) { This.v = v; This.Get = Get; This.Gone = Gone; }\n"
                "Function Get(k) { Return This.v + k; }\n"
                // The object of the call goes while the call runs; its value stays.
                "Function Gone(k) { Delete This; Return k + 1; }\n"
                // Called without arguments: it waits for an event or fails on the third call.
                "Function Z() { zs = zs + 1; If (zs == 3) Post(H, zs); Return zs % 5; }\n"
                "zs = 0;\n";
        // A callee's "u = ..." makes its own u, or assigns this global when there is one.
        const bool global = Pick(2) == 0;
        if (global) text_ += "u = \"g\";\n";
        text_ += "Function Rec(n, d) { If (n <= 0) Return d; Return Rec(n - 1, d + 1) " +
                 Operator() + " " + Operand("n", "d", 1) + "; }\n";
        for (int f = 0; f < 3; ++f)
            MakeCallee(f);
        text_ += "Function Main() {\n    Var s = " + Literal() + ";\n    Var i;\n";
        text_ += "    For (i = 0; i < " + std::to_string(2 + Pick(4)) + "; i++) {\n";
        int statements = 2 + Pick(5);
        for (int n = 0; n < statements; ++n)
            text_ += "        " + MainStatement() + "\n";
        text_ +=
            "    }\n    Return s;\n}\nPrint(Main()" + std::string(global ? ", u" : "") + ");\n";
        return text_;
    }

private:
    int Pick(int count) { return int(random_() % uint32_t(count)); }

    std::string Literal() {
        switch (Pick(10)) {
        case 0:
            return "0.5";
        case 1:
            return "\"7\"";
        case 2:
            return "-3";
        default:
            return std::to_string(Pick(20));
        }
    }

    std::string Operator() {
        static const char* const kOperators[] = {"+", "-", "*", "/", "%", "<", "==", "&&", "|"};
        return kOperators[Pick(9)];
    }

    // A value for a body with names `a` and `b`, or a call at most `calls` deep.
    std::string Operand(const std::string& a, const std::string& b, int calls) {
        switch (Pick(calls > 0 ? 9 : 4)) {
        case 0:
            return a;
        case 7:
            return "Z()";
        case 8:
            return "Z() " + Operator() + " " + Call(a, b, calls - 1);
        case 1:
            return b;
        case 2:
            return Literal();
        case 3:
            return "(" + a + " " + Operator() + " " + Literal() + ")";
        case 4:
            return Call(a, b, calls - 1);
        case 5:
            return "(New Obj(" + a + ")).Get(" + b + ")";
        default:
            return Call(a, b, calls - 1) + " " + Operator() + " " + Call(a, b, calls - 1);
        }
    }

    // A call of a callee, with its parameters short or over.
    std::string Call(const std::string& a, const std::string& b, int calls) {
        std::string call = "K" + std::to_string(Pick(callees_ > 0 ? callees_ : 1)) + "(";
        if (callees_ == 0) return "Rec(" + std::to_string(Pick(4)) + ", " + a + ")";
        // Mostly the three parameters: a missing one is the default value, which fails in
        // most operators, and one more than the parameters fails the call.
        int count = Pick(12) < 10 ? 3 : Pick(5);
        for (int n = 0; n < count; ++n) {
            call += n > 0 ? ", " : "";
            // A parameter and an integer, alone in the argument, go straight into the
            // callee's parameter while both are integers; a zero fails "/" and "%".
            if (Pick(3) == 0)
                call += (Pick(2) == 0 ? a : b) + " " + Operator() + " " + std::to_string(Pick(4));
            else
                call += Operand(a, b, calls);
        }
        return call + ")";
    }

    void MakeCallee(int f) {
        text_ += "Function K" + std::to_string(f) + "(a, b, c) {\n";
        int statements = Pick(4);
        for (int n = 0; n < statements; ++n) {
            switch (Pick(7)) {
            case 6:
                text_ += "    u = " + Operand("a", "c", 1) + ";\n    b = u;\n";
                break;
            case 0:
                text_ += "    Var t" + std::to_string(n) + " = " + Operand("a", "b", 1) + ";\n";
                break;
            case 1:
                text_ += "    If (" + Operand("a", "c", 0) + ") Return " + Result() + ";\n";
                break;
            case 2:
                text_ += "    Post(H, " + Operand("a", "b", 0) + ");\n";
                break;
            case 3:
                text_ += "    a = " + Operand("a", "c", 1) + ";\n";
                break;
            case 4:
                text_ += "    If (a == " + std::to_string(Pick(5)) + ") Raise(" +
                         std::to_string(100 + Pick(50)) + ");\n";
                break;
            default:
                text_ += "    b = " + Operand("b", "a", 0) + " " + Operator() + " " +
                         Operand("c", "a", 0) + ";\n";
                break;
            }
        }
        switch (Pick(4)) {
        case 0:
            // The closing brace gives back nothing.
            break;
        case 1:
            text_ += "    Return;\n";
            break;
        default:
            text_ += "    Return " + Result() + ";\n";
            break;
        }
        text_ += "}\n";
        ++callees_;
    }

    // What a callee gives back: a number, a text, an object, a method's value or the
    // value of a call.
    std::string Result() {
        switch (Pick(7)) {
        case 0:
            return "\"r\" + a";
        case 1:
            return "New Obj(a)";
        case 2:
            return "(New Obj(b)).Gone(a)";
        case 3:
            return "Rec(" + std::to_string(Pick(5)) + ", a)";
        default:
            return Operand("a", "b", 1);
        }
    }

    std::string MainStatement() {
        switch (Pick(8)) {
        case 0:
            return "Print(" + Operand("i", "s", 2) + ", " + Operand("s", "i", 2) + ");";
        case 1:
            return "s = s " + Operator() + " " + Call("i", "s", 1) + ";";
        case 2:
            return Call("i", "s", 1) + ";";
        case 3:
            return "If (" + Call("i", "s", 1) + " " + Operator() + " " + Literal() +
                   ") Print(\"yes\", i);";
        case 4:
            // Late binding: the next calls of the name find another function.
            return "If (i == " + std::to_string(Pick(3)) + ") K" + std::to_string(Pick(callees_)) +
                   " = K" + std::to_string(Pick(callees_)) + ";";
        case 5:
            return "s = (New Obj(i)).Gone(" + Call("i", "s", 0) + ");";
        case 6:
            return "s = Rec(" + std::to_string(Pick(6)) + ", " + Call("i", "s", 0) + ");";
        default:
            return "s = " + Call("i", "s", 2) + ";";
        }
    }

    std::mt19937 random_;
    std::string text_;
    int callees_ = 0;
};

// Recursions of compiled calls a few hundred levels deep or at the nesting limit, mutual or
// not, through methods of objects that delete themselves (or hold a member named as a global),
// with an error raised, a text met, an event posted or a bare Return at one level, arguments
// missing or over, globals stepped or read at every level (and turned into a text or a double
// between calls), a caller whose locals are empty as it calls and filled after, and results
// bound to a name that a global, This's member or a local of the level takes now and then,
// and calls inside another call's arguments made before the level recurses or after.
class DeepProgramMaker {
public:
    explicit DeepProgramMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        std::string text = "Function H(a) { Print(\"event\", a); }\n"
                           "Function Obj(v) { This.v = v; This.Go = Go; }\n"
                           "Function Go(n, k) { Delete This; Return Deep(n, k) + 1; }\n"
                           "Function Shade(v) { This.g = v * 5; This.u = v; This.Go = Go; }\n"
                           "Function Full(n, k) {\n    Var r = Deep(n, k);\n    w[0] = r;\n"
                           "    Return Deep(n % 5, k) + w[0] + calls;\n}\n"
                           "calls = 0;\ng = 2;\n";
        text += Body("Deep", "Back") + Body("Back", "Deep");
        text += "Function Main() {\n    Var s = 0;\n    Var i;\n";
        text += "    For (i = 0; i < " + std::to_string(1 + Pick(3)) + "; i++) {\n";
        switch (Pick(5)) {
        case 0:
            text += "        s = s + (New Obj(i)).Go(" + Depth() + ", i);\n";
            break;
        case 1:
            text += "        s = s + (New Shade(i)).Go(" + Depth() + ", i);\n";
            break;
        default:
            text += "        s = s + Deep(" + Depth() + ", i);\n";
            break;
        }
        static const char* const kGlobals[] = {"",
                                               "g = g + 1;",
                                               "g = \"z\";",
                                               "g = 0.5;",
                                               "If (i > 0) Print(u);\n        u = i;",
                                               "calls = calls * 2;"};
        text += std::string("        ") + kGlobals[Pick(6)] + "\n";
        text += "        Print(s, calls);\n    }\n    Return s;\n}\nPrint(Main());\n";
        return text;
    }

private:
    int Pick(int count) { return int(random_() % uint32_t(count)); }

    std::string Depth() {
        if (Pick(10) == 0) return std::to_string(5990 + Pick(20));
        return std::to_string(Pick(4) == 0 ? Pick(5) : 50 + Pick(400));
    }

    std::string Body(const std::string& name, const std::string& other) {
        std::string at = std::to_string(Pick(60));
        std::string text = "Function " + name + "(n, k) {\n    Var t = (n * 7 + k) % 13;\n";
        switch (Pick(12)) {
        case 0:
            text += "    If (n == " + at + ") Raise(" + std::to_string(100 + Pick(50)) + ");\n";
            break;
        case 1:
            text += "    If (n == " + at + ") t = \"x\" + t;\n";
            break;
        case 2:
            text += "    If (n % " + std::to_string(20 + Pick(40)) + " == 0) Post(H, n);\n";
            break;
        case 3:
            text += "    If (n == " + at + ") Return;\n";
            break;
        case 4:
            text += "    If (n == " + at + ") t = " + other + "(n - 1, k, 1);\n";
            break;
        case 5:
            text += "    If (n == " + at + ") t = t + " + other + "(n - 1);\n";
            break;
        case 6:
            text += "    calls++;\n";
            break;
        case 7:
            text += "    t = t + g;\n";
            break;
        case 8:
            text += "    If (n == " + at + ") Return Full(n - 1, k);\n";
            break;
        case 9:
            // Only a caller's locals have it: no name of theirs reaches a callee.
            text += "    If (n == " + at + ") t = t + w[0];\n";
            break;
        case 10:
            text += "    If (n == " + at + ") Var u = n;\n";
            break;
        default:
            break;
        }
        std::string callee = Pick(3) == 0 ? other : name;
        text += "    If (n <= 0) Return t;\n";
        switch (Pick(5)) {
        case 0:
            text += "    Return " + callee + "(n - 1, k) + t;\n";
            break;
        case 3:
            text += "    u = " + callee + "(n - 1, k);\n    Return u - t;\n";
            break;
        case 1:
            text += "    t = t * 3 - " + callee + "(n - 1, t);\n    Return t % 1000;\n";
            break;
        case 4:
            // A call inside another's arguments only once the deeper levels have made theirs.
            text += "    t = t + " + callee + "(n - 1, k);\n    Return " + callee + "(0, " +
                    callee + "(0, t)) % 1000;\n";
            break;
        default:
            text += "    Return " + callee + "(n - 1, " + callee + "(0, k)) - t;\n";
            break;
        }
        return text + "}\n";
    }

    std::mt19937 random_;
};

// Small bodies called in one step: arguments from names bound by their assignment ("Var
// a;" then "a = ..."), alone or joined to an integer, read before they are bound too, texts and
// objects held in slots (deleted or replaced between calls, or an array for a while), results of
// every kind bound to those names, and Vars of number values at the top of the body over
// parameters, a global that turns into a text or a double, and failing operators. Wide, the calls
// also reach a body with a locals object of its own, one that only returns an integer expression
// and a global rebound to either between calls, at depth enough to meet the nesting limit now and
// then.
class SmallBodyMaker {
public:
    explicit SmallBodyMaker(uint32_t seed, bool wide = false, bool answered = false)
        : random_(seed), wide_(wide), answered_(answered) {}

    std::string Make() {
        std::string text = "Function Obj(v) { This.v = v; }\n";
        // Results of every kind for the names bound by their assignment.
        text += "Function R(k) {\n    If (k % 4 == 0) Return \"r\" + k;\n"
                "    If (k % 4 == 1) Return New Obj(k);\n    If (k % 4 == 2) Return;\n"
                "    Return k / 2.0;\n}\n";
        text += "Function P(x, y, z) {\n    Var m = " + VarValue() +
                ";\n    Var n = " + VarValue() + ";\n    Return " + Use() + ";\n}\n";
        text += "Function Q(x, y, z) {\n    Var a;\n    Var b;\n    a = P(x - 1, y, z);\n"
                "    b = " +
                VarValue() + ";\n    Return P(a, b, " + Argument() + ");\n}\n";
        text += "g = " + std::to_string(Pick(9)) + ";\narr[0] = 4;\n";
        if (wide_) {
            text +=
                "Function F(x, y, z) {\n    Var v[2];\n    v[0] = x;\n    v[1] = " + VarValue() +
                ";\n    Return v[0] + v[1] - z;\n}\n";
            text += "Function D(x, y, z) { Return x * 2 + y - z; }\n";
            text += "Function Deep(n, k) {\n    If (n <= 0) Return P(k, n, 1);\n"
                    "    Return Deep(n - 1, k) + 1;\n}\n";
            text += "C = " + std::string(Pick(2) == 0 ? "F" : "D") + ";\n";
        }
        if (answered_) {
            // Answered from their Return: one operator on two parameters or on one and an
            // integer, several, a divisor that may be zero, more parameters than are read
            // at once, and a name rebound between them and to what runs in full or is none.
            text += "Function M2(x, y) { Return x * y; }\n";
            text += "Function H1(x) { Return x / 3; }\n";
            text += "Function V2(x, y) { Return x / y; }\n";
            text += "Function E3(x, y, z) { Return ((x - y) * z) % 1009; }\n";
            text += "Function N9(a, b, c, d, e, f, g, h, k) { Return a + k; }\n";
            text += "Function Down(n, k) {\n    If (n <= 0) Return M2(k, n + 2);\n"
                    "    Return Down(n - 1, k) + 1;\n}\n";
            text += "K = M2;\n";
        }
        text += "Function Main() {\n    Var s = 0;\n    Var o = New Obj(3);\n    Var t = \"w\";\n"
                "    Var i;\n    Var a;\n    Var b;\n";
        // Read before their assignment binds them, the names fail as arguments.
        if (Pick(3) != 0) text += "    a = 1;\n    b = 2;\n";
        text += "    For (i = 0; i < " + std::to_string(2 + Pick(5)) + "; i++) {\n";
        int statements = 2 + Pick(5);
        for (int n = 0; n < statements; ++n)
            text += "        " + Statement() + "\n";
        text += "    }\n    Return s;\n}\nPrint(Main());\n";
        return text;
    }

private:
    int Pick(int count) { return int(random_() % uint32_t(count)); }

    std::string VarValue() {
        static const char* const kValues[] = {
            "(x * 3) % 1009", "x + y", "y * 2.5", "x / 3", "(x % 3) - z", "g * 2", "-x",
            "(x + g) - z",    "z",     "1.5",     "x / y", "(y + 7) % 17"};
        // A divisor of zero fails now and then.
        return kValues[Pick(Pick(4) == 0 ? 12 : 11)];
    }

    std::string Use() {
        static const char* const kUses[] = {"m + n", "m * n - z", "m", "(m + x) % 1000003", "z"};
        return kUses[Pick(5)];
    }

    // Mostly numbers; a text or an object fails most operators of the callee, as a divisor
    // of zero fails the argument.
    std::string Argument() {
        static const char* const kArguments[] = {"i",     "s",     "a",     "b", "i + 1", "2",
                                                 "a - 1", "i % 3", "b * 2", "t", "o",     "b % 0"};
        return kArguments[Pick(Pick(5) == 0 ? 12 : 9)];
    }

    std::string AnsweredCall() {
        switch (Pick(9)) {
        case 0:
            return "H1(" + Argument() + ")";
        case 1:
            return "V2(" + Argument() + ", " + Argument() + ")";
        case 2:
            return "E3(" + Argument() + ", " + Argument() + ", " + Argument() + ")";
        case 3:
            // A parameter given no argument, or an argument given no parameter.
            return Pick(2) == 0 ? "M2(" + Argument() + ")"
                                : "H1(" + Argument() + ", " + Argument() + ")";
        case 4:
            return "N9(" + Argument() + ", 1, 2, 3, 4, 5, 6, 7, " + Argument() + ")";
        case 5:
            return "Down(" + std::to_string(Pick(2) == 0 ? 30 : 6100) + ", " + Argument() + ")";
        case 6:
            return "K(" + Argument() + ", " + Argument() + ")";
        default:
            return "M2(" + Argument() + ", " + Argument() + ")";
        }
    }

    std::string Call() {
        static const char* const kCallees[] = {"P(", "Q(", "F(", "D(", "C("};
        if (answered_ && Pick(3) != 0) return AnsweredCall();
        if (wide_ && Pick(3) == 0)
            return "Deep(" + std::to_string(Pick(2) == 0 ? 40 : 6100) + ", " + Argument() + ")";
        return kCallees[Pick(wide_ ? 5 : 2)] + Argument() + ", " + Argument() + ", " + Argument() +
               ")";
    }

    std::string Statement() {
        const std::string at = std::to_string(Pick(4));
        switch (Pick(10)) {
        case 0:
            return "a = " + Call() + ";";
        case 1:
            return "b = " + Call() + ";";
        case 2:
            return "s = s + " + Call() + ";";
        case 3:
            return "If (i == " + at + ") Delete o;";
        case 4:
            // An array in a slot sends its site's next calls the full way.
            return "If (i == " + at + ") o = " + (Pick(3) == 0 ? "arr;" : "New Obj(i);");
        case 5:
            return "If (i == " + at + ") g = " + (Pick(2) == 0 ? "\"k\";" : "0.5;");
        case 6:
            return "t = t + i;";
        case 7:
            return "Print(" + Call() + ", a);";
        case 8:
            if (wide_ && Pick(2) == 0)
                return "If (i == " + at + ") C = " + (Pick(2) == 0 ? "F;" : "D;");
            if (answered_ && Pick(2) == 0) {
                static const char* const kRebound[] = {"V2;", "M2;", "P;", "2;"};
                return "If (i == " + at + ") K = " + kRebound[Pick(4)];
            }
            return std::string(Pick(2) == 0 ? "a" : "b") + " = R(i + " + at + ");";
        default:
            return "s = " + Call() + ";";
        }
    }

    std::mt19937 random_;
    bool wide_;
    bool answered_;
};

// Calls in one step whose arguments are elements of arrays in slots or named (indexed by
// slots, integers and runs of integer operators on them), beside slots joined by operators:
// elements holding numbers, texts, objects deleted by a callee or between calls, and none;
// arrays replaced, grown or given another shape between calls, names that stop holding an
// array, and indices outside the array.
class ElementArgumentMaker {
public:
    explicit ElementArgumentMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        std::string text = "Function Obj(v) { This.v = v; }\n"
                           "Function P(x, y, z) {\n    Var m = x + y * 2;\n    Return m - z;\n}\n"
                           "Function Q(o, k) { Return o.v + k; }\n"
                           "Function D(o, k) { Delete o; Return k; }\n"
                           "Function R(x) { Return x; }\n";
        // Numbers, a few other values among them; objects; a grid of two dimensions.
        text += "g[0] = 0;\nFor (n = 0; n < 8; n++) g[n] = n * 3;\n";
        for (int n = Pick(3); n > 0; --n)
            text += "g[" + std::to_string(Pick(8)) + "] = " + Content() + ";\n";
        text += "h[0] = 0;\nFor (n = 0; n < 6; n++) h[n] = New Obj(n);\n";
        text += "e[1, 2] = 2;\ne[0, 0] = 4;\ne[0, 1] = 1;\ne[0, 2] = 7;\ne[1, 0] = 0.5;\n"
                "e[1, 1] = 3;\nsmall[1] = 9;\n";
        text += "Function Main() {\n    Var s = 0;\n    Var i;\n    Var j = " +
                std::to_string(Pick(3)) +
                ";\n    w[3] = 1;\n    w[0] = 5;\n    w[1] = " + Content() + ";\n    w[2] = j;\n";
        text += "    For (i = 0; i < " + std::to_string(3 + Pick(4)) + "; i++) {\n";
        int statements = 2 + Pick(5);
        for (int n = 0; n < statements; ++n)
            text += "        " + Statement() + "\n";
        text += "    }\n    Return s;\n}\nPrint(Main());\n";
        return text;
    }

private:
    int Pick(int count) { return int(random_() % uint32_t(count)); }

    std::string Content() {
        switch (Pick(4)) {
        case 0:
            return "\"t\"";
        case 1:
            return "New Obj(2)";
        case 2:
            return "2.5";
        default:
            return "-4";
        }
    }

    // An index: mostly inside the arrays, now and then past them or below zero.
    std::string Index() {
        static const char* const kIndices[] = {"i % 4", "j",     "2",         "(i * 3) % 5",
                                               "j + 1", "i / 2", "i % 3 + j", "(i + j) % 4",
                                               "i",     "i - 1", "i + 4",     "9"};
        return kIndices[Pick(Pick(4) == 0 ? 12 : 8)];
    }

    std::string Number() {
        switch (Pick(8)) {
        case 0:
            return "w[" + Index() + "]";
        case 1:
            return "e[" + std::string(Pick(2) == 0 ? "i % 2" : "j % 2") + ", " + Index() + "]";
        case 2:
            return "i + j";
        case 3:
            return "(s + i) % 7";
        default:
            return "g[" + Index() + "]";
        }
    }

    std::string Object() { return "h[" + Index() + "]"; }

    std::string Call() {
        switch (Pick(5)) {
        case 0:
            return "Q(" + Object() + ", " + Number() + ")";
        case 1:
            return "R(" + (Pick(3) == 0 ? Object() : Number()) + ")";
        default:
            return "P(" + Number() + ", " + Number() + ", " + Number() + ")";
        }
    }

    std::string Statement() {
        const std::string at = std::to_string(Pick(6));
        switch (Pick(14)) {
        case 0:
            return "If (i == " + at + ") Delete " + Object() + ";";
        case 1:
            return "If (i == " + at + ") s = s + D(" + Object() + ", i);";
        case 2:
            return "If (i == " + at + ") " + (Pick(2) == 0 ? "g" : "h") + " = small;";
        case 3:
            return "If (i == " + at + ") g[i + 8] = " + Content() + ";";
        case 4:
            return "If (i == " + at + ") w = 5;";
        case 5:
            return "If (i == " + at + ") h[" + Index() + "] = New Obj(i);";
        case 6:
            return "g[" + Index() + "] = " + Content() + ";";
        case 7:
        case 8:
            return "Print(" + Call() + ");";
        default:
            return "s = s + " + Call() + ";";
        }
    }

    std::mt19937 random_;
};

// Calls whose arguments are calls, to bodies answered from their Return and to bodies that
// run in full: calls before and after them among the arguments, slots, elements and literals
// beside them, callees that rebind the outer call's name (or another's) as they run, raise
// an error, post an event, count statements, give back a text, an object, nothing or a
// double, integer results that overflow or divide by zero, arguments missing or over, and a
// recursion through calls in arguments to the limit of calls.
class NestedCallMaker {
public:
    explicit NestedCallMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        const std::string at = std::to_string(Pick(5));
        std::string text =
            "Function H(a) { Print(\"event\", a); }\n"
            "Function Obj(v) { This.v = v; }\n"
            "Function Add(a, b) { Return a + b; }\n"
            "Function Mul(a, b) { Return a * b; }\n"
            "Function Div(a, b) { Return a / b; }\n"
            "Function Max(a, b) {\n    If (a > b) Return a;\n    Return b;\n}\n"
            "Function Side(a) {\n    calls++;\n    Print(\"side\", a);\n    Return a + calls;\n}\n"
            "Function Boom(a) {\n    If (a == " +
            at + ") Raise(" + std::to_string(100 + Pick(50)) +
            ");\n    Return a;\n}\n"
            "Function Swap(a) {\n    If (a == " +
            at + ") " + Rebinding() +
            "\n    Return a;\n}\n"
            "Function Ev(a) {\n    If (a % 3 == 0) Post(H, a);\n    Return a;\n}\n"
            "Function Other(a, b) {\n    If (a == " +
            at + ") Return " + Other() +
            ";\n    Return a - b;\n}\n"
            "Function Rec(n, k) {\n    If (n <= 0) Return k;\n    Return Add(Rec(n - 1, k), "
            "1);\n}\n"
            "calls = 0;\nw[0] = 2;\nw[1] = \"x\";\nw[2] = 5;\n";
        text += "Function Main() {\n    Var s = " + std::to_string(Pick(9)) + ";\n    Var i;\n";
        text += "    For (i = 0; i < " + std::to_string(3 + Pick(4)) + "; i++) {\n";
        int statements = 2 + Pick(4);
        for (int n = 0; n < statements; ++n)
            text += "        " + Statement() + "\n";
        text += "    }\n    Return s;\n}\nPrint(Main(), calls);\n";
        return text;
    }

private:
    int Pick(int count) { return int(random_() % uint32_t(count)); }

    std::string Rebinding() {
        static const char* const kRebindings[] = {"Add = Mul;", "Max = Side;", "Mul = Max;",
                                                  "Add = 3;", "Div = Add;"};
        return kRebindings[Pick(5)];
    }

    std::string Other() {
        static const char* const kOthers[] = {"\"t\" + a", "New Obj(b)", "a / 2.0", "",
                                              "2000000000 + b"};
        return kOthers[Pick(5)];
    }

    // An argument: a call at most `calls` deep, or what may stand beside one.
    std::string Argument(int calls) {
        switch (Pick(calls > 0 ? 11 : 6)) {
        case 0:
            return "i";
        case 1:
            return "s";
        case 2:
            return "i % 7";
        case 3:
            return "w[i % 3]";
        case 4:
            return std::to_string(Pick(4) == 0 ? 0 : 1 + Pick(60));
        case 5:
            return "(s + i) % 11";
        default:
            return Call(calls - 1);
        }
    }

    std::string Call(int calls) {
        static const char* const kCallees[] = {"Add",  "Mul",  "Max", "Div",  "Side",
                                               "Boom", "Swap", "Ev",  "Other"};
        const int callee = Pick(Pick(3) == 0 ? 9 : 4);
        const int parameters = callee == 4 || callee == 5 || callee == 6 || callee == 7 ? 1 : 2;
        if (Pick(20) == 0)
            return "Rec(" + std::string(Pick(2) == 0 ? "6100" : std::to_string(Pick(50))) + ", " +
                   Argument(0) + ")";
        // Mostly as many arguments as parameters; one fewer takes the default, one more fails.
        const int count = Pick(10) == 0 ? parameters + Pick(3) - 1 : parameters;
        std::string call = std::string(kCallees[callee]) + "(";
        for (int n = 0; n < count; ++n)
            call += (n > 0 ? ", " : "") + Argument(calls);
        return call + ")";
    }

    std::string Statement() {
        const std::string at = std::to_string(Pick(5));
        switch (Pick(9)) {
        case 0:
            return "Print(" + Call(3) + ");";
        case 1:
            return "s = (s + " + Call(3) + ") % 1000003;";
        case 2:
            return "If (" + Call(2) + " > " + std::to_string(Pick(30)) + ") Print(\"yes\", i);";
        case 3:
            return "If (i == " + at + ") " + Rebinding();
        case 4:
            return Call(3) + ";";
        default:
            return "s = " + Call(3) + ";";
        }
    }

    std::mt19937 random_;
};

void CompareDeepPrograms(uint32_t firstSeed, uint32_t count) {
    script_test::ScriptRunner reference;
    reference.referenceWalk = true;
    reference.compiledForm = false;
    script_test::ScriptRunner compiled;
    for (uint32_t seed = firstSeed; seed < firstSeed + count; ++seed) {
        std::string source = DeepProgramMaker(seed).Make();
        script_test::ScriptResult walked = reference.Run(source);
        script_test::ScriptResult fromCode = compiled.Run(source);
        ASSERT_EQ(fromCode.output, walked.output) << "seed " << seed << "\n" << source;
        ASSERT_EQ(fromCode.code, walked.code) << "seed " << seed << "\n" << source;
        ASSERT_EQ(fromCode.subCode, walked.subCode) << "seed " << seed << "\n" << source;
        ASSERT_EQ(fromCode.line, walked.line) << "seed " << seed << "\n" << source;
        ASSERT_EQ(fromCode.column, walked.column) << "seed " << seed << "\n" << source;
    }
}

struct WideSmallBodyMaker : SmallBodyMaker {
    explicit WideSmallBodyMaker(uint32_t seed) : SmallBodyMaker(seed, true) {}
};

// Calls of functions answered from their Return, mostly on integers: slots, bound names
// (read before and after their assignment), integer literals and a slot's operator on one,
// beside texts, objects, doubles and failing operators in the arguments and the callee,
// missing and extra arguments, the nesting limit, and the callee's name rebound.
struct AnsweredSmallBodyMaker : SmallBodyMaker {
    explicit AnsweredSmallBodyMaker(uint32_t seed) : SmallBodyMaker(seed, false, true) {}
};

template <class Maker> void CompareCallPrograms(uint32_t firstSeed, uint32_t count) {
    script_test::ScriptRunner reference;
    reference.referenceWalk = true;
    reference.compiledForm = false;
    script_test::ScriptRunner compiled;
    uint32_t ended = 0;
    for (uint32_t seed = firstSeed; seed < firstSeed + count; ++seed) {
        std::string source = Maker(seed).Make();
        script_test::ScriptResult walked = reference.Run(source);
        script_test::ScriptResult fromCode = compiled.Run(source);
        ASSERT_EQ(fromCode.output, walked.output) << "seed " << seed << "\n" << source;
        ASSERT_EQ(fromCode.code, walked.code) << "seed " << seed << "\n" << source;
        ASSERT_EQ(fromCode.subCode, walked.subCode) << "seed " << seed << "\n" << source;
        ASSERT_EQ(fromCode.line, walked.line) << "seed " << seed << "\n" << source;
        ASSERT_EQ(fromCode.column, walked.column) << "seed " << seed << "\n" << source;
        ended += walked.code == 0 ? 1 : 0;
    }
    // Most end in an error somewhere (a text in an operator, a raised error); enough do not.
    EXPECT_GE(ended, count / 10);
}

TEST(CallFrames, RandomCallsAgreeWithTheReferenceWalkPart1) {
    CompareCallPrograms<CallProgramMaker>(1, 300);
}

TEST(CallFrames, RandomCallsAgreeWithTheReferenceWalkPart2) {
    CompareCallPrograms<CallProgramMaker>(301, 300);
}

TEST(CallFrames, SmallBodiesCalledInOneStepAgreeWithTheReferenceWalk) {
    CompareCallPrograms<SmallBodyMaker>(1, 400);
}

TEST(CallFrames, CallsInOneStepOfEveryFrameAgreeWithTheReferenceWalk) {
    CompareCallPrograms<WideSmallBodyMaker>(1, 300);
}

TEST(CallFrames, CallsAnsweredFromTheirReturnAgreeWithTheReferenceWalk) {
    CompareCallPrograms<AnsweredSmallBodyMaker>(1, 500);
}

TEST(CallFrames, ElementArgumentsCalledInOneStepAgreeWithTheReferenceWalk) {
    CompareCallPrograms<ElementArgumentMaker>(1, 400);
}

TEST(CallFrames, CallsInArgumentsAgreeWithTheReferenceWalk) {
    CompareCallPrograms<NestedCallMaker>(1, 500);
}

TEST(CallFrames, DeepRecursionsAgreeWithTheReferenceWalk) {
    CompareDeepPrograms(1, 200);
}

// A call's slots are let go at its end, the kinds they hold read together when there are a
// few: a text, an object or an array in any one of them (a parameter or a local), or one
// that held such a value and then a number, is let go (the leak checker sees one that is
// not) and leaves the slot as a fresh call finds it, for frames of two slots to more than
// the few.
TEST(CallFrames, SlotsHoldingTextsObjectsAndArraysAreLetGoAtEveryPlace) {
    const char* const kValues[] = {"\"t\" + n", "New Obj(n)", "ga"};
    std::string source = "Function Obj(v) { This.v = v; }\nga[0] = 1; ga[1] = 2;\ns = 0;\n";
    for (uint32_t count = 1; count <= 10; ++count) {
        for (uint32_t at = 0; at < count; ++at) {
            // `count - 1` parameters and a local, the value in slot `at`.
            std::string name = "F" + std::to_string(count) + "_" + std::to_string(at);
            std::string parameters = "n";
            for (uint32_t p = 1; p + 1 < count; ++p)
                parameters += ", p" + std::to_string(p);
            const std::string slot = at == 0 ? "n" : at + 1 == count ? "v" : "p" + std::to_string(at);
            const std::string value = kValues[(count + at) % 3];
            // The global i chooses: numbers alone, the value kept, or a number over it.
            source += "Function " + name + "(" + parameters + ") {\n    Var v = 2;\n" +
                      "    If (i % 3 == 1) Return n;\n    " + slot + " = " + value + ";\n" +
                      "    If (i % 3 == 2) " + slot + " = i * 2;\n    Return i + 1;\n}\n";
            source += "For (i = 0; i < 6; i++) s = s + " + name + "(i) + " + name + "(i + 1);\n";
        }
    }
    source += "Print(s);\n";
    script_test::ScriptRunner reference;
    reference.referenceWalk = true;
    reference.compiledForm = false;
    script_test::ScriptRunner compiled;
    script_test::ScriptResult walked = reference.Run(source);
    script_test::ScriptResult fromCode = compiled.Run(source);
    ASSERT_EQ(walked.ok, 1) << walked.code << "\n" << source;
    EXPECT_EQ(fromCode.ok, 1) << fromCode.code;
    EXPECT_EQ(fromCode.output, walked.output);
}

// A recursion of direct calls, methods or calls whose arguments the full steps pass runs
// every level in one dispatch: each way out of a level (its Return, a Return that gives back
// a function, the walk's end of the body, an error that unwinds every level at once, the
// limit of calls) leaves its caller where the walk leaves it, and the interpreter as it was
// for the next run.
TEST(CallFrames, LevelsOfOneDispatchEndAsTheWalksCalls) {
    const std::string shared = "Function G(x) { Return x * 2; }\n"
                               "Function Fn(n) { If (n > 0) { Var r = Fn(n - 1); Return r; }"
                               " Return G; }\n"
                               "Function Down(n, at) {\n    Var t = n % 7;\n"
                               "    If (n == at) Raise(120);\n"
                               "    If (n <= 0) Return t;\n"
                               "    t = Down(n - 1, at) + t;\n    Return t % 1000;\n}\n";
    const std::string methods = "Function Node(v) { This.v = v; This.Walk = NodeWalk; }\n"
                                "Function NodeWalk(n, at) {\n    If (n == at) Raise(121);\n"
                                "    If (n <= 0) Return This.v;\n"
                                "    Return (This.Walk(n - 1, at) + n) % 1000;\n}\n"
                                "o = New Node(3);\n";
    const std::string texts = "Function Join(n, s) {\n    If (n <= 0) Return s.Length();\n"
                              "    Return Join(n - 1, s + \"\") + 1;\n}\n";
    const std::string programs[] = {
        shared + "h = Fn(400);\nPrint(h(21), Down(3000, -1));\n",
        shared + "Print(Down(2000, 5));\n",
        shared + "Print(Down(5990, -1));\n",
        shared + "Print(Down(6010, -1));\n",
        shared + "s = 0;\nFor (i = 0; i < 3; i++) s = s + Down(100 * i, -1);\nPrint(s);\n",
        // Methods, and calls whose arguments only the full steps pass, in the same dispatch.
        shared + methods + "Print(o.Walk(5990, -1));\n",
        shared + methods + "Print(o.Walk(6010, -1));\n",
        shared + methods + "Print(o.Walk(3000, 7));\n",
        shared + texts + "Print(Join(5990, \"\"));\n",
        shared + texts + "Print(Join(6010, \"\"));\n",
    };
    script_test::ScriptRunner reference;
    reference.referenceWalk = true;
    reference.compiledForm = false;
    script_test::ScriptRunner compiled;
    for (const std::string& source : programs) {
        script_test::ScriptResult walked = reference.Run(source);
        script_test::ScriptResult fromCode = compiled.Run(source);
        EXPECT_EQ(fromCode.output, walked.output) << source;
        EXPECT_EQ(fromCode.code, walked.code) << source;
        EXPECT_EQ(fromCode.line, walked.line) << source;
        EXPECT_EQ(fromCode.column, walked.column) << source;
    }
    const std::string down = reference.Run(shared + "Print(Down(3000, -1));\n").output;
    EXPECT_EQ(compiled.Run(programs[0]).output, "42 " + down);
    EXPECT_EQ(compiled.Run(programs[1]).code, 120);
    EXPECT_EQ(compiled.Run(programs[2]).ok, 1);
    EXPECT_EQ(compiled.Run(programs[3]).code, 15);
    EXPECT_EQ(compiled.Run(programs[5]).ok, 1);
    EXPECT_EQ(compiled.Run(programs[6]).code, 15);
    EXPECT_EQ(compiled.Run(programs[7]).code, 121);
    EXPECT_EQ(compiled.Run(programs[8]).output, "5990\n");
    EXPECT_EQ(compiled.Run(programs[9]).code, 15);
}

} // namespace
