// Float-to-integer conversion for values that come from files and scripts: a plain cast
// of NaN or of a value beyond the integer's range is undefined behaviour.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Rounds towards zero; NaN gives 0 and values beyond the range give its nearest end.
inline int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (value >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}
