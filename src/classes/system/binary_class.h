// The Binary class: a block of bytes that scripts fill and read with typed accessors in
// a chosen byte order, load from a binary bank element or a file and save to a file.
// Other classes (Registry, Clipboard, Serial, networking) hand bytes to scripts through
// it: they make one with MakeBinary and fill it through Allocate or Resize and Data.
#pragma once

#include <cstdint>

#include "classes/system/byte_block.h"
#include "script/classes/base_class.h"

class CIBinary : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 41;

    // Method ids of the name table.
    enum : uint16_t {
        kLoadData = 1,
        kSaveData,
        kAllocateData,
        kFreeData,
        kReSizeData,
        kGetDataSize,
        kGetWord,
        kGetLong,
        kGetByte,
        kGetChar,
        kGetDouble,
        kGetFloat,
        kGetString,
        kSetWord,
        kSetLong,
        kSetByte,
        kSetChar,
        kSetDouble,
        kSetFloat,
        kSetString,
        kSetByteOrdering,
        kGetByteOrdering,
        kMoveData,
        kCopyData,
        kGetByteSize,
        kGetWordSize,
        kGetLongSize,
        kGetCharSize,
        kGetDoubleSize,
        kGetStringSize,
        kGetFloatSize,
        kIsEqual,
        kFind,
        kMethodCount,
    };
    // The byte-order constants are the class-level ids above this one.
    static constexpr uint32_t kFirstClassLevelId = 34;

    CIBinary(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // New Binary(source, offset, length): LoadData's arguments, all optional.
    void Create() override;

    // The C++ side. Allocate frees the old bytes and makes n zero bytes (size 0 and 0
    // when that fails); Resize keeps the contents and changes nothing when it fails.
    int Allocate(int64_t n) { return bytes_.Allocate(n); }
    int Resize(int64_t n) { return bytes_.Resize(n); }
    uint8_t* Data() const { return bytes_.Data(); }
    uint32_t Size() const { return bytes_.Size(); }
    CByteBlock& Bytes() { return bytes_; }
    int32_t GetOrder() const { return order_; }
    // One of the byte-order codes 1 to 3.
    void SetOrder(int32_t order) { order_ = order; }

private:
    void LoadData();
    void SaveData();
    void AllocateData();
    void FreeData();
    void ReSizeData();
    void GetDataSize();
    void GetWord();
    void GetLong();
    void GetByte();
    void GetChar();
    void GetDouble();
    void GetFloat();
    void GetString();
    void SetWord();
    void SetLong();
    void SetByte();
    void SetChar();
    void SetDouble();
    void SetFloat();
    void SetString();
    void SetByteOrdering();
    void GetByteOrdering();
    void MoveData();
    void CopyData();
    void GetByteSize();
    void GetWordSize();
    void GetLongSize();
    void GetCharSize();
    void GetDoubleSize();
    void GetStringSize();
    void GetFloatSize();
    void IsEqual();
    void Find();

    // Loads from the arguments starting at 0; 1 or 0.
    int Load();
    // The index of a reader (exactly one numeric argument), or -1 after raising.
    int64_t ReaderIndex();
    // The index of a writer (exactly two arguments, the first numeric); error 14 when
    // `width` bytes there are not inside the data.
    int64_t WriterIndex(int64_t width);
    // Writer argument 1 as an integer (a double is converted), else error 14.
    int32_t WriterNumber();
    // Argument i as a Binary, else error 14.
    CIBinary* BinaryArg(uint32_t i);

    static const ScriptMethod<CIBinary> kMethods[kMethodCount];

    CByteBlock bytes_;
    int32_t order_;
};

// The description of the Binary class, for RegisterScriptClass.
const ScriptClassInfo* GetBinaryClassInfo();

// A new, registered Binary with no data, counted among the run's creations; null when
// memory runs out. The caller holds it through a value (SetObject) to keep it.
CIBinary* MakeBinary(CInterpretor& interpreter);
