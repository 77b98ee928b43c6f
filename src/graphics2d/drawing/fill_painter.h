// Fill painters: how a rectangle of a surface is coloured when a shape is drawn with a pen
// or brush object rather than a plain colour. Painters draw through the surface handle, so
// its origin applies. With `avoidKey` they never paint the key colour 0: near-black
// (8, 0, 0) stands in for black.
#pragma once

#include <cstdint>

class SurfaceHandle;

class CFillBase {
public:
    virtual ~CFillBase() = default;
    // The origin band positions are measured from; (y << 16) | (x & 0xFFFF) for painters
    // that have one, else 0.
    virtual uint32_t SetOrigin(int32_t, int32_t) { return 0; }
    // The whole surface; `width` and `height` are the size of the shape being painted.
    virtual int FillAll(SurfaceHandle* handle, int32_t width, int32_t height, int32_t avoidKey);
    // Right and bottom exclusive.
    virtual int FillRect(SurfaceHandle* handle, int32_t left, int32_t top, int32_t right,
                         int32_t bottom, int32_t avoidKey) = 0;
};

class CFillSolid : public CFillBase {
public:
    explicit CFillSolid(uint32_t colour);
    int FillRect(SurfaceHandle* handle, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 int32_t avoidKey) override;

private:
    uint32_t colour_;
};

// Bands from the first colour to the second: one band per step of the channel that changes
// most (black to red is 255 bands), band i of n coloured first + i x (second - first) / n.
// Direction 0 runs left to right (vertical strips), any other top to bottom.
class CFillGradient : public CFillBase {
public:
    CFillGradient(uint32_t first, uint32_t second, int32_t direction, int32_t originX,
                  int32_t originY);
    uint32_t SetOrigin(int32_t x, int32_t y) override;
    // Bands placed from the origin, so that fills of neighbouring areas join without a
    // seam; `width` and `height` give the extent the bands spread over.
    int FillAll(SurfaceHandle* handle, int32_t width, int32_t height, int32_t avoidKey) override;
    int FillRect(SurfaceHandle* handle, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 int32_t avoidKey) override;

private:
    // The colour of band i (1 .. count).
    uint32_t BandColour(int32_t i, int32_t count, int32_t avoidKey) const;
    int32_t BandCount() const;

    int32_t originX_;
    int32_t originY_;
    uint32_t first_;
    uint32_t second_;
    int32_t direction_;
};
