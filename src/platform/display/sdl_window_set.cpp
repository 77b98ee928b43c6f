#include "platform/display/sdl_window_set.h"

#include <algorithm>

#include "platform/display/sdl_errors.h"
#include "platform/display/sdl_full_screen.h"
#include "platform/display/sdl_x11_cover.h"
#include "platform/gdi/framebuffer.h"
#include "platform/kernel/cp1252.h"
#include "platform/system/system_info.h"
#include "platform/user/input/input_routing.h"

namespace platform {

struct SdlWindowSet::Wanted {
    HWND window;
    RECT client; // the part shown, on our screen
    POINT offset;
    std::string title;
    bool resizable;
    bool bordered;
    bool topmost;
    bool popup;
};

namespace {

SdlWindowSet* live = nullptr;

// X11 keeps window positions in 16 bits; an SDL window larger than the framebuffer would
// only show more black.
constexpr int64_t kPositionLimit = 30000;

RECT Placeable(const RECT& client) {
    auto x = static_cast<LONG>(std::clamp<int64_t>(client.left, -kPositionLimit, kPositionLimit));
    auto y = static_cast<LONG>(std::clamp<int64_t>(client.top, -kPositionLimit, kPositionLimit));
    auto width = static_cast<LONG>(
        std::clamp<int64_t>(int64_t{client.right} - client.left, 1, MAX_FRAMEBUFFER_SIDE));
    auto height = static_cast<LONG>(
        std::clamp<int64_t>(int64_t{client.bottom} - client.top, 1, MAX_FRAMEBUFFER_SIDE));
    return RECT{x, y, x + width, y + height};
}

LONG Width(const RECT& rect) {
    return rect.right - rect.left;
}

LONG Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

bool Captioned(const Window& window) {
    return (window.style & WS_CAPTION) == WS_CAPTION;
}

// The part of a top-level window its SDL window shows, on our screen: inside the native
// decorations that stand for our frame and caption, or all of it without a caption.
RECT ShownAreaLocked(const Window& window) {
    RECT area = window.window;
    if (!Captioned(window)) return area;
    int frame = OuterFrame(window.style, window.exStyle);
    int caption =
        GetSystemMetrics((window.exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    RECT inside{Clamp32(int64_t{area.left} + frame), Clamp32(int64_t{area.top} + frame + caption),
                Clamp32(int64_t{area.right} - frame), Clamp32(int64_t{area.bottom} - frame)};
    if (inside.right < inside.left) inside.right = inside.left;
    if (inside.bottom < inside.top) inside.bottom = inside.top;
    return inside;
}

struct Update {
    SDL_Window* sdl;
    std::vector<SDL_Rect> rects;
};

// Copies one rectangle of the framebuffer (framebuffer coordinates, already clipped to it
// and to the surface) into the surface at `offset` less.
void CopyRect(const FramebufferView& view, SDL_Surface* surface, const RECT& rect, POINT offset) {
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    const uint32_t* source = view.pixels + static_cast<size_t>(rect.top) * view.width + rect.left;
    auto* target = static_cast<unsigned char*>(surface->pixels) +
                   static_cast<size_t>(rect.top - offset.y) * surface->pitch +
                   static_cast<size_t>(rect.left - offset.x) * surface->format->BytesPerPixel;
    if (SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, source, view.width * 4,
                          surface->format->format, target, surface->pitch) != 0)
        ReportSdlError("SDL_ConvertPixels");
}

} // namespace

SdlWindowSet::SdlWindowSet() {
    live = this;
}

SdlWindowSet::~SdlWindowSet() {
    for (Entry& entry : entries_)
        SDL_DestroyWindow(entry.sdl);
    if (live == this) live = nullptr;
}

SdlWindowSet* SdlWindowSet::Live() {
    return live;
}

SdlWindowSet::Entry* SdlWindowSet::Find(HWND window) {
    for (Entry& entry : entries_)
        if (entry.window == window) return &entry;
    return nullptr;
}

const SdlWindowSet::Entry* SdlWindowSet::Find(HWND window) const {
    for (const Entry& entry : entries_)
        if (entry.window == window) return &entry;
    return nullptr;
}

HWND SdlWindowSet::WindowOf(Uint32 sdlWindowId) const {
    for (const Entry& entry : entries_)
        if (entry.id == sdlWindowId) return entry.window;
    return 0;
}

SDL_Window* SdlWindowSet::SdlWindowOf(HWND window) const {
    const Entry* entry = Find(window);
    return entry ? entry->sdl : nullptr;
}

std::vector<HWND> SdlWindowSet::Windows() const {
    std::vector<HWND> windows;
    for (const Entry& entry : entries_)
        windows.push_back(entry.window);
    return windows;
}

bool SdlWindowSet::AreaOrigin(HWND window, POINT& origin) {
    std::lock_guard lock(WindowLock());
    WindowPtr record = LiveLocked(window);
    if (!record) return false;
    RECT area = ShownAreaLocked(*record);
    origin = POINT{area.left, area.top};
    return true;
}

bool SdlWindowSet::ClientInsets(HWND window, RECT& insets) {
    std::lock_guard lock(WindowLock());
    WindowPtr record = LiveLocked(window);
    if (!record) return false;
    RECT area = ShownAreaLocked(*record);
    RECT client = ScreenClientLocked(*record);
    insets = RECT{
        Clamp32(int64_t{client.left} - area.left), Clamp32(int64_t{client.top} - area.top),
        Clamp32(int64_t{area.right} - client.right), Clamp32(int64_t{area.bottom} - client.bottom)};
    return true;
}

void SdlWindowSet::Sync() {
    std::vector<DisplayWindow> shown = VisibleTopLevelWindows();
    std::vector<Wanted> wanted;
    std::vector<HWND> minimized;
    HWND active = 0;
    {
        std::lock_guard lock(WindowLock());
        for (const DisplayWindow& entry : shown) {
            WindowPtr window = LiveLocked(entry.window);
            // The hidden host of a popup menu, say, stands off the screen on purpose.
            if (!window || OffVirtualScreen(window->window)) continue;
            RECT area = ShownAreaLocked(*window);
            POINT offset{Clamp32(int64_t{area.left} - window->window.left),
                         Clamp32(int64_t{area.top} - window->window.top)};
            bool topmost = (window->exStyle & WS_EX_TOPMOST) != 0;
            bool popup =
                !Captioned(*window) && (window->style & WS_POPUP) && window->owner != 0 && topmost;
            wanted.push_back(Wanted{entry.window, Placeable(area), offset, window->text,
                                    (window->style & WS_THICKFRAME) != 0, Captioned(*window),
                                    topmost, popup});
        }
        // A minimised window keeps its SDL window, minimised, so the user can bring it
        // back from the task bar.
        for (const Entry& entry : entries_) {
            WindowPtr window = LiveLocked(entry.window);
            if (window && (window->style & WS_VISIBLE) && (window->style & WS_MINIMIZE))
                minimized.push_back(entry.window);
        }
        if (WindowPtr window = LiveLocked(InputStateLocked().active)) active = window->handle;
    }
    active_ = active;

    for (size_t i = 0; i < entries_.size();) {
        Entry& entry = entries_[i];
        auto same = [&](const Wanted& w) { return w.window == entry.window; };
        if (std::any_of(wanted.begin(), wanted.end(), same)) {
            ++i;
        } else if (std::find(minimized.begin(), minimized.end(), entry.window) != minimized.end()) {
            if (!entry.minimized) SDL_MinimizeWindow(entry.sdl);
            entry.minimized = true;
            ++i;
        } else {
            Drop(entry);
            entries_.erase(entries_.begin() + static_cast<ptrdiff_t>(i));
        }
    }
    // The bottom window first, so that each new one opens above those below it.
    for (auto it = wanted.rbegin(); it != wanted.rend(); ++it) {
        if (Entry* entry = Find(it->window))
            Follow(*entry, *it);
        else
            Create(*it);
    }
    if (active != raised_) {
        if (Entry* entry = Find(active)) SDL_RaiseWindow(entry->sdl);
        raised_ = active;
    }
}

void SdlWindowSet::Create(const Wanted& wanted) {
    Uint32 flags = 0;
    if (wanted.resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (!wanted.bordered) flags |= SDL_WINDOW_BORDERLESS;
    if (wanted.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    // Override-redirect on X11: no decoration, no focus, no task bar entry.
    if (wanted.popup) flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
    const RECT& client = wanted.client;
    SDL_Window* focused = SDL_GetKeyboardFocus();
    SDL_Window* sdl = SDL_CreateWindow(Cp1252ToUtf8(wanted.title).c_str(), client.left, client.top,
                                       Width(client), Height(client), flags);
    if (!sdl) {
        ReportSdlError("SDL_CreateWindow");
        return;
    }
    // Shown without a window manager, the popup took the keyboard from the window that had it.
    if (wanted.popup && focused != nullptr) SDL_SetWindowInputFocus(focused);
    Entry entry;
    entry.window = wanted.window;
    entry.sdl = sdl;
    entry.id = SDL_GetWindowID(sdl);
    entry.client = client;
    entry.offset = wanted.offset;
    entry.title = wanted.title;
    entry.resizable = wanted.resizable;
    entry.bordered = wanted.bordered;
    entry.topmost = wanted.topmost;
    entry.popup = wanted.popup;
    entry.pictureWidth = Width(client);
    entry.pictureHeight = Height(client);
    entries_.push_back(std::move(entry));
    if (pendingFullScreen_) {
        MakeFullScreen(entries_.back(), *pendingFullScreen_);
        pendingFullScreen_.reset();
    }
    Repaint(wanted.window);
}

void SdlWindowSet::Follow(Entry& entry, const Wanted& wanted) {
    if (entry.minimized) {
        SDL_RestoreWindow(entry.sdl);
        entry.minimized = false;
    }
    // A maximised or full screen SDL window has the size the desktop gave it; our window
    // follows that one, not the other way round.
    bool desktopSized =
        (SDL_GetWindowFlags(entry.sdl) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MAXIMIZED)) != 0;
    const RECT& client = wanted.client;
    if (Width(client) != entry.pictureWidth || Height(client) != entry.pictureHeight) {
        entry.pictureWidth = Width(client);
        entry.pictureHeight = Height(client);
        if (desktopSized) Repaint(entry.window);
    }
    if (!desktopSized) {
        if (client.left != entry.client.left || client.top != entry.client.top)
            SDL_SetWindowPosition(entry.sdl, client.left, client.top);
        if (Width(client) != Width(entry.client) || Height(client) != Height(entry.client)) {
            SDL_SetWindowSize(entry.sdl, Width(client), Height(client));
            Repaint(entry.window);
        }
        entry.client = client;
    }
    if (wanted.title != entry.title) {
        SDL_SetWindowTitle(entry.sdl, Cp1252ToUtf8(wanted.title).c_str());
        entry.title = wanted.title;
    }
    if (wanted.resizable != entry.resizable) {
        SDL_SetWindowResizable(entry.sdl, wanted.resizable ? SDL_TRUE : SDL_FALSE);
        entry.resizable = wanted.resizable;
    }
    if (wanted.bordered != entry.bordered) {
        SDL_SetWindowBordered(entry.sdl, wanted.bordered ? SDL_TRUE : SDL_FALSE);
        entry.bordered = wanted.bordered;
    }
    if (wanted.topmost != entry.topmost) {
        SDL_SetWindowAlwaysOnTop(entry.sdl, wanted.topmost ? SDL_TRUE : SDL_FALSE);
        entry.topmost = wanted.topmost;
    }
    entry.offset = wanted.offset;
}

void SdlWindowSet::Drop(Entry& entry) {
    // A popup going with the keyboard would leave it nowhere (no window manager gives it
    // to anyone again), and the application taken for inactive.
    if (entry.popup && SDL_GetKeyboardFocus() == entry.sdl) FocusActive();
    SDL_DestroyWindow(entry.sdl);
    if (raised_ == entry.window) raised_ = 0;
}

void SdlWindowSet::FocusActive() {
    if (Entry* entry = Find(active_); entry && !entry->popup) SDL_SetWindowInputFocus(entry->sdl);
}

bool SdlWindowSet::ReturnFocusFromPopup(HWND window) {
    Entry* entry = Find(window);
    if (!entry || !entry->popup) return false;
    FocusActive();
    return true;
}

bool SdlWindowSet::NotedMove(HWND window, int x, int y) {
    Entry* entry = Find(window);
    if (!entry || (entry->client.left == x && entry->client.top == y)) return false;
    entry->client = RECT{x, y, x + Width(entry->client), y + Height(entry->client)};
    // In full screen the SDL window covers the screen wherever our window stands.
    return !entry->fullScreen;
}

bool SdlWindowSet::NotedSize(HWND window, int width, int height) {
    Entry* entry = Find(window);
    if (!entry) return false;
    // SDL makes a new surface at every size change, whoever asked for it.
    Repaint(window);
    if (Width(entry->client) == width && Height(entry->client) == height) return false;
    entry->client.right = entry->client.left + width;
    entry->client.bottom = entry->client.top + height;
    // The screen's size is not the picture's: a scaled picture keeps the size asked for.
    return !entry->fullScreen;
}

void SdlWindowSet::Repaint(HWND window) {
    std::lock_guard lock(FramebufferLock());
    if (Framebuffer* buffer = FindFramebufferLocked(window))
        if (buffer->width > 0 && buffer->height > 0)
            buffer->dirty = Region(RECT{0, 0, buffer->width, buffer->height});
}

void SdlWindowSet::Present() {
    std::vector<Update> updates;
    // The hook refers to what lives here only; it goes whatever happens.
    struct Unhook {
        ~Unhook() { SetPresentHook(nullptr); }
    } unhook;
    SetPresentHook([this, &updates](const FramebufferView& view) {
        Entry* entry = Find(view.window);
        if (!entry) return;
        SDL_Surface* surface = SDL_GetWindowSurface(entry->sdl);
        if (!surface) {
            ReportSdlError("SDL_GetWindowSurface");
            return;
        }
        // The client area within the framebuffer, and within the surface.
        RECT shown =
            IntersectRects(RECT{entry->offset.x, entry->offset.y, entry->offset.x + surface->w,
                                entry->offset.y + surface->h},
                           RECT{0, 0, view.width, view.height});
        std::vector<RECT> dirty = view.dirty;
        if (surface != entry->surface) dirty.assign(1, shown);
        entry->surface = surface;
        Update update{entry->sdl, {}};
        if (entry->fullScreen &&
            (surface->w != entry->pictureWidth || surface->h != entry->pictureHeight)) {
            RECT picture = IntersectRects(
                RECT{entry->offset.x, entry->offset.y, entry->offset.x + entry->pictureWidth,
                     entry->offset.y + entry->pictureHeight},
                RECT{0, 0, view.width, view.height});
            if (PresentFitted(view, picture, surface)) {
                update.rects.push_back(SDL_Rect{0, 0, surface->w, surface->h});
                updates.push_back(std::move(update));
            }
            return;
        }
        if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) {
            ReportSdlError("SDL_LockSurface");
            return;
        }
        for (const RECT& rect : dirty) {
            RECT part = IntersectRects(rect, shown);
            if (IsEmptyRect(part)) continue;
            CopyRect(view, surface, part, entry->offset);
            update.rects.push_back(SDL_Rect{part.left - entry->offset.x, part.top - entry->offset.y,
                                            part.right - part.left, part.bottom - part.top});
        }
        if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
        if (!update.rects.empty()) updates.push_back(std::move(update));
    });
    PresentFramebuffers();
    for (const Update& update : updates)
        if (SDL_UpdateWindowSurfaceRects(update.sdl, update.rects.data(),
                                         static_cast<int>(update.rects.size())) != 0)
            ReportSdlError("SDL_UpdateWindowSurfaceRects");
}

bool SdlWindowSet::MakeFullScreen(Entry& entry, const FullScreenRequest& request) {
    if (request.ownMode) {
        if (SDL_SetWindowDisplayMode(entry.sdl, &request.mode) != 0) {
            ReportSdlError("SDL_SetWindowDisplayMode");
            return false;
        }
        if (SDL_SetWindowFullscreen(entry.sdl, SDL_WINDOW_FULLSCREEN) != 0) {
            ReportSdlError("SDL_SetWindowFullscreen");
            return false;
        }
    } else if (SDL_SetWindowFullscreen(entry.sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        ReportSdlError("SDL_SetWindowFullscreen");
        return false;
    }
    entry.fullScreen = true;
    CoverScreenOnX(entry.sdl);
    Repaint(entry.window);
    return true;
}

bool SdlWindowSet::EnterFullScreen(const SDL_DisplayMode* mode) {
    FullScreenRequest request{mode != nullptr, mode != nullptr ? *mode : SDL_DisplayMode{}};
    for (const DisplayWindow& shown : VisibleTopLevelWindows())
        if (Entry* entry = Find(shown.window)) return MakeFullScreen(*entry, request);
    pendingFullScreen_ = request;
    return true;
}

bool SdlWindowSet::ScaledPicture(HWND window, SDL_Rect& fitted, int& width, int& height) const {
    const Entry* entry = Find(window);
    if (!entry || !entry->fullScreen) return false;
    int screenWidth = 0;
    int screenHeight = 0;
    SDL_GetWindowSize(entry->sdl, &screenWidth, &screenHeight);
    width = entry->pictureWidth;
    height = entry->pictureHeight;
    if (screenWidth == width && screenHeight == height) return false;
    fitted = FittedRect(width, height, screenWidth, screenHeight);
    return true;
}

POINT SdlWindowSet::ShownPoint(HWND window, int x, int y) const {
    SDL_Rect fitted;
    int width = 0;
    int height = 0;
    if (!ScaledPicture(window, fitted, width, height)) return POINT{x, y};
    return PicturePoint(fitted, width, height, x, y);
}

bool SdlWindowSet::LeaveFullScreen() {
    pendingFullScreen_.reset();
    bool left = true;
    for (Entry& entry : entries_) {
        if (!entry.fullScreen && !(SDL_GetWindowFlags(entry.sdl) & SDL_WINDOW_FULLSCREEN))
            continue;
        if (SDL_SetWindowFullscreen(entry.sdl, 0) != 0) {
            ReportSdlError("SDL_SetWindowFullscreen");
            left = false;
            continue;
        }
        entry.fullScreen = false;
        Repaint(entry.window);
    }
    return left;
}

} // namespace platform
