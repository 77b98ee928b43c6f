// Registry values are stored by anyone: any type with any bytes converts for a script
// without reading outside its stored size.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "classes/system/registry_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    uint32_t type = data[0] % 12;
    // A copy of exactly the stored size, so that a read past it is caught.
    std::vector<uint8_t> stored(data + 1, data + size);
    RegistryValue value = DecodeRegistryValue(type, stored.data(), stored.size());
    size_t total = 0;
    for (const std::string& text : value.texts)
        total += text.size() + 1;
    if (total > stored.size() + 1 || value.text.size() > stored.size() ||
        value.bytes.size() > stored.size())
        std::abort();
    return 0;
}
