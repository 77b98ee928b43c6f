#include "classes/system/file_reader.h"

#include <algorithm>
#include <cstring>

#include "foundation/files/file_layer.h"

namespace {

constexpr uint32_t kUsualBufferSize = 4096;
uint32_t bufferSize = kUsualBufferSize;

constexpr std::array<char, 3> kLineEndBytes = {'\r', '\n', '\0'};

bool IsBlank(int c) {
    return c == ' ' || c == '\t';
}

} // namespace

void CFileReader::SetBufferSizeForTests(uint32_t size) {
    bufferSize = size != 0 ? size : kUsualBufferSize;
}

CFileReader::CFileReader() : buffer_(bufferSize) {}

bool CFileReader::Holds(int32_t offset) const {
    return count_ != 0 && offset >= start_ && offset - start_ < int32_t(count_);
}

bool CFileReader::Load(HANDLE file, int32_t offset) {
    count_ = 0;
    nextEnds_.fill(-1);
    if (FileSeek(file, uint32_t(offset)) != uint32_t(offset)) return false;
    int32_t read = FileReadRaw(file, buffer_.data(), uint32_t(buffer_.size()));
    if (read <= 0) return false;
    start_ = offset;
    count_ = uint32_t(read);
    return true;
}

int CFileReader::ByteAt(HANDLE file, int32_t length, int32_t offset) {
    if (offset < 0 || offset >= length) return -1;
    if (!Holds(offset) && !Load(file, offset)) return -1;
    return static_cast<unsigned char>(buffer_[size_t(offset - start_)]);
}

int32_t CFileReader::NextLineEnd(int32_t offset) {
    int32_t end = start_ + int32_t(count_);
    int32_t nearest = end;
    for (size_t i = 0; i < kLineEndBytes.size(); ++i) {
        // A remembered place stands while reading moves forward: nothing lay between.
        if (nextEnds_[i] < offset || offset < searchedFrom_[i]) {
            const char* from = buffer_.data() + (offset - start_);
            const void* found = std::memchr(from, kLineEndBytes[i], size_t(end - offset));
            nextEnds_[i] =
                found != nullptr ? offset + int32_t(static_cast<const char*>(found) - from) : end;
            searchedFrom_[i] = offset;
        }
        nearest = std::min(nearest, nextEnds_[i]);
    }
    return nearest;
}

std::string CFileReader::ReadLine(HANDLE file, int32_t length, int32_t& position) {
    std::string line;
    int32_t at = position;
    while (at >= 0 && at < length && (Holds(at) || Load(file, at))) {
        int32_t stop = std::min(NextLineEnd(at), length);
        line.append(buffer_.data() + (at - start_), size_t(stop - at));
        at = stop;
        if (stop < length && stop < start_ + int32_t(count_)) {
            int next = ByteAt(file, length, ++at);
            if (next == '\r' || next == '\n') ++at;
            break;
        }
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
