// Flat file functions over the platform's Win32 file calls. Every by-name operation
// makes its path full first; reads and writes report the foundation's result codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/memory/result_codes.h"
#include "platform/kernel/win_types.h"

// Opening, reading and writing.
HANDLE FileOpen(const char* path, uint32_t mode);
HANDLE FileCreate(const char* path);
ResultCode FileRead(HANDLE file, void* buffer, uint32_t count);
// Bytes read, or -1 when the system read fails.
int32_t FileReadRaw(HANDLE file, void* buffer, uint32_t count);
// Reads a 16-bit little-endian length n and n bytes into a new zero-terminated block
// (allocated with MemCalloc, owned by the caller).
ResultCode FileReadCountedString(HANDLE file, char** text);
ResultCode FileWrite(HANDLE file, const void* buffer, uint32_t count);
uint32_t FileTell(HANDLE file);
uint32_t FileSeek(HANDLE file, uint32_t offset);
uint32_t FileSeekRelative(HANDLE file, int32_t offset);
uint32_t FileSeekFromEnd(HANDLE file, int32_t offset);
uint32_t FileGetSize(HANDLE file);
void FileClose(HANDLE file);

// By name.
uint32_t FileGetSizeByName(const char* path);
int IsDirectory(const char* path);
int FileExists(const char* path);
BOOL FileDelete(const char* path);
BOOL FileMove(const char* targetPath, const char* existingPath);
// 1 when the copy FAILED, 0 when it succeeded.
int FileCopy(const char* existingPath, const char* newPath, int failIfExists);
BOOL MakeDirectory(const char* path);
UINT GetDriveTypeOf(const char* rootPath);
// Free kilobytes of the disk holding `path`: 0xFFFFFFFF unknown, capped at 0xFFFFFFFE.
uint32_t GetDiskFreeSpaceOf(const char* path, uint32_t* clusterSizeKb = nullptr);
// The kilobyte arithmetic of GetDiskFreeSpaceOf, apart so that disks of several terabytes
// can be checked without one: from the free bytes of the extended query, and from the
// cluster geometry of the classic one.
uint32_t FreeBytesToKilobytes(uint64_t freeBytes);
uint32_t FreeClustersToKilobytes(DWORD sectorsPerCluster, DWORD bytesPerSector, DWORD freeClusters);
BOOL SetCurrentDir(const char* path);
DWORD GetCurrentDir(DWORD bufferSize, char* buffer);
uint32_t GetFullPath(const char* path, std::string& fullPath);
int GetLongPathNameOf(const char* path, std::string& longPath);
int GetShortPathNameOf(const char* path, std::string& shortPath);

// Buffer helpers take the buffer's capacity (bytes, terminator included) and return
// 0, leaving the buffer unchanged, when the result would not fit; 1 otherwise.
int SetFileExtension(char* path, size_t capacity, const char* extension);
void SetFileExtensionStr(std::string& path, const char* extension);
// Reserves "<directory>\<prefix><number>.<extension>" (the temp folder and "tmp" when
// null) by creating it exclusively, numbers counting from startNumber + 1; the file is
// deleted again unless `keep` is set. Returns the number used, 0 on failure.
uint32_t MakeTempFileName(const char* directory, const char* prefix, char* output,
                          size_t outputCapacity, const char* extension, int keep,
                          uint32_t startNumber);
int AppendBackslash(char* text, size_t capacity);
void StripTrailingBackslash(char* text);
