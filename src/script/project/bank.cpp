#include "script/project/bank.h"

#include <cstring>
#include <new>

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"
#include "script/language/name_hash.h"
#include "script/project/element.h"
#include "script/project/image_bank.h"
#include "script/project/project_entry.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"

namespace {

ResultCode g_lastBankCode = kResultOk;

ResultCode ReadU32(HANDLE file, uint32_t* value) {
    uint8_t bytes[4];
    ResultCode result = FileRead(file, bytes, sizeof bytes);
    if (result == kResultOk)
        *value = bytes[0] | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                 uint32_t(bytes[3]) << 24;
    return result;
}

// The bank name: u16 length and that many bytes, refused past the longest name a bank may
// have before anything is allocated for it.
ResultCode ReadBankName(HANDLE file, char** name) {
    *name = nullptr;
    uint8_t lengthBytes[2];
    if (ResultCode result = FileRead(file, lengthBytes, sizeof lengthBytes)) return result;
    const uint32_t length = lengthBytes[0] | uint32_t(lengthBytes[1]) << 8;
    if (length > project_format::kMaxBankNameLength) return kBankHeaderRefused;
    char* text = nullptr;
    if (!MemCalloc(length + 1, &text)) return kResultOutOfMemory;
    if (ResultCode result = FileRead(file, text, length)) {
        MemFree(&text);
        return result;
    }
    *name = text;
    return kResultOk;
}

CBank* NewBankOfType(uint32_t type) {
    switch (type) {
    case project_format::kImageBank:
        return new (std::nothrow) CImageBank;
    case project_format::kAnimationBank:
        return new (std::nothrow) CAnimBank;
    case project_format::kStringBank:
        return new (std::nothrow) CStringBank;
    default:
        return new (std::nothrow) CBinaryBank;
    }
}

ResultCode Fail(ResultCode code) {
    g_lastBankCode = code;
    return code;
}

} // namespace

ResultCode GetLastBankCode() {
    return g_lastBankCode;
}

void SetLastBankCode(ResultCode code) {
    g_lastBankCode = code;
}

CBank::~CBank() {
    if (listed_) {
        if (CProjectFile* project = GetProjectFile()) project->RemoveBankFromTable(this);
    }
    DeleteElements();
    if (ownsHandle_ && file_ != INVALID_HANDLE_VALUE) FileClose(file_);
    MemFree(&dataOffsets_);
    MemFree(&name_);
    MemFree(&path_);
}

CProjectFile* CBank::GetProjectFile() const {
    return entry_ != nullptr ? entry_->reader : nullptr;
}

CElement* CBank::GetElement(int32_t index) const {
    if (index < 0) return nullptr;
    return static_cast<CElement*>(elements_.GetAt(uint32_t(index)));
}

uint32_t CBank::GetDataOffset(int32_t index) const {
    if (index < 0 || uint32_t(index) >= count_ || dataOffsets_ == nullptr) return 0;
    return dataOffsets_[index];
}

void CBank::DeleteElements() {
    CProjectFile* project = GetProjectFile();
    for (uint32_t i = 0; i < elements_.GetCount(); ++i) {
        auto* element = static_cast<CElement*>(elements_.GetAt(i));
        if (element == nullptr) continue;
        if (project != nullptr) project->RemoveElementFromTable(element);
        delete element;
    }
    elements_.RemoveAll();
}

ResultCode CBank::ReadDirectory(CProjectEntry* entry, uint32_t type, const char* name,
                                uint32_t version, const char* path, HANDLE file, int own,
                                uint32_t start) {
    entry_ = entry;
    type_ = type;
    file_ = file;
    ownsHandle_ = own;
    version_ = version;
    MemFree(&name_);
    MemFree(&path_);
    name_ = MemCopyText(name != nullptr ? name : "");
    path_ = MemCopyText(path != nullptr ? path : "");
    if (name_ == nullptr || path_ == nullptr) return Fail(kResultOutOfMemory);
    g_lastBankCode = kResultOk;

    if (!ReadTypeHeader(file)) return Fail(kBankHeaderRefused);

    uint32_t count = 0;
    if (ResultCode result = ReadU32(file, &count)) return Fail(result);
    // Checked against what the file still holds before anything is allocated for it.
    const uint64_t fileSize = FileGetSize(file);
    const uint64_t position = FileTell(file);
    if (uint64_t(count) * 4 > (fileSize > position ? fileSize - position : 0))
        return Fail(kResultEndOfData);

    DeleteElements();
    MemFree(&dataOffsets_);
    count_ = 0;
    if (count > 0) {
        if (!MemCalloc(size_t(count) * sizeof(uint32_t), &dataOffsets_) ||
            !elements_.SetSize(count))
            return Fail(kResultOutOfMemory);
        if (ResultCode result = FileRead(file, dataOffsets_, count * 4)) return Fail(result);
    }
    count_ = count;

    CProjectFile* project = GetProjectFile();
    for (uint32_t i = 0; i < count; ++i) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&dataOffsets_[i]);
        const uint32_t offset = bytes[0] | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                                uint32_t(bytes[3]) << 24;
        dataOffsets_[i] = 0;
        if (offset == 0) continue;
        // An element must start inside the file: a header out there cannot be read.
        const uint64_t at = uint64_t(start) + offset;
        if (at >= fileSize) return Fail(kBankElementHeaderUnreadable);
        FileSeek(file, uint32_t(at));
        CElement* element = CreateElement();
        if (element == nullptr) return Fail(kResultOutOfMemory);
        element->bank = this;
        element->index = int32_t(i);
        if (!element->ReadHeader(file)) {
            delete element;
            return Fail(kBankElementHeaderUnreadable);
        }
        dataOffsets_[i] = FileTell(file);
        elements_.SetAt(i, element);
        if (project != nullptr && !project->AddElementToTable(element))
            return Fail(kResultOutOfMemory);
    }
    if (project != nullptr && !listed_) {
        if (!project->AddBankToTable(this)) return Fail(kResultOutOfMemory);
        listed_ = 1;
    }
    return kResultOk;
}

int CBank::LoadElementData(int32_t index, int flag) {
    g_lastBankCode = kResultOk;
    CElement* element = GetElement(index);
    if (element == nullptr) return 0;
    if (element->HasData()) return 1;
    FileSeek(file_, dataOffsets_[index]);
    return element->LoadData(file_, flag) ? 1 : 0;
}

void CBank::ReleaseElementData(int32_t index) {
    CElement* element = GetElement(index);
    if (element != nullptr && element->useCount == 0) element->FreeData();
}

void CBank::ReleaseAll() {
    for (uint32_t i = 0; i < count_; ++i)
        ReleaseElementData(int32_t(i));
}

int CBank::LockElementData(int32_t index) {
    CElement* element = GetElement(index);
    if (element == nullptr || !element->HasData()) return 0;
    ++element->useCount;
    return 1;
}

void CBank::UnlockElementData(int32_t index) {
    CElement* element = GetElement(index);
    if (element != nullptr && element->HasData() && element->useCount > 0) --element->useCount;
}

int CBank::ReadTypeHeader(HANDLE) {
    return 1;
}

int32_t CBank::FindElementIndex(const char* name) const {
    if (name == nullptr) return -1;
    for (uint32_t i = 0; i < count_; ++i) {
        CElement* element = GetElement(int32_t(i));
        if (element != nullptr && NamesEqual(element->GetNameText(), name)) return int32_t(i);
    }
    return -1;
}

uint32_t CBank::GetFullName(char* buffer, uint32_t size) const {
    const char* entryName = entry_ != nullptr && entry_->name != nullptr ? entry_->name : "";
    const size_t entryLength = std::strlen(entryName);
    const size_t nameLength = std::strlen(GetName());
    const size_t length = entryLength + 3 + nameLength;
    if (buffer != nullptr && size > 0) {
        if (length < size) {
            std::memcpy(buffer, entryName, entryLength);
            std::memcpy(buffer + entryLength, "://", 3);
            std::memcpy(buffer + entryLength + 3, GetName(), nameLength + 1);
        } else {
            buffer[0] = '\0';
        }
    }
    return uint32_t(length);
}

CElement* CBinaryBank::CreateElement() {
    return new (std::nothrow) CBinaryElement;
}

CElement* CStringBank::CreateElement() {
    return new (std::nothrow) CStringElement;
}

CElement* CAnimBank::CreateElement() {
    return new (std::nothrow) CAnimElement;
}

CBank* CreateBank(CProjectEntry* entry, const char* fileName) {
    HANDLE file = INVALID_HANDLE_VALUE;
    int own = 0;
    const char* path = nullptr;
    if (fileName == nullptr || fileName[0] == '\0') {
        if (entry == nullptr) {
            Fail(kResultCannotOpen);
            return nullptr;
        }
        file = entry->file;
        path = entry->filePath;
        if (path == nullptr && entry->reader != nullptr) path = entry->reader->GetPath();
    } else {
        file = FileOpen(fileName, 0);
        if (file == INVALID_HANDLE_VALUE) {
            Fail(kResultCannotOpen);
            return nullptr;
        }
        own = 1;
        path = fileName;
    }

    const uint32_t start = FileTell(file);
    uint32_t type = 0;
    char* name = nullptr;
    uint32_t version = project_format::kBankVersion1;
    ResultCode result = ReadU32(file, &type);
    if (result == kResultOk) result = ReadBankName(file, &name);
    if (result == kResultOk &&
        (entry == nullptr || entry->version >= project_format::kVersionBase + 2))
        result = ReadU32(file, &version);

    CBank* bank = nullptr;
    if (result == kResultOk) {
        bank = NewBankOfType(type);
        if (bank == nullptr) result = kResultOutOfMemory;
    }
    if (result != kResultOk) {
        MemFree(&name);
        if (own) FileClose(file);
        Fail(result);
        return nullptr;
    }
    if (entry != nullptr && bank->IsImageBank())
        static_cast<CImageBank*>(bank)->SetPalette(entry->palette, entry->paletteFlag);
    result = bank->ReadDirectory(entry, type, name, version, path, file, own, start);
    MemFree(&name);
    if (result != kResultOk) {
        // The bank owns the handle from here: deleting it closes an owned file.
        delete bank;
        Fail(result);
        return nullptr;
    }
    return bank;
}
