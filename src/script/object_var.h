// The script object that owns named variables: an object of a class written in the
// script (its members), the locals of a running script function, and the base of the
// interpreter (whose variables are the globals).
#pragma once

#include <cstdint>

#include "script/base_class.h"
#include "script/handle_table.h"
#include "script/value.h"

// One variable: its value and the block level at which it was created (0 for members
// and for variables that no block end drops).
struct CVariable {
    explicit CVariable(CInterpretor* interpreter, int32_t level)
        : value(interpreter), level(level) {}
    CValue value;
    int32_t level;
    // The next variable kept for reuse, while this one is kept so.
    CVariable* nextSpare = nullptr;
};

class CIBaseObjectVar : public CIBaseClassImpl {
public:
    // Class index 0, no class record; listed in the class-0 list when asked.
    CIBaseObjectVar(CInterpretor* interpreter, int addToList);
    // Destroys every variable.
    ~CIBaseObjectVar() override;

    // The deleting destructor.
    void Destroy(int flag) override;
    // Drops the references to `object` from every variable; always 0, so script objects
    // never join a cascading delete.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;

    // The variable of a name key, or null; of two variables of one key (two parameters
    // of one name), the newer.
    CVariable* FindVariable(uint32_t key) const {
        if (count_ != 0) [[unlikely]] {
            if (CVariable* variable = FindInTable(key)) return variable;
        }
        for (uint32_t i = frontCount_; i-- > 0;) {
            if (front_[i].key == key) return front_[i].variable;
        }
        return nullptr;
    }
    // A new variable (empty value) under the key; error 15 when memory runs out. The
    // caller has looked the key up first: a key has at most one variable.
    CVariable* AddVariable(uint32_t key, int32_t level);
    // Removes and destroys every variable created at `level` or deeper.
    void DropVariablesFromLevel(int32_t level);
    // Destroys every variable; the table keeps its room for the next ones.
    void ClearVariables();
    // Identifies the variables the object holds: two moments with the same stamp have
    // the same variables under the same keys, so every name finds what it found before.
    // It changes with every add and removal (a state the object had before may take its
    // old stamp again) and never matches the stamp of another object.
    uint64_t GetStamp() const { return stamp_; }
    // Calls `visit` with every variable.
    template <class Visit> void ForEachVariable(Visit&& visit) const {
        for (uint32_t i = 0; i < frontCount_; ++i)
            visit(*front_[i].variable);
        for (uint32_t chain = 0; chain < 8; ++chain) {
            for (uint32_t node = variables_.GetHead(chain); node != 0;)
                visit(*reinterpret_cast<CVariable*>(variables_.GetNext(node)));
        }
    }

private:
    // The first variables of an object live in a short array in front of the table, in
    // the order they were added: the parameters and first locals of a call are added and
    // cleared on every call, and most objects have a few members. Further variables go
    // to the table, and only while the table is empty does the array take new ones, so
    // the table always holds the newer variables.
    //
    // Each entry keeps the stamp the object took when the entry was added. The entries
    // below memoCount_ still hold the stamps of the states their prefixes made: filled
    // again with the same variables (the parameters of each call of a function), the
    // object takes the same stamps again, so names keep finding them through the caches.
    struct FrontEntry {
        uint32_t key;
        CVariable* variable;
        uint64_t stamp;
    };
    static constexpr uint32_t kFrontEntries = 8;

    // An open-addressed index over the table once it holds many variables, so that a
    // lookup does not walk a long chain; it always answers as the chains would.
    struct IndexSlot {
        uint32_t key;
        CVariable* variable;
    };
    static constexpr uint32_t kIndexFrom = 16;

    CVariable* FindInTable(uint32_t key) const;
    // Adds to the table; the object's new stamp is fresh.
    [[gnu::noinline]] void AddToTable(uint32_t key, CVariable* variable);
    // A new variable record; error 15 when memory runs out.
    [[gnu::noinline]] CVariable* NewVariable(int32_t level);
    // Takes the entries of `level` or deeper out of the array and recycles them.
    void DropFrontFromLevel(int32_t level);
    // 0 when memory runs out: the chains then serve alone.
    int BuildIndex(uint32_t capacity) const;
    // A key already in the index keeps its variable unless `replace` (a newer one).
    void InsertInIndex(uint32_t key, CVariable* variable, bool replace) const;
    void FreeIndex() const;

    static uint64_t NextStamp();
    // Empties a variable taken out of the object and keeps it for the next AddVariable:
    // the locals of a call are made and dropped on every call.
    void Recycle(CVariable* variable);

    CHandleTable variables_;
    uint64_t stamp_ = NextStamp();
    // The stamp of the object while empty.
    uint64_t emptyStamp_ = stamp_;
    FrontEntry front_[kFrontEntries];
    uint32_t frontCount_ = 0;
    uint32_t memoCount_ = 0;
    // Variables in the table, and those of them created above level 0 (a drop looks at
    // the table only when it holds any).
    uint32_t count_ = 0;
    uint32_t leveledCount_ = 0;
    mutable IndexSlot* index_ = nullptr;
    mutable uint32_t indexMask_ = 0;
    // Set when variables were removed: the index is rebuilt at the next lookup.
    mutable bool indexStale_ = false;
    CVariable* spares_ = nullptr;
    // Cleared by the destructor, which may run after the interpreter's own.
    bool recycling_ = true;
};
