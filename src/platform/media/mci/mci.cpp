#include "platform/media/mci/mci.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/files/files.h"
#include "platform/kernel/handles.h"
#include "platform/media/mci/mci_device.h"
#include "platform/user/messages.h"

namespace platform::media {
namespace {

std::mutex tableLock;
std::map<MCIDEVICEID, std::shared_ptr<MciDevice>> devices;
// Ids only ever go up: a notification still queued for a closed device must never be
// taken for one of the device opened after it.
MCIDEVICEID lastId = 0;

std::shared_ptr<MciDevice> Find(MCIDEVICEID id) {
    std::lock_guard lock(tableLock);
    auto found = devices.find(id);
    return found == devices.end() ? nullptr : found->second;
}

MCIDEVICEID NextId() {
    std::lock_guard lock(tableLock);
    do {
        ++lastId;
    } while (lastId == 0 || lastId == 0xFFFFFFFFu);
    return lastId;
}

enum class Kind { Unknown, Sequencer, CdAudio };

Kind KindOf(DWORD flags, const MCI_OPEN_PARMSA& open) {
    if (flags & MCI_OPEN_TYPE_ID) {
        auto type = static_cast<DWORD>(reinterpret_cast<uintptr_t>(open.lpstrDeviceType) & 0xFFFF);
        if (type == MCI_DEVTYPE_SEQUENCER) return Kind::Sequencer;
        if (type == MCI_DEVTYPE_CD_AUDIO) return Kind::CdAudio;
        return Kind::Unknown;
    }
    if (open.lpstrDeviceType == nullptr) return Kind::Unknown;
    if (strcasecmp(open.lpstrDeviceType, "sequencer") == 0) return Kind::Sequencer;
    if (strcasecmp(open.lpstrDeviceType, "cdaudio") == 0) return Kind::CdAudio;
    return Kind::Unknown;
}

MCIERROR Open(DWORD flags, MCI_OPEN_PARMSA* open) {
    if (open == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!(flags & MCI_OPEN_TYPE)) return MCIERR_INVALID_DEVICE_NAME;
    Kind kind = KindOf(flags, *open);
    if (kind == Kind::Unknown) return MCIERR_INVALID_DEVICE_NAME;
    MCIDEVICEID id = NextId();
    MCIERROR error = 0;
    std::unique_ptr<MciDevice> device;
    if (kind == Kind::Sequencer) {
        if (!(flags & MCI_OPEN_ELEMENT) || open->lpstrElementName == nullptr)
            return MCIERR_FILENAME_REQUIRED;
        device = OpenSequencer(id, open->lpstrElementName, &error);
    } else {
        device = OpenCdAudio(id, &error);
    }
    if (device == nullptr) return error != 0 ? error : MCIERR_INTERNAL;
    {
        std::lock_guard lock(tableLock);
        devices[id] = std::move(device);
    }
    open->wDeviceID = id;
    return 0;
}

struct ErrorText {
    MCIERROR code;
    const char* text;
};

const ErrorText kErrorTexts[] = {
    {MCIERR_INVALID_DEVICE_ID, "The device identifier is not valid: the device is not open."},
    {MCIERR_UNRECOGNIZED_COMMAND, "The device does not know this command."},
    {MCIERR_HARDWARE, "The device reported a hardware error."},
    {MCIERR_INVALID_DEVICE_NAME, "This device type is not known."},
    {MCIERR_OUT_OF_MEMORY, "There is not enough memory for this command."},
    {MCIERR_MISSING_PARAMETER, "The command needs a parameter that was not given."},
    {MCIERR_UNSUPPORTED_FUNCTION, "The device cannot carry out this command."},
    {MCIERR_FILE_NOT_FOUND, "The file cannot be found."},
    {MCIERR_DEVICE_NOT_READY, "The device is not ready: check that a disc is in the drive."},
    {MCIERR_INTERNAL, "The media control layer failed."},
    {MCIERR_OUTOFRANGE, "The value is out of the device's range."},
    {MCIERR_FLAGS_NOT_COMPATIBLE, "These flags cannot be used together."},
    {MCIERR_BAD_TIME_FORMAT, "The device does not take this time format."},
    {MCIERR_INVALID_FILE, "The file is not one this device plays."},
    {MCIERR_NULL_PARAMETER_BLOCK, "The command was given no parameter block."},
    {MCIERR_FILENAME_REQUIRED, "The device needs a file name."},
    {MCIERR_DEVICE_NOT_INSTALLED,
     "The device is not installed: no CD drive the user may open, or no sound font for music."},
};

} // namespace

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    uint8_t block[65536];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, block, sizeof block, &read, nullptr) != 0) && read > 0)
        bytes.insert(bytes.end(), block, block + read);
    CloseHandle(file);
    return ok;
}

void PostMciNotify(HWND window, UINT code, MCIDEVICEID device) {
    if (window != 0) PostMessageA(window, MM_MCINOTIFY, code, static_cast<LPARAM>(device));
}

} // namespace platform::media

using namespace platform::media;

MCIERROR mciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR param) {
    auto flagBits = static_cast<DWORD>(flags);
    if (message == MCI_OPEN) return Open(flagBits, reinterpret_cast<MCI_OPEN_PARMSA*>(param));
    std::shared_ptr<MciDevice> found = Find(device);
    if (found == nullptr) return MCIERR_INVALID_DEVICE_ID;
    MCIERROR result = found->Command(message, flagBits, param);
    if (message == MCI_CLOSE) {
        std::lock_guard lock(tableLock);
        devices.erase(device);
    }
    return result;
}

BOOL mciGetErrorStringA(MCIERROR error, LPSTR buffer, UINT length) {
    if (buffer == nullptr || length == 0) return FALSE;
    buffer[0] = '\0';
    const char* text = nullptr;
    if (error == 0) text = "The command succeeded.";
    for (const ErrorText& row : kErrorTexts) {
        if (row.code == error) text = row.text;
    }
    if (text == nullptr) return FALSE;
    size_t taken = std::min<size_t>(std::strlen(text), length - 1);
    std::memcpy(buffer, text, taken);
    buffer[taken] = '\0';
    return TRUE;
}
