#include "script/project/project_entry.h"

#include <cstring>

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"
#include "graphics2d/palette/palette.h"
#include "script/project/bank.h"
#include "script/project/packed_block.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"

namespace {

using namespace project_format;

// The first version whose entries keep the initial source and the game-input settings in
// chunks of their own instead of the properties.
constexpr uint32_t kSeparateTextsVersion = kVersionBase + 4;
constexpr uint32_t kPaletteBytes = 1024;

} // namespace

CProjectEntry::~CProjectEntry() {
    // The banks read through the entry's handle and unlist themselves through its reader.
    DeleteBanks();
    if (ownHandle && file != INVALID_HANDLE_VALUE) FileClose(file);
    Palette_Release(palette);
    MemFree(&name);
    MemFree(&filePath);
    MemFree(&initialSource);
    MemFree(&gameInputText);
}

void CProjectEntry::DeleteBanks() {
    for (LListNode* node = banks.GetHead(); node != nullptr; node = node->next)
        delete static_cast<CBank*>(node->item);
    banks.RemoveAll();
}

CBank* CProjectEntry::FindBank(uint32_t type) const {
    for (LListNode* node = banks.GetHead(); node != nullptr; node = node->next) {
        CBank* bank = static_cast<CBank*>(node->item);
        if (bank->GetType() == type) return bank;
    }
    return nullptr;
}

ResultCode CProjectEntry::Read(CProjectFile* owner, const char* fileName, uint32_t projectVersion,
                               uint64_t limit) {
    reader = owner;
    Palette_Release(palette);
    palette = Palette_GetDefault();
    if (name == nullptr && (name = MemCopyText("")) == nullptr) return kResultOutOfMemory;

    uint32_t start = 0;
    if (fileName == nullptr || fileName[0] == '\0') {
        file = owner->GetHandle();
        ownHandle = 0;
        if (owner->GetPath() != nullptr && (filePath = MemCopyText(owner->GetPath())) == nullptr)
            return kResultOutOfMemory;
        start = FileTell(file);
    } else {
        if ((filePath = MemCopyText(fileName)) == nullptr) return kResultOutOfMemory;
        file = FileOpen(fileName, 0);
        if (file == INVALID_HANDLE_VALUE) return kResultCannotOpen;
        ownHandle = 1;
        limit = FileGetSize(file);
    }
    version = projectVersion;

    uint64_t position = start;
    for (;;) {
        CChunkBody header(file, static_cast<uint32_t>(position), limit);
        uint16_t id = 0;
        uint16_t reserved = 0;
        uint32_t size = 0;
        if (ResultCode result = header.U16(id)) return result;
        if (ResultCode result = header.U16(reserved)) return result;
        if (ResultCode result = header.U32(size)) return result;
        const uint64_t bodyStart = header.GetPosition();
        if (size > header.Left()) return kResultEndOfData;
        const uint64_t bodyEnd = bodyStart + size;
        if (id == kEndChunk) return kResultOk;

        if (size != 0) {
            CChunkBody body(file, static_cast<uint32_t>(bodyStart), bodyEnd);
            ResultCode result = kResultOk;
            switch (id) {
            case kPropertiesChunk:
                result = ReadProperties(body);
                break;
            case kBankChunk:
                result = ReadBankChunk(body);
                break;
            case kEntryVersionChunk: {
                uint16_t low = 0;
                result = body.U16(low);
                if (result == kResultOk) version = (version & 0xFFFF0000) | low;
                break;
            }
            case kInitialSourceChunk:
                MemFree(&initialSource);
                initialSourceSize = 0;
                result = body.Packed(initialSource, initialSourceSize);
                break;
            case kGameInputChunk:
                result = ReadGameInput(body);
                break;
            default:
                break;
            }
            if (result != kResultOk) return result;
        }
        position = bodyEnd;
    }
}

ResultCode CProjectEntry::ReadProperties(CChunkBody& body) {
    char* newName = nullptr;
    if (ResultCode result = body.String(newName)) return result;
    MemFree(&name);
    name = newName;
    if (reader != nullptr) reader->RelistBanks(this);

    if (ResultCode result = body.U32(flags)) return result;
    uint8_t colours[kPaletteBytes];
    if (ResultCode result = body.Bytes(colours, sizeof colours)) return result;
    RawPalette raw{};
    raw.version = kPaletteVersion;
    raw.count = kPaletteEntryCount;
    Palette_FromColorTable(raw.entries, colours, kPaletteEntryCount);
    Palette_PlaceStaticColors(raw.entries, raw.entries, nullptr);
    // Without a palette context (or memory) the entry keeps the default palette.
    if (PaletteRecord* record = Palette_AddRef(&raw)) {
        Palette_Release(palette);
        palette = record;
    }
    paletteFlag = flags & 1;

    const bool textsInside = version < kSeparateTextsVersion;
    if (textsInside) {
        MemFree(&initialSource);
        initialSourceSize = 0;
        char* text = nullptr;
        if (ResultCode result = body.String(text)) return result;
        initialSource = text;
        initialSourceSize = static_cast<uint32_t>(strlen(text));
    }
    if (ResultCode result = body.U32(startSetting)) return result;
    if (textsInside) {
        if (ResultCode result = body.U16(inputSettings[0])) return result;
        if (ResultCode result = body.U16(gameInputFlag)) return result;
        if (ResultCode result = body.U32(inputSetting)) return result;
        MemFree(&gameInputText);
        gameInputSize = 0;
        if (ResultCode result = body.LongString(gameInputText, gameInputSize)) return result;
    }
    if (ResultCode result = body.U16(cpuShare)) return result;
    if (textsInside) {
        if (ResultCode result = body.Skip(2)) return result;
    }
    if (ResultCode result = body.U32(colourSetting)) return result;
    for (uint16_t& setting : displaySettings) {
        if (ResultCode result = body.U16(setting)) return result;
    }
    if (version >= kVersionBase) return body.U16(lastSettings[0]);
    lastSettings[0] = 1;
    return kResultOk;
}

ResultCode CProjectEntry::ReadGameInput(CChunkBody& body) {
    if (ResultCode result = body.U16(inputSettings[0])) return result;
    if (ResultCode result = body.U16(gameInputFlag)) return result;
    if (ResultCode result = body.U32(inputSetting)) return result;
    MemFree(&gameInputText);
    gameInputSize = 0;
    return body.Packed(gameInputText, gameInputSize);
}

ResultCode CProjectEntry::ReadBankChunk(CChunkBody& body) {
    char* bankFile = nullptr;
    if (ResultCode result = body.String(bankFile)) return result;
    CBank* bank = CreateBank(this, bankFile);
    MemFree(&bankFile);
    if (bank == nullptr) {
        ResultCode code = GetLastBankCode();
        return code != kResultOk ? code : kBankHeaderRefused;
    }
    if (banks.InsertAfter(bank, nullptr) == nullptr) {
        delete bank;
        return kResultOutOfMemory;
    }
    return kResultOk;
}
