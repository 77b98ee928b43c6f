// A script with its expected outcome, as script tests state it in comments:
//   // expect: end                             the run ends normally
//   // expect: error 41 line 3 column 5        the run (or the compile) fails so; line
//                                             and column (counted from 1) and
//                                             "subcode N" are optional
//   // expect output: text                     one printed line, in order
//   // expect file NAME: text                  one line of the file NAME that the run
//                                             leaves in its folder, in order (line ends
//                                             CR LF or LF)
// Lines are counted from the script's first line.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>

#include "script/script_runner.h"

namespace script_test {

struct ScriptCase {
    std::string name;
    std::string source;
    bool expectEnd = false;
    // Whether a "// expect:" line was seen.
    bool outcomeStated = false;
    int32_t code = 0;
    int32_t line = 0;     // from 1; 0 = not checked
    int32_t column = 0;   // from 1; 0 = not checked
    int64_t subCode = -1; // -1 = not checked
    std::string output;
    // File name -> the lines expected in it, each ended by "\n".
    std::map<std::string, std::string> files;
    // The project data the run opens (the banks scripts reach); empty for none.
    std::string project;
};

// Failures name the case rather than dumping its bytes.
void PrintTo(const ScriptCase& script, std::ostream* out);

// Takes the expectation a source line states, if it states one.
void ParseExpectation(ScriptCase& script, const std::string& line);

// Runs the script with the real interpreter and checks the outcome it states; with
// `referenceWalk`, the interpreter takes its reference walk alone; with `compiled`, it
// runs script functions from their compiled code.
void RunAndCheck(const ScriptCase& script, bool referenceWalk = false, bool compiled = false);

} // namespace script_test
