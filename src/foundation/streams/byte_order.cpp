#include "foundation/streams/byte_order.h"

#include <bit>
#include <cstring>

// The conversions are written for a little-endian host, the only kind we build for.
static_assert(std::endian::native == std::endian::little);

namespace {

enum class Conversion { Same, Reverse, SwapInUnits, ReverseUnits, Unknown };

uint32_t Reverse32(uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) |
           (value << 24);
}

bool IsKnown(int32_t order) {
    return order >= kByteOrderBig && order <= kByteOrderPdp;
}

Conversion Between(int32_t from, int32_t to) {
    if (from == to) return Conversion::Same;
    if (!IsKnown(from) || !IsKnown(to)) return Conversion::Unknown;
    // The three orders pair up with the three different operations.
    switch (from + to) {
    case kByteOrderBig + kByteOrderLittle:
        return Conversion::Reverse;
    case kByteOrderBig + kByteOrderPdp:
        return Conversion::SwapInUnits;
    default:
        return Conversion::ReverseUnits;
    }
}

} // namespace

int32_t GetHostByteOrder() {
    return kByteOrderLittle;
}

uint32_t ConvertByteOrder32(uint32_t value, int32_t from, int32_t to) {
    switch (Between(from, to)) {
    case Conversion::Same:
        return value;
    case Conversion::Reverse:
        return Reverse32(value);
    case Conversion::SwapInUnits:
        return ((value & 0x00FF00FFu) << 8) | ((value >> 8) & 0x00FF00FFu);
    case Conversion::ReverseUnits:
        return std::rotl(value, 16);
    case Conversion::Unknown:
        break;
    }
    return 0;
}

int32_t ConvertByteOrderInt32(int32_t value, int32_t from, int32_t to) {
    return static_cast<int32_t>(ConvertByteOrder32(static_cast<uint32_t>(value), from, to));
}

uint16_t ConvertByteOrder16(uint16_t value, int32_t from, int32_t to) {
    if (Between(from, to) == Conversion::Reverse) {
        return static_cast<uint16_t>((value >> 8) | (value << 8));
    }
    return value;
}

int16_t ConvertByteOrderInt16(int16_t value, int32_t from, int32_t to) {
    return static_cast<int16_t>(ConvertByteOrder16(static_cast<uint16_t>(value), from, to));
}

double ConvertByteOrder64(double value, int32_t from, int32_t to) {
    unsigned char in[8];
    unsigned char out[8] = {};
    std::memcpy(in, &value, sizeof in);
    switch (Between(from, to)) {
    case Conversion::Same:
        return value;
    case Conversion::Reverse:
        for (int i = 0; i < 8; ++i)
            out[i] = in[7 - i];
        break;
    case Conversion::SwapInUnits:
        for (int i = 0; i < 8; ++i)
            out[i] = in[i ^ 1];
        break;
    case Conversion::ReverseUnits:
        for (int i = 0; i < 8; ++i)
            out[i] = in[(6 - (i & ~1)) | (i & 1)];
        break;
    case Conversion::Unknown:
        break;
    }
    double result;
    std::memcpy(&result, out, sizeof result);
    return result;
}

float ConvertByteOrderFloat(float value, int32_t from, int32_t to) {
    return std::bit_cast<float>(ConvertByteOrder32(std::bit_cast<uint32_t>(value), from, to));
}
