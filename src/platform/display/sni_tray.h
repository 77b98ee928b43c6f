// The tray's entries shown on the desktop as status-notifier items over the session bus:
// each entry is an item object with its tool tip and icon, registered with the desktop's
// watcher (again whenever the watcher restarts). The desktop's Activate, SecondaryActivate
// and ContextMenu reach the entry's window as clicks of the left, middle and right button.
// The desktop reports no mouse moves over an item. Without a session bus nothing happens.
#pragma once

#include <atomic>
#include <thread>

namespace platform {

class SniTray {
public:
    SniTray();
    ~SniTray();
    SniTray(const SniTray&) = delete;
    SniTray& operator=(const SniTray&) = delete;

private:
    // The bus's own thread: it follows the tray's changes and answers the desktop.
    void Run();

    int wake_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace platform
