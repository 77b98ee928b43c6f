// The reading rules of the File class over an open file: lines and tokens read from a
// position, through a buffer, never past the length the caller keeps.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/kernel/win_types.h"

class CFileReader {
public:
    // The buffer size for readers made from now on; tests lower it to put line ends and
    // quotes across its boundaries. 0 restores the usual size.
    static void SetBufferSizeForTests(uint32_t size);

    CFileReader();

    // Forgets what is buffered: the file changed or another one is read.
    void Invalidate() { count_ = 0; }

    // A line from `position`, without its end; `position` moves past the end. CR LF,
    // LF CR, CR CR and LF LF each count as one end, and so does a 0 byte followed by
    // one of them.
    std::string ReadLine(HANDLE file, int32_t length, int32_t& position);
    // A token from `position` up to a separator, CR, LF or 0 byte (see the File class).
    std::string ReadToken(HANDLE file, int32_t length, int32_t& position,
                          const std::string& separators, bool skipSpaces, bool handleQuotes,
                          bool returnQuotes);

private:
    bool Holds(int32_t offset) const;
    // Fills the buffer from `offset`: false at the end of the file or on a failure.
    bool Load(HANDLE file, int32_t offset);
    // The byte at `offset`, or -1 at the end of the file or the length.
    int ByteAt(HANDLE file, int32_t length, int32_t offset);
    // The offset of the first CR, LF or 0 byte from `offset` (held) in the buffer, or
    // the end of the buffer. Each of the three is searched for once per buffer as reading
    // moves forward, so that a line costs no byte-by-byte scan.
    int32_t NextLineEnd(int32_t offset);

    std::vector<char> buffer_;
    // The file offset of buffer_[0] and the bytes held.
    int32_t start_ = 0;
    uint32_t count_ = 0;
    // Per line-end byte: where it next lies in the buffer (-1: not searched since the
    // buffer was filled) and the offset that search began at.
    std::array<int32_t, 3> nextEnds_{-1, -1, -1};
    std::array<int32_t, 3> searchedFrom_{};
};
