// An open MCI device behind mciSendCommandA: the table hands it every command but
// MCI_OPEN, which makes it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/media/mci/mci_types.h"
#include "platform/user/hwnd.h"

namespace platform::media {

class MciDevice {
public:
    virtual ~MciDevice() = default;
    // Any command but MCI_OPEN; MCI_CLOSE ends it (the table forgets it afterwards).
    virtual MCIERROR Command(UINT message, DWORD flags, DWORD_PTR param) = 0;
};

// The devices' makers; `id` is the device's own number, for its notifications.
std::unique_ptr<MciDevice> OpenSequencer(MCIDEVICEID id, const char* element, MCIERROR* error);
std::unique_ptr<MciDevice> OpenCdAudio(MCIDEVICEID id, MCIERROR* error);

// The whole file as bytes, read through the file layer; false when it cannot be read.
bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes);

// Posts MM_MCINOTIFY (code, device) to `window` when there is one.
void PostMciNotify(HWND window, UINT code, MCIDEVICEID device);

} // namespace platform::media
