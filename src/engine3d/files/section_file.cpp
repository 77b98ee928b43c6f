// Indexing and reading the sectioned text format, and writing it. The text comes from
// outside: tokens and lines are cut at fixed lengths, a hostile layout never moves the
// scan backwards past a header it already took, and numbers are converted without
// overflow.
#include "engine3d/files/section_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "engine3d/scene/key_track.h"
#include "foundation/streams/file_in_stream.h"
#include "foundation/streams/file_out_stream.h"

namespace {

constexpr uint32_t kHeaderSize = 256;
constexpr uint32_t kKeyNameSize = 255;

void CopyText(char* out, uint32_t size, const char* text) {
    if (out == nullptr || size == 0) return;
    const size_t n = std::min<size_t>(std::strlen(text), size - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int32_t ToInt(const char* text) {
    while (*text == ' ' || *text == '\t')
        ++text;
    bool negative = false;
    if (*text == '-' || *text == '+') negative = *text++ == '-';
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10 + uint32_t(*text - '0');
    return int32_t(negative ? 0u - value : value);
}

float ToFloat(const char* text) {
    while (*text == ' ' || *text == '\t')
        ++text;
    if (*text == '+') ++text;
    float value = 0;
    const char* end = text + std::strlen(text);
    if (std::from_chars(text, end, value).ec != std::errc()) return 0;
    return value;
}

// The numbers of a tuple, taken one after the other from its opening parenthesis.
class TupleScanner {
public:
    // Without an opening parenthesis every number is 0.
    explicit TupleScanner(const char* text) {
        const char* open = std::strchr(text, '(');
        open_ = open != nullptr ? open + 1 : text + std::strlen(text);
        cursor_ = open_;
    }
    // Later numbers are scanned from here on (past an animation's name).
    void Restart(const char* at) { open_ = cursor_ = at; }
    const char* Opening() const { return open_; }

    int32_t NextInt() {
        char run[SectionFile::kFieldSize];
        return Next(run, false) ? ToInt(run) : 0;
    }
    float NextFloat() {
        char run[SectionFile::kFieldSize];
        return Next(run, true) ? ToFloat(run) : 0;
    }

private:
    static bool IsNumberChar(char c, bool fraction) {
        return (c >= '0' && c <= '9') || c == '-' || (fraction && c == '.');
    }
    // A number the text ends inside is 0, and the scan starts over at the opening.
    bool Next(char* run, bool fraction) {
        const char* p = cursor_;
        while (*p != '\0' && !IsNumberChar(*p, fraction))
            ++p;
        size_t n = 0;
        for (; IsNumberChar(*p, fraction); ++p)
            if (n + 1 < SectionFile::kFieldSize) run[n++] = *p;
        run[n] = '\0';
        if (*p == '\0') {
            cursor_ = open_;
            return false;
        }
        cursor_ = p;
        return true;
    }

    const char* open_;
    const char* cursor_;
};

} // namespace

uint32_t HashName(const char* text) {
    uint32_t hash = 0;
    for (uint32_t i = 0; text[i] != '\0'; ++i)
        hash += i * uint32_t(int32_t(static_cast<signed char>(text[i])));
    return hash;
}

SectionFile::SectionFile(const char* path) {
    auto* stream = new CFileInStream;
    lastResult_ = path != nullptr ? stream->OpenFile(path) : kResultCannotOpen;
    if (lastResult_ != kResultOk) {
        delete stream;
        return;
    }
    stream_ = stream;
    ownsStream_ = true;
    Parse();
}

SectionFile::SectionFile(CInStream* stream) : stream_(stream) {
    if (stream_ != nullptr) Parse();
}

SectionFile::~SectionFile() {
    if (ownsStream_) delete stream_;
}

bool SectionFile::ReadChar(uint8_t& c) {
    lastResult_ = stream_->ReadByte(&c);
    return lastResult_ == kResultOk;
}

bool SectionFile::ReadToken(char* out, uint32_t size, uint32_t* start) {
    out[0] = '\0';
    uint8_t c = 0;
    if (!ReadChar(c)) return false;
    if (c == ' ' || c == '\r' || c == '\n') {
        do {
            if (!ReadChar(c)) return false;
        } while (c == ' ' || c == '\n');
    }
    if (start != nullptr) *start = stream_->Tell() - 1;
    uint32_t n = 0;
    while (c != ' ' && c != '\n') {
        if (c != '\r' && n + 1 < size) out[n++] = char(c);
        if (!ReadChar(c)) break;
    }
    out[n] = '\0';
    return true;
}

void SectionFile::Parse() {
    lastResult_ = kResultOk;
    uint8_t c = 0;
    while (ReadChar(c)) {
        if (c != '[') continue;
        char name[kHeaderSize];
        ReadToken(name, sizeof name);
        SectionRecord section{stream_->Tell(), 0, {}};
        size_t first = 0, length = std::strlen(name);
        while (first < length && IsWhite(name[first]))
            ++first;
        while (length > first && IsWhite(name[length - 1]))
            --length;
        if (length - first < 3) {
            if (lastResult_ == kResultOk) continue;
            break;
        }
        if (name[length - 1] == ']') --length;
        name[length] = '\0';
        section.hash = HashName(name + first);
        if (lastResult_ == kResultOk) ParseSection(section);
        sections_.push_back(std::move(section));
        if (lastResult_ != kResultOk) break;
    }
    if (lastResult_ == kResultEndOfData) {
        stream_->Seek(0, 0);
        lastResult_ = kResultOk;
    }
}

void SectionFile::ParseSection(SectionRecord& section) {
    char token[kKeyNameSize];
    if (!ReadToken(token, sizeof token)) return;
    uint32_t pendingPosition = stream_->Tell();
    uint32_t pendingHash = HashName(token);
    uint8_t previous = 0, current = 0;
    while (ReadChar(current)) {
        if (previous != '\r' || current != '\n') {
            previous = current;
            continue;
        }
        uint32_t start = 0;
        const bool more = ReadToken(token, sizeof token, &start);
        section.keys.push_back({pendingPosition, pendingHash});
        if (!more) return;
        pendingPosition = stream_->Tell();
        pendingHash = HashName(token);
        if (token[0] == '[') {
            // The next header is read again by the caller; never before this one.
            stream_->Seek(int32_t(std::max(start, section.position)), 0);
            return;
        }
        previous = 0;
    }
}

int SectionFile::FindSection(const char* name, int mode) {
    const uint32_t hash = HashName(name);
    const int64_t count = int64_t(sections_.size());
    int64_t found = -1;
    if (mode == kLast) {
        for (int64_t i = count - 1; i >= 0 && found < 0; --i)
            if (sections_[size_t(i)].hash == hash) found = i;
    } else {
        for (int64_t i = mode == kNext ? section_ + 1 : 0; i < count && found < 0; ++i)
            if (sections_[size_t(i)].hash == hash) found = i;
    }
    section_ = found;
    key_ = -1;
    if (found < 0) return 0;
    stream_->Seek(int32_t(sections_[size_t(found)].position), 0);
    return 1;
}

void SectionFile::FindKey(const char* name, int mode) {
    if (section_ < 0) return;
    const std::vector<KeyRecord>& keys = sections_[size_t(section_)].keys;
    const uint32_t hash = HashName(name);
    const int64_t count = int64_t(keys.size());
    int64_t found = -1;
    if (mode == kLast) {
        for (int64_t i = count - 1; i >= 0 && found < 0; --i)
            if (keys[size_t(i)].hash == hash) found = i;
    } else {
        for (int64_t i = mode == kNext ? key_ + 1 : 0; i < count && found < 0; ++i)
            if (keys[size_t(i)].hash == hash) found = i;
    }
    key_ = found;
    if (found >= 0) stream_->Seek(int32_t(keys[size_t(found)].position), 0);
}

bool SectionFile::Lookup(const char* key, int mode) {
    FindKey(key, mode);
    return HasCurrentKey();
}

bool SectionFile::ReadValueToken(char* out, uint32_t size) {
    char equals[kFieldSize];
    ReadToken(equals, sizeof equals);
    return ReadToken(out, size);
}

bool SectionFile::ReadValueLine(char* out, uint32_t size) {
    char equals[kFieldSize];
    out[0] = '\0';
    if (!ReadToken(equals, sizeof equals)) return false;
    uint32_t n = 0;
    uint8_t c = 0;
    while (ReadChar(c) && c != '\n')
        if (c != '\r' && n + 1 < size) out[n++] = char(c);
    out[n] = '\0';
    return true;
}

int32_t SectionFile::GetInt(const char* key, int32_t fallback, int mode) {
    if (!Lookup(key, mode)) return fallback;
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    return ToInt(value);
}

int32_t SectionFile::GetLong(const char* key, int32_t fallback, int mode) {
    return GetInt(key, fallback, mode);
}

float SectionFile::GetFloat(const char* key, float fallback, int mode) {
    if (!Lookup(key, mode)) return fallback;
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    return ToFloat(value);
}

float SectionFile::ReadNextFloat() {
    char value[kLineSize];
    ReadToken(value, sizeof value);
    return ToFloat(value);
}

void SectionFile::GetString(const char* key, char* out, uint32_t size, const char* fallback,
                            int mode) {
    if (!Lookup(key, mode)) {
        CopyText(out, size, fallback);
        return;
    }
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    CopyText(out, size, value);
}

void SectionFile::GetQuotedString(const char* key, char* out, uint32_t size, const char* fallback,
                                  int mode) {
    if (!Lookup(key, mode)) {
        CopyText(out, size, fallback);
        return;
    }
    char line[kLineSize];
    ReadValueLine(line, sizeof line);
    char text[kLineSize];
    size_t n = 0;
    const char* p = line;
    while (*p == ' ')
        ++p;
    for (; *p != '\0'; ++p)
        if (*p != '\'') text[n++] = *p;
    text[n] = '\0';
    CopyText(out, size, text);
}

uint32_t SectionFile::GetRGB(const char* key, uint32_t fallback, int mode) {
    if (!Lookup(key, mode)) return fallback;
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    TupleScanner scan(value);
    uint32_t colour = 0;
    for (int i = 0; i < 3; ++i)
        colour |= (uint32_t(scan.NextInt()) & 0xFF) << (8 * i);
    return colour;
}

void SectionFile::GetPos3D(const char* key, float* xyz, const float* fallback, int mode) {
    if (!Lookup(key, mode)) {
        std::copy_n(fallback, 3, xyz);
        return;
    }
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    TupleScanner scan(value);
    for (int i = 0; i < 3; ++i)
        xyz[i] = scan.NextFloat();
}

void SectionFile::GetRot3D(const char* key, float* xyz, const float* fallback, int mode) {
    GetPos3D(key, xyz, fallback, mode);
}

void SectionFile::GetRect(const char* key, int32_t* rect, const int32_t* fallback, int mode) {
    if (!Lookup(key, mode)) {
        std::copy_n(fallback, 4, rect);
        return;
    }
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    TupleScanner scan(value);
    const int32_t top = scan.NextInt();
    const int32_t bottom = scan.NextInt();
    const int32_t left = scan.NextInt();
    const int32_t right = scan.NextInt();
    rect[0] = left;
    rect[1] = top;
    rect[2] = right;
    rect[3] = bottom;
}

void SectionFile::GetP3DDef(const char* key, float* values, const float* fallback, bool all,
                            int mode) {
    if (!Lookup(key, mode)) {
        std::copy_n(fallback, 7, values);
        return;
    }
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    TupleScanner scan(value);
    for (int i = 0; i < 5; ++i)
        values[i] = scan.NextFloat();
    values[5] = all ? scan.NextFloat() : values[3];
    values[6] = all ? scan.NextFloat() : values[4];
}

int SectionFile::GetPolDef(const char* key, int32_t* indices, char* text, uint32_t size,
                           const int32_t* fallback, const char* fallbackText, int mode) {
    if (!Lookup(key, mode)) {
        std::copy_n(fallback, 4, indices);
        CopyText(text, size, fallbackText);
        return 0;
    }
    char line[kLineSize];
    ReadValueLine(line, sizeof line);
    TupleScanner scan(line);
    const char* open = scan.Opening();
    const int count = std::count(open, open + std::strlen(open), ',') >= 4 ? 4 : 3;
    for (int i = 0; i < count; ++i)
        indices[i] = scan.NextInt();
    // The text follows the last index's comma and runs to the closing parenthesis.
    const char* from = open;
    for (int commas = 0; commas < count && *from != '\0'; ++from)
        commas += *from == ',' ? 1 : 0;
    const char* to = std::strrchr(from, ')');
    if (to == nullptr) to = from + std::strlen(from);
    char name[kFieldSize];
    const size_t n = std::min<size_t>(size_t(to - from), sizeof name - 1);
    std::memcpy(name, from, n);
    name[n] = '\0';
    CopyText(text, size, name);
    return count;
}

void SectionFile::GetAnimDef(const char* key, char* name, int32_t* values, const char* fallbackName,
                             const int32_t* fallbackValues, int mode) {
    if (!Lookup(key, mode)) {
        CopyText(name, 16, fallbackName);
        std::copy_n(fallbackValues, 7, values);
        return;
    }
    char line[kLineSize];
    ReadValueLine(line, sizeof line);
    TupleScanner scan(line);
    const char* p = scan.Opening();
    size_t n = 0;
    for (; *p != '\0' && *p != ',' && *p != '(' && *p != ')'; ++p)
        if (n < 15) name[n++] = *p;
    name[n] = '\0';
    scan.Restart(p);
    for (int i = 0; i < 7; ++i)
        values[i] = scan.NextInt();
}

void SectionFile::GetTrackDef(const char* key, int32_t* values, const int32_t* fallback, int mode) {
    if (!Lookup(key, mode)) {
        std::copy_n(fallback, 2, values);
        return;
    }
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    TupleScanner scan(value);
    values[0] = scan.NextInt();
    values[1] = scan.NextInt();
}

void SectionFile::GetKeyDef(const char* key, LKey& out, const LKey& fallback, bool readCount,
                            int mode) {
    float* fields[6] = {&out.frame,      &out.tension, &out.bias,
                        &out.continuity, &out.easeTo,  &out.easeFrom};
    if (!Lookup(key, mode)) {
        const float defaults[6] = {fallback.frame,      fallback.tension, fallback.bias,
                                   fallback.continuity, fallback.easeTo,  fallback.easeFrom};
        for (int i = 0; i < 6; ++i)
            *fields[i] = defaults[i];
        out.elementCount = fallback.elementCount;
        return;
    }
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    TupleScanner scan(value);
    for (float* field : fields)
        *field = scan.NextFloat();
    out.elementCount = readCount ? uint32_t(scan.NextInt()) : fallback.elementCount;
}

void SectionFile::GetVec3D(const char* key, float* out, const float* fallback, int mode) {
    if (!Lookup(key, mode)) {
        std::copy_n(fallback, 4, out);
        return;
    }
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    TupleScanner scan(value);
    for (int i = 0; i < 3; ++i)
        out[i] = scan.NextFloat();
    out[3] = 0;
}

void SectionFile::GetQuat(const char* key, float* out, const float* fallback, int mode) {
    if (!Lookup(key, mode)) {
        std::copy_n(fallback, 4, out);
        return;
    }
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    TupleScanner scan(value);
    for (int i = 0; i < 4; ++i)
        out[i] = scan.NextFloat();
}

void SectionFile::GetMatrix(const char* key, float* out, const float* fallback, int mode) {
    if (!Lookup(key, mode)) {
        std::copy_n(fallback, 16, out);
        return;
    }
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    TupleScanner scan(value);
    std::fill(out, out + 16, 0.0f);
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 3; ++row)
            out[row * 4 + column] = scan.NextFloat();
}

void SectionFile::GetPMove(const char* key, LPointMove& out, const LPointMove& fallback, int mode) {
    if (!Lookup(key, mode)) {
        out = fallback;
        return;
    }
    char value[kLineSize];
    ReadValueToken(value, sizeof value);
    TupleScanner scan(value);
    out.index = uint32_t(scan.NextInt());
    for (float& v : out.values)
        v = scan.NextFloat();
}

SectionFileWriter::SectionFileWriter() = default;

SectionFileWriter::~SectionFileWriter() {
    Close();
}

ResultCode SectionFileWriter::Open(const char* path) {
    Close();
    auto* stream = new CFileOutStream;
    if (path == nullptr || stream->Create(path, 4096) != kResultOk) {
        delete stream;
        lastResult_ = kResultCannotOpen;
        return lastResult_;
    }
    stream_ = stream;
    lastResult_ = kResultOk;
    return lastResult_;
}

ResultCode SectionFileWriter::Close() {
    if (stream_ == nullptr) return lastResult_;
    const ResultCode flushed = stream_->Flush();
    if (lastResult_ == kResultOk) lastResult_ = flushed;
    delete stream_;
    stream_ = nullptr;
    return lastResult_;
}

void SectionFileWriter::WriteText(const char* text) {
    if (stream_ == nullptr) return;
    const ResultCode result = stream_->Write(text, uint32_t(std::strlen(text)));
    if (lastResult_ == kResultOk) lastResult_ = result;
}

void SectionFileWriter::WriteNewLine() {
    WriteText("\r\n");
}

void SectionFileWriter::WriteBlank() {
    WriteText(" ");
}

void SectionFileWriter::WriteLine(const char* text) {
    WriteText(text);
    WriteNewLine();
}

// Names and texts are written whole: the reader takes lines of any length.
void SectionFileWriter::WriteSection(const char* name) {
    WriteNewLine();
    WriteText("[");
    WriteText(name);
    WriteLine("]");
}

void SectionFileWriter::WriteFloat(const char* key, float value) {
    char line[260];
    std::snprintf(line, sizeof line, "%s = %5.5f", key, double(value));
    WriteLine(line);
}

void SectionFileWriter::WriteInt(const char* key, int32_t value) {
    char line[260];
    std::snprintf(line, sizeof line, "%s = %d", key, value);
    WriteLine(line);
}

void SectionFileWriter::WriteULong(const char* key, uint32_t value) {
    char line[260];
    std::snprintf(line, sizeof line, "%s = %u", key, value);
    WriteLine(line);
}

void SectionFileWriter::WriteString(const char* key, const char* value) {
    WriteText(key);
    WriteText(" = ");
    WriteLine(value);
}

void SectionFileWriter::WriteQuotedString(const char* key, const char* value) {
    WriteText(key);
    WriteText(" = '");
    WriteText(value);
    WriteLine("'");
}

void SectionFileWriter::WriteRGB(const char* key, uint32_t colour) {
    char tuple[260];
    std::snprintf(tuple, sizeof tuple, "RGB(%d,%d,%d)", int(colour & 0xFF),
                  int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
    WriteString(key, tuple);
}

void SectionFileWriter::WritePos3D(const char* key, float x, float y, float z) {
    char tuple[260];
    std::snprintf(tuple, sizeof tuple, "POS3D(%5.5f,%5.5f,%5.5f)", double(x), double(y), double(z));
    WriteString(key, tuple);
}

void SectionFileWriter::WriteRot3D(const char* key, float x, float y, float z) {
    char tuple[260];
    std::snprintf(tuple, sizeof tuple, "ROT3D(%5.5f,%5.5f,%5.5f)", double(x), double(y), double(z));
    WriteString(key, tuple);
}

void SectionFileWriter::WriteVec3D(const char* key, float x, float y, float z) {
    char tuple[260];
    std::snprintf(tuple, sizeof tuple, "VEC3D(%5.5f,%5.5f,%5.5f)", double(x), double(y), double(z));
    WriteString(key, tuple);
}

void SectionFileWriter::WriteRect(const char* key, const int32_t* rect) {
    char tuple[260];
    std::snprintf(tuple, sizeof tuple, "RECT(%d,%d,%d,%d)", rect[1], rect[3], rect[0], rect[2]);
    WriteString(key, tuple);
}

void SectionFileWriter::WriteP3DDef(const char* key, const float* v) {
    char line[260];
    std::snprintf(line, sizeof line, "%s = P3DDEF(%5.5f,%5.5f,%5.5f,%5.5f,%5.5f,%5.5f,%5.5f)", key,
                  double(v[0]), double(v[1]), double(v[2]), double(v[3]), double(v[4]),
                  double(v[5]), double(v[6]));
    WriteLine(line);
}

void SectionFileWriter::WritePolDef(const char* key, const int32_t* i, int count,
                                    const char* material) {
    char line[260];
    if (count == 4)
        std::snprintf(line, sizeof line, "%s = POLDEF(%d,%d,%d,%d,%s)", key, i[0], i[1], i[2], i[3],
                      material);
    else
        std::snprintf(line, sizeof line, "%s = POLDEF(%d,%d,%d,%s)", key, i[0], i[1], i[2],
                      material);
    WriteLine(line);
}

void SectionFileWriter::WriteAnimDef(const char* key, const char* name, const int32_t* v) {
    char line[260];
    std::snprintf(line, sizeof line, "%s = ANIMDEF(%s,%d,%d,%d,%d,%d,%d,%d)", key, name, v[0], v[1],
                  v[2], v[3], v[4], v[5], v[6]);
    WriteLine(line);
}

void SectionFileWriter::WriteTrackDef(const char* key, int32_t flags, int32_t count) {
    char line[260];
    std::snprintf(line, sizeof line, "%s = TRACKDEF(%d,%d)", key, flags, count);
    WriteLine(line);
}

void SectionFileWriter::WriteKeyDef(const char* key, const LKey& k) {
    char line[1024];
    std::snprintf(line, sizeof line, "%s = KEYDEF(%5.5f,%5.5f,%5.5f,%5.5f,%5.5f,%5.5f,%d)", key,
                  double(k.frame), double(k.tension), double(k.bias), double(k.continuity),
                  double(k.easeTo), double(k.easeFrom), int32_t(k.elementCount));
    WriteLine(line);
}

void SectionFileWriter::WriteVec3DKey(const char* key, const float* v) {
    char line[1024];
    std::snprintf(line, sizeof line, "%s = VEC3D(%5.5f,%5.5f,%5.5f)", key, double(v[0]),
                  double(v[1]), double(v[2]));
    WriteLine(line);
}

void SectionFileWriter::WriteQuat(const char* key, const float* q) {
    char line[1024];
    std::snprintf(line, sizeof line, "%s = QUAT(%5.5f,%5.5f,%5.5f,%5.5f)", key, double(q[0]),
                  double(q[1]), double(q[2]), double(q[3]));
    WriteLine(line);
}

void SectionFileWriter::WriteMatrix(const char* key, const float* m) {
    char line[1024];
    int n = std::snprintf(line, sizeof line, "%s = MATTR(", key);
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 3; ++row)
            if (n >= 0 && size_t(n) < sizeof line)
                n += std::snprintf(line + n, sizeof line - size_t(n), "%s%5.5f",
                                   column + row == 0 ? "" : ",", double(m[row * 4 + column]));
    if (n >= 0 && size_t(n) < sizeof line) std::snprintf(line + n, sizeof line - size_t(n), ")");
    WriteLine(line);
}

void SectionFileWriter::WritePMove(const char* key, const LPointMove& move) {
    char line[1024];
    const float* v = move.values;
    std::snprintf(line, sizeof line, "%s = PMOVE(%d,%5.5f,%5.5f,%5.5f,%5.5f,%5.5f)", key,
                  int32_t(move.index), double(v[0]), double(v[1]), double(v[2]), double(v[3]),
                  double(v[4]));
    WriteLine(line);
}
