// The registry's trees in memory and the file each root is stored in. Internal to the
// platform layer.
//
// File format, every integer little-endian:
//   header  "ZREG", version (u32, 1), CRC-32 (u32) of everything after the header
//   key     name length (u16), name, value count (u32), values, subkey count (u32), subkeys
//   value   name length (u16), name, type (u32), data size (u32), data
// The root key follows the header, with an empty name, and the file ends with it. Key
// names are 1 to 255 bytes without "\" or NUL, value names up to 16383 bytes without NUL,
// unique within their key without regard to case.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace platform {

inline constexpr size_t kMaxRegistryKeyName = 255;
inline constexpr size_t kMaxRegistryValueName = 16383;
inline constexpr size_t kMaxRegistryDepth = 512;

// Orders names by their Windows-1252 bytes mapped to upper case.
int CompareRegistryNames(std::string_view a, std::string_view b);

struct RegistryValue {
    std::string name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct RegistryKey {
    std::string name;
    // Null for a root and for a key taken out of its tree.
    RegistryKey* parent = nullptr;
    // Set when the key leaves its tree (deleted, or its tree forgotten): handles still
    // open on it must not reach the tree any more.
    bool deleted = false;
    std::vector<RegistryValue> values;                 // in the order they were first set
    std::vector<std::shared_ptr<RegistryKey>> subkeys; // sorted by CompareRegistryNames

    // Index of the value, or values.size() when there is none.
    size_t FindValue(std::string_view valueName) const;
    std::shared_ptr<RegistryKey> FindSubkey(std::string_view keyName) const;
    // Adds a subkey that does not exist yet, in its sorted place.
    std::shared_ptr<RegistryKey> AddSubkey(std::string keyName);
    // Puts back a key taken out by RemoveSubkey.
    void InsertSubkey(std::shared_ptr<RegistryKey> key);
    void RemoveSubkey(const RegistryKey* key);
    // Levels below the root.
    size_t Depth() const;
    // Marks this key and every key below it deleted; only subkeys lose their parent.
    void MarkDeleted();
};

// Reads a whole store file's bytes. ERROR_BADDB, with *root untouched, for anything but
// a well-formed store.
DWORD ParseRegistryStore(const BYTE* bytes, size_t size, std::shared_ptr<RegistryKey>* root);
std::vector<BYTE> SerializeRegistryStore(const RegistryKey& root);

// Reads the store `fileName` in `folder` (an empty folder name: there is no store yet).
// A missing file is an empty tree. A temporary file left by an interrupted write is
// removed. A file refused by ParseRegistryStore is renamed to "<fileName>.bad" and
// *root is an empty tree, with ERROR_BADDB; when it cannot be renamed *root stays null.
// Other failures to read give their error and leave *root null.
DWORD LoadRegistryFile(const std::string& folder, const std::string& fileName,
                       std::shared_ptr<RegistryKey>* root);

// Replaces the store `fileName` in `folder` (created when missing) with `root`: writes
// "<fileName>.tmp", syncs it, renames it over the store and syncs the folder. With
// `stopBeforeRename` it stops, as a crash would, before the rename and fails with
// ERROR_WRITE_FAULT.
DWORD SaveRegistryFile(const std::string& folder, const std::string& fileName,
                       const RegistryKey& root, bool stopBeforeRename);

} // namespace platform
