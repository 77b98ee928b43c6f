#include "engine3d/scene/objects/collision_grid.h"

#include <algorithm>
#include <cmath>

#include "engine3d/scene/objects/object_walk.h"

namespace {

// Cells a box may span before it is kept with the large ones, tried by every mover.
constexpr int64_t kMaxCellsPerBox = 64;
// Cell coordinates fit 21 bits each in a key.
constexpr double kCellLimit = 1 << 20;

// Two spheres can only meet in the swept-sphere test where their paths come within
// rA + rB + max(0.5, 0.032 x the longer move) of each other: the discriminant is truncated
// to thousandths, worth up to 0.25 on the squared distance, and a nearly parallel pair is
// solved as a line, worth up to 0.001 x move squared. Each object's box takes half of the
// 0.5 and 0.032 x its own move, so two boxes that do not meet keep the paths farther apart
// than that; the rest covers rounding.
double Reach(const L3DObject& object, double move) {
    double scale = 0;
    for (int i = 0; i < 3; ++i)
        scale = std::max({scale, std::fabs(double(object.position[i])),
                          std::fabs(double(object.previousPosition[i]))});
    return std::fabs(double(object.GetCollisionRadius())) + 0.26 + 0.032 * move +
           1e-6 * (scale + move);
}

} // namespace

CollisionGrid::CollisionGrid(const std::vector<L3DObject*>& objects) : objects_(objects) {}

CollisionGrid::Box CollisionGrid::PathBox(const L3DObject& object) {
    Box box;
    double move = 0;
    for (int i = 0; i < 3; ++i) {
        const double d = double(object.position[i]) - object.previousPosition[i];
        move += d * d;
    }
    move = std::sqrt(move);
    const double reach = Reach(object, move);
    box.bounded = std::isfinite(reach);
    for (int i = 0; i < 3; ++i) {
        const double a = object.position[i], b = object.previousPosition[i];
        box.lo[i] = std::min(a, b) - reach;
        box.hi[i] = std::max(a, b) + reach;
        box.bounded = box.bounded && std::isfinite(box.lo[i]) && std::isfinite(box.hi[i]);
    }
    return box;
}

CollisionGrid::Box CollisionGrid::TreeBox(const L3DObject& object) {
    Box box = PathBox(object);
    ForEachChild(object.children, [&](const L3DObject* child) {
        const Box inner = TreeBox(*child);
        box.bounded = box.bounded && inner.bounded;
        for (int i = 0; i < 3; ++i) {
            box.lo[i] = std::min(box.lo[i], inner.lo[i]);
            box.hi[i] = std::max(box.hi[i], inner.hi[i]);
        }
    });
    return box;
}

bool CollisionGrid::Meet(const Box& a, const Box& b) {
    if (!a.bounded || !b.bounded) return true;
    for (int i = 0; i < 3; ++i)
        if (a.lo[i] > b.hi[i] || b.lo[i] > a.hi[i]) return false;
    return true;
}

uint64_t CollisionGrid::Key(int32_t x, int32_t y, int32_t z) {
    const auto part = [](int32_t v) { return uint64_t(uint32_t(v) & 0x1FFFFF); };
    return part(x) | part(y) << 21 | part(z) << 42;
}

bool CollisionGrid::CellRange(const Box& box, int32_t* lo, int32_t* hi) const {
    if (!box.bounded) return false;
    int64_t count = 1;
    for (int i = 0; i < 3; ++i) {
        const double a = std::floor(box.lo[i] / cell_), b = std::floor(box.hi[i] / cell_);
        if (!(a > -kCellLimit && b < kCellLimit)) return false;
        lo[i] = int32_t(a);
        hi[i] = int32_t(b);
        count *= int64_t(hi[i]) - lo[i] + 1;
        if (count > kMaxCellsPerBox) return false;
    }
    return true;
}

void CollisionGrid::Build() {
    built_ = true;
    cells_.clear();
    large_.clear();
    entries_.assign(objects_.size(), Entry{});
    seen_.assign(objects_.size(), 0);
    usable_ = std::all_of(objects_.begin(), objects_.end(),
                          [](const L3DObject* object) { return object->parent == nullptr; });
    if (!usable_) return;
    std::vector<double> sizes;
    for (size_t i = 0; i < objects_.size(); ++i) {
        if (objects_[i]->IsCollisionOn() == 0) continue;
        Box& box = entries_[i].box;
        box = TreeBox(*objects_[i]);
        if (box.bounded)
            sizes.push_back(std::max({box.hi[0] - box.lo[0], box.hi[1] - box.lo[1],
                                      box.hi[2] - box.lo[2]}));
    }
    // Cells as wide as the middle box: most boxes then span one or two a side.
    if (!sizes.empty()) {
        std::nth_element(sizes.begin(), sizes.begin() + sizes.size() / 2, sizes.end());
        cell_ = std::max(sizes[sizes.size() / 2], 1e-3);
    }
    for (size_t i = 0; i < objects_.size(); ++i)
        if (objects_[i]->IsCollisionOn() != 0) Place(i);
}

void CollisionGrid::Place(size_t index) {
    Entry& entry = entries_[index];
    entry.placed = true;
    entry.large = !CellRange(entry.box, entry.cellLo, entry.cellHi);
    if (entry.large) {
        large_.push_back(uint32_t(index));
        return;
    }
    for (int32_t x = entry.cellLo[0]; x <= entry.cellHi[0]; ++x)
        for (int32_t y = entry.cellLo[1]; y <= entry.cellHi[1]; ++y)
            for (int32_t z = entry.cellLo[2]; z <= entry.cellHi[2]; ++z)
                cells_[Key(x, y, z)].push_back(uint32_t(index));
}

void CollisionGrid::Remove(size_t index) {
    Entry& entry = entries_[index];
    const auto drop = [index](std::vector<uint32_t>& list) {
        const auto at = std::find(list.begin(), list.end(), uint32_t(index));
        if (at == list.end()) return;
        *at = list.back();
        list.pop_back();
    };
    entry.placed = false;
    if (entry.large) {
        drop(large_);
        return;
    }
    for (int32_t x = entry.cellLo[0]; x <= entry.cellHi[0]; ++x)
        for (int32_t y = entry.cellLo[1]; y <= entry.cellHi[1]; ++y)
            for (int32_t z = entry.cellLo[2]; z <= entry.cellHi[2]; ++z) {
                const auto cell = cells_.find(Key(x, y, z));
                if (cell != cells_.end()) drop(cell->second);
            }
}

void CollisionGrid::Refresh(size_t index) {
    if (!built_ || !usable_ || !entries_[index].placed) return;
    const Box box = TreeBox(*objects_[index]);
    Entry& entry = entries_[index];
    int32_t lo[3], hi[3];
    const bool large = !CellRange(box, lo, hi);
    const bool sameCells = large == entry.large &&
                           (large || (std::equal(lo, lo + 3, entry.cellLo) &&
                                      std::equal(hi, hi + 3, entry.cellHi)));
    if (sameCells) {
        entry.box = box;
        return;
    }
    Remove(index);
    entry.box = box;
    Place(index);
}

void CollisionGrid::Candidates(const L3DObject& mover, size_t first, std::vector<size_t>& out) {
    out.clear();
    if (!built_) Build();
    if (!usable_) {
        for (size_t i = first; i < objects_.size(); ++i)
            out.push_back(i);
        return;
    }
    // The mover alone: only it is tried against the others, not its children.
    const Box path = PathBox(mover);
    const auto consider = [&](uint32_t index) {
        if (index < first || seen_[index] == stamp_) return;
        seen_[index] = stamp_;
        if (Meet(path, entries_[index].box)) out.push_back(index);
    };
    ++stamp_;
    int32_t lo[3], hi[3];
    if (CellRange(path, lo, hi)) {
        for (int32_t x = lo[0]; x <= hi[0]; ++x)
            for (int32_t y = lo[1]; y <= hi[1]; ++y)
                for (int32_t z = lo[2]; z <= hi[2]; ++z) {
                    const auto cell = cells_.find(Key(x, y, z));
                    if (cell != cells_.end())
                        for (uint32_t index : cell->second)
                            consider(index);
                }
        for (uint32_t index : large_)
            consider(index);
    } else {
        for (size_t i = first; i < objects_.size(); ++i)
            if (entries_[i].placed) consider(uint32_t(i));
    }
    std::sort(out.begin(), out.end());
}
