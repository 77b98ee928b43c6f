// Scripts ship as source and are compiled at every start, so the tokenizer and the link
// pass must survive any bytes: either a clean error or a stream whose every record,
// jump target and block record lies inside it. A program that compiles is then run, until
// it ends or has run its budget of statements, and must end cleanly too; its functions run
// from their compiled code, or on the walk where the compiler does not cover them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "foundation/containers/ptr_array.h"
#include "script/interpreter/interpretor.h"
#include "script/language/name_table.h"
#include "script/language/token_codes.h"
#include "script/language/token_compiler.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/time_driven.h"

// From AddressSanitizer's runtime, which every fuzz target links.
extern "C" size_t __sanitizer_get_current_allocated_bytes();

namespace {

const MethodNameRow kMathTable[] = {{2, "Math", 0, 0},
                                    {1, "Abs", 2, 0},
                                    {2, "Floor", 0, 0},
                                    {10, "PI", 2, kRowConstant},
                                    {0, nullptr, 0, 0}};
const MethodNameRow kWindowTable[] = {{58, "Window", 0, 0},
                                      {1, "WriteLn", kTokenCurWindow, 0},
                                      {2, "Show", 0, 0},
                                      {0, nullptr, 0, 0}};

struct Setup {
    Setup() {
        RegisterClassNameTable(kMathTable);
        RegisterClassNameTable(kWindowTable);
        PtrArray names;
        BuildBuiltinClassNameList(names);
        if (!compiler.BuildClassLookups(names)) std::abort();
    }
    CTokenCompiler compiler;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

bool HasTarget(uint16_t code) {
    switch (code) {
    case kTokenFor:
    case kTokenWhile:
    case kTokenSwitch:
    case kTokenOpenBrace:
    case kTokenCloseBrace:
    case kTokenIf:
    case kTokenElse:
    case kTokenCase:
    case kTokenDefault:
    case kTokenFunction:
        return true;
    default:
        return false;
    }
}

void CheckStream(const CTokenInfos& infos) {
    const uint8_t* stream = infos.GetStream();
    uint32_t length = infos.GetStreamLength();
    Check(stream != nullptr && length >= sizeof(TokenHeader));
    std::vector<bool> starts(length + 1, false);
    std::vector<uint32_t> offsets;
    for (uint32_t offset = 0; offset < length;) {
        auto* token = reinterpret_cast<const TokenHeader*>(stream + offset);
        Check(token->size >= sizeof(TokenHeader) && token->size % 8 == 0);
        Check(token->size <= length - offset);
        starts[offset] = true;
        offsets.push_back(offset);
        offset += token->size;
    }
    Check(reinterpret_cast<const TokenHeader*>(stream + offsets.back())->code == kTokenEnd);
    const CNameTable* names = infos.GetNameTable();
    for (uint32_t offset : offsets) {
        auto* token = reinterpret_cast<const TokenHeader*>(stream + offset);
        if (const TokenPosition* position = GetTokenPosition(token))
            Check(position->unit < infos.GetUnitCount());
        if (HasTarget(token->code)) {
            auto* target = reinterpret_cast<const TargetToken*>(token);
            Check(target->target < length && starts[target->target]);
            bool indexed = token->code != kTokenIf && token->code != kTokenElse &&
                           token->code != kTokenCase && token->code != kTokenDefault;
            if (indexed) Check(target->blockIndex < infos.GetBlockCount());
        }
        if (token->code >= kTokenCallName && token->code <= kTokenArrayMember)
            Check(names->GetName(reinterpret_cast<const NameToken*>(token)->nameId) != nullptr);
    }
    for (uint32_t i = 0; i < infos.GetBlockCount(); ++i) {
        const BlockRecord* block = infos.GetBlock(i);
        Check(block->bodyStart < length && starts[block->bodyStart]);
        Check(block->end < length && starts[block->end]);
        Check(reinterpret_cast<const TokenHeader*>(stream + block->end)->code == kTokenCloseBrace);
        if (block->kind == kBlockFunction) {
            Check(names->GetName(block->condition) != nullptr);
        } else if (block->condition != 0) {
            Check(block->condition < length && starts[block->condition]);
        }
    }
}

// Statements, each followed by a housekeeping check, before the host's stop request ends a
// run, as a player's host would end it. Memory a script piles up (a text doubled statement
// after statement) ends it too, before the fuzzer's own memory limit is near.
constexpr uint32_t kBudgetChecks = 20000;
constexpr size_t kMemoryBudget = size_t(256) << 20;

struct StatementBudget final : public CInterrupt {
    explicit StatementBudget(CLaunchInfo& launch) : launch(launch) {}
    void Tick(uint32_t) override {
        if (++checks >= kBudgetChecks || __sanitizer_get_current_allocated_bytes() > kMemoryBudget)
            launch.stopRequest = 1;
    }
    CLaunchInfo& launch;
    uint32_t checks = 0;
};

void RunProgram(const char* text, uint32_t first, uint32_t length, uint32_t flags) {
    CLaunchInfo launch;
    StatementBudget budget(launch);
    CInterpretor interpreter(0, &launch);
    PtrArray names;
    BuildBuiltinClassNameList(names);
    if (interpreter.InitClassRegistry(names) != 1) return;
    CTokenInfos report;
    try {
        report.AddSourceText(text, first, flags, "Fuzz:Units/First.src", 1);
        if (first < length) report.AddSourceText(text + first, length - first, flags, nullptr, 2);
        if (interpreter.GetCompiler()->Compile(report) != 1) return;
        interpreter.Start(report);
        interpreter.tickInterval = 0;
        interpreter.statementsPerCheck = 0;
        interpreter.compiledForm = 1;
        interpreter.AddMovingLocation(&budget);
        interpreter.RunMain(report, nullptr);
    } catch (CIError* error) {
        report.SetPendingError(error);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    if (size < 1 || size > (1u << 20)) return 0;
    // The first byte picks the unit flags and whether the text is cut into two units.
    uint32_t flags = kUnitOwnsText | (data[0] & (kUnitControlEnds | kUnitFramed));
    auto* text = reinterpret_cast<const char*>(data + 1);
    auto length = static_cast<uint32_t>(size - 1);
    uint32_t first = (data[0] & 0x10) != 0 ? length / 2 : length;

    CTokenInfos infos;
    try {
        infos.AddSourceText(text, first, flags, "Fuzz:Units/First.src", 1);
        if (first < length) infos.AddSourceText(text + first, length - first, flags, nullptr, 2);
    } catch (CIError* error) {
        error->Delete();
        return 0;
    }
    char message[256];
    if (setup.compiler.Compile(infos) == 1) {
        CheckStream(infos);
        RunProgram(text, first, length, flags);
    } else {
        Check(infos.GetErrorCode() != 0);
        infos.GetErrorText(message, sizeof message);
        infos.GetErrorCaption(message, sizeof message);
    }
    return 0;
}
