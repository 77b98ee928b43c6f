#include "packer/manifest_line.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

bool SplitManifestLine(std::string_view line, std::vector<std::string>& words, std::string& error) {
    words.clear();
    size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        if (i == line.size() || line[i] == '#') return true;
        std::string word;
        while (i < line.size() && !IsBlank(line[i])) {
            if (line[i] != '"') {
                word += line[i++];
                continue;
            }
            ++i;
            while (true) {
                if (i == line.size()) {
                    error = "unterminated quote";
                    return false;
                }
                const char c = line[i++];
                if (c == '"') break;
                if (c != '\\') {
                    word += c;
                    continue;
                }
                const char escaped = i < line.size() ? line[i++] : '\0';
                switch (escaped) {
                case '"':
                    word += '"';
                    break;
                case '\\':
                    word += '\\';
                    break;
                case 'n':
                    word += '\n';
                    break;
                case 't':
                    word += '\t';
                    break;
                default:
                    error = "unknown escape in quotes (use \\\" \\\\ \\n or \\t)";
                    return false;
                }
            }
        }
        words.push_back(std::move(word));
    }
}
