// An INI file in memory, read and edited with the rules of the Windows profile
// functions. The file's lines are kept as they were read, so that an edit rewrites only
// the line it changes and every other line, comment and blank keeps its place.
//
// Reading: lines end at CR LF, LF or CR; a NUL byte ends its line (the rest of that line
// is ignored). "[name]" starts a section (a missing ']' lets the name run to the end of
// the line); "key=value" is an entry of the section above it; lines starting with ';'
// and lines without '=' are neither. Names and values lose their surrounding blanks and
// tabs, and a value one pair of matching quotes (" or '). Names are compared without
// regard to case (Windows-1252); the first section and the first entry of a name win.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniDocument {
public:
    void Parse(std::string_view bytes);
    // The lines joined with CR LF, each line ended.
    std::string Serialize() const;

    // False when the section or the key is not there.
    bool Find(std::string_view section, std::string_view key, std::string& value) const;
    // Replaces the entry's line in place, or adds "key=value" after the last entry of the
    // section, or adds the section with the entry at the end.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // False when there was nothing to delete.
    bool DeleteKey(std::string_view section, std::string_view key);
    // The section's header and every line up to the next section.
    bool DeleteSection(std::string_view section);

    size_t LineCount() const { return lines_.size(); }
    const std::string& Line(size_t i) const { return lines_[i]; }

private:
    struct Entry {
        size_t line;
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        // The header line; lines belong to it up to the next header.
        size_t line;
        std::vector<Entry> entries;
    };

    // Rebuilds the sections from the lines.
    void Index();
    const Section* FindSection(std::string_view name) const;
    const Entry* FindEntry(const Section& section, std::string_view key) const;
    // The line after the section's last line.
    size_t SectionEnd(const Section& section) const;

    std::vector<std::string> lines_;
    std::vector<Section> sections_;
};

} // namespace platform
