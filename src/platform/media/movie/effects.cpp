#include "platform/media/movie/effects.h"

#include <algorithm>
#include <cmath>

namespace platform::movie {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kColourMax = 0xFFFFFF;

// Low, high and default of each parameter, by effect.
const std::vector<EffectRange>& Ranges(EffectKind kind) {
    static const std::vector<EffectRange> kTables[kEffectKindCount] = {
        {{1, 7, 1}, {0, 1e6, 0}},                    // Blur: size, sum
        {{0, 100, 0}, {0, 255, 128}, {2, 256, 256}}, // ColorStyle
        {{0, kColourMax, kColourMax}, {-100, 100, 0}, {0, kColourMax, 0}, {-100, 100, 0}},
        {{1, 7, 1}, {0, 1, 0}}, // EdgeDetection
        {{1, 7, 1}},            // Emboss
        {{1, 10, 1},
         {0, 100, 0},
         {0, 100, 10},
         {0, 100, 5},
         {0, 100, 5},
         {1, 100, 20},
         {1, 100, 5},
         {1, 10, 2}},                                             // FilmNoise
        {{0, 4, 1}, {0, 4, 1}, {0, 4, 1}},                        // RGBBalance
        {{0, 32, 4}},                                             // Ripple
        {{1, 7, 1}, {0, 4, 1}},                                   // Sharpen
        {{0, kColourMax, kColourMax}, {0, kColourMax, 0x4080C0}}, // Cloud
        {{0, 100, 50}, {0, 100, 0}, {0, 100, 50}, {0, 100, 30}},  // Fire
    };
    return kTables[static_cast<int>(kind)];
}

int Red(uint32_t c) {
    return int(c >> 16 & 0xFF);
}
int Green(uint32_t c) {
    return int(c >> 8 & 0xFF);
}
int Blue(uint32_t c) {
    return int(c & 0xFF);
}
uint32_t Pack(double r, double g, double b) {
    auto channel = [](double v) { return uint32_t(std::clamp(std::lround(v), 0L, 255L)); };
    return channel(r) << 16 | channel(g) << 8 | channel(b);
}
double Luma(uint32_t c) {
    return 0.299 * Red(c) + 0.587 * Green(c) + 0.114 * Blue(c);
}
uint32_t Mix(uint32_t a, uint32_t b, double t) {
    return Pack(Red(a) + (Red(b) - Red(a)) * t, Green(a) + (Green(b) - Green(a)) * t,
                Blue(a) + (Blue(b) - Blue(a)) * t);
}

// A number in 0 .. 1 from the position and a seed, the same every time.
double Hash(int64_t x, int64_t y, int64_t seed) {
    uint64_t h = uint64_t(x) * 0x9E3779B97F4A7C15ull ^ uint64_t(y) * 0xC2B2AE3D27D4EB4Full ^
                 uint64_t(seed) * 0x165667B19E3779F9ull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return double(h >> 11) / double(1ull << 53);
}

// Smooth noise over a grid of unit cells.
double Noise(double x, double y, int64_t seed) {
    double fx = std::floor(x), fy = std::floor(y);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto at = [&](double dx, double dy) { return Hash(int64_t(fx + dx), int64_t(fy + dy), seed); };
    double top = at(0, 0) + (at(1, 0) - at(0, 0)) * tx;
    double bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * tx;
    return top + (bottom - top) * ty;
}

struct Grid {
    const Picture& p;
    uint32_t At(int x, int y) const {
        x = std::clamp(x, 0, p.width - 1);
        y = std::clamp(y, 0, p.height - 1);
        return p.pixels[size_t(y) * p.width + x];
    }
};

// Sums of each channel over the (2r+1)^2 box around every pixel, edges repeated (at most
// 255 x 15 x 15). Each pass slides its window along, so the box's size costs nothing.
std::vector<int32_t> BoxSums(const Picture& p, int r) {
    const int w = p.width;
    const int h = p.height;
    std::vector<int32_t> across(p.pixels.size() * 3), sums(p.pixels.size() * 3);
    auto channel = [](uint32_t c, int k) { return int32_t(c >> (16 - 8 * k) & 0xFF); };
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = p.pixels.data() + size_t(y) * w;
        int32_t* out = across.data() + size_t(y) * w * 3;
        int32_t s[3] = {};
        for (int d = -r; d <= r; ++d)
            for (int k = 0; k < 3; ++k)
                s[k] += channel(row[std::clamp(d, 0, w - 1)], k);
        for (int x = 0; x < w; ++x) {
            uint32_t leaving = row[std::clamp(x - r, 0, w - 1)];
            uint32_t coming = row[std::clamp(x + r + 1, 0, w - 1)];
            for (int k = 0; k < 3; ++k) {
                out[x * 3 + k] = s[k];
                s[k] += channel(coming, k) - channel(leaving, k);
            }
        }
    }
    const size_t stride = size_t(w) * 3;
    std::vector<int32_t> column(stride, 0);
    for (int d = -r; d <= r; ++d) {
        const int32_t* from = across.data() + size_t(std::clamp(d, 0, h - 1)) * stride;
        for (size_t i = 0; i < stride; ++i)
            column[i] += from[i];
    }
    for (int y = 0; y < h; ++y) {
        std::copy(column.begin(), column.end(), sums.begin() + ptrdiff_t(size_t(y) * stride));
        const int32_t* leaving = across.data() + size_t(std::clamp(y - r, 0, h - 1)) * stride;
        const int32_t* coming = across.data() + size_t(std::clamp(y + r + 1, 0, h - 1)) * stride;
        for (size_t i = 0; i < stride; ++i)
            column[i] += coming[i] - leaving[i];
    }
    return sums;
}

void Blur(const std::vector<double>& v, Picture& p) {
    int r = int(v[0]);
    int kernel = 2 * r + 1;
    double sum = v[1] > 0 ? v[1] : double(kernel) * kernel;
    std::vector<int32_t> sums = BoxSums(p, r);
    for (size_t i = 0; i < p.pixels.size(); ++i)
        p.pixels[i] = Pack(sums[i * 3] / sum, sums[i * 3 + 1] / sum, sums[i * 3 + 2] / sum);
}

void Sharpen(const std::vector<double>& v, Picture& p) {
    int r = int(v[0]);
    double area = double(2 * r + 1) * (2 * r + 1);
    std::vector<int32_t> sums = BoxSums(p, r);
    for (size_t i = 0; i < p.pixels.size(); ++i) {
        uint32_t c = p.pixels[i];
        auto one = [&](int value, int k) {
            return value + v[1] * (value - sums[i * 3 + k] / area);
        };
        p.pixels[i] = Pack(one(Red(c), 0), one(Green(c), 1), one(Blue(c), 2));
    }
}

void ColorStyle(const std::vector<double>& v, Picture& p) {
    double amount = v[0] / 100, point = v[1];
    int levels = int(v[2]);
    auto one = [&](double c) {
        if (amount > 0 && c > point) c += (255 - 2 * c) * amount;
        if (levels < 256) c = std::round(std::round(c * (levels - 1) / 255) * 255 / (levels - 1));
        return c;
    };
    for (uint32_t& c : p.pixels)
        c = Pack(one(Red(c)), one(Green(c)), one(Blue(c)));
}

void ColorTint(const std::vector<double>& v, Picture& p) {
    uint32_t fore = uint32_t(v[0]), back = uint32_t(v[2]);
    for (uint32_t& c : p.pixels) {
        double luma = (Luma(c) - 128) * (1 + v[3] / 100) + 128 + v[1] * 2.55;
        c = Mix(back, fore, std::clamp(luma, 0.0, 255.0) / 255);
    }
}

void EdgeDetection(const std::vector<double>& v, Picture& p) {
    int k = int(v[0]);
    Picture source = p;
    Grid g{source};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            double gx = Luma(g.At(x + k, y - k)) + 2 * Luma(g.At(x + k, y)) +
                        Luma(g.At(x + k, y + k)) - Luma(g.At(x - k, y - k)) -
                        2 * Luma(g.At(x - k, y)) - Luma(g.At(x - k, y + k));
            double gy = Luma(g.At(x - k, y + k)) + 2 * Luma(g.At(x, y + k)) +
                        Luma(g.At(x + k, y + k)) - Luma(g.At(x - k, y - k)) -
                        2 * Luma(g.At(x, y - k)) - Luma(g.At(x + k, y - k));
            double edge = std::min(255.0, std::sqrt(gx * gx + gy * gy) / 4);
            uint32_t c = g.At(x, y);
            p.pixels[size_t(y) * p.width + x] =
                v[1] != 0 ? Pack(Red(c) * edge / 255, Green(c) * edge / 255, Blue(c) * edge / 255)
                          : Pack(edge, edge, edge);
        }
}

void Emboss(const std::vector<double>& v, Picture& p) {
    int k = int(v[0]);
    Picture source = p;
    Grid g{source};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            double level = 128 + Luma(g.At(x + k, y + k)) - Luma(g.At(x - k, y - k));
            p.pixels[size_t(y) * p.width + x] = Pack(level, level, level);
        }
}

void FilmNoise(const std::vector<double>& v, int64_t time, Picture& p) {
    int64_t frame = time / (kTimeScale / 15);
    double fade = v[1] / 100;
    if (fade > 0)
        for (uint32_t& c : p.pixels) {
            double l = Luma(c);
            c = Mix(c, Pack(l * 1.07, l * 0.74, l * 0.43), fade);
        }
    int64_t area = int64_t(p.width) * p.height;
    auto dot = [&](int x, int y, uint32_t colour) {
        if (x >= 0 && y >= 0 && x < p.width && y < p.height)
            p.pixels[size_t(y) * p.width + x] = colour;
    };
    int dustSize = int(v[7]);
    int64_t dust = int64_t(v[2] * area / 20000);
    for (int64_t i = 0; i < dust; ++i) {
        int x = int(Hash(i, 1, frame) * p.width), y = int(Hash(i, 2, frame) * p.height);
        for (int dy = 0; dy < dustSize; ++dy)
            for (int dx = 0; dx < dustSize; ++dx)
                dot(x + dx, y + dy, 0x101010);
    }
    int64_t hairs = int64_t(v[3] * area / 200000) + (v[3] > 0 ? 1 : 0);
    for (int64_t i = 0; i < hairs; ++i) {
        double x = Hash(i, 3, frame) * p.width, y = Hash(i, 4, frame) * p.height;
        double angle = Hash(i, 5, frame) * 2 * kPi;
        for (int s = 0; s < int(v[5]); ++s) {
            angle += (Hash(i, 6 + s, frame) - 0.5) * 0.6;
            x += std::cos(angle);
            y += std::sin(angle);
            dot(int(x), int(y), 0x202020);
        }
    }
    // Scratches stay in place for `sdur` frames.
    int64_t period = frame / int64_t(v[6]);
    int scratches = int(v[4] / 20) + (v[4] > 0 ? 1 : 0);
    for (int i = 0; i < scratches; ++i) {
        int x = int(Hash(i, 7, period) * p.width);
        for (int y = 0; y < p.height; ++y)
            for (int w = 0; w < int(v[0]); ++w)
                dot(x + w, y, 0xE0E0E0);
    }
}

void RGBBalance(const std::vector<double>& v, Picture& p) {
    for (uint32_t& c : p.pixels)
        c = Pack(Red(c) * v[0], Green(c) * v[1], Blue(c) * v[2]);
}

void Ripple(const std::vector<double>& v, int64_t time, Picture& p) {
    Picture source = p;
    Grid g{source};
    double phase = double(time) / kTimeScale * 2 * kPi;
    for (int y = 0; y < p.height; ++y) {
        int shift = int(std::lround(v[0] * std::sin(y * 2 * kPi / 16 + phase)));
        for (int x = 0; x < p.width; ++x)
            p.pixels[size_t(y) * p.width + x] = g.At(x + shift, y);
    }
}

void Cloud(const std::vector<double>& v, int64_t time, Picture& p) {
    uint32_t fore = uint32_t(v[0]), back = uint32_t(v[1]);
    double drift = double(time) / kTimeScale * 8;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            double density = 0, scale = 1.0 / 32, weight = 0.5;
            for (int octave = 0; octave < 3; ++octave, scale *= 2, weight /= 2)
                density += weight * Noise((x + drift) * scale, y * scale, octave);
            uint32_t& c = p.pixels[size_t(y) * p.width + x];
            c = Mix(c, Mix(back, fore, std::clamp(density / 0.875, 0.0, 1.0)), 0.5);
        }
}

void Fire(const std::vector<double>& v, int64_t time, Picture& p) {
    double spread = 4 + v[0] / 4, water = v[1] / 100, base = v[2] / 100, decay = 0.5 + v[3] / 25;
    double rise = double(time) / kTimeScale * 40;
    for (int y = 0; y < p.height; ++y) {
        double height = double(p.height - 1 - y) / std::max(1, p.height - 1);
        for (int x = 0; x < p.width; ++x) {
            double flicker = Noise(x / spread, (y + rise) / spread, 11);
            double heat = std::clamp((base + 0.5 * flicker) - height * decay, 0.0, 1.0);
            uint32_t flame =
                Pack(255 * std::min(1.0, heat * 3), 255 * std::clamp(heat * 3 - 1, 0.0, 1.0),
                     255 * std::clamp(heat * 3 - 2, 0.0, 1.0));
            uint32_t& c = p.pixels[size_t(y) * p.width + x];
            c = Mix(c, flame, heat * (1 - water));
        }
    }
}

} // namespace

int EffectParameterCount(EffectKind kind) {
    return int(Ranges(kind).size());
}

EffectRange EffectParameterRange(EffectKind kind, int index) {
    return Ranges(kind)[size_t(index)];
}

Effect MakeEffect(EffectKind kind, const std::vector<double>& given) {
    Effect effect;
    effect.kind = kind;
    const std::vector<EffectRange>& ranges = Ranges(kind);
    for (size_t i = 0; i < ranges.size(); ++i) {
        double value = i < given.size() && std::isfinite(given[i]) ? given[i] : ranges[i].fallback;
        effect.values.push_back(std::clamp(value, ranges[i].low, ranges[i].high));
    }
    return effect;
}

void ApplyEffect(const Effect& effect, int64_t time, Picture& picture) {
    if (picture.width < 1 || picture.height < 1 ||
        picture.pixels.size() != size_t(picture.width) * picture.height)
        return;
    const std::vector<double>& v = effect.values;
    switch (effect.kind) {
    case EffectKind::Blur:
        Blur(v, picture);
        break;
    case EffectKind::ColorStyle:
        ColorStyle(v, picture);
        break;
    case EffectKind::ColorTint:
        ColorTint(v, picture);
        break;
    case EffectKind::EdgeDetection:
        EdgeDetection(v, picture);
        break;
    case EffectKind::Emboss:
        Emboss(v, picture);
        break;
    case EffectKind::FilmNoise:
        FilmNoise(v, time, picture);
        break;
    case EffectKind::RGBBalance:
        RGBBalance(v, picture);
        break;
    case EffectKind::Ripple:
        Ripple(v, time, picture);
        break;
    case EffectKind::Sharpen:
        Sharpen(v, picture);
        break;
    case EffectKind::Cloud:
        Cloud(v, time, picture);
        break;
    case EffectKind::Fire:
        Fire(v, time, picture);
        break;
    }
}

} // namespace platform::movie
