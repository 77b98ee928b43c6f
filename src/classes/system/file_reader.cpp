#include "classes/system/file_reader.h"

#include "foundation/file_layer.h"

namespace {

constexpr uint32_t kUsualBufferSize = 4096;
uint32_t bufferSize = kUsualBufferSize;

bool IsBlank(int c) {
    return c == ' ' || c == '\t';
}

} // namespace

void CFileReader::SetBufferSizeForTests(uint32_t size) {
    bufferSize = size != 0 ? size : kUsualBufferSize;
}

CFileReader::CFileReader() : buffer_(bufferSize) {}

int CFileReader::ByteAt(HANDLE file, int32_t length, int32_t offset) {
    if (offset < 0 || offset >= length) return -1;
    if (count_ == 0 || offset < start_ || offset - start_ >= int32_t(count_)) {
        count_ = 0;
        if (FileSeek(file, uint32_t(offset)) != uint32_t(offset)) return -1;
        int32_t read = FileReadRaw(file, buffer_.data(), uint32_t(buffer_.size()));
        if (read <= 0) return -1;
        start_ = offset;
        count_ = uint32_t(read);
    }
    return static_cast<unsigned char>(buffer_[size_t(offset - start_)]);
}

std::string CFileReader::ReadLine(HANDLE file, int32_t length, int32_t& position) {
    std::string line;
    int32_t at = position;
    for (;;) {
        int c = ByteAt(file, length, at);
        if (c < 0) break;
        ++at;
        if (c == '\r' || c == '\n' || c == 0) {
            int next = ByteAt(file, length, at);
            if (next == '\r' || next == '\n') ++at;
            break;
        }
        line += char(c);
    }
    position = at;
    return line;
}

std::string CFileReader::ReadToken(HANDLE file, int32_t length, int32_t& position,
                                   const std::string& separators, bool skipSpaces,
                                   bool handleQuotes, bool returnQuotes) {
    std::string token;
    int32_t at = position;
    if (skipSpaces) {
        while (IsBlank(ByteAt(file, length, at)))
            ++at;
    }
    for (;;) {
        int c = ByteAt(file, length, at);
        if (c < 0) break;
        if (c == '"' && handleQuotes) {
            ++at;
            if (returnQuotes) token += '"';
            for (;;) {
                int q = ByteAt(file, length, at);
                if (q < 0 || q == '\r' || q == '\n' || q == 0) break;
                ++at;
                if (q == '"') {
                    if (returnQuotes) token += '"';
                    break;
                }
                token += char(q);
            }
            continue;
        }
        ++at;
        if (c == 0 || separators.find(char(c)) != std::string::npos) break;
        if (c == '\r' || c == '\n') {
            int next = ByteAt(file, length, at);
            if ((c == '\r' && next == '\n') || (c == '\n' && next == '\r')) ++at;
            break;
        }
        token += char(c);
    }
    if (skipSpaces) {
        while (!token.empty() && IsBlank(token.back()))
            token.pop_back();
    }
    position = at;
    return token;
}
