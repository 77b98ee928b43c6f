// The static description of the script classes that the tokenizer needs: the built-in
// class list (ids 0 to 75) and each class's method-name table.
//
// Registration: a class's name table is a static array in the class's own source file.
// The start-up code that fills the method-function tables registers every class's name
// table with RegisterClassNameTable, one line per class in one place, before the
// compiler builds its class lookups. A later class therefore only adds its table and
// that one line; nothing here changes. Class 0 is the interpreter, whose name table is
// the fixed keyword and punctuation table of token_codes.h and is never registered.
#pragma once

#include <cstdint>

class PtrArray;

// One row of a method-name table. Row 0 is {class id, class name, 0, 0}; then one row
// per method {method id, name, bare class, 0} or constant {id, name, bare class,
// kRowConstant}; a row with a null name ends the table. A nonzero bare class lets the
// method or constant be written without an object: the tokenizer puts a token with that
// code (a class id such as 2 for Math, or 96 for CurWindow) in front of the member.
struct MethodNameRow {
    uint32_t id;
    const char* name;
    uint32_t bareClass;
    uint32_t flags;
};

inline constexpr uint32_t kRowConstant = 0x80000000;

// Ids 0 (the interpreter, "Interpretor") to 75.
inline constexpr uint32_t kBuiltinClassCount = 76;
inline constexpr uint32_t kLastClassId = kBuiltinClassCount - 1;
// Per-class arrays of the compiler and the interpreter: one slot per entry of the list
// plus one.
inline constexpr uint32_t kClassSlotCount = kBuiltinClassCount + 1;

// The script name of built-in class `classId`; null out of range.
const char* GetBuiltinClassName(uint32_t classId);
// The class row {class id, name, 0, 0} of built-in class `classId`; null out of range.
// It stands for the class name in the keyword lookup whether a name table is
// registered or not.
const MethodNameRow* GetBuiltinClassRow(uint32_t classId);

// Fills `list` (emptied first) with the names of every built-in class, in id order; the
// items point at static texts. 1 on success, 0 when the array cannot grow.
int BuildBuiltinClassNameList(PtrArray& list);

// Makes `table` the name table of the class named by its row 0, replacing an earlier
// one. Refused (0) when row 0 is not a class id from 1 to 75 with exactly that class's
// built-in name. The table must outlive every compiler that uses it.
int RegisterClassNameTable(const MethodNameRow* table);
void UnregisterClassNameTable(uint32_t classId);

// The name table of a class: the interpreter name table for class 0, the registered
// table for the others, null when none is registered or the id is out of range.
const MethodNameRow* GetClassNameTable(uint32_t classId);
