#include "platform/media/mci/mci_device.h"

namespace platform::media {

std::unique_ptr<MciDevice> OpenCdAudio(MCIDEVICEID, MCIERROR* error) {
    *error = MCIERR_DEVICE_NOT_INSTALLED;
    return nullptr;
}

} // namespace platform::media
