// The sectioned text format of text worlds: "[NAME]" header lines, each followed by
// "key = value" lines, CR LF line ends. The reader indexes the stream once (positions and
// name hashes, never the names) and reads a value by seeking to its key; the writer
// spells every value type the way the reader takes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/memory/result_codes.h"

class CInStream;
class CFileOutStream;
struct LKey;
struct LPointMove;

// The sum of i times the i-th character (a signed byte), in 32-bit arithmetic. The first
// character weighs 0: names that differ only there are the same name to every lookup.
uint32_t HashName(const char* text);

class SectionFile {
public:
    // Lookup modes: from the first record, from the one after the current record (the
    // first when none is current), backwards from the last. Any other mode is kFirst.
    static constexpr int kFirst = 0;
    static constexpr int kNext = 2;
    static constexpr int kLast = 4;
    // Value lines and names are cut at these lengths, always terminated.
    static constexpr uint32_t kLineSize = 260;
    static constexpr uint32_t kFieldSize = 64;

    // Opens and indexes the file; one that cannot be opened gives an empty index and
    // kResultCannotOpen as the last result.
    explicit SectionFile(const char* path);
    // Indexes an open stream, which stays the caller's.
    explicit SectionFile(CInStream* stream);
    ~SectionFile();
    SectionFile(const SectionFile&) = delete;
    SectionFile& operator=(const SectionFile&) = delete;

    ResultCode LastResult() const { return lastResult_; }
    size_t SectionCount() const { return sections_.size(); }

    // 1 with the section current and the key none; 0 with neither current.
    int FindSection(const char* name, int mode);
    // Within the current section; the key becomes current, or none when not found.
    void FindKey(const char* name, int mode);
    bool HasCurrentKey() const { return key_ >= 0; }
    // The keys of the current section (0 without one): every item a count announces
    // needs a key line, so a count read from the file is never worth more.
    uint32_t CurrentKeyCount() const {
        return section_ >= 0 ? uint32_t(sections_[size_t(section_)].keys.size()) : 0;
    }

    // Each getter looks the key up with the mode and yields the default when it is absent.
    int32_t GetInt(const char* key, int32_t fallback, int mode);
    int32_t GetLong(const char* key, int32_t fallback, int mode);
    float GetFloat(const char* key, float fallback, int mode);
    // The word after '=' (it ends at a blank).
    void GetString(const char* key, char* out, uint32_t size, const char* fallback, int mode);
    // The rest of the line, leading blanks skipped, every quote and CR dropped.
    void GetQuotedString(const char* key, char* out, uint32_t size, const char* fallback, int mode);
    // RGB(r,g,b) as red in the low byte.
    uint32_t GetRGB(const char* key, uint32_t fallback, int mode);
    void GetPos3D(const char* key, float* xyz, const float* fallback, int mode);
    void GetRot3D(const char* key, float* xyz, const float* fallback, int mode);
    // RECT(top,bottom,left,right) into {left, top, right, bottom}.
    void GetRect(const char* key, int32_t* rect, const int32_t* fallback, int mode);
    // Five floats, then two more with `all`; else the last two repeat the fourth and fifth.
    void GetP3DDef(const char* key, float* values, const float* fallback, bool all, int mode);
    // Gives the number of integers read (3 or 4), 0 when the key is absent.
    int GetPolDef(const char* key, int32_t* indices, char* text, uint32_t size,
                  const int32_t* fallback, const char* fallbackText, int mode);
    // Name (15 characters and a NUL in 16 bytes), then seven integers.
    void GetAnimDef(const char* key, char* name, int32_t* values, const char* fallbackName,
                    const int32_t* fallbackValues, int mode);
    void GetTrackDef(const char* key, int32_t* values, const int32_t* fallback, int mode);
    // Frame and the five spline values; the point-move count only with `readCount`.
    void GetKeyDef(const char* key, LKey& out, const LKey& fallback, bool readCount, int mode);
    // x, y, z and w = 0.
    void GetVec3D(const char* key, float* out, const float* fallback, int mode);
    void GetQuat(const char* key, float* out, const float* fallback, int mode);
    // A 4x4 matrix (row-major) cleared, then its upper three rows column by column.
    void GetMatrix(const char* key, float* out, const float* fallback, int mode);
    void GetPMove(const char* key, LPointMove& out, const LPointMove& fallback, int mode);

    // The next token at the stream's position as a float, without a lookup.
    float ReadNextFloat();

private:
    struct KeyRecord {
        uint32_t position;
        uint32_t hash;
    };
    struct SectionRecord {
        uint32_t position;
        uint32_t hash;
        std::vector<KeyRecord> keys;
    };

    void Parse();
    void ParseSection(SectionRecord& section);
    // False at the end of the data or on a read error (kept as the last result).
    bool ReadChar(uint8_t& c);
    // A token: white space skipped, then characters up to a blank or an LF, CRs dropped.
    // Keeps at most size - 1 characters; the rest of the token is read and dropped.
    // Gives false when the data ended before any character of it.
    bool ReadToken(char* out, uint32_t size, uint32_t* start = nullptr);
    // Seeks to the current key and reads its value token (the one after '=').
    bool ReadValueToken(char* out, uint32_t size);
    // The rest of the key's line after '=' (CR and LF dropped).
    bool ReadValueLine(char* out, uint32_t size);
    bool Lookup(const char* key, int mode);

    CInStream* stream_ = nullptr;
    bool ownsStream_ = false;
    ResultCode lastResult_ = kResultOk;
    std::vector<SectionRecord> sections_;
    int64_t section_ = -1;
    int64_t key_ = -1;
};

class SectionFileWriter {
public:
    SectionFileWriter();
    ~SectionFileWriter();
    SectionFileWriter(const SectionFileWriter&) = delete;
    SectionFileWriter& operator=(const SectionFileWriter&) = delete;

    // Creates or truncates the file; kResultCannotOpen when it cannot be created.
    ResultCode Open(const char* path);
    ResultCode Close();

    // An empty line, then "[name]".
    void WriteSection(const char* name);
    void WriteFloat(const char* key, float value);
    void WriteInt(const char* key, int32_t value);
    void WriteULong(const char* key, uint32_t value);
    void WriteString(const char* key, const char* value);
    void WriteQuotedString(const char* key, const char* value);
    // Red in the low byte.
    void WriteRGB(const char* key, uint32_t colour);
    void WritePos3D(const char* key, float x, float y, float z);
    void WriteRot3D(const char* key, float x, float y, float z);
    void WriteVec3D(const char* key, float x, float y, float z);
    // {left, top, right, bottom}, written as top, bottom, left, right.
    void WriteRect(const char* key, const int32_t* rect);
    void WriteP3DDef(const char* key, const float* values);
    // Three or four indices.
    void WritePolDef(const char* key, const int32_t* indices, int count, const char* material);
    void WriteAnimDef(const char* key, const char* name, const int32_t* values);
    void WriteTrackDef(const char* key, int32_t flags, int32_t count);
    void WriteKeyDef(const char* key, const LKey& value);
    void WriteVec3DKey(const char* key, const float* xyz);
    void WriteQuat(const char* key, const float* q);
    void WriteMatrix(const char* key, const float* m);
    void WritePMove(const char* key, const LPointMove& move);

    void WriteText(const char* text);
    void WriteNewLine();
    void WriteBlank();

    ResultCode LastResult() const { return lastResult_; }

private:
    void WriteLine(const char* text);

    CFileOutStream* stream_ = nullptr;
    ResultCode lastResult_ = kResultOk;
};
