#include "classes/system/registry_value.h"

#include <cstring>

#include "platform/registry/registry.h"

RegistryValue DecodeRegistryValue(uint32_t type, const uint8_t* data, size_t size) {
    RegistryValue value;
    const char* text = reinterpret_cast<const char*>(data);
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        value.kind = RegistryValue::Kind::Text;
        const void* end = size > 0 ? std::memchr(data, 0, size) : nullptr;
        value.text.assign(text, end != nullptr ? static_cast<const char*>(end) - text : size);
        break;
    }
    case REG_DWORD: {
        value.kind = RegistryValue::Kind::Integer;
        uint8_t bytes[4] = {};
        if (size > 0) std::memcpy(bytes, data, size < 4 ? size : 4);
        value.integer = int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 |
                                uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24);
        break;
    }
    case REG_BINARY:
        value.kind = RegistryValue::Kind::Bytes;
        value.bytes.assign(data, data + size);
        break;
    case REG_MULTI_SZ: {
        value.kind = RegistryValue::Kind::Texts;
        size_t at = 0;
        while (at < size) {
            const void* end = std::memchr(data + at, 0, size - at);
            size_t length =
                end != nullptr ? size_t(static_cast<const uint8_t*>(end) - (data + at)) : size - at;
            // The empty text ends the list.
            if (length == 0) break;
            value.texts.emplace_back(text + at, length);
            at += length + 1;
        }
        break;
    }
    default:
        break;
    }
    return value;
}
