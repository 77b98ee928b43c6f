// Which font file stands for a logical font. Windows faces the projects name are taken by
// their metric-compatible free families (the face table); other names, and the styles
// the chosen family lacks, are asked of fontconfig by family, pitch, weight and slant.
// A style fontconfig cannot give is marked for synthesis. Internal to the platform layer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/text/font_types.h"

namespace platform {

struct FontFile {
    std::string path; // empty when no font file is known at all
    int index = 0;    // of the face inside the file
    bool synthesizeBold = false;
    bool synthesizeItalic = false;
};

// The face name of a LOGFONTA up to its NUL (at most LF_FACESIZE bytes), as given.
std::string_view FaceNameOf(const LOGFONTA& font);
// The free family standing in for a Windows face ("Arial" -> "Liberation Sans"), compared
// without case; empty for a face the table does not hold.
std::string_view FaceTableFamily(std::string_view faceName);
// The free family Windows' choice for a face it does not know would take: by the pitch
// and family bits of the LOGFONTA.
std::string_view GenericFamily(BYTE pitchAndFamily);

// The file for a logical font (face name, weight, italic, pitch); answers are kept.
FontFile FindFontFile(const LOGFONTA& font);

// The families whose fonts cover Windows-1252, by their Windows-1252 names cut to
// LF_FACESIZE - 1 bytes, each once, sorted without regard to case.
std::vector<std::string> FontFamilies();

// Counts the changes of the font set, so that what was made from earlier answers can be
// thrown away.
unsigned FontSetGeneration();

namespace test {
// Reads fontconfig's configuration from `path` alone (a file naming the font folders the
// tests pin), or the system's again when empty. Forgets every answer given so far.
void UseFontConfigFile(const std::string& path);
} // namespace test

} // namespace platform
