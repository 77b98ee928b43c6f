// The MCI message, flag, item and error numbers and the parameter blocks of the media
// control calls, shared by the devices (sequencer, CD audio) and the video window.
#pragma once

#include "platform/kernel/win_types.h"

using MCIDEVICEID = UINT;
using MCIERROR = DWORD;

// Commands.
inline constexpr UINT MCI_OPEN = 0x0803;
inline constexpr UINT MCI_CLOSE = 0x0804;
inline constexpr UINT MCI_PLAY = 0x0806;
inline constexpr UINT MCI_SEEK = 0x0807;
inline constexpr UINT MCI_STOP = 0x0808;
inline constexpr UINT MCI_PAUSE = 0x0809;
inline constexpr UINT MCI_SET = 0x080D;
inline constexpr UINT MCI_STATUS = 0x0814;
inline constexpr UINT MCI_RESUME = 0x0855;

// Flags of every command.
inline constexpr DWORD MCI_NOTIFY = 0x00000001;
inline constexpr DWORD MCI_WAIT = 0x00000002;
inline constexpr DWORD MCI_FROM = 0x00000004;
inline constexpr DWORD MCI_TO = 0x00000008;
inline constexpr DWORD MCI_TRACK = 0x00000010;

// MCI_OPEN flags.
inline constexpr DWORD MCI_OPEN_SHAREABLE = 0x00000100;
inline constexpr DWORD MCI_OPEN_ELEMENT = 0x00000200;
inline constexpr DWORD MCI_OPEN_ALIAS = 0x00000400;
inline constexpr DWORD MCI_OPEN_ELEMENT_ID = 0x00000800;
inline constexpr DWORD MCI_OPEN_TYPE_ID = 0x00001000;
inline constexpr DWORD MCI_OPEN_TYPE = 0x00002000;

// MCI_SEEK flags.
inline constexpr DWORD MCI_SEEK_TO_START = 0x00000100;
inline constexpr DWORD MCI_SEEK_TO_END = 0x00000200;

// MCI_SET flags.
inline constexpr DWORD MCI_SET_DOOR_OPEN = 0x00000100;
inline constexpr DWORD MCI_SET_DOOR_CLOSED = 0x00000200;
inline constexpr DWORD MCI_SET_TIME_FORMAT = 0x00000400;

// MCI_STATUS flags and items.
inline constexpr DWORD MCI_STATUS_ITEM = 0x00000100;
inline constexpr DWORD MCI_STATUS_START = 0x00000200;
inline constexpr DWORD MCI_STATUS_LENGTH = 1;
inline constexpr DWORD MCI_STATUS_POSITION = 2;
inline constexpr DWORD MCI_STATUS_NUMBER_OF_TRACKS = 3;
inline constexpr DWORD MCI_STATUS_MODE = 4;
inline constexpr DWORD MCI_STATUS_MEDIA_PRESENT = 5;
inline constexpr DWORD MCI_STATUS_TIME_FORMAT = 6;
inline constexpr DWORD MCI_STATUS_READY = 7;
inline constexpr DWORD MCI_STATUS_CURRENT_TRACK = 8;
inline constexpr DWORD MCI_CDA_STATUS_TYPE_TRACK = 0x00004001;
inline constexpr DWORD MCI_CDA_TRACK_AUDIO = 1088;
inline constexpr DWORD MCI_CDA_TRACK_OTHER = 1089;

// Modes (MCI_STATUS_MODE).
inline constexpr DWORD MCI_MODE_NOT_READY = 524;
inline constexpr DWORD MCI_MODE_STOP = 525;
inline constexpr DWORD MCI_MODE_PLAY = 526;
inline constexpr DWORD MCI_MODE_RECORD = 527;
inline constexpr DWORD MCI_MODE_SEEK = 528;
inline constexpr DWORD MCI_MODE_PAUSE = 529;
inline constexpr DWORD MCI_MODE_OPEN = 530;

// Time formats.
inline constexpr DWORD MCI_FORMAT_MILLISECONDS = 0;
inline constexpr DWORD MCI_FORMAT_MSF = 2;
inline constexpr DWORD MCI_FORMAT_FRAMES = 3;
inline constexpr DWORD MCI_FORMAT_TMSF = 10;

constexpr BYTE MCI_TMSF_TRACK(DWORD tmsf) {
    return static_cast<BYTE>(tmsf);
}
constexpr BYTE MCI_TMSF_MINUTE(DWORD tmsf) {
    return static_cast<BYTE>(tmsf >> 8);
}
constexpr BYTE MCI_TMSF_SECOND(DWORD tmsf) {
    return static_cast<BYTE>(tmsf >> 16);
}
constexpr BYTE MCI_TMSF_FRAME(DWORD tmsf) {
    return static_cast<BYTE>(tmsf >> 24);
}
constexpr DWORD MCI_MAKE_TMSF(BYTE track, BYTE minute, BYTE second, BYTE frame) {
    return DWORD{track} | DWORD{minute} << 8 | DWORD{second} << 16 | DWORD{frame} << 24;
}

// Device types.
inline constexpr DWORD MCI_DEVTYPE_CD_AUDIO = 516;
inline constexpr DWORD MCI_DEVTYPE_SEQUENCER = 523;

// The notification a device posts to its callback window: wParam the code, lParam the
// device id.
inline constexpr UINT MM_MCINOTIFY = 0x03B9;
inline constexpr UINT MCI_NOTIFY_SUCCESSFUL = 0x0001;
inline constexpr UINT MCI_NOTIFY_SUPERSEDED = 0x0002;
inline constexpr UINT MCI_NOTIFY_ABORTED = 0x0004;
inline constexpr UINT MCI_NOTIFY_FAILURE = 0x0008;

// Errors (0 is success).
inline constexpr MCIERROR MCIERR_BASE = 256;
inline constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
inline constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
inline constexpr MCIERROR MCIERR_HARDWARE = MCIERR_BASE + 6;
inline constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = MCIERR_BASE + 7;
inline constexpr MCIERROR MCIERR_OUT_OF_MEMORY = MCIERR_BASE + 8;
inline constexpr MCIERROR MCIERR_MISSING_PARAMETER = MCIERR_BASE + 17;
inline constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = MCIERR_BASE + 18;
inline constexpr MCIERROR MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
inline constexpr MCIERROR MCIERR_DEVICE_NOT_READY = MCIERR_BASE + 20;
inline constexpr MCIERROR MCIERR_INTERNAL = MCIERR_BASE + 21;
inline constexpr MCIERROR MCIERR_OUTOFRANGE = MCIERR_BASE + 26;
inline constexpr MCIERROR MCIERR_FLAGS_NOT_COMPATIBLE = MCIERR_BASE + 28;
inline constexpr MCIERROR MCIERR_BAD_TIME_FORMAT = MCIERR_BASE + 37;
inline constexpr MCIERROR MCIERR_NULL_PARAMETER_BLOCK = MCIERR_BASE + 41;
inline constexpr MCIERROR MCIERR_INVALID_FILE = MCIERR_BASE + 40;
inline constexpr MCIERROR MCIERR_FILENAME_REQUIRED = MCIERR_BASE + 48;
inline constexpr MCIERROR MCIERR_DEVICE_NOT_INSTALLED = MCIERR_BASE + 50;

// Parameter blocks.
struct MCI_GENERIC_PARMS {
    DWORD_PTR dwCallback;
};

struct MCI_OPEN_PARMSA {
    DWORD_PTR dwCallback;
    MCIDEVICEID wDeviceID;
    LPCSTR lpstrDeviceType; // a name, or with MCI_OPEN_TYPE_ID the type number
    LPCSTR lpstrElementName;
    LPCSTR lpstrAlias;
};

struct MCI_PLAY_PARMS {
    DWORD_PTR dwCallback;
    DWORD dwFrom;
    DWORD dwTo;
};

struct MCI_SEEK_PARMS {
    DWORD_PTR dwCallback;
    DWORD dwTo;
};

struct MCI_SET_PARMS {
    DWORD_PTR dwCallback;
    DWORD dwTimeFormat;
    DWORD dwAudio;
};

struct MCI_STATUS_PARMS {
    DWORD_PTR dwCallback;
    DWORD_PTR dwReturn;
    DWORD dwItem;
    DWORD dwTrack;
};
