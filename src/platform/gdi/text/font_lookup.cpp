#include "platform/gdi/text/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/kernel/cp1252.h"
#include "platform/libraries/lazy_library.h"

namespace platform {
namespace {

constexpr std::string_view SANS = "Liberation Sans";
constexpr std::string_view SERIF = "Liberation Serif";
constexpr std::string_view MONO = "Liberation Mono";

struct FaceEntry {
    std::string_view face;
    std::string_view family;
};

constexpr std::array<FaceEntry, 7> FACE_TABLE{{
    {"Arial", SANS},
    {"Times New Roman", SERIF},
    {"Courier New", MONO},
    {"MS Sans Serif", SANS},
    {"MS Shell Dlg", SANS},
    {"System", SANS},
    {"Tahoma", SANS},
}};

bool SameFamily(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// What a lookup depends on: family, the generic family, bold, italic, fixed pitch.
using Key = std::tuple<std::string, std::string_view, bool, bool, bool>;

struct FontSet {
    std::mutex lock;
    FcConfig* config = nullptr; // null until the first lookup
    std::string configFile;     // empty: the system's configuration
    std::map<Key, FontFile> answers;
    unsigned generation = 0;

    FcConfig* ConfigLocked() {
        if (config != nullptr || !Require(LazyLibrary::Fontconfig)) return config;
        if (configFile.empty()) {
            config = FcInitLoadConfigAndFonts();
        } else {
            config = FcConfigCreate();
            if (config != nullptr &&
                (!FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(configFile.c_str()),
                                       FcTrue) ||
                 !FcConfigBuildFonts(config))) {
                FcConfigDestroy(config);
                config = nullptr;
            }
        }
        return config;
    }
};

// Never destroyed: fonts may be looked up while statics are torn down. Its configuration
// is let go at exit all the same, since fontconfig keeps parts of it where leak checkers
// cannot see them held (one made again during the teardown lives on).
FontSet& Fonts() {
    static auto* fonts = new FontSet;
    static struct ReleaseAtExit {
        ~ReleaseAtExit() {
            std::lock_guard guard(fonts->lock);
            if (fonts->config != nullptr) FcConfigDestroy(fonts->config);
            fonts->config = nullptr;
        }
    } release;
    return *fonts;
}

struct Match {
    FontFile file;
    bool familyMatched = false;
};

Match AskFontconfig(FcConfig* config, std::string_view family, bool bold, bool italic, bool fixed) {
    Match match;
    FcPattern* pattern = FcPatternCreate();
    std::string utf8 = Cp1252ToUtf8(family);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (fixed) FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (found == nullptr) return match;
    FcChar8* path = nullptr;
    if (FcPatternGetString(found, FC_FILE, 0, &path) == FcResultMatch && path != nullptr) {
        match.file.path = reinterpret_cast<const char*>(path);
        int index = 0;
        if (FcPatternGetInteger(found, FC_INDEX, 0, &index) == FcResultMatch)
            match.file.index = index;
        int weight = FC_WEIGHT_REGULAR;
        FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
        int slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(found, FC_SLANT, 0, &slant);
        match.file.synthesizeBold = bold && weight < FC_WEIGHT_DEMIBOLD;
        match.file.synthesizeItalic = italic && slant == FC_SLANT_ROMAN;
        FcChar8* name = nullptr;
        for (int i = 0; FcPatternGetString(found, FC_FAMILY, i, &name) == FcResultMatch; ++i)
            if (SameFamily(reinterpret_cast<const char*>(name), utf8)) match.familyMatched = true;
    }
    FcPatternDestroy(found);
    return match;
}

} // namespace

std::string_view FaceNameOf(const LOGFONTA& font) {
    size_t length = 0;
    while (length < LF_FACESIZE && font.lfFaceName[length] != '\0')
        ++length;
    return std::string_view(font.lfFaceName, length);
}

std::string_view FaceTableFamily(std::string_view faceName) {
    for (const FaceEntry& entry : FACE_TABLE)
        if (SameFamily(entry.face, faceName)) return entry.family;
    return {};
}

std::string_view GenericFamily(BYTE pitchAndFamily) {
    if ((pitchAndFamily & 0x03) == FIXED_PITCH || (pitchAndFamily & 0xF0) == FF_MODERN) return MONO;
    if ((pitchAndFamily & 0xF0) == FF_ROMAN) return SERIF;
    return SANS;
}

FontFile FindFontFile(const LOGFONTA& font) {
    std::string_view face = FaceNameOf(font);
    std::string_view table = FaceTableFamily(face);
    std::string_view generic = GenericFamily(font.lfPitchAndFamily);
    std::string_view family = !table.empty() ? table : face.empty() ? generic : face;
    bool bold = font.lfWeight >= FW_SEMIBOLD;
    bool italic = font.lfItalic != 0;
    bool fixed = (font.lfPitchAndFamily & 0x03) == FIXED_PITCH;
    Key key{std::string(family), generic, bold, italic, fixed};

    FontSet& fonts = Fonts();
    std::lock_guard guard(fonts.lock);
    auto known = fonts.answers.find(key);
    if (known != fonts.answers.end()) return known->second;
    FontFile file;
    if (FcConfig* config = fonts.ConfigLocked()) {
        Match match = AskFontconfig(config, family, bold, italic, fixed);
        // A family fontconfig does not have goes where Windows would send it, not to
        // fontconfig's default face.
        if (!match.familyMatched && family != generic) {
            Match second = AskFontconfig(config, generic, bold, italic, fixed);
            if (second.familyMatched) match = second;
        }
        file = match.file;
    }
    fonts.answers.emplace(std::move(key), file);
    return file;
}

std::vector<std::string> FontFamilies() {
    std::vector<std::string> families;
    FontSet& fonts = Fonts();
    std::lock_guard guard(fonts.lock);
    FcConfig* config = fonts.ConfigLocked();
    if (config == nullptr) return families;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* wanted = FcObjectSetBuild(FC_FAMILY, FC_CHARSET, FC_SCALABLE, nullptr);
    FcFontSet* found = FcFontList(config, pattern, wanted);
    FcObjectSetDestroy(wanted);
    FcPatternDestroy(pattern);
    if (found == nullptr) return families;
    // Letters, digits and the accented letters of Western European text.
    static constexpr FcChar32 SAMPLE[] = {'A', 'Z', 'a', 'z', '0', '9', 0xE9, 0xFC, 0xE7};
    for (int i = 0; i < found->nfont; ++i) {
        FcPattern* font = found->fonts[i];
        FcBool scalable = FcFalse;
        FcCharSet* charset = nullptr;
        FcChar8* name = nullptr;
        if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) != FcResultMatch || !scalable ||
            FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch ||
            FcPatternGetString(font, FC_FAMILY, 0, &name) != FcResultMatch || name == nullptr)
            continue;
        bool covers = std::all_of(std::begin(SAMPLE), std::end(SAMPLE),
                                  [charset](FcChar32 c) { return FcCharSetHasChar(charset, c); });
        std::string family;
        if (!covers || !Utf8ToCp1252(reinterpret_cast<const char*>(name), family) || family.empty())
            continue;
        family.resize(std::min<size_t>(family.size(), LF_FACESIZE - 1));
        families.push_back(std::move(family));
    }
    FcFontSetDestroy(found);
    auto lower = [](const std::string& text) {
        std::string folded = text;
        for (char& c : folded)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return folded;
    };
    std::sort(families.begin(), families.end(), [&](const std::string& a, const std::string& b) {
        std::string x = lower(a);
        std::string y = lower(b);
        return x != y ? x < y : a < b;
    });
    families.erase(std::unique(families.begin(), families.end(),
                               [&](const std::string& a, const std::string& b) {
                                   return lower(a) == lower(b);
                               }),
                   families.end());
    return families;
}

unsigned FontSetGeneration() {
    FontSet& fonts = Fonts();
    std::lock_guard guard(fonts.lock);
    return fonts.generation;
}

namespace test {

void UseFontConfigFile(const std::string& path) {
    FontSet& fonts = Fonts();
    std::lock_guard guard(fonts.lock);
    if (fonts.config != nullptr) FcConfigDestroy(fonts.config);
    fonts.config = nullptr;
    fonts.configFile = path;
    fonts.answers.clear();
    ++fonts.generation;
}

} // namespace test

} // namespace platform
