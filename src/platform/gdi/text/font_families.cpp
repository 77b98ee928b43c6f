#include "platform/gdi/text/font_families.h"

#include <strings.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/gdi/text/font_instance.h"
#include "platform/gdi/text/font_lookup.h"

int EnumFontFamiliesExA(HDC, const LOGFONTA* font, FONTENUMPROCA callback, LPARAM data, DWORD) {
    if (font == nullptr || callback == nullptr) return 0;
    if (font->lfCharSet != ANSI_CHARSET && font->lfCharSet != DEFAULT_CHARSET) return 1;
    std::string wanted(platform::FaceNameOf(*font));
    int answer = 1;
    for (const std::string& family : platform::FontFamilies()) {
        if (!wanted.empty() && strcasecmp(wanted.c_str(), family.c_str()) != 0) continue;
        LOGFONTA report{};
        report.lfHeight = platform::DEFAULT_CELL_HEIGHT;
        report.lfWeight = FW_NORMAL;
        report.lfCharSet = ANSI_CHARSET;
        std::snprintf(report.lfFaceName, LF_FACESIZE, "%s", family.c_str());
        TEXTMETRICA metrics = platform::FontInstance::ForLogFont(report)->Metrics();
        answer = callback(&report, &metrics, TRUETYPE_FONTTYPE, data);
        if (answer == 0) break;
    }
    return answer;
}
