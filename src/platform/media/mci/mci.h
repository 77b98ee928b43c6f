// The media control calls for the "sequencer" (MIDI files through our synthesiser) and
// "cdaudio" (the CD drive's own audio output) devices. Device ids are never reused within
// the process, so a notification still queued for a closed device never reaches the one
// opened after it. With MCI_NOTIFY, MCI_PLAY posts MM_MCINOTIFY (code, device id) to the
// window in dwCallback when the play ends (MCI_NOTIFY_SUCCESSFUL), or, when a later
// command cuts it short, MCI_NOTIFY_ABORTED (stop, pause, close) or MCI_NOTIFY_SUPERSEDED
// (another play).
#pragma once

#include "platform/media/mci/mci_types.h"
#include "platform/user/hwnd.h"

// `param` points at the parameter block of the command (MCI_OPEN_PARMSA and so on).
MCIERROR mciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR param);
// Our text for `error` into `buffer` (cut to `length` − 1 bytes and terminated); FALSE for a
// number that is no MCI error.
BOOL mciGetErrorStringA(MCIERROR error, LPSTR buffer, UINT length);
