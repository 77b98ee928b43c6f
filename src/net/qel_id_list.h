// An id-keyed list of objects it does not own, in the order they were added, each id at
// most once.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

template <class T> class QelIdList {
public:
    // False, adding nothing, when the id is already there.
    bool Add(T* object, uint32_t id) {
        if (Position(id) != entries_.size()) return false;
        entries_.emplace_back(id, object);
        return true;
    }
    T* FindById(uint32_t id) const {
        size_t at = Position(id);
        return at < entries_.size() ? entries_[at].second : nullptr;
    }
    void RemoveById(uint32_t id) {
        size_t at = Position(id);
        if (at < entries_.size()) entries_.erase(entries_.begin() + static_cast<ptrdiff_t>(at));
    }
    T* GetAt(size_t index) const {
        return index < entries_.size() ? entries_[index].second : nullptr;
    }
    uint32_t GetIdAt(size_t index) const {
        return index < entries_.size() ? entries_[index].first : 0;
    }
    size_t GetCount() const { return entries_.size(); }
    // Position of an id, or the count when absent.
    size_t Position(uint32_t id) const {
        auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [id](const auto& entry) { return entry.first == id; });
        return static_cast<size_t>(found - entries_.begin());
    }

private:
    std::vector<std::pair<uint32_t, T*>> entries_;
};
