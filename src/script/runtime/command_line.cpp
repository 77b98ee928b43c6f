#include "script/runtime/command_line.h"

namespace {

// Walks the arguments of a command line, one at a time.
class ArgumentScanner {
public:
    explicit ArgumentScanner(const char* line) : p_(reinterpret_cast<const unsigned char*>(line)) {}

    // The next argument as [begin, end); false when the line has no more.
    bool Next(const unsigned char** begin, const unsigned char** end) {
        if (p_ == nullptr) return false;
        while (*p_ == ' ' || *p_ == '\t')
            ++p_;
        if (*p_ < 32) return false;
        if (*p_ == '"' || *p_ == '\'') {
            unsigned char quote = *p_++;
            *begin = p_;
            while (*p_ != 0 && *p_ != quote)
                ++p_;
            *end = p_;
            if (*p_ == quote) ++p_;
            return true;
        }
        *begin = p_;
        while (*p_ != 0 && *p_ != ' ')
            ++p_;
        *end = p_;
        return true;
    }

private:
    const unsigned char* p_;
};

} // namespace

int32_t CountArguments(const char* commandLine) {
    ArgumentScanner scanner(commandLine);
    const unsigned char* begin = nullptr;
    const unsigned char* end = nullptr;
    int32_t count = 0;
    while (scanner.Next(&begin, &end))
        ++count;
    return count;
}

int32_t GetArgument(char* buffer, size_t size, const char* commandLine, int32_t n) {
    if (buffer != nullptr && size > 0) buffer[0] = 0;
    ArgumentScanner scanner(commandLine);
    const unsigned char* begin = nullptr;
    const unsigned char* end = nullptr;
    int32_t scanned = 0;
    while (scanner.Next(&begin, &end)) {
        if (scanned++ != n) continue;
        if (buffer == nullptr || size == 0) break;
        size_t length = size_t(end - begin);
        if (length > size - 1) length = size - 1;
        for (size_t i = 0; i < length; ++i)
            buffer[i] = char(begin[i]);
        buffer[length] = 0;
        break;
    }
    return scanned;
}

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        bool quoted = argument.empty() || argument.find_first_of(" \t") != std::string::npos ||
                      argument[0] == '"' || argument[0] == '\'' ||
                      static_cast<unsigned char>(argument[0]) < 32;
        if (!quoted) {
            line += argument;
            continue;
        }
        char quote = argument.find('"') == std::string::npos ? '"' : '\'';
        line += quote;
        line += argument;
        line += quote;
    }
    return line;
}
