#include "audio/streams/buffered_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr int32_t kSkipPiece = 256;
constexpr int32_t kInlineSize = 8;

} // namespace

BufferedStream::~BufferedStream() {
    if (readBuffer_ != readInline_) delete[] readBuffer_;
    if (writeBuffer_ != writeInline_) delete[] writeBuffer_;
    if (ownsNext_) delete next_;
}

int32_t BufferedStream::RawRead(void*, int32_t) {
    return 0;
}

int32_t BufferedStream::RawPeek(void*, int32_t) {
    return 0;
}

int32_t BufferedStream::RawWrite(const void*, int32_t) {
    return 0;
}

int64_t BufferedStream::RawSeek(int64_t) {
    return 0;
}

BufferedStream& BufferedStream::Target() {
    BufferedStream* stream = this;
    while (stream->next_ != nullptr)
        stream = stream->next_;
    return *stream;
}

void BufferedStream::Open(uint32_t mode, int64_t position, int64_t length) {
    if (ownsNext_) delete next_;
    next_ = nullptr;
    ownsNext_ = false;
    tee_ = nullptr;
    mode_ = mode | kOpen;
    position_ = position;
    rawPosition_ = position;
    readStart_ = position;
    readCount_ = 0;
    readIndex_ = 0;
    writePending_ = 0;
    length_ = length;
    fillByte_ = -1;
    endOfData_ = false;
    error_ = false;
    readBitPosition_ = 0;
    readBitByte_ = 0;
    writeBitCount_ = 0;
    writeBits_ = 0;
}

void BufferedStream::SetNext(BufferedStream* next, bool owns) {
    if (ownsNext_) delete next_;
    next_ = next;
    ownsNext_ = owns;
}

void BufferedStream::Close() {
    Target().DoClose();
}

void BufferedStream::DoClose() {
    if ((mode_ & kOpen) == 0) return;
    DoFlushBits();
    if ((mode_ & kRandomAccess) != 0) {
        FlushWrite(0);
        RawSeek(position_);
        rawPosition_ = position_;
    } else {
        FlushWrite(0);
    }
    if (readBuffer_ != readInline_) delete[] readBuffer_;
    if (writeBuffer_ != writeInline_) delete[] writeBuffer_;
    readBuffer_ = nullptr;
    writeBuffer_ = nullptr;
    readSize_ = readCount_ = readIndex_ = 0;
    writeSize_ = writePending_ = 0;
    mode_ = 0;
}

// ---- Reading ------------------------------------------------------------------------

int32_t BufferedStream::Read(void* buffer, int32_t count) {
    return Target().DoRead(buffer, count);
}

int32_t BufferedStream::DoRead(void* buffer, int32_t count) {
    if ((mode_ & kReadable) == 0 || count < 1) return 0;
    readBitPosition_ = 0;
    if (buffer != nullptr) return ReadCore(static_cast<uint8_t*>(buffer), count);
    uint8_t scratch[kSkipPiece];
    int32_t total = 0;
    while (total < count) {
        int32_t piece = std::min(kSkipPiece, count - total);
        int32_t got = ReadCore(scratch, piece);
        total += got;
        if (got < piece) break;
    }
    return total;
}

int32_t BufferedStream::RawReadAt(uint8_t* buffer, int32_t count, int64_t at) {
    if (at != rawPosition_ && (mode_ & kRandomAccess) != 0) rawPosition_ = RawSeek(at);
    int32_t got = RawRead(buffer, count);
    if (got < 0) got = 0;
    rawPosition_ += got;
    return got;
}

int32_t BufferedStream::ReadCore(uint8_t* buffer, int32_t count) {
    int32_t delivered = 0;
    if (readSize_ == 0) {
        delivered = RawReadAt(buffer, count, position_);
    } else {
        if (count > readCount_ - readIndex_ && readCount_ < readSize_)
            readCount_ += RawReadAt(readBuffer_ + readCount_, readSize_ - readCount_,
                                    readStart_ + readCount_);
        delivered = std::min(count, readCount_ - readIndex_);
        std::memcpy(buffer, readBuffer_ + readIndex_, static_cast<size_t>(delivered));
        readIndex_ += delivered;
        int32_t rest = count - delivered;
        if (rest > 0) {
            int64_t at = readStart_ + readIndex_;
            readStart_ = at;
            readCount_ = readIndex_ = 0;
            if (rest < readSize_) {
                readCount_ = RawReadAt(readBuffer_, readSize_, at);
                int32_t more = std::min(rest, readCount_);
                std::memcpy(buffer + delivered, readBuffer_, static_cast<size_t>(more));
                readIndex_ = more;
                delivered += more;
            } else {
                int32_t more = RawReadAt(buffer + delivered, rest, at);
                readStart_ = at + more;
                delivered += more;
            }
        }
    }
    if (delivered < count) {
        endOfData_ = true;
        if (fillByte_ >= 0)
            std::memset(buffer + delivered, fillByte_, static_cast<size_t>(count - delivered));
    }
    if (tee_ != nullptr && delivered > 0) tee_->Write(buffer, delivered);
    position_ += delivered;
    length_ = std::max(length_, position_);
    return delivered;
}

int32_t BufferedStream::Peek(void* buffer, int32_t count) {
    return Target().DoPeek(buffer, count);
}

int32_t BufferedStream::DoPeek(void* buffer, int32_t count) {
    if ((mode_ & kReadable) == 0 || count < 1 || buffer == nullptr) return 0;
    auto* out = static_cast<uint8_t*>(buffer);
    if ((mode_ & kRandomAccess) != 0) {
        int64_t at = position_;
        BufferedStream* tee = tee_;
        tee_ = nullptr;
        bool endOfData = endOfData_;
        int bitPosition = readBitPosition_;
        int32_t got = ReadCore(out, count);
        endOfData_ = endOfData;
        DoSeek(at);
        readBitPosition_ = bitPosition;
        tee_ = tee;
        return got;
    }
    if (readSize_ == 0) {
        if (rawPosition_ != position_) return 0;
        return std::max(0, RawPeek(out, count));
    }
    int32_t unread = readCount_ - readIndex_;
    std::memmove(readBuffer_, readBuffer_ + readIndex_, static_cast<size_t>(unread));
    readStart_ += readIndex_;
    readIndex_ = 0;
    readCount_ = unread;
    if (readCount_ < readSize_)
        readCount_ +=
            RawReadAt(readBuffer_ + readCount_, readSize_ - readCount_, readStart_ + readCount_);
    int32_t got = std::min(count, readCount_);
    std::memcpy(out, readBuffer_, static_cast<size_t>(got));
    return got;
}

uint8_t BufferedStream::ReadByte() {
    uint8_t value = 0;
    return Read(&value, 1) == 1 ? value : 0;
}

// ---- Writing ------------------------------------------------------------------------

int32_t BufferedStream::Write(const void* buffer, int32_t count) {
    return Target().DoWrite(buffer, count);
}

int32_t BufferedStream::WriteThrough(const uint8_t* buffer, int32_t count) {
    if (count <= 0) return 0;
    int64_t at = position_ - writePending_;
    if (at != rawPosition_ && (mode_ & kRandomAccess) != 0) rawPosition_ = RawSeek(at);
    int32_t written = RawWrite(buffer, count);
    if (written < 0) written = 0;
    if (written < count) error_ = true;
    rawPosition_ += written;
    return written;
}

int32_t BufferedStream::DoWrite(const void* buffer, int32_t count) {
    if ((mode_ & kWritable) == 0 || count < 1 || buffer == nullptr) return 0;
    const auto* in = static_cast<const uint8_t*>(buffer);
    if ((mode_ & kRandomAccess) != 0 && readCount_ > 0) {
        readStart_ = position_;
        readCount_ = readIndex_ = 0;
    }
    int32_t done = 0;
    if (writeSize_ == 0) {
        done = WriteThrough(in, count);
        position_ += done;
    } else {
        while (done < count) {
            int32_t piece = std::min(count - done, writeSize_ - writePending_);
            std::memcpy(writeBuffer_ + writePending_, in + done, static_cast<size_t>(piece));
            writePending_ += piece;
            position_ += piece;
            done += piece;
            if (writePending_ == writeSize_ && FlushWrite(0) != 0) break;
        }
    }
    length_ = std::max(length_, position_);
    return done;
}

// Writes the pending bytes. how 0: bytes the raw stream refused stay at the buffer's
// start; 1: they are dropped, with the error flag set; 2: nothing is written. The result
// is the number of bytes still pending (1 for a stream that cannot write).
int64_t BufferedStream::FlushWrite(int how) {
    if ((mode_ & kWritable) == 0) return 1;
    if (how == 2 || writePending_ == 0) return writePending_;
    int32_t pending = writePending_;
    int32_t written = WriteThrough(writeBuffer_, pending);
    int32_t left = pending - written;
    if (how == 1) {
        if (left > 0) error_ = true;
        writePending_ = 0;
        return 0;
    }
    std::memmove(writeBuffer_, writeBuffer_ + written, static_cast<size_t>(left));
    writePending_ = left;
    return left;
}

// Unread bytes of the read buffer. how 0: kept, moved to the buffer's start; 1: dropped,
// the position stays where the reader is; 2: only counted. The result is their number.
int64_t BufferedStream::FlushRead(int how) {
    if ((mode_ & kReadable) == 0) return 1;
    int32_t unread = readCount_ - readIndex_;
    if (how == 0) {
        std::memmove(readBuffer_, readBuffer_ + readIndex_, static_cast<size_t>(unread));
        readStart_ += readIndex_;
        readIndex_ = 0;
        readCount_ = unread;
    } else if (how == 1) {
        readStart_ += readIndex_;
        readCount_ = readIndex_ = 0;
    }
    return unread;
}

// ---- Seeking ------------------------------------------------------------------------

int64_t BufferedStream::Seek(int64_t position) {
    return Target().DoSeek(position);
}

int64_t BufferedStream::SeekRelative(int64_t delta) {
    BufferedStream& target = Target();
    return target.DoSeek(target.position_ + delta);
}

int64_t BufferedStream::DoSeek(int64_t position) {
    if ((mode_ & kRandomAccess) == 0 || position == position_) return position_;
    if (position < 0) position = 0;
    readBitPosition_ = 0;
    if (readCount_ > 0 && position >= readStart_ && position <= readStart_ + readCount_) {
        readIndex_ = static_cast<int32_t>(position - readStart_);
        position_ = position;
    } else {
        if (writePending_ > 0) FlushWrite(1);
        readCount_ = readIndex_ = 0;
        int64_t target = std::min(position, length_);
        int64_t reached = RawSeek(target);
        if (reached < 0) reached = 0;
        rawPosition_ = reached;
        position_ = reached;
        readStart_ = reached;
    }
    if (tee_ != nullptr) tee_->Seek(position_);
    return position_;
}

// ---- Bit fields ---------------------------------------------------------------------

uint32_t BufferedStream::ReadBits(int count) {
    return Target().DoReadBits(count);
}

uint32_t BufferedStream::DoReadBits(int count) {
    count = std::clamp(count, 0, 32);
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        if (readBitPosition_ == 0) {
            readBitByte_ = 0;
            ReadCore(&readBitByte_, 1);
        }
        uint32_t bit = readMsbFirst_ ? (readBitByte_ >> (7 - readBitPosition_)) & 1u
                                     : (readBitByte_ >> readBitPosition_) & 1u;
        if (readMsbFirst_)
            value = (value << 1) | bit;
        else
            value |= bit << i;
        readBitPosition_ = (readBitPosition_ + 1) & 7;
    }
    return value;
}

void BufferedStream::SkipBits(int64_t count) {
    Target().DoSkipBits(count);
}

void BufferedStream::DoSkipBits(int64_t count) {
    if (count <= 0) return;
    if (readBitPosition_ != 0) {
        int64_t inByte = std::min<int64_t>(count, 8 - readBitPosition_);
        readBitPosition_ = static_cast<int>((readBitPosition_ + inByte) & 7);
        count -= inByte;
    }
    int64_t bytes = count / 8;
    if (bytes > 0) {
        if ((mode_ & kRandomAccess) != 0) {
            DoSeek(position_ + bytes);
        } else {
            while (bytes > 0) {
                int32_t piece = static_cast<int32_t>(std::min<int64_t>(bytes, 1 << 30));
                if (DoRead(nullptr, piece) < piece) break;
                bytes -= piece;
            }
        }
    }
    int remainder = static_cast<int>(count % 8);
    if (remainder != 0) {
        readBitByte_ = 0;
        ReadCore(&readBitByte_, 1);
        readBitPosition_ = remainder;
    }
}

void BufferedStream::AlignToByte() {
    Target().readBitPosition_ = 0;
}

void BufferedStream::WriteBits(uint32_t value, int count) {
    Target().DoWriteBits(value, count);
}

void BufferedStream::DoWriteBits(uint32_t value, int count) {
    if ((mode_ & kWritable) == 0) return;
    count = std::clamp(count, 0, 32);
    for (int i = 0; i < count; ++i) {
        uint32_t bit = writeMsbFirst_ ? (value >> (count - 1 - i)) & 1u : (value >> i) & 1u;
        if (writeMsbFirst_)
            writeBits_ |= bit << (7 - writeBitCount_);
        else
            writeBits_ |= bit << writeBitCount_;
        if (++writeBitCount_ == 8) {
            auto byte = static_cast<uint8_t>(writeBits_);
            writeBitCount_ = 0;
            writeBits_ = 0;
            DoWrite(&byte, 1);
        }
    }
}

void BufferedStream::FlushBits() {
    Target().DoFlushBits();
}

void BufferedStream::DoFlushBits() {
    if ((mode_ & kRandomAccess) != 0 && (mode_ & kWritable) == 0) {
        readBitPosition_ = 0;
        return;
    }
    if (writeBitCount_ == 0) return;
    uint32_t fill = 0;
    if (writeFillOnes_) {
        for (int i = writeBitCount_; i < 8; ++i)
            fill |= writeMsbFirst_ ? 1u << (7 - i) : 1u << i;
    }
    auto byte = static_cast<uint8_t>(writeBits_ | fill);
    writeBitCount_ = 0;
    writeBits_ = 0;
    DoWrite(&byte, 1);
}

// ---- Control ------------------------------------------------------------------------

bool BufferedStream::SetReadBufferSize(int64_t size) {
    if (size < 0 || size > (1 << 30)) return false;
    auto newSize = static_cast<int32_t>(size);
    int32_t unread = readCount_ - readIndex_;
    if (newSize < unread) return false;
    uint8_t* buffer = nullptr;
    if (newSize > kInlineSize) {
        buffer = new (std::nothrow) uint8_t[static_cast<size_t>(newSize)];
        if (buffer == nullptr) return false;
    } else if (newSize > 0) {
        buffer = readInline_;
    }
    if (buffer != nullptr && unread > 0)
        std::memmove(buffer, readBuffer_ + readIndex_, static_cast<size_t>(unread));
    if (readBuffer_ != readInline_ && readBuffer_ != buffer) delete[] readBuffer_;
    readBuffer_ = buffer;
    readSize_ = newSize;
    readStart_ += readIndex_;
    readIndex_ = 0;
    readCount_ = unread;
    return true;
}

bool BufferedStream::SetWriteBufferSize(int64_t size) {
    if (size < 0 || size > (1 << 30)) return false;
    if (FlushWrite(0) != 0 && writePending_ > 0) return false;
    auto newSize = static_cast<int32_t>(size);
    if (writeBuffer_ != writeInline_) delete[] writeBuffer_;
    writeBuffer_ = nullptr;
    if (newSize > kInlineSize)
        writeBuffer_ = new (std::nothrow) uint8_t[static_cast<size_t>(newSize)];
    else if (newSize > 0)
        writeBuffer_ = writeInline_;
    writeSize_ = writeBuffer_ != nullptr ? newSize : 0;
    return writeBuffer_ != nullptr || newSize == 0;
}

int64_t BufferedStream::Control(int code, int64_t argument, int64_t) {
    BufferedStream& s = Target();
    bool shared = (s.mode_ & kRandomAccess) != 0;
    switch (code) {
    case 0:
    case 1:
        return s.position_;
    case 2:
        if ((s.mode_ & kReadable) == 0) return 1;
        // A decoding stream's own end (code 49) counts too: its length is an estimate, and
        // the block its filter bank still held lies past it.
        if (s.readCount_ - s.readIndex_ != 0) return 0;
        return s.position_ == s.length_ || s.Control(49, 0, 0) != 0 ? 1 : 0;
    case 3:
        if ((s.mode_ & kWritable) == 0) return 1;
        if (shared) return s.position_ == s.length_ && (s.mode_ & kWriteFlushHint) == 0 ? 1 : 0;
        return s.FlushWrite(0) == 0 ? 1 : 0;
    case 4:
        return s.length_;
    case 9:
    case 10: {
        bool flag = s.endOfData_;
        if (code == 10) s.endOfData_ = false;
        return flag ? 1 : 0;
    }
    case 11:
    case 12: {
        bool flag = s.error_;
        if (code == 12) s.error_ = false;
        return flag ? 1 : 0;
    }
    case 13:
    case 14:
        return s.length_ - s.position_;
    case 15:
        return s.SetReadBufferSize(argument) ? 1 : 0;
    case 16:
        return s.readSize_;
    case 17:
        return s.readCount_ - s.readIndex_;
    case 18:
        return (shared ? s.SetReadBufferSize(argument) : s.SetWriteBufferSize(argument)) ? 1 : 0;
    case 19:
        return shared ? s.readSize_ : s.writeSize_;
    case 20:
        return s.readIndex_;
    case 21: {
        int old = s.fillByte_;
        s.fillByte_ = argument < 0 ? -1 : static_cast<int>(argument & 0xFF);
        return old;
    }
    case 22:
        return s.fillByte_;
    case 23:
        s.readMsbFirst_ = argument != 0;
        return 1;
    case 24:
        return s.readMsbFirst_ ? 1 : 0;
    case 25:
        if (shared)
            s.readMsbFirst_ = argument != 0;
        else
            s.writeMsbFirst_ = argument != 0;
        return 1;
    case 26:
        return (shared ? s.readMsbFirst_ : s.writeMsbFirst_) ? 1 : 0;
    case 27:
        s.writeFillOnes_ = argument != 0;
        return 1;
    case 28:
        return s.writeFillOnes_ ? 1 : 0;
    case 29:
    case 30:
    case 31:
        return s.FlushRead(code - 29);
    case 32:
    case 33:
    case 34:
        return s.FlushWrite(code - 32);
    case 42:
        s.readBitPosition_ = 0;
        s.FlushRead(2);
        if (!shared) s.mode_ &= ~static_cast<uint32_t>(kReadable);
        return 0;
    case 43:
        s.DoFlushBits();
        s.FlushWrite(0);
        s.mode_ &= ~static_cast<uint32_t>(kWritable);
        return 0;
    case 44:
        s.DoFlushBits();
        return s.FlushWrite(1);
    case 49:
        return s.position_ == s.length_ ? 1 : 0;
    case 51:
        s.tee_ = reinterpret_cast<BufferedStream*>(argument);
        return 1;
    default:
        return 0;
    }
}
