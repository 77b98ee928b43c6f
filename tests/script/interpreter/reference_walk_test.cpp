// Random programs run three times, on the walk with its name caches, compiled
// (CInterpretor::compiledForm) and by the reference walk alone
// (CInterpretor::referenceWalk: no name caches, no compiled code), must agree in
// everything a script or its host can see: what they print and in which order, events
// included, the kind of every value printed, the error that ends them with its unit, line
// and column, and how many statements pass between two housekeeping checks (the ticks).
// The programs favour the shapes the typed forms take (integer and double arithmetic over
// names and elements, comparisons, counting loops, functions that return an expression of
// their parameters behind a guard) and feed them every kind of value, so that a form has
// to give way as often as it runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "foundation/containers/ptr_array.h"
#include "program_runs.h"
#include "script/classes/base_class.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/runtime/time_driven.h"

namespace {

using namespace program_runs;

// ---- The programs --------------------------------------------------------------------

class ProgramMaker {
public:
    // `plain`: the functions keep to what the compiler covers (names, numbers, calls,
    // Var, If, loops, blocks), so that most of them run compiled.
    // `recursion`: with D as well, called by the top level. `members`: plain functions
    // that also read, assign and call members of script objects, built-in objects and
    // texts, make objects with New and Delete them. `elements`: plain functions that also
    // read and write array elements.
    explicit ProgramMaker(uint32_t seed, bool plain = false, bool recursion = false,
                          bool members = false, bool elements = false)
        : random_(seed), plain_(plain), recursion_(recursion), members_(members),
          elements_(elements) {}

    std::string Make() {
        text_.clear();
        text_ += "Function H(a) { Print(\"event\", a, g0); }\n";
        text_ += "Function Caught(code, text, unit, line, column) { Print(\"caught\", code, line); "
                 "}\n";
        text_ += "Function Obj(x) { This.x = x; This.y = 2; }\n";
        // Functions call only those made before them: no recursion but R's own.
        text_ += "Function R(n) { If (n <= 0) Return 1; Return n + R(n - 1); }\n";
        if (members_) {
            text_ += "Function Box(v) { This.v = v; This.in = New Obj(v); This.Get = Get; "
                     "This.cells[0] = v; This.cells[1] = 2; }\n";
            // Its call of R finds the global R under each box as This; its argument stays
            // small, since how deep a recursion gets before the stack runs out is no
            // behaviour the two ways share.
            text_ += "Function Get(k) { Return This.v + k + This.in.x + R(k & 3); }\n";
            text_ += "Function Kill(q) { Delete q; Return 1; }\n";
            text_ += "bx = New Box(3);\n";
            text_ += "ob[0] = New Obj(1); ob[1] = New Obj(4); ob[2] = New Box(5); ob[3] = 6;\n";
            // An Obj's members in the other order: another shape at the same member sites.
            text_ += "Function Yx(x) { This.y = 2; This.x = x; }\nyx = New Yx(7);\nflip = 0;\n";
        }
        // A body that is one Return of its parameters: its calls may be answered without
        // entering it.
        if (plain_) text_ += "Function Q(x, y) { Return " + ParameterExpression(0) + "; }\n";
        for (int f = 0; f < 3; ++f)
            MakeFunction(f);
        if (recursion_) MakeRecursion();
        if (Pick(4) == 0) text_ += "Program.OnError = Caught;\n";
        Scope top;
        top.names = {"g0", "g1", "g2", "g3"};
        top.functions = 3;
        for (const char* name : {"g0", "g1", "g2", "g3"})
            text_ += std::string(name) + " = " + Literal() + ";\n";
        text_ += "a[0] = 1; a[1] = 2; a[2] = 0.5; a[3] = " + Literal() + ";\n";
        text_ += "m[0, 0] = 3; m[0, 1] = 4; m[1, 0] = 5; m[1, 1] = " + Literal() + ";\n";
        text_ += "o = New Obj(" + Literal() + ");\n";
        if (plain_) text_ += "Print(F0(g0), F1(g1, g0), F2(g2, g1, g0), R(3));\n";
        if (recursion_)
            text_ += "Print(D(" + std::to_string(Pick(5)) + ", " + std::to_string(Pick(10)) +
                     "), D(3, g1), E(" + std::to_string(Pick(4)) + ", g2));\n";
        int statements = 3 + Pick(8);
        int late = Pick(statements + 1);
        for (int i = 0; i < statements; ++i) {
            if (i == late) {
                text_ += "late = " + Literal() + ";\n";
                top.names.push_back("late");
            }
            Statement(top, 0);
        }
        text_ += "Print(g0, g1, g2, g3, a[3], o.x);\n";
        return text_;
    }

    // A program whose top level and event handler the compiler covers but for their
    // Prints: loops, switches, blocks and Vars at the top level, events posted from there,
    // and a handler with loops, a switch, a Var and a Return, its names found in the
    // scopes as the walk finds them there (its parameter and Var are globals).
    std::string MakeTopLevel() {
        text_.clear();
        text_ += "Function Caught(code, text, unit, line, column) { Print(\"caught\", code, line); "
                 "}\n";
        text_ += "Function R(n) { If (n <= 0) Return 1; Return n + R(n - 1); }\n";
        text_ += "Function Q(x, y) { Return " + ParameterExpression(0) + "; }\n";
        Scope handler;
        handler.names = {"a", "g0", "g1"};
        handler.functions = 3;
        handler.inFunction = true;
        handler.plain = true;
        handler.switches = true;
        // Its loops must not step those of the top level it interrupts.
        handler.prefix = "h";
        text_ += "Function H(a) {\n";
        if (Pick(2) == 0) {
            text_ += "Var v = " + Expression(handler, 1) + ";\n";
            handler.names.push_back("v");
        }
        Body(handler, 0);
        if (Pick(3) == 0) text_ += "Return " + Expression(handler, 1) + ";\n";
        text_ += "Print(\"event\", a, g0);\n}\n";
        for (int f = 0; f < 3; ++f)
            MakeFunction(f);
        if (Pick(4) == 0) text_ += "Program.OnError = Caught;\n";
        Scope top;
        top.names = {"g0", "g1", "g2", "g3"};
        top.functions = 3;
        top.plain = true;
        top.switches = true;
        top.posts = true;
        for (const char* name : {"g0", "g1", "g2", "g3"})
            text_ += std::string(name) + " = " + Literal() + ";\n";
        // A Var at the top level makes a global.
        text_ += "Var t = " + Literal() + ";\n";
        top.names.push_back("t");
        int statements = 3 + Pick(8);
        for (int i = 0; i < statements; ++i)
            Statement(top, 0);
        if (Pick(40) == 0) text_ += "Break;\n";
        text_ += "Print(g0, g1, g2, g3);\n";
        return text_;
    }

private:
    struct Scope {
        std::vector<std::string> names;
        // Loop variables: read, never assigned by the body.
        std::vector<std::string> fixed;
        // Names that hold objects.
        std::vector<std::string> objects;
        int functions = 0;
        bool inFunction = false;
        bool plain = false;
        // Plain statements may be switches, and post events.
        bool switches = false;
        bool posts = false;
        // Starts the names of loop variables, which are globals: a function's own loops
        // must not step those of its caller.
        std::string prefix;
        int loops = 0;
        int whiles = 0;
    };

    int Pick(int n) { return int(random_() % uint32_t(n)); }

    std::string Literal() {
        // Texts end most programs that meet them in arithmetic (error 12): they are rare.
        switch (Pick(48)) {
        case 0:
        case 1:
        case 2:
            return "2147483000";
        case 3:
        case 4:
        case 5:
        case 6:
            return "-" + std::to_string(Pick(5));
        case 7:
        case 8:
        case 9:
        case 10:
            return std::to_string(Pick(7)) + ".5";
        case 11:
            return "\"" + std::to_string(Pick(30)) + "\"";
        case 12:
        case 13:
            return "0.25";
        default:
            return std::to_string(Pick(10));
        }
    }

    std::string Name(const Scope& scope) {
        size_t count = scope.names.size() + scope.fixed.size();
        size_t i = size_t(Pick(int(count)));
        return i < scope.names.size() ? scope.names[i] : scope.fixed[i - scope.names.size()];
    }

    std::string Operand(Scope& scope, int depth) {
        if (scope.plain) return PlainOperand(scope, depth);
        switch (Pick(depth > 2 ? 8 : 17)) {
        case 0:
        case 1:
            return Literal();
        case 2:
        case 3:
        case 4:
        case 5:
            return Name(scope);
        case 6:
            return "a[" + Index(scope, 4) + "]";
        case 7:
            return Pick(2) == 0 ? "o.x" : "o.y";
        case 8:
            return "(" + Expression(scope, depth + 1) + ")";
        case 9:
            return "m[" + Index(scope, 2) + ", " + Index(scope, 2) + "]";
        case 10:
            return "- " + Prefixed(scope, depth);
        case 11:
            return (Pick(2) == 0 ? "!" : "~") + Prefixed(scope, depth);
        case 12:
            return Call(scope, depth);
        case 13:
            return "(" + Expression(scope, depth + 1) + " ? " + Expression(scope, depth + 1) +
                   " : " + Expression(scope, depth + 1) + ")";
        case 14:
            return "R(" + std::to_string(Pick(5)) + ")";
        case 15:
            return Pick(40) == 0 ? "missing" : Name(scope);
        default:
            // An event posted inside an expression waits for the end of the statement
            // that runs next, wherever that is.
            if (Pick(4) == 0) return "Post(H, " + Operand(scope, depth + 1) + ")";
            return "\"" + std::string(1, char('a' + Pick(3))) + "\".Length()";
        }
    }

    std::string PlainOperand(Scope& scope, int depth) {
        if (members_ && Pick(6) == 0) return MemberOperand(scope, depth);
        if (elements_ && Pick(4) == 0) return ElementOperand(scope, depth);
        switch (Pick(depth > 2 ? 6 : 12)) {
        case 0:
        case 1:
            return Literal();
        case 2:
        case 3:
        case 4:
            return Name(scope);
        case 5:
            if (Pick(60) == 0) return "missing";
            return Pick(18) == 0 ? "u" + std::to_string(2 + Pick(3)) : Name(scope);
        case 6:
            return "(" + Expression(scope, depth + 1) + ")";
        case 7:
            return "- " + Prefixed(scope, depth);
        case 8:
            return (Pick(2) == 0 ? "!" : "~") + Prefixed(scope, depth);
        case 9:
            return Call(scope, depth);
        case 10:
            if (Pick(2) == 0) return Name(scope);
            return "(" + Expression(scope, depth + 1) + " ? " + Expression(scope, depth + 1) +
                   " : " + Expression(scope, depth + 1) + ")";
        default:
            if (Pick(3) == 0) {
                std::string call = "Q(" + Expression(scope, depth + 2);
                return call + (Pick(60) == 0 ? ")" : ", " + Expression(scope, depth + 2) + ")");
            }
            return "R(" + std::to_string(Pick(5)) + ")";
        }
    }

    // An expression of x, y and literals.
    std::string ParameterExpression(int depth) {
        std::string text;
        int operands = 1 + Pick(depth > 1 ? 2 : 4);
        for (int i = 0; i < operands; ++i) {
            if (i > 0) {
                std::string op = Operator();
                text += " " + op + " ";
                // Non-zero divisors: the calls' arguments end enough programs.
                if (op == "/" || op == "%") {
                    text += std::to_string(1 + Pick(5));
                    continue;
                }
            }
            switch (Pick(depth > 1 ? 3 : 4)) {
            case 0:
                text += "x";
                break;
            case 1:
                text += "y";
                break;
            case 2:
                text += Pick(8) == 0 ? Literal() : std::to_string(Pick(10));
                break;
            default:
                text += "(" + ParameterExpression(depth + 1) + ")";
                break;
            }
        }
        return text;
    }

    // The operand of a prefix operator: two of them in a row do not compile.
    std::string Prefixed(Scope& scope, int depth) {
        std::string operand = Operand(scope, depth + 1);
        return operand.find_first_of("-!~") == 0 ? "(" + operand + ")" : operand;
    }

    // An index that mostly lands on a stored element.
    std::string Index(Scope& scope, int size) {
        if (Pick(3) == 0) return std::to_string(Pick(size));
        return "(" + Operand(scope, 3) + " & " + std::to_string(size - 1) + ")";
    }

    std::string Call(Scope& scope, int depth) {
        if (scope.functions == 0) return Name(scope);
        int f = Pick(scope.functions);
        std::string call = "F" + std::to_string(f) + "(";
        int arguments = 1 + f + (Pick(25) == 0 ? 1 : 0) - (Pick(25) == 0 ? 1 : 0);
        for (int i = 0; i < arguments; ++i)
            call += (i > 0 ? ", " : "") + Expression(scope, depth + 2);
        return call + ")";
    }

    std::string Operator() {
        static const char* const kOperators[] = {"+",  "-",  "*",  "+",  "-",  "<", ">", "==",
                                                 "!=", "<=", ">=", "&&", "||", "&", "|", "^",
                                                 "/",  "%",  "<<", ">>", "*",  "+"};
        return kOperators[Pick(int(std::size(kOperators)))];
    }

    std::string Expression(Scope& scope, int depth) {
        std::string text = Operand(scope, depth);
        int operators = depth > 2 ? Pick(2) : Pick(4);
        for (int i = 0; i < operators; ++i) {
            std::string op = Operator();
            // Mostly non-zero divisors and small shifts, so that few programs end there.
            if ((op == "/" || op == "%") && Pick(4) != 0)
                text += " " + op + " " + std::to_string(1 + Pick(5));
            else if ((op == "<<" || op == ">>") && Pick(3) != 0)
                text += " " + op + " " + std::to_string(Pick(8));
            else
                text += " " + op + " " + Operand(scope, depth + 1);
        }
        return text;
    }

    std::string Target(Scope& scope) {
        if (members_ && Pick(6) == 0) return MemberTarget(scope);
        if (scope.plain && elements_ && Pick(3) == 0) return ElementTarget(scope);
        if (scope.plain) return scope.names[size_t(Pick(int(scope.names.size())))];
        switch (Pick(8)) {
        case 0:
            return "a[" + Index(scope, 4) + "]";
        case 1:
            return "o." + std::string(Pick(2) == 0 ? "x" : "y");
        case 2:
            return "m[" + Index(scope, 2) + ", " + Index(scope, 2) + "]";
        default:
            return scope.names[size_t(Pick(int(scope.names.size())))];
        }
    }

    // `controlled`: the statement of an If or Else, where loops and switches stand in a
    // block.
    void Statement(Scope& scope, int depth, bool controlled = false) {
        int kinds = depth >= 2 ? 8 : 14;
        int kind = Pick(kinds);
        // Prints, posts, raises and switches take the walk: plain bodies assign instead.
        if (scope.plain && (kind == 5 || (kind == 12 && !scope.switches))) kind = 0;
        if (members_ && scope.inFunction && kind == 6 && Pick(2) == 0) {
            MemberStatement(scope);
            return;
        }
        if (controlled && kind >= 8) {
            text_ += "{\n";
            Scope inner = scope;
            Statement(inner, depth + 1);
            text_ += "}\n";
            return;
        }
        switch (kind) {
        case 0:
            // Under an If, one statement: without its Var.
            if (scope.inFunction && Pick(3) == 0) {
                FreshLocal(scope, depth, !controlled);
                return;
            }
            [[fallthrough]];
        case 1:
        case 2: {
            std::string target = Target(scope);
            text_ += target + " = " + StoreOperand(scope, target, 0) + ";\n";
            return;
        }
        case 3: {
            static const char* const kCompound[] = {"+=", "-=", "*=", "|=", "^="};
            // Divisors and shifts mostly of literals, so that few programs end there.
            static const char* const kLiteralCompound[] = {"/=", "%=", "&=", "<<=", ">>="};
            std::string target = Target(scope);
            if (Pick(3) == 0)
                text_ += target + " " + kLiteralCompound[Pick(5)] + " " +
                         (Pick(2) == 0 ? std::to_string(1 + Pick(4)) : Literal()) + ";\n";
            else
                text_ += target + " " + kCompound[Pick(5)] + " " + StoreOperand(scope, target, 1) +
                         ";\n";
            return;
        }
        case 4:
            text_ += Target(scope) + (Pick(2) == 0 ? "++;\n" : "--;\n");
            return;
        case 5:
            text_ += "Print(" + Expression(scope, 0) + ", " + Expression(scope, 1) + ");\n";
            return;
        case 6:
            if (scope.posts && Pick(3) == 0)
                text_ += "Post(H, " + Expression(scope, 1) + ");\n";
            else if (scope.plain && scope.loops + scope.whiles > 0 && Pick(3) == 0)
                text_ += Pick(2) == 0 ? "Break;\n" : "Continue;\n";
            else if (scope.plain)
                text_ += Call(scope, 1) + ";\n";
            else if (Pick(3) == 0)
                text_ += "Post(H, " + Expression(scope, 1) + ");\n";
            else if (scope.loops + scope.whiles > 0 && Pick(3) == 0)
                text_ += Pick(2) == 0 ? "Break;\n" : "Continue;\n";
            else if (Pick(8) == 0)
                text_ += "Raise(" + std::to_string(100 + Pick(20)) + ");\n";
            else
                text_ += Call(scope, 1) + ";\n";
            return;
        case 7:
            text_ += "If (" + Expression(scope, 1) + ") ";
            Statement(scope, depth + 1, true);
            if (Pick(2) == 0) {
                text_ += "Else ";
                Statement(scope, depth + 1, true);
            }
            return;
        case 8:
        case 9:
            CountingLoop(scope, depth);
            return;
        case 10:
            WhileLoop(scope, depth);
            return;
        case 11:
            if (scope.inFunction && Pick(2) == 0) {
                FreshLocal(scope, depth, true);
            } else if (scope.inFunction) {
                // Now and then a local that hides a global of its name.
                std::string name = Pick(3) == 0 ? "g" + std::to_string(Pick(4))
                                                : "v" + std::to_string(scope.names.size());
                text_ += "Var " + name + " = " + Expression(scope, 1) + ";\n";
                if (std::find(scope.names.begin(), scope.names.end(), name) == scope.names.end())
                    scope.names.push_back(name);
            } else {
                text_ += "Print(" + Expression(scope, 0) + ");\n";
            }
            return;
        case 12: {
            // A Break that no statement can follow does not compile: a case holds none.
            Scope cases = scope;
            cases.loops = 0;
            cases.whiles = 0;
            text_ += "Switch (" + Expression(scope, 2) + ") {\nCase 0:\n";
            Statement(cases, depth + 1);
            // A Continue in a case fails, loop or not.
            if (scope.switches && Pick(25) == 0) text_ += "Continue;\n";
            text_ += "Break;\nCase 1:\n";
            Statement(cases, depth + 1);
            text_ += "Default:\n";
            Statement(cases, depth + 1);
            text_ += "}\n";
            return;
        }
        default: {
            text_ += "{\n";
            Scope inner = scope;
            Statement(inner, depth + 1);
            Statement(inner, depth + 1);
            text_ += "}\n";
            return;
        }
        }
    }

    // A local made by its first assignment, inside a block gone when the block ends: a
    // read after that ("u" names among the operands) finds nothing.
    void FreshLocal(Scope& scope, int depth, bool withVar) {
        std::string name = "u" + std::to_string(depth);
        if (withVar && Pick(3) == 0) text_ += "Var " + name + ";\n";
        text_ += name + " = " + Expression(scope, 1) + ";\n";
        if (std::find(scope.names.begin(), scope.names.end(), name) == scope.names.end())
            scope.names.push_back(name);
    }

    void Body(Scope scope, int depth) {
        int statements = 1 + Pick(4);
        for (int i = 0; i < statements; ++i)
            Statement(scope, depth + 1);
    }

    void CountingLoop(Scope& scope, int depth) {
        std::string counter =
            scope.prefix + "i" + std::to_string(depth) + std::to_string(scope.loops);
        std::string limit = std::to_string(Pick(7));
        if (Pick(3) == 0) {
            // A limit held by a variable the body does not change.
            std::string name =
                scope.prefix + "n" + std::to_string(depth) + std::to_string(scope.loops);
            text_ += name + " = " + limit + ";\n";
            limit = name;
        }
        bool down = Pick(4) == 0;
        // Now and then a counter or a condition of doubles, which no counting round takes.
        std::string start = down ? "6" : "0";
        if (Pick(5) == 0) start += ".5";
        if (Pick(5) == 0) limit = "(" + limit + " + 0.25)";
        std::string step = down ? "--" : "++";
        if (Pick(5) == 0) step = down ? " -= 1" : " += 1";
        text_ += "For (" + counter + " = " + start + "; " + counter + (down ? " > " : " < ") +
                 limit + "; " + counter + step + ") {\n";
        Scope inner = scope;
        inner.fixed.push_back(counter);
        ++inner.loops;
        Body(inner, depth);
        text_ += "}\n";
    }

    void WhileLoop(Scope& scope, int depth) {
        std::string counter =
            scope.prefix + "w" + std::to_string(depth) + std::to_string(scope.whiles);
        text_ += counter + " = 0;\nWhile ((" + counter + " < " + std::to_string(1 + Pick(5)) +
                 ") && (" + Expression(scope, 2) + " || 1)) {\n" + counter + "++;\n";
        Scope inner = scope;
        inner.fixed.push_back(counter);
        ++inner.whiles;
        Body(inner, depth);
        text_ += "}\n";
    }

    // F<f> takes f + 1 parameters; it may start as the return forms do, with a guarded
    // Return of its parameters, and ends returning an expression.
    void MakeFunction(int f) {
        Scope scope;
        scope.inFunction = true;
        scope.plain = plain_;
        scope.functions = f;
        scope.prefix = "f" + std::to_string(f);
        for (int p = 0; p <= f; ++p)
            scope.names.push_back("p" + std::to_string(p));
        text_ += "Function F" + std::to_string(f) + "(";
        for (int p = 0; p <= f; ++p)
            text_ += (p > 0 ? ", " : "") + scope.names[size_t(p)];
        text_ += ") {\n";
        if (members_ && Pick(2) == 0) {
            text_ += "Var lb = New Box(" + std::to_string(Pick(9)) + ");\n";
            scope.objects.push_back("lb");
        }
        // A local holding objects of two shapes by turns, call after call.
        if (members_ && Pick(3) == 0) {
            text_ += "flip = 1 - flip;\nVar lq = ob[0];\nIf (flip) lq = yx;\n";
            scope.objects.push_back("lq");
        }
        // A local array of the call, made by its first element.
        if (elements_) {
            for (int i = 0; i < 4; ++i)
                text_ += "e[" + std::to_string(i) + "] = " + Literal() + ";\n";
            // A number and an array made by its element in sibling blocks, each bound anew.
            if (Pick(3) == 0) {
                for (int b = 0; b < 2; ++b)
                    text_ += "{\nw = " + Literal() + ";\ny[w & 1] = w;\ne[" + std::to_string(b) +
                             "] = y[w & 1] + w;\n}\n";
            }
            // Stores of one operand into its cells.
            for (int i = Pick(4); i > 0; --i) {
                static const char* const kStores[] = {" = ", " = ", " += ", " -= ", " *= "};
                std::string target = "e[" + std::to_string(Pick(4)) + "]";
                if (Pick(8) == 0) {
                    text_ += target + (Pick(2) == 0 ? "++;\n" : "--;\n");
                    continue;
                }
                std::string operand = CellOperand();
                // Or several, joined by arithmetic.
                for (int n = Pick(3) == 0 ? 1 + Pick(3) : 0; n > 0; --n)
                    operand += kArithmetic[Pick(3)] + CellOperand();
                text_ += target + kStores[Pick(5)] + operand + ";\n";
            }
        }
        // Globals, which a Var of the function may hide.
        scope.names.push_back("g0");
        scope.names.push_back("g" + std::to_string(1 + f));
        if (Pick(2) == 0) {
            Scope parameters = scope;
            parameters.functions = 0;
            text_ += "If (" + Expression(parameters, 2) + ") Return " + Expression(parameters, 2) +
                     ";\n";
        }
        // Names the body assigns before reading them: a local of the call unless a scope
        // has the name when the assignment runs ("late" is a global only after the top
        // level made it, part-way through the program).
        if (Pick(2) == 0) {
            std::string name = Pick(3) == 0 ? "late" : "t" + std::to_string(f);
            if (Pick(2) == 0) text_ += "Var " + name + ";\n";
            text_ += name + " = " + Expression(scope, 1) + ";\n";
            scope.names.push_back(name);
        }
        if (Pick(3) != 0) {
            int statements = Pick(4);
            for (int i = 0; i < statements; ++i)
                Statement(scope, 1);
        }
        text_ += "Return " + Expression(scope, 1) + ";\n}\n";
    }

    // D recurses with calls in its arguments, so that a call's arguments are filled while
    // calls of later arguments, of the same function too, run.
    void MakeRecursion() {
        Scope scope;
        scope.inFunction = true;
        scope.plain = true;
        scope.functions = 3;
        scope.prefix = "d";
        scope.names = {"y", "x", "k"};
        text_ += "Function D(y, x) {\nVar k = y - 1;\nIf (y <= 0) Return x;\nReturn D(k, Q(x, " +
                 Expression(scope, 3) + ")) + D(k - 1, " +
                 // A name that holds nothing fails as the argument is copied.
                 (Pick(8) == 0 ? "(u" + std::to_string(2 + Pick(3)) + ")" : Expression(scope, 3)) +
                 ");\n}\n";
        // E reads globals as it recurses: its calls look names up in scopes of their own
        // while D's, which read none, keep their caller's.
        scope.prefix = "e";
        scope.names = {"y", "x", "g0", "g1"};
        text_ += "Function E(y, x) {\nIf (y <= 0) Return x + g0;\nReturn E(y - 1, " +
                 Expression(scope, 3) + ") + D(y - 1, " + Expression(scope, 3) + ");\n}\n";
    }

    // ---- Members, methods, New and Delete ------------------------------------------

    // An object: the globals o (an Obj) and bx (a Box), a function's own Box, This (the
    // globals), and now and then a parameter, which holds a number or a text. (A name that
    // holds nothing or a function before a member stops the walk's expression there; the
    // compiled form raises that error at once, so the programs leave such names out.)
    std::string Object(const Scope& scope) {
        switch (Pick(12)) {
        case 0:
        case 1:
        case 2:
            return "o";
        case 3:
        case 4:
            return "bx";
        case 5:
            return "bx.in";
        case 6:
            return "This";
        case 7:
            // A parameter only inside a function: at the top level the name holds nothing.
            if (Pick(40) == 0 && scope.inFunction) return "p0";
            [[fallthrough]];
        default:
            return scope.objects.empty() ? "bx"
                                         : scope.objects[size_t(Pick(int(scope.objects.size())))];
        }
    }

    std::string Member(const std::string& object) {
        if (object == "This") return "This.g" + std::to_string(Pick(4));
        if (Pick(400) == 0) return object + ".zz";
        if (object == "o" || object == "bx.in" || object == "lq")
            return object + (Pick(2) == 0 ? ".x" : ".y");
        return object + (Pick(3) == 0 ? ".in.x" : ".v");
    }

    std::string MemberOperand(Scope& scope, int depth) {
        if (Pick(4) == 0) return IndexedMember(scope, depth);
        switch (Pick(9)) {
        case 0:
        case 1:
        case 2:
            return Member(Object(scope));
        case 3: {
            std::string object = Pick(5) == 0 ? Object(scope) : "bx";
            if (object == "This" || object == "o" || object == "bx.in" || object == "lq")
                object = "bx";
            return object + ".Get(" + Expression(scope, depth + 2) + ")";
        }
        case 4:
            // Texts: a literal's method, and a method of whatever a name holds.
            if (Pick(30) == 0 && scope.inFunction) return "p0.Length()";
            return "\"" + std::string(size_t(1 + Pick(3)), 'a') + "\".Length()";
        case 5:
            // Delete during the expression: the walk notices it where it reads again.
            if (!scope.objects.empty() && scope.objects[0] == "lb" && Pick(30) == 0)
                return "Kill(lb)";
            return "Math.Post(H, " + Expression(scope, depth + 2) + ")";
        case 6:
            if (Pick(4) == 0) return "(New Obj(" + Expression(scope, depth + 2) + ")).x";
            return Member(Object(scope));
        default:
            if (Pick(2) == 0) return Member(Object(scope));
            return "(" + Member(Object(scope)) + " + " + Expression(scope, depth + 1) + ")";
        }
    }

    std::string MemberTarget(Scope& scope) {
        if (Pick(4) == 0) return IndexedMemberTarget();
        std::string object = Object(scope);
        if (Pick(15) == 0) return object + ".fresh";
        return Member(object);
    }

    // Members after elements and parentheses, and members with an index list: the array
    // ob holds two Objs, a Box and a number (and has no element 4), a Box's cells two
    // numbers; now and then a member that is not there, or a member of a number.
    std::string IndexedMember(Scope& scope, int depth) {
        const std::string index = "(" + PlainOperand(scope, depth + 3) + ") & 1";
        switch (Pick(8)) {
        case 0:
            return "ob[" + index + "].x";
        case 1:
            return "ob[" + std::to_string(Pick(40) == 0 ? 3 + Pick(2) : Pick(2)) + "].y";
        case 2:
            return "ob[2].in.x + ob[2].Get(" + Expression(scope, depth + 2) + ")";
        case 3:
            return "(" + Member(Object(scope)) + " + 0" + (Pick(30) == 0 ? ").x" : ")");
        case 4:
            return "(ob[" + index + "]).y";
        case 5:
            return "bx.cells[" + index + "]";
        case 6:
            return Pick(30) == 0 ? "bx.in.cells[0]" : "This.bx.cells[1]";
        default:
            return "(bx.cells[" + index + "] += " + PlainOperand(scope, depth + 2) + ")";
        }
    }

    // Their targets, whose indices read no slot: a member array made by "=" is made by
    // the walk's handler, which reads them once more.
    std::string IndexedMemberTarget() {
        switch (Pick(5)) {
        case 0:
            return "ob[" + std::to_string(Pick(2)) + "].y";
        case 1:
            return "bx.cells[" + std::to_string(Pick(3)) + "]";
        case 2:
            return "o.fresh[" + std::to_string(Pick(2)) + "]";
        case 3:
            return "ob[g" + std::to_string(Pick(4)) + " & 1].x";
        default:
            return "bx.cells[g" + std::to_string(Pick(4)) + " & 1]";
        }
    }

    void MemberStatement(Scope& scope) {
        switch (Pick(6)) {
        case 0:
            text_ += "bx.Get(" + Expression(scope, 1) + ");\n";
            return;
        case 1:
            text_ += "Math.Post(H, " + Expression(scope, 1) + ");\n";
            return;
        case 2: {
            const bool local = !scope.objects.empty() && scope.objects[0] == "lb";
            if (local && Pick(16) == 0) {
                text_ += "Delete lb;\n";
                return;
            }
            // Only where the function made lb at its start: a name made under an If may
            // hold nothing when read.
            if (!local) {
                text_ += "bx.in = New Obj(" + std::to_string(Pick(9)) + ");\n";
                return;
            }
            text_ += "lb = New Box(" + std::to_string(Pick(9)) + ");\n";
            return;
        }
        case 3:
            text_ += Member(Object(scope)) + "++;\n";
            return;
        default:
            text_ += MemberTarget(scope) + " = " + Expression(scope, 1) + ";\n";
            return;
        }
    }

    // ---- Elements in plain functions ----
    // The globals a and m, local arrays e, x0 and x1 that the function makes, and now and then a
    // parameter or a name that holds a number, indexed: reads of numbers in their cells,
    // of missing elements and out of bounds, indices of every kind, assignments and steps
    // inside expressions, and writes that grow or reshape the arrays.
    std::string ElementName(const Scope& scope) {
        switch (Pick(80)) {
        case 0:
            return Name(scope);
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
        case 9:
        case 10:
        case 11:
        case 12:
        case 13:
        case 14:
        case 15:
        case 16:
            return scope.inFunction ? "e" : "a";
        default:
            return "a";
        }
    }

    std::string ElementIndex(Scope& scope, int size) {
        switch (Pick(7)) {
        case 0:
            if (Pick(60) == 0) return Pick(2) == 0 ? std::to_string(size) : "-1";
            return std::to_string(Pick(size));
        case 1:
            return ElementOperand(scope, 4) + " & " + std::to_string(size - 1);
        case 2:
            return Pick(10) == 0 ? "0.5" : "\"1\"";
        case 3:
            // A name alone: a loop's counter, which may run past the end.
            if (size >= 4 && !scope.fixed.empty() && Pick(2) == 0) {
                std::string counter = scope.fixed[size_t(Pick(int(scope.fixed.size())))];
                // A counter and an integer, read as one index.
                if (Pick(3) == 0)
                    counter += (Pick(2) == 0 ? " + " : " - ") + std::to_string(Pick(3));
                return counter;
            }
            if (Pick(8) == 0) return Name(scope);
            [[fallthrough]];
        default:
            return "(" + PlainOperand(scope, 4) + ") & " + std::to_string(size - 1);
        }
    }

    std::string ElementOperand(Scope& scope, int depth) {
        if (depth > 5) return std::to_string(Pick(4));
        if (Pick(3) == 0)
            return "m[" + ElementIndex(scope, 2) + ", " + ElementIndex(scope, 2) +
                   (Pick(100) == 0 ? ", 0]" : "]");
        std::string element = ElementName(scope) + "[" + ElementIndex(scope, 4) + "]";
        switch (Pick(8)) {
        case 0:
            return "(" + element + ")";
        case 1:
            return "(" + element + " = " + PlainOperand(scope, depth + 2) + ")";
        case 2:
            return "(" + element + (Pick(2) == 0 ? "++)" : "--)");
        case 3:
            return "(" + element + " += " + PlainOperand(scope, depth + 2) + ")";
        default:
            return element;
        }
    }

    std::string ElementTarget(Scope& scope) {
        switch (Pick(8)) {
        case 0:
            return "m[" + ElementIndex(scope, 3) + ", " + ElementIndex(scope, 2) + "]";
        case 1:
            // An array the assignment makes, in the block it runs in, when no scope has it.
            if (scope.inFunction)
                return "x" + std::to_string(Pick(2)) + "[" + ElementIndex(scope, 4) + "]";
            [[fallthrough]];
        default:
            return ElementName(scope) + "[" + ElementIndex(scope, 5) + "]";
        }
    }

    // An operand of a store into a cell of e.
    std::string CellOperand() {
        switch (Pick(5)) {
        case 0:
            return std::to_string(Pick(20) - 10);
        case 1:
            return Pick(2) == 0 ? "2.5" : "p0";
        default:
            return "e[" + std::to_string(Pick(4)) + "]";
        }
    }
    static constexpr const char* kArithmetic[] = {" + ", " - ", " * "};

    // The right side of an assignment to `target`: for an element of e, often one operand
    // (a literal, a name or an element), which compiled code stores in one step.
    std::string StoreOperand(Scope& scope, const std::string& target, int depth) {
        if (!scope.plain || !elements_ || target.compare(0, 2, "e[") != 0 || Pick(2) == 0)
            return Expression(scope, depth);
        switch (Pick(6)) {
        case 0:
            return std::to_string(Pick(200) - 100);
        case 1:
            return Pick(8) == 0 ? "\"t\"" : "2.5";
        case 2:
            return ElementName(scope) + "[" + ElementIndex(scope, 4) + "]";
        case 3:
            return "e[" + std::to_string(Pick(4)) + "]";
        default:
            return Name(scope);
        }
    }

    std::mt19937 random_;
    bool plain_;
    bool recursion_;
    bool members_;
    bool elements_;
    std::string text_;
};

// A function whose loop works statements of numbers out over variables that change kind
// between rounds: integers at their edges, doubles, texts and zeros met by the same
// statement on a later round, so that the number code runs on integers, then on both
// kinds, then gives way to the full steps.
class NumberRoundsMaker {
public:
    // `elements`: the operands and targets take elements of a local array of the call and
    // of one passed in, whose cells change kind as the variables do. `calls`: the
    // expressions call functions too: Q, answered from its one Return; M, a body run in
    // full whose result has either argument's kind; K, which changes the global g that the
    // same expression reads; P, which posts an event; T, N and O, whose results are a text,
    // nothing and an array; and Step, a variable given one of Q, M and T or a text between
    // rounds. `answered`: more calls of functions answered from their Return, of no
    // argument, of three, nested, with one whose Return divides and one whose Return is a
    // double, and Step given those too.
    explicit NumberRoundsMaker(uint32_t seed, bool elements = false, bool calls = false,
                               bool answered = false)
        : random_(seed), elements_(elements), calls_(calls || answered), answered_(answered) {}

    std::string Make() {
        // Globals g and h are read by name, and change kind as the locals do.
        std::string text = "g = 5; h = 0.25;\n";
        if (calls_)
            text += "Function Q(x, y) { Return x * 3 - y; }\n"
                    "Function M(x, y) { If (x > y) Return x; Return y; }\n"
                    "Function K(x) { g = g + 1; Return x - g; }\n"
                    "Function H(x) { h = h + x; Print(\"event\", x, h); }\n"
                    "Function P(x) { Post(H, x); Var y = x; Return y; }\n"
                    "Function T(x, y) { Return \"t\" + x; }\n"
                    "Function N(x) { g = x; }\n"
                    "Function O(x) { Return r; }\n"
                    "Step = Q;\n";
        if (answered_)
            text += "Function Z() { Return 1; }\n"
                    "Function Three(x, y, z) { Return x + y - z; }\n"
                    "Function Div(x, y) { Return x / y; }\n"
                    "Function Half(x, y) { Return x * 0.5 + y; }\n";
        text += "Function F(p0, p1, q) {\nVar a = p0; Var b = p1; "
                "Var c = 0; Var d = 0.5; Var s = 1; Var w; Var i;\n";
        if (elements_) {
            for (int k = 0; k < 8; ++k)
                text += "e[" + std::to_string(k) + "] = " + Literal() + ";\n";
            text += "m[0, 0] = 1.5; m[1, 0] = 4; m[0, 1] = -0.25; m[1, 1] = 9;\n";
        }
        text += "For (i = 0; i < " + std::to_string(2 + Pick(elements_ ? 7 : 6)) + "; i++) {\n";
        int statements = 2 + Pick(4);
        for (int k = 0; k < statements; ++k)
            text += Statement();
        text += "}\nReturn a + \"/\" + b + \"/\" + c + \"/\" + d + \"/\" + s;\n}\n";
        text += "r[0] = 2; r[1] = 0.75; r[2] = 5; r[3] = -1.5;\n";
        text += "Print(F(3, 7, r));\nPrint(F(2.5, -1, r));\nPrint(F(2147483000, 0, r));\n";
        if (elements_) text += "Print(r[0], r[1], r[2], r[3]);\n";
        return text;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    std::string Target() { return std::string(1, "abcds"[Pick(5)]); }

    std::string Literal() {
        static const char* const kLiterals[] = {
            "0", "1", "2", "7", "-1", "2147483647", "2147483000", "0.5", "2.25", "-0.75", "3"};
        return kLiterals[Pick(int(std::size(kLiterals)))];
    }

    // An element read by slot, integer or "slot + integer" indices, now and then one that
    // lies outside its array or whose index is no integer; of arrays in slots or of the
    // global `r`, named through the scopes.
    std::string Element() {
        switch (Pick(9)) {
        case 8:
            return Pick(2) == 0 ? "r[i & 3]" : "r[" + std::to_string(Pick(4)) + "]";
        case 0:
            return "e[i]";
        case 1:
            return "e[i + " + std::to_string(Pick(3)) + "]";
        case 2:
            return Pick(6) == 0 ? "e[i - 1]" : "e[" + std::to_string(Pick(8)) + "]";
        case 3:
            return "q[" + std::to_string(Pick(4)) + "]";
        case 4:
            return Pick(4) == 0 ? "q[c]" : "q[i & 3]";
        case 5:
            return "m[" + std::to_string(Pick(2)) + ", " + std::to_string(Pick(2)) + "]";
        case 6:
            return Pick(3) == 0 ? "m[i, 1]" : "m[1, i & 1]";
        default:
            return "e[i + 1]";
        }
    }

    std::string Call(int depth) {
        // Now and then a call whose result is a text, nothing (the global g given the
        // argument) or an array.
        if (Pick(8) == 0) return std::string(1, "TNO"[Pick(3)]) + "(" + Operand(depth + 1) + ")";
        if (answered_ && Pick(2) == 0) {
            switch (Pick(6)) {
            case 0:
                return "Z()";
            case 1:
                return "Three(" + Operand(depth + 1) + ", " + Operand(depth + 1) + ", " +
                       Operand(depth + 1) + ")";
            case 2:
                return std::string("Three(") + "abcdsi"[Pick(6)] + ", " + Literal() + ", " +
                       "abcdsi"[Pick(6)] + ")";
            case 3:
                return "Div(" + Operand(depth + 1) + ", " + Operand(depth + 1) + ")";
            case 4:
                return "Half(" + Operand(depth + 1) + ", " + Operand(depth + 1) + ")";
            default:
                return "Q(" + Call(depth + 1) + ", i)";
            }
        }
        switch (Pick(5)) {
        case 0:
            return "Q(" + Operand(depth + 1) + ", " + Operand(depth + 1) + ")";
        case 1:
            return "M(" + Operand(depth + 1) + ", " + Operand(depth + 1) + ")";
        case 2:
            return "K(" + Operand(depth + 1) + ")";
        case 3:
            return "P(" + Operand(depth + 1) + ")";
        default:
            return "Step(" + Operand(depth + 1) + ", " + Operand(depth + 1) + ")";
        }
    }

    std::string Operand(int depth) {
        if (elements_ && Pick(3) == 0) return Element();
        if (calls_ && depth <= 3 && Pick(4) == 0) return Call(depth);
        switch (Pick(depth > 2 ? 3 : 7)) {
        case 0:
        case 1:
            return std::string(1, "abcdsigh"[Pick(8)]);
        case 2:
            return Literal();
        case 3:
            return "(" + Expression(depth + 1) + ")";
        case 4: {
            // Two prefix operators in a row do not compile.
            std::string operand = Operand(3);
            if (operand.find_first_of("-!~") == 0) operand = "(" + operand + ")";
            return std::string(Pick(3) == 0 ? "!" : Pick(2) == 0 ? "~" : "- ") + operand;
        }
        default:
            return std::string(1, "abcds"[Pick(5)]);
        }
    }

    std::string Expression(int depth) {
        static const char* const kOperators[] = {"+",  "-",  "*",  "/", "%",  "<<",
                                                 ">>", "&",  "|",  "^", "&&", "||",
                                                 ">=", "<=", "==", "<", ">",  "!="};
        std::string text = Operand(depth);
        int operators = Pick(depth > 1 ? 2 : 4);
        for (int i = 0; i < operators; ++i)
            text += std::string(" ") + kOperators[Pick(int(std::size(kOperators)))] + " " +
                    Operand(depth + 1);
        return text;
    }

    std::string Statement() {
        static const char* const kCompound[] = {
            "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="};
        if (elements_ && Pick(5) == 0) {
            // A cell that changes kind, or one given the value of an expression.
            static const char* const kCells[] = {"e[i & 7]", "e[3]", "q[1]", "m[1, 0]"};
            static const char* const kChanges[] = {"2.5", "\"4\"", "7", "-0.5"};
            const std::string cell = kCells[Pick(int(std::size(kCells)))];
            if (Pick(2) == 0)
                return "If (i == " + std::to_string(Pick(4)) + ") " + cell + " = " +
                       kChanges[Pick(int(std::size(kChanges)))] + ";\n";
            return cell + " = " + Expression(1) + ";\n";
        }
        switch (Pick(6)) {
        case 0:
            return Target() + " " + kCompound[Pick(int(std::size(kCompound)))] + " " +
                   Expression(1) + ";\n";
        case 1: {
            if (calls_ && Pick(3) == 0) {
                static const char* const kCallees[] = {"Q", "M", "\"Q\"", "T", "Div", "Half"};
                return "If (i == " + std::to_string(Pick(4)) + ") Step = " +
                       kCallees[Pick(int(std::size(kCallees)) - (answered_ ? 0 : 2))] + ";\n";
            }
            // A kind the statements meet from a later round on.
            static const char* const kChanges[] = {
                "2.5", "\"4\"", "0", "2147483647", "0 - 2147483647 - 1", "-1"};
            const std::string target = Pick(3) == 0 ? std::string(1, "gh"[Pick(2)]) : Target();
            return "If (i == " + std::to_string(Pick(4)) + ") " + target + " = " +
                   kChanges[Pick(int(std::size(kChanges)))] + ";\n";
        }
        case 2:
            return "If (" + Expression(1) + ") " + Target() + " = " + Expression(1) + ";\n";
        case 3:
            return "w = 0;\nWhile (" + Target() + " > 100000 && w < 3) {\nw++;\n" + Target() +
                   " = " + Expression(1) + ";\n}\n";
        default:
            return Target() + " = " + Expression(0) + ";\n";
        }
    }

    std::mt19937 random_;
    bool elements_;
    bool calls_;
    bool answered_;
};

// A function whose loops run statements on one variable with an operand that is a
// variable or a literal ("=", the compound operators, "++", "--"), or a variable and such
// an operand joined by any number operator, and conditions of that shape, over locals, a
// parameter, a name bound by its first assignment and globals, whose kinds change between
// rounds: integers at their edges, doubles, texts and zero divisors.
class SlotStatementsMaker {
public:
    explicit SlotStatementsMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        std::string text = Pick(2) == 0 ? "q = 4;\n" : "";
        text += "g = 3;\nFunction F(p0, p1) {\nVar a = p0; Var b = p1; Var c = 0; Var d = 0.5; "
                "Var i; Var j;\n";
        int loops = 1 + Pick(2);
        for (int loop = 0; loop < loops; ++loop) {
            text += Pick(2) == 0
                        ? "For (i = 0; i < " + std::to_string(2 + Pick(12)) + "; i++) {\n"
                        : "j = " + std::to_string(2 + Pick(12)) + ";\nWhile (j > 0) {\nj--;\n";
            // Bound by its first assignment: the call's own local unless q is a global.
            if (Pick(2) == 0) text += "q = " + Operand() + ";\n";
            int statements = 1 + Pick(6);
            for (int k = 0; k < statements; ++k)
                text += Statement();
            text += "}\n";
        }
        text += "Return a + \"/\" + b + \"/\" + c + \"/\" + d + \"/\" + p0;\n}\n";
        text += "Print(F(3, 7));\nPrint(F(2.5, -1));\nPrint(F(2147483647, 0));\n"
                "Print(F(\"5\", 0 - 2147483647 - 1));\nPrint(g);\n";
        return text;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    std::string Target() { return Pick(7) == 0 ? "p0" : std::string(1, "abcdg"[Pick(5)]); }

    std::string Operand() {
        static const char* const kOperands[] = {"a",          "b",   "c",    "d",     "i",  "p0",
                                                "p1",         "g",   "0",    "1",     "-1", "3",
                                                "2147483647", "0.5", "2.25", "-0.75", "0.0"};
        return kOperands[Pick(int(std::size(kOperands)))];
    }

    std::string Statement() {
        static const char* const kOperators[] = {
            "=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="};
        switch (Pick(11)) {
        case 0:
            return Target() + (Pick(2) == 0 ? "++" : "--") + ";\n";
        case 9:
        case 10: {
            // A condition of a variable and an operand, on any kinds, and its branches.
            static const char* const kConditions[] = {
                "<", ">", "<=", ">=", "==", "!=", "/", "%", "&", "-"};
            const std::string left = Pick(6) == 0 ? "p0" : std::string(1, "abcdi"[Pick(5)]);
            return "If (" + left + " " + kConditions[Pick(int(std::size(kConditions)))] + " " +
                   Operand() + ") " + Target() + "++;\nElse " + Target() + " -= 1;\n";
        }
        case 1: {
            static const char* const kChanges[] = {"2.5", "\"4\"", "0", "2147483647", "-1"};
            return "If (i == " + std::to_string(Pick(4)) + ") " + Target() + " = " +
                   kChanges[Pick(int(std::size(kChanges)))] + ";\n";
        }
        case 2:
        case 3: {
            // "slot = slot op operand", with any operator a number statement takes.
            static const char* const kPairOperators[] = {"+",  "-",  "*",  "/", "%",  "<<",
                                                         ">>", "&",  "|",  "^", "&&", "||",
                                                         ">=", "<=", "==", "<", ">",  "!="};
            return Target() + (Pick(3) == 0 ? " += " : " = ") + std::string(1, "abcdi"[Pick(5)]) +
                   " " + kPairOperators[Pick(int(std::size(kPairOperators)))] + " " + Operand() +
                   ";\n";
        }
        default:
            return Target() + " " + kOperators[Pick(int(std::size(kOperators)))] + " " + Operand() +
                   ";\n";
        }
    }

    std::mt19937 random_;
};

// A function whose body declares its variables in rows ("Var name = value;" one after
// the other, each value of parameters, the row's earlier names, a global and literals),
// between statements that print, post an event or change a global, called with every kind
// of argument and many times over: integers at their edges, doubles, texts, nothing and
// zero divisors stop a row at each of its declarations in turn, and the events and
// housekeeping checks fall between them.
class DeclarationsMaker {
public:
    explicit DeclarationsMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        std::string text = "g = 2;\nFunction H(x) { g = g + 1; Print(\"event\", x, g); }\n";
        text += "Function F(p0, p1) {\n";
        int rows = 1 + Pick(3);
        for (int row = 0; row < rows; ++row) {
            // Now and then a row longer than the statements between two checks.
            int count = Pick(5) == 0 ? 9 + Pick(14) : 2 + Pick(4);
            for (int k = 0; k < count; ++k) {
                text += "Var v" + std::to_string(names_) + " = " + Value() + ";\n";
                ++names_;
            }
            switch (Pick(4)) {
            case 0:
                text += "Print(v" + std::to_string(Pick(names_)) + ");\n";
                break;
            case 1:
                text += "If (p0 == 3) Post(H, v" + std::to_string(Pick(names_)) + ");\n";
                break;
            case 2:
                text += "g = " + Operand() + ";\n";
                break;
            default:
                break;
            }
        }
        text += "Return v" + std::to_string(names_ - 1) + " + \"/\" + v0;\n}\n";
        text += "Var n;\nFor (n = 0; n < 12; n++) {\nPrint(F(n + 1, n * 2 - 7));\n}\n";
        text += "Print(F(2147483647, 2));\nPrint(F(2.5, -1));\nPrint(F(\"5\", 0));\n"
                "Print(F(0 - 2147483647 - 1, -1));\nPrint(F(3));\nPrint(g);\n";
        return text;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    std::string Operand() {
        // The last three now and then.
        static const char* const kOperands[] = {"p0", "p1", "1", "3", "-2", "7", "0", "g", "0.5"};
        if (names_ > 0 && Pick(2) == 0) return "v" + std::to_string(Pick(names_));
        return kOperands[Pick(int(std::size(kOperands)) - (Pick(6) == 0 ? 0 : 3))];
    }

    // An operand, or two or three joined by number operators, parenthesised now and then.
    std::string Value() {
        static const char* const kOperators[] = {"+", "-", "*", "/", "%",  "<<", ">>",
                                                 "&", "|", "^", "<", "==", "!=", "&&"};
        std::string value = Operand();
        int joined = Pick(3);
        for (int k = 0; k < joined; ++k) {
            std::string next =
                std::string(" ") + kOperators[Pick(int(std::size(kOperators)))] + " " + Operand();
            value = Pick(3) == 0 ? "(" + value + ")" + next : value + next;
        }
        return Pick(8) == 0 ? "-(" + value + ")" : value;
    }

    std::mt19937 random_;
    int names_ = 0;
};

// A function whose statements on its locals call functions run in full among integer
// operands: callees giving integers, doubles, texts, nothing or an array, failing inside,
// changing the global the statement may assign, posting events, and recursing. Each call is
// made once, where the walk makes it, and the rest of its statement goes on from its result.
class CallingStatementsMaker {
public:
    explicit CallingStatementsMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        std::string text =
            "g = 3; list[0] = 1;\n"
            "Function Handler(x) { g = g + 1; Print(\"event\", x, g); }\n"
            "Function Twice(x, y) { Var z = x * 2; Return z - y; }\n"
            "Function Dbl(x, y) { Var z = x; Return z * 0.5 + y; }\n"
            "Function Txt(x, y) { Var z = x; Return \"t\" + z; }\n"
            "Function Nada(x, y) { Var z = x; }\n"
            "Function Arr(x, y) { Var z = x; Return list; }\n"
            "Function Fail(x, y) { Var z = x; If (y == 2 && x == 5) Raise(9); Return z % y; }\n"
            "Function SetG(x, y) { g = x + y; Var z = g; Return z; }\n"
            "Function Later(x, y) { Post(Handler, x); Var z = y; Return z; }\n"
            "Function Rec(n, k) { Var z = n % 7; If (k <= 0) Return z; "
            "z = z + Rec(n + 1, k - 1); z = Rec(z, k - 2) - z; Return z; }\n";
        text += "Function F(p0, p1) {\nVar a = p0; Var b = p1; Var c = 2; Var t = 1; Var i;\n";
        text += "For (i = 0; i < " + std::to_string(1 + Pick(4)) + "; i++) {\n";
        int statements = 2 + Pick(5);
        for (int k = 0; k < statements; ++k)
            text += Statement();
        text += "}\nReturn a + \"/\" + b + \"/\" + c + \"/\" + t + \"/\" + g;\n}\n";
        // Those most likely to fail last.
        text += "Print(Rec(2, " + std::to_string(2 + Pick(6)) + "));\n";
        text += "Print(F(3, 7));\nPrint(F(-4, 1));\nPrint(F(2147483000, 1));\n";
        text += "Print(F(2.5, 3));\nPrint(F(\"x\", 1));\n";
        return text;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    std::string Slot() { return std::string(1, "abct"[Pick(4)]); }

    // A slot, an integer or a slot and an integer joined: what the call takes in one step.
    std::string Argument() {
        static const char* const kIntegers[] = {"0", "1", "2", "5", "-3"};
        switch (Pick(4)) {
        case 0:
            return kIntegers[Pick(int(std::size(kIntegers)))];
        case 1:
            return Slot() + (Pick(2) == 0 ? " + " : " - ") + std::to_string(Pick(3));
        default:
            return Slot();
        }
    }

    std::string Call() {
        // Mostly integers; the others now and then.
        static const char* const kCallees[] = {"Twice", "Rec", "SetG", "Later", "Fail",
                                               "Dbl",   "Txt", "Nada", "Arr"};
        const int callee = Pick(10) < 7 ? Pick(5) : 5 + Pick(4);
        if (callee == 1) return "Rec(" + Argument() + ", " + std::to_string(Pick(4)) + ")";
        return std::string(kCallees[callee]) + "(" + Argument() + ", " + Argument() + ")";
    }

    std::string Operand() {
        switch (Pick(6)) {
        case 0:
        case 1:
            return Call();
        case 2:
            return std::to_string(Pick(9));
        case 3:
            return Pick(8) == 0 ? "g" : Slot();
        default:
            return Slot();
        }
    }

    std::string Expression() {
        static const char* const kOperators[] = {"+", "-",  "*",  "/", "%",  "&",  "|",
                                                 "^", "<<", ">>", "<", "==", "&&", "||"};
        std::string text = Operand();
        int operators = Pick(4);
        for (int k = 0; k < operators; ++k) {
            // Division mostly by literals, which cannot fail once a call is made.
            int op = Pick(int(std::size(kOperators)));
            std::string next =
                (op == 3 || op == 4) && Pick(3) != 0 ? std::to_string(1 + Pick(5)) : Operand();
            text += std::string(" ") + kOperators[op] + " " + next;
            if (Pick(5) == 0) text = "(" + text + ")";
        }
        return Pick(10) == 0 ? "-(" + text + ")" : text;
    }

    std::string Statement() {
        static const char* const kAssignments[] = {"=", "=", "=", "+=", "-=", "*=", "%="};
        switch (Pick(8)) {
        case 0:
            return "If (" + Expression() + ") c = c + 1;\n";
        case 1:
            return "g = g + " + Call() + ";\n";
        default:
            return Slot() + " " + kAssignments[Pick(int(std::size(kAssignments)))] + " " +
                   Expression() + ";\n";
        }
    }

    std::mt19937 random_;
};

class ReferenceWalk : public ProgramRunsTest {
protected:
    // Runs `count` programs from `firstSeed` on both ways; the first difference fails.
    // Programs that do not compile, or that all end early, would prove nothing: every one
    // compiles and a good share run to their end.
    static void Compare(uint32_t firstSeed, uint32_t count, bool plain = false,
                        bool topLevel = false, bool recursion = false, bool members = false,
                        bool elements = false) {
        uint32_t ended = 0;
        uint32_t compiled = 0;
        for (uint32_t seed = firstSeed; seed < firstSeed + count; ++seed) {
            std::string source =
                topLevel ? ProgramMaker(seed, true).MakeTopLevel()
                         : ProgramMaker(seed, plain, recursion, members, elements).Make();
            Outcome fast = RunProgram(source, Way::kFast);
            Outcome reference = RunProgram(source, Way::kReference);
            Outcome fromCode = RunProgram(source, Way::kCompiled);
            compiled += fromCode.compiled;
            ASSERT_NO_FATAL_FAILURE(SameAsReference(fromCode, reference, seed, source));
            ASSERT_NE(fast.output, "does not compile") << "seed " << seed << "\n" << source;
            ended += fast.code == 0 ? 1 : 0;
            ASSERT_NO_FATAL_FAILURE(SameAsReference(fast, reference, seed, source));
        }
        // A top level runs more statements, and its handler many times: more of them fail;
        // the calls of D, and members, end a few more; elements fail in more ways
        // (missing, out of bounds, of another shape).
        EXPECT_GE(ended, topLevel || elements ? count / 5 : count / (recursion || members ? 4 : 3));
        // Every program has R, which compiles; plain ones have three more.
        EXPECT_GE(compiled, plain ? count * 3 : count / 2);
    }

    // The programs `make` writes for `count` seeds from `firstSeed`, compiled against the
    // reference walk; at least `minimumEnded` of them must run to their end.
    template <class Make>
    static void CompareMade(uint32_t firstSeed, uint32_t count, uint32_t minimumEnded, Make make) {
        uint32_t ended;
        ASSERT_NO_FATAL_FAILURE(CompareWithTheWalk(firstSeed, count, 1, make, ended));
        EXPECT_GE(ended, minimumEnded);
    }

    // Each body as the body of F(p0) between `prelude` and `calls`: compiled, its values,
    // output and errors come out as the reference walk makes them.
    template <size_t N>
    static void ExpectBodiesAgree(const char* prelude, const char* const (&bodies)[N],
                                  const char* calls) {
        for (const char* body : bodies) {
            std::string source =
                std::string(prelude) + "Function F(p0) { " + body + " }\n" + std::string(calls);
            Outcome reference = RunProgram(source, Way::kReference);
            Outcome fromCode = RunProgram(source, Way::kCompiled);
            EXPECT_GE(fromCode.compiled, 1u) << source;
            ASSERT_NO_FATAL_FAILURE(SameAsReference(fromCode, reference, 0, source));
        }
    }
};

// 10,000 programs in five parts, so that ctest can run them side by side.
TEST_F(ReferenceWalk, RandomProgramsPart1) {
    Compare(1, 2000);
}
TEST_F(ReferenceWalk, RandomProgramsPart2) {
    Compare(2001, 2000);
}
TEST_F(ReferenceWalk, RandomProgramsPart3) {
    Compare(4001, 2000);
}
TEST_F(ReferenceWalk, RandomProgramsPart4) {
    Compare(6001, 2000);
}
TEST_F(ReferenceWalk, RandomProgramsPart5) {
    Compare(8001, 2000);
}
// Programs whose functions the compiler covers, compiled against the reference walk.
TEST_F(ReferenceWalk, PlainFunctionsPart1) {
    Compare(20001, 2000, true);
}
TEST_F(ReferenceWalk, PlainFunctionsPart2) {
    Compare(22001, 2000, true);
}
// And with array elements read, written and made among their operands and targets.
TEST_F(ReferenceWalk, PlainFunctionsWithElementsPart1) {
    Compare(50001, 2000, true, false, false, false, true);
}
TEST_F(ReferenceWalk, PlainFunctionsWithElementsPart2) {
    Compare(52001, 2000, true, false, false, false, true);
}

// Programs whose top levels and event handlers the compiler covers, against the
// reference walk.
TEST_F(ReferenceWalk, TopLevelsAndHandlersPart1) {
    Compare(30001, 2000, true, true);
}
TEST_F(ReferenceWalk, TopLevelsAndHandlersPart2) {
    Compare(32001, 2000, true, true);
}

// Programs with a recursion whose arguments are calls, of itself too: a call's arguments
// are filled while those of later arguments run.
TEST_F(ReferenceWalk, RecursionWithCallsInArguments) {
    Compare(34001, 2000, true, false, true);
}

// Plain functions with members, methods, New and Delete, compiled against the reference walk.
TEST_F(ReferenceWalk, MemberFunctionsPart1) {
    Compare(40001, 2000, true, false, false, true);
}
TEST_F(ReferenceWalk, MemberFunctionsPart2) {
    Compare(42001, 2000, true, false, false, true);
}

// Members after elements and parentheses, members with an index list, Var of an element
// and a method named through a class: the bodies compile, and each value and error comes
// out as the walk makes it, for an object, a number, a text and nothing in the places.
TEST_F(ReferenceWalk, IndexedAndParenthesizedMembersAgreeWithTheWalk) {
    const char* const bodies[] = {
        "Var a[0] = p0; a[1] = New Obj(p0); a[1].x += 2; a[1].y++; Return a[1].x * 10 + a[1].y;",
        "Var a[0] = p0; a[1] = New Obj(p0); Return a[0].x;",
        "Var a[0] = p0; Return a[1].x;",
        "Var a[0] = p0; Return a[0].Length() + a[0].ToUpperCase();",
        "Var a[0] = New Obj(p0); a[0].k[1] = 2; a[0].k[0] = p0; a[0].k[1] *= a[0].k[0]; "
        "Return a[0].k[1] + a[0].k[0];",
        "Var o = New Obj(p0); Return (o).x + (o.y + 1) + (New Obj(3)).x;",
        "Var o = New Obj(p0); Return (o.x).y;",
        "Var o = New Obj(p0); o.k[0] = p0; Return o.k[p0 & 0] + o.k[1];",
        "Var o = New Obj(p0); o.k[0] = p0; o.x.k[0]; Return 1;",
        "Var o = New Obj(p0); o.in = New Obj(p0 * 2); o.in.k[0, 1] = 5; "
        "Return o.in.k[0, 1] + This.g[0];",
        "Var v[0] = New Vector(p0, 2, 3); v[0].AddVector(New Vector(1, 1, 1)); "
        "Return v[0].GetX() + (v[0]).GetY();",
        "Var n = p0; Return n + Vector.GetX(n);",
        "Var n = p0; Var a[n] = n * 2; Return a[n];",
        "Var n = p0; Var a[n]; Return n;",
        "Var k = p0; Var o = New Obj(1); o.x = 1; Return o.fresh[k] + 1;",
    };
    ExpectBodiesAgree("Function Obj(x) { This.x = x; This.y = 2; }\n", bodies,
                      "g[0] = 7;\nPrint(F(4));\nPrint(F(\"ab\"));\n");
}

// Compiled steps whose quick paths give way: each error must stand where the walk raises
// it, and each value a double literal meets must come out as the walk makes it.
TEST_F(ReferenceWalk, CompiledStepsThatGiveWayAgreeWithTheWalk) {
    const char* const bodies[] = {
        // A condition without a number fails at the token after it.
        "If (missing) Return 1; Return 2;",
        "Var t = \"a\"; While (t) t = 0; Return t;",
        // Doubles: an integer, a text and a zero divisor beside a double literal.
        "Var x = 3; x = x * 2.5; Return x;",
        "Var x = 3; Return x / 0.0;",
        "Var x = 1.5; x = x / 0.0; Return x;",
        "Var x = \"7\"; Return x - 0.5;",
        "Var x = 2.5; Var y = 0.25; y = y + x * 0.5 - 1.25; Return y < 1.5;",
        "Var x = 4.5; Return (x > 2.5) + x % 2.5;",
        // Calls: arguments in new frames, and a body answered without entering it.
        "Return Q(p0, 2.5) + Q(Q(1, 2), Q(3, p0));",
        "Return Q(p0, unknown);",
        // Calls worked out inside integer statements and conditions, and given up there.
        ("Var s = 0; Var i; For (i = 0; i < 3; i++) s = s + Q(i, p0) * Q(Q(i, 1), 2); "
         "If (Q(s, 1) > 0) Return s; Return -s;"),
        "Var s = 1; While (Q(s, 0) < 50) s = s + Q(s, 1); s = s - Q(s, nothing); Return s;",
        "Var s = 5; s = s + Q(s, 2147483000) * Q(); Return s;",
    };
    ExpectBodiesAgree("Function Q(x, y) { Return x * 3 - y; }\n", bodies,
                      "Print(F(4));\nPrint(F(2.5));\n");
}

// Statements, steps and conditions worked out on plain numbers: each value and kind as
// CValue makes it, with integers and doubles mixed, at the edges of both, and each error
// where the walk raises it.
TEST_F(ReferenceWalk, CompiledNumbersAgreeWithTheWalk) {
    const char* const bodies[] = {
        "Var x = p0; Var y = 0; y = x * 2 + 1; y += x / 4; y -= 0.25; Return y;",
        "Var a = p0; Var b = 0; b = ((a * 0.5) - (1 - a)) * ((a + 0.25) / (a - 0.25)); Return b;",
        // Infinity and not-a-number: comparisons, truth and integers of them.
        "Var b = 1000000.0; Var i; For (i = 0; i < 60; i++) b = b * b; Var n = b - b; "
        "Var c = 0; c = (n == n) + (n != n) * 10 + (n < 1) * 100 + (n && 1) * 1000 + (b | 0); "
        "c = c + (~n) + (n >= n) * 7; Return c;",
        // Integers wrap, and the one quotient that does not fit is itself.
        "Var m = 0 - 2147483647 - 1; Var q = 0; q = m / -1; q += m % -1; Var r = 2147483647; "
        "r++; r = r + (q == m) * 2 - 2147483647 * 3; Return r;",
        // A double's truth is its integer: 0.5 is false.
        "Var h = p0 - 2; Var z = 0; z = (h && 1) + (h || 0) * 2 + !h * 4 + !0.0 * 8 + ~h * 16 + "
        "(p0 && 0.5) * 64 + -h * 128; Return z;",
        "Var a = p0; a += 1; a -= 0.5; a *= 3; a /= 2; a %= 4; a &= 7; a |= 8; a ^= 3; a <<= 2; "
        "a >>= 1; Return a;",
        "Var a = p0; a %= -1.5; a = a - 7 % -2 + 7.5 % 2; Return a;",
        "Var d = p0; d++; d--; d++; Var e = 0; e = d++; Return e * 10 + d;",
        "Var s = 0; Var i; For (i = 0.5; i < p0 + 0.25; i++) s += i; Return s;",
        "Var x = p0; Var k = 0; While (x) { x = x - 0.5; k++; If (k > 20) Return -1; } Return k;",
        "If (p0 > 3.5) Return 1; If (p0 == 2.5) Return 2.5; Return 3;",
        "Var s = 0; s = g * p0 + g; s += g; If (g < s) s = s - g; Return s;",
        "w = p0 * 0.5; w += 1; w = w * w; Return w;",
        "Var s = 0; s = Q(p0, 1) + 0.5; s += Q(2, 1); Return s;",
        // Errors inside them stand where the walk raises them.
        "Var a = p0; a /= 0; Return a;",
        "Var a = p0; a = a % (p0 - p0); Return a;",
        "Var a = 2; Var t = \"7\"; a = a * t; Return a;",
        "Var t = \"a\"; Var a = 0; a = -t + 1; Return a;",
        "Var t = \"a\"; t += p0; t -= 1; Return t;",
        "Var s = 0; Var i; For (i = 0; i < p0 / (p0 - 4); i++) s++; Return s;",
    };
    ExpectBodiesAgree("Function Q(x, y) { Return x * 3 - y; }\n", bodies,
                      "g = 1.5;\nPrint(F(4));\nPrint(F(2.5));\n");
}

// Statements of numbers whose variables change kind between rounds, compiled against the
// reference walk: integers, then doubles, then texts and zero divisors met by the same
// statement.
TEST_F(ReferenceWalk, NumberStatementsOverRoundsOfChangingKinds) {
    CompareMade(60001, 2000, 2000 / 5,
                [](uint32_t seed) { return NumberRoundsMaker(seed).Make(); });
}

// Statements on one variable done in one step, compiled against the reference walk:
// each value, kind and error as the walk makes it, and the checks between statements
// paced alike. A text parameter, texts met later and zero divisors end many.
TEST_F(ReferenceWalk, SlotStatementsAgreeWithTheWalk) {
    CompareMade(70001, 2000, 2000 / 6,
                [](uint32_t seed) { return SlotStatementsMaker(seed).Make(); });
}

// The same with elements among the operands, whose cells change kind, grow or hold a text
// from one round to the next.
TEST_F(ReferenceWalk, NumberStatementsWithElementsOverRoundsOfChangingKinds) {
    CompareMade(64001, 2000, 2000 / 5,
                [](uint32_t seed) { return NumberRoundsMaker(seed, true).Make(); });
}

// The same statements with calls among their operands: functions answered from their
// Return, run in full, with effects on what the expression reads, posting events, and a
// call site whose function changes between rounds. Each statement works its calls out
// once and in the walk's order, whether the number code gave it up or not.
TEST_F(ReferenceWalk, NumberStatementsWithCallsOverRounds) {
    CompareMade(62001, 1500, 1500 / 5,
                [](uint32_t seed) { return NumberRoundsMaker(seed, false, true).Make(); });
}

// The same with more calls of functions answered from their Return, which the registers
// call: their site's function replaced between rounds by one run in full, a text or one whose
// Return fails, their arguments of every kind and their results doubles now and then.
TEST_F(ReferenceWalk, NumberStatementsWithAnsweredCallsOverRounds) {
    CompareMade(66001, 1500, 1500 / 6,
                [](uint32_t seed) { return NumberRoundsMaker(seed, false, false, true).Make(); });
}

// Rows of declarations at the top of a body and between its statements, which run as one
// program while nothing stops them: each declaration is counted and ends as the walk ends it,
// and the one that meets what integers cannot take, with those after it, takes its own steps.
// The maker's draws inside one expression come in an order each compiler chooses, so a seed
// makes other programs under another compiler; a ninth of them run to their end under each.
TEST_F(ReferenceWalk, RowsOfDeclarationsAgreeWithTheWalk) {
    CompareMade(74001, 2000, 2000 / 9,
                [](uint32_t seed) { return DeclarationsMaker(seed).Make(); });
}

// Statements whose number code calls functions run in full: each call made once and in the
// walk's order, the statement finished from its result whatever its kind, errors inside the
// callees and past the limit of calls where the walk raises them, and the checks between
// statements paced alike.
TEST_F(ReferenceWalk, NumberStatementsCallingFunctionsRunInFull) {
    CompareMade(78001, 1500, 1500 / 10,
                [](uint32_t seed) { return CallingStatementsMaker(seed).Make(); });
}

} // namespace
