// The registry: keys holding named, typed values, under five predefined roots.
//
// Each root is an independent tree kept in memory and stored in a file of its own
// ("HKEY_CURRENT_USER.reg", ...) in the registry folder: $ZORV_REGISTRY_DIR when set,
// else $XDG_DATA_HOME/zorv/registry, else $HOME/.local/share/zorv/registry. A root's
// file is read on the first call that needs it; every change rewrites that root's whole
// file atomically (a new file, synced, then renamed over the old one), so a crash leaves
// either the old or the new content. When the write fails the change is undone and the
// call reports the error (ERROR_DISK_FULL, ERROR_ACCESS_DENIED, ERROR_WRITE_FAULT,
// ERROR_PATH_NOT_FOUND when no folder can be named, ERROR_NOT_ENOUGH_MEMORY when the file
// would pass 16 MiB). The store serves one process at a time: two processes changing the
// same root overwrite each other's changes.
//
// A root's file that cannot be read as a store is never written over: it is renamed to
// "<file>.bad" (replacing an older one), the root starts empty and the call that read it
// fails with ERROR_BADDB, so the loss is reported once. When it cannot be moved aside,
// every call on that root fails with ERROR_BADDB.
//
// Names are Windows-1252 texts matched without regard to case and kept with the spelling
// they were created with. Key paths use "\" between names; a single trailing "\" is
// allowed, a leading one or an empty name is ERROR_BAD_PATHNAME, a name longer than 255
// characters ERROR_INVALID_PARAMETER. Keys nest at most 512 levels below their root.
// Subkeys are enumerated sorted by name without regard to case (as Windows does), values
// in the order they were first set. Keys keep no class name and no write time: those
// outputs receive an empty text and a zero time.
//
// Handles opened by RegOpenKeyExA and RegCreateKeyExA carry the access asked for: reading
// and enumerating values needs KEY_QUERY_VALUE, setting and deleting them KEY_SET_VALUE,
// enumerating subkeys KEY_ENUMERATE_SUB_KEYS, RegCreateKeyExA under the handle
// KEY_CREATE_SUB_KEY (else ERROR_ACCESS_DENIED). The predefined roots need no opening and
// allow everything. Once a key is deleted, calls through handles still open on it fail
// with ERROR_KEY_DELETED. Results are Win32 error codes.
#pragma once

#include "platform/kernel/win_types.h"

using HKEY = HANDLE;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LPBYTE = BYTE*;
using PFILETIME = FILETIME*;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;
// Known roots that cannot be opened: every call on them fails with ERROR_INVALID_HANDLE.
inline constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004u;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006u;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Options and security attributes are accepted and ignored. A null or empty subKey
// gives a new handle to hKey's own key.
LONG RegCreateKeyExA(HKEY hKey, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                     REGSAM desired, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition);
LONG RegOpenKeyExA(HKEY hKey, LPCSTR subKey, DWORD options, REGSAM desired, PHKEY result);
LONG RegCloseKey(HKEY hKey);
// Every change is already on disk when its call returns; this only checks the handle.
LONG RegFlushKey(HKEY hKey);

// A null or empty name is the key's default value. Data is stored as given, whatever the
// type. With null data only the size is returned; a buffer too small gives
// ERROR_MORE_DATA and the size needed. String data (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ)
// stored without its terminating zero gets one in the buffer when there is room for it;
// the size returned is the stored size.
LONG RegQueryValueExA(HKEY hKey, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize);
LONG RegSetValueExA(HKEY hKey, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);
LONG RegDeleteValueA(HKEY hKey, LPCSTR valueName);
// Deletes a key that has no subkeys (else ERROR_ACCESS_DENIED); a null or empty subKey
// names hKey's own key. A predefined root cannot be deleted.
LONG RegDeleteKeyA(HKEY hKey, LPCSTR subKey);

// Name sizes count characters including the terminating zero on input and exclude it on
// output; a name buffer too small gives ERROR_MORE_DATA and leaves its size as it was.
LONG RegEnumKeyExA(HKEY hKey, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPSTR keyClass, LPDWORD classSize, PFILETIME lastWriteTime);
LONG RegEnumKeyA(HKEY hKey, DWORD index, LPSTR name, DWORD nameSize);
LONG RegEnumValueA(HKEY hKey, DWORD index, LPSTR valueName, LPDWORD valueNameSize, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD dataSize);
// Lengths of names exclude the terminating zero; the security descriptor size is 0.
LONG RegQueryInfoKeyA(HKEY hKey, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved,
                      LPDWORD subKeys, LPDWORD maxSubKeyLength, LPDWORD maxClassLength,
                      LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                      LPDWORD securityDescriptorSize, PFILETIME lastWriteTime);
