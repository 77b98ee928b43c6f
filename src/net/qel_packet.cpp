#include "net/qel_packet.h"

#include <algorithm>
#include <cstring>

bool QelPacket::Set(const void* data, int64_t n) {
    Clear();
    return Append(data, n);
}

bool QelPacket::Append(const void* data, int64_t n) {
    if (n < 1 || data == nullptr) return true;
    if (n > kMaxLength - GetLength()) return false;
    if (offset_ != 0 && bytes_.size() + static_cast<size_t>(n) > bytes_.capacity()) {
        // Reclaim the erased front before growing.
        bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<ptrdiff_t>(offset_));
        offset_ = 0;
    }
    const auto* first = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), first, first + n);
    return true;
}

void QelPacket::Clear() {
    bytes_.clear();
    offset_ = 0;
    if (bytes_.capacity() > 1 << 20) bytes_.shrink_to_fit();
}

bool QelPacket::PutU8(uint8_t value) {
    return Append(&value, 1);
}

bool QelPacket::PutU16(uint16_t value) {
    uint8_t bytes[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    return Append(bytes, 2);
}

bool QelPacket::PutU32(uint32_t value) {
    uint8_t bytes[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                        static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    return Append(bytes, 4);
}

bool QelPacket::PutText(std::string_view text) {
    return Append(text.data(), static_cast<int64_t>(text.size()));
}

uint8_t QelPacket::GetU8(int64_t offset) const {
    if (!Fits(offset, 1)) return 0;
    return GetData()[offset];
}

uint16_t QelPacket::GetU16(int64_t offset) const {
    if (!Fits(offset, 2)) return 0;
    const uint8_t* p = GetData() + offset;
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t QelPacket::GetU32(int64_t offset) const {
    if (!Fits(offset, 4)) return 0;
    const uint8_t* p = GetData() + offset;
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

std::optional<std::string> QelPacket::CopyText(int64_t offset, int64_t n) const {
    if (offset < 0 || offset > GetLength()) return std::nullopt;
    int64_t count = std::clamp<int64_t>(n, 0, GetLength() - offset);
    const char* first = reinterpret_cast<const char*>(GetData()) + offset;
    return std::string(first, static_cast<size_t>(count));
}

void QelPacket::Erase(int64_t offset, int64_t n) {
    if (offset < 0 || offset >= GetLength() || n < 1) return;
    int64_t count = std::min<int64_t>(n, GetLength() - offset);
    if (offset == 0) {
        offset_ += static_cast<size_t>(count);
        if (offset_ == bytes_.size()) Clear();
        return;
    }
    auto first = bytes_.begin() + static_cast<ptrdiff_t>(offset_ + static_cast<size_t>(offset));
    bytes_.erase(first, first + count);
}
