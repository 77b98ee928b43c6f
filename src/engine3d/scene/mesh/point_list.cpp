#include "engine3d/scene/mesh/point_list.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/scene_codes.h"

LBasePoint::LBasePoint() {
    points_.reserve(kCapacityStep);
    uses_.reserve(kCapacityStep);
}

LBasePoint::~LBasePoint() {
    Clear();
}

void LBasePoint::DeletePoint(L3DPoint* point) const {
    LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
    if (device != nullptr)
        device->DeletePoint(point);
    else
        delete point;
}

void LBasePoint::FitCapacity() {
    const int32_t capacity = (GetCount() / kCapacityStep + 1) * kCapacityStep;
    if (capacity == capacity_) return;
    capacity_ = capacity;
    points_.shrink_to_fit();
    uses_.shrink_to_fit();
    points_.reserve(size_t(capacity));
    uses_.reserve(size_t(capacity));
}

bool LBasePoint::Values::operator==(const Values& other) const {
    return std::equal(bits, bits + 7, other.bits);
}

size_t LBasePoint::ValuesHash::operator()(const Values& v) const {
    uint64_t h = 0x9E3779B97F4A7C15u;
    for (uint32_t b : v.bits)
        h = (h ^ b) * 0x100000001B3u;
    return size_t(h ^ (h >> 29));
}

bool LBasePoint::ValuesOf(const float* xyz, const float* uv, Values& out) {
    for (int i = 0; i < 7; ++i) {
        const float value = i < 3 ? xyz[i] : uv[i - 3];
        if (value != value) return false;
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        out.bits[i] = bits == 0x80000000u ? 0 : bits;
    }
    return true;
}

int32_t LBasePoint::FindFirst(const Values& values) const {
    if (!indexValid_) {
        firstByValues_.clear();
        for (size_t i = 0; i < points_.size(); ++i) {
            Values v;
            if (ValuesOf(points_[i]->model, points_[i]->texture, v))
                firstByValues_.emplace(v, int32_t(i));
        }
        indexValid_ = true;
    }
    const auto found = firstByValues_.find(values);
    if (found == firstByValues_.end()) return -1;
    const L3DPoint* p = points_[size_t(found->second)];
    Values now;
    if (ValuesOf(p->model, p->texture, now) && now == values) return found->second;
    // Changed in place without a word: looked up again from what the points hold now.
    indexValid_ = false;
    return FindFirst(values);
}

void LBasePoint::Append(L3DPoint* point, int32_t uses) {
    points_.push_back(point);
    uses_.push_back(uses);
    if (GetCount() > capacity_) capacity_ += kCapacityStep;
    Values v;
    if (indexValid_ && ValuesOf(point->model, point->texture, v))
        firstByValues_.emplace(v, GetCount() - 1);
    if (pointIndexValid_) firstByPoint_.emplace(point, GetCount() - 1);
}

void LBasePoint::PointsLeft() {
    pointIndexValid_ = false;
    firstByPoint_.clear();
    searchesSinceLeave_ = 0;
}

L3DPoint* LBasePoint::AddPoint(float x, float y, float z, float u1, float v1, float u2, float v2,
                               int32_t uses) {
    const float xyz[3] = {x, y, z}, uv[4] = {u1, v1, u2, v2};
    Values values;
    if (IsMerging() && ValuesOf(xyz, uv, values)) {
        const int32_t found = FindFirst(values);
        if (found >= 0) {
            const size_t i = size_t(found);
            const L3DPoint* p = points_[i];
            if (uses != -1)
                uses_[i] = uses;
            else
                uses_[i] = p->useCount != 0 ? uses_[i] + 1 : 1;
            return points_[i];
        }
    }
    LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
    if (device == nullptr) return nullptr;
    L3DPoint* point = device->CreatePoint(x, y, z, u1, v1, u2, v2);
    if (point == nullptr) return nullptr;
    point->useCount = 0;
    Append(point, uses == -1 ? 1 : uses);
    return point;
}

int32_t LBasePoint::AddPointRef(L3DPoint* point) {
    if (IsMerging()) {
        const int32_t i = IndexOf(point);
        if (i >= 0) {
            uses_[size_t(i)] = point->useCount != 0 ? uses_[size_t(i)] + 1 : 1;
            return i;
        }
    }
    Append(point, 1);
    return GetCount() - 1;
}

int LBasePoint::RemovePointRef(L3DPoint* point) {
    const int32_t i = point != nullptr ? IndexOf(point) : -1;
    if (i < 0) return kScenePointMissing;
    point->useCount = std::max(point->useCount - 1, 0);
    if (--uses_[size_t(i)] > 0) return 0;
    points_.erase(points_.begin() + i);
    uses_.erase(uses_.begin() + i);
    indexValid_ = false;
    PointsLeft();
    FitCapacity();
    // A point appended twice while merging was off is still held by its other entry.
    if (point->useCount < 1 && (flags & kDeleteUnused) != 0 && IndexOf(point) < 0)
        DeletePoint(point);
    return 0;
}

void LBasePoint::DropUnused() {
    for (size_t i = points_.size(); i-- > 0;) {
        L3DPoint* point = points_[i];
        if (point->useCount > 0) {
            uses_[i] = point->useCount;
            continue;
        }
        points_.erase(points_.begin() + std::ptrdiff_t(i));
        uses_.erase(uses_.begin() + std::ptrdiff_t(i));
        indexValid_ = false;
        PointsLeft();
        if ((flags & kDeleteUnused) != 0 && IndexOf(point) < 0) DeletePoint(point);
    }
    FitCapacity();
}

void LBasePoint::Clear() {
    if ((flags & kDeleteUnused) == 0) return;
    std::vector<L3DPoint*> unused;
    for (size_t i = 0; i < points_.size(); ++i) {
        L3DPoint* point = points_[i];
        point->useCount -= uses_[i];
        if (point->useCount <= 0) unused.push_back(point);
    }
    std::sort(unused.begin(), unused.end());
    unused.erase(std::unique(unused.begin(), unused.end()), unused.end());
    for (L3DPoint* point : unused)
        DeletePoint(point);
    points_.clear();
    uses_.clear();
    indexValid_ = false;
    PointsLeft();
    FitCapacity();
}

void LBasePoint::ReleaseAfterFaces() {
    std::vector<L3DPoint*> unused;
    if ((flags & kDeleteUnused) != 0) {
        for (L3DPoint* point : points_)
            if (point->useCount <= 0) unused.push_back(point);
    }
    std::sort(unused.begin(), unused.end());
    unused.erase(std::unique(unused.begin(), unused.end()), unused.end());
    points_.clear();
    uses_.clear();
    indexValid_ = false;
    PointsLeft();
    FitCapacity();
    for (L3DPoint* point : unused)
        DeletePoint(point);
}

L3DPoint* LBasePoint::GetPoint(int32_t i) const {
    return i >= 0 && i < GetCount() ? points_[size_t(i)] : nullptr;
}

int32_t LBasePoint::IndexOf(const L3DPoint* point) const {
    constexpr size_t kSearchedLength = 64;
    // A search between two leaves (a list emptied point by point) is cheaper than an index.
    if (!pointIndexValid_ && (points_.size() <= kSearchedLength || searchesSinceLeave_++ == 0)) {
        const auto it = std::find(points_.begin(), points_.end(), point);
        return it == points_.end() ? -1 : int32_t(it - points_.begin());
    }
    if (!pointIndexValid_) {
        for (size_t i = 0; i < points_.size(); ++i)
            firstByPoint_.emplace(points_[i], int32_t(i));
        pointIndexValid_ = true;
    }
    const auto found = firstByPoint_.find(point);
    return found == firstByPoint_.end() ? -1 : found->second;
}

int32_t LBasePoint::GetListUse(int32_t i) const {
    return i >= 0 && i < GetCount() ? uses_[size_t(i)] : 0;
}

void LBasePoint::CopyFrom(const LBasePoint& other) {
    Clear();
    LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
    if (device == nullptr) return;
    for (size_t i = 0; i < other.points_.size(); ++i) {
        const L3DPoint* s = other.points_[i];
        L3DPoint* p = device->CreatePoint(s->model[0], s->model[1], s->model[2], s->texture[0],
                                          s->texture[1], s->texture[2], s->texture[3]);
        if (p == nullptr) continue;
        std::copy_n(s->world, 3, p->world);
        p->screenX = s->screenX;
        p->screenY = s->screenY;
        std::copy_n(s->normal, 3, p->normal);
        std::copy_n(s->staticColor, 4, p->staticColor);
        std::copy_n(s->frameColor, 4, p->frameColor);
        p->fog = s->fog;
        p->visible = s->visible;
        p->reflectionCurve = s->reflectionCurve;
        p->useCount = s->useCount;
        Append(p, other.uses_[i]);
    }
    capacity_ = std::max(capacity_, other.capacity_);
}

void LBasePoint::Write(ChunkWriter& writer, uint32_t) const {
    writer.WriteU16(uint16_t(points_.size()));
    for (const L3DPoint* p : points_) {
        const float values[10] = {p->model[0],   p->model[1],   p->model[2],   p->texture[0],
                                  p->texture[1], p->texture[2], p->texture[3], p->normal[0],
                                  p->normal[1],  p->normal[2]};
        writer.WritePoint(values);
    }
}
