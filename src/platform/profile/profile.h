// INI files through the Windows profile functions, and the folders that Windows names
// for the system's own settings and libraries.
//
// Profiles are read and written by our own reader and writer (ini_document.h); texts stay
// Windows-1252 bytes. A file name without a separator ('\' or '/') lives in the Windows
// directory; any other name goes through the file layer's paths. Files over 16 MiB are
// not read (the default is given) and not written (ERROR_FILE_TOO_LARGE).
//
// A write is atomic and safe between processes: the file is locked (flock), checked to
// be still the file at that path, read, and a new file written in the same folder,
// synced and renamed over it, keeping the old file's mode. A link is followed, so the
// file it names is the one replaced. Parsed files are cached and checked against their
// inode, size and modification time at each read.
#pragma once

#include "platform/kernel/win_types.h"

// A missing file, section or key gives `defaultValue` (null: an empty text) without its
// trailing blanks. The result is cut to size - 1 bytes; the count copied is returned.
// A null section or key is not supported: the default is given.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR returned,
                               DWORD size, LPCSTR fileName);
// A null value deletes the key, a null key the whole section. A section, key or value
// holding CR or LF is refused (ERROR_INVALID_PARAMETER): it would add lines.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);

// $XDG_CONFIG_HOME/zorv/windows and $XDG_DATA_HOME/zorv/system ($HOME/.config and
// $HOME/.local/share when unset) as Windows paths without a final separator, made with
// mode 0700 when missing. The length written, or the size needed (terminator included)
// when the buffer is too small; 0 on failure.
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
