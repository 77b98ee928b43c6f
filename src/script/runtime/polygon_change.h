// What a 3D object whose polygons change offers the interpreter's polygon-change
// batches: a change is applied at once outside a batch and once, when the outermost
// batch closes, inside one.
#pragma once

class CPolygonChangeTarget {
public:
    virtual ~CPolygonChangeTarget() = default;
    // Recomputes the mesh from the polygons (and tells its world).
    virtual void RebuildMesh() = 0;
    // Refreshes the mesh's geometry.
    virtual void RefreshGeometry() = 0;
    // Passes the change on once the mesh is up to date.
    virtual void ApplyPolygonChange() = 0;
};
