// An application entry of the project: its name, palette, initial source text, game-input
// settings, the settings the rest of the player copies at start, and its banks.
#pragma once

#include <cstdint>

#include "foundation/containers/llist.h"
#include "foundation/memory/result_codes.h"
#include "platform/kernel/win_types.h"

class CBank;
class CChunkBody;
class CProjectFile;
struct PaletteRecord;

class CProjectEntry {
public:
    CProjectEntry() = default;
    // Deletes the banks, releases the palette and closes an owned file.
    ~CProjectEntry();
    CProjectEntry(const CProjectEntry&) = delete;
    CProjectEntry& operator=(const CProjectEntry&) = delete;

    // Reads the entry's sub-chunks from `reader`'s file at its current position (empty or
    // null `fileName`), or from the start of the named file, until the end chunk; `version`
    // is the project's version word. `limit` is the file offset where the entry's chunk
    // ends: no sub-chunk may run past it. 0, or the first failure's code.
    ResultCode Read(CProjectFile* reader, const char* fileName, uint32_t version,
                    uint64_t limit = UINT64_MAX);

    // The bank of `type`, or null.
    CBank* FindBank(uint32_t type) const;

    // 0 application entry, 1 extra entry.
    uint32_t extra = 0;
    CProjectFile* reader = nullptr;
    // MemAlloc'd texts; the name is empty (not null) once read.
    char* name = nullptr;
    char* filePath = nullptr;
    HANDLE file = INVALID_HANDLE_VALUE;
    int ownHandle = 0;
    uint32_t version = 0;
    // Bit 0: use the entry palette on 8-bit screens.
    uint32_t flags = 0;
    // One use held; the thread's default palette until a properties chunk brings one.
    PaletteRecord* palette = nullptr;
    uint32_t paletteFlag = 0;
    // Terminated texts, null when absent.
    char* initialSource = nullptr;
    uint32_t initialSourceSize = 0;
    uint32_t gameInputSize = 0;
    char* gameInputText = nullptr;
    // The game-input chunk's first u16 is inputSettings[0].
    uint16_t inputSettings[2] = {0, 0};
    uint16_t gameInputFlag = 0;
    uint32_t inputSetting = 0;
    uint16_t cpuShare = 100;
    uint32_t colourSetting = 0xFFFFFF;
    uint16_t displaySettings[3] = {1, 1, 1};
    // Items CBank*, owned.
    LList banks;
    // The u32 the properties read after the initial source text.
    uint32_t startSetting = 0;
    // The last u16 of the properties is lastSettings[0].
    uint16_t lastSettings[2] = {1, 1};

private:
    ResultCode ReadProperties(CChunkBody& body);
    ResultCode ReadGameInput(CChunkBody& body);
    ResultCode ReadBankChunk(CChunkBody& body);
    void DeleteBanks();
};
