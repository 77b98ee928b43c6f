#include "classes/surface/styled_text_entities.h"

#include <cstddef>

namespace {

struct EntityRow {
    char character;
    std::string text;
};

// Named entities of 160 to 255 in order, with the aliases of 166, 168 and 175 after them.
constexpr const char* kLatin1Names[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

std::vector<EntityRow> BuildTable() {
    std::vector<EntityRow> rows;
    auto add = [&rows](int code, std::string text) {
        rows.push_back({static_cast<char>(code), std::move(text)});
    };
    for (int code : {9, 10, 13})
        add(code,
            code < 10 ? "&#0" + std::to_string(code) + ";" : "&#" + std::to_string(code) + ";");
    for (int code = 32; code <= 255; ++code) {
        add(code, "&#" + std::to_string(code) + ";");
        switch (code) {
        case 34:
            add(code, "&quot;");
            break;
        case 38:
            add(code, "&amp;");
            break;
        case 60:
            add(code, "&lt;");
            break;
        case 62:
            add(code, "&gt;");
            break;
        default:
            break;
        }
        if (code < 160) continue;
        const std::string name = kLatin1Names[code - 160];
        // "&not" is matched without its semicolon.
        add(code, "&" + name + (name == "not" ? "" : ";"));
        if (code == 166) add(code, "&brkbar;");
        if (code == 168) add(code, "&die;");
        if (code == 175) add(code, "&hibar;");
    }
    return rows;
}

const std::vector<EntityRow>& Table() {
    static const std::vector<EntityRow> rows = BuildTable();
    return rows;
}

} // namespace

std::string ReplaceEntities(std::string_view run, std::vector<uint32_t>* origins) {
    std::string text(run);
    std::vector<uint32_t> from;
    if (origins) {
        from.resize(text.size());
        for (size_t i = 0; i < from.size(); ++i)
            from[i] = static_cast<uint32_t>(i);
    }
    // Every entity starts with '&': once none is left no row can match.
    if (text.find('&') != std::string::npos) {
        std::string next;
        std::vector<uint32_t> nextFrom;
        for (const EntityRow& row : Table()) {
            size_t found = text.find(row.text);
            if (found == std::string::npos) {
                continue;
            }
            next.clear();
            nextFrom.clear();
            size_t copied = 0;
            while (found != std::string::npos) {
                next.append(text, copied, found - copied);
                next += row.character;
                if (origins) {
                    nextFrom.insert(nextFrom.end(),
                                    from.begin() + static_cast<std::ptrdiff_t>(copied),
                                    from.begin() + static_cast<std::ptrdiff_t>(found));
                    nextFrom.push_back(from[found]);
                }
                copied = found + row.text.size();
                found = text.find(row.text, copied);
            }
            next.append(text, copied);
            if (origins)
                nextFrom.insert(nextFrom.end(), from.begin() + static_cast<std::ptrdiff_t>(copied),
                                from.end());
            text.swap(next);
            from.swap(nextFrom);
            if (text.find('&') == std::string::npos) break;
        }
    }
    if (origins) *origins = std::move(from);
    return text;
}
