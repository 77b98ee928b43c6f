#include "platform/controls/rich_edit/rtf_writer.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace platform {

namespace {

// A ';' ends a name in the font table, so a face name writes its own as a byte.
void Escaped(std::string& out, char c, bool inName = false) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
        out.push_back('\\');
        out.push_back(c);
    } else if (byte >= 0x80 || byte < 0x20 || (inName && c == ';')) {
        char hex[5];
        std::snprintf(hex, sizeof(hex), "\\'%02x", byte);
        out.append(hex);
    } else {
        out.push_back(c);
    }
}

template <typename T> size_t IndexOf(std::vector<T>& table, const T& value) {
    auto found = std::find(table.begin(), table.end(), value);
    if (found != table.end()) return static_cast<size_t>(found - table.begin());
    table.push_back(value);
    return table.size() - 1;
}

void Number(std::string& out, const char* word, long long value) {
    out.push_back('\\');
    out.append(word);
    out.append(std::to_string(value));
}

void RunFormat(std::string& out, const RichFormat& format, std::vector<std::string>& faces,
               std::vector<uint32_t>& colors) {
    out.append("\\plain");
    Number(out, "f", static_cast<long long>(IndexOf(faces, format.face)));
    Number(out, "fs", std::clamp(format.height / 10, 1, 3276));
    if (format.effects & CFE_BOLD) out.append("\\b");
    if (format.effects & CFE_ITALIC) out.append("\\i");
    if (format.effects & CFE_UNDERLINE) out.append("\\ul");
    if (format.effects & CFE_STRIKEOUT) out.append("\\strike");
    if (!(format.effects & CFE_AUTOCOLOR))
        Number(out, "cf", static_cast<long long>(IndexOf(colors, format.color & 0xFFFFFF)) + 1);
    out.push_back(' ');
}

void ParagraphStart(std::string& out, RichAlign align) {
    out.append("\\pard");
    if (align == RichAlign::Center) out.append("\\qc");
    if (align == RichAlign::Right) out.append("\\qr");
    out.push_back(' ');
}

} // namespace

std::string WriteRtf(const RichText& document) {
    std::vector<std::string> faces;
    std::vector<uint32_t> colors;
    std::string body;
    const std::string& text = document.Text();
    const std::vector<RichAlign>& aligns = document.Alignments();
    size_t paragraph = 0;
    ParagraphStart(body, aligns[0]);
    int at = 0;
    for (const RichRun& run : document.Runs()) {
        RunFormat(body, run.format, faces, colors);
        for (int i = at; i < at + run.length; ++i) {
            char c = text[static_cast<size_t>(i)];
            if (run.object) {
                body.append(run.object->group);
            } else if (c == '\r') {
                body.append("\\par\n");
                ParagraphStart(body, aligns[++paragraph]);
            } else if (c == '\v') {
                body.append("\\line ");
            } else if (c == '\t') {
                body.append("\\tab ");
            } else {
                Escaped(body, c);
            }
        }
        at += run.length;
    }
    if (faces.empty()) faces.push_back(RichFormat{}.face);

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
    for (size_t i = 0; i < faces.size(); ++i) {
        out.push_back('{');
        Number(out, "f", static_cast<long long>(i));
        out.append("\\fnil ");
        for (char c : faces[i])
            Escaped(out, c, true);
        out.append(";}");
    }
    out.append("}\n");
    if (!colors.empty()) {
        out.append("{\\colortbl ;");
        for (uint32_t color : colors) {
            Number(out, "red", color & 0xFF);
            Number(out, "green", color >> 8 & 0xFF);
            Number(out, "blue", color >> 16 & 0xFF);
            out.push_back(';');
        }
        out.append("}\n");
    }
    out.append(body);
    out.append("}\n");
    return out;
}

} // namespace platform
