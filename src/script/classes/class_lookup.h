// The lookup of one class's method-name rows, by name without regard to case and by id.
// Each row is filed in one of 256 lists by its name hash and in one of 256 lists by the
// low byte of its id; the first row filed under a name or an id wins.
#pragma once

#include <cstdint>

#include "script/classes/class_table.h"

class CClassLookup {
public:
    static constexpr uint32_t kListCount = 256;

    CClassLookup() = default;
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
    struct List {
        const MethodNameRow** rows;
        uint32_t count;
        uint32_t capacity;
    };
    static int Append(List& list, const MethodNameRow* row);

    List byName_[kListCount] = {};
    List byId_[kListCount] = {};
};
