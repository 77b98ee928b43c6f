// What a 3D object whose polygons change offers the interpreter's polygon-change
// batches: a change is applied at once outside a batch and once, when the outermost
// batch closes, inside one.
#pragma once

class CPolygonChangeTarget {
public:
    virtual ~CPolygonChangeTarget() = default;
    // Recomputes the geometry when `geometry` is set and the bounding box when `box` is,
    // then passes the change on. The same operation serves both paths, so a batch
    // updates exactly as the changes would have one by one.
    virtual void ApplyPolygonChange(int geometry, int box) = 0;
};
