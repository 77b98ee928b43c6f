// The 16-bit token codes shared by the tokenizer, the link pass, the interpreter's
// handler tables and the expression evaluator. The values are fixed: the evaluator
// takes operator precedence from them (a higher code binds more tightly).
#pragma once

#include <cstdint>

#include "script/classes/class_table.h"

enum TokenCode : uint16_t {
    kTokenEnd = 0, // end of the stream; also the class id of the interpreter
    // 1 to 75: a class name written as an object (class ids of class_table.h).
    kTokenCallName = 77,    // name followed by "("
    kTokenName = 78,        // plain name
    kTokenArrayName = 79,   // name followed by "["
    kTokenMemberCall = 80,  // member after "." followed by "("
    kTokenMember = 81,      // member after "." alone
    kTokenArrayMember = 82, // member after "." followed by "["
    kTokenVar = 83,
    kTokenNew = 84,
    kTokenFor = 85,
    kTokenReturn = 86,
    kTokenBreak = 87,
    kTokenContinue = 88,
    kTokenDelete = 89,
    kTokenFunction = 90,
    kTokenThis = 91,
    kTokenIf = 92,
    kTokenElse = 93,
    kTokenWhile = 94,
    kTokenIn = 95,
    kTokenCurWindow = 96,
    kTokenSwitch = 97,
    kTokenCase = 98,
    kTokenDefault = 99,
    kTokenUnitMarker = 100,
    kTokenUnitEnd = 101,
    kTokenInteger = 102,    // written in decimal
    kTokenHexInteger = 103, // written in hexadecimal or binary
    kTokenString = 105,
    kTokenDouble = 106,
    kTokenTrue = 108,
    kTokenFalse = 109,
    kTokenOn = 110,
    kTokenOff = 111,
    kTokenDefaultValue = 112, // an empty argument; made by the interpreter only
    kTokenOpenParen = 113,
    kTokenCloseParen = 114,
    kTokenComma = 115,
    kTokenOpenBrace = 116,
    kTokenCloseBrace = 117,
    kTokenSemicolon = 118,
    kTokenAssign = 121,
    kTokenAddAssign = 122,
    kTokenSubtractAssign = 123,
    kTokenMultiplyAssign = 124,
    kTokenDivideAssign = 125,
    kTokenAndAssign = 126,
    kTokenOrAssign = 127,
    kTokenXorAssign = 128,
    kTokenModuloAssign = 129,
    kTokenShiftLeftAssign = 130,
    kTokenShiftRightAssign = 131,
    kTokenQuestion = 132,
    kTokenLogicalAnd = 133,
    kTokenLogicalOr = 134,
    kTokenGreaterEqual = 135,
    kTokenLessEqual = 136,
    kTokenEqual = 137,
    kTokenLess = 138,
    kTokenGreater = 139,
    kTokenNotEqual = 140,
    kTokenNot = 141,
    kTokenBitNot = 142,
    kTokenIncrement = 143,
    kTokenDecrement = 144,
    kTokenPlus = 145,
    kTokenMinus = 146,
    kTokenDivide = 147,
    kTokenMultiply = 148,
    kTokenBitAnd = 149,
    kTokenBitOr = 150,
    kTokenBitXor = 151,
    kTokenModulo = 152,
    kTokenShiftLeft = 153,
    kTokenShiftRight = 154,
    kTokenDot = 166,
    kTokenColon = 168,
    kTokenOpenBracket = 169,
    kTokenCloseBracket = 170,
    kTokenLineComment = 171,
    kTokenCommentOpen = 172,
    kTokenCommentClose = 173,
};

inline constexpr bool IsClassToken(uint32_t code) {
    return code >= 1 && code <= kLastClassId;
}

// The classes with one object each, made at start, whose names stand for that object.
inline constexpr bool IsSingletonClass(uint32_t classId) {
    switch (classId) {
    case 2:
    case 3:
    case 4:
    case 39:
    case 56:
    case 57:
    case 59:
        return true;
    default:
        return false;
    }
}

// The tokens that link a member to what stands before it.
inline constexpr bool IsMemberLink(uint32_t code) {
    return code == kTokenMemberCall || code == kTokenMember || code == kTokenArrayMember ||
           code == kTokenDot;
}

// The operators that take a right operand: assignments, "&&" to "~" and "+" to ">>".
inline constexpr bool IsBinaryOperator(uint32_t code) {
    return (code >= kTokenAssign && code <= kTokenShiftRightAssign) ||
           (code >= kTokenLogicalAnd && code <= kTokenBitNot) ||
           (code >= kTokenPlus && code <= kTokenShiftRight);
}

// The name table of the interpreter class (class 0): its class row, then the keywords
// and punctuation in their fixed order (":" appears twice), then the end row.
inline constexpr MethodNameRow kInterpretorNameTable[] = {
    {0, "Interpretor", 0, 0},
    {kTokenCurWindow, "CurWindow", 0, 0},
    {kTokenVar, "Var", 0, 0},
    {kTokenNew, "New", 0, 0},
    {kTokenFor, "For", 0, 0},
    {kTokenReturn, "Return", 0, 0},
    {kTokenBreak, "Break", 0, 0},
    {kTokenContinue, "Continue", 0, 0},
    {kTokenDelete, "Delete", 0, 0},
    {kTokenFunction, "Function", 0, 0},
    {kTokenThis, "This", 0, 0},
    {kTokenIf, "If", 0, 0},
    {kTokenElse, "Else", 0, 0},
    {kTokenWhile, "While", 0, 0},
    {kTokenIn, "in", 0, 0},
    {kTokenSwitch, "Switch", 0, 0},
    {kTokenCase, "Case", 0, 0},
    {kTokenDefault, "Default", 0, 0},
    {kTokenColon, ":", 0, 0},
    {kTokenOpenParen, "(", 0, 0},
    {kTokenCloseParen, ")", 0, 0},
    {kTokenOpenBrace, "{", 0, 0},
    {kTokenCloseBrace, "}", 0, 0},
    {kTokenOpenBracket, "[", 0, 0},
    {kTokenCloseBracket, "]", 0, 0},
    {kTokenSemicolon, ";", 0, 0},
    {kTokenColon, ":", 0, 0},
    {kTokenComma, ",", 0, 0},
    {kTokenDot, ".", 0, 0},
    {kTokenAssign, "=", 0, 0},
    {kTokenLogicalAnd, "&&", 0, 0},
    {kTokenLogicalOr, "||", 0, 0},
    {kTokenGreater, ">", 0, 0},
    {kTokenLess, "<", 0, 0},
    {kTokenEqual, "==", 0, 0},
    {kTokenLessEqual, "<=", 0, 0},
    {kTokenGreaterEqual, ">=", 0, 0},
    {kTokenNotEqual, "!=", 0, 0},
    {kTokenNot, "!", 0, 0},
    {kTokenBitNot, "~", 0, 0},
    {kTokenQuestion, "?", 0, 0},
    {kTokenIncrement, "++", 0, 0},
    {kTokenDecrement, "--", 0, 0},
    {kTokenPlus, "+", 0, 0},
    {kTokenMinus, "-", 0, 0},
    {kTokenMultiply, "*", 0, 0},
    {kTokenDivide, "/", 0, 0},
    {kTokenBitAnd, "&", 0, 0},
    {kTokenBitOr, "|", 0, 0},
    {kTokenBitXor, "^", 0, 0},
    {kTokenModulo, "%", 0, 0},
    {kTokenShiftLeft, "<<", 0, 0},
    {kTokenShiftRight, ">>", 0, 0},
    {kTokenAddAssign, "+=", 0, 0},
    {kTokenSubtractAssign, "-=", 0, 0},
    {kTokenMultiplyAssign, "*=", 0, 0},
    {kTokenDivideAssign, "/=", 0, 0},
    {kTokenAndAssign, "&=", 0, 0},
    {kTokenOrAssign, "|=", 0, 0},
    {kTokenXorAssign, "^=", 0, 0},
    {kTokenModuloAssign, "%=", 0, 0},
    {kTokenShiftLeftAssign, "<<=", 0, 0},
    {kTokenShiftRightAssign, ">>=", 0, 0},
    {kTokenLineComment, "//", 0, 0},
    {kTokenCommentOpen, "/*", 0, 0},
    {kTokenCommentClose, "*/", 0, 0},
    {kTokenTrue, "TRUE", 0, 0},
    {kTokenFalse, "FALSE", 0, 0},
    {kTokenOn, "ON", 0, 0},
    {kTokenOff, "OFF", 0, 0},
    {0, nullptr, 0, 0},
};
