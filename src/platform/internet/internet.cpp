#include "platform/internet/internet.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/kernel/errors.h"
#include "platform/internet/internet_transfer.h"
#include "platform/internet/internet_url.h"
#include "platform/kernel/kernel_objects.h"

namespace platform {
namespace {

struct Timeouts {
    DWORD connectMs = 30000;
    DWORD receiveMs = 30000;
};

std::mutex defaultsLock;
Timeouts defaultTimeouts;

class InternetUrl : public KernelObject {
public:
    InternetUrl(UrlScheme scheme, TransferRequest request)
        : scheme(scheme), transfer(std::move(request)) {}

    const UrlScheme scheme;
    InternetTransfer transfer;
};

class InternetSession : public KernelObject {
public:
    InternetSession(std::string agent, bool direct, Timeouts timeouts)
        : agent(std::move(agent)), direct(direct), timeouts_(timeouts) {}
    ~InternetSession() override { CloseUrls(); }

    Timeouts GetTimeouts() {
        std::lock_guard guard(lock_);
        return timeouts_;
    }
    void SetTimeout(DWORD option, DWORD milliseconds) {
        std::lock_guard guard(lock_);
        (option == INTERNET_OPTION_CONNECT_TIMEOUT ? timeouts_.connectMs : timeouts_.receiveMs) =
            milliseconds;
    }

    // Records a URL handle opened in this session; false once the session is closed.
    bool Adopt(HINTERNET handle, const std::shared_ptr<InternetUrl>& url) {
        std::lock_guard guard(lock_);
        if (closed_) return false;
        std::erase_if(urls_, [](const auto& entry) { return entry.second.expired(); });
        urls_.emplace_back(handle, url);
        return true;
    }

    // Aborts the transfers of every URL handle of the session and closes the handles.
    void CloseUrls() {
        std::vector<std::pair<HINTERNET, std::weak_ptr<InternetUrl>>> urls;
        {
            std::lock_guard guard(lock_);
            closed_ = true;
            urls.swap(urls_);
        }
        DWORD savedError = GetLastError();
        for (auto& [handle, weak] : urls) {
            std::shared_ptr<InternetUrl> url = weak.lock();
            if (!url) continue;
            url->transfer.Cancel();
            if (LookupObject(handle) == url) UnregisterObject(handle);
        }
        SetLastError(savedError);
    }

    const std::string agent;
    const bool direct;

private:
    std::mutex lock_;
    Timeouts timeouts_;
    bool closed_ = false;
    std::vector<std::pair<HINTERNET, std::weak_ptr<InternetUrl>>> urls_;
};

// The object of an Internet handle of kind T. A handle of the other Internet kind
// fails with ERROR_INTERNET_INCORRECT_HANDLE_TYPE, anything else with ERROR_INVALID_HANDLE.
template <class T> std::shared_ptr<T> LookupInternet(HINTERNET handle) {
    std::shared_ptr<KernelObject> object = LookupObject(handle);
    if (!object) return nullptr;
    if (auto typed = std::dynamic_pointer_cast<T>(object)) return typed;
    bool internet = std::dynamic_pointer_cast<InternetUrl>(object) ||
                    std::dynamic_pointer_cast<InternetSession>(object);
    SetLastError(internet ? ERROR_INTERNET_INCORRECT_HANDLE_TYPE : ERROR_INVALID_HANDLE);
    return nullptr;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

} // namespace
} // namespace platform

using platform::InternetSession;
using platform::InternetUrl;
using platform::LookupInternet;

HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR, LPCSTR, DWORD) {
    if (accessType != INTERNET_OPEN_TYPE_PRECONFIG && accessType != INTERNET_OPEN_TYPE_DIRECT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!platform::InitializeCurl()) {
        SetLastError(ERROR_INTERNET_INTERNAL_ERROR);
        return 0;
    }
    platform::Timeouts timeouts;
    {
        std::lock_guard guard(platform::defaultsLock);
        timeouts = platform::defaultTimeouts;
    }
    std::string agentText = agent ? agent : "";
    // The agent text becomes a header line: it must not be able to end it.
    std::replace_if(
        agentText.begin(), agentText.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return platform::RegisterObject(std::make_shared<InternetSession>(
        std::move(agentText), accessType == INTERNET_OPEN_TYPE_DIRECT, timeouts));
}

HINTERNET InternetOpenUrlA(HINTERNET sessionHandle, LPCSTR url, LPCSTR headers, DWORD, DWORD,
                           DWORD_PTR) {
    auto session = LookupInternet<InternetSession>(sessionHandle);
    if (!session) return 0;
    if (!url || (headers && *headers)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    platform::UrlScheme scheme;
    platform::TransferRequest request;
    if (DWORD error = platform::PrepareUrl(url, scheme, request.url); error != ERROR_SUCCESS) {
        SetLastError(error);
        return 0;
    }
    request.http = scheme == platform::UrlScheme::Http || scheme == platform::UrlScheme::Https;
    request.agent = session->agent;
    request.direct = session->direct;
    platform::Timeouts timeouts = session->GetTimeouts();
    request.connectTimeoutMs = timeouts.connectMs;
    request.receiveTimeoutMs = timeouts.receiveMs;

    auto object = std::make_shared<InternetUrl>(scheme, std::move(request));
    // Registered before the transfer starts, so that closing the session meanwhile
    // finds the handle and aborts the open.
    HINTERNET handle = platform::RegisterObject(object);
    if (handle == 0) return 0;
    DWORD error = session->Adopt(handle, object) ? object->transfer.Open()
                                                 : ERROR_INTERNET_OPERATION_CANCELLED;
    if (error != ERROR_SUCCESS) {
        if (platform::LookupObject(handle) == object) platform::UnregisterObject(handle);
        SetLastError(error);
        return 0;
    }
    return handle;
}

BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead) {
    if (!bytesRead) return platform::Fail(ERROR_INVALID_PARAMETER);
    *bytesRead = 0;
    auto url = LookupInternet<InternetUrl>(file);
    if (!url) return FALSE;
    if (!buffer && bytesToRead != 0) return platform::Fail(ERROR_INVALID_PARAMETER);
    DWORD error = url->transfer.Read(buffer, bytesToRead, *bytesRead);
    return error == ERROR_SUCCESS ? TRUE : platform::Fail(error);
}

BOOL InternetQueryDataAvailable(HINTERNET file, LPDWORD bytesAvailable, DWORD, DWORD_PTR) {
    if (!bytesAvailable) return platform::Fail(ERROR_INVALID_PARAMETER);
    *bytesAvailable = 0;
    auto url = LookupInternet<InternetUrl>(file);
    if (!url) return FALSE;
    DWORD error = url->transfer.Available(*bytesAvailable);
    return error == ERROR_SUCCESS ? TRUE : platform::Fail(error);
}

DWORD InternetSetFilePointer(HINTERNET file, LONG distance, LPLONG distanceHigh, DWORD moveMethod,
                             DWORD_PTR) {
    auto url = LookupInternet<InternetUrl>(file);
    if (!url) return INVALID_SET_FILE_POINTER;
    int64_t move = distance;
    if (distanceHigh) {
        move =
            static_cast<int64_t>((static_cast<uint64_t>(static_cast<DWORD>(*distanceHigh)) << 32) |
                                 static_cast<DWORD>(distance));
    }
    int64_t base = 0;
    switch (moveMethod) {
    case FILE_BEGIN:
        break;
    case FILE_CURRENT:
        base = static_cast<int64_t>(url->transfer.Position());
        break;
    case FILE_END: {
        std::optional<uint64_t> length = url->transfer.Length();
        if (!length) {
            SetLastError(ERROR_INTERNET_INVALID_OPERATION);
            return INVALID_SET_FILE_POINTER;
        }
        base = static_cast<int64_t>(*length);
        break;
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    // Positions stay below 2^62 (see the transfer), so only a large move can overflow.
    if (move > 0 && base > std::numeric_limits<int64_t>::max() - move) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t target = base + move;
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (!distanceHigh && target >= INVALID_SET_FILE_POINTER) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    url->transfer.SetPosition(static_cast<uint64_t>(target));
    if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(target);
}

BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength,
                    LPDWORD index) {
    auto url = LookupInternet<InternetUrl>(request);
    if (!url) return FALSE;
    if (url->scheme != platform::UrlScheme::Http && url->scheme != platform::UrlScheme::Https) {
        return platform::Fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    }
    bool number = (infoLevel & HTTP_QUERY_FLAG_NUMBER) != 0;
    DWORD level = infoLevel & ~HTTP_QUERY_FLAG_NUMBER;
    if (!bufferLength) return platform::Fail(ERROR_INVALID_PARAMETER);
    // Both values occur once in a response: there is no second one to enumerate.
    if (index && *index != 0) return platform::Fail(ERROR_HTTP_HEADER_NOT_FOUND);
    uint64_t value = 0;
    if (level == HTTP_QUERY_STATUS_CODE) {
        value = url->transfer.StatusCode();
    } else if (level == HTTP_QUERY_CONTENT_LENGTH) {
        std::optional<uint64_t> length = url->transfer.Length();
        if (!length) return platform::Fail(ERROR_HTTP_HEADER_NOT_FOUND);
        value = *length;
    } else {
        return platform::Fail(ERROR_INVALID_PARAMETER);
    }
    if (number) {
        if (value > std::numeric_limits<DWORD>::max()) return platform::Fail(ERROR_NOT_SUPPORTED);
        if (!buffer || *bufferLength < sizeof(DWORD)) {
            *bufferLength = sizeof(DWORD);
            return platform::Fail(ERROR_INSUFFICIENT_BUFFER);
        }
        auto dword = static_cast<DWORD>(value);
        std::memcpy(buffer, &dword, sizeof dword);
        *bufferLength = sizeof dword;
    } else {
        std::string text = std::to_string(value);
        auto needed = static_cast<DWORD>(text.size() + 1);
        if (!buffer || *bufferLength < needed) {
            *bufferLength = needed;
            return platform::Fail(ERROR_INSUFFICIENT_BUFFER);
        }
        std::memcpy(buffer, text.c_str(), needed);
        *bufferLength = needed - 1;
    }
    if (index) ++*index;
    return TRUE;
}

DWORD FtpGetFileSize(HINTERNET file, LPDWORD fileSizeHigh) {
    auto url = LookupInternet<InternetUrl>(file);
    if (!url) return INVALID_FILE_SIZE;
    if (url->scheme != platform::UrlScheme::Ftp) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return INVALID_FILE_SIZE;
    }
    std::optional<uint64_t> length = url->transfer.Length();
    if (!length) {
        SetLastError(ERROR_INTERNET_INVALID_OPERATION);
        return INVALID_FILE_SIZE;
    }
    if (fileSizeHigh) *fileSizeHigh = static_cast<DWORD>(*length >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(*length);
}

BOOL InternetSetOptionA(HINTERNET internet, DWORD option, LPVOID buffer, DWORD bufferLength) {
    if (option != INTERNET_OPTION_CONNECT_TIMEOUT && option != INTERNET_OPTION_RECEIVE_TIMEOUT) {
        return platform::Fail(ERROR_INTERNET_INVALID_OPTION);
    }
    if (!buffer || bufferLength < sizeof(DWORD)) {
        return platform::Fail(ERROR_INTERNET_BAD_OPTION_LENGTH);
    }
    DWORD milliseconds;
    std::memcpy(&milliseconds, buffer, sizeof milliseconds);
    if (internet == 0) {
        std::lock_guard guard(platform::defaultsLock);
        (option == INTERNET_OPTION_CONNECT_TIMEOUT ? platform::defaultTimeouts.connectMs
                                                   : platform::defaultTimeouts.receiveMs) =
            milliseconds;
        return TRUE;
    }
    auto session = LookupInternet<InternetSession>(internet);
    if (!session) return FALSE;
    session->SetTimeout(option, milliseconds);
    return TRUE;
}

BOOL InternetCloseHandle(HINTERNET internet) {
    std::shared_ptr<platform::KernelObject> object = platform::LookupObject(internet);
    if (!object) return FALSE;
    if (auto url = std::dynamic_pointer_cast<InternetUrl>(object)) {
        // Wakes a thread blocked on the handle; the last owner joins the worker.
        url->transfer.Cancel();
    } else if (auto session = std::dynamic_pointer_cast<InternetSession>(object)) {
        session->CloseUrls();
    } else {
        return platform::Fail(ERROR_INVALID_HANDLE);
    }
    return platform::UnregisterObject(internet) ? TRUE : FALSE;
}
