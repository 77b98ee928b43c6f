#include "packer/manifest.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "packer/author_text.h"
#include "packer/class_list.h"
#include "packer/image_probe.h"
#include "packer/manifest_line.h"
#include "script/project/project_format.h"

namespace fs = std::filesystem;
namespace pf = project_format;

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool ReadWholeFile(const fs::path& path, std::vector<uint8_t>& bytes) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    const uintmax_t size = fs::file_size(path, ec);
    if (ec || size > UINT32_MAX) return false;
    std::ifstream in(path, std::ios::binary);
    bytes.resize(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    return in.good() || (size == 0 && in.is_open());
}

struct BankTypeName {
    const char* word;
    uint32_t type;
};

constexpr BankTypeName kBankTypes[] = {
    {"image", pf::kImageBank},   {"animation", pf::kAnimationBank}, {"sound", pf::kSoundBank},
    {"music", pf::kMusicBank},   {"string", pf::kStringBank},       {"3d", pf::k3DBank},
    {"binary", pf::kBinaryBank},
};

// The words after a line's fixed arguments: key=value options and bare flags.
class Options {
public:
    bool Parse(const std::vector<std::string>& words, size_t first,
               const std::vector<std::string>& keys, const std::vector<std::string>& flags,
               std::string& error) {
        for (size_t i = first; i < words.size(); ++i) {
            const std::string& word = words[i];
            const size_t eq = word.find('=');
            const std::string key = word.substr(0, eq);
            const auto& allowed = eq == std::string::npos ? flags : keys;
            if (std::none_of(allowed.begin(), allowed.end(),
                             [&](const std::string& k) { return key == k; })) {
                error = "unknown option '" + word + "'";
                return false;
            }
            if (values_.count(key) != 0 || flags_.count(key) != 0) {
                error = "option '" + key + "' given twice";
                return false;
            }
            if (eq == std::string::npos) {
                flags_.insert(key);
            } else {
                values_[key] = word.substr(eq + 1);
            }
        }
        return true;
    }
    bool Flag(const char* name) const { return flags_.count(name) != 0; }
    const std::string* Value(const char* key) const {
        const auto it = values_.find(key);
        return it == values_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
};

class ManifestParser {
public:
    ManifestParser(const std::string& displayName, const std::string& baseDir, PackProject& project)
        : displayName_(displayName), baseDir_(baseDir), project_(project) {}

    bool Parse(std::string_view text, std::string& error);

private:
    bool Line(const std::vector<std::string>& words);
    bool Classes(const std::vector<std::string>& words);
    bool Entry(const std::vector<std::string>& words);
    bool EntryProperty(const std::string& keyword, const std::vector<std::string>& words);
    bool Module(const std::vector<std::string>& words);
    bool Bank(const std::vector<std::string>& words);
    bool FileElement(const std::vector<std::string>& words);
    bool TextElement(const std::vector<std::string>& words);
    bool RawImage(const std::vector<std::string>& words);
    bool AddElement(PackBank& bank, PackElement element);
    bool CommonElementOptions(const Options& options, const std::string& path,
                              PackElement& element);

    bool Fail(const std::string& message) {
        error_ = message;
        return false;
    }
    // A failure inside a file the manifest names, placed in that file instead.
    bool FailInFile(const std::string& name, size_t line, const std::string& message) {
        error_ = (fs::path(baseDir_) / name).string() + ":" + std::to_string(line) + ": " + message;
        errorIsPlaced_ = true;
        return false;
    }
    // A name or text of the manifest in the player's character set.
    bool ToPlayerText(std::string& text, const std::string& what);
    // A script file's text in the player's character set.
    bool SourceToPlayerText(const std::string& name, std::vector<uint8_t>& bytes);
    bool Arguments(const std::vector<std::string>& words, size_t least, size_t most,
                   const char* usage);
    bool Number(const std::string& text, uint64_t max, const char* what, uint64_t& value);
    bool OptionNumber(const Options& options, const char* key, uint64_t max, uint64_t& value);
    // Sets `value` when the option is given.
    bool OptionU16(const Options& options, const char* key, uint16_t& value);
    bool LoadFile(const std::string& name, std::vector<uint8_t>& bytes);
    bool LoadPalette(const std::string& name, PackPalette& palette);
    bool CheckName(const std::string& name, const char* what);
    PackEntry* CurrentEntry() {
        return project_.entries.empty() ? nullptr : &project_.entries.back();
    }
    PackBank& CurrentBank() { return BankOfType(*CurrentEntry(), *bankType_); }

    const std::string& displayName_;
    const std::string& baseDir_;
    PackProject& project_;
    std::string error_;
    bool errorIsPlaced_ = false;
    // Whether the manifest's names and texts are UTF-8 (see packer/author_text.h).
    bool utf8_ = false;
    std::vector<std::string> classes_;
    bool classesGiven_ = false;
    // The bank that element lines go to: the last `bank` line of the current entry.
    std::optional<uint32_t> bankType_;
};

bool ManifestParser::Parse(std::string_view text, std::string& error) {
    project_ = PackProject{};
    // Editors may start a UTF-8 file with a byte-order mark.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    utf8_ = IsValidUtf8(text);
    size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        std::vector<std::string> words;
        if (!SplitManifestLine(line, words, error_) || (!words.empty() && !Line(words))) {
            error = errorIsPlaced_
                        ? error_
                        : displayName_ + ":" + std::to_string(lineNumber) + ": " + error_;
            return false;
        }
    }
    if (project_.entries.empty()) {
        error = displayName_ + ": no application entry (add an 'entry NAME' line)";
        return false;
    }
    const bool anyModule =
        std::any_of(project_.entries.begin(), project_.entries.end(), [](const PackEntry& entry) {
            return std::any_of(entry.banks.begin(), entry.banks.end(), [](const PackBank& b) {
                return b.type == pf::kSourceBank && !b.elements.empty();
            });
        });
    if (!anyModule) {
        error = displayName_ + ": no script module (add a 'module FILE' line)";
        return false;
    }
    project_.classes = classesGiven_ ? classes_ : BuiltinClassList();
    return true;
}

bool ManifestParser::Line(const std::vector<std::string>& words) {
    const std::string& keyword = words[0];
    if (keyword == "classes") return Classes(words);
    if (keyword == "entry") return Entry(words);
    if (CurrentEntry() == nullptr) {
        return Fail("'" + keyword + "' outside an entry (start one with 'entry NAME')");
    }
    if (keyword == "module") return Module(words);
    if (keyword == "bank") return Bank(words);
    if (keyword == "file" || keyword == "text" || keyword == "raw") {
        if (!bankType_)
            return Fail("'" + keyword + "' outside a bank (start one with 'bank TYPE NAME')");
        if (keyword == "file") return FileElement(words);
        if (keyword == "text") return TextElement(words);
        return RawImage(words);
    }
    return EntryProperty(keyword, words);
}

bool ManifestParser::Arguments(const std::vector<std::string>& words, size_t least, size_t most,
                               const char* usage) {
    const size_t count = words.size() - 1;
    if (count >= least && count <= most) return true;
    return Fail(std::string("usage: ") + usage);
}

bool ManifestParser::Number(const std::string& text, uint64_t max, const char* what,
                            uint64_t& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (text.empty() || ec != std::errc{} || end != last) {
        return Fail(std::string(what) + ": '" + text + "' is not a number");
    }
    if (value > max) {
        return Fail(std::string(what) + ": " + text + " is above " + std::to_string(max));
    }
    return true;
}

bool ManifestParser::OptionNumber(const Options& options, const char* key, uint64_t max,
                                  uint64_t& value) {
    const std::string* text = options.Value(key);
    return text == nullptr || Number(*text, max, key, value);
}

bool ManifestParser::OptionU16(const Options& options, const char* key, uint16_t& value) {
    uint64_t number = value;
    if (!OptionNumber(options, key, UINT16_MAX, number)) return false;
    value = static_cast<uint16_t>(number);
    return true;
}

bool ManifestParser::LoadFile(const std::string& name, std::vector<uint8_t>& bytes) {
    if (name.empty()) return Fail("empty file name");
    const fs::path path = fs::path(baseDir_) / name;
    std::error_code ec;
    if (fs::file_size(path, ec) > UINT32_MAX && !ec)
        return Fail("'" + name + "' is larger than 4 GB");
    if (!ReadWholeFile(path, bytes)) return Fail("cannot read '" + name + "'");
    return true;
}

bool ManifestParser::ToPlayerText(std::string& text, const std::string& what) {
    UnmappableCharacter failure;
    if (!utf8_ || Utf8ToWindows1252(text, failure)) return true;
    return Fail(what + " holds " + DescribeCharacter(failure.codePoint) +
                ", which Windows-1252 cannot hold");
}

bool ManifestParser::SourceToPlayerText(const std::string& name, std::vector<uint8_t>& bytes) {
    std::string text(bytes.begin(), bytes.end());
    UnmappableCharacter failure;
    if (!FileTextToWindows1252(text, failure)) {
        return FailInFile(name, failure.line,
                          DescribeCharacter(failure.codePoint) +
                              " cannot be written in Windows-1252, the player's character set");
    }
    bytes.assign(text.begin(), text.end());
    return true;
}

bool ManifestParser::LoadPalette(const std::string& name, PackPalette& palette) {
    std::vector<uint8_t> bytes;
    if (!LoadFile(name, bytes)) return false;
    if (bytes.size() != palette.size()) {
        return Fail("palette '" + name + "' must be 1024 bytes (256 x blue, green, red, 0)");
    }
    std::copy(bytes.begin(), bytes.end(), palette.begin());
    return true;
}

// A ':' would make the name look like a full element name to the player's lookups.
bool ManifestParser::CheckName(const std::string& name, const char* what) {
    if (name.size() > 0xFFFF) return Fail(std::string(what) + " is longer than 65535 bytes");
    if (name.find(':') != std::string::npos || name.find('\0') != std::string::npos) {
        return Fail(std::string(what) + " '" + name + "' must not contain ':'");
    }
    return true;
}

bool ManifestParser::Classes(const std::vector<std::string>& words) {
    if (!project_.entries.empty()) return Fail("'classes' must come before the first entry");
    if (!Arguments(words, 1, SIZE_MAX, "classes all | classes NAME...")) return false;
    classesGiven_ = true;
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& name = words[i];
        if (name == "all") {
            for (const std::string& builtin : BuiltinClassList()) {
                if (std::find(classes_.begin(), classes_.end(), builtin) == classes_.end()) {
                    classes_.push_back(builtin);
                }
            }
            continue;
        }
        if (!IsBuiltinClassName(name)) return Fail("unknown class '" + name + "'");
        if (std::find(classes_.begin(), classes_.end(), name) == classes_.end()) {
            classes_.push_back(name);
        }
    }
    return true;
}

bool ManifestParser::Entry(const std::vector<std::string>& words) {
    if (!Arguments(words, 1, 1, "entry NAME")) return false;
    std::string name = words[1];
    if (name.empty()) return Fail("an entry needs a name");
    if (!ToPlayerText(name, "entry name '" + words[1] + "'")) return false;
    if (!CheckName(name, "entry name")) return false;
    for (const PackEntry& entry : project_.entries) {
        if (SameName(entry.name, name)) return Fail("entry '" + words[1] + "' is listed twice");
    }
    PackEntry& entry = project_.entries.emplace_back();
    entry.name = name;
    BankOfType(entry, pf::kSourceBank);
    bankType_.reset();
    return true;
}

bool ManifestParser::EntryProperty(const std::string& keyword,
                                   const std::vector<std::string>& words) {
    PackEntry& entry = *CurrentEntry();
    uint64_t value = 0;
    if (keyword == "cpu-share") {
        if (!Arguments(words, 1, 1, "cpu-share 0..100")) return false;
        if (!Number(words[1], 100, "cpu-share", value)) return false;
        entry.cpuShare = static_cast<uint16_t>(value);
        return true;
    }
    if (keyword == "colour") {
        if (!Arguments(words, 1, 1, "colour 0xRRGGBB")) return false;
        if (!Number(words[1], UINT32_MAX, "colour", value)) return false;
        entry.colour = static_cast<uint32_t>(value);
        return true;
    }
    if (keyword == "palette") {
        if (!Arguments(words, 1, 1, "palette default | palette FILE")) return false;
        if (words[1] == "default") {
            entry.palette = DefaultPackPalette();
            return true;
        }
        return LoadPalette(words[1], entry.palette);
    }
    if (keyword == "use-palette") {
        if (!Arguments(words, 1, 1, "use-palette yes|no")) return false;
        if (words[1] != "yes" && words[1] != "no") return Fail("usage: use-palette yes|no");
        entry.flags = words[1] == "yes" ? entry.flags | 1u : entry.flags & ~1u;
        return true;
    }
    if (keyword == "init-source") {
        if (!Arguments(words, 1, 1, "init-source FILE")) return false;
        std::vector<uint8_t> bytes;
        if (!LoadFile(words[1], bytes) || !SourceToPlayerText(words[1], bytes)) return false;
        entry.initialSource = std::string(bytes.begin(), bytes.end());
        return true;
    }
    if (keyword == "game-input") {
        const char* usage = "game-input on|off [SETTINGS_FILE] [auto-start] [default=N]";
        if (!Arguments(words, 1, 4, usage)) return false;
        if (words[1] != "on" && words[1] != "off") return Fail(std::string("usage: ") + usage);
        PackGameInput input;
        input.flag = words[1] == "on" ? 1 : 0;
        size_t first = 2;
        if (words.size() > 2 && words[2] != "auto-start" && words[2].rfind("default=", 0) != 0) {
            std::vector<uint8_t> bytes;
            if (!LoadFile(words[2], bytes)) return false;
            input.settings.assign(bytes.begin(), bytes.end());
            first = 3;
        }
        Options options;
        if (!options.Parse(words, first, {"default"}, {"auto-start"}, error_)) return false;
        input.autoStart = options.Flag("auto-start") ? 1 : 0;
        uint64_t defaultSetting = 0;
        if (!OptionNumber(options, "default", UINT32_MAX, defaultSetting)) return false;
        input.defaultSetting = static_cast<uint32_t>(defaultSetting);
        entry.gameInput = std::move(input);
        return true;
    }
    return Fail("unknown keyword '" + keyword + "'");
}

bool ManifestParser::CommonElementOptions(const Options& options, const std::string& path,
                                          PackElement& element) {
    const std::string* name = options.Value("name");
    element.name = name != nullptr ? *name : fs::path(path).filename().string();
    if (element.name.empty()) return Fail("an element needs a name");
    const std::string* folder = options.Value("folder");
    if (folder != nullptr) element.folder = *folder;
    element.packed = options.Flag("packed");
    return ToPlayerText(element.name, "element name '" + element.name + "'") &&
           ToPlayerText(element.folder, "folder name '" + element.folder + "'") &&
           CheckName(element.name, "element name") && CheckName(element.folder, "folder name");
}

bool ManifestParser::AddElement(PackBank& bank, PackElement element) {
    for (const PackElement& other : bank.elements) {
        if (SameName(other.name, element.name) && SameName(other.folder, element.folder)) {
            return Fail("element '" + element.name + "' is listed twice in bank '" + bank.name +
                        "'");
        }
    }
    bank.elements.push_back(std::move(element));
    return true;
}

bool ManifestParser::Module(const std::vector<std::string>& words) {
    if (!Arguments(words, 1, 4, "module FILE [name=NAME] [folder=FOLDER] [packed]")) return false;
    Options options;
    if (!options.Parse(words, 2, {"name", "folder"}, {"packed"}, error_)) return false;
    PackElement element;
    if (!CommonElementOptions(options, words[1], element) || !LoadFile(words[1], element.data) ||
        !SourceToPlayerText(words[1], element.data)) {
        return false;
    }
    return AddElement(BankOfType(*CurrentEntry(), pf::kSourceBank), std::move(element));
}

bool ManifestParser::Bank(const std::vector<std::string>& words) {
    if (!Arguments(words, 1, 2, "bank TYPE [NAME]")) return false;
    const auto* found = std::find_if(std::begin(kBankTypes), std::end(kBankTypes),
                                     [&](const BankTypeName& t) { return words[1] == t.word; });
    if (words[1] == "source") return Fail("script modules are listed with 'module FILE' lines");
    if (found == std::end(kBankTypes)) {
        return Fail("unknown bank type '" + words[1] +
                    "' (image, animation, sound, music, string, 3d or binary)");
    }
    PackEntry& entry = *CurrentEntry();
    std::string name = words.size() == 3 ? words[2] : DefaultBankName(found->type);
    if (name.empty()) return Fail("a bank needs a name");
    if (!ToPlayerText(name, "bank name '" + name + "'")) return false;
    if (name.size() > pf::kMaxBankNameLength) return Fail("bank name longer than 275 bytes");
    if (!CheckName(name, "bank name")) return false;
    for (const PackBank& bank : entry.banks) {
        if (bank.type == found->type) {
            return Fail("entry '" + entry.name + "' already has a bank of type " + words[1]);
        }
    }
    // Every type below gets a bank when the project is written: the usual names of
    // those must stay free too.
    for (uint32_t type = 0; type <= pf::kBinaryBank; ++type) {
        const auto other = std::find_if(entry.banks.begin(), entry.banks.end(),
                                        [type](const PackBank& b) { return b.type == type; });
        const std::string used = other != entry.banks.end() ? other->name : DefaultBankName(type);
        if (type != found->type && SameName(used, name)) {
            return Fail("bank name '" + name + "' is already used in entry '" + entry.name + "'");
        }
    }
    bankType_ = found->type;
    CurrentBank().name = name;
    return true;
}

bool ManifestParser::FileElement(const std::vector<std::string>& words) {
    const bool image = CurrentBank().type == pf::kImageBank;
    const bool animation = CurrentBank().type == pf::kAnimationBank;
    if (!Arguments(words, 1, 6, "file PATH [name=NAME] [folder=FOLDER] [packed]")) return false;
    std::vector<std::string> keys = {"name", "folder"};
    if (animation) keys.insert(keys.end(), {"field1", "field2"});
    if (image) keys.insert(keys.end(), {"x", "y"});
    const std::vector<std::string> flags =
        image ? std::vector<std::string>{} : std::vector<std::string>{"packed"};
    Options options;
    if (!options.Parse(words, 2, keys, flags, error_)) return false;
    PackElement element;
    if (!CommonElementOptions(options, words[1], element) || !LoadFile(words[1], element.data)) {
        return false;
    }
    if (!OptionU16(options, "field1", element.field1) ||
        !OptionU16(options, "field2", element.field2) || !OptionU16(options, "x", element.x) ||
        !OptionU16(options, "y", element.y)) {
        return false;
    }
    if (image) {
        ImageFileInfo info;
        std::string reason;
        if (!ProbeImageFile(element.data, info, reason)) {
            return Fail("'" + words[1] + "' is not an image file the player can read: " + reason);
        }
        element.kind = PackElement::Kind::ImageFile;
        element.width = static_cast<uint16_t>(info.width);
        element.height = static_cast<uint16_t>(info.height);
        element.depth = static_cast<uint16_t>(info.depth);
    }
    return AddElement(CurrentBank(), std::move(element));
}

bool ManifestParser::TextElement(const std::vector<std::string>& words) {
    if (CurrentBank().type == pf::kImageBank) return Fail("'text' does not suit an image bank");
    if (!Arguments(words, 2, 4, "text NAME \"TEXT\" [folder=FOLDER] [packed]")) return false;
    Options options;
    if (!options.Parse(words, 3, {"folder"}, {"packed"}, error_)) return false;
    PackElement element;
    element.name = words[1];
    if (element.name.empty()) return Fail("an element needs a name");
    if (const std::string* folder = options.Value("folder")) element.folder = *folder;
    element.packed = options.Flag("packed");
    std::string text = words[2];
    if (!ToPlayerText(element.name, "element name '" + words[1] + "'") ||
        !ToPlayerText(element.folder, "folder name '" + element.folder + "'") ||
        !ToPlayerText(text, "the text of '" + words[1] + "'") ||
        !CheckName(element.name, "element name") || !CheckName(element.folder, "folder name")) {
        return false;
    }
    element.data.assign(text.begin(), text.end());
    return AddElement(CurrentBank(), std::move(element));
}

bool ManifestParser::RawImage(const std::vector<std::string>& words) {
    if (CurrentBank().type != pf::kImageBank) return Fail("'raw' belongs in an image bank");
    if (!Arguments(words, 4, 12,
                   "raw PATH width=W height=H depth=D [name=NAME] [folder=FOLDER] [x=X] [y=Y] "
                   "[palette=FILE] [mask=FILE] [packed]")) {
        return false;
    }
    Options options;
    if (!options.Parse(words, 2,
                       {"name", "folder", "width", "height", "depth", "x", "y", "palette", "mask"},
                       {"packed"}, error_)) {
        return false;
    }
    PackElement element;
    element.kind = PackElement::Kind::RawImage;
    if (!CommonElementOptions(options, words[1], element)) return false;
    for (const char* key : {"width", "height", "depth"}) {
        if (options.Value(key) == nullptr) return Fail(std::string("'raw' needs ") + key + "=");
    }
    uint64_t width = 0, height = 0, depth = 0;
    if (!OptionNumber(options, "width", UINT16_MAX, width) ||
        !OptionNumber(options, "height", UINT16_MAX, height) ||
        !OptionNumber(options, "depth", 32, depth) || !OptionU16(options, "x", element.x) ||
        !OptionU16(options, "y", element.y)) {
        return false;
    }
    if (width == 0 || height == 0) return Fail("an image needs a width and a height above 0");
    if (!IsImageDepth(static_cast<uint32_t>(depth))) {
        return Fail("depth " + std::to_string(depth) + " is not one of 1, 4, 8, 15, 16, 24, 32");
    }
    element.width = static_cast<uint16_t>(width);
    element.height = static_cast<uint16_t>(height);
    element.depth = static_cast<uint16_t>(depth);

    std::vector<uint8_t> pixels;
    if (!LoadFile(words[1], pixels)) return false;
    // Rows may come padded to the surface pitch or tight; tight rows are padded here.
    const uint32_t pitch = SurfacePitch(element.width, element.depth);
    const uint64_t bits = depth == 15 ? 16 : depth;
    const uint64_t tight = (bits * width + 7) / 8;
    if (pixels.size() == uint64_t{pitch} * height) {
        element.data = std::move(pixels);
    } else if (pixels.size() == tight * height) {
        element.data.assign(uint64_t{pitch} * height, 0);
        for (uint64_t row = 0; row < height; ++row) {
            std::copy_n(pixels.begin() + static_cast<ptrdiff_t>(row * tight), tight,
                        element.data.begin() + static_cast<ptrdiff_t>(row * pitch));
        }
    } else {
        return Fail("'" + words[1] + "' holds " + std::to_string(pixels.size()) + " bytes; a " +
                    std::to_string(width) + " x " + std::to_string(height) + " image of depth " +
                    std::to_string(depth) + " needs " + std::to_string(uint64_t{pitch} * height) +
                    " (rows padded to 4 bytes) or " + std::to_string(tight * height));
    }

    if (const std::string* paletteFile = options.Value("palette")) {
        PackPalette palette{};
        if (!LoadPalette(*paletteFile, palette)) return false;
        std::vector<PackPalette>& table = CurrentBank().palettes;
        const auto same = std::find(table.begin(), table.end(), palette);
        element.paletteIndex = static_cast<uint32_t>(same - table.begin());
        if (same == table.end()) table.push_back(palette);
    }
    if (const std::string* maskFile = options.Value("mask")) {
        if (!LoadFile(*maskFile, element.mask)) return false;
        if (element.mask.size() != width * height) {
            return Fail("mask '" + *maskFile + "' must hold width x height bytes");
        }
    }
    return AddElement(CurrentBank(), std::move(element));
}

} // namespace

bool ParseManifest(std::string_view text, const std::string& displayName,
                   const std::string& baseDir, PackProject& project, std::string& error) {
    ManifestParser parser(displayName, baseDir, project);
    return parser.Parse(text, error);
}

bool ReadManifestFile(const std::string& projectDir, PackProject& project, std::string& error) {
    const fs::path path = fs::path(projectDir) / kManifestFileName;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) {
        error = path.string() + ": cannot read the manifest";
        return false;
    }
    const std::string text(bytes.begin(), bytes.end());
    return ParseManifest(text, path.string(), projectDir, project, error);
}
