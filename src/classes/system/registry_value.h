// What a registry value's stored bytes say to a script, read strictly within their
// stored size: a text without its terminator ends at the data's end, a REG_MULTI_SZ
// without its final empty text too, and a REG_DWORD shorter than 4 bytes is
// zero-extended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct RegistryValue {
    enum class Kind { Text, Integer, Bytes, Texts, Unsupported };
    Kind kind = Kind::Unsupported;
    std::string text;
    int32_t integer = 0;
    std::vector<uint8_t> bytes;
    std::vector<std::string> texts;
};

RegistryValue DecodeRegistryValue(uint32_t type, const uint8_t* data, size_t size);
