// Random programs that build texts piece by piece and share them between variables,
// elements and members before changing them again, run the three ways. Sharing a text
// block shows no difference between the ways when it is wrong for all of them, so the
// maker keeps what each text must hold and every way must print exactly that: a change
// made through one holder that shows through another, a length out of step with the
// text, or a text freed while shared (caught by the sanitizers) fails here.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "../interpreter/program_runs.h"

namespace {

using namespace program_runs;

constexpr int kHolders = 8;

class TextProgramMaker {
public:
    explicit TextProgramMaker(uint32_t seed) : random_(seed) {}

    // In a function with locals, or (`topLevel`) over globals.
    std::string Make(bool topLevel) {
        std::string text = "Function Obj() { This.m0 = \"\"; This.m1 = \"\"; }\n";
        std::string body;
        for (int k = 0; k < 4; ++k)
            body += std::string(topLevel ? "" : "Var ") + "v" + std::to_string(k) + " = \"\";\n";
        body += std::string(topLevel ? "" : "Var ") + "n = 0;\n";
        body += std::string(topLevel ? "" : "Var ") + "d = 0.5;\n";
        body += "a[0] = \"\"; a[1] = \"\";\no = New Obj();\n";
        body += "For (i = 0; i < 3; i++) {\n    n = i + 7;\n    Var p = \"q\" + i;\n";
        int statements = 3 + Pick(8);
        for (int n = 0; n < statements; ++n)
            body += "    " + Statement() + "\n";
        for (const char* method : {"", ".Length()"}) {
            body += "    Print(";
            for (int k = 0; k < kHolders; ++k)
                body += std::string(k == 0 ? "" : ", ") + Holder(k) + method;
            body += ");\n";
        }
        body += "}\n";
        if (topLevel) {
            text += body;
        } else {
            text += "Function Main() {\n" + body + "}\nMain();\n";
        }
        return text;
    }

private:
    int Pick(int count) { return int(random_() % uint32_t(count)); }

    static std::string Holder(int k) {
        static const char* const kNames[kHolders] = {"v0",   "v1",   "v2",   "v3",
                                                     "a[0]", "a[1]", "o.m0", "o.m1"};
        return kNames[k];
    }

    // A piece to append: a literal text, or the round's number.
    std::string Piece(int round, std::string& value) {
        if (Pick(3) == 0) {
            value = std::to_string(round);
            return "i";
        }
        value = std::string(1, char('a' + Pick(3))) + std::string(size_t(Pick(3)), 'x');
        return "\"" + value + "\"";
    }

    // Every occurrence of `piece` goes, left to right without overlap.
    static std::string Without(const std::string& text, const std::string& piece) {
        std::string result;
        size_t from = 0;
        for (size_t found; (found = text.find(piece, from)) != std::string::npos;
             from = found + piece.size())
            result += text.substr(from, found - from);
        return result + text.substr(from);
    }

    // One statement, kept for the model to replay in each of the three rounds.
    std::string Statement() {
        int target = Pick(kHolders);
        int other = Pick(kHolders);
        int form = Pick(9);
        std::string pieceValues[3];
        std::string pieces[3];
        for (int r = 0; r < 3; ++r) {
            std::mt19937 saved = random_;
            pieces[r] = Piece(r, pieceValues[r]);
            if (r < 2) random_ = saved;
        }
        // The same random draw for every round, but the round's number differs.
        std::string piece = pieces[0];
        std::string t = Holder(target);
        std::string statement;
        switch (form) {
        case 0:
            statement = t + " = " + Holder(other) + ";";
            break;
        case 1:
            statement = t + " = " + Holder(other) + " + " + piece + ";";
            break;
        case 2:
            statement = t + " += " + piece + ";";
            break;
        case 3:
            statement = t + " = " + piece + " + " + t + ";";
            break;
        case 4:
            statement = t + " = " + t + " + " + Holder(other) + ";";
            break;
        case 6:
            statement = t + " = " + t + " + n;";
            break;
        case 7:
            statement = t + " = " + t + " + d;";
            break;
        case 8:
            // A Var of the loop's block, a slot bound as the block runs.
            statement = t + " = " + t + " + p;";
            break;
        default:
            statement = t + " -= " + piece + ";";
            break;
        }
        steps_.push_back({form, target, other, {pieceValues[0], pieceValues[1], pieceValues[2]}});
        return statement;
    }

public:
    // The texts every way must print.
    std::string Expected() {
        std::string values[kHolders];
        std::string out;
        for (int r = 0; r < 3; ++r) {
            for (const Step& step : steps_) {
                std::string& t = values[step.target];
                const std::string& p = step.pieces[r];
                switch (step.form) {
                case 0:
                    t = values[step.other];
                    break;
                case 1:
                    t = values[step.other] + p;
                    break;
                case 2:
                    t += p;
                    break;
                case 3:
                    t = p + t;
                    break;
                case 4:
                    t = t + values[step.other];
                    break;
                case 6:
                    t += std::to_string(r + 7);
                    break;
                case 7:
                    t += "0.5";
                    break;
                case 8:
                    t += "q" + std::to_string(r);
                    break;
                default:
                    t = Without(t, p);
                    break;
                }
            }
            for (const std::string& value : values)
                out += " 2:" + value;
            out += "\n";
            for (const std::string& value : values)
                out += " 0:" + std::to_string(value.size());
            out += "\n";
        }
        return out;
    }

private:
    struct Step {
        int form;
        int target;
        int other;
        std::string pieces[3];
    };
    std::vector<Step> steps_;
    std::mt19937 random_;
};

class TextPrograms : public ProgramRunsTest {
protected:
    static void Check(uint32_t firstSeed, uint32_t count, bool topLevel) {
        for (uint32_t seed = firstSeed; seed < firstSeed + count; ++seed) {
            TextProgramMaker maker(seed);
            const std::string source = maker.Make(topLevel);
            const std::string expected = maker.Expected();
            for (Way way : {Way::kFast, Way::kReference, Way::kCompiled}) {
                const Outcome outcome = RunProgram(source, way);
                ASSERT_EQ(outcome.code, 0) << "seed " << seed << " way " << int(way) << "\n"
                                           << source;
                ASSERT_EQ(outcome.output, expected)
                    << "seed " << seed << " way " << int(way) << "\n"
                    << source;
            }
        }
    }
};

TEST_F(TextPrograms, InFunctionsHoldWhatTheyWereGiven) {
    Check(1, 300, false);
}

TEST_F(TextPrograms, AtTheTopLevelHoldWhatTheyWereGiven) {
    Check(5001, 300, true);
}

} // namespace
