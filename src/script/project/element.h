// The elements of a bank: a name and a folder name read with the directory, and data read
// on first use, raw or zlib-packed, from the bank's file.
#pragma once

#include <cstdint>

#include "foundation/memory/result_codes.h"
#include "platform/kernel/win_types.h"

class CBank;
class CImageBank;
class CInStream;
class cImageSurface;
class cSurface;

class CElement {
public:
    CElement() = default;
    // Frees the names and the data.
    virtual ~CElement();
    CElement(const CElement&) = delete;
    CElement& operator=(const CElement&) = delete;

    // Reads the data record at the handle's position. 1, or 0 with the last bank code set.
    virtual int LoadData(HANDLE file, int flag) = 0;
    // Reads the header (the name and the folder name) at the handle's position. 1, or 0
    // with the last bank code set.
    virtual int ReadHeader(HANDLE file);
    virtual void FreeData() = 0;
    virtual bool HasData() const = 0;
    // A stream over the element's data, which the caller deletes; null on failure (the last
    // bank code tells why). Mode 0 may read from the bank's own handle (the stream keeps its
    // own position, so several such streams can be read interleaved); any other mode reads
    // through a handle of its own.
    virtual CInStream* OpenStream(int mode) = 0;

    // The element's own name, and its full name in the project: the entry name, "://", the
    // bank name, "/", the folder name and "/" when there is one, then the name. Both return
    // the length needed (terminator excluded) and write only when the whole text fits in
    // `size` bytes; otherwise they leave an empty text (when size > 0).
    uint32_t GetName(char* buffer, uint32_t size) const;
    uint32_t GetFullName(char* buffer, uint32_t size) const;
    const char* GetNameText() const { return name != nullptr ? name : ""; }
    const char* GetFolder() const { return folder != nullptr ? folder : ""; }

    CBank* bank = nullptr;
    // The element's index in its bank; -1 until listed.
    int32_t index = -1;
    char* name = nullptr;
    // The second string of the header: a folder name, may be empty.
    char* folder = nullptr;
    int32_t useCount = 0;
};

// Data kept as a block of bytes: source modules, sounds, musics, 3D worlds, binary data.
// The block is one byte longer than the data and that byte is 0, so a text is terminated.
class CBinaryElement : public CElement {
public:
    ~CBinaryElement() override;
    int LoadData(HANDLE file, int flag) override;
    void FreeData() override;
    bool HasData() const override { return data_ != nullptr; }
    CInStream* OpenStream(int mode) override;

    // Null until loaded.
    const uint8_t* GetData() const { return data_; }
    uint32_t GetSize() const { return size_; }

protected:
    // A memory stream over `size` bytes of the data that holds a use of the element while
    // it lives, so that releasing the bank's data cannot pull the bytes from under it.
    CInStream* OpenDataStream(uint32_t size);

    uint8_t* data_ = nullptr;
    uint32_t size_ = 0;
};

// A text.
class CStringElement : public CBinaryElement {
public:
    // Only once loaded: a memory stream over the text and its terminator.
    CInStream* OpenStream(int mode) override;
    const char* GetText() const {
        return data_ != nullptr ? reinterpret_cast<const char*>(data_) : "";
    }
};

// Animation data; banks of version 0x16740002 and later add two words to the header.
class CAnimElement : public CBinaryElement {
public:
    int ReadHeader(HANDLE file) override;
    uint16_t animWord1 = 0;
    uint16_t animWord2 = 0;
};

// An image: its pixels in a surface of the bank's screen format and, when the image
// carries one, a mask of one byte per pixel.
class CImageElement : public CElement {
public:
    ~CImageElement() override;
    int LoadData(HANDLE file, int flag) override;
    void FreeData() override;
    bool HasData() const override { return surface_ != nullptr; }
    // Null: an image is used through its surface, not read as a stream.
    CInStream* OpenStream(int mode) override;

    // Null until loaded.
    cSurface* GetSurface() const;
    // width × height bytes, rows width bytes apart; null when the image has none.
    const uint8_t* GetMask() const { return mask_; }
    // The image's reference point, read with its data.
    uint16_t referenceX = 0;
    uint16_t referenceY = 0;

private:
    // Reads the image record at the handle's position into a new surface and mask.
    ResultCode Load(CImageBank& imageBank, HANDLE file);

    cImageSurface* surface_ = nullptr;
    uint8_t* mask_ = nullptr;
};
