// The lookup of one class's method-name rows, by name without regard to case and by id.
// Rows sit in two open-addressed tables, one probed by the name hash and one by the id;
// the first row filed under a name or an id wins. The tables start empty and grow with
// their rows; a lookup made over a class's name table files its rows at the first search,
// so the many classes a project never names cost next to nothing.
#pragma once

#include <cstdint>
#include <mutex>

#include "script/classes/class_table.h"

class CClassLookup {
public:
    CClassLookup() = default;
    // Files the rows of `table` (as AddRows does) when first searched. Without the memory
    // for that, searches walk the table, with the same answers.
    explicit CClassLookup(const MethodNameRow* table) : unfiled_(table) {}
    ~CClassLookup();
    CClassLookup(const CClassLookup&) = delete;
    CClassLookup& operator=(const CClassLookup&) = delete;

    // 1, or 0 when memory runs out (the row may then be filed by name only).
    int Add(const MethodNameRow* row);
    // Files every row of a name table after its class row.
    int AddRows(const MethodNameRow* table);

    const MethodNameRow* FindName(const char* name) const;
    // The same for a caller that has the name hash (char_class.h) at hand.
    const MethodNameRow* FindName(const char* name, uint32_t hash) const;
    const MethodNameRow* FindId(uint32_t id) const;

private:
    // Slots are a power of two in number, at most half of them used.
    struct Table {
        const MethodNameRow** slots = nullptr;
        uint32_t count = 0;
        uint32_t mask = 0;
    };
    enum class Key { kName, kId };

    // False when the rows of the table given at construction could not be filed.
    bool Filed() const;
    static uint32_t KeyHash(const MethodNameRow* row, Key key);
    static int Insert(Table& table, const MethodNameRow* row, Key key);
    static int Grow(Table& table, Key key);

    Table byName_;
    Table byId_;
    // The table whose rows the first search files, and whether that failed.
    const MethodNameRow* unfiled_ = nullptr;
    mutable std::once_flag filing_;
    mutable bool filingFailed_ = false;
};
