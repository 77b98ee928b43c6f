// Item ids are shared by every menu of the process: WM_COMMAND names an item by its id
// alone. They run from 9001 to 65535 and wrap round, skipping the ids of live items, so
// that a long run never gives two items one id nor a command a truncated one. With no item
// left (a run that starts after another) they start again from 9001.
#include <bitset>
#include <mutex>

#include "classes/window/menu_class.h"

namespace {

struct ItemIds {
    std::mutex lock;
    std::bitset<CIMenu::kLastItemId + 1> used;
    uint32_t inUse = 0;
    uint32_t last = CIMenu::kFirstItemId - 1;
};

ItemIds& Ids() {
    static auto* ids = new ItemIds;
    return *ids;
}

} // namespace

uint32_t AcquireMenuItemId() {
    ItemIds& ids = Ids();
    std::lock_guard guard(ids.lock);
    constexpr uint32_t kCount = CIMenu::kLastItemId - CIMenu::kFirstItemId + 1;
    uint32_t id = ids.last;
    for (uint32_t tried = 0; tried < kCount; ++tried) {
        id = id >= CIMenu::kLastItemId ? CIMenu::kFirstItemId : id + 1;
        if (!ids.used[id]) {
            ids.used[id] = true;
            ++ids.inUse;
            ids.last = id;
            return id;
        }
    }
    return 0;
}

void ReleaseMenuItemId(uint32_t id) {
    if (id < CIMenu::kFirstItemId || id > CIMenu::kLastItemId) return;
    ItemIds& ids = Ids();
    std::lock_guard guard(ids.lock);
    if (!ids.used[id]) return;
    ids.used[id] = false;
    if (--ids.inUse == 0) ids.last = CIMenu::kFirstItemId - 1;
}
