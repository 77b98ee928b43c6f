// The link pass over expressions: operands, operators, argument and index lists.
#include <algorithm>

#include "script/language/token_codes.h"
#include "script/language/token_compiler.h"

namespace {

constexpr uint32_t kMaxArguments = 15;
constexpr uint32_t kMaxIndexes = 10;

bool IsPrefixOperator(uint16_t code) {
    return code == kTokenNot || code == kTokenBitNot || code == kTokenPlus || code == kTokenMinus;
}

} // namespace

CTokenCompiler::NestingGuard::NestingGuard(CTokenCompiler& compiler) : compiler_(compiler) {
    if (++compiler_.nesting_ > kMaxNesting) {
        --compiler_.nesting_;
        compiler_.Fail(16);
    }
}

uint32_t CTokenCompiler::Copy() {
    auto* token = reinterpret_cast<const TokenHeader*>(currentToken);
    uint32_t offset = outputLength_;
    uint8_t* record = ReserveOutput(token->size);
    std::copy_n(currentToken, token->size, record);
    outputLength_ += token->size;
    currentToken += token->size;
    return offset;
}

void CTokenCompiler::LinkCheckedExpression(int32_t depth, bool strict) {
    LinkExpression(depth, strict);
    if (depth != 0) Fail(16);
}

// The depth counts the parentheses the expression may close: a ")" that takes it below 1
// ends the expression, unless a member follows it ("(a).b"). After such a member, a
// further ")" belongs to the caller and is left to it.
void CTokenCompiler::LinkExpression(int32_t& depth, bool strict) {
    NestingGuard guard(*this);
    LinkOperand(false);
    bool continuedAfterClose = false;
    for (;;) {
        uint16_t code = Current();
        switch (code) {
        case kTokenEnd:
        case kTokenComma:
        case kTokenSemicolon:
        case kTokenColon:
        case kTokenCloseBracket:
            return;
        case kTokenCloseParen:
            if (continuedAfterClose) return;
            Copy();
            if (--depth >= 1) break;
            if (Current() != kTokenMemberCall && Current() != kTokenMember) return;
            continuedAfterClose = true;
            LinkOperand(false);
            break;
        case kTokenQuestion:
            Copy();
            LinkExpression(depth, strict);
            Expect(kTokenColon, 16);
            Copy();
            LinkOperand(false);
            break;
        case kTokenIncrement:
        case kTokenDecrement:
            Copy();
            break;
        default:
            if (IsBinaryOperator(code)) {
                Copy();
                LinkOperand(false);
                break;
            }
            if (strict) Fail(16);
            return;
        }
    }
}

void CTokenCompiler::LinkOperand(bool afterNew) {
    uint16_t code = Current();
    if (!afterNew) {
        // An empty operand: an argument may be left out.
        if (code == kTokenComma) return;
        if (IsPrefixOperator(code)) {
            Copy();
            code = Current();
        }
    }
    if (IsClassToken(code)) {
        Copy();
        if (afterNew) {
            Expect(kTokenOpenParen, 16);
            Skip();
            LinkArguments();
        } else if (Current() == kTokenMember) {
            Copy();
        } else if (Current() == kTokenMemberCall) {
            Copy();
            LinkArguments();
        } else {
            Fail(16);
        }
        return;
    }
    switch (code) {
    case kTokenCallName:
    case kTokenMemberCall:
        Copy();
        LinkArguments();
        return;
    case kTokenName:
    case kTokenMember:
    case kTokenThis:
        Copy();
        LinkMemberChain();
        return;
    case kTokenArrayName:
    case kTokenArrayMember:
        Copy();
        LinkIndexList();
        LinkMemberChain();
        return;
    case kTokenNew:
        Copy();
        if (!IsClassToken(Current()) && Current() != kTokenCallName) Fail(30);
        LinkOperand(true);
        return;
    case kTokenCurWindow:
    case kTokenString:
        Copy();
        if (Current() == kTokenMemberCall) {
            Copy();
            LinkArguments();
        } else if (Current() == kTokenMember) {
            Copy();
        }
        return;
    case kTokenOpenParen:
        Copy();
        LinkCheckedExpression(1, true);
        return;
    case kTokenInteger:
    case kTokenHexInteger:
    case kTokenDouble:
    case kTokenTrue:
    case kTokenFalse:
    case kTokenOn:
    case kTokenOff:
    case kTokenUnitMarker:
    case kTokenUnitEnd:
    // A "++" or "--" in front stands as a whole operand, as scripts have always had it:
    // "x = ++i;" is a syntax error because the name after it cannot follow an operand.
    case kTokenIncrement:
    case kTokenDecrement:
        Copy();
        return;
    default:
        Fail(16);
    }
}

// After the "(" of a call: up to 15 arguments, any of them empty, up to the ")".
void CTokenCompiler::LinkArguments() {
    if (Current() == kTokenCloseParen) {
        Copy();
        return;
    }
    for (uint32_t count = 1;; ++count) {
        if (count > kMaxArguments) Fail(13);
        int32_t depth = 1;
        LinkExpression(depth, true);
        if (depth == 0) return;
        if (depth != 1 || Current() != kTokenComma) Fail(16);
        Copy();
    }
}

// After the "[" of an element: 1 to 10 indexes up to the "]".
void CTokenCompiler::LinkIndexList() {
    for (uint32_t count = 1;; ++count) {
        if (count > kMaxIndexes) Fail(13);
        LinkCheckedExpression(0, true);
        if (Current() != kTokenComma) break;
        Copy();
    }
    Expect(kTokenCloseBracket, 16);
    Copy();
}

void CTokenCompiler::LinkMemberChain() {
    for (;;) {
        switch (Current()) {
        case kTokenMember:
            Copy();
            break;
        case kTokenArrayMember:
            Copy();
            LinkIndexList();
            break;
        case kTokenMemberCall:
            Copy();
            LinkArguments();
            return;
        default:
            return;
        }
    }
}
