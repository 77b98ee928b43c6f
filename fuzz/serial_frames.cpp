// A serial peer sends anything: every receive method, in both modes, reads arbitrary bytes
// without reading past them, allocating more than the cap, or returning unterminated texts.
#include <cstdlib>
#include <cstring>

#include "classes/system/serial_frames.h"

namespace {

constexpr uint32_t kCap = 1 << 16;

class MemorySource : public CSerialSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), left_(size) {}
    bool Read(void* buffer, uint32_t count) override {
        if (count > left_) {
            left_ = 0;
            return false;
        }
        std::memcpy(buffer, data_, count);
        data_ += count;
        left_ -= count;
        return true;
    }

private:
    const uint8_t* data_;
    size_t left_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (uint32_t mode : {kSerialModeRaw, kSerialModeFramed}) {
        MemorySource source(data, size);
        for (int round = 0; round < 4; ++round) {
            ReceiveSerialLong(source, mode);
            double value = 0;
            ReceiveSerialDouble(source, mode, value);
            std::string text = ReceiveSerialString(source, mode, kCap);
            if (text.size() > kCap || text.find('\0') != std::string::npos) std::abort();
            CByteBlock bytes;
            int32_t order = 2;
            ReceiveSerialBinary(source, mode, kCap, round == 1 ? int64_t(size) : -1, bytes, order);
            if (bytes.Size() > kCap || order < 1 || order > 3) std::abort();
        }
    }
    return 0;
}
