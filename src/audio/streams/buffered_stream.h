// The sound layer's buffered byte and bit stream. Subclasses supply the raw operations;
// this base buffers reads and writes, keeps the logical position and length, reads and
// writes bit fields in either order and answers the numbered Control requests. Streams can
// be chained: the public operations of a stream with a next stream work on the innermost.
#pragma once

#include <cstdint>

class BufferedStream {
public:
    enum Mode : uint32_t {
        kOpen = 1,
        kReadable = 2,
        kWritable = 4,
        kRandomAccess = 8,
        kWriteFlushHint = 16,
    };

    BufferedStream() = default;
    BufferedStream(const BufferedStream&) = delete;
    BufferedStream& operator=(const BufferedStream&) = delete;
    virtual ~BufferedStream();

    virtual void Close();
    virtual int32_t RawRead(void* buffer, int32_t count);
    virtual int32_t RawPeek(void* buffer, int32_t count);
    virtual int32_t RawWrite(const void* buffer, int32_t count);
    virtual int64_t RawSeek(int64_t position);
    virtual int64_t Control(int code, int64_t argument, int64_t argument2);

    void Open(uint32_t mode, int64_t position, int64_t length);
    // `next` becomes the stream that the public operations work on; owned streams are
    // deleted with this one.
    void SetNext(BufferedStream* next, bool owns);

    // Null `buffer` skips `count` bytes.
    int32_t Read(void* buffer, int32_t count);
    int32_t Peek(void* buffer, int32_t count);
    int32_t Write(const void* buffer, int32_t count);
    int64_t Seek(int64_t position);
    int64_t SeekRelative(int64_t delta);
    // The next byte, 0 when none is left.
    uint8_t ReadByte();

    // Up to 32 bits; bits past the end read as 0.
    uint32_t ReadBits(int count);
    void SkipBits(int64_t count);
    void AlignToByte();
    void WriteBits(uint32_t value, int count);
    void FlushBits();

    int64_t GetPosition() { return Target().position_; }
    int64_t GetLength() { return Target().length_; }
    uint32_t GetMode() { return Target().mode_; }

private:
    BufferedStream& Target();

    int32_t DoRead(void* buffer, int32_t count);
    int32_t ReadCore(uint8_t* buffer, int32_t count);
    int32_t RawReadAt(uint8_t* buffer, int32_t count, int64_t at);
    int32_t DoPeek(void* buffer, int32_t count);
    int32_t DoWrite(const void* buffer, int32_t count);
    int32_t WriteThrough(const uint8_t* buffer, int32_t count);
    int64_t DoSeek(int64_t position);
    uint32_t DoReadBits(int count);
    void DoSkipBits(int64_t count);
    void DoWriteBits(uint32_t value, int count);
    void DoFlushBits();
    int64_t FlushRead(int how);
    int64_t FlushWrite(int how);
    bool SetReadBufferSize(int64_t size);
    bool SetWriteBufferSize(int64_t size);
    void DoClose();

    uint8_t readInline_[8] = {};
    uint8_t* readBuffer_ = nullptr;
    int32_t readSize_ = 0;
    int32_t readCount_ = 0;
    int32_t readIndex_ = 0;
    int64_t readStart_ = 0;
    // Where the raw stream stands; a raw read elsewhere seeks first (random access only).
    int64_t rawPosition_ = 0;

    uint8_t writeInline_[8] = {};
    uint8_t* writeBuffer_ = nullptr;
    int32_t writeSize_ = 0;
    int32_t writePending_ = 0;

    bool readMsbFirst_ = true;
    int readBitPosition_ = 0;
    uint8_t readBitByte_ = 0;
    bool writeMsbFirst_ = true;
    int writeBitCount_ = 0;
    uint32_t writeBits_ = 0;
    bool writeFillOnes_ = false;

    int fillByte_ = -1;
    bool endOfData_ = false;
    bool error_ = false;
    int64_t position_ = 0;
    int64_t length_ = 0;
    BufferedStream* next_ = nullptr;
    bool ownsNext_ = false;
    BufferedStream* tee_ = nullptr;
    uint32_t mode_ = 0;
};
