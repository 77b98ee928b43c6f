#include "script/classes/class_lookup.h"

#include "foundation/memory/memory_helpers.h"
#include "script/language/char_class.h"

namespace {

constexpr uint32_t kFirstSlotCount = 16;

// The name hash is a sum of letters and ids are small numbers: mix every bit into the low
// bits the slot index takes.
uint32_t Spread(uint32_t hash) {
    hash ^= hash >> 16;
    hash *= 0x7FEB352Du;
    hash ^= hash >> 15;
    hash *= 0x846CA68Bu;
    return hash ^ (hash >> 16);
}

} // namespace

CClassLookup::~CClassLookup() {
    MemFree(&byName_.slots);
    MemFree(&byId_.slots);
}

uint32_t CClassLookup::KeyHash(const MethodNameRow* row, Key key) {
    return Spread(key == Key::kName ? NameHash(row->name) : row->id);
}

int CClassLookup::Grow(Table& table, Key key) {
    const uint32_t slotCount = table.slots == nullptr ? kFirstSlotCount : (table.mask + 1) * 2;
    const MethodNameRow** slots = nullptr;
    if (!MemCalloc(slotCount * sizeof(*slots), &slots)) return 0;
    const uint32_t mask = slotCount - 1;
    if (table.slots != nullptr) {
        for (uint32_t i = 0; i <= table.mask; ++i) {
            const MethodNameRow* row = table.slots[i];
            if (row == nullptr) continue;
            uint32_t at = KeyHash(row, key) & mask;
            while (slots[at] != nullptr)
                at = (at + 1) & mask;
            slots[at] = row;
        }
        MemFree(&table.slots);
    }
    table.slots = slots;
    table.mask = mask;
    return 1;
}

int CClassLookup::Insert(Table& table, const MethodNameRow* row, Key key) {
    if ((table.count + 1) * 2 > table.mask + 1) {
        if (!Grow(table, key)) return 0;
    }
    uint32_t at = KeyHash(row, key) & table.mask;
    for (const MethodNameRow* filed; (filed = table.slots[at]) != nullptr;
         at = (at + 1) & table.mask) {
        if (key == Key::kName ? NamesEqual(filed->name, row->name) != 0 : filed->id == row->id)
            return 1;
    }
    table.slots[at] = row;
    ++table.count;
    return 1;
}

int CClassLookup::Add(const MethodNameRow* row) {
    if (!Insert(byName_, row, Key::kName)) return 0;
    return Insert(byId_, row, Key::kId);
}

int CClassLookup::AddRows(const MethodNameRow* table) {
    for (const MethodNameRow* row = table + 1; row->name != nullptr; ++row) {
        if (!Add(row)) return 0;
    }
    return 1;
}

bool CClassLookup::Filed() const {
    if (unfiled_ == nullptr) return true;
    std::call_once(filing_, [this] {
        auto* self = const_cast<CClassLookup*>(this);
        filingFailed_ = !self->AddRows(unfiled_);
    });
    return !filingFailed_;
}

const MethodNameRow* CClassLookup::FindName(const char* name) const {
    return FindName(name, NameHash(name));
}

const MethodNameRow* CClassLookup::FindName(const char* name, uint32_t hash) const {
    if (!Filed()) {
        for (const MethodNameRow* row = unfiled_ + 1; row->name != nullptr; ++row) {
            if (NamesEqual(row->name, name)) return row;
        }
        return nullptr;
    }
    if (byName_.slots == nullptr) return nullptr;
    for (uint32_t at = Spread(hash) & byName_.mask; byName_.slots[at] != nullptr;
         at = (at + 1) & byName_.mask) {
        if (NamesEqual(byName_.slots[at]->name, name)) return byName_.slots[at];
    }
    return nullptr;
}

const MethodNameRow* CClassLookup::FindId(uint32_t id) const {
    if (!Filed()) {
        for (const MethodNameRow* row = unfiled_ + 1; row->name != nullptr; ++row) {
            if (row->id == id) return row;
        }
        return nullptr;
    }
    if (byId_.slots == nullptr) return nullptr;
    for (uint32_t at = Spread(id) & byId_.mask; byId_.slots[at] != nullptr;
         at = (at + 1) & byId_.mask) {
        if (byId_.slots[at]->id == id) return byId_.slots[at];
    }
    return nullptr;
}
