#include "platform/user/window_props.h"

#include <map>
#include <mutex>
#include <utility>

#include "platform/user/atoms.h"
#include "platform/kernel/errors.h"
#include "platform/user/window_geometry.h"

namespace {

struct Property {
    uintptr_t data;
    bool holdsAtom; // set under a text: the property holds a reference to its atom
};

struct PropertyTable {
    std::mutex lock;
    std::map<std::pair<HWND, ATOM>, Property> properties;
};

PropertyTable& Table() {
    static auto* table = new PropertyTable;
    return *table;
}

// The atom a name stands for, 0 when a text has none (so no window has it).
ATOM ExistingAtom(LPCSTR name) {
    if (platform::IsAtomName(name)) return static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
    return GlobalFindAtomA(name);
}

} // namespace

BOOL SetPropA(HWND window, LPCSTR name, uintptr_t data) {
    if (window == 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    PropertyTable& table = Table();
    std::lock_guard guard(table.lock);
    if (ATOM atom = ExistingAtom(name); atom != 0) {
        auto it = table.properties.find({window, atom});
        if (it != table.properties.end()) {
            it->second.data = data;
            return TRUE;
        }
    }
    bool text = !platform::IsAtomName(name);
    ATOM atom = text ? GlobalAddAtomA(name) : static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
    if (atom == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    table.properties.emplace(std::pair{window, atom}, Property{data, text});
    return TRUE;
}

uintptr_t GetPropA(HWND window, LPCSTR name) {
    ATOM atom = ExistingAtom(name);
    if (atom == 0) return 0;
    PropertyTable& table = Table();
    std::lock_guard guard(table.lock);
    auto it = table.properties.find({window, atom});
    return it == table.properties.end() ? 0 : it->second.data;
}

uintptr_t RemovePropA(HWND window, LPCSTR name) {
    PropertyTable& table = Table();
    std::lock_guard guard(table.lock);
    ATOM atom = ExistingAtom(name);
    if (atom == 0) return 0;
    auto it = table.properties.find({window, atom});
    if (it == table.properties.end()) return 0;
    Property removed = it->second;
    table.properties.erase(it);
    if (removed.holdsAtom) GlobalDeleteAtom(atom);
    return removed.data;
}

namespace platform {

void ForgetWindowProperties(HWND window) {
    PropertyTable& table = Table();
    std::lock_guard guard(table.lock);
    auto first = table.properties.lower_bound({window, 0});
    auto last = table.properties.upper_bound({window, 0xFFFF});
    for (auto it = first; it != last; ++it)
        if (it->second.holdsAtom) GlobalDeleteAtom(it->first.second);
    table.properties.erase(first, last);
}

} // namespace platform
