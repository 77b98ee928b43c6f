// The font set the text tests run with: fontconfig is given one folder holding links to the
// files of fonts-liberation2 and fonts-dejavu-core alone, whatever else the machine has
// (other DejaVu packages install into the same system folder).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/gdi/text/font_instance.h"
#include "platform/gdi/text/font_lookup.h"
#include "support/temp_dir.h"

namespace font_test {

inline constexpr const char* LIBERATION_FOLDER = "/usr/share/fonts/truetype/liberation2";
inline constexpr const char* DEJAVU_FOLDER = "/usr/share/fonts/truetype/dejavu";

// Points fontconfig at `folders` (and a cache inside `dir`).
inline void PinFolders(const test_support::TempDir& dir, const std::string& folders) {
    dir.WriteFile("fonts.conf", "<?xml version=\"1.0\"?>\n<fontconfig>\n" + folders + "<cachedir>" +
                                    dir.Linux("cache") + "</cachedir>\n</fontconfig>\n");
    platform::test::UseFontConfigFile(dir.Linux("fonts.conf"));
}

inline std::string Dir(const std::string& folder) {
    return "<dir>" + folder + "</dir>\n";
}

class PinnedFonts : public ::testing::Test {
protected:
    void SetUp() override {
        dir.WriteFile("fonts/.keep", "");
        for (const char* family : {"Sans", "Serif", "Mono"}) {
            for (const char* style : {"Regular", "Bold", "Italic", "BoldItalic"}) {
                std::string name = std::string("Liberation") + family + "-" + style + ".ttf";
                Link(std::string(LIBERATION_FOLDER) + "/" + name, name);
            }
        }
        for (const char* name :
             {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSansMono.ttf",
              "DejaVuSansMono-Bold.ttf", "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf"})
            Link(std::string(DEJAVU_FOLDER) + "/" + name, name);
        PinFolders(dir, Dir(dir.Linux("fonts")));
    }
    void Link(const std::string& target, const std::string& name) {
        ASSERT_TRUE(std::filesystem::exists(target)) << target;
        std::filesystem::create_symlink(target, dir.Linux("fonts/" + name));
    }
    void TearDown() override { platform::test::UseFontConfigFile(""); }

    static LOGFONTA Font(const char* face, LONG height, LONG weight = FW_NORMAL,
                         bool italic = false, BYTE quality = DEFAULT_QUALITY) {
        LOGFONTA font{};
        font.lfHeight = height;
        font.lfWeight = weight;
        font.lfItalic = italic ? 1 : 0;
        font.lfQuality = quality;
        std::snprintf(font.lfFaceName, LF_FACESIZE, "%s", face);
        return font;
    }
    static std::shared_ptr<const platform::FontInstance>
    Make(const char* face, LONG height, LONG weight = FW_NORMAL, bool italic = false) {
        return platform::FontInstance::ForLogFont(Font(face, height, weight, italic));
    }

    test_support::TempDir dir;
};

} // namespace font_test
