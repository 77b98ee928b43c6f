// Banks: typed, named collections of elements kept in the project data or in a file of
// their own. A bank reads only its directory when it opens; each element reads its header
// at once and its data on first use, so a large project starts fast and keeps in memory
// only what the script touches.
#pragma once

#include <cstdint>

#include "foundation/containers/ptr_array.h"
#include "foundation/memory/result_codes.h"
#include "platform/kernel/win_types.h"

class CElement;
class CProjectEntry;
class CProjectFile;

// Failure codes of the bank layer besides the foundation's.
inline constexpr ResultCode kBankHeaderRefused = 10000;
inline constexpr ResultCode kBankElementHeaderUnreadable = 10004;
inline constexpr ResultCode kBankSurfaceLockFailed = 0x40010002;

// The code of the last bank or element failure of the process; 0 after a successful
// directory read. CreateBank's callers read it when no bank comes back.
ResultCode GetLastBankCode();
void SetLastBankCode(ResultCode code);

class CBank {
public:
    CBank() = default;
    // Takes the bank and its elements out of the project's tables, deletes the elements
    // and closes a handle the bank owns.
    virtual ~CBank();
    CBank(const CBank&) = delete;
    CBank& operator=(const CBank&) = delete;

    // Loads the data of element `index` when it has none yet. 1 when it has data
    // afterwards; 0 for a hole, an index outside the directory or a failed read (the last
    // bank code tells which).
    virtual int LoadElementData(int32_t index, int flag);
    // Frees the element's data unless a use is counted on it.
    virtual void ReleaseElementData(int32_t index);
    // A new element of the bank's element class, not yet read; null when memory runs out.
    virtual CElement* CreateElement() = 0;
    // Reads what a bank type keeps between the bank's name and its directory. 1, or 0 when
    // it is refused.
    virtual int ReadTypeHeader(HANDLE file);
    virtual int IsImageBank() { return 0; }

    // Reads the directory at the handle's position (the element count and offsets that
    // follow the type header) and every element's header; `start` is the position of the
    // bank record, which the offsets are relative to. Lists the bank and its elements in
    // the project's tables. 0, or the failure code (also kept as the last bank code).
    ResultCode ReadDirectory(CProjectEntry* entry, uint32_t type, const char* name,
                             uint32_t version, const char* path, HANDLE file, int own,
                             uint32_t start);

    // 1 when element `index` has data, and a use is then counted on it.
    int LockElementData(int32_t index);
    void UnlockElementData(int32_t index);
    void ReleaseAll();
    // The first element whose name equals `name` without regard to case; -1 when none.
    int32_t FindElementIndex(const char* name) const;
    // The bank's name in the project: the entry name, "://" and the bank name. Returns the
    // length needed (terminator excluded) and writes only when that fits in `size` bytes;
    // otherwise it leaves an empty text (when size > 0).
    uint32_t GetFullName(char* buffer, uint32_t size) const;

    CProjectEntry* GetEntry() const { return entry_; }
    // The reader of the owning entry; null for a bank opened without one.
    CProjectFile* GetProjectFile() const;
    uint32_t GetType() const { return type_; }
    const char* GetName() const { return name_ != nullptr ? name_ : ""; }
    const char* GetPath() const { return path_ != nullptr ? path_ : ""; }
    HANDLE GetHandle() const { return file_; }
    uint32_t GetVersion() const { return version_; }
    // Entries of the directory, holes included.
    uint32_t GetElementCount() const { return count_; }
    // Null for a hole or an index outside the directory.
    CElement* GetElement(int32_t index) const;
    // The file position of element `index`'s data record (just after its header); 0 when
    // there is no element there.
    uint32_t GetDataOffset(int32_t index) const;

protected:
    // Takes every element out of the project's table and deletes it.
    void DeleteElements();

    CProjectEntry* entry_ = nullptr;
    uint32_t type_ = 0;
    char* name_ = nullptr;
    int ownsHandle_ = 0;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    char* path_ = nullptr;
    uint32_t version_ = 0;
    uint32_t count_ = 0;
    uint32_t* dataOffsets_ = nullptr;
    PtrArray elements_;
    int listed_ = 0;
};

// Source modules, sounds, musics, 3D worlds and binary data.
class CBinaryBank : public CBank {
public:
    CElement* CreateElement() override;
};

class CStringBank : public CBank {
public:
    CElement* CreateElement() override;
};

class CAnimBank : public CBank {
public:
    CElement* CreateElement() override;
};

// Opens the bank record at the current position of the entry's file (empty or null file
// name) or at the start of the named file. Null on failure: the last bank code tells why
// (0x40000005 the file cannot be opened, 10000 a name over 275 bytes or a type header
// refused, 10004 an element header unreadable, file-layer codes for short data).
CBank* CreateBank(CProjectEntry* entry, const char* fileName);
