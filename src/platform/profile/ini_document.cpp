#include "platform/profile/ini_document.h"

#include "platform/kernel/cp1252.h"

namespace platform {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

void IniDocument::Parse(std::string_view bytes) {
    lines_.clear();
    size_t i = 0;
    while (i < bytes.size()) {
        size_t end = i;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        std::string_view line = bytes.substr(i, end - i);
        size_t nul = line.find('\0');
        if (nul != std::string_view::npos) line = line.substr(0, nul);
        lines_.emplace_back(line);
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
            bytes[end + 1] == '\n')
            ++end;
        i = end + 1;
    }
    Index();
}

std::string IniDocument::Serialize() const {
    std::string out;
    for (const std::string& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void IniDocument::Index() {
    sections_.clear();
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::string_view line = Trim(lines_[i]);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            line.remove_prefix(1);
            size_t close = line.find(']');
            if (close != std::string_view::npos) line = line.substr(0, close);
            sections_.push_back(Section{std::string(Trim(line)), i, {}});
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string_view::npos || sections_.empty()) continue;
        sections_.back().entries.push_back(
            Entry{i, std::string(Trim(line.substr(0, equals))),
                  std::string(Unquote(Trim(line.substr(equals + 1))))});
    }
}

const IniDocument::Section* IniDocument::FindSection(std::string_view name) const {
    name = Trim(name);
    for (const Section& section : sections_) {
        if (Cp1252EqualNoCase(section.name, name)) return &section;
    }
    return nullptr;
}

const IniDocument::Entry* IniDocument::FindEntry(const Section& section,
                                                 std::string_view key) const {
    key = Trim(key);
    for (const Entry& entry : section.entries) {
        if (Cp1252EqualNoCase(entry.key, key)) return &entry;
    }
    return nullptr;
}

size_t IniDocument::SectionEnd(const Section& section) const {
    size_t index = size_t(&section - sections_.data());
    return index + 1 < sections_.size() ? sections_[index + 1].line : lines_.size();
}

bool IniDocument::Find(std::string_view section, std::string_view key, std::string& value) const {
    const Section* found = FindSection(section);
    if (found == nullptr) return false;
    const Entry* entry = FindEntry(*found, key);
    if (entry == nullptr) return false;
    value = entry->value;
    return true;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(Trim(key)) + "=" + std::string(Trim(value));
    const Section* found = FindSection(section);
    if (found == nullptr) {
        lines_.push_back('[' + std::string(Trim(section)) + ']');
        lines_.push_back(std::move(line));
    } else if (const Entry* entry = FindEntry(*found, key)) {
        lines_[entry->line] = entry->key + "=" + std::string(Trim(value));
    } else {
        size_t at = found->entries.empty() ? found->line + 1 : found->entries.back().line + 1;
        lines_.insert(lines_.begin() + std::ptrdiff_t(at), std::move(line));
    }
    Index();
}

bool IniDocument::DeleteKey(std::string_view section, std::string_view key) {
    const Section* found = FindSection(section);
    if (found == nullptr) return false;
    const Entry* entry = FindEntry(*found, key);
    if (entry == nullptr) return false;
    lines_.erase(lines_.begin() + std::ptrdiff_t(entry->line));
    Index();
    return true;
}

bool IniDocument::DeleteSection(std::string_view section) {
    const Section* found = FindSection(section);
    if (found == nullptr) return false;
    lines_.erase(lines_.begin() + std::ptrdiff_t(found->line),
                 lines_.begin() + std::ptrdiff_t(SectionEnd(*found)));
    Index();
    return true;
}

} // namespace platform
