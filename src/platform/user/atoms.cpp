#include "platform/user/atoms.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"

namespace {

constexpr size_t kMaxNameLength = 255;
constexpr size_t kTextAtoms = 0x10000 - MAXINTATOM;

struct AtomEntry {
    std::string name; // as first added
    DWORD references = 0;
};

struct AtomTable {
    std::mutex lock;
    // Entry i is atom MAXINTATOM + i; atoms past the end are free. Grown as atoms are
    // added, since the whole range would cost every process over half a megabyte.
    std::vector<AtomEntry> entries;
    std::unordered_map<std::string, ATOM> byName; // keyed by the upper-case name
    size_t searchFrom = 0;
};

AtomTable& Table() {
    static auto* table = new AtomTable;
    return *table;
}

// The entry of a text atom, or nullptr for one never added.
AtomEntry* EntryOf(AtomTable& table, ATOM atom) {
    const size_t index = atom - MAXINTATOM;
    return index < table.entries.size() ? &table.entries[index] : nullptr;
}

std::string NameKey(std::string_view name) {
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(platform::Cp1252ToUpper(static_cast<unsigned char>(c)));
    return key;
}

// What a name argument stands for: an integer atom (a disguised atom or "#n"), or a text.
struct ParsedName {
    bool valid = false;
    ATOM integerAtom = 0; // non-zero for an integer atom
    std::string_view text;
};

ParsedName ParseName(LPCSTR name) {
    ParsedName parsed;
    if (platform::IsAtomName(name)) {
        auto value = static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
        parsed.valid = value != 0 && value < MAXINTATOM;
        parsed.integerAtom = value;
        return parsed;
    }
    std::string_view text(name);
    if (text.size() > 1 && text[0] == '#' &&
        text.find_first_not_of("0123456789", 1) == std::string_view::npos) {
        // Leading zeros are allowed; anything above 0xBFFF is refused, whatever its length.
        uint32_t value = 0;
        for (char digit : text.substr(1)) {
            value = value * 10 + static_cast<uint32_t>(digit - '0');
            if (value >= MAXINTATOM) return parsed;
        }
        parsed.valid = value != 0;
        parsed.integerAtom = static_cast<ATOM>(value);
        return parsed;
    }
    parsed.valid = !text.empty() && text.size() <= kMaxNameLength;
    parsed.text = text;
    return parsed;
}

// ParseName for the calls that take a name: an invalid one sets ERROR_INVALID_PARAMETER.
ParsedName ParseNameArgument(LPCSTR name) {
    ParsedName parsed = ParseName(name);
    if (!parsed.valid) SetLastError(ERROR_INVALID_PARAMETER);
    return parsed;
}

} // namespace

ATOM GlobalAddAtomA(LPCSTR name) {
    ParsedName parsed = ParseNameArgument(name);
    if (!parsed.valid) return 0;
    if (parsed.integerAtom) return parsed.integerAtom;
    AtomTable& table = Table();
    std::lock_guard guard(table.lock);
    std::string key = NameKey(parsed.text);
    if (auto it = table.byName.find(key); it != table.byName.end()) {
        ++table.entries[it->second - MAXINTATOM].references;
        return it->second;
    }
    for (size_t step = 0; step < kTextAtoms; ++step) {
        size_t index = (table.searchFrom + step) % kTextAtoms;
        if (index >= table.entries.size()) table.entries.resize(index + 1);
        AtomEntry& entry = table.entries[index];
        if (entry.references != 0) continue;
        entry.name = parsed.text;
        entry.references = 1;
        auto atom = static_cast<ATOM>(MAXINTATOM + index);
        table.byName.emplace(std::move(key), atom);
        table.searchFrom = (index + 1) % kTextAtoms;
        return atom;
    }
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
}

ATOM GlobalFindAtomA(LPCSTR name) {
    ParsedName parsed = ParseNameArgument(name);
    if (!parsed.valid) return 0;
    if (parsed.integerAtom) return parsed.integerAtom;
    AtomTable& table = Table();
    std::lock_guard guard(table.lock);
    auto it = table.byName.find(NameKey(parsed.text));
    if (it == table.byName.end()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    return it->second;
}

ATOM GlobalDeleteAtom(ATOM atom) {
    if (atom == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return atom;
    }
    if (atom < MAXINTATOM) return 0;
    AtomTable& table = Table();
    std::lock_guard guard(table.lock);
    AtomEntry* entry = EntryOf(table, atom);
    if (entry == nullptr || entry->references == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return atom;
    }
    if (--entry->references == 0) {
        table.byName.erase(NameKey(entry->name));
        entry->name.clear();
    }
    return 0;
}

UINT GlobalGetAtomNameA(ATOM atom, LPSTR buffer, int size) {
    if (!buffer || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string name;
    if (atom != 0 && atom < MAXINTATOM) {
        name = '#' + std::to_string(atom);
    } else {
        AtomTable& table = Table();
        std::lock_guard guard(table.lock);
        AtomEntry* entry = atom != 0 ? EntryOf(table, atom) : nullptr;
        if (entry == nullptr || entry->references == 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        name = entry->name;
    }
    size_t length = std::min(name.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
    return static_cast<UINT>(length);
}
