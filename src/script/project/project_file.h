// The reader of the project data: finds the data appended to the player (or in a file of
// its own), reads its chunks into application entries with their banks, keeps the
// project's class list, and answers every lookup of a bank or element by type, index or
// name.
#pragma once

#include <cstdint>

#include "foundation/containers/llist.h"
#include "foundation/containers/ptr_array.h"
#include "foundation/memory/result_codes.h"
#include "platform/kernel/win_types.h"

class CBank;
class CChunkBody;
class CElement;
class CInStream;
class CInterpretor;
class CLaunchInfo;
class CProjectEntry;
struct PaletteRecord;

// The program's project-offset word: where the project data starts in the program's own
// file. 0xFFFFFFFF (the start value) means "read the trailer at the end of the file".
uint32_t& ProjectOffsetWord();
// The trailer marker last read by the trailer scheme.
uint32_t& ProjectTrailerMarker();

// Project-data result codes beside the foundation's.
inline constexpr ResultCode kResultNoProjectData = 10002;
// No chunk handled, or the project mode and the code block disagree.
inline constexpr ResultCode kResultProjectRefused = 0xFFFFFFFF;

class CProjectFile {
public:
    static constexpr uint32_t kEntryBuckets = 64;
    static constexpr uint32_t kBankBuckets = 64;
    static constexpr uint32_t kElementBuckets = 512;

    explicit CProjectFile(CInterpretor* interpreter = nullptr);
    // Deletes every entry with its banks, closes the file (deleting it when asked).
    ~CProjectFile();
    CProjectFile(const CProjectFile&) = delete;
    CProjectFile& operator=(const CProjectFile&) = delete;

    // Opens the project: `path` read from offset 0, or, when null, the program's own file
    // at the project-offset word (the trailer scheme). 0, or the first failure's code.
    ResultCode Open(const char* projectName, const char* path, const CLaunchInfo* launch);
    ResultCode Locate(const char* path, uint32_t offset, const CLaunchInfo* launch);
    ResultCode ReadChunks(HANDLE file, uint32_t offset, const CLaunchInfo* launch);

    // ---- Entries ----------------------------------------------------------------------
    // Returns the previous current entry; null selects the first entry (none when empty).
    CProjectEntry* SelectEntry(CProjectEntry* entry);
    CProjectEntry* GetCurrentEntry() const { return currentEntry_; }
    const LList& GetEntries() const { return entries_; }
    // The entry named so (without regard to case), or null.
    CProjectEntry* FindEntryByName(const char* name) const;
    // Appends a MemAlloc'd copy of every entry name to `names` (owned by the caller: free
    // each with MemFree). 0 when memory runs out.
    int GetNameList(PtrArray& names) const;

    // ---- Banks and elements -------------------------------------------------------------
    // The current entry's bank of `type`.
    CBank* FindBank(uint32_t type) const;
    CBank* FindBankInEntry(const CProjectEntry* entry, uint32_t type) const;
    // A name with ':' is a full bank name ("entry://bank"); else it is taken in the current
    // entry.
    CBank* FindBankByName(const char* name) const;
    // A name with ':' is a full element name; else it names an element of the current
    // entry's bank of `bankType`. skipSources: the source-module bank never answers.
    CElement* ResolveElement(const char* name, uint32_t bankType, int skipSources) const;
    CElement* FindElementByIndex(int32_t index, uint32_t bankType, int skipSources) const;
    // A stream over the element so named (CElement::OpenStream(mode)), else over the file
    // of that path; null when neither opens. The caller deletes the stream.
    CInStream* FindElementByName(const char* name, int skipSources, int mode) const;
    // `name` when it holds ':', else the project file's folder followed by `name`, cut to
    // size - 1 characters. Returns the length written.
    uint32_t MakeElementPath(char* buffer, uint32_t size, const char* name) const;

    // ---- Name tables, kept by the banks ---------------------------------------------------
    // 1, or 0 when memory runs out (the object is then not listed).
    int AddBankToTable(CBank* bank);
    void RemoveBankFromTable(CBank* bank);
    int AddElementToTable(CElement* element);
    void RemoveElementFromTable(CElement* element);
    // Lists the entry's banks and elements again under their current names (an entry
    // whose name arrives after its banks).
    void RelistBanks(CProjectEntry* entry);

    // ---- State --------------------------------------------------------------------------
    CInterpretor* GetInterpreter() const { return interpreter_; }
    // Items const char*: the project's class names (the built-in list before version 6).
    const PtrArray& GetClassNames() const { return classNames_; }
    const char* GetProjectName() const { return projectName_; }
    const char* GetPath() const { return path_; }
    HANDLE GetHandle() const { return file_; }
    uint32_t GetCodeBlockPosition() const { return codeBlockPosition_; }
    uint32_t GetMode() const { return mode_; }
    uint32_t GetVersion() const { return version_; }
    PaletteRecord* GetPalette() const { return palette_; }
    uint32_t GetPaletteFlag() const { return paletteFlag_; }
    void SetDeleteAtClose(int deleteAtClose) { deleteAtClose_ = deleteAtClose; }

private:
    struct TableItem;

    ResultCode ReadHeaderChunk(CChunkBody& body);
    ResultCode ReadEntryChunk(CChunkBody& body, uint32_t extra);
    ResultCode UseBuiltInClassNames();
    void FreeClassNames();
    void TakeEntryPalette();
    static int AddToTable(LList* table, uint32_t buckets, void* object, char* fullName);
    static void RemoveFromTable(LList* table, uint32_t buckets, const void* object,
                                const char* fullName);
    static void* FindInTable(const LList* table, uint32_t buckets, const char* fullName,
                             int skipSources, bool elements);
    CElement* FindElementByFullName(const char* fullName, int skipSources) const;

    CInterpretor* interpreter_ = nullptr;
    PtrArray classNames_;
    char* projectName_ = nullptr;
    char* path_ = nullptr;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    int ownHandle_ = 0;
    int deleteAtClose_ = 0;
    uint32_t codeBlockPosition_ = 0;
    uint32_t mode_ = 1;
    uint32_t reserved_ = 0;
    uint32_t version_ = 0;
    bool versionRead_ = false;
    bool headerRead_ = false;
    PaletteRecord* palette_ = nullptr;
    uint32_t paletteFlag_ = 0;
    LList entries_;
    CProjectEntry* currentEntry_ = nullptr;
    LList entryTable_[kEntryBuckets];
    LList bankTable_[kBankBuckets];
    LList elementTable_[kElementBuckets];
};
