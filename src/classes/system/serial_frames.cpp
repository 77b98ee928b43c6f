#include "classes/system/serial_frames.h"

#include <cstring>

#include "foundation/streams/byte_order.h"

namespace {

bool ReadWord(CSerialSource& source, uint32_t& word) {
    uint8_t bytes[4];
    if (!source.Read(bytes, 4)) return false;
    word = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
    return true;
}

// The type word, then the length word; false unless they are `type` and `length`.
bool ReadHeader(CSerialSource& source, uint32_t type, uint32_t length) {
    uint32_t word = 0;
    return ReadWord(source, word) && word == type && ReadWord(source, word) && word == length;
}

} // namespace

int32_t ReceiveSerialLong(CSerialSource& source, uint32_t mode) {
    if (mode == kSerialModeFramed) {
        uint32_t value = 0;
        if (!ReadHeader(source, kFrameInteger, 4) || !ReadWord(source, value)) return 0;
        return int32_t(value);
    }
    int32_t value = 0;
    return source.Read(&value, 4) ? value : 0;
}

bool ReceiveSerialDouble(CSerialSource& source, uint32_t mode, double& value) {
    if (mode == kSerialModeFramed && !ReadHeader(source, kFrameDouble, 8)) return false;
    uint8_t bytes[8];
    if (!source.Read(bytes, 8)) return false;
    std::memcpy(&value, bytes, 8);
    if (mode == kSerialModeFramed)
        value = ConvertByteOrder64(value, kByteOrderBig, GetHostByteOrder());
    return true;
}

std::string ReceiveSerialString(CSerialSource& source, uint32_t mode, uint32_t cap) {
    std::string text;
    if (mode == kSerialModeFramed) {
        uint32_t word = 0;
        if (!ReadWord(source, word) || word != kFrameText) return text;
        if (!ReadWord(source, word) || word > cap) return text;
        // One byte more than claimed, so that a text without its zero still ends.
        std::string buffer(size_t(word) + 1, '\0');
        if (!source.Read(buffer.data(), word)) return text;
        text.assign(buffer.c_str());
        return text;
    }
    while (text.size() < cap) {
        char c = 0;
        if (!source.Read(&c, 1)) return std::string();
        if (c == 0) break;
        text += c;
    }
    return text;
}

void ReceiveSerialBinary(CSerialSource& source, uint32_t mode, uint32_t cap, int64_t length,
                         CByteBlock& bytes, int32_t& order) {
    bytes.Free();
    uint32_t size = 0;
    if (mode == kSerialModeFramed) {
        uint32_t word = 0;
        if (!ReadWord(source, word) || word != kFrameBinary) return;
        if (!ReadWord(source, word) || word < kByteOrderBig || word > kByteOrderPdp) return;
        order = int32_t(word);
        if (!ReadWord(source, size)) return;
    } else if (length < 0) {
        if (!source.Read(&size, 4)) return;
    } else {
        size = length > int64_t(cap) ? cap + 1 : uint32_t(length);
    }
    if (size > cap || size == 0 || !bytes.Allocate(size)) return;
    if (!source.Read(bytes.Data(), size)) bytes.Free();
}
