#include "platform/media/mciwnd/mciwnd.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/button.h"
#include "platform/controls/control_common.h"
#include "platform/controls/control_procedure.h"
#include "platform/controls/trackbar.h"
#include "platform/files/path_mapping.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/clock.h"
#include "platform/media/mci/mci.h"
#include "platform/media/video/movie_reader.h"
#include "platform/media/video/movie_sound.h"
#include "platform/sound/media_voice.h"
#include "platform/user/input/input.h"
#include "platform/user/paint/update_region.h"
#include "platform/user/scroll/scroll_bar.h"
#include "platform/user/window_class.h"
#include "platform/user/window_geometry.h"

namespace platform {

namespace {

constexpr UINT_PTR kTimer = 1;
// Sound kept queued ahead of the output, and the size of one read from the track.
constexpr DWORD kVoiceFrames = sound::OUTPUT_RATE;
constexpr DWORD kAheadFrames = sound::OUTPUT_RATE / 2;
constexpr int64_t kChunkFrames = 2048;
constexpr int kButtonWidth = 48;

enum class Mode { NotReady, Stopped, Playing, Reversing, Paused };

struct MovieWindow {
    ControlFont font;
    video::MovieReader reader;
    video::MovieSound sound;
    bool open = false;
    int64_t frameCount = 0;
    int64_t rateNumerator = 1;
    int64_t rateDenominator = 1;
    int64_t lengthMs = 0;
    // The played position in milliseconds, 0 .. lengthMs.
    int64_t positionMs = 0;
    Mode mode = Mode::NotReady;
    // Paused from reverse play resumes backwards.
    bool pausedReversing = false;
    bool timeInFrames = false;
    int zoom = 100;
    MCIERROR lastError = 0;
    // The clock's anchor, and the voice's: the position at the anchor and the frames the
    // voice had played by then.
    DWORD anchorTime = 0;
    int64_t anchorMs = 0;
    DWORD voice = 0;
    bool soundEnded = true;
    uint64_t voiceAnchorPlayed = 0;
    int64_t voiceAnchorMs = 0;
    // The frame in `pixels` (32-bit, top row first), -1 for none.
    int64_t shown = -1;
    std::vector<uint32_t> pixels;
    HWND button = 0;
    HWND trackbar = 0;
};

ControlStates<MovieWindow>& States() {
    static auto* states = new ControlStates<MovieWindow>;
    return *states;
}

// a * b / c for non-negative a, b and c > 0, rounded down or up, without overflow.
int64_t MulDiv64(int64_t a, int64_t b, int64_t c, bool up) {
    __int128 product = __int128(a) * b;
    __int128 quotient = product / c;
    if (up && quotient * c != product) ++quotient;
    return int64_t(std::min<__int128>(quotient, INT64_MAX));
}

int64_t FrameAt(const MovieWindow& movie, int64_t ms) {
    return MulDiv64(ms, movie.rateNumerator, 1000 * movie.rateDenominator, false);
}

int64_t MsOfFrame(const MovieWindow& movie, int64_t frame) {
    return std::min(MulDiv64(frame, 1000 * movie.rateDenominator, movie.rateNumerator, true),
                    movie.lengthMs);
}

int64_t InTimeFormat(const MovieWindow& movie, int64_t ms) {
    return movie.timeInFrames ? std::min(FrameAt(movie, ms), movie.frameCount) : ms;
}

int64_t LengthInTimeFormat(const MovieWindow& movie) {
    return movie.timeInFrames ? movie.frameCount : movie.lengthMs;
}

bool HasPlayBar(HWND window) {
    return (StyleOf(window) & MCIWNDF_NOPLAYBAR) == 0;
}

RECT PictureRect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    if (HasPlayBar(window))
        client.bottom = std::max(client.top, client.bottom - MCIWND_PLAYBAR_HEIGHT);
    return client;
}

void CopyText(LPARAM buffer, WPARAM length, const char* text) {
    if (buffer == 0 || length == 0) return;
    auto* out = reinterpret_cast<char*>(buffer);
    std::snprintf(out, length, "%s", text);
}

void UpdatePlayBar(MovieWindow& movie) {
    if (movie.trackbar != 0)
        SendMessageA(movie.trackbar, TBM_SETPOS, TRUE,
                     LPARAM(std::min(FrameAt(movie, movie.positionMs), movie.frameCount)));
    if (movie.button != 0)
        SetWindowTextA(movie.button, movie.mode == Mode::Playing || movie.mode == Mode::Reversing
                                         ? "Pause"
                                         : "Play");
}

// The frame of the position into the pixels; the picture is redrawn when it changed.
void ShowPosition(HWND window, MovieWindow& movie) {
    if (!movie.open || movie.frameCount <= 0) return;
    int64_t frame = std::min(FrameAt(movie, movie.positionMs), movie.frameCount - 1);
    if (frame != movie.shown) {
        int32_t width = movie.reader.Width();
        if (movie.reader.ReadFrame(frame, 32, reinterpret_cast<uint8_t*>(movie.pixels.data()),
                                   width * 4)) {
            // The fourth byte of a 32-bit DIB is no colour: the screen must not see it.
            for (uint32_t& pixel : movie.pixels)
                pixel &= 0xFFFFFF;
            movie.shown = frame;
        }
        RECT picture = PictureRect(window);
        InvalidateRect(window, &picture, FALSE);
    }
    UpdatePlayBar(movie);
}

void CloseVoice(MovieWindow& movie) {
    if (movie.voice != 0) sound::CloseMediaVoice(movie.voice);
    movie.voice = 0;
    movie.soundEnded = true;
}

// Keeps the voice half a second ahead of the output.
void FeedVoice(MovieWindow& movie) {
    if (movie.voice == 0 || movie.soundEnded) return;
    float chunk[kChunkFrames * 2];
    while (sound::MediaVoiceQueuedFrames(movie.voice) < kAheadFrames) {
        int64_t read = movie.sound.Read(chunk, kChunkFrames, int32_t(sound::OUTPUT_RATE));
        if (read > 0) sound::WriteMediaVoice(movie.voice, chunk, DWORD(read));
        if (read < kChunkFrames) {
            sound::EndMediaVoice(movie.voice);
            movie.soundEnded = true;
            break;
        }
    }
}

void Anchor(MovieWindow& movie) {
    movie.anchorTime = timeGetTime();
    movie.anchorMs = movie.positionMs;
    movie.voiceAnchorMs = movie.positionMs;
    movie.voiceAnchorPlayed = movie.voice != 0 ? sound::MediaVoicePlayedFrames(movie.voice) : 0;
}

void Halt(HWND window, MovieWindow& movie, Mode mode) {
    KillTimer(window, kTimer);
    CloseVoice(movie);
    movie.mode = mode;
    UpdatePlayBar(movie);
}

// The timer's period: about two polls a frame, between 10 and 40 ms.
UINT TimerPeriod(const MovieWindow& movie) {
    int64_t frameMs = MulDiv64(1000, movie.rateDenominator, movie.rateNumerator, false);
    return UINT(std::clamp<int64_t>(frameMs / 2, 10, 40));
}

// The position moved on to now; at either end the movie stops.
void Advance(HWND window, MovieWindow& movie) {
    DWORD now = timeGetTime();
    if (movie.mode == Mode::Playing) {
        int64_t ms = movie.anchorMs + int64_t(DWORD(now - movie.anchorTime));
        bool voiceLeads = movie.voice != 0 && !sound::MediaVoiceEnded(movie.voice);
        if (voiceLeads) {
            uint64_t played = sound::MediaVoicePlayedFrames(movie.voice) - movie.voiceAnchorPlayed;
            ms = movie.voiceAnchorMs + MulDiv64(int64_t(played), 1000, sound::OUTPUT_RATE, false);
            // Should the track end first, the clock goes on from here.
            movie.anchorTime = now;
            movie.anchorMs = ms;
        }
        movie.positionMs = std::min(ms, movie.lengthMs);
        if (movie.positionMs >= movie.lengthMs) Halt(window, movie, Mode::Stopped);
        FeedVoice(movie);
    } else if (movie.mode == Mode::Reversing) {
        int64_t ms = movie.anchorMs - int64_t(DWORD(now - movie.anchorTime));
        movie.positionMs = std::max<int64_t>(ms, 0);
        if (movie.positionMs == 0) Halt(window, movie, Mode::Stopped);
    }
    ShowPosition(window, movie);
}

MCIERROR Play(HWND window, MovieWindow& movie, bool reverse) {
    if (!movie.open) return MCIERR_INVALID_DEVICE_ID;
    Advance(window, movie);
    KillTimer(window, kTimer);
    CloseVoice(movie);
    if (!reverse && movie.positionMs >= movie.lengthMs) movie.positionMs = 0;
    if (reverse && movie.positionMs <= 0) movie.positionMs = movie.lengthMs;
    if (!reverse && movie.sound.IsOpen() && movie.sound.Seek(movie.positionMs)) {
        movie.voice = sound::OpenMediaVoice(kVoiceFrames);
        movie.soundEnded = movie.voice == 0;
        FeedVoice(movie);
    }
    movie.mode = reverse ? Mode::Reversing : Mode::Playing;
    Anchor(movie);
    SetTimer(window, kTimer, TimerPeriod(movie), nullptr);
    ShowPosition(window, movie);
    return 0;
}

MCIERROR Pause(HWND window, MovieWindow& movie) {
    if (!movie.open) return MCIERR_INVALID_DEVICE_ID;
    if (movie.mode != Mode::Playing && movie.mode != Mode::Reversing) return 0;
    Advance(window, movie);
    if (movie.mode != Mode::Playing && movie.mode != Mode::Reversing) return 0;
    movie.pausedReversing = movie.mode == Mode::Reversing;
    KillTimer(window, kTimer);
    if (movie.voice != 0) sound::PauseMediaVoice(movie.voice, true);
    movie.mode = Mode::Paused;
    UpdatePlayBar(movie);
    return 0;
}

MCIERROR Resume(HWND window, MovieWindow& movie) {
    if (!movie.open) return MCIERR_INVALID_DEVICE_ID;
    if (movie.mode != Mode::Paused) return 0;
    if (movie.pausedReversing) return Play(window, movie, true);
    if (movie.voice != 0) sound::PauseMediaVoice(movie.voice, false);
    movie.mode = Mode::Playing;
    Anchor(movie);
    SetTimer(window, kTimer, TimerPeriod(movie), nullptr);
    UpdatePlayBar(movie);
    return 0;
}

MCIERROR Seek(HWND window, MovieWindow& movie, LPARAM to) {
    if (!movie.open) return MCIERR_INVALID_DEVICE_ID;
    int64_t ms = 0;
    if (to == MCIWND_START) {
        ms = 0;
    } else if (to == MCIWND_END) {
        ms = movie.lengthMs;
    } else {
        if (to < 0 || int64_t(to) > LengthInTimeFormat(movie)) return MCIERR_OUTOFRANGE;
        ms = movie.timeInFrames ? MsOfFrame(movie, int64_t(to)) : int64_t(to);
    }
    Halt(window, movie, Mode::Stopped);
    movie.positionMs = ms;
    ShowPosition(window, movie);
    return 0;
}

// The window's size for the movie at its zoom, the play bar below it.
void AutoSize(HWND window, MovieWindow& movie) {
    if (!movie.open || (StyleOf(window) & MCIWNDF_NOAUTOSIZEWINDOW) != 0) return;
    RECT rect{0, 0, LONG(int64_t(movie.reader.Width()) * movie.zoom / 100),
              LONG(int64_t(movie.reader.Height()) * movie.zoom / 100)};
    if (HasPlayBar(window)) rect.bottom += MCIWND_PLAYBAR_HEIGHT;
    AdjustWindowRectEx(&rect, StyleOf(window), FALSE,
                       DWORD(GetWindowLongPtrA(window, GWL_EXSTYLE)));
    SetWindowPos(window, 0, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayOutPlayBar(HWND window, MovieWindow& movie) {
    if (movie.button == 0) return;
    RECT client{};
    GetClientRect(window, &client);
    int top = std::max<int>(0, client.bottom - MCIWND_PLAYBAR_HEIGHT);
    MoveWindow(movie.button, 0, top, kButtonWidth, MCIWND_PLAYBAR_HEIGHT, TRUE);
    MoveWindow(movie.trackbar, kButtonWidth, top, std::max<int>(0, client.right - kButtonWidth),
               MCIWND_PLAYBAR_HEIGHT, TRUE);
}

void Close(HWND window, MovieWindow& movie) {
    Halt(window, movie, Mode::NotReady);
    movie.reader.Close();
    movie.sound.Close();
    movie.open = false;
    movie.shown = -1;
    movie.positionMs = 0;
    InvalidateRect(window, nullptr, TRUE);
}

MCIERROR Open(HWND window, MovieWindow& movie, const char* file) {
    Close(window, movie);
    MappedPath mapped;
    if (file == nullptr || *file == '\0') return MCIERR_FILENAME_REQUIRED;
    if (!MapWindowsPath(file, mapped)) return MCIERR_FILE_NOT_FOUND;
    if (!movie.reader.OpenLinuxPath(mapped.linuxPath.c_str())) return MCIERR_INVALID_FILE;
    video::FrameRate rate = movie.reader.Rate();
    movie.rateNumerator = std::max<int64_t>(rate.numerator, 1);
    movie.rateDenominator = std::max<int64_t>(rate.denominator, 1);
    movie.frameCount = movie.reader.FrameCount();
    movie.lengthMs =
        MulDiv64(movie.frameCount, 1000 * movie.rateDenominator, movie.rateNumerator, false);
    movie.pixels.assign(size_t(movie.reader.Width()) * size_t(movie.reader.Height()), 0);
    if (movie.reader.HasSound()) movie.sound.OpenLinuxPath(mapped.linuxPath.c_str());
    movie.open = true;
    movie.mode = Mode::Stopped;
    if (movie.trackbar != 0) {
        SendMessageA(movie.trackbar, TBM_SETRANGEMIN, FALSE, 0);
        SendMessageA(movie.trackbar, TBM_SETRANGEMAX, TRUE, LPARAM(movie.frameCount));
    }
    AutoSize(window, movie);
    ShowPosition(window, movie);
    return 0;
}

void Paint(HWND window, MovieWindow& movie) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    RECT picture = PictureRect(window);
    if (movie.open && movie.shown >= 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = movie.reader.Width();
        info.bmiHeader.biHeight = -movie.reader.Height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        StretchDIBits(dc, picture.left, picture.top, picture.right - picture.left,
                      picture.bottom - picture.top, 0, 0, movie.reader.Width(),
                      movie.reader.Height(), movie.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    } else {
        FillRect(dc, &picture, HBRUSH(GetStockObject(BLACK_BRUSH)));
    }
    EndPaint(window, &paint);
}

const char* ModeText(Mode mode) {
    switch (mode) {
    case Mode::Stopped:
        return "stopped";
    case Mode::Playing:
    case Mode::Reversing:
        return "playing";
    case Mode::Paused:
        return "paused";
    default:
        return "not ready";
    }
}

DWORD ModeNumber(Mode mode) {
    switch (mode) {
    case Mode::Stopped:
        return MCI_MODE_STOP;
    case Mode::Playing:
    case Mode::Reversing:
        return MCI_MODE_PLAY;
    case Mode::Paused:
        return MCI_MODE_PAUSE;
    default:
        return MCI_MODE_NOT_READY;
    }
}

// A command's error kept as the last one, and answered.
LRESULT Kept(MovieWindow& movie, MCIERROR error) {
    movie.lastError = error;
    return LRESULT(error);
}

LRESULT Handle(HWND window, MovieWindow& movie, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (HasPlayBar(window)) {
            movie.button =
                CreateWindowExA(0, "BUTTON", "Play", WS_CHILD | WS_VISIBLE, 0, 0, kButtonWidth,
                                MCIWND_PLAYBAR_HEIGHT, window, MCIWND_PLAYBAR_BUTTON, 0, nullptr);
            movie.trackbar = CreateWindowExA(
                0, "msctls_trackbar32", "", WS_CHILD | WS_VISIBLE | TBS_NOTICKS, kButtonWidth, 0, 0,
                MCIWND_PLAYBAR_HEIGHT, window, MCIWND_PLAYBAR_TRACKBAR, 0, nullptr);
            LayOutPlayBar(window, movie);
        }
        return 0;
    case WM_SIZE:
        LayOutPlayBar(window, movie);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(window, movie);
        return 0;
    case WM_TIMER:
        if (wParam == kTimer) Advance(window, movie);
        return 0;
    case WM_DESTROY:
        Halt(window, movie, Mode::NotReady);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == MCIWND_PLAYBAR_BUTTON && HIWORD(wParam) == BN_CLICKED) {
            if (movie.mode == Mode::Playing || movie.mode == Mode::Reversing)
                Kept(movie, Pause(window, movie));
            else
                Kept(movie, Play(window, movie, false));
        }
        return 0;
    case WM_HSCROLL:
        if (HWND(lParam) == movie.trackbar && movie.open && LOWORD(wParam) != TB_ENDTRACK) {
            LRESULT frame = SendMessageA(movie.trackbar, TBM_GETPOS, 0, 0);
            Halt(window, movie, Mode::Stopped);
            movie.positionMs = MsOfFrame(movie, frame);
            ShowPosition(window, movie);
        }
        return 0;
    case MCIWNDM_OPENA:
        return Kept(movie, Open(window, movie, reinterpret_cast<const char*>(lParam)));
    case MCI_CLOSE:
        Close(window, movie);
        return Kept(movie, 0);
    case MCI_PLAY:
        return Kept(movie, Play(window, movie, false));
    case MCIWNDM_PLAYREVERSE:
        return Kept(movie, Play(window, movie, true));
    case MCI_STOP:
        if (!movie.open) return Kept(movie, MCIERR_INVALID_DEVICE_ID);
        Advance(window, movie);
        Halt(window, movie, Mode::Stopped);
        return Kept(movie, 0);
    case MCI_PAUSE:
        return Kept(movie, Pause(window, movie));
    case MCI_RESUME:
        return Kept(movie, Resume(window, movie));
    case MCI_SEEK:
        return Kept(movie, Seek(window, movie, lParam));
    case MCIWNDM_SETTIMEFORMATA: {
        const char* name = reinterpret_cast<const char*>(lParam);
        if (!movie.open) return Kept(movie, MCIERR_INVALID_DEVICE_ID);
        if (name != nullptr && strcasecmp(name, "ms") == 0)
            movie.timeInFrames = false;
        else if (name != nullptr && strcasecmp(name, "frames") == 0)
            movie.timeInFrames = true;
        else
            return Kept(movie, MCIERR_BAD_TIME_FORMAT);
        return Kept(movie, 0);
    }
    case MCIWNDM_GETTIMEFORMATA:
        CopyText(lParam, wParam, movie.timeInFrames ? "frames" : "ms");
        return movie.timeInFrames ? MCI_FORMAT_FRAMES : MCI_FORMAT_MILLISECONDS;
    case MCIWNDM_GETPOSITIONA: {
        Advance(window, movie);
        int64_t position = InTimeFormat(movie, movie.positionMs);
        CopyText(lParam, wParam, std::to_string(position).c_str());
        return LRESULT(position);
    }
    case MCIWNDM_GETSTART:
        return 0;
    case MCIWNDM_GETLENGTH:
    case MCIWNDM_GETEND:
        return LRESULT(LengthInTimeFormat(movie));
    case MCIWNDM_GETMODEA:
        Advance(window, movie);
        CopyText(lParam, wParam, ModeText(movie.mode));
        return LRESULT(ModeNumber(movie.mode));
    case MCIWNDM_SETZOOM:
        movie.zoom = lParam >= 1 ? int(std::min<LPARAM>(lParam, 10000)) : 100;
        AutoSize(window, movie);
        return 0;
    case MCIWNDM_GETZOOM:
        return movie.zoom;
    case MCIWNDM_SETPALETTE:
        return Kept(movie, 0);
    case MCIWNDM_GETERRORA: {
        char text[128] = "";
        if (movie.lastError != 0) mciGetErrorStringA(movie.lastError, text, sizeof text);
        CopyText(lParam, wParam, text);
        return LRESULT(movie.lastError);
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT MovieWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunControl<MovieWindow>(States(), &Handle, window, message, wParam, lParam);
}

bool RegisterMovieWindowClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &MovieWindowProcedure;
        windowClass.hbrBackground = HBRUSH(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = "MCIWndClass";
        return RegisterClassA(&windowClass) != 0;
    }();
    return registered;
}

} // namespace

} // namespace platform

HWND MCIWndCreateA(HWND parent, HINSTANCE instance, DWORD style, LPCSTR file) {
    if (!platform::RegisterMovieWindowClass()) return 0;
    bool child = (style & WS_CHILD) != 0 && parent != 0;
    if (!child) style &= ~WS_CHILD;
    int x = child ? 0 : CW_USEDEFAULT;
    HWND window =
        CreateWindowExA(0, "MCIWndClass", file != nullptr ? file : "", style & ~WS_VISIBLE, x, 0,
                        child ? 0 : 320, child ? 0 : 240, parent, 0, instance, nullptr);
    if (window == 0) return 0;
    if (file != nullptr) SendMessageA(window, MCIWNDM_OPENA, 0, reinterpret_cast<LPARAM>(file));
    if (style & WS_VISIBLE) ShowWindow(window, SW_SHOWNORMAL);
    return window;
}
