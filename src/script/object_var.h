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

    // The variable of a name key, or null.
    CVariable* FindVariable(uint32_t key) const;
    // The variable of a key among those added since the object was last empty, while
    // they are all it holds (a call's parameters and first locals); null otherwise, and
    // FindVariable then has the answer. A short walk, with no stamp to match.
    CVariable* FindReplayed(uint32_t key) const {
        if (replayPosition_ == kReplayOff) return nullptr;
        // Newest first: a key added twice (two parameters of one name) finds its last.
        for (uint32_t i = replayPosition_; i-- > 0;) {
            if (replay_[i].key == key) return replay_[i].variable;
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
    // Changes whenever a variable is added or removed, and differs from the stamp of
    // every other object ever made: an unchanged (object, stamp) pair means every name
    // still finds what it found before.
    uint64_t GetStamp() const { return stamp_; }
    // Calls `visit` with every variable.
    template <class Visit> void ForEachVariable(Visit&& visit) const {
        for (uint32_t chain = 0; chain < 8; ++chain) {
            for (uint32_t node = variables_.GetHead(chain); node != 0;)
                visit(*reinterpret_cast<CVariable*>(variables_.GetNext(node)));
        }
    }

private:
    // An open-addressed index over the table once it holds many variables, so that a
    // lookup does not walk a long chain; it always answers as the chains would.
    struct IndexSlot {
        uint32_t key;
        CVariable* variable;
    };
    static constexpr uint32_t kIndexFrom = 16;

    // 0 when memory runs out: the chains then serve alone.
    int BuildIndex(uint32_t capacity) const;
    // A key already in the index keeps its variable unless `replace` (a newer one).
    void InsertInIndex(uint32_t key, CVariable* variable, bool replace) const;
    void FreeIndex() const;

    static uint64_t NextStamp();
    // Empties a variable taken out of the table and keeps it for the next AddVariable:
    // the locals of a call are made and dropped on every call.
    void Recycle(CVariable* variable);

    // The variables added since the object was last empty, with the stamps they gave:
    // filled again with the same variables (the parameters of each call of a function),
    // the object takes the same stamps again, so names keep finding them through the
    // caches. Off (kReplayOff) after any other change, until the next clear.
    struct ReplayStep {
        uint32_t key;
        int32_t level;
        CVariable* variable;
        uint64_t stamp;
        // The variable's node in the table.
        uint32_t node;
    };
    static constexpr uint32_t kReplaySteps = 4;
    static constexpr uint32_t kReplayOff = ~0u;
    // Stamps the object with the add of `variable`.
    void StampAdd(uint32_t key, int32_t level, CVariable* variable, uint32_t node);

    CHandleTable variables_;
    uint64_t stamp_ = NextStamp();
    // The stamp of the object while empty.
    uint64_t emptyStamp_ = stamp_;
    ReplayStep replay_[kReplaySteps];
    uint32_t replayCount_ = 0;
    uint32_t replayPosition_ = 0;
    uint32_t count_ = 0;
    // Variables created above level 0; DropVariablesFromLevel looks at nothing when none.
    uint32_t leveledCount_ = 0;
    mutable IndexSlot* index_ = nullptr;
    mutable uint32_t indexMask_ = 0;
    // Set when variables were removed: the index is rebuilt at the next lookup.
    mutable bool indexStale_ = false;
    CVariable* spares_ = nullptr;
    // Cleared by the destructor, which may run after the interpreter's own.
    bool recycling_ = true;
};
