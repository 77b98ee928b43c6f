// The document of a rich edit: Windows-1252 text whose paragraphs end in one '\r' (a '\v'
// breaks a line inside a paragraph), the character formats as runs over it, and one
// alignment per paragraph. A run may hold a picture or object: each of its characters is
// one copy of it. Plain data, usable without a window: the RTF reader and writer
// work on it, and the control keeps one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/controls/rich_edit/rich_object.h"

// Character effects (CHARFORMAT's dwEffects) and the mask bits saying which members count.
inline constexpr uint32_t CFE_BOLD = 0x1;
inline constexpr uint32_t CFE_ITALIC = 0x2;
inline constexpr uint32_t CFE_UNDERLINE = 0x4;
inline constexpr uint32_t CFE_STRIKEOUT = 0x8;
inline constexpr uint32_t CFE_LINK = 0x20;
inline constexpr uint32_t CFE_AUTOCOLOR = 0x40000000;
inline constexpr uint32_t CFM_BOLD = 0x1;
inline constexpr uint32_t CFM_ITALIC = 0x2;
inline constexpr uint32_t CFM_UNDERLINE = 0x4;
inline constexpr uint32_t CFM_STRIKEOUT = 0x8;
inline constexpr uint32_t CFM_LINK = 0x20;
inline constexpr uint32_t CFM_FACE = 0x20000000;
inline constexpr uint32_t CFM_COLOR = 0x40000000;
inline constexpr uint32_t CFM_SIZE = 0x80000000;
inline constexpr uint32_t kRichEffectMask =
    CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_LINK;
// A face name holds at most this many characters (CHARFORMAT's 32 bytes with the zero).
inline constexpr size_t kRichFaceLength = 31;

namespace platform {

struct RichFormat {
    uint32_t effects = CFE_AUTOCOLOR;
    int32_t height = 200; // twips
    uint32_t color = 0;   // COLORREF, used without CFE_AUTOCOLOR
    std::string face = "Arial";
    bool operator==(const RichFormat&) const = default;
};

enum class RichAlign : uint8_t { Left, Center, Right };

struct RichRun {
    RichRun(int count = 0, RichFormat shown = {}, std::shared_ptr<const RichObject> held = nullptr)
        : length(count), format(std::move(shown)), object(std::move(held)) {}

    int length = 0;
    RichFormat format;
    std::shared_ptr<const RichObject> object;
    bool operator==(const RichRun& other) const {
        return length == other.length && format == other.format && SameObject(other);
    }
    bool SameObject(const RichRun& other) const {
        return object == other.object || (object && other.object && *object == *other.object);
    }
};

class RichText {
public:
    const std::string& Text() const { return text_; }
    int Length() const { return static_cast<int>(text_.size()); }
    // Adjacent runs always differ and none is empty.
    const std::vector<RichRun>& Runs() const { return runs_; }
    // One per paragraph, the last one included.
    const std::vector<RichAlign>& Alignments() const { return aligns_; }

    // The format of the character at `position`; at the end, the last character's; in an
    // empty document, `empty`.
    RichFormat FormatAt(int position, const RichFormat& empty) const;
    int ParagraphOf(int position) const;
    int ParagraphStart(int paragraph) const;

    // Adds text in one format at the end; a '\r' in it starts a paragraph aligned as the
    // one it ends.
    void Append(std::string_view text, const RichFormat& format);
    void AppendObject(std::shared_ptr<const RichObject> object, const RichFormat& format);
    void SetLastAlignment(RichAlign align) { aligns_.back() = align; }
    // Replaces [start, end) by `with`; the paragraphs it brings keep their alignments, the
    // last one taking the alignment of the paragraph it joins.
    void Replace(int start, int end, const RichText& with);
    // [start, end) as a document of its own.
    RichText Slice(int start, int end) const;
    // Sets the members `mask` names on [start, end).
    void Format(int start, int end, uint32_t mask, const RichFormat& format);
    // Aligns every paragraph that [start, end] touches.
    void Align(int start, int end, RichAlign align);

    bool operator==(const RichText&) const = default;

private:
    // Splits the run holding `position` there; returns the index of the run starting at it.
    size_t SplitAt(int position);
    void AppendRun(std::string_view text, const RichRun& like);
    void Normalise();

    std::string text_;
    std::vector<RichRun> runs_;
    std::vector<RichAlign> aligns_{RichAlign::Left};
};

// Applies the members `mask` names from `from` onto `to`.
void MergeFormat(RichFormat& to, uint32_t mask, const RichFormat& from);

} // namespace platform
