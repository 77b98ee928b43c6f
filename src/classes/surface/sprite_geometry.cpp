#include "classes/surface/sprite_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

// The scaled length: exact integers at scale 1.
int32_t Scaled(int32_t value, double scale) {
    return scale == 1.0 ? value : ClampToCoordinate(double(value) * scale);
}

int32_t Add(int32_t a, int64_t b) {
    return ClampToCoordinate(double(int64_t(a) + b));
}

} // namespace

int32_t ClampToCoordinate(double value) {
    if (std::isnan(value)) return 0;
    return int32_t(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

int32_t NormaliseAngle(int64_t degrees) {
    const int64_t turned = degrees % 360;
    return int32_t(turned < 0 ? turned + 360 : turned);
}

DirtyRect ComputeSpriteRect(const SpritePlacement& p) {
    const int32_t hotX = Scaled(p.hotX, p.scaleX), hotY = Scaled(p.hotY, p.scaleY);
    const int32_t width = Scaled(p.width, p.scaleX), height = Scaled(p.height, p.scaleY);
    if (p.angle == 0) {
        const int32_t left = Add(p.x, -int64_t(hotX)), top = Add(p.y, -int64_t(hotY));
        return {left, top, Add(left, width), Add(top, height)};
    }
    double sine, cosine;
    if (p.angle == 90) {
        sine = 1, cosine = 0;
    } else if (p.angle == 270) {
        sine = -1, cosine = 0;
    } else {
        const double radians = p.angle * 0.01745329251993889;
        sine = std::sin(radians);
        cosine = std::cos(radians);
    }
    // The corners about the hot spot, turned as the rotation turns the picture; each
    // offset is taken outward to whole pixels.
    const double xs[2] = {-double(hotX), double(width) - hotX};
    const double ys[2] = {-double(hotY), double(height) - hotY};
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool first = true;
    for (double cx : xs) {
        for (double cy : ys) {
            const double rx = cx * cosine + cy * sine;
            const double ry = -cx * sine + cy * cosine;
            if (first) {
                minX = maxX = rx;
                minY = maxY = ry;
                first = false;
            }
            minX = std::min(minX, rx);
            maxX = std::max(maxX, rx);
            minY = std::min(minY, ry);
            maxY = std::max(maxY, ry);
        }
    }
    const double epsilon = 1e-9;
    return {Add(p.x, ClampToCoordinate(std::floor(minX + epsilon))),
            Add(p.y, ClampToCoordinate(std::floor(minY + epsilon))),
            Add(p.x, ClampToCoordinate(std::ceil(maxX - epsilon))),
            Add(p.y, ClampToCoordinate(std::ceil(maxY - epsilon)))};
}
