#include "platform/controls/clipboard_text.h"

#include <mutex>

namespace platform {

namespace {

struct Store {
    std::mutex mutex;
    std::optional<std::string> text;
};

Store& TheStore() {
    static auto* store = new Store;
    return *store;
}

} // namespace

void PutClipboardText(std::string text) {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    store.text = std::move(text);
}

std::optional<std::string> ClipboardText() {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    return store.text;
}

} // namespace platform
