// The styled text read into runs: each run of text with its entities replaced, the font,
// colour and vertical offset its tags gave it, and the extent after each of its characters.
// The tags take effect in order, over the whole text; the fonts they make live as long as
// the runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/dc_state.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text/font_types.h"

struct StyledRun {
    std::string text;
    // The extent after each character, from the start of the run.
    std::vector<int32_t> ends;
    HFONT font = 0;
    uint32_t colour = 0; // COLORREF
    // Added to the line's top: negative for superscripts, positive for subscripts.
    int32_t offset = 0;
    // The height of the run's font.
    int32_t height = 0;
};

class StyledRuns {
public:
    // Reads `text` starting from `font` and `colour`, measuring on `dc` (nothing measured
    // without one: every extent 0).
    StyledRuns(HDC dc, HFONT font, uint32_t colour, std::string_view text);
    // Deletes the fonts the tags made.
    ~StyledRuns();
    StyledRuns(const StyledRuns&) = delete;
    StyledRuns& operator=(const StyledRuns&) = delete;

    const std::vector<StyledRun>& Runs() const { return runs_; }
    // The height of the font in force at the end: the height of an empty line.
    int32_t EndHeight() const { return endHeight_; }

private:
    struct CachedFont {
        bool owned;
        HFONT font;
        LOGFONTA logFont;
    };
    // A record of the style stack: what a closing tag puts back.
    struct Saved {
        uint32_t kind;
        uint32_t colour;
        char face[LF_FACESIZE];
        LONG height;
        int32_t offset;
    };

    void Apply(uint32_t kind, const std::string& face, uint32_t colour, int32_t height);
    void Close(uint32_t kind);
    void Scale(double factor);
    // Superscript or subscript size and offset from the current font's outline metrics.
    void Shift(bool superscript);
    // The font of the current LOGFONT, from the cache or made; a font that cannot be made
    // leaves the previous one.
    void SelectCurrent();
    // Selects the current font into the DC (the DC's own font when there is none).
    void UseCurrent();
    void AddRun(std::string text);
    int32_t FontHeight();

    HDC dc_;
    HGDIOBJ previousFont_ = 0;
    bool selected_ = false;
    std::vector<CachedFont> fonts_;
    LOGFONTA logFont_{};
    HFONT font_ = 0;
    uint32_t colour_;
    int32_t offset_ = 0;
    std::vector<Saved> stack_;
    std::vector<StyledRun> runs_;
    int32_t endHeight_ = 0;
};
