#include "script/language/token_infos.h"

#include <cstring>
#include <new>
#include <utility>

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"
#include "script/language/name_table.h"

namespace {

constexpr uint32_t kFirstOutputCapacity = 4096;
// Offsets in a stream and in a unit's text are 32-bit.
constexpr uint32_t kMaxStreamCapacity = 0xFFFF0000;
constexpr size_t kMaxUnitLength = 0xFFFFFFFE;
constexpr uint32_t kUnitGrowth = 16;
constexpr uint32_t kBlockGrowth = 64;

// Line breaks are CR or LF; the CR or LF right after one belongs to the same break. A
// zero byte before the offset, or no offset, gives line 0 and column 0.
void LineAndColumn(const char* text, bool hasOffset, uint32_t offset, int32_t* line,
                   int32_t* column) {
    *line = 0;
    *column = 0;
    if (text == nullptr || !hasOffset) return;
    int32_t lines = 0;
    int32_t columns = 0;
    for (uint32_t i = 0; i < offset;) {
        char c = text[i++];
        if (c == '\0') return;
        if (c == '\r' || c == '\n') {
            ++lines;
            columns = 0;
            // CR LF and LF CR are one break; a second CR or LF is an empty line, which an
            // editor counts.
            if ((text[i] == '\r' || text[i] == '\n') && text[i] != c) ++i;
        } else {
            ++columns;
        }
    }
    *line = lines;
    *column = columns;
}

// Appends up to `count` bytes of `text` to the buffer, keeping room for the terminator.
void AppendCut(char* buffer, size_t size, size_t* length, const char* text, size_t count) {
    size_t room = size - 1 - *length;
    if (count > room) count = room;
    std::memcpy(buffer + *length, text, count);
    *length += count;
    buffer[*length] = '\0';
}

} // namespace

CTokenInfos::~CTokenInfos() {
    Reset();
}

void CTokenInfos::ThrowOutOfMemory() {
    throw new CIError(15);
}

void CTokenInfos::Reset() {
    MemFree(&stream_);
    streamLength_ = 0;
    streamCapacity_ = 0;
    FreeWorkBuffers();
    delete nameTable_;
    nameTable_ = nullptr;
    FreeUnits();
    SetPendingError(nullptr);
    FreeBlocks();
    currentToken = nullptr;
}

void CTokenInfos::FreeWorkBuffers() {
    MemFree(&linkInput_);
    linkInputLength_ = 0;
    MemFree(&output_);
    outputLength_ = 0;
    outputCapacity_ = 0;
}

void CTokenInfos::FreeUnits() {
    for (uint32_t i = 0; i < unitCount_; ++i) {
        if ((units_[i].flags & kUnitOwnsText) != 0) MemFree(&units_[i].text);
        MemFree(&units_[i].name);
    }
    MemFree(&units_);
    unitCount_ = 0;
    unitCapacity_ = 0;
}

void CTokenInfos::FreeBlocks() {
    for (uint32_t i = 0; i < blockCount_; ++i)
        delete blocks_[i];
    MemFree(&blocks_);
    blockCount_ = 0;
    blockCapacity_ = 0;
}

void CTokenInfos::TakeOver(CTokenInfos& other) {
    if (&other == this) return;
    Reset();
    stream_ = std::exchange(other.stream_, nullptr);
    streamLength_ = std::exchange(other.streamLength_, 0);
    streamCapacity_ = std::exchange(other.streamCapacity_, 0);
    blocks_ = std::exchange(other.blocks_, nullptr);
    blockCount_ = std::exchange(other.blockCount_, 0);
    blockCapacity_ = std::exchange(other.blockCapacity_, 0);
    pendingError_ = std::exchange(other.pendingError_, nullptr);
    nameTable_ = std::exchange(other.nameTable_, nullptr);
    linkInput_ = std::exchange(other.linkInput_, nullptr);
    linkInputLength_ = std::exchange(other.linkInputLength_, 0);
    output_ = std::exchange(other.output_, nullptr);
    outputLength_ = std::exchange(other.outputLength_, 0);
    outputCapacity_ = std::exchange(other.outputCapacity_, 0);
    currentToken = std::exchange(other.currentToken, nullptr);
    TakeUnits(other);
}

void CTokenInfos::TakeUnits(CTokenInfos& other) {
    FreeUnits();
    units_ = std::exchange(other.units_, nullptr);
    unitCount_ = std::exchange(other.unitCount_, 0);
    unitCapacity_ = std::exchange(other.unitCapacity_, 0);
}

void CTokenInfos::SetPendingError(CIError* error) {
    if (pendingError_ != error) CWXException::Delete(pendingError_);
    pendingError_ = error;
}

uint32_t CTokenInfos::AddUnit(const char* text, uint32_t flags, const char* name,
                              uint32_t argument) {
    if (text == nullptr) {
        text = "";
        flags &= ~kUnitOwnsText;
    }
    auto release = [&] {
        if ((flags & kUnitOwnsText) != 0) MemFree(&text);
    };
    char* nameCopy = MemCopyText(name);
    if ((name != nullptr && nameCopy == nullptr) || std::strlen(text) > kMaxUnitLength) {
        release();
        MemFree(&nameCopy);
        ThrowOutOfMemory();
    }
    if (unitCount_ == unitCapacity_) {
        uint32_t capacity = unitCapacity_ + kUnitGrowth;
        if (capacity < unitCapacity_ ||
            !MemRealloc(size_t(capacity) * sizeof(SourceUnit), &units_)) {
            release();
            MemFree(&nameCopy);
            ThrowOutOfMemory();
        }
        unitCapacity_ = capacity;
    }
    uint32_t index = unitCount_++;
    units_[index] = {nameCopy, text, flags, argument};
    return index;
}

uint32_t CTokenInfos::AddSourceText(const char* text, uint32_t length, uint32_t flags,
                                    const char* name, uint32_t argument) {
    if ((flags & kUnitOwnsText) == 0) return AddUnit(text, flags, name, argument);
    char* copy = nullptr;
    if (!MemAlloc(size_t(length) + 1, &copy)) ThrowOutOfMemory();
    if (length != 0) std::memcpy(copy, text, length);
    copy[length] = '\0';
    return AddUnit(copy, flags, name, argument);
}

int CTokenInfos::LoadUnitFromFile(const char* path) {
    mode = kModeLoading;
    HANDLE file = FileOpen(path, 0);
    if (file == INVALID_HANDLE_VALUE) Fail(17);
    uint32_t size = FileGetSize(file);
    char* text = nullptr;
    if (size == 0xFFFFFFFF || !MemAlloc(size_t(size) + 1, &text)) {
        FileClose(file);
        Fail(size == 0xFFFFFFFF ? 17 : 15);
    }
    ResultCode result = size != 0 ? FileRead(file, text, size) : kResultOk;
    FileClose(file);
    if (result != kResultOk) {
        MemFree(&text);
        Fail(17);
    }
    text[size] = '\0';
    AddUnit(text, kUnitOwnsText, nullptr, 0);
    return 1;
}

const char* CTokenInfos::GetUnitName(uint32_t index) const {
    return index < unitCount_ ? units_[index].name : nullptr;
}

const char* CTokenInfos::GetUnitText(uint32_t index) const {
    return index < unitCount_ ? units_[index].text : nullptr;
}

uint32_t CTokenInfos::GetUnitFlags(uint32_t index) const {
    return index < unitCount_ ? units_[index].flags : 0;
}

uint32_t CTokenInfos::GetUnitArgument(uint32_t index) const {
    return index < unitCount_ ? units_[index].argument : 0;
}

void CTokenInfos::GrowOutput(uint32_t size) {
    uint64_t needed = uint64_t(outputLength_) + size;
    uint64_t capacity = outputCapacity_ < kFirstOutputCapacity ? kFirstOutputCapacity
                                                               : uint64_t(outputCapacity_) * 2;
    if (capacity < needed) capacity = needed;
    if (capacity > kMaxStreamCapacity) capacity = kMaxStreamCapacity;
    if (capacity < needed || !MemRealloc(size_t(capacity), &output_)) ThrowOutOfMemory();
    outputCapacity_ = uint32_t(capacity);
}

uint32_t CTokenInfos::AddBlock(uint32_t kind) {
    if (blockCount_ == blockCapacity_) {
        uint32_t capacity = blockCapacity_ + kBlockGrowth;
        if (capacity < blockCapacity_ ||
            !MemRealloc(size_t(capacity) * sizeof(BlockRecord*), &blocks_))
            ThrowOutOfMemory();
        blockCapacity_ = capacity;
    }
    auto* block = new (std::nothrow) BlockRecord{};
    if (block == nullptr) ThrowOutOfMemory();
    block->kind = kind;
    blocks_[blockCount_] = block;
    return blockCount_++;
}

uint8_t* CTokenInfos::FindToken(uint16_t code) const {
    if (stream_ == nullptr || currentToken == nullptr) return nullptr;
    const uint8_t* end = stream_ + streamLength_;
    for (uint8_t* p = currentToken; p >= stream_ && p < end;) {
        auto* token = reinterpret_cast<const TokenHeader*>(p);
        if (token->code == code) return p;
        p += token->size;
    }
    return nullptr;
}

bool CTokenInfos::FindPosition(const uint8_t* start, uint32_t length, uint32_t* unit,
                               uint32_t* offset) const {
    if (start == nullptr || currentToken == nullptr) return false;
    // The current token's own position needs no walk.
    if (currentToken >= start && currentToken < start + length) {
        const TokenPosition* own =
            GetTokenPosition(reinterpret_cast<const TokenHeader*>(currentToken));
        if (own != nullptr) {
            *unit = own->unit;
            *offset = own->offset;
            return true;
        }
    }
    const TokenPosition* last = nullptr;
    const uint8_t* end = start + length;
    for (const uint8_t* p = start; p < end && p <= currentToken;) {
        auto* token = reinterpret_cast<const TokenHeader*>(p);
        if (token->size < sizeof(TokenHeader)) break;
        if (const TokenPosition* position = GetTokenPosition(token)) last = position;
        p += token->size;
    }
    if (last == nullptr) return false;
    *unit = last->unit;
    *offset = last->offset;
    return true;
}

void CTokenInfos::Fail(int32_t code, uint32_t subCode) {
    if (code == 0) throw new CIError(0, subCode, nullptr, 0, 0);
    CIError* error = new CIError(code, subCode, nullptr, -1, -1);
    LocateAtCurrentPosition(*error);
    if (mode == kModeLinking) {
        MemFree(&output_);
        outputLength_ = 0;
        outputCapacity_ = 0;
    }
    throw error;
}

void CTokenInfos::LocateAtCurrentPosition(CIError& error) const {
    if (mode == kModeLoading) return;
    uint32_t unit = 0;
    uint32_t offset = 0;
    bool hasOffset = false;
    switch (mode) {
    case kModeTokenizing:
        unit = unitIndex_;
        hasOffset = sourceText_ != nullptr && sourceRead_ != nullptr;
        if (hasOffset) offset = uint32_t(sourceRead_ - sourceText_);
        break;
    case kModeLinking:
        hasOffset = FindPosition(linkInput_, linkInputLength_, &unit, &offset);
        break;
    case kModeRunning:
        hasOffset = FindPosition(stream_, streamLength_, &unit, &offset);
        break;
    default:
        unit = unitIndex_;
        hasOffset = true;
        break;
    }
    int32_t line;
    int32_t column;
    LineAndColumn(GetUnitText(unit), hasOffset, offset, &line, &column);
    error.Set(error.code, error.subCode, GetUnitName(unit), column, line);
}

int CTokenInfos::GetErrorText(char* buffer, size_t size) const {
    if (pendingError_ == nullptr) return CIError::FormatErrorMessage(buffer, size, 0, -1);
    return pendingError_->Format(buffer, size, 1);
}

int CTokenInfos::GetErrorCaption(char* buffer, size_t size) const {
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
    if (pendingError_ == nullptr) return 0;
    const char* name = pendingError_->GetUnitName();
    size_t length = 0;
    const char* colon = std::strchr(name, ':');
    if (colon != nullptr) AppendCut(buffer, size, &length, name, size_t(colon - name));
    if (const char* slash = std::strrchr(name, '/')) {
        const char* title = slash + 1;
        const char* dot = std::strchr(title, '.');
        if (colon != nullptr) AppendCut(buffer, size, &length, " - ", 3);
        AppendCut(buffer, size, &length, title,
                  dot != nullptr ? size_t(dot - title) : std::strlen(title));
    }
    return int(length);
}
