#include "platform/display/usual_modes.h"

#include <algorithm>

namespace platform {

void AddUsualModes(std::vector<DisplayMode>& modes, int frequency, int maxWidth, int maxHeight) {
    constexpr int kSizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    for (const auto& size : kSizes) {
        if (size[0] > maxWidth || size[1] > maxHeight) continue;
        for (int bits : {16, 32}) {
            DisplayMode mode{size[0], size[1], bits, frequency};
            bool known = std::any_of(modes.begin(), modes.end(), [&](const DisplayMode& listed) {
                return listed.width == mode.width && listed.height == mode.height &&
                       listed.bitsPerPixel == mode.bitsPerPixel;
            });
            if (!known) modes.push_back(mode);
        }
    }
}

} // namespace platform
