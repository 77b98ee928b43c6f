#include "script/language/name_hash.h"

int32_t ProjectNameHash(const char* name) {
    int32_t hash = 0;
    if (name == nullptr) return hash;
    const unsigned char* fold = GetNameFoldTable();
    for (auto* p = reinterpret_cast<const unsigned char*>(name); *p != 0; ++p)
        hash += static_cast<int8_t>(fold[*p] & 0xDF);
    return hash;
}

uint32_t ProjectNameBucket(const char* name, uint32_t bucketCount) {
    return static_cast<uint32_t>(ProjectNameHash(name)) & (bucketCount - 1);
}
