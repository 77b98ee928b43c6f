#include "script/project/project_file.h"

#include <cstring>
#include <new>

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"
#include "foundation/streams/file_in_stream.h"
#include "graphics2d/palette/palette.h"
#include "platform/system/module_file.h"
#include "script/classes/class_table.h"
#include "script/language/name_hash.h"
#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/project/packed_block.h"
#include "script/project/project_entry.h"
#include "script/project/project_format.h"
#include "script/runtime/launch_info.h"

namespace {

using namespace project_format;

constexpr uint32_t kUnknownOffset = 0xFFFFFFFF;
constexpr uint32_t kModuleNameSize = 260;
// Stored modes of versions 1 to 4 are 0 and 1 for the modes 1 and 2.
constexpr uint32_t kStoredModeVersion = kVersionBase + 5;
constexpr uint32_t kReservedWordVersion = kVersionBase + 3;
constexpr uint32_t kClassListVersion = kVersionBase + 6;
constexpr uint32_t kCodeBlockMode = 4;

bool HasColon(const char* name) {
    return std::strchr(name, ':') != nullptr;
}

// A MemAlloc'd concatenation of the parts; null when memory runs out.
char* JoinTexts(std::initializer_list<const char*> parts) {
    size_t length = 0;
    for (const char* part : parts)
        length += std::strlen(part);
    char* text = nullptr;
    if (!MemAlloc(length + 1, &text)) return nullptr;
    char* end = text;
    for (const char* part : parts) {
        const size_t n = std::strlen(part);
        std::memcpy(end, part, n);
        end += n;
    }
    *end = '\0';
    return text;
}

template <class T> char* FullNameOf(const T* object) {
    const uint32_t length = object->GetFullName(nullptr, 0);
    char* text = nullptr;
    if (!MemAlloc(size_t(length) + 1, &text)) return nullptr;
    text[0] = '\0';
    if (object->GetFullName(text, length + 1) != length) text[0] = '\0';
    return text;
}

} // namespace

uint32_t& ProjectOffsetWord() {
    static uint32_t word = kUnknownOffset;
    return word;
}

uint32_t& ProjectTrailerMarker() {
    static uint32_t marker = 0;
    return marker;
}

struct CProjectFile::TableItem {
    void* object;
    char* fullName;
};

CProjectFile::CProjectFile(CInterpretor* interpreter) : interpreter_(interpreter) {}

CProjectFile::~CProjectFile() {
    currentEntry_ = nullptr;
    // Entries first: their banks unlist themselves from the tables.
    for (LListNode* node = entries_.GetHead(); node != nullptr; node = node->next)
        delete static_cast<CProjectEntry*>(node->item);
    entries_.RemoveAll();
    for (LList& bucket : entryTable_)
        bucket.RemoveAll();
    for (LList* table : {bankTable_, elementTable_}) {
        const uint32_t buckets = table == bankTable_ ? kBankBuckets : kElementBuckets;
        for (uint32_t i = 0; i < buckets; ++i) {
            for (LListNode* node = table[i].GetHead(); node != nullptr; node = node->next) {
                TableItem* item = static_cast<TableItem*>(node->item);
                MemFree(&item->fullName);
                MemFree(&item);
            }
            table[i].RemoveAll();
        }
    }
    if (ownHandle_ && file_ != INVALID_HANDLE_VALUE) FileClose(file_);
    if (deleteAtClose_ && path_ != nullptr) FileDelete(path_);
    FreeClassNames();
    Palette_Release(palette_);
    MemFree(&projectName_);
    MemFree(&path_);
}

void CProjectFile::FreeClassNames() {
    for (uint32_t i = 0; i < classNames_.GetCount(); ++i) {
        char* name = static_cast<char*>(classNames_.GetAt(i));
        MemFree(&name);
    }
    classNames_.RemoveAll();
}

ResultCode CProjectFile::Open(const char* projectName, const char* path,
                              const CLaunchInfo* launch) {
    Palette_Release(palette_);
    palette_ = Palette_GetDefault();
    if (projectName != nullptr) {
        MemFree(&projectName_);
        if ((projectName_ = MemCopyText(projectName)) == nullptr) return kResultOutOfMemory;
    }
    ResultCode result = kResultOk;
    if (path != nullptr) {
        result = Locate(path, 0, launch);
    } else {
        const uint32_t offset = ProjectOffsetWord();
        if (offset == 0) return kResultNoProjectData;
        char self[kModuleNameSize + 1] = {};
        const DWORD length = GetModuleFileNameA(0, self, kModuleNameSize);
        if (length == 0 || length >= kModuleNameSize) return kResultCannotOpen;
        result = Locate(self, offset, launch);
    }
    if (result != kResultOk) return result;
    // Start-up needs a current entry: data without one is no project.
    if (entries_.GetCount() == 0) return kResultNoProjectData;
    if ((mode_ == kCodeBlockMode) != (codeBlockPosition_ != 0)) return kResultProjectRefused;
    return kResultOk;
}

ResultCode CProjectFile::Locate(const char* path, uint32_t offset, const CLaunchInfo* launch) {
    char* copy = MemCopyText(path);
    if (copy == nullptr) return kResultOutOfMemory;
    MemFree(&path_);
    path_ = copy;
    if (ownHandle_ && file_ != INVALID_HANDLE_VALUE) FileClose(file_);
    file_ = FileOpen(path, 0);
    ownHandle_ = file_ != INVALID_HANDLE_VALUE;
    if (!ownHandle_) return kResultCannotOpen;

    if (offset == kUnknownOffset) {
        // The trailer scheme: the last 8 bytes hold the marker and the data's offset. A
        // trailer that is missing, foreign or points outside the file means no project
        // data, and the word then says so to every later open.
        ProjectOffsetWord() = 0;
        const uint32_t size = FileGetSize(file_);
        uint32_t marker = 0;
        uint32_t dataOffset = 0;
        if (size >= kTrailerSize) {
            CChunkBody trailer(file_, size - kTrailerSize, size);
            if (trailer.U32(marker) != kResultOk || trailer.U32(dataOffset) != kResultOk)
                marker = dataOffset = 0;
        }
        ProjectTrailerMarker() = marker;
        FileSeek(file_, 0);
        const bool inside =
            dataOffset != 0 && uint64_t(dataOffset) + kChunkHeaderSize + kTrailerSize <= size;
        if (marker != kTrailerMarker || !inside) {
            FileClose(file_);
            file_ = INVALID_HANDLE_VALUE;
            ownHandle_ = 0;
            return kResultNoProjectData;
        }
        ProjectOffsetWord() = dataOffset;
        offset = dataOffset;
    }
    return ReadChunks(file_, offset, launch);
}

ResultCode CProjectFile::ReadChunks(HANDLE file, uint32_t offset, const CLaunchInfo* launch) {
    file_ = file;
    const uint64_t size = FileGetSize(file);
    uint32_t handled = 0;
    uint64_t position = offset;
    for (;;) {
        CChunkBody header(file, static_cast<uint32_t>(position), size);
        uint16_t id = 0;
        uint16_t reserved = 0;
        uint32_t bodySize = 0;
        ResultCode result = header.U16(id);
        if (result == kResultOk) result = header.U16(reserved);
        if (result == kResultOk) result = header.U32(bodySize);
        // A body that runs past the end of the file is cut short data, not a seek beyond.
        if (result == kResultOk && bodySize > header.Left()) result = kResultEndOfData;
        if (result != kResultOk) return result;
        const uint64_t bodyStart = header.GetPosition();
        const uint64_t bodyEnd = bodyStart + bodySize;
        if (id == kEndChunk) break;

        if (bodySize != 0) {
            CChunkBody body(file, static_cast<uint32_t>(bodyStart), bodyEnd);
            switch (id) {
            case kVersionChunk:
                ++handled;
                if (!versionRead_ && !headerRead_) {
                    result = body.U32(version_);
                    versionRead_ = result == kResultOk;
                }
                break;
            case kHeaderChunk:
                ++handled;
                if (!headerRead_) {
                    result = ReadHeaderChunk(body);
                    headerRead_ = true;
                }
                break;
            case kCodeBlockChunk:
                ++handled;
                codeBlockPosition_ = static_cast<uint32_t>(bodyStart);
                break;
            case kApplicationEntryChunk:
                ++handled;
                result = ReadEntryChunk(body, 0);
                break;
            case kExtraEntryChunk:
                if (launch != nullptr && launch->hosted != 0 && launch->notifyOnEnd != 0) {
                    ++handled;
                    result = ReadEntryChunk(body, 1);
                }
                break;
            default:
                break;
            }
            if (result != kResultOk) return result;
        }
        position = bodyEnd;
    }
    if (handled == 0) return kResultProjectRefused;
    SelectEntry(nullptr);
    TakeEntryPalette();
    return kResultOk;
}

void CProjectFile::TakeEntryPalette() {
    if (currentEntry_ == nullptr) return;
    Palette_AddUse(currentEntry_->palette);
    Palette_Release(palette_);
    palette_ = currentEntry_->palette;
    paletteFlag_ = currentEntry_->paletteFlag;
}

ResultCode CProjectFile::ReadHeaderChunk(CChunkBody& body) {
    uint32_t unused = 0;
    if (ResultCode result = body.U32(unused)) return result;
    if (version_ > kVersionBase) {
        uint32_t stored = 0;
        if (ResultCode result = body.U32(stored)) return result;
        if (version_ >= kStoredModeVersion) {
            mode_ = stored;
        } else {
            if (stored > 1) return kResultProjectRefused;
            mode_ = stored + 1;
        }
    } else {
        mode_ = 1;
    }
    if (version_ >= kReservedWordVersion) {
        if (ResultCode result = body.U32(reserved_)) return result;
    }
    FreeClassNames();
    if (version_ < kClassListVersion) return UseBuiltInClassNames();

    char* block = nullptr;
    uint32_t size = 0;
    if (ResultCode result = body.Packed(block, size)) return result;
    // The list is parsed inside its block only: a count that the block cannot hold, or a
    // name without its terminator, refuses the list.
    ResultCode result = kResultOk;
    uint32_t count = 0;
    if (size < 4) {
        result = kResultEndOfData;
    } else {
        const auto* bytes = reinterpret_cast<const uint8_t*>(block);
        count = bytes[0] | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                uint32_t(bytes[3]) << 24;
        if (count > size - 4) result = kResultEndOfData;
    }
    const char* cursor = block + 4;
    const char* end = block + size;
    for (uint32_t i = 0; result == kResultOk && i < count; ++i) {
        const void* terminator = std::memchr(cursor, '\0', size_t(end - cursor));
        if (terminator == nullptr) {
            result = kResultEndOfData;
            break;
        }
        char* name = MemCopyText(cursor);
        if (name == nullptr || !classNames_.SetAtGrow(int32_t(classNames_.GetCount()), name)) {
            MemFree(&name);
            result = kResultOutOfMemory;
            break;
        }
        cursor = static_cast<const char*>(terminator) + 1;
    }
    MemFree(&block);
    if (result != kResultOk) FreeClassNames();
    return result;
}

ResultCode CProjectFile::UseBuiltInClassNames() {
    for (uint32_t id = 1; id <= kLastClassId; ++id) {
        char* name = MemCopyText(GetBuiltinClassName(id));
        if (name == nullptr || !classNames_.SetAtGrow(int32_t(classNames_.GetCount()), name)) {
            MemFree(&name);
            FreeClassNames();
            return kResultOutOfMemory;
        }
    }
    return kResultOk;
}

ResultCode CProjectFile::ReadEntryChunk(CChunkBody& body, uint32_t extra) {
    char* fileName = nullptr;
    if (ResultCode result = body.String(fileName)) return result;
    CProjectEntry* entry = new (std::nothrow) CProjectEntry;
    if (entry == nullptr) {
        MemFree(&fileName);
        return kResultOutOfMemory;
    }
    entry->extra = extra;
    ResultCode result = entry->Read(this, fileName, version_, body.GetEnd());
    MemFree(&fileName);
    if (result == kResultOk) {
        LList& bucket = entryTable_[ProjectNameBucket(entry->name, kEntryBuckets)];
        LListNode* node = entries_.InsertAfter(entry, nullptr);
        if (node == nullptr || bucket.InsertAfter(entry, nullptr) == nullptr) {
            if (node != nullptr) entries_.RemoveNode(node, 1);
            result = kResultOutOfMemory;
        }
    }
    if (result != kResultOk) delete entry;
    return result;
}

// ---- Entries --------------------------------------------------------------------------

CProjectEntry* CProjectFile::SelectEntry(CProjectEntry* entry) {
    CProjectEntry* previous = currentEntry_;
    if (entry != nullptr) {
        currentEntry_ = entry;
    } else {
        LListNode* first = entries_.GetHead();
        currentEntry_ = first != nullptr ? static_cast<CProjectEntry*>(first->item) : nullptr;
    }
    return previous;
}

CProjectEntry* CProjectFile::FindEntryByName(const char* name) const {
    if (name == nullptr) return nullptr;
    const LList& bucket = entryTable_[ProjectNameBucket(name, kEntryBuckets)];
    for (LListNode* node = bucket.GetHead(); node != nullptr; node = node->next) {
        CProjectEntry* entry = static_cast<CProjectEntry*>(node->item);
        if (NamesEqual(entry->name, name)) return entry;
    }
    return nullptr;
}

int CProjectFile::GetNameList(PtrArray& names) const {
    for (LListNode* node = entries_.GetHead(); node != nullptr; node = node->next) {
        const CProjectEntry* entry = static_cast<CProjectEntry*>(node->item);
        char* name = MemCopyText(entry->name != nullptr ? entry->name : "");
        if (name == nullptr || !names.SetAtGrow(int32_t(names.GetCount()), name)) {
            MemFree(&name);
            return 0;
        }
    }
    return 1;
}

// ---- Banks and elements -----------------------------------------------------------------

CBank* CProjectFile::FindBank(uint32_t type) const {
    return FindBankInEntry(currentEntry_, type);
}

CBank* CProjectFile::FindBankInEntry(const CProjectEntry* entry, uint32_t type) const {
    return entry != nullptr ? entry->FindBank(type) : nullptr;
}

CBank* CProjectFile::FindBankByName(const char* name) const {
    if (name == nullptr) return nullptr;
    if (HasColon(name))
        return static_cast<CBank*>(FindInTable(bankTable_, kBankBuckets, name, 0, false));
    if (currentEntry_ == nullptr) return nullptr;
    char* full = JoinTexts({currentEntry_->name, "://", name});
    if (full == nullptr) return nullptr;
    CBank* bank = static_cast<CBank*>(FindInTable(bankTable_, kBankBuckets, full, 0, false));
    MemFree(&full);
    return bank;
}

CElement* CProjectFile::FindElementByFullName(const char* fullName, int skipSources) const {
    return static_cast<CElement*>(
        FindInTable(elementTable_, kElementBuckets, fullName, skipSources, true));
}

CElement* CProjectFile::ResolveElement(const char* name, uint32_t bankType, int skipSources) const {
    if (name == nullptr) return nullptr;
    if (HasColon(name)) return FindElementByFullName(name, skipSources);
    CBank* bank = FindBank(bankType);
    if (bank == nullptr || (skipSources && bank->GetType() == kSourceBank)) return nullptr;
    char* full = JoinTexts({currentEntry_->name, "://", bank->GetName(), "/", name});
    if (full == nullptr) return nullptr;
    CElement* element = FindElementByFullName(full, skipSources);
    MemFree(&full);
    return element;
}

CElement* CProjectFile::FindElementByIndex(int32_t index, uint32_t bankType,
                                           int skipSources) const {
    CBank* bank = FindBank(bankType);
    if (bank == nullptr || (skipSources && bank->GetType() == kSourceBank)) return nullptr;
    return bank->GetElement(index);
}

CInStream* CProjectFile::FindElementByName(const char* name, int skipSources, int mode) const {
    if (name == nullptr) return nullptr;
    CElement* element = nullptr;
    if (HasColon(name)) {
        element = FindElementByFullName(name, skipSources);
    } else if (currentEntry_ != nullptr) {
        // A bare name: the element of that name in the first bank of the entry that has
        // one.
        for (LListNode* node = currentEntry_->banks.GetHead();
             node != nullptr && element == nullptr; node = node->next) {
            CBank* bank = static_cast<CBank*>(node->item);
            if (skipSources && bank->GetType() == kSourceBank) continue;
            char* full = JoinTexts({currentEntry_->name, "://", bank->GetName(), "/", name});
            if (full == nullptr) return nullptr;
            element = FindElementByFullName(full, skipSources);
            MemFree(&full);
        }
    }
    if (element != nullptr) return element->OpenStream(mode);
    CFileInStream* stream = new (std::nothrow) CFileInStream;
    if (stream == nullptr) return nullptr;
    if (stream->OpenFile(name) != kResultOk) {
        delete stream;
        return nullptr;
    }
    return stream;
}

uint32_t CProjectFile::MakeElementPath(char* buffer, uint32_t size, const char* name) const {
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
    if (name == nullptr) return 0;
    size_t folder = 0;
    if (!HasColon(name) && path_ != nullptr) {
        const char* last = std::strrchr(path_, '\\');
        const char* slash = std::strrchr(path_, '/');
        if (slash != nullptr && (last == nullptr || slash > last)) last = slash;
        if (last != nullptr) folder = size_t(last - path_) + 1;
    }
    size_t written = 0;
    auto put = [&](const char* text, size_t n) {
        const size_t room = size - 1 - written;
        if (n > room) n = room;
        std::memcpy(buffer + written, text, n);
        written += n;
    };
    put(path_ != nullptr ? path_ : "", folder);
    put(name, std::strlen(name));
    buffer[written] = '\0';
    return static_cast<uint32_t>(written);
}

// ---- Name tables --------------------------------------------------------------------------

int CProjectFile::AddToTable(LList* table, uint32_t buckets, void* object, char* fullName) {
    if (fullName == nullptr) return 0;
    TableItem* item = nullptr;
    if (!MemAlloc(sizeof(TableItem), &item)) {
        MemFree(&fullName);
        return 0;
    }
    item->object = object;
    item->fullName = fullName;
    if (table[ProjectNameBucket(fullName, buckets)].InsertAfter(item, nullptr) == nullptr) {
        MemFree(&item->fullName);
        MemFree(&item);
        return 0;
    }
    return 1;
}

void CProjectFile::RemoveFromTable(LList* table, uint32_t buckets, const void* object,
                                   const char* fullName) {
    // The bucket of the current name first; an object listed under an older name is
    // found by looking everywhere.
    const uint32_t hint = fullName != nullptr ? ProjectNameBucket(fullName, buckets) : 0;
    for (uint32_t step = 0; step <= buckets; ++step) {
        const uint32_t i = step == 0 ? hint : step - 1;
        if (step != 0 && i == hint) continue;
        for (LListNode* node = table[i].GetHead(); node != nullptr; node = node->next) {
            TableItem* item = static_cast<TableItem*>(node->item);
            if (item->object != object) continue;
            table[i].RemoveNode(node, 1);
            MemFree(&item->fullName);
            MemFree(&item);
            return;
        }
    }
}

void* CProjectFile::FindInTable(const LList* table, uint32_t buckets, const char* fullName,
                                int skipSources, bool elements) {
    const LList& bucket = table[ProjectNameBucket(fullName, buckets)];
    for (LListNode* node = bucket.GetHead(); node != nullptr; node = node->next) {
        const TableItem* item = static_cast<const TableItem*>(node->item);
        if (!NamesEqual(item->fullName, fullName)) continue;
        if (elements && skipSources) {
            const CElement* element = static_cast<const CElement*>(item->object);
            if (element->bank != nullptr && element->bank->GetType() == kSourceBank) continue;
        }
        return item->object;
    }
    return nullptr;
}

int CProjectFile::AddBankToTable(CBank* bank) {
    if (bank == nullptr) return 0;
    return AddToTable(bankTable_, kBankBuckets, bank, FullNameOf(bank));
}

void CProjectFile::RemoveBankFromTable(CBank* bank) {
    char* name = bank != nullptr ? FullNameOf(bank) : nullptr;
    RemoveFromTable(bankTable_, kBankBuckets, bank, name);
    MemFree(&name);
}

int CProjectFile::AddElementToTable(CElement* element) {
    if (element == nullptr) return 0;
    return AddToTable(elementTable_, kElementBuckets, element, FullNameOf(element));
}

void CProjectFile::RemoveElementFromTable(CElement* element) {
    char* name = element != nullptr ? FullNameOf(element) : nullptr;
    RemoveFromTable(elementTable_, kElementBuckets, element, name);
    MemFree(&name);
}

void CProjectFile::RelistBanks(CProjectEntry* entry) {
    for (LListNode* node = entry->banks.GetHead(); node != nullptr; node = node->next) {
        CBank* bank = static_cast<CBank*>(node->item);
        RemoveBankFromTable(bank);
        AddBankToTable(bank);
        for (uint32_t i = 0; i < bank->GetElementCount(); ++i) {
            CElement* element = bank->GetElement(int32_t(i));
            if (element == nullptr) continue;
            RemoveElementFromTable(element);
            AddElementToTable(element);
        }
    }
}
