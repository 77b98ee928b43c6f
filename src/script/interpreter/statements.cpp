// The statement loop and the statement handlers: control flow on the linked stream, with
// the block stack that loops, blocks, switches and calls push and pop.
#include <initializer_list>

#include "foundation/memory/memory_helpers.h"
#include "platform/kernel/clock.h"
#include "script/interpreter/handler_tables.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"

namespace {

constexpr uint32_t kBlockGrowth = 16;

} // namespace

constexpr CInterpretor::HandlerTables::HandlerTables() {
    for (uint32_t code = 0; code < kHandlerCodes; ++code) {
        statement[code] = &Call<&CInterpretor::StatementSyntaxError>;
        operand[code] = &Call<&CInterpretor::OperandSyntaxError>;
        binary[code] = &Call<&CInterpretor::OperandSyntaxError>;
    }
    // Of the class names, only a singleton's starts a statement: the others name
    // constants and statics, whose values a statement would throw away.
    for (uint32_t code = 1; code <= kLastClassId; ++code)
        operand[code] = &Call<&CInterpretor::CallClassMember>;
    for (uint32_t code = 1; code <= kLastClassId; ++code) {
        if (!IsSingletonClass(code)) continue;
        statement[code] = &Call<&CInterpretor::StatementExpression>;
        operand[code] = &Call<&CInterpretor::OperandSingleton>;
    }
    statement[kTokenEnd] = &Call<&CInterpretor::StatementEnd>;
    statement[kTokenUnitEnd] = &Call<&CInterpretor::StatementEnd>;
    for (uint32_t code : {kTokenCurWindow, kTokenCallName, kTokenName, kTokenArrayName, kTokenThis,
                          kTokenString, kTokenVar})
        statement[code] = &Call<&CInterpretor::StatementExpression>;
    statement[kTokenMemberCall] = &Call<&CInterpretor::StatementMemberCall>;
    statement[kTokenFor] = &Call<&CInterpretor::StatementFor>;
    statement[kTokenReturn] = &Call<&CInterpretor::StatementReturn>;
    statement[kTokenBreak] = &Call<&CInterpretor::StatementBreak>;
    statement[kTokenContinue] = &Call<&CInterpretor::StatementContinue>;
    statement[kTokenDelete] = &Call<&CInterpretor::StatementDelete>;
    statement[kTokenFunction] = &Call<&CInterpretor::StatementFunction>;
    statement[kTokenIf] = &Call<&CInterpretor::StatementIf>;
    statement[kTokenElse] = &Call<&CInterpretor::StatementElse>;
    statement[kTokenWhile] = &Call<&CInterpretor::StatementWhile>;
    statement[kTokenSwitch] = &Call<&CInterpretor::StatementSwitch>;
    statement[kTokenCase] = &Call<&CInterpretor::StatementCase>;
    for (uint32_t code : {kTokenIn, kTokenDefault, kTokenSemicolon})
        statement[code] = &Call<&CInterpretor::StatementStepOver>;
    statement[kTokenUnitMarker] = &Call<&CInterpretor::StatementUnitMarker>;
    statement[kTokenOpenBrace] = &Call<&CInterpretor::StatementOpenBrace>;
    statement[kTokenCloseBrace] = &Call<&CInterpretor::StatementCloseBrace>;

    operand[kTokenCurWindow] = &Call<&CInterpretor::OperandCurWindow>;
    operand[kTokenCallName] = &Call<&CInterpretor::CallFunctionByName>;
    operand[kTokenName] = &Call<&CInterpretor::EvalIdentifier>;
    operand[kTokenArrayName] = &Call<&CInterpretor::EvalArrayElement>;
    operand[kTokenVar] = &Call<&CInterpretor::EvalVar>;
    operand[kTokenNew] = &Call<&CInterpretor::NewObject>;
    operand[kTokenThis] = &Call<&CInterpretor::EvalThis>;
    for (uint32_t code : {102, 103, 104})
        operand[code] = &Call<&CInterpretor::OperandInteger>;
    operand[kTokenDouble] = &Call<&CInterpretor::OperandDouble>;
    operand[kTokenString] = &Call<&CInterpretor::OperandString>;
    for (uint32_t code : {kTokenTrue, kTokenOn})
        operand[code] = &Call<&CInterpretor::OperandTrue>;
    for (uint32_t code : {107, 109, 111})
        operand[code] = &Call<&CInterpretor::OperandFalse>;
    operand[kTokenDefaultValue] = &Call<&CInterpretor::OperandDefault>;
    operand[kTokenOpenParen] = &Call<&CInterpretor::OperandParenthesis>;
    for (uint32_t code : {kTokenCloseParen, kTokenComma, kTokenSemicolon})
        operand[code] = &Call<&CInterpretor::OperandEmpty>;
    operand[kTokenNot] = &Call<&CInterpretor::OperandPrefixNot>;
    operand[kTokenBitNot] = &Call<&CInterpretor::OperandPrefixComplement>;
    operand[kTokenIncrement] = &Call<&CInterpretor::OperandPrefixStep>;
    operand[kTokenDecrement] = &Call<&CInterpretor::OperandPrefixStep>;
    operand[kTokenPlus] = &Call<&CInterpretor::OperandPrefixPlus>;
    operand[kTokenMinus] = &Call<&CInterpretor::OperandPrefixMinus>;

    binary[kTokenAssign] = &Call<&CInterpretor::BinaryAssign>;
    for (uint32_t code = kTokenAddAssign; code <= kTokenShiftRightAssign; ++code)
        binary[code] = &Call<&CInterpretor::BinaryCompound>;
    binary[kTokenQuestion] = &Call<&CInterpretor::BinaryQuestion>;
    binary[kTokenLogicalAnd] = &Call<&CInterpretor::BinaryLogicalAnd>;
    binary[kTokenLogicalOr] = &Call<&CInterpretor::BinaryLogicalOr>;
    for (uint32_t code = kTokenGreaterEqual; code <= kTokenNotEqual; ++code)
        binary[code] = &Call<&CInterpretor::BinaryCompare>;
    binary[kTokenNot] = &Call<&CInterpretor::BinaryNot>;
    binary[kTokenBitNot] = &Call<&CInterpretor::BinaryComplement>;
    binary[kTokenIncrement] = &Call<&CInterpretor::BinaryPostStep>;
    binary[kTokenDecrement] = &Call<&CInterpretor::BinaryPostStep>;
    for (uint32_t code = kTokenPlus; code <= kTokenShiftRight; ++code)
        binary[code] = &Call<&CInterpretor::BinaryArithmetic>;
}

constinit const CInterpretor::HandlerTables CInterpretor::handlerTables_;

const CInterpretor::HandlerTables& CInterpretor::Tables() {
    return handlerTables_;
}

bool CInterpretor::StartsOperand(uint32_t code) {
    return handlerTables_.operand[code < kHandlerCodes ? code : 0] !=
           &HandlerTables::Call<&CInterpretor::OperandSyntaxError>;
}

// ---- The statement loop ------------------------------------------------------------

void CInterpretor::ExecuteBlock(uint8_t* position) {
    const HandlerTables& tables = Tables();
    // Texts asked for by the statements of this loop; those of an enclosing loop (whose
    // expression called the function running here) stay valid.
    uint32_t poolMark = temporaryTextCount_;
    const std::atomic<uint32_t>& stopRequest = StopRequestFlag();
    currentToken = position;
    for (;;) {
        if (CurrentCode() == kTokenSemicolon) SkipToken();
        uint16_t code = CurrentCode();
        tables.statement[code < kHandlerCodes ? code : 0](*this);
        if (returnFlag_ != 0) return;
        if (pendingEvent_ != 0 && eventsEnabled != 0 && handlerDepth_ == 0) DispatchEvent();
        if (CountStatementEnd()) {
            // Flushed even with events disabled: a loop converting numbers to texts must
            // not grow the pool without end.
            FlushTemporaryTextsFrom(poolMark);
            if (eventsEnabled != 0) Housekeeping();
        }
        // A host may ask from its own thread for the run to end.
        if (stopRequest.load(std::memory_order_relaxed) != 0) [[unlikely]]
            pendingEndCode = 0;
        if (pendingEndCode >= 0) [[unlikely]] {
            int32_t endCode = pendingEndCode;
            pendingEndCode = -1;
            RaiseError(endCode);
        }
    }
}

void CInterpretor::GrowBlocks() {
    uint32_t capacity = blockCapacity_ + kBlockGrowth;
    if (!MemRealloc(size_t(capacity) * sizeof(BlockRecord*), &blocks_)) RaiseError(15);
    blockCapacity_ = capacity;
}

void CInterpretor::PopBlock() {
    locals_->DropVariablesFromLevel(blockDepth_);
    blocks_[blockDepth_--] = nullptr;
}

void CInterpretor::UnwindBlocks(int32_t depth) {
    if (blockDepth_ <= depth) return;
    locals_->DropVariablesFromLevel(depth + 1);
    blockDepth_ = depth;
}

// ---- Statement handlers ------------------------------------------------------------

void CInterpretor::StatementEnd() {
    RaiseError(0);
}

void CInterpretor::StatementSyntaxError() {
    RaiseError(16);
}

void CInterpretor::StatementExpression() {
    Evaluate();
}

void CInterpretor::StatementMemberCall() {
    RaiseError(41);
}

void CInterpretor::StatementStepOver() {
    SkipToken();
}

void CInterpretor::StatementUnitMarker() {
    entryIndex = reinterpret_cast<const UnitMarkerToken*>(currentToken)->argument;
    SkipToken();
}

void CInterpretor::StatementFunction() {
    const BlockRecord* function = GetBlock(CurrentTarget()->blockIndex);
    currentToken = After(function->end);
}

void CInterpretor::StatementIf() {
    uint32_t target = CurrentTarget()->target;
    SkipToken();
    CValue* condition = Evaluate();
    SkipToken();
    if (condition->GetInt() != 0) return;
    currentToken = At(target);
    if (CurrentCode() == kTokenElse) SkipToken();
}

void CInterpretor::StatementElse() {
    currentToken = At(CurrentTarget()->target);
    while (CurrentCode() == kTokenElse)
        currentToken = At(CurrentTarget()->target);
}

void CInterpretor::StatementWhile() {
    BlockRecord* block = GetBlock(CurrentTarget()->blockIndex);
    if (LoopConditionHolds(block)) {
        PushBlock(block);
        currentToken = After(block->bodyStart);
    } else {
        currentToken = After(block->end);
    }
}

void CInterpretor::StatementFor() {
    BlockRecord* block = GetBlock(CurrentTarget()->blockIndex);
    SkipToken();
    Evaluate();
    PushBlock(block);
    if (block->condition != 0 && !LoopConditionHolds(block)) return LeaveLoop(block);
    currentToken = After(block->bodyStart);
}

bool CInterpretor::LoopConditionHolds(const BlockRecord* block) {
    currentToken = At(block->condition);
    return Evaluate()->GetInt() != 0;
}

void CInterpretor::LeaveLoop(const BlockRecord* block) {
    currentToken = After(block->end);
    PopBlock();
}

void CInterpretor::StatementCloseBrace() {
    if (blockDepth_ == 0) RaiseError(27);
    const BlockRecord* block = blocks_[blockDepth_];
    switch (block->kind) {
    case kBlockFor:
        if (block->step != 0) {
            currentToken = At(block->step);
            Evaluate();
        }
        if (block->condition != 0 && !LoopConditionHolds(block)) return LeaveLoop(block);
        currentToken = After(block->bodyStart);
        return;
    case kBlockWhile:
        if (!LoopConditionHolds(block)) return LeaveLoop(block);
        currentToken = After(block->bodyStart);
        return;
    case kBlockPlain:
    case kBlockSwitch:
        PopBlock();
        SkipToken();
        return;
    case kBlockFunction:
        // A function that ends without Return returns 0.
        if (returnValue_ != nullptr) returnValue_->SetInt(0);
        returnFlag_ = 1;
        return;
    default:
        RaiseError(20);
    }
}

void CInterpretor::StatementOpenBrace() {
    PushBlock(GetBlock(CurrentTarget()->blockIndex));
    SkipToken();
}

void CInterpretor::StatementSwitch() {
    const TargetToken* header = CurrentTarget();
    const BlockRecord* block = GetBlock(header->blockIndex);
    PushBlock(block);
    SkipToken();
    CValue selector(this, EvaluateAndSkip());
    for (uint32_t offset = header->target; offset != 0;) {
        const auto* label = reinterpret_cast<const TargetToken*>(At(offset));
        offset = label->target;
        if (label->header.code != kTokenCase) continue;
        currentToken = reinterpret_cast<uint8_t*>(const_cast<TargetToken*>(label));
        SkipToken();
        if (selector.IsEqual(*Evaluate()) != 0) {
            SkipToken();
            return;
        }
    }
    if (block->step != 0) {
        currentToken = At(block->step);
    } else {
        currentToken = After(block->end);
        PopBlock();
    }
}

void CInterpretor::StatementCase() {
    for (;;) {
        uint16_t code = CurrentCode();
        if (code == kTokenEnd) RaiseError(5);
        SkipToken();
        if (code == kTokenSemicolon) return;
    }
}

void CInterpretor::StatementBreak() {
    for (;;) {
        if (blockDepth_ == 0) RaiseError(25);
        const BlockRecord* block = blocks_[blockDepth_];
        switch (block->kind) {
        case kBlockFor:
        case kBlockWhile:
        case kBlockSwitch:
            currentToken = After(block->end);
            PopBlock();
            return;
        case kBlockPlain:
            PopBlock();
            break;
        default:
            RaiseError(25);
        }
    }
}

void CInterpretor::StatementContinue() {
    for (;;) {
        if (blockDepth_ == 0) RaiseError(26);
        const BlockRecord* block = blocks_[blockDepth_];
        switch (block->kind) {
        case kBlockFor:
        case kBlockWhile:
            currentToken = At(block->end);
            return;
        case kBlockPlain:
            PopBlock();
            break;
        default:
            RaiseError(26);
        }
    }
}

void CInterpretor::StatementReturn() {
    // Only a function or an event handler can be returned from.
    if (callNesting_ == 0) RaiseError(43);
    SkipToken();
    if (CurrentCode() != kTokenSemicolon) {
        CValue* result = Evaluate();
        if (returnValue_ != nullptr) returnValue_->Assign(*result);
    } else if (returnValue_ != nullptr) {
        returnValue_->SetInt(0);
    }
    returnFlag_ = 1;
}
