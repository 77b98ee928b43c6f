// The buckets of the project's name tables (entries, banks, elements). Names compare
// without regard to case with the script's own NamesEqual (char_class.h), which this
// header brings along.
#pragma once

#include <cstdint>

#include "script/language/char_class.h"

// The sum of the name's bytes with bit 5 cleared, each taken as a signed 8-bit value.
// Each byte is folded as NamesEqual folds it first, so that names equal without regard to
// case always hash alike. A null name hashes to 0.
int32_t ProjectNameHash(const char* name);
// ProjectNameHash(name) & (bucketCount - 1); bucketCount is a power of two.
uint32_t ProjectNameBucket(const char* name, uint32_t bucketCount);
