// A compiled program: the source units, the final token stream (record layout in
// token_record.h), its block records and name table, and the pending error of a compile
// or a run. The interpreter derives from it and walks the stream; the same object locates
// every syntax and run-time error as a unit, a line and a column.
#pragma once

#include <cstddef>
#include <cstdint>

#include "script/interpreter/ierror.h"
#include "script/language/char_class.h"
#include "script/language/token_record.h"

class CNameTable;

// Unit flags (kUnitControlEnds, bit 0, is in char_class.h).
inline constexpr uint32_t kUnitOwnsText = 2;   // the text is a MemAlloc block freed with the unit
inline constexpr uint32_t kUnitInitSource = 4; // the project's initial source text
inline constexpr uint32_t kUnitFramed = 8;     // framed by a unit marker and a unit end

// What the object is doing; it decides how an error is located.
enum TokenInfosMode : uint32_t {
    kModeIdle = 0,
    kModeLoading = 1,    // reading a unit from a file: errors have no position
    kModeTokenizing = 2, // at the tokenizer's reading position
    kModeLinking = 3,    // at the link pass's input record
    kModeRunning = 4,    // at the interpreter's current token
};

class CTokenInfos {
public:
    CTokenInfos() = default;
    virtual ~CTokenInfos();
    CTokenInfos(const CTokenInfos&) = delete;
    CTokenInfos& operator=(const CTokenInfos&) = delete;

    // Frees what this object holds, then moves the other's stream, work buffers, units,
    // block table, name table, pending error and current token here, leaving it empty.
    void TakeOver(CTokenInfos& other);
    // Frees everything: stream, buffers, name table, units (texts they own included),
    // pending error and block records.
    void Reset();

    // Appends a source unit (a zero-terminated text) and returns its index. The name is
    // copied; a null text reads as an empty one. With
    // kUnitOwnsText the text passes to this object even when the call fails. Throws
    // CIError 15 when memory runs out or the text is 4 GiB or longer.
    uint32_t AddUnit(const char* text, uint32_t flags, const char* name, uint32_t argument);
    // As AddUnit; with kUnitOwnsText the `length` bytes are first copied into a new
    // zero-terminated block, otherwise `text` itself must be zero-terminated.
    uint32_t AddSourceText(const char* text, uint32_t length, uint32_t flags, const char* name,
                           uint32_t argument);
    // Reads a whole file as a unit without a name (flags kUnitOwnsText, argument 0).
    // Throws CIError 17 when the file cannot be opened or read, 15 when memory runs out.
    int LoadUnitFromFile(const char* path);

    // The first record with `code` from the current token on; null when none.
    uint8_t* FindToken(uint16_t code) const;
    void SkipToken() { currentToken += reinterpret_cast<const TokenHeader*>(currentToken)->size; }

    // The pending error's message with its line, or the message of code 0 without one.
    int GetErrorText(char* buffer, size_t size) const;
    // From the pending error's unit name: the part before its first ":", then " - " and
    // the file title (after the last "/", up to the next ".").
    int GetErrorCaption(char* buffer, size_t size) const;
    int32_t GetErrorCode() const { return pendingError_ != nullptr ? pendingError_->code : 0; }
    const CIError* GetPendingError() const { return pendingError_; }
    // Takes ownership; the previous pending error is released.
    void SetPendingError(CIError* error);

    // Throws a CIError with the code and the unit, line and column of where the object
    // stands (by its mode). Code 0, a normal end, carries no unit and line 0.
    [[noreturn]] void Fail(int32_t code, uint32_t subCode = kNoSubCode);
    // Fills the unit, column and line of `error` from where the object stands.
    void LocateAtCurrentPosition(CIError& error) const;

    uint8_t* GetStream() const { return stream_; }
    uint32_t GetStreamLength() const { return streamLength_; }
    uint32_t GetBlockCount() const { return blockCount_; }
    BlockRecord* GetBlock(uint32_t index) const {
        return index < blockCount_ ? blocks_[index] : nullptr;
    }
    CNameTable* GetNameTable() const { return nameTable_; }

    uint32_t GetUnitCount() const { return unitCount_; }
    const char* GetUnitName(uint32_t index) const;
    const char* GetUnitText(uint32_t index) const;
    uint32_t GetUnitFlags(uint32_t index) const;
    uint32_t GetUnitArgument(uint32_t index) const;

    // The reading position in a stream: the link pass's input, then the interpreter's
    // program counter.
    uint8_t* currentToken = nullptr;
    uint32_t mode = kModeIdle;

protected:
    struct SourceUnit {
        char* name; // owned copy, or null
        const char* text;
        uint32_t flags;
        uint32_t argument;
    };

    // Appends a record of `payloadSize` zeroed payload bytes (a multiple of 8), with a
    // position when one is given, to the output buffer.
    TokenHeader* AppendToken(uint16_t code, uint32_t payloadSize, const TokenPosition* position) {
        uint32_t size = uint32_t(sizeof(TokenHeader)) + payloadSize +
                        (position != nullptr ? uint32_t(sizeof(TokenPosition)) : 0);
        uint8_t* record = ReserveOutput(size);
        auto* token = reinterpret_cast<TokenHeader*>(record);
        token->code = code;
        token->size = static_cast<uint16_t>(size);
        token->flags = position != nullptr ? kTokenPositioned : 0;
        for (uint32_t i = 0; i < payloadSize; i += 8)
            *reinterpret_cast<uint64_t*>(record + sizeof(TokenHeader) + i) = 0;
        if (position != nullptr)
            *reinterpret_cast<TokenPosition*>(record + size - sizeof(TokenPosition)) = *position;
        outputLength_ += size;
        return token;
    }
    // Room for `size` more bytes at the end of the output; returns where they go.
    uint8_t* ReserveOutput(uint32_t size) {
        if (outputCapacity_ - outputLength_ < size) GrowOutput(size);
        return output_ + outputLength_;
    }
    void GrowOutput(uint32_t size);
    void FreeWorkBuffers();
    // Adds a block record of `kind` (all else 0) and returns its index; CIError 15 when
    // memory runs out.
    uint32_t AddBlock(uint32_t kind);
    // Moves the other object's units here (this object's must be empty).
    void TakeUnits(CTokenInfos& other);

    [[noreturn]] static void ThrowOutOfMemory();

    // The final stream.
    uint8_t* stream_ = nullptr;
    uint32_t streamLength_ = 0;
    uint32_t streamCapacity_ = 0;
    BlockRecord** blocks_ = nullptr;
    uint32_t blockCount_ = 0;
    uint32_t blockCapacity_ = 0;
    CIError* pendingError_ = nullptr;
    CNameTable* nameTable_ = nullptr;
    // The tokenizer's output while the link pass reads it.
    uint8_t* linkInput_ = nullptr;
    uint32_t linkInputLength_ = 0;
    // The stream being written.
    uint8_t* output_ = nullptr;
    uint32_t outputLength_ = 0;
    uint32_t outputCapacity_ = 0;
    // The tokenizer's reading position in the text of unit unitIndex_.
    const char* sourceText_ = nullptr;
    const char* sourceRead_ = nullptr;
    uint32_t unitIndex_ = 0;
    SourceUnit* units_ = nullptr;
    uint32_t unitCount_ = 0;
    uint32_t unitCapacity_ = 0;

private:
    void FreeUnits();
    void FreeBlocks();
    // The unit and offset of the last positioned record from `start` up to and including
    // the current token.
    bool FindPosition(const uint8_t* start, uint32_t length, uint32_t* unit,
                      uint32_t* offset) const;
};
