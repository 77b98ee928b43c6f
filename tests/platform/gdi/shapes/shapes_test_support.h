// Pictures of what a memory DC holds, for the tests of figures and controls.
#pragma once

#include <map>
#include <string>

#include "platform/gdi/gdi_test_support.h"
#include "platform/gdi/screen_dc.h"

namespace gdi_test {

// The pixels of (0, 0) .. (width, height) of a DC as rows of characters: each colour
// is the character `legend` gives it, '?' when it has none.
inline std::string Picture(HDC dc, int width, int height, const std::map<COLORREF, char>& legend) {
    std::string text;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            auto found = legend.find(GetPixel(dc, x, y));
            text += found == legend.end() ? '?' : found->second;
        }
        text += '\n';
    }
    return text;
}

// Rows joined with newlines, for writing expected pictures one row a line.
inline std::string Rows(std::initializer_list<const char*> rows) {
    std::string text;
    for (const char* row : rows) {
        text += row;
        text += '\n';
    }
    return text;
}

} // namespace gdi_test
