// The point arguments of the mesh methods (Object.AddPolygon and SetPolygon, new Polygon,
// Polygon.AddPoints and InsertPoints): number triples, Point3D objects and PointArray
// objects of dimension 3, 5 or 7, each giving one or more vertices of a face.
#pragma once

#include <cstdint>

class CInterpretor;
class CIObject;
class LPolygon;

struct PointArgumentRules {
    // A Point3D of another World than the Object's.
    int32_t otherWorld;
    // A vertex refused by the face: from a triple (0 ignores it), a Point3D, a PointArray.
    int32_t tripleRefused;
    int32_t pointRefused;
    int32_t arrayRefused;
    // New vertices go in from an insertion place (a Point3D then gives a new vertex at its
    // position) instead of being appended (a Point3D is then the vertex itself).
    bool insert;
    // Each new vertex is a point of its own, never merged with an equal one.
    bool separatePoints;
};

// The rules of Object.AddPolygon, SetPolygon and new Polygon.
inline constexpr PointArgumentRules kFacePointRules = {120, 0, 83, 83, false, true};

// Reads the arguments from `first` on into `polygon`, a face of `object`'s mesh. Returns
// how many vertices the arguments gave, those refused included. Errors 53 (not a number,
// Point3D or PointArray) and 57 (a PointArray of another dimension) and the rules' own;
// merging is switched on again before an error leaves.
int32_t ReadPointArguments(CInterpretor& interpreter, LPolygon& polygon, CIObject& object,
                           uint32_t first, const PointArgumentRules& rules, int32_t insertAt);
