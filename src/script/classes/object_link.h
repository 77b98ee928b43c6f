// What every script value that holds an object points to instead of the object: the
// values count themselves here, and the link outlives the object, so that the object can
// go without knowing where its holders are. Once `object` is null they read as integer
// 0, and the last of them to let go frees the link.
#pragma once

#include <cstdint>

class CIBaseClassImpl;

struct ObjectLink {
    CIBaseClassImpl* object;
    int32_t holders;
};
