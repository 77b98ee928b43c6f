// Where the cluster's dynamic objects (each with its children) sweep during one collision
// pass, in a uniform grid, so that a moving object is tried only against the objects its
// path can come near. A response moves objects: the caller hands back each object whose
// tree changed, and asks again for what follows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class L3DObject;

class CollisionGrid {
public:
    // The objects in the order they are tried.
    explicit CollisionGrid(const std::vector<L3DObject*>& objects);

    // The indices from `first` on whose trees the mover's path can meet, ascending.
    void Candidates(const L3DObject& mover, size_t first, std::vector<size_t>& out);
    // The tree of objects[index] has moved.
    void Refresh(size_t index);
    // Something outside the objects' own trees moved some of them.
    void Invalidate() { built_ = false; }

private:
    struct Box {
        double lo[3];
        double hi[3];
        // False when the box cannot bound the sphere (a radius or position not finite).
        bool bounded;
    };
    struct Entry {
        Box box;
        // Whether the entry sits in the cells or in the list of the large ones.
        bool placed = false;
        bool large = false;
        int32_t cellLo[3] = {};
        int32_t cellHi[3] = {};
    };

    void Build();
    void Place(size_t index);
    void Remove(size_t index);
    // False when the box spans too many cells, or cells out of range.
    bool CellRange(const Box& box, int32_t* lo, int32_t* hi) const;
    static uint64_t Key(int32_t x, int32_t y, int32_t z);
    // Every point within reach of the object's path since its previous position.
    static Box PathBox(const L3DObject& object);
    // The same for the object and all its children.
    static Box TreeBox(const L3DObject& object);
    static bool Meet(const Box& a, const Box& b);

    const std::vector<L3DObject*>& objects_;
    std::vector<Entry> entries_;
    std::unordered_map<uint64_t, std::vector<uint32_t>> cells_;
    std::vector<uint32_t> large_;
    std::vector<uint32_t> seen_;
    uint32_t stamp_ = 0;
    double cell_ = 1;
    bool built_ = false;
    // The grid needs disjoint trees: with an object listed under another it tries them all.
    bool usable_ = false;
};
