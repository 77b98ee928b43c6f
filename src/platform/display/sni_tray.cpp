#include "platform/display/sni_tray.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/kernel/cp1252.h"
#include "platform/libraries/lazy_library.h"
#include "platform/shell/tray.h"
#include "platform/user/input/input.h"

namespace platform {
namespace {

constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";

struct Item {
    HWND window = 0;
    UINT id = 0;
    std::string path;
    std::string tip; // UTF-8
    std::vector<uint32_t> pixels;
    sd_bus_slot* slot = nullptr;
};

int ReplyEmpty(sd_bus_message* message) {
    return sd_bus_reply_method_return(message, "");
}

int Click(sd_bus_message* message, void* data, UINT button) {
    auto* item = static_cast<Item*>(data);
    ClickTrayEntry(item->window, item->id, button);
    return ReplyEmpty(message);
}

int Activate(sd_bus_message* message, void* data, sd_bus_error*) {
    return Click(message, data, WM_LBUTTONDOWN);
}

int SecondaryActivate(sd_bus_message* message, void* data, sd_bus_error*) {
    return Click(message, data, WM_MBUTTONDOWN);
}

int ContextMenu(sd_bus_message* message, void* data, sd_bus_error*) {
    return Click(message, data, WM_RBUTTONDOWN);
}

int Scroll(sd_bus_message* message, void*, sd_bus_error*) {
    return ReplyEmpty(message);
}

int TextProperty(sd_bus_message* reply, const char* text) {
    return sd_bus_message_append(reply, "s", text);
}

int GetCategory(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                sd_bus_error*) {
    return TextProperty(reply, "ApplicationStatus");
}

int GetId(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
          sd_bus_error*) {
    return TextProperty(reply, "zorv");
}

int GetStatus(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
              sd_bus_error*) {
    return TextProperty(reply, "Active");
}

int GetTitle(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* data,
             sd_bus_error*) {
    return TextProperty(reply, static_cast<Item*>(data)->tip.c_str());
}

int GetItemIsMenu(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                  sd_bus_error*) {
    return sd_bus_message_append(reply, "b", 0);
}

// a(iiay): the icon at its one size, ARGB32 pixels in network byte order.
int AppendPixmaps(sd_bus_message* reply, const std::vector<uint32_t>& pixels) {
    int r = sd_bus_message_open_container(reply, 'a', "(iiay)");
    if (r < 0 || pixels.empty()) return r < 0 ? r : sd_bus_message_close_container(reply);
    std::vector<uint8_t> bytes;
    bytes.reserve(pixels.size() * 4);
    for (uint32_t pixel : pixels) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(uint8_t(pixel >> shift));
    }
    if ((r = sd_bus_message_open_container(reply, 'r', "iiay")) < 0 ||
        (r = sd_bus_message_append(reply, "ii", kTrayIconSize, kTrayIconSize)) < 0 ||
        (r = sd_bus_message_append_array(reply, 'y', bytes.data(), bytes.size())) < 0 ||
        (r = sd_bus_message_close_container(reply)) < 0)
        return r;
    return sd_bus_message_close_container(reply);
}

int GetIconPixmap(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* data,
                  sd_bus_error*) {
    return AppendPixmaps(reply, static_cast<Item*>(data)->pixels);
}

// (sa(iiay)ss): no icon name, no pixmaps, the tip as the title, no text.
int GetToolTip(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* data,
               sd_bus_error*) {
    int r = 0;
    if ((r = sd_bus_message_open_container(reply, 'r', "sa(iiay)ss")) < 0 ||
        (r = sd_bus_message_append(reply, "s", "")) < 0 || (r = AppendPixmaps(reply, {})) < 0 ||
        (r = sd_bus_message_append(reply, "ss", static_cast<Item*>(data)->tip.c_str(), "")) < 0)
        return r;
    return sd_bus_message_close_container(reply);
}

// In writable static storage, so that the parts of each entry's union that it leaves unset
// are zero as sd-bus requires; the first entry is filled in by ItemVtable.
sd_bus_vtable kItemVtable[] = {
    {},
    SD_BUS_PROPERTY("Category", "s", GetCategory, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Id", "s", GetId, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Title", "s", GetTitle, 0, 0),
    SD_BUS_PROPERTY("Status", "s", GetStatus, 0, 0),
    SD_BUS_PROPERTY("ItemIsMenu", "b", GetItemIsMenu, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("IconPixmap", "a(iiay)", GetIconPixmap, 0, 0),
    SD_BUS_PROPERTY("ToolTip", "(sa(iiay)ss)", GetToolTip, 0, 0),
    SD_BUS_METHOD("Activate", "ii", "", Activate, 0),
    SD_BUS_METHOD("SecondaryActivate", "ii", "", SecondaryActivate, 0),
    SD_BUS_METHOD("ContextMenu", "ii", "", ContextMenu, 0),
    SD_BUS_METHOD("Scroll", "is", "", Scroll, 0),
    SD_BUS_SIGNAL("NewTitle", "", 0),
    SD_BUS_SIGNAL("NewIcon", "", 0),
    SD_BUS_SIGNAL("NewToolTip", "", 0),
    SD_BUS_VTABLE_END,
};

// SD_BUS_VTABLE_START's entry names a variable of libsystemd, which is loaded only here.
const sd_bus_vtable* ItemVtable() {
    static std::once_flag once;
    std::call_once(once, [] {
        sd_bus_vtable& start = kItemVtable[0];
        start.type = _SD_BUS_VTABLE_START;
        start.flags = 0;
        start.x.start.element_size = sizeof(sd_bus_vtable);
        start.x.start.features = _SD_BUS_VTABLE_PARAM_NAMES;
        start.x.start.vtable_format_reference = static_cast<const unsigned*>(
            LazyLibraryData(LazyLibrary::Systemd, "sd_bus_object_vtable_format"));
    });
    return kItemVtable;
}

// The items of one bus connection, changed only on the bus thread.
class Items {
public:
    explicit Items(sd_bus* bus) : bus_(bus) {}
    ~Items() {
        for (auto& [key, item] : items_)
            sd_bus_slot_unref(item->slot);
    }
    Items(const Items&) = delete;
    Items& operator=(const Items&) = delete;

    // Follows the tray's entries: new ones are made and registered, gone ones removed,
    // changed ones announced.
    void Sync() {
        std::map<std::pair<HWND, UINT>, std::unique_ptr<Item>> next;
        for (const TrayEntry& entry : TrayEntries()) {
            const auto key = std::make_pair(entry.window, entry.id);
            auto found = items_.find(key);
            std::unique_ptr<Item> item;
            const std::string tip = Cp1252ToUtf8(entry.tip);
            if (found != items_.end()) {
                item = std::move(found->second);
                items_.erase(found);
                if (item->tip != tip) {
                    item->tip = tip;
                    sd_bus_emit_signal(bus_, item->path.c_str(), kItemInterface, "NewToolTip", "");
                    sd_bus_emit_signal(bus_, item->path.c_str(), kItemInterface, "NewTitle", "");
                }
                if (item->pixels != entry.pixels) {
                    item->pixels = entry.pixels;
                    sd_bus_emit_signal(bus_, item->path.c_str(), kItemInterface, "NewIcon", "");
                }
            } else {
                item = std::make_unique<Item>();
                item->window = entry.window;
                item->id = entry.id;
                item->tip = tip;
                item->pixels = entry.pixels;
                item->path = "/org/zorv/tray/" + std::to_string(++made_);
                if (sd_bus_add_object_vtable(bus_, &item->slot, item->path.c_str(), kItemInterface,
                                             ItemVtable(), item.get()) < 0)
                    continue;
                Register(*item);
            }
            next.emplace(key, std::move(item));
        }
        for (auto& [key, item] : items_)
            sd_bus_slot_unref(item->slot);
        items_ = std::move(next);
    }

    void RegisterAll() {
        for (auto& [key, item] : items_)
            Register(*item);
    }

private:
    // The watcher takes an object path and finds the service as the sender.
    void Register(const Item& item) {
        sd_bus_call_method_async(bus_, nullptr, kWatcherName, "/StatusNotifierWatcher",
                                 kWatcherName, "RegisterStatusNotifierItem", nullptr, nullptr, "s",
                                 item.path.c_str());
    }

    sd_bus* bus_;
    std::map<std::pair<HWND, UINT>, std::unique_ptr<Item>> items_;
    uint32_t made_ = 0;
};

// A watcher that starts (again) gets every item.
int WatcherChanged(sd_bus_message* message, void* data, sd_bus_error*) {
    const char* name = nullptr;
    const char* oldOwner = nullptr;
    const char* newOwner = nullptr;
    if (sd_bus_message_read(message, "sss", &name, &oldOwner, &newOwner) >= 0 &&
        std::string_view(name) == kWatcherName && newOwner[0] != 0)
        static_cast<Items*>(data)->RegisterAll();
    return 0;
}

} // namespace

SniTray::SniTray() {
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_ < 0) return;
    SetTrayListener([this] {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(wake_, &one, sizeof one);
    });
    thread_ = std::thread([this] { Run(); });
}

SniTray::~SniTray() {
    if (wake_ < 0) return;
    SetTrayListener(nullptr);
    stop_ = true;
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(wake_, &one, sizeof one);
    thread_.join();
    close(wake_);
}

void SniTray::Run() {
    sd_bus* bus = nullptr;
    if (!Require(LazyLibrary::Systemd) || sd_bus_open_user(&bus) < 0) return;
    {
        Items items(bus);
        sd_bus_match_signal(bus, nullptr, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                            "org.freedesktop.DBus", "NameOwnerChanged", WatcherChanged, &items);
        items.Sync();
        while (!stop_) {
            int r = 0;
            while ((r = sd_bus_process(bus, nullptr)) > 0) {}
            if (r < 0) break;
            pollfd waits[2] = {{sd_bus_get_fd(bus), short(sd_bus_get_events(bus)), 0},
                               {wake_, POLLIN, 0}};
            uint64_t due = 0;
            int timeout = -1;
            if (sd_bus_get_timeout(bus, &due) > 0 && due != UINT64_MAX) timeout = 100;
            if (poll(waits, 2, timeout) < 0) continue;
            if (waits[1].revents & POLLIN) {
                uint64_t count = 0;
                [[maybe_unused]] ssize_t got = read(wake_, &count, sizeof count);
                if (!stop_) items.Sync();
            }
            sd_bus_flush(bus);
        }
    }
    sd_bus_flush_close_unref(bus);
}

} // namespace platform
