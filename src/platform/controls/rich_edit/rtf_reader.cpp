#include "platform/controls/rich_edit/rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform {

namespace {

enum class Destination : uint8_t { Text, FontTable, ColorTable, Skip };
enum class Capture : uint8_t { None, Picture, Object };

struct GroupState {
    Destination destination = Destination::Text;
    RichFormat format;
    RichAlign align = RichAlign::Left;
    int unicodeSkip = 1;
};

struct ColorEntry {
    uint32_t color = 0;
    bool automatic = true;
};

// Windows-1252's characters 0x80-0x9F as Unicode; 0 where the code page has none.
constexpr std::array<uint16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int ToWindows1252(int code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return code;
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] != 0 && kHighControls[i] == code) return static_cast<int>(0x80 + i);
    return -1;
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool SkippedDestination(std::string_view word) {
    static constexpr std::array<std::string_view, 23> kSkipped = {"pict",      "object",
                                                                  "nonshppict",
                                                                  "info",      "stylesheet",
                                                                  "header",    "footer",
                                                                  "headerl",   "headerr",
                                                                  "headerf",   "footerl",
                                                                  "footerr",   "footerf",
                                                                  "footnote",  "annotation",
                                                                  "xe",        "tc",
                                                                  "txe",       "rxe",
                                                                  "listtable", "revtbl",
                                                                  "fldinst",   "listoverridetable"};
    return std::find(kSkipped.begin(), kSkipped.end(), word) != kSkipped.end();
}

class Reader {
public:
    Reader(std::string_view data, const RichFormat& base) : data_(data), base_(base) {
        state_.format = base;
    }

    RichText Read() {
        while (position_ < data_.size() && !finished_) {
            char c = data_[position_++];
            if (capture_ != Capture::None) {
                CaptureChar(c);
                continue;
            }
            switch (c) {
            case '{':
                OpenGroup();
                break;
            case '}':
                CloseGroup();
                break;
            case '\\':
                Control();
                break;
            case '\r':
            case '\n':
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') Emit(c);
                break;
            }
        }
        return std::move(document_);
    }

private:
    void OpenGroup() {
        pendingSkip_ = 0;
        if (stack_.size() >= static_cast<size_t>(kRtfMaxDepth)) {
            ++overflow_;
            return;
        }
        stack_.push_back(state_);
    }

    void CloseGroup() {
        pendingSkip_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.empty()) {
            finished_ = true;
            return;
        }
        if (state_.destination == Destination::FontTable) EndFontName();
        state_ = stack_.back();
        stack_.pop_back();
        if (stack_.empty()) finished_ = true;
    }

    // One character of the current destination; an escaped ';' is part of a font's name.
    void Emit(char c, bool escaped = false) {
        if (c == '\0') return;
        switch (state_.destination) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (c == ';' && !escaped)
                EndFontName();
            else if (fontName_.size() < kRichFaceLength)
                fontName_.push_back(c);
            return;
        case Destination::ColorTable:
            if (c == ';') {
                colors_.push_back(color_);
                color_ = ColorEntry{};
            }
            return;
        case Destination::Text:
            break;
        }
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        document_.SetLastAlignment(state_.align);
        document_.Append(std::string_view(&c, 1), state_.format);
    }

    void EndFontName() {
        if (tableFont_ >= 0 && !fonts_.contains(tableFont_)) fonts_[tableFont_] = fontName_;
        tableFont_ = -1;
        fontName_.clear();
    }

    void Control() {
        wordStart_ = position_ - 1;
        std::string word;
        bool hasParameter = false;
        int value = 0;
        if (!ParseControl(word, hasParameter, value)) return;
        Word(word, hasParameter, value);
    }

    // After a backslash: a control word with its parameter, true; else the symbol is
    // handled (or, while capturing, passed over) and the answer is false.
    bool ParseControl(std::string& word, bool& hasParameter, int& value) {
        if (position_ >= data_.size()) return false;
        char c = data_[position_];
        if (!IsLetter(c)) {
            ++position_;
            if (capture_ == Capture::None)
                Symbol(c);
            else if (c == '\'')
                for (int i = 0; i < 2 && position_ < data_.size() && HexValue(data_[position_]) >= 0;
                     ++i)
                    ++position_;
            return false;
        }
        while (position_ < data_.size() && IsLetter(data_[position_])) {
            if (word.size() < 32) word.push_back(data_[position_]);
            ++position_;
        }
        bool negative = false;
        int64_t parameter = 0;
        if (position_ < data_.size() && data_[position_] == '-' && position_ + 1 < data_.size() &&
            IsDigit(data_[position_ + 1])) {
            negative = true;
            ++position_;
        }
        while (position_ < data_.size() && IsDigit(data_[position_])) {
            hasParameter = true;
            parameter = std::min<int64_t>(parameter * 10 + (data_[position_] - '0'), INT32_MAX);
            ++position_;
        }
        if (position_ < data_.size() && data_[position_] == ' ') ++position_;
        value = static_cast<int>(negative ? -parameter : parameter);
        return true;
    }

    // A picture or object group is read on its own, whatever the nesting around it, so that
    // it reads the same wherever it is written back: its words give its kind and size, its
    // hex digits or \binN bytes its data, and every group inside it is passed over.
    void BeginCapture(Capture capture) {
        capture_ = capture;
        captureStart_ = wordStart_;
        captureNesting_ = 0;
        captureKind_ = RichObjectKind::OtherPicture;
        captureSize_ = RichObjectSize{};
        captureData_.clear();
        nibble_ = -1;
    }

    void CaptureChar(char c) {
        switch (c) {
        case '{':
            ++captureNesting_;
            return;
        case '}':
            if (captureNesting_ > 0)
                --captureNesting_;
            else
                FinishCapture();
            return;
        case '\\': {
            std::string word;
            bool hasParameter = false;
            int value = 0;
            if (ParseControl(word, hasParameter, value)) CaptureWord(word, value);
            return;
        }
        default:
            break;
        }
        int digit = HexValue(c);
        if (captureNesting_ > 0 || capture_ != Capture::Picture || digit < 0) return;
        if (nibble_ < 0) {
            nibble_ = digit;
            return;
        }
        captureData_.push_back(static_cast<char>(nibble_ * 16 + digit));
        nibble_ = -1;
    }

    void CaptureWord(std::string_view word, int value) {
        if (word == "bin") {
            size_t count = std::min(static_cast<size_t>(std::max(value, 0)), data_.size() - position_);
            if (captureNesting_ == 0 && capture_ == Capture::Picture)
                captureData_.append(data_.substr(position_, count));
            position_ += count;
            return;
        }
        if (captureNesting_ > 0) return;
        RichObjectSize& size = captureSize_;
        if (capture_ == Capture::Object) {
            if (word == "objw") size.width = value;
            if (word == "objh") size.height = value;
            if (word == "objscalex") size.scaleX = value;
            if (word == "objscaley") size.scaleY = value;
            return;
        }
        if (word == "pngblip") captureKind_ = RichObjectKind::Png;
        if (word == "jpegblip") captureKind_ = RichObjectKind::Jpeg;
        if (word == "dibitmap") captureKind_ = RichObjectKind::Dib;
        if (word == "wbitmap" || word == "wmetafile" || word == "emfblip" ||
            word == "pmmetafile" || word == "macpict")
            captureKind_ = RichObjectKind::OtherPicture;
        if (word == "picw") size.width = value;
        if (word == "pich") size.height = value;
        if (word == "picwgoal") size.goalWidth = value;
        if (word == "pichgoal") size.goalHeight = value;
        if (word == "picscalex") size.scaleX = value;
        if (word == "picscaley") size.scaleY = value;
    }

    // The group is kept from its opening brace, whatever stood between that and the word
    // (formats of the group alone, or text already read) left out.
    void FinishCapture() {
        std::string group = "{";
        group.append(data_.substr(captureStart_, position_ - captureStart_));
        std::shared_ptr<const RichObject> object =
            capture_ == Capture::Picture
                ? MakeRichPicture(std::move(group), captureKind_, captureData_, captureSize_)
                : MakeRichEmbedded(std::move(group), captureSize_);
        capture_ = Capture::None;
        captureData_.clear();
        CloseGroup();
        if (state_.destination != Destination::Text) return;
        document_.SetLastAlignment(state_.align);
        document_.AppendObject(std::move(object), state_.format);
    }

    void Symbol(char c) {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Emit(c, true);
            break;
        case '~':
            Emit('\xA0');
            break;
        case '_':
            Emit('-');
            break;
        case '*':
            state_.destination = Destination::Skip;
            break;
        case '\'':
            Hex();
            break;
        case '\r':
        case '\n':
            Paragraph();
            break;
        default:
            break;
        }
    }

    void Hex() {
        int high = position_ < data_.size() ? HexValue(data_[position_]) : -1;
        if (high < 0) return;
        ++position_;
        int low = position_ < data_.size() ? HexValue(data_[position_]) : -1;
        if (low < 0) return;
        ++position_;
        char byte = static_cast<char>(high * 16 + low);
        if (byte == '\r' && state_.destination == Destination::Text)
            Paragraph();
        else
            Emit(byte, true);
    }

    void Paragraph() {
        if (state_.destination != Destination::Text) return;
        pendingSkip_ = 0;
        Emit('\r');
    }

    void Unicode(int value) {
        int code = value < 0 ? value + 65536 : value;
        int byte = ToWindows1252(code);
        if (byte < 0) {
            if (state_.unicodeSkip == 0) Emit('?');
            pendingSkip_ = 0;
            return;
        }
        pendingSkip_ = 0;
        if (byte == '\r')
            Paragraph();
        else
            Emit(static_cast<char>(byte));
        pendingSkip_ = state_.unicodeSkip;
    }

    void SetAlign(RichAlign align) {
        state_.align = align;
        if (state_.destination == Destination::Text) document_.SetLastAlignment(align);
    }

    RichFormat Plain() const {
        RichFormat format = base_;
        auto font = fonts_.find(defaultFont_);
        if (font != fonts_.end()) format.face = font->second;
        return format;
    }

    void Word(std::string_view word, bool hasParameter, int value) {
        if (word == "bin") {
            size_t count = static_cast<size_t>(std::max(value, 0));
            position_ += std::min(count, data_.size() - position_);
            return;
        }
        if (pendingSkip_ > 0 && state_.destination == Destination::Text) {
            --pendingSkip_;
            return;
        }
        bool on = !hasParameter || value != 0;
        RichFormat& format = state_.format;
        auto effect = [&](uint32_t bit, bool set) {
            format.effects = set ? format.effects | bit : format.effects & ~bit;
        };
        if (word == "fonttbl") {
            state_.destination = Destination::FontTable;
        } else if (word == "colortbl") {
            state_.destination = Destination::ColorTable;
        } else if ((word == "pict" || word == "object") &&
                   state_.destination == Destination::Text) {
            BeginCapture(word == "pict" ? Capture::Picture : Capture::Object);
        } else if (word == "shppict") {
            // The picture a newer reader shows; \nonshppict holds the same for older ones.
            if (overflow_ == 0 && !stack_.empty() &&
                stack_.back().destination == Destination::Text)
                state_.destination = Destination::Text;
        } else if (SkippedDestination(word)) {
            state_.destination = Destination::Skip;
        } else if (word == "red" || word == "green" || word == "blue") {
            uint32_t component = static_cast<uint32_t>(std::clamp(value, 0, 255));
            int shift = word == "red" ? 0 : word == "green" ? 8 : 16;
            color_.color = (color_.color & ~(0xFFu << shift)) | component << shift;
            color_.automatic = false;
        } else if (word == "deff") {
            defaultFont_ = value;
        } else if (word == "f") {
            if (state_.destination == Destination::FontTable) {
                EndFontName();
                tableFont_ = value;
                return;
            }
            auto font = fonts_.find(value);
            if (font != fonts_.end()) format.face = font->second;
        } else if (word == "b") {
            effect(CFE_BOLD, on);
        } else if (word == "i") {
            effect(CFE_ITALIC, on);
        } else if (word == "ul") {
            effect(CFE_UNDERLINE, on);
        } else if (word == "ulnone") {
            effect(CFE_UNDERLINE, false);
        } else if (word == "strike") {
            effect(CFE_STRIKEOUT, on);
        } else if (word == "fs") {
            format.height = (hasParameter ? std::clamp(value, 1, 3276) : 24) * 10;
        } else if (word == "cf") {
            bool known = value >= 0 && static_cast<size_t>(value) < colors_.size() &&
                         !colors_[static_cast<size_t>(value)].automatic;
            effect(CFE_AUTOCOLOR, !known);
            format.color = known ? colors_[static_cast<size_t>(value)].color : 0;
        } else if (word == "plain") {
            format = Plain();
        } else if (word == "pard") {
            SetAlign(RichAlign::Left);
        } else if (word == "ql") {
            SetAlign(RichAlign::Left);
        } else if (word == "qc") {
            SetAlign(RichAlign::Center);
        } else if (word == "qr") {
            SetAlign(RichAlign::Right);
        } else if (word == "par") {
            Paragraph();
        } else if (word == "line") {
            Emit('\v');
        } else if (word == "tab") {
            Emit('\t');
        } else if (word == "uc") {
            state_.unicodeSkip = std::clamp(value, 0, 255);
        } else if (word == "u" && hasParameter) {
            Unicode(value);
        }
    }

    std::string_view data_;
    size_t position_ = 0;
    RichFormat base_;
    GroupState state_;
    std::vector<GroupState> stack_;
    int overflow_ = 0;
    bool finished_ = false;
    int pendingSkip_ = 0;
    std::unordered_map<int, std::string> fonts_;
    int defaultFont_ = 0;
    int tableFont_ = -1;
    std::string fontName_;
    std::vector<ColorEntry> colors_;
    ColorEntry color_;
    RichText document_;
    size_t wordStart_ = 0;
    Capture capture_ = Capture::None;
    size_t captureStart_ = 0;
    int captureNesting_ = 0;
    RichObjectKind captureKind_ = RichObjectKind::OtherPicture;
    RichObjectSize captureSize_;
    std::string captureData_;
    int nibble_ = -1;
};

} // namespace

std::optional<RichText> ReadRtf(std::string_view data, const RichFormat& base) {
    if (!data.starts_with("{\\rtf")) return std::nullopt;
    return Reader(data, base).Read();
}

} // namespace platform
