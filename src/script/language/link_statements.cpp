// The link pass over statements: it copies the tokenizer's records into the final
// stream, writes the jump targets and makes the block records.
#include "foundation/memory/memory_helpers.h"
#include "script/language/token_codes.h"
#include "script/language/token_compiler.h"

namespace {

constexpr uint32_t kMaxParameters = 15;

} // namespace

void CTokenCompiler::Link() {
    mode = kModeLinking;
    linkInput_ = output_;
    linkInputLength_ = outputLength_;
    output_ = nullptr;
    outputLength_ = 0;
    outputCapacity_ = 0;
    // The final stream is about as long as the tokenizer's.
    ReserveOutput(linkInputLength_);
    currentToken = linkInput_;
    nesting_ = 0;
    while (Current() != kTokenEnd)
        LinkStatement();
    AppendToken(kTokenEnd, 0, nullptr);
    stream_ = output_;
    streamLength_ = outputLength_;
    streamCapacity_ = outputCapacity_;
    output_ = nullptr;
    outputLength_ = 0;
    outputCapacity_ = 0;
    MemFree(&linkInput_);
    linkInputLength_ = 0;
}

uint32_t CTokenCompiler::WriteTarget(uint16_t code, uint32_t target, uint32_t blockIndex,
                                     const TokenPosition* position) {
    uint32_t offset = outputLength_;
    auto* token = reinterpret_cast<TargetToken*>(
        AppendToken(code, sizeof(TargetToken) - sizeof(TokenHeader), position));
    token->target = target;
    token->blockIndex = blockIndex;
    return offset;
}

void CTokenCompiler::LinkStatement() {
    NestingGuard guard(*this);
    uint16_t code = Current();
    if (IsClassToken(code)) {
        LinkExpressionStatement();
        return;
    }
    switch (code) {
    case kTokenCallName:
    case kTokenName:
    case kTokenArrayName:
    case kTokenThis:
    case kTokenCurWindow:
    case kTokenString:
        LinkExpressionStatement();
        return;
    case kTokenVar:
    case kTokenDelete:
        Copy();
        LinkExpressionStatement();
        return;
    case kTokenReturn:
        Copy();
        if (Current() != kTokenSemicolon) LinkCheckedExpression(0, true);
        Expect(kTokenSemicolon, 6);
        Copy();
        return;
    case kTokenBreak:
    case kTokenContinue:
    case kTokenUnitMarker:
    case kTokenUnitEnd:
        Copy();
        Expect(kTokenSemicolon, 6);
        Copy();
        return;
    case kTokenFor:
        LinkFor();
        return;
    case kTokenWhile:
        LinkWhile();
        return;
    case kTokenFunction:
        LinkFunction();
        return;
    case kTokenIf:
        LinkIf();
        return;
    case kTokenSwitch:
        LinkSwitch();
        return;
    case kTokenOpenBrace:
        LinkBlock();
        return;
    case kTokenSemicolon:
        Skip();
        return;
    case kTokenEnd:
        Fail(3);
    default:
        Fail(16);
    }
}

void CTokenCompiler::LinkExpressionStatement() {
    LinkCheckedExpression(0, true);
    Expect(kTokenSemicolon, 6);
    Copy();
}

void CTokenCompiler::LinkFor() {
    uint32_t blockIndex = AddBlock(kBlockFor);
    uint32_t loop = Copy();
    OutputTarget(loop)->blockIndex = blockIndex;
    Expect(kTokenOpenParen, 16);
    Skip();
    if (Current() != kTokenSemicolon) {
        int32_t depth = 0;
        LinkExpression(depth, true);
    }
    Expect(kTokenSemicolon, 6);
    Copy();
    if (Current() != kTokenSemicolon) {
        GetBlock(blockIndex)->condition = outputLength_;
        int32_t depth = 0;
        LinkExpression(depth, false);
    }
    Expect(kTokenSemicolon, 6);
    Copy();
    if (Current() == kTokenCloseParen) {
        Skip();
    } else {
        GetBlock(blockIndex)->step = outputLength_;
        LinkCheckedExpression(1, true);
    }
    LinkBody(blockIndex);
    OutputTarget(loop)->target = outputLength_;
}

void CTokenCompiler::LinkWhile() {
    uint32_t blockIndex = AddBlock(kBlockWhile);
    uint32_t loop = Copy();
    OutputTarget(loop)->blockIndex = blockIndex;
    Expect(kTokenOpenParen, 16);
    Skip();
    GetBlock(blockIndex)->condition = outputLength_;
    LinkCheckedExpression(1, true);
    LinkBody(blockIndex);
    OutputTarget(loop)->target = outputLength_;
}

// The body of a loop or a function: a block in braces, or one statement that gets a
// "{" and a "}" without positions.
void CTokenCompiler::LinkBody(uint32_t blockIndex) {
    if (Current() == kTokenOpenBrace) {
        LinkBraces(blockIndex);
        return;
    }
    uint32_t start = WriteTarget(kTokenOpenBrace, 0, blockIndex, nullptr);
    GetBlock(blockIndex)->bodyStart = start;
    LinkStatement();
    OutputTarget(start)->target = outputLength_;
    GetBlock(blockIndex)->end = outputLength_;
    WriteTarget(kTokenCloseBrace, start, blockIndex, nullptr);
}

// A "{" ... "}" with the positions of the source braces.
void CTokenCompiler::LinkBraces(uint32_t blockIndex) {
    uint32_t start =
        WriteTarget(kTokenOpenBrace, 0, blockIndex,
                    GetTokenPosition(reinterpret_cast<const TokenHeader*>(currentToken)));
    Skip();
    GetBlock(blockIndex)->bodyStart = start;
    while (Current() != kTokenCloseBrace) {
        if (Current() == kTokenEnd) Fail(3);
        LinkStatement();
    }
    OutputTarget(start)->target = outputLength_;
    GetBlock(blockIndex)->end = outputLength_;
    WriteTarget(kTokenCloseBrace, start, blockIndex,
                GetTokenPosition(reinterpret_cast<const TokenHeader*>(currentToken)));
    Skip();
}

void CTokenCompiler::LinkBlock() {
    LinkBraces(AddBlock(kBlockPlain));
}

void CTokenCompiler::LinkFunction() {
    uint32_t blockIndex = AddBlock(kBlockFunction);
    auto* header = reinterpret_cast<const FunctionNameToken*>(currentToken);
    BlockRecord* block = GetBlock(blockIndex);
    block->condition = header->nameId;
    block->unitArgument = header->unitArgument;
    block->step = WriteTarget(kTokenFunction, 0, blockIndex, GetTokenPosition(&header->header));
    Skip();
    if (Current() == kTokenOpenParen) {
        auto* open = reinterpret_cast<const TokenHeader*>(currentToken);
        if (reinterpret_cast<const TokenHeader*>(currentToken + open->size)->code ==
            kTokenCloseParen) {
            Skip();
            Skip();
        } else {
            Copy();
            for (uint32_t count = 1;; ++count) {
                if (count > kMaxParameters) Fail(13);
                int32_t depth = 1;
                LinkExpression(depth, true);
                if (depth == 0) break;
                if (depth != 1 || Current() != kTokenComma) Fail(16);
                Copy();
            }
        }
    }
    Expect(kTokenOpenBrace, 4);
    LinkBraces(blockIndex);
}

// An If and the Else branches that follow it. An "Else If" continues the same loop
// instead of nesting, so long Else If chains need no stack; the targets of such Else
// records, all the end of the whole chain, are chained through their target fields
// until that end is known.
void CTokenCompiler::LinkIf() {
    uint32_t pendingElse = 0;
    bool chained = true;
    while (chained) {
        chained = false;
        uint32_t branch = Copy();
        Expect(kTokenOpenParen, 16);
        Skip();
        LinkCheckedExpression(1, true);
        LinkStatement();
        OutputTarget(branch)->target = outputLength_;
        while (Current() == kTokenElse) {
            uint32_t otherwise = Copy();
            if (Current() == kTokenIf) {
                OutputTarget(otherwise)->target = pendingElse;
                pendingElse = otherwise;
                chained = true;
                break;
            }
            LinkStatement();
            OutputTarget(otherwise)->target = outputLength_;
        }
    }
    while (pendingElse != 0) {
        TargetToken* otherwise = OutputTarget(pendingElse);
        pendingElse = otherwise->target;
        otherwise->target = outputLength_;
    }
}

void CTokenCompiler::LinkSwitch() {
    uint32_t blockIndex = AddBlock(kBlockSwitch);
    uint32_t selector = WriteTarget(kTokenSwitch, 0, blockIndex, nullptr);
    Skip();
    Expect(kTokenOpenParen, 16);
    Skip();
    LinkCheckedExpression(1, true);
    GetBlock(blockIndex)->bodyStart = outputLength_;
    Expect(kTokenOpenBrace, 16);
    uint32_t open = Copy();
    uint32_t link = selector;
    bool inBody = false;
    for (;;) {
        uint16_t code = Current();
        if (code == kTokenCase || code == kTokenDefault) {
            OutputTarget(link)->target = outputLength_;
            link = Copy();
            if (code == kTokenCase) {
                LinkCheckedExpression(0, true);
                Expect(kTokenColon, 16);
                Skip();
                AppendToken(kTokenSemicolon, 0, nullptr);
            } else {
                Expect(kTokenColon, 16);
                Skip();
                GetBlock(blockIndex)->step = outputLength_;
            }
            inBody = true;
        } else if (code == kTokenCloseBrace) {
            break;
        } else if (code == kTokenEnd || !inBody) {
            Fail(16);
        } else if (code == kTokenBreak) {
            // Only a label or the end of the switch may follow a Break of the case body.
            Copy();
            Expect(kTokenSemicolon, 16);
            Skip();
            inBody = false;
        } else {
            LinkStatement();
        }
    }
    OutputTarget(open)->target = outputLength_;
    BlockRecord* block = GetBlock(blockIndex);
    block->end = outputLength_;
    WriteTarget(kTokenCloseBrace, block->bodyStart, blockIndex,
                GetTokenPosition(reinterpret_cast<const TokenHeader*>(currentToken)));
    Skip();
}
