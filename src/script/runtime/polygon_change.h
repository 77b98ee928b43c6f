// What a 3D object whose polygons change offers the interpreter's polygon-change
// batches: a change is applied at once outside a batch and once, when the outermost
// batch closes, inside one.
#pragma once

#include <cstdint>

class CPolygonChangeTarget {
public:
    virtual ~CPolygonChangeTarget() = default;
    // Recomputes the geometry when `geometry` is set and the bounding box when `box` is,
    // then passes the change on. The same operation serves both paths, so a batch
    // updates exactly as the changes would have one by one.
    virtual void ApplyPolygonChange(int geometry, int box) = 0;

private:
    friend class CInterpretor;
    // Where the open batch keeps this object's record, plus one: a batch of many objects
    // finds each record at once. Checked against the record before use, so a value left
    // from an earlier batch only means the object has no record yet.
    uint32_t deferredSlot_ = 0;
};
