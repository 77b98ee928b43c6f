#include <signal.h>
#include <stdlib.h>
#include <systemd/sd-bus.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/display/sni_tray.h"
#include "platform/gdi/icons/icons.h"
#include "platform/shell/tray.h"
#include "platform/user/input/input_fixture.h"

namespace {

using input_test::InputTest;
using input_test::Make;

constexpr UINT kCallback = WM_USER + 9;

// A session bus of the test's own: dbus-daemon started for the fixture and ended with it.
class PrivateBus {
public:
    PrivateBus() {
        FILE* out = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 "
                          "2>/dev/null",
                          "r");
        if (out == nullptr) return;
        char line[512] = {};
        if (std::fgets(line, sizeof line, out) != nullptr) address = line;
        if (std::fgets(line, sizeof line, out) != nullptr) pid = std::atoi(line);
        pclose(out);
        while (!address.empty() && (address.back() == '\n' || address.back() == '\r'))
            address.pop_back();
        const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        if (old != nullptr) previous = old;
        if (!address.empty()) setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    }
    ~PrivateBus() {
        if (pid > 0) kill(pid, SIGTERM);
        if (previous.empty())
            unsetenv("DBUS_SESSION_BUS_ADDRESS");
        else
            setenv("DBUS_SESSION_BUS_ADDRESS", previous.c_str(), 1);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    std::string address;
    int pid = 0;
    std::string previous;
};

// The desktop's side: a watcher that records the items registering with it.
class Watcher {
public:
    Watcher() {
        if (sd_bus_open_user(&bus) < 0) return;
        sd_bus_add_object_vtable(bus, nullptr, "/StatusNotifierWatcher",
                                 "org.kde.StatusNotifierWatcher", kVtable, this);
        Own();
    }
    ~Watcher() { sd_bus_flush_close_unref(bus); }
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    void Own() { sd_bus_request_name(bus, "org.kde.StatusNotifierWatcher", 0); }
    void Leave() { sd_bus_release_name(bus, "org.kde.StatusNotifierWatcher"); }

    // Serves the bus until `done` holds, at most five seconds.
    bool ServeUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            while (sd_bus_process(bus, nullptr) > 0) {}
            sd_bus_wait(bus, 20000);
        }
        return true;
    }

    sd_bus* bus = nullptr;
    std::vector<std::pair<std::string, std::string>> registered; // sender, path

private:
    static int Register(sd_bus_message* message, void* data, sd_bus_error*) {
        const char* path = nullptr;
        sd_bus_message_read(message, "s", &path);
        static_cast<Watcher*>(data)->registered.emplace_back(sd_bus_message_get_sender(message),
                                                             path);
        return sd_bus_reply_method_return(message, "");
    }
    static constexpr sd_bus_vtable kVtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("RegisterStatusNotifierItem", "s", "", Register, 0),
        SD_BUS_VTABLE_END,
    };
};

// A 16 x 16 icon of one opaque colour.
HICON PlainIcon(uint32_t colour) {
    std::vector<uint32_t> pixels(16 * 16, colour);
    std::vector<uint8_t> mask(16 * 2, 0);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = CreateBitmap(16, 16, 1, 1, mask.data());
    info.hbmColor = CreateBitmap(16, 16, 1, 32, pixels.data());
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return icon;
}

class StatusNotifierItems : public InputTest {};

TEST_F(StatusNotifierItems, RegisterShowTheirTipAndIconAndPassClicksOn) {
    PrivateBus session;
    if (session.address.empty()) GTEST_SKIP() << "dbus-daemon cannot be started";
    Watcher watcher;
    ASSERT_NE(watcher.bus, nullptr);
    HWND window = Keep(Make(WS_POPUP, 0, 0, 10, 10));
    HICON icon = PlainIcon(0x3366CC);
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 4;
    data.uFlags = NIF_MESSAGE | NIF_TIP | NIF_ICON;
    data.uCallbackMessage = kCallback;
    data.hIcon = icon;
    std::strcpy(data.szTip, "Caf\xE9 ready");
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
    DestroyIcon(icon);

    platform::SniTray tray;
    ASSERT_TRUE(watcher.ServeUntil([&] { return !watcher.registered.empty(); }));
    const std::string sender = watcher.registered[0].first;
    const std::string path = watcher.registered[0].second;

    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    ASSERT_GE(sd_bus_get_property(watcher.bus, sender.c_str(), path.c_str(),
                                  "org.kde.StatusNotifierItem", "ToolTip", &error, &reply,
                                  "(sa(iiay)ss)"),
              0)
        << error.message;
    const char* iconName = nullptr;
    const char* title = nullptr;
    const char* text = nullptr;
    ASSERT_GE(sd_bus_message_enter_container(reply, 'r', "sa(iiay)ss"), 0);
    ASSERT_GE(sd_bus_message_read(reply, "s", &iconName), 0);
    ASSERT_GE(sd_bus_message_skip(reply, "a(iiay)"), 0);
    ASSERT_GE(sd_bus_message_read(reply, "ss", &title, &text), 0);
    EXPECT_STREQ(title, "Caf\xC3\xA9 ready");
    sd_bus_message_unref(reply);

    reply = nullptr;
    ASSERT_GE(sd_bus_get_property(watcher.bus, sender.c_str(), path.c_str(),
                                  "org.kde.StatusNotifierItem", "IconPixmap", &error, &reply,
                                  "a(iiay)"),
              0);
    int width = 0;
    int height = 0;
    const void* bytes = nullptr;
    size_t size = 0;
    ASSERT_GE(sd_bus_message_enter_container(reply, 'a', "(iiay)"), 0);
    ASSERT_GE(sd_bus_message_enter_container(reply, 'r', "iiay"), 0);
    ASSERT_GE(sd_bus_message_read(reply, "ii", &width, &height), 0);
    ASSERT_GE(sd_bus_message_read_array(reply, 'y', &bytes, &size), 0);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
    ASSERT_EQ(size, 16u * 16u * 4u);
    const auto* argb = static_cast<const uint8_t*>(bytes);
    EXPECT_EQ(std::vector<uint8_t>(argb, argb + 4), (std::vector<uint8_t>{0xFF, 0x33, 0x66, 0xCC}));
    sd_bus_message_unref(reply);

    // The desktop's clicks arrive as the left and right button.
    for (const char* method : {"Activate", "ContextMenu"}) {
        ASSERT_GE(sd_bus_call_method(watcher.bus, sender.c_str(), path.c_str(),
                                     "org.kde.StatusNotifierItem", method, &error, nullptr, "ii", 0,
                                     0),
                  0)
            << method;
    }
    std::vector<UINT> clicks;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (clicks.size() < 4 && std::chrono::steady_clock::now() < end) {
        MSG msg;
        if (input_test::Next(msg, kCallback, kCallback)) clicks.push_back(UINT(msg.lParam));
    }
    EXPECT_EQ(clicks,
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}));

    // A watcher that starts again gets the item again.
    watcher.Leave();
    watcher.Own();
    ASSERT_TRUE(watcher.ServeUntil([&] { return watcher.registered.size() >= 2; }));
    EXPECT_EQ(watcher.registered[1].second, path);
    sd_bus_error_free(&error);
    Shell_NotifyIconA(NIM_DELETE, &data);
}

} // namespace
