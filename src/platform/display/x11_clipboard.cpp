#include "platform/display/x11_clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/display/x11_errors.h"
#include "platform/libraries/lazy_library.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

// How long another program may take to answer, or to send the next piece of a long answer.
constexpr auto kAnswerTime = std::chrono::seconds(2);
// Answers longer than this go in pieces, as the requestor takes each one.
constexpr size_t kPieceBytes = 256 * 1024;
// What another program offers is refused beyond this.
constexpr size_t kMostIncoming = size_t{256} << 20;

std::string Latin1ToUtf8(const Bytes& latin1) {
    std::string utf8;
    for (uint8_t c : latin1) {
        if (c < 0x80) {
            utf8 += char(c);
        } else {
            utf8 += char(0xC0 | c >> 6);
            utf8 += char(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

// Characters beyond Latin-1 become '?'.
Bytes Utf8ToLatin1(const Bytes& utf8) {
    Bytes latin1;
    for (size_t i = 0; i < utf8.size();) {
        const uint8_t c = utf8[i];
        const size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
        if (length == 1)
            latin1.push_back(c);
        else if (length == 2 && i + 1 < utf8.size() && (c & 0x1F) <= 3)
            latin1.push_back(uint8_t((c & 0x1F) << 6 | (utf8[i + 1] & 0x3F)));
        else
            latin1.push_back('?');
        i += length;
    }
    return latin1;
}

// An answer too long for one property, sent piece by piece as the requestor deletes each.
struct Transfer {
    Window requestor;
    Atom property;
    Atom type;
    std::shared_ptr<const Bytes> bytes;
    size_t sent = 0;
};

} // namespace

class X11Clipboard::Connection {
public:
    static std::unique_ptr<Connection> Open() {
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) return nullptr;
        return std::unique_ptr<Connection>(new Connection(display));
    }

    ~Connection() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        Wake();
        thread_.join();
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
        close(wake_[0]);
        close(wake_[1]);
    }

    // Runs `job` on the clipboard thread, the only one that touches the connection.
    void Run(const std::function<void()>& job) {
        std::lock_guard call(callers_);
        std::unique_lock lock(mutex_);
        job_ = &job;
        Wake();
        done_.wait(lock, [this] { return job_ == nullptr; });
    }

    // The jobs.

    void TakeOwnership(const std::optional<std::string>& utf8, const Bytes& png) {
        text_ = utf8 ? std::make_shared<const Bytes>(utf8->begin(), utf8->end()) : nullptr;
        latin1_ = text_ ? std::make_shared<const Bytes>(Utf8ToLatin1(*text_)) : nullptr;
        png_ = png.empty() ? nullptr : std::make_shared<const Bytes>(png);
        // Readers know a new content by a new moment of ownership: two puts within the
        // server's millisecond must not share one.
        Time now = ServerTime();
        for (int tries = 0; now != CurrentTime && now == ownedSince_ && tries < 20; ++tries) {
            std::this_thread::sleep_for(std::chrono::microseconds(250));
            now = ServerTime();
        }
        ownedSince_ = now;
        XSetSelectionOwner(display_, clipboard_, window_, ownedSince_);
        XFlush(display_);
    }

    std::optional<std::string> Text() {
        const Window owner = XGetSelectionOwner(display_, clipboard_);
        if (owner == window_)
            return text_ ? std::optional<std::string>(std::in_place, text_->begin(), text_->end())
                         : std::nullopt;
        if (owner == None) return std::nullopt;
        // Some owners answer every target with what they hold: only a text's type counts.
        const std::optional<std::vector<Atom>> offered = Offered();
        Atom type = None;
        if (Offers(offered, utf8String_)) {
            std::optional<Bytes> utf8 = Fetch(utf8String_, type);
            if (utf8 && type == utf8String_) return std::string(utf8->begin(), utf8->end());
        }
        if (Offers(offered, XA_STRING)) {
            std::optional<Bytes> latin1 = Fetch(XA_STRING, type);
            if (latin1 && type == XA_STRING) return Latin1ToUtf8(*latin1);
        }
        return std::nullopt;
    }

    std::optional<Bytes> Picture() {
        const Window owner = XGetSelectionOwner(display_, clipboard_);
        if (owner == window_) return png_ ? std::optional<Bytes>(*png_) : std::nullopt;
        if (owner == None) return std::nullopt;
        // A picture is taken whole, often megabytes; while the same owner holds the clipboard
        // since the same moment, it holds the same picture, and the last one taken is it.
        const Time since = OwnedSince();
        if (since != CurrentTime && owner == pictureOwner_ && since == pictureSince_)
            return picture_;
        const std::optional<std::vector<Atom>> offered = Offered();
        Atom type = None;
        std::optional<Bytes> picture;
        for (Atom wanted : {imagePng_, imageBmp_, imageXBmp_}) {
            if (offered && Offers(offered, wanted)) {
                picture = Fetch(wanted, type);
                break;
            }
        }
        pictureOwner_ = owner;
        pictureSince_ = since;
        picture_ = picture;
        return picture;
    }

private:
    explicit Connection(Display* display)
        : display_(display),
          window_(XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0)),
          clipboard_(Intern("CLIPBOARD")), targets_(Intern("TARGETS")),
          timestamp_(Intern("TIMESTAMP")), incr_(Intern("INCR")), textAtom_(Intern("TEXT")),
          utf8String_(Intern("UTF8_STRING")), textPlain_(Intern("text/plain")),
          textPlainUtf8_(Intern("text/plain;charset=utf-8")), imagePng_(Intern("image/png")),
          imageBmp_(Intern("image/bmp")), imageXBmp_(Intern("image/x-bmp")),
          incoming_(Intern("ZORV_CLIPBOARD")) {
        // Answers from other programs arrive as properties of our window.
        XSelectInput(display_, window_, PropertyChangeMask);
        XSetIOErrorExitHandler(display_, &Connection::Broken, this);
        const long most = XExtendedMaxRequestSize(display_) > 0 ? XExtendedMaxRequestSize(display_)
                                                                : XMaxRequestSize(display_);
        pieceBytes_ = std::min(kPieceBytes, size_t(most) * 4 - 1024);
        if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
        thread_ = std::thread([this] { Loop(); });
    }

    // Without the server, the connection stays dead and every request finds nothing; the
    // player itself goes on.
    static void Broken(Display*, void* self) { static_cast<Connection*>(self)->broken_ = true; }

    Atom Intern(const char* name) { return XInternAtom(display_, name, False); }

    void Wake() {
        const char byte = 0;
        if (write(wake_[1], &byte, 1) < 0) return;
    }

    void Loop() {
        for (;;) {
            HandlePending();
            pollfd fds[2] = {{broken_ ? -1 : ConnectionNumber(display_), POLLIN, 0},
                             {wake_[0], POLLIN, 0}};
            poll(fds, 2, -1);
            char drained[64];
            while (read(wake_[0], drained, sizeof drained) > 0) {
            }
            std::unique_lock lock(mutex_);
            if (stop_) return;
            if (job_ == nullptr) continue;
            const std::function<void()>* job = job_;
            lock.unlock();
            if (!broken_) (*job)();
            lock.lock();
            job_ = nullptr;
            done_.notify_all();
        }
    }

    void HandlePending() {
        XEvent event;
        while (!broken_ && XPending(display_) > 0) {
            XNextEvent(display_, &event);
            Handle(event);
        }
    }

    // Handles events until one that `wanted` accepts arrives; false at the deadline.
    bool WaitFor(const std::function<bool(const XEvent&)>& wanted, XEvent& found) {
        const Clock::time_point deadline = Clock::now() + kAnswerTime;
        for (;;) {
            while (!broken_ && XPending(display_) > 0) {
                XNextEvent(display_, &found);
                if (wanted(found)) return true;
                Handle(found);
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (broken_ || left.count() <= 0) return false;
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, int(left.count()) + 1);
        }
    }

    void Handle(const XEvent& event) {
        switch (event.type) {
        case SelectionRequest:
            Answer(event.xselectionrequest);
            break;
        case PropertyNotify:
            if (event.xproperty.state == PropertyDelete) Continue(event.xproperty);
            break;
        default:
            break;
        }
    }

    // The server's time now, which owning a selection needs: the time of a change to a
    // property of our own window.
    Time ServerTime() {
        const unsigned char none = 0;
        XChangeProperty(display_, window_, incoming_, XA_STRING, 8, PropModeAppend, &none, 0);
        XEvent event;
        const bool found = WaitFor(
            [this](const XEvent& e) {
                return e.type == PropertyNotify && e.xproperty.window == window_ &&
                       e.xproperty.atom == incoming_;
            },
            event);
        return found ? event.xproperty.time : CurrentTime;
    }

    void Answer(const XSelectionRequestEvent& request) {
        XSelectionEvent reply{};
        reply.type = SelectionNotify;
        reply.display = display_;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        // Clients from before properties were named give none: the target names it.
        const Atom property = request.property != None ? request.property : request.target;
        if (request.selection == clipboard_ && Give(request.requestor, property, request.target))
            reply.property = property;
        XSendEvent(display_, request.requestor, False, NoEventMask,
                   reinterpret_cast<XEvent*>(&reply));
        XFlush(display_);
    }

    bool Give(Window requestor, Atom property, Atom target) {
        if (target == targets_) {
            std::vector<long> list{long(targets_), long(timestamp_)};
            if (text_)
                for (Atom atom : {utf8String_, textAtom_, textPlainUtf8_, Atom(XA_STRING), textPlain_})
                    list.push_back(long(atom));
            if (png_) list.push_back(long(imagePng_));
            XChangeProperty(display_, requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(list.data()), int(list.size()));
            return true;
        }
        if (target == timestamp_) {
            const long time = long(ownedSince_);
            XChangeProperty(display_, requestor, property, XA_INTEGER, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&time), 1);
            return true;
        }
        if (text_ && (target == utf8String_ || target == textAtom_ || target == textPlainUtf8_))
            return Send(requestor, property, target == textPlainUtf8_ ? target : utf8String_, text_);
        if (latin1_ && (target == XA_STRING || target == textPlain_))
            return Send(requestor, property, target, latin1_);
        if (png_ && target == imagePng_) return Send(requestor, property, target, png_);
        return false;
    }

    bool Send(Window requestor, Atom property, Atom type, std::shared_ptr<const Bytes> bytes) {
        if (bytes->size() <= pieceBytes_) {
            XChangeProperty(display_, requestor, property, type, 8, PropModeReplace, bytes->data(),
                            int(bytes->size()));
            return true;
        }
        std::erase_if(transfers_, [&](const Transfer& transfer) {
            return transfer.requestor == requestor && transfer.property == property;
        });
        XSelectInput(display_, requestor, PropertyChangeMask);
        const long size = long(bytes->size());
        XChangeProperty(display_, requestor, property, incr_, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&size), 1);
        transfers_.push_back(Transfer{requestor, property, type, std::move(bytes)});
        return true;
    }

    // The requestor took a piece (or the announcement of a long answer): the next one, and
    // an empty one at the end.
    void Continue(const XPropertyEvent& event) {
        auto transfer = std::find_if(transfers_.begin(), transfers_.end(), [&](const Transfer& t) {
            return t.requestor == event.window && t.property == event.atom;
        });
        if (transfer == transfers_.end()) return;
        const size_t piece = std::min(pieceBytes_, transfer->bytes->size() - transfer->sent);
        XChangeProperty(display_, transfer->requestor, transfer->property, transfer->type, 8,
                        PropModeReplace, transfer->bytes->data() + transfer->sent, int(piece));
        transfer->sent += piece;
        if (piece == 0) {
            transfers_.erase(transfer);
            const bool more = std::any_of(transfers_.begin(), transfers_.end(),
                                          [&](const Transfer& t) { return t.requestor == event.window; });
            if (!more) XSelectInput(display_, event.window, NoEventMask);
        }
        XFlush(display_);
    }

    // The targets the owner offers; nothing when it does not say.
    std::optional<std::vector<Atom>> Offered() {
        Atom type = None;
        std::optional<Bytes> list = Fetch(targets_, type);
        if (!list || type != XA_ATOM) return std::nullopt;
        std::vector<Atom> offered(list->size() / sizeof(long));
        for (size_t i = 0; i < offered.size(); ++i) {
            long atom = 0;
            std::memcpy(&atom, list->data() + i * sizeof atom, sizeof atom);
            offered[i] = Atom(atom);
        }
        return offered;
    }

    // When the owner took the clipboard, by its answer to TIMESTAMP; CurrentTime when it
    // does not say.
    Time OwnedSince() {
        Atom type = None;
        std::optional<Bytes> stamp = Fetch(timestamp_, type);
        if (!stamp || type != XA_INTEGER || stamp->size() < sizeof(long)) return CurrentTime;
        long since = 0;
        std::memcpy(&since, stamp->data(), sizeof since);
        return Time(since);
    }

    // Whether the owner offers `target`, or may, not having said what it offers.
    static bool Offers(const std::optional<std::vector<Atom>>& offered, Atom target) {
        return !offered || std::find(offered->begin(), offered->end(), target) != offered->end();
    }

    // The owner's answer for `target` and its type, gathered whole when it comes in pieces.
    std::optional<Bytes> Fetch(Atom target, Atom& type) {
        XDeleteProperty(display_, window_, incoming_);
        XConvertSelection(display_, clipboard_, target, incoming_, window_, CurrentTime);
        XFlush(display_);
        XEvent event;
        const bool answered = WaitFor(
            [this, target](const XEvent& e) {
                return e.type == SelectionNotify && e.xselection.requestor == window_ &&
                       e.xselection.target == target;
            },
            event);
        if (!answered || event.xselection.property == None) return std::nullopt;
        std::optional<Bytes> bytes = ReadAnswer(type);
        if (!bytes || type != incr_) return bytes;
        Bytes whole;
        for (;;) {
            const bool more = WaitFor(
                [this](const XEvent& e) {
                    return e.type == PropertyNotify && e.xproperty.window == window_ &&
                           e.xproperty.atom == incoming_ && e.xproperty.state == PropertyNewValue;
                },
                event);
            // Each piece carries the answer's real type.
            if (!more || !(bytes = ReadAnswer(type))) return std::nullopt;
            if (bytes->empty()) return whole;
            if (whole.size() + bytes->size() > kMostIncoming) return std::nullopt;
            whole.insert(whole.end(), bytes->begin(), bytes->end());
        }
    }

    // Takes the answer property off our window (which asks for the next piece).
    std::optional<Bytes> ReadAnswer(Atom& type) {
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, window_, incoming_, 0, LONG_MAX / 4, True, AnyPropertyType,
                               &type, &format, &count, &after, &data) != Success)
            return std::nullopt;
        // Xlib hands 32-bit items over as longs.
        const size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
        Bytes bytes;
        if (data != nullptr) {
            if (count <= kMostIncoming / unit) bytes.assign(data, data + count * unit);
            XFree(data);
        }
        return bytes;
    }

    Display* const display_;
    const Window window_;
    const Atom clipboard_, targets_, timestamp_, incr_, textAtom_, utf8String_, textPlain_,
        textPlainUtf8_, imagePng_, imageBmp_, imageXBmp_, incoming_;
    size_t pieceBytes_ = kPieceBytes;
    int wake_[2] = {-1, -1};
    std::thread thread_;

    std::mutex callers_;
    std::mutex mutex_;
    std::condition_variable done_;
    const std::function<void()>* job_ = nullptr;
    bool stop_ = false;

    // The clipboard thread's own.
    bool broken_ = false;
    Time ownedSince_ = CurrentTime;
    std::shared_ptr<const Bytes> text_, latin1_, png_;
    std::vector<Transfer> transfers_;
    Window pictureOwner_ = None;
    Time pictureSince_ = CurrentTime;
    std::optional<Bytes> picture_;
};

std::unique_ptr<X11Clipboard> X11Clipboard::Open() {
    if (!Require(LazyLibrary::X11)) return nullptr;
    InstallXErrorHandlers();
    std::unique_ptr<Connection> connection = Connection::Open();
    if (!connection) return nullptr;
    return std::unique_ptr<X11Clipboard>(new X11Clipboard(std::move(connection)));
}

X11Clipboard::X11Clipboard(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {
    AttachDesktopClipboard(this);
}

X11Clipboard::~X11Clipboard() {
    AttachDesktopClipboard(nullptr);
}

void X11Clipboard::Put(const std::optional<std::string>& utf8, const std::vector<uint8_t>& png) {
    connection_->Run([&] { connection_->TakeOwnership(utf8, png); });
}

std::optional<std::string> X11Clipboard::Text() {
    std::optional<std::string> text;
    connection_->Run([&] { text = connection_->Text(); });
    return text;
}

std::optional<std::vector<uint8_t>> X11Clipboard::Picture() {
    std::optional<std::vector<uint8_t>> picture;
    connection_->Run([&] { picture = connection_->Picture(); });
    return picture;
}

} // namespace platform
