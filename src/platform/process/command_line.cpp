#include "platform/process/command_line.h"

namespace platform {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program name: quotes toggle and vanish, nothing escapes.
size_t SplitProgramName(std::string_view line, std::string& name) {
    size_t i = 0;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && IsBlank(c)) break;
        name += c;
    }
    return i;
}

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    if (line.empty()) return arguments;
    std::string current;
    size_t i = SplitProgramName(line, current);
    arguments.push_back(std::move(current));
    for (;;) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        if (i >= line.size()) break;
        current.clear();
        bool quoted = false;
        while (i < line.size()) {
            size_t slashes = 0;
            while (i < line.size() && line[i] == '\\') {
                ++slashes;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                current.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    current += '"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    current += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
                continue;
            }
            current.append(slashes, '\\');
            if (i >= line.size() || (!quoted && IsBlank(line[i]))) break;
            current += line[i++];
        }
        arguments.push_back(std::move(current));
    }
    return arguments;
}

} // namespace platform
