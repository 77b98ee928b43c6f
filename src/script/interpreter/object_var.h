// The script object that owns named variables: an object of a class written in the
// script (its members), the locals of a running script function, and the base of the
// interpreter (whose variables are the globals).
#pragma once

#include <cstdint>

#include "foundation/memory/block_pool.h"
#include "script/classes/base_class.h"
#include "script/interpreter/handle_table.h"
#include "script/values/value.h"

// One variable: its value and the block level at which it was created (0 for members
// and for variables that no block end drops).
struct CVariable : block_pool::Pooled<CVariable> {
    explicit CVariable(CInterpretor* interpreter, int32_t level)
        : value(interpreter), level(level) {}
    CValue value;
    int32_t level;
    // The next variable kept for reuse, while this one is kept so.
    CVariable* nextSpare = nullptr;
};

class CIBaseObjectVar : public CIBaseClassImpl, public block_pool::Pooled<CIBaseObjectVar> {
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
    CVariable* AddVariable(uint32_t key, int32_t level) {
        // The parameters of each call of a function: the variable the last call had
        // there comes back from the spares, and the object takes that state's stamp.
        uint32_t position = frontCount_;
        if (count_ == 0 && position < memoCount_) [[likely]] {
            FrontEntry& entry = front_[position];
            CVariable* variable = spares_;
            if (entry.key == key && entry.variable == variable && variable != nullptr) {
                spares_ = variable->nextSpare;
                variable->nextSpare = nullptr;
                variable->level = level;
                if (level > topLevel_) topLevel_ = level;
                SetStamp(entry.stamp);
                shape_ = entry.shape;
                frontCount_ = position + 1;
                return variable;
            }
        }
        return AddVariableAnew(key, level);
    }
    // Removes and destroys every variable created at `level` or deeper.
    void DropVariablesFromLevel(int32_t level) {
        // Most blocks end without a variable of their own: nothing to look through.
        if (level > topLevel_) return;
        DropVariablesFrom(level);
    }
    // Destroys every variable; the table keeps its room for the next ones.
    void ClearVariables() {
        // The locals of most calls: a few numbers in the front. Their values hold nothing,
        // so letting them go runs nothing that could look at the object meanwhile.
        if (count_ == 0 && index_ == nullptr && recycling_) {
            bool plain = true;
            for (uint32_t i = 0; i < frontCount_; ++i)
                plain &= HoldsNothing(front_[i].variable->value);
            if (plain) [[likely]] {
                while (frontCount_ != 0) {
                    CVariable* variable = front_[--frontCount_].variable;
                    variable->value.SetUnboundName(0);
                    variable->nextSpare = spares_;
                    spares_ = variable;
                }
                SetStamp(emptyStamp_);
                shape_ = kEmptyShape;
                return;
            }
        }
        ClearHeldVariables();
    }
    // Identifies the variables the object holds: two moments with the same stamp have
    // the same variables under the same keys, so every name finds what it found before.
    // It changes with every add and removal (a state the object had before may take its
    // old stamp again) and never matches the stamp of another object.
    uint64_t GetStamp() const { return stamp_; }
    // Names the state of the variables of every object on this thread and of the
    // interpreter's scopes: while it stays the same, every name finds the variable it
    // found before. Each change (through NoteScopeChange for the scopes) takes a value
    // never used before; only a state known to be the same as an earlier one takes that
    // one's value again (RestoreScopeEpoch).
    static uint64_t ScopeEpoch() { return scopeEpoch_; }
    static void NoteScopeChange() { scopeEpoch_ = ++lastEpoch_; }
    static void RestoreScopeEpoch(uint64_t epoch) { scopeEpoch_ = epoch; }
    // Counts the changes of the variables of objects other than the locals of calls:
    // a call during which it stays the same left its caller's scopes as they were.
    static uint64_t SharedChanges() { return sharedChanges_; }
    // Marks the object as the locals of calls, which only the call running with them
    // can reach.
    void MarkCallLocals() { callLocals_ = true; }
    // The locals of a call holding no variable, which none but that call can add to.
    bool IsEmptyCallLocals() const { return callLocals_ && shape_ == kEmptyShape; }
    // Identifies the keys the object holds and their order, whatever the variables:
    // two objects (or moments) with the same shape hold their variables under the same
    // keys at the same front positions, so a name found at a position of one is at that
    // position of the other. Recursion fills the locals of every level in one order, and
    // a name cache keyed by shape keeps answering from level to level. While the table
    // holds variables the shape is the stamp, which no other object shares.
    uint64_t GetShape() const { return shape_; }
    // The variable at a front position the shape vouches for.
    CVariable* FrontVariable(uint32_t position) const { return front_[position].variable; }
    // 1 + the front position of `variable` while the shape is shared by key order alone,
    // else 0.
    uint32_t ShapedPosition(const CVariable* variable) const {
        if (count_ != 0 || shape_ == stamp_) return 0;
        for (uint32_t i = 0; i < frontCount_; ++i) {
            if (front_[i].variable == variable) return i + 1;
        }
        return 0;
    }
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
        // The shape of the entries up to and including this one.
        uint64_t shape;
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
    // AddVariable when the front has no entry waiting for this key and spare.
    [[gnu::noinline]] CVariable* AddVariableAnew(uint32_t key, int32_t level);
    // Adds to the table; the object's new stamp is fresh.
    [[gnu::noinline]] void AddToTable(uint32_t key, CVariable* variable);
    // A new variable record; error 15 when memory runs out.
    [[gnu::noinline]] CVariable* NewVariable(int32_t level);
    // DropVariablesFromLevel for a level some variable may have.
    [[gnu::noinline]] void DropVariablesFrom(int32_t level);
    // Takes the entries of `level` or deeper out of the array and recycles them.
    void DropFrontFromLevel(int32_t level);
    // 0 when memory runs out: the chains then serve alone.
    int BuildIndex(uint32_t capacity) const;
    // A key already in the index keeps its variable unless `replace` (a newer one).
    void InsertInIndex(uint32_t key, CVariable* variable, bool replace) const;
    void FreeIndex() const;

    static uint64_t NextStamp();
    // The shape of an object with the keys of `shape` and then `key`; the same value
    // every time for the same two, until the shapes run out (then a fresh stamp).
    static uint64_t ShapeAfter(uint64_t shape, uint32_t key);
    // ShapeAfter from the table of every shape met, or 0 when it has no room for the pair.
    [[gnu::noinline]] static uint64_t ShapeInTable(uint64_t shape, uint32_t key);
    // The shape of every empty object; the stamps never count up to it.
    static constexpr uint64_t kEmptyShape = ~uint64_t(0);
    static bool HoldsNothing(const CValue& value) {
        uint32_t type = value.GetType();
        return type != kValueString && type != kValueObject && type != kValueArray;
    }
    // ClearVariables for any content.
    [[gnu::noinline]] void ClearHeldVariables();
    // The shape from the front entries, once they moved or the table emptied.
    void ReshapeFront(uint32_t from);
    // Empties a variable taken out of the object and keeps it for the next AddVariable:
    // the locals of a call are made and dropped on every call.
    [[gnu::always_inline]] inline void Recycle(CVariable* variable);

    void SetStamp(uint64_t stamp) {
        stamp_ = stamp;
        NoteScopeChange();
        if (!callLocals_) ++sharedChanges_;
    }

    static constinit inline thread_local uint64_t scopeEpoch_ = 1;
    static constinit inline thread_local uint64_t lastEpoch_ = 1;
    static constinit inline thread_local uint64_t sharedChanges_ = 0;
    bool callLocals_ = false;
    CHandleTable variables_;
    uint64_t stamp_ = NextStamp();
    // The stamp of the object while empty.
    uint64_t emptyStamp_ = stamp_;
    uint64_t shape_ = kEmptyShape;
    FrontEntry front_[kFrontEntries];
    uint32_t frontCount_ = 0;
    uint32_t memoCount_ = 0;
    // Variables in the table, and those of them created above level 0 (a drop looks at
    // the table only when it holds any).
    uint32_t count_ = 0;
    uint32_t leveledCount_ = 0;
    // No variable of the object lies at a deeper level than this.
    int32_t topLevel_ = 0;
    mutable IndexSlot* index_ = nullptr;
    mutable uint32_t indexMask_ = 0;
    // Set when variables were removed: the index is rebuilt at the next lookup.
    mutable bool indexStale_ = false;
    CVariable* spares_ = nullptr;
    // Cleared by the destructor, which may run after the interpreter's own.
    bool recycling_ = true;
};
