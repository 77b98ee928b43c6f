#include "script/classes/class_lookup.h"

#include "foundation/memory/memory_helpers.h"
#include "script/language/char_class.h"

namespace {

constexpr uint32_t kListGrowth = 8;

} // namespace

CClassLookup::~CClassLookup() {
    for (List& list : byName_)
        MemFree(&list.rows);
    for (List& list : byId_)
        MemFree(&list.rows);
}

int CClassLookup::Append(List& list, const MethodNameRow* row) {
    if (list.count == list.capacity) {
        uint32_t capacity = list.capacity + kListGrowth;
        if (!MemRealloc(capacity * sizeof(*list.rows), &list.rows)) return 0;
        list.capacity = capacity;
    }
    list.rows[list.count++] = row;
    return 1;
}

int CClassLookup::Add(const MethodNameRow* row) {
    if (!Append(byName_[NameHash(row->name) % kListCount], row)) return 0;
    return Append(byId_[row->id % kListCount], row);
}

int CClassLookup::AddRows(const MethodNameRow* table) {
    for (const MethodNameRow* row = table + 1; row->name != nullptr; ++row) {
        if (!Add(row)) return 0;
    }
    return 1;
}

const MethodNameRow* CClassLookup::FindName(const char* name) const {
    return FindName(name, NameHash(name));
}

const MethodNameRow* CClassLookup::FindName(const char* name, uint32_t hash) const {
    const List& list = byName_[hash % kListCount];
    for (uint32_t i = 0; i < list.count; ++i) {
        if (NamesEqual(list.rows[i]->name, name)) return list.rows[i];
    }
    return nullptr;
}

const MethodNameRow* CClassLookup::FindId(uint32_t id) const {
    const List& list = byId_[id % kListCount];
    for (uint32_t i = 0; i < list.count; ++i) {
        if (list.rows[i]->id == id) return list.rows[i];
    }
    return nullptr;
}
