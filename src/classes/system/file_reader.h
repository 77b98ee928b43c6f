// The reading rules of the File class over an open file: lines and tokens read from a
// position, through a buffer, never past the length the caller keeps.
#pragma once

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
    // The byte at `offset`, or -1 at the end of the file or the length.
    int ByteAt(HANDLE file, int32_t length, int32_t offset);

    std::vector<char> buffer_;
    // The file offset of buffer_[0] and the bytes held.
    int32_t start_ = 0;
    uint32_t count_ = 0;
};
