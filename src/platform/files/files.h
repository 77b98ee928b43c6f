// Files, directories and drives with Windows semantics over the Linux file system.
//
// Paths are Windows-1252 texts with backslash or slash separators. A drive letter maps
// to a root folder (C: is "/" unless configured, see drives.h); a path without a drive
// is on the current drive. "\\server\share" roots are refused (ERROR_BAD_NETPATH).
// When a component does not exist with its exact spelling, it is looked up without
// regard to case (Windows-1252 folding), then by its generated 8.3 alternate name.
// Names are stored on disk in UTF-8. The dots and spaces that end a name are dropped;
// wildcards, the characters < > : " | and control characters in a name, a device name
// (CON, NUL, COM1, ...) as the last name, and paths whose Linux form has PATH_MAX bytes
// or more are refused (ERROR_INVALID_NAME, ERROR_FILENAME_EXCED_RANGE); a full path of
// MAX_PATH characters or more works, though the current directory stays below it. Every failure
// sets a Win32 error code. CreateFileA opens serial ports by their names (serial/serial.h).
#pragma once

#include "platform/kernel/handles.h"
#include "platform/kernel/win_types.h"

// CreateFileA access, share and disposition values.
inline constexpr DWORD GENERIC_READ = 0x80000000u;
inline constexpr DWORD GENERIC_WRITE = 0x40000000u;
inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD FILE_SHARE_DELETE = 0x4;
inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
// Symbolic links carry it, as links and junctions do on Windows.
inline constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;
inline constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;

inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;

inline constexpr UINT DRIVE_UNKNOWN = 0;
inline constexpr UINT DRIVE_NO_ROOT_DIR = 1;
inline constexpr UINT DRIVE_REMOVABLE = 2;
inline constexpr UINT DRIVE_FIXED = 3;
inline constexpr UINT DRIVE_REMOTE = 4;
inline constexpr UINT DRIVE_CDROM = 5;
inline constexpr UINT DRIVE_RAMDISK = 6;

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};

// Share modes are honoured among the opens of this process (Linux keeps none): an open
// of a regular file that conflicts with another fails with ERROR_SHARING_VIOLATION
// before anything is truncated. Devices and pipes ("/dev/null", "/dev/stdout", a FIFO)
// open as they are, shared, and are never truncated; a FIFO that nobody reads refuses a
// writer (ERROR_PIPE_NOT_CONNECTED) instead of waiting for one. A read-only file refuses
// write access (ERROR_ACCESS_DENIED) to every user, and a folder cannot be opened.
// CREATE_ALWAYS and OPEN_ALWAYS set ERROR_ALREADY_EXISTS when the file was there,
// ERROR_SUCCESS otherwise. "/dev/stdin", "/dev/stdout", "/dev/stderr" and "/dev/fd/N" open
// a copy of that descriptor of the player, sharing its position with the shell and the other
// programs that write there (see IsInheritedDescriptor).
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES security, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
// Overlapped I/O is not offered: the last argument must be null. At the end of the file
// ReadFile succeeds with 0 bytes read.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, void* overlapped);
// Writing to a pipe that nobody reads any more fails (ERROR_BROKEN_PIPE) instead of
// ending the process.
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               void* overlapped);
// Without `distanceHigh`, a position past 4 GB is refused (ERROR_INVALID_PARAMETER); a
// negative one always is (ERROR_NEGATIVE_SEEK). The position stays where it was.
// Devices and pipes that cannot seek refuse it; GetFileType tells them apart.
DWORD SetFilePointer(HANDLE file, LONG distance, LPLONG distanceHigh, DWORD moveMethod);
DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
BOOL SetEndOfFile(HANDLE file);
inline constexpr DWORD FILE_TYPE_UNKNOWN = 0;
inline constexpr DWORD FILE_TYPE_DISK = 1;
inline constexpr DWORD FILE_TYPE_CHAR = 2;
inline constexpr DWORD FILE_TYPE_PIPE = 3;
// FILE_TYPE_DISK for files (and block devices), FILE_TYPE_CHAR for character devices and
// serial ports, FILE_TYPE_PIPE for pipes; FILE_TYPE_UNKNOWN with the error for a handle
// that is none of them.
DWORD GetFileType(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);
// Whether the file is a copy of a descriptor the player inherited: it reads and writes
// where the descriptor's other users left its position, which a caller keeping a position
// of its own must not move.
BOOL IsInheritedDescriptor(HANDLE file);

// Wildcards are allowed in the last name only and match long names (not alternate
// ones); a path without them finds its one entry, under its long name. Entries come
// "." and ".." first (not in a drive root), then by name without regard to case.
// Attributes: FILE_ATTRIBUTE_DIRECTORY for folders and FILE_ATTRIBUTE_ARCHIVE for
// everything else (never FILE_ATTRIBUTE_NORMAL), plus FILE_ATTRIBUTE_READONLY without
// write permission and FILE_ATTRIBUTE_HIDDEN for names starting with '.'. A name
// Windows-1252 cannot spell has '?' for each character it lacks; the alternate name in
// cAlternateFileName always reaches such a file.
HANDLE FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* findData);
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* findData);
BOOL FindClose(HANDLE find);

DWORD GetFileAttributesA(LPCSTR fileName);
// Only FILE_ATTRIBUTE_READONLY is kept, as the write permissions of a file (folders
// ignore it); the other attributes follow from the file (see FindFirstFileA).
BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes);
// Refuses folders and read-only files (ERROR_ACCESS_DENIED).
BOOL DeleteFileA(LPCSTR fileName);
BOOL RemoveDirectoryA(LPCSTR pathName);
BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES security);
// Refuses an existing target (ERROR_ALREADY_EXISTS), as Windows does, except the source
// itself in another case. A file moved to another file system is copied, then removed;
// a folder cannot be (ERROR_NOT_SAME_DEVICE).
BOOL MoveFileA(LPCSTR existingFileName, LPCSTR newFileName);
// The copy is written to a temporary file in the target folder and renamed into place,
// so a failed copy leaves the target as it was. The permissions and times go along.
// Copying a file onto itself fails with ERROR_SHARING_VIOLATION.
BOOL CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists);

DWORD GetFullPathNameA(LPCSTR fileName, DWORD bufferLength, LPSTR buffer, LPSTR* filePart);
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR pathName);
DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer);
UINT GetDriveTypeA(LPCSTR rootPathName);
// Any existing path names its disk; null is the current directory's.
BOOL GetDiskFreeSpaceA(LPCSTR rootPathName, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                       LPDWORD numberOfFreeClusters, LPDWORD totalNumberOfClusters);
BOOL GetDiskFreeSpaceExA(LPCSTR directoryName, ULARGE_INTEGER* freeBytesAvailableToCaller,
                         ULARGE_INTEGER* totalNumberOfBytes,
                         ULARGE_INTEGER* totalNumberOfFreeBytes);
