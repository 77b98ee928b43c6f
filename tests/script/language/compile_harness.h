// Compiles script text from memory with a fixed set of test classes and reads back what
// the compiler made: the records, their targets, the block records and the error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/language/token_compiler.h"

namespace script_test {

// Registers the test classes' name tables for the life of the object:
//   Math (2):     Abs, Sin (bare, class 2), Floor (no bare), PI (constant, bare 2)
//   Sprite (1):   Move, X
//   Window (58):  WriteLn, Clear (bare, CurWindow 96), Show
//   Program (56): End (bare 56)
class TestClasses {
public:
    TestClasses();
    ~TestClasses();
    TestClasses(const TestClasses&) = delete;
    TestClasses& operator=(const TestClasses&) = delete;
};

struct Record {
    uint32_t offset = 0;
    uint16_t code = 0;
    uint16_t size = 0;
    bool positioned = false;
    uint32_t unit = 0;     // of the position
    uint32_t position = 0; // byte offset in the unit's text
    uint32_t target = 0;   // target records; unit argument of a tokenized Function
    uint32_t blockIndex = 0;
    std::string name;    // names, members and a tokenized Function
    int32_t integer = 0; // integer literals; argument of a unit marker
    double number = 0;   // floating-point literals
    std::string text;    // string literals
};

class CompileHarness {
public:
    // The project uses these classes (all four test classes by default).
    explicit CompileHarness(const std::vector<std::string>& classes = {"Math", "Sprite", "Window",
                                                                       "Program"});

    void AddUnit(const std::string& text, uint32_t flags = kUnitOwnsText,
                 const char* name = nullptr, uint32_t argument = 0);
    // Compiles (or only tokenizes) the units added so far, or the one text given.
    bool Compile();
    bool Compile(const std::string& text);
    bool Tokenize(const std::string& text, uint32_t flags = kUnitOwnsText);

    const CTokenInfos& Result() const { return result_; }
    std::vector<Record> Records() const;
    // The records in a compact text form: names as they are, members ".x", calls and
    // elements "f(" "a[" ".m(" ".a[", class tokens "<Math>", literals "5", "h5", "1.5",
    // '"abc"', keywords and punctuation by their text, the end record left out.
    std::string Text() const;
    Record At(uint32_t offset) const;
    const BlockRecord& Block(uint32_t index) const { return *result_.GetBlock(index); }

    int32_t ErrorCode() const { return result_.GetErrorCode(); }
    int32_t ErrorLine() const;
    int32_t ErrorColumn() const;
    std::string ErrorUnit() const;
    std::string Caption() const;

private:
    TestClasses classes_;
    CTokenCompiler compiler_;
    CTokenInfos result_;
    CTokenInfos pending_;
    bool tokenized_ = false;
};

// The text form of one record (see CompileHarness::Text).
std::string RecordText(const Record& record);

} // namespace script_test
