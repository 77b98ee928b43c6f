// The point list of one mesh frame. It holds each point once with a count of how many
// times the frame refers to it, merges points of equal values so that polygons built
// from shared corners share their points, and deletes points nothing uses any more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class ChunkWriter;
class L3DPoint;
class L3DWorld;

class LBasePoint {
public:
    static constexpr uint32_t kMerge = 2;
    static constexpr uint32_t kDeleteUnused = 4;
    static constexpr int32_t kCapacityStep = 8;

    LBasePoint();
    LBasePoint(const LBasePoint&) = delete;
    LBasePoint& operator=(const LBasePoint&) = delete;
    virtual ~LBasePoint();

    // The point list record: u16 count, then ten floats per point.
    virtual void Write(ChunkWriter& writer, uint32_t flags) const;

    // With merging, the first point of exactly these seven values; its list use becomes
    // `uses`, or with -1 grows by one while polygons use the point and is 1 otherwise.
    // Else a new point from the world's back end. Null without a world.
    L3DPoint* AddPoint(float x, float y, float z, float u1, float v1, float u2, float v2,
                       int32_t uses);
    // The point's index; a listed point counts one more list use when merging.
    int32_t AddPointRef(L3DPoint* point);
    // 14 for a point not listed; else one use less on the point and in the list, the
    // entry leaving at its last list use (the point deleted with flag 4 when unused).
    int RemovePointRef(L3DPoint* point);
    // After the points' uses were counted afresh: every point no polygon uses leaves the
    // list, last to first (deleted with flag 4), and each kept entry's list use becomes
    // its point's use count.
    void DropUnused();
    // With flag 4 only: releases every list use and empties the list.
    void Clear();
    // For a frame whose faces have let go of their points already: the list's uses are
    // not counted again, so that a point another object's faces still use stays. With
    // flag 4 the points nothing uses are deleted; the list is emptied.
    void ReleaseAfterFaces();
    L3DPoint* GetPoint(int32_t i) const;
    const std::vector<L3DPoint*>& Points() const { return points_; }
    int32_t IndexOf(const L3DPoint* point) const;
    int32_t GetListUse(int32_t i) const;
    void EnableMerging() { flags |= kMerge; }
    void DisableMerging() { flags &= ~kMerge; }
    bool IsMerging() const { return (flags & kMerge) != 0; }
    // Points made through this list's world with the other list's values and uses.
    void CopyFrom(const LBasePoint& other);
    // Code that changes the values of listed points in place calls this, so that merging
    // finds them by their new values.
    void ValuesChanged() const { indexValid_ = false; }

    int32_t GetCount() const { return int32_t(points_.size()); }
    int32_t GetCapacity() const { return capacity_; }

    uint32_t flags = kMerge | kDeleteUnused;
    L3DWorld* world = nullptr;

private:
    // The seven merged values as bits, minus zero taken as zero.
    struct Values {
        uint32_t bits[7];
        bool operator==(const Values& other) const;
    };
    struct ValuesHash {
        size_t operator()(const Values& v) const;
    };
    // False for a value that is not a number, which equals nothing and so never merges.
    static bool ValuesOf(const float* xyz, const float* uv, Values& out);
    // The position of the first point with each set of values, so that merging a mesh
    // of many points does not compare each new one with all before it. Built when first
    // needed and again after points left the list or changed.
    int32_t FindFirst(const Values& values) const;

    void Append(L3DPoint* point, int32_t uses);
    void DeletePoint(L3DPoint* point) const;
    void FitCapacity();

    std::vector<L3DPoint*> points_;
    std::vector<int32_t> uses_;
    mutable std::unordered_map<Values, int32_t, ValuesHash> firstByValues_;
    mutable bool indexValid_ = false;
    // The first position of each point, made when a long list is searched twice without a
    // point leaving it in between: a mesh built face by face asks for every corner.
    void PointsLeft();
    mutable std::unordered_map<const L3DPoint*, int32_t> firstByPoint_;
    mutable bool pointIndexValid_ = false;
    mutable uint32_t searchesSinceLeave_ = 0;
    int32_t capacity_ = kCapacityStep;
};
