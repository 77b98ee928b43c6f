// The byte buffer in which every Qel message is built and received. It grows by doubling
// and erases from the front by moving a read offset, so a burst of messages costs time in
// proportion to its bytes. Integers are big-endian; a read that does not fit gives 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QelPacket {
public:
    QelPacket() = default;
    virtual ~QelPacket() = default;

    // The most a packet holds; an append that would pass it adds nothing and answers false.
    static constexpr int64_t kMaxLength = 0x7FFFFFFF;

    bool Set(const void* data, int64_t n);
    bool Append(const void* data, int64_t n);
    void Clear();
    int32_t GetLength() const { return static_cast<int32_t>(bytes_.size() - offset_); }
    const uint8_t* GetData() const { return bytes_.data() + offset_; }

    bool PutU8(uint8_t value);
    bool PutU16(uint16_t value);
    bool PutU32(uint32_t value);
    // The bytes of a text, without a length; the length is put separately with PutU32.
    bool PutText(std::string_view text);

    uint8_t GetU8(int64_t offset) const;
    uint16_t GetU16(int64_t offset) const;
    uint32_t GetU32(int64_t offset) const;
    // n bytes from offset, clipped to the end; none when offset < 0 or offset > length.
    std::optional<std::string> CopyText(int64_t offset, int64_t n) const;
    // Removes n bytes at offset (clipped to the end).
    void Erase(int64_t offset, int64_t n);

private:
    bool Fits(int64_t offset, int64_t n) const {
        return offset >= 0 && n >= 0 && offset <= GetLength() && n <= GetLength() - offset;
    }

    std::vector<uint8_t> bytes_;
    size_t offset_ = 0;
};
