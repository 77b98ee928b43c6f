// The compiler of script source: the tokenizer cuts every unit into token records, the
// link pass checks the syntax statement by statement, copies the records into the final
// stream and writes the jump targets and block records the interpreter needs.
#pragma once

#include <cstdint>

#include "script/classes/class_lookup.h"
#include "script/classes/class_table.h"
#include "script/language/token_infos.h"

class PtrArray;

class CTokenCompiler : public CTokenInfos {
public:
    // A name or member is cut at this many bytes; the rest reads as the next word.
    static constexpr uint32_t kMaxWordLength = 255;
    // Statements and expressions nested deeper than this are syntax error 16, so that no
    // source can exhaust the stack of the compiler (or of the interpreter later).
    static constexpr uint32_t kMaxNesting = 1000;

    // `option` is the interpreter's first construction argument, kept for it.
    explicit CTokenCompiler(uint32_t option = 0);
    ~CTokenCompiler() override;

    // Builds the interpreter class's lookup (keywords and punctuation), then for every
    // built-in class whose name is in `classNames` (items are const char*, compared
    // exactly) files the class name as a keyword and builds the class's own lookup from
    // its registered name table. 1, or 0 when memory runs out.
    int BuildClassLookups(const PtrArray& classNames);

    // Takes the units of `out`, tokenizes them in index order, links the records and
    // moves the result back into `out`: the final stream, block table, name table and
    // units, or on failure what there is with the pending error. Returns 1 or 0.
    int Compile(CTokenInfos& out);
    // The same without the link pass: `out` receives the tokenizer's records.
    int Tokenize(CTokenInfos& out);

    uint32_t GetOption() const { return option_; }
    // Null for a class that the project does not use.
    const CClassLookup* GetClassLookup(uint32_t classId) const;
    const MethodNameRow* GetClassTable(uint32_t classId) const;
    const char* GetClassName(uint32_t classId) const;

private:
    int Run(CTokenInfos& out, bool link);
    void FreeLookups();

    // Tokenizer (tokenizer.cpp).
    void TokenizeUnits();
    void TokenizeUnit(uint32_t index);
    const unsigned char* ReadName(const unsigned char* p);
    const unsigned char* ReadNameWord(const unsigned char* p, uint32_t* hash);
    const unsigned char* ReadMember(const unsigned char* nameStart, const unsigned char* p);
    const unsigned char* ReadFunction(const unsigned char* start, const unsigned char* p);
    const unsigned char* ReadNumber(const unsigned char* p);
    const unsigned char* ReadPunctuation(const unsigned char* p);
    const unsigned char* ReadString(const unsigned char* p);
    void WriteKeyword(uint16_t code, const unsigned char* start);
    void WriteName(uint16_t code, const unsigned char* start);
    uint32_t WordNameId();
    [[noreturn]] void FailAt(int32_t code, const unsigned char* p);
    TokenPosition PositionOf(const unsigned char* p) const {
        return {uint32_t(reinterpret_cast<const char*>(p) - sourceText_), unitIndex_};
    }

    // Link pass (link_statements.cpp, link_expressions.cpp).
    void Link();
    void LinkStatement();
    void LinkExpressionStatement();
    void LinkFor();
    void LinkWhile();
    void LinkFunction();
    void LinkIf();
    void LinkSwitch();
    void LinkBlock();
    void LinkBody(uint32_t blockIndex);
    void LinkBraces(uint32_t blockIndex);
    void LinkCheckedExpression(int32_t depth, bool strict);
    void LinkExpression(int32_t& depth, bool strict);
    void LinkOperand(bool afterNew);
    void LinkArguments();
    void LinkIndexList();
    void LinkMemberChain();
    uint16_t Current() const { return reinterpret_cast<const TokenHeader*>(currentToken)->code; }
    void Skip() { currentToken += reinterpret_cast<const TokenHeader*>(currentToken)->size; }
    uint32_t Copy();
    uint32_t WriteTarget(uint16_t code, uint32_t target, uint32_t blockIndex,
                         const TokenPosition* position);
    TargetToken* OutputTarget(uint32_t offset) {
        return reinterpret_cast<TargetToken*>(output_ + offset);
    }
    void Expect(uint16_t code, int32_t error) {
        if (Current() != code) Fail(error);
    }

    // Counts nesting for the duration of one statement or expression.
    class NestingGuard {
    public:
        explicit NestingGuard(CTokenCompiler& compiler);
        ~NestingGuard() { --compiler_.nesting_; }
        NestingGuard(const NestingGuard&) = delete;
        NestingGuard& operator=(const NestingGuard&) = delete;

    private:
        CTokenCompiler& compiler_;
    };

    uint32_t option_;
    uint32_t nesting_ = 0;
    const uint8_t* classes_ = nullptr;    // character classes of the unit
    const unsigned char* fold_ = nullptr; // name folding table
    uint32_t unitArgument_ = 0;
    char word_[kMaxWordLength + 1] = {};
    CClassLookup* lookups_[kClassSlotCount] = {};
    const MethodNameRow* tables_[kClassSlotCount] = {};
    const char* names_[kClassSlotCount] = {};
    // The methods and constants of the classes in use that may be written without their
    // object, the first of each name per class, in class id order.
    CClassLookup* bareLookup_ = nullptr;
};
