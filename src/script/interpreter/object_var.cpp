#include "script/interpreter/object_var.h"

#include <algorithm>
#include <new>

#include "foundation/memory/memory_helpers.h"
#include "script/interpreter/interpretor.h"

namespace {

uint32_t IndexHash(uint32_t key) {
    return key * 0x9E3779B1u;
}

} // namespace

uint64_t CIBaseObjectVar::NextStamp() {
    // Stamps are only compared within one interpreter, which lives on one thread, so a
    // per-thread counter keeps them unique without a locked increment on this hot path.
    static thread_local uint64_t last = 0;
    return ++last;
}

namespace {

// Shapes met so far: (shape, key) -> the shape after adding the key. Kept per thread,
// like the stamps they are drawn from.
class ShapeTable {
public:
    ShapeTable() = default;
    ShapeTable(const ShapeTable&) = delete;
    ShapeTable& operator=(const ShapeTable&) = delete;
    ~ShapeTable() { MemFree(&slots_); }

    // 0 when the key is not known and there is no room for it.
    uint64_t Find(uint64_t shape, uint32_t key, uint64_t fresh) {
        if (slots_ == nullptr || (count_ + 1) * 2 > mask_ + 1) {
            if (!Grow()) return 0;
        }
        for (uint32_t i = Hash(shape, key) & mask_;; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (slot.next == 0) {
                slot = {shape, fresh, key};
                ++count_;
                return fresh;
            }
            if (slot.shape == shape && slot.key == key) return slot.next;
        }
    }

private:
    struct Slot {
        uint64_t shape;
        uint64_t next;
        uint32_t key;
    };
    static constexpr uint32_t kMaxSlots = 1u << 17;

    static uint32_t Hash(uint64_t shape, uint32_t key) {
        uint64_t mixed = (shape ^ (uint64_t(key) << 32)) * 0x9E3779B97F4A7C15ull;
        return uint32_t(mixed >> 32);
    }

    bool Grow() {
        uint32_t capacity = slots_ == nullptr ? 256 : (mask_ + 1) * 2;
        if (capacity > kMaxSlots) return false;
        Slot* fresh = nullptr;
        if (!MemCalloc(size_t(capacity) * sizeof(Slot), &fresh)) return false;
        for (uint32_t i = 0; slots_ != nullptr && i <= mask_; ++i) {
            if (slots_[i].next == 0) continue;
            for (uint32_t j = Hash(slots_[i].shape, slots_[i].key) & (capacity - 1);;
                 j = (j + 1) & (capacity - 1)) {
                if (fresh[j].next == 0) {
                    fresh[j] = slots_[i];
                    break;
                }
            }
        }
        MemFree(&slots_);
        slots_ = fresh;
        mask_ = capacity - 1;
        return true;
    }

    Slot* slots_ = nullptr;
    uint32_t mask_ = 0;
    uint32_t count_ = 0;
};

} // namespace

uint64_t CIBaseObjectVar::ShapeInTable(uint64_t shape, uint32_t key) {
    static thread_local ShapeTable table;
    return table.Find(shape, key, NextStamp());
}

uint64_t CIBaseObjectVar::ShapeAfter(uint64_t shape, uint32_t key) {
    // The steps met last, by a hash of the pair, in front of the table: most objects are
    // made by a few constructors, which add the same members in the same order each time.
    struct Step {
        uint64_t shape;
        uint64_t next;
        uint32_t key;
    };
    static thread_local Step recent[64];
    Step& step = recent[((shape ^ (uint64_t(key) << 32)) * 0x9E3779B97F4A7C15ull) >> 58];
    if (step.next != 0 && step.shape == shape && step.key == key) [[likely]]
        return step.next;
    const uint64_t next = ShapeInTable(shape, key);
    if (next != 0) step = {shape, next, key};
    return next != 0 ? next : NextStamp();
}

void CIBaseObjectVar::ReshapeFront(uint32_t from) {
    for (uint32_t i = from; i < frontCount_; ++i)
        front_[i].shape = ShapeAfter(i == 0 ? kEmptyShape : front_[i - 1].shape, front_[i].key);
    if (count_ != 0)
        shape_ = stamp_;
    else
        shape_ = frontCount_ == 0 ? kEmptyShape : front_[frontCount_ - 1].shape;
}

inline void CIBaseObjectVar::Recycle(CVariable* variable) {
    // At shutdown a value lets go of its content by the destructor's rule only.
    if (!recycling_ || interpreter == nullptr || interpreter->shuttingDown != 0) {
        delete variable;
        return;
    }
    variable->value.SetUnboundName(0);
    variable->nextSpare = spares_;
    spares_ = variable;
}

CIBaseObjectVar::CIBaseObjectVar(CInterpretor* interpreter, int addToList)
    : CIBaseClassImpl(interpreter, nullptr, addToList) {}

CIBaseObjectVar::~CIBaseObjectVar() {
    recycling_ = false;
    ClearVariables();
    FreeIndex();
    while (CVariable* spare = spares_) {
        spares_ = spare->nextSpare;
        delete spare;
    }
}

void CIBaseObjectVar::Destroy(int) {
    delete this;
}

int CIBaseObjectVar::ReleaseReferencesTo(CIBaseClassImpl* object) {
    ForEachVariable([object](CVariable& variable) { variable.value.ReleaseReferencesTo(object); });
    return 0;
}

CVariable* CIBaseObjectVar::FindInTable(uint32_t key) const {
    if (index_ != nullptr && indexStale_ && !BuildIndex(indexMask_ + 1)) FreeIndex();
    if (index_ != nullptr) {
        for (uint32_t i = IndexHash(key) & indexMask_;; i = (i + 1) & indexMask_) {
            const IndexSlot& slot = index_[i];
            if (slot.variable == nullptr) return nullptr;
            if (slot.key == key) return slot.variable;
        }
    }
    for (uint32_t node = variables_.GetHead(key); node != 0;) {
        if (variables_.GetKeyAt(node) == key)
            return reinterpret_cast<CVariable*>(variables_.GetAt(node));
        variables_.GetNext(node);
    }
    return nullptr;
}

CVariable* CIBaseObjectVar::AddVariableAnew(uint32_t key, int32_t level) {
    if (level > topLevel_) topLevel_ = level;
    CVariable* variable = spares_;
    if (variable != nullptr) [[likely]] {
        spares_ = variable->nextSpare;
        variable->nextSpare = nullptr;
        variable->level = level;
    } else {
        variable = NewVariable(level);
    }
    uint32_t position = frontCount_;
    if (count_ != 0 || position == kFrontEntries) {
        AddToTable(key, variable);
        return variable;
    }
    FrontEntry& entry = front_[position];
    // The same variable under the same key after the same prefix: the state of the object
    // is one it had before, and so is its stamp. The same key alone gives the same shape.
    if (position < memoCount_ && entry.key == key) [[likely]] {
        if (entry.variable == variable) {
            SetStamp(entry.stamp);
        } else {
            SetStamp(NextStamp());
            entry.variable = variable;
            entry.stamp = stamp_;
            memoCount_ = position + 1;
        }
    } else {
        SetStamp(NextStamp());
        uint64_t prefix = position == 0 ? kEmptyShape : front_[position - 1].shape;
        entry = {key, variable, stamp_, ShapeAfter(prefix, key)};
        if (position <= memoCount_) memoCount_ = position + 1;
    }
    shape_ = entry.shape;
    frontCount_ = position + 1;
    return variable;
}

CVariable* CIBaseObjectVar::NewVariable(int32_t level) {
    auto* variable = new (std::nothrow) CVariable(interpreter, level);
    if (variable == nullptr) CInterpretor::RaiseErrorOn(interpreter, 15);
    return variable;
}

void CIBaseObjectVar::AddToTable(uint32_t key, CVariable* variable) {
    uint32_t node = variables_.Add(reinterpret_cast<uintptr_t>(variable), key);
    if (node == 0) {
        Recycle(variable);
        CInterpretor::RaiseErrorOn(interpreter, 15);
    }
    if (variable->level > 0) ++leveledCount_;
    ++count_;
    SetStamp(NextStamp());
    shape_ = stamp_;
    if (index_ != nullptr && !indexStale_ && count_ * 2 <= indexMask_ + 1) {
        InsertInIndex(key, variable, true);
    } else if (count_ >= kIndexFrom) {
        uint32_t capacity = 64;
        while (capacity < count_ * 4)
            capacity *= 2;
        if (!BuildIndex(capacity)) FreeIndex();
    }
}

int CIBaseObjectVar::BuildIndex(uint32_t capacity) const {
    IndexSlot* slots = nullptr;
    if (!MemCalloc(size_t(capacity) * sizeof(IndexSlot), &slots)) return 0;
    MemFree(&index_);
    index_ = slots;
    indexMask_ = capacity - 1;
    indexStale_ = false;
    // From the head of each chain: the newest variable of a key is found first and wins.
    for (uint32_t chain = 0; chain < 8; ++chain) {
        for (uint32_t node = variables_.GetHead(chain); node != 0;) {
            uint32_t key = variables_.GetKeyAt(node);
            InsertInIndex(key, reinterpret_cast<CVariable*>(variables_.GetNext(node)), false);
        }
    }
    return 1;
}

void CIBaseObjectVar::InsertInIndex(uint32_t key, CVariable* variable, bool replace) const {
    for (uint32_t i = IndexHash(key) & indexMask_;; i = (i + 1) & indexMask_) {
        IndexSlot& slot = index_[i];
        if (slot.variable == nullptr || slot.key == key) {
            if (slot.variable == nullptr || replace) slot = {key, variable};
            return;
        }
    }
}

void CIBaseObjectVar::FreeIndex() const {
    MemFree(&index_);
    indexMask_ = 0;
    indexStale_ = false;
}

void CIBaseObjectVar::DropVariablesFrom(int32_t level) {
    // Lowered first: a variable made while values are destroyed raises it again.
    topLevel_ = std::max(level - 1, 0);
    // Taken out of the array first, recycled once the object is consistent again:
    // destroying a value may reach the object.
    CVariable* dropped[kFrontEntries];
    uint32_t droppedCount = 0;
    uint32_t kept = 0;
    uint32_t firstDropped = 0;
    bool moved = false;
    for (uint32_t i = 0; i < frontCount_; ++i) {
        if (front_[i].variable->level >= level) {
            if (droppedCount == 0) firstDropped = i;
            dropped[droppedCount++] = front_[i].variable;
        } else {
            if (kept != i) {
                front_[kept] = front_[i];
                moved = true;
            }
            ++kept;
        }
    }
    // Entries that moved down lost the stamps of their prefixes.
    if (moved && memoCount_ > firstDropped) memoCount_ = firstDropped;
    frontCount_ = kept;
    bool changed = droppedCount != 0;
    if (leveledCount_ != 0 || level <= 0) {
        for (uint32_t chain = 0; chain < 8; ++chain) {
            for (uint32_t node = variables_.GetHead(chain); node != 0;) {
                uint32_t current = node;
                auto* variable = reinterpret_cast<CVariable*>(variables_.GetNext(node));
                if (variable->level < level) continue;
                variables_.Remove(current);
                if (variable->level > 0) --leveledCount_;
                --count_;
                indexStale_ = true;
                SetStamp(NextStamp());
                shape_ = stamp_;
                changed = true;
                Recycle(variable);
            }
        }
    }
    if (!changed) return;
    // Back to a state the array's entries were stamped for, when nothing moved.
    if (count_ == 0 && !moved && kept == 0)
        SetStamp(emptyStamp_);
    else if (count_ == 0 && !moved && kept <= memoCount_)
        SetStamp(front_[kept - 1].stamp);
    else
        SetStamp(NextStamp());
    ReshapeFront(moved ? firstDropped : frontCount_);
    for (uint32_t i = droppedCount; i-- > 0;)
        Recycle(dropped[i]);
}

void CIBaseObjectVar::ClearHeldVariables() {
    // Newest first, so that the spares hand the same records to the same adds next time;
    // each is out of the array before its value goes (destroying a value may reach this
    // object again).
    if (frontCount_ == 0 && count_ == 0 && index_ == nullptr) {
        SetStamp(emptyStamp_);
        shape_ = kEmptyShape;
        return;
    }
    // No name cache answers while values go.
    SetStamp(NextStamp());
    shape_ = stamp_;
    while (frontCount_ != 0)
        Recycle(front_[--frontCount_].variable);
    if (count_ == 0 && index_ == nullptr) {
        SetStamp(emptyStamp_);
        shape_ = kEmptyShape;
        return;
    }
    // A lookup while values are destroyed walks the chains, which hold what is left.
    FreeIndex();
    // Taken out of the table first: destroying a value may reach this object again
    // (an array holding it releases its references).
    for (;;) {
        CVariable* variable = nullptr;
        for (uint32_t chain = 0; chain < 8 && variable == nullptr; ++chain) {
            uint32_t node = variables_.GetHead(chain);
            if (node == 0) continue;
            variable = reinterpret_cast<CVariable*>(variables_.GetAt(node));
            variables_.Remove(node);
        }
        if (variable == nullptr) break;
        Recycle(variable);
    }
    leveledCount_ = 0;
    count_ = 0;
    // Empty again: every name misses, as it did the last time the object was empty.
    SetStamp(emptyStamp_);
    shape_ = kEmptyShape;
}
