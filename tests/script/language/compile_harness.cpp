#include "script/language/compile_harness.h"

#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

#include "foundation/containers/ptr_array.h"
#include "script/language/name_table.h"
#include "script/language/token_codes.h"

namespace script_test {
namespace {

const MethodNameRow kMathTable[] = {
    {2, "Math", 0, 0},           {1, "Abs", 2, 0},   {2, "Sin", 2, 0}, {3, "Floor", 0, 0},
    {10, "PI", 2, kRowConstant}, {0, nullptr, 0, 0},
};
const MethodNameRow kSpriteTable[] = {
    {1, "Sprite", 0, 0}, {1, "Move", 0, 0}, {2, "X", 0, 0}, {0, nullptr, 0, 0}};
const MethodNameRow kWindowTable[] = {
    {58, "Window", 0, 0},
    {1, "WriteLn", kTokenCurWindow, 0},
    {2, "Clear", kTokenCurWindow, 0},
    {3, "Show", 0, 0},
    {0, nullptr, 0, 0},
};
const MethodNameRow kProgramTable[] = {
    {56, "Program", 0, 0}, {1, "End", 56, 0}, {0, nullptr, 0, 0}};

const MethodNameRow* const kTestTables[] = {kMathTable, kSpriteTable, kWindowTable, kProgramTable};

const char* KeywordText(uint16_t code) {
    for (const MethodNameRow* row = kInterpretorNameTable + 1; row->name != nullptr; ++row) {
        if (row->id == code) return row->name;
    }
    return nullptr;
}

} // namespace

TestClasses::TestClasses() {
    for (const MethodNameRow* table : kTestTables)
        EXPECT_EQ(RegisterClassNameTable(table), 1);
}

TestClasses::~TestClasses() {
    for (const MethodNameRow* table : kTestTables)
        UnregisterClassNameTable(table[0].id);
}

CompileHarness::CompileHarness(const std::vector<std::string>& classes) {
    PtrArray names;
    for (const std::string& name : classes)
        names.SetAtGrow(int32_t(names.GetCount()), const_cast<char*>(name.c_str()));
    EXPECT_EQ(compiler_.BuildClassLookups(names), 1);
}

void CompileHarness::AddUnit(const std::string& text, uint32_t flags, const char* name,
                             uint32_t argument) {
    pending_.AddSourceText(text.data(), uint32_t(text.size()), flags | kUnitOwnsText, name,
                           argument);
}

bool CompileHarness::Compile() {
    tokenized_ = false;
    int ok = compiler_.Compile(pending_);
    result_.TakeOver(pending_);
    return ok == 1;
}

bool CompileHarness::Compile(const std::string& text) {
    AddUnit(text);
    return Compile();
}

bool CompileHarness::Tokenize(const std::string& text, uint32_t flags) {
    AddUnit(text, flags);
    tokenized_ = true;
    int ok = compiler_.Tokenize(pending_);
    result_.TakeOver(pending_);
    return ok == 1;
}

Record CompileHarness::At(uint32_t offset) const {
    Record record;
    auto* token = reinterpret_cast<const TokenHeader*>(result_.GetStream() + offset);
    record.offset = offset;
    record.code = token->code;
    record.size = token->size;
    if (const TokenPosition* position = GetTokenPosition(token)) {
        record.positioned = true;
        record.unit = position->unit;
        record.position = position->offset;
    }
    const CNameTable* names = result_.GetNameTable();
    switch (token->code) {
    case kTokenCallName:
    case kTokenName:
    case kTokenArrayName:
    case kTokenMemberCall:
    case kTokenMember:
    case kTokenArrayMember:
        record.name = names->GetName(reinterpret_cast<const NameToken*>(token)->nameId);
        break;
    case kTokenInteger:
    case kTokenHexInteger:
        record.integer = reinterpret_cast<const IntegerToken*>(token)->value;
        break;
    case kTokenDouble:
        record.number = reinterpret_cast<const DoubleToken*>(token)->value;
        break;
    case kTokenString:
        record.text = GetStringTokenText(token);
        break;
    case kTokenUnitMarker:
        record.integer = int32_t(reinterpret_cast<const UnitMarkerToken*>(token)->argument);
        break;
    case kTokenFunction:
        // Tokenized records carry the name; linked ones a block index.
        if (tokenized_) {
            auto* function = reinterpret_cast<const FunctionNameToken*>(token);
            record.name = names->GetName(function->nameId);
            record.target = function->unitArgument;
            break;
        }
        [[fallthrough]];
    default:
        if (token->size >= sizeof(TargetToken) && KeywordText(token->code) != nullptr) {
            record.target = reinterpret_cast<const TargetToken*>(token)->target;
            record.blockIndex = reinterpret_cast<const TargetToken*>(token)->blockIndex;
        }
        break;
    }
    return record;
}

std::vector<Record> CompileHarness::Records() const {
    std::vector<Record> records;
    uint32_t offset = 0;
    while (offset < result_.GetStreamLength()) {
        records.push_back(At(offset));
        offset += records.back().size;
    }
    return records;
}

std::string RecordText(const Record& record) {
    char buffer[64];
    switch (record.code) {
    case kTokenCallName:
        return record.name + "(";
    case kTokenName:
        return record.name;
    case kTokenArrayName:
        return record.name + "[";
    case kTokenMemberCall:
        return "." + record.name + "(";
    case kTokenMember:
        return "." + record.name;
    case kTokenArrayMember:
        return "." + record.name + "[";
    case kTokenInteger:
        return std::to_string(record.integer);
    case kTokenHexInteger:
        return "h" + std::to_string(record.integer);
    case kTokenDouble:
        std::snprintf(buffer, sizeof buffer, "%.17g", record.number);
        return std::strchr(buffer, '.') || std::strchr(buffer, 'e') ? buffer
                                                                    : std::string(buffer) + ".0";
    case kTokenString:
        return "\"" + record.text + "\"";
    case kTokenUnitMarker:
        return "unit" + std::to_string(record.integer);
    case kTokenUnitEnd:
        return "unitend";
    case kTokenFunction:
        return record.name.empty() ? "Function" : "Function:" + record.name;
    default:
        if (IsClassToken(record.code))
            return std::string("<") + GetBuiltinClassName(record.code) + ">";
        if (const char* text = KeywordText(record.code)) return text;
        return "#" + std::to_string(record.code);
    }
}

std::string CompileHarness::Text() const {
    std::string text;
    for (const Record& record : Records()) {
        if (record.code == kTokenEnd) continue;
        if (!text.empty()) text += ' ';
        text += RecordText(record);
    }
    return text;
}

int32_t CompileHarness::ErrorLine() const {
    return result_.GetPendingError() ? result_.GetPendingError()->line : -100;
}

int32_t CompileHarness::ErrorColumn() const {
    return result_.GetPendingError() ? result_.GetPendingError()->column : -100;
}

std::string CompileHarness::ErrorUnit() const {
    return result_.GetPendingError() ? result_.GetPendingError()->GetUnitName() : "";
}

std::string CompileHarness::Caption() const {
    char buffer[150];
    result_.GetErrorCaption(buffer, sizeof buffer);
    return buffer;
}

} // namespace script_test
