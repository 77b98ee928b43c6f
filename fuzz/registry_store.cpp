// The registry's store reader: any bytes are refused or read into a tree that writes
// back to a file the reader takes again, unchanged. Each input is also read with its
// checksum made right, so that mutations reach the parts behind the checksum.
#include <zlib.h>

#include <cstdlib>
#include <vector>

#include "platform/registry/registry_store.h"

namespace {

void Check(const uint8_t* data, size_t size) {
    std::shared_ptr<platform::RegistryKey> root;
    if (platform::ParseRegistryStore(data, size, &root) != ERROR_SUCCESS) return;
    std::vector<BYTE> written = platform::SerializeRegistryStore(*root);
    std::shared_ptr<platform::RegistryKey> again;
    if (platform::ParseRegistryStore(written.data(), written.size(), &again) != ERROR_SUCCESS ||
        platform::SerializeRegistryStore(*again) != written) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(data, size);
    constexpr size_t kHeaderSize = 12;
    if (size < kHeaderSize) return 0;
    std::vector<BYTE> fixed(data, data + size);
    auto crc = static_cast<uint32_t>(crc32_z(0, fixed.data() + kHeaderSize, size - kHeaderSize));
    for (size_t i = 0; i < 4; ++i)
        fixed[8 + i] = static_cast<BYTE>(crc >> (8 * i));
    Check(fixed.data(), fixed.size());
    return 0;
}
