// URL texts as scripts give them, canonicalised and split into buffers of every small size:
// nothing is written past a buffer, a text that fits is terminated where its length says,
// a refusal for want of room asks for more than was given, and parts pointing into the
// text stay inside it. The first byte chooses the buffer sizes, the rest is the URL.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/internet/url_canonical.h"
#include "platform/internet/url_crack.h"
#include "platform/kernel/errors.h"

namespace {

// Exact heap blocks, so that the address sanitizer sees any byte written past one.
struct Buffer {
    explicit Buffer(size_t size) : bytes(size) {}
    std::vector<char> bytes;
};

void CheckCopied(const char* buffer, DWORD length, DWORD size) {
    if (length >= size || buffer[length] != '\0' || std::strlen(buffer) != length) std::abort();
}

void CheckPointer(const char* part, DWORD length, const std::string& url) {
    if (part == nullptr) {
        if (length != 0) std::abort();
        return;
    }
    if (part < url.c_str() || part + length > url.c_str() + url.size()) std::abort();
}

void Canonicalise(const std::string& url, DWORD size) {
    Buffer buffer(size);
    DWORD length = size;
    if (InternetCanonicalizeUrlA(url.c_str(), size ? buffer.bytes.data() : nullptr, &length,
                                 ICU_BROWSER_MODE)) {
        CheckCopied(buffer.bytes.data(), length, size);
    } else if (GetLastError() == ERROR_INSUFFICIENT_BUFFER && length <= size) {
        std::abort();
    }
}

void CrackIntoBuffers(const std::string& url, DWORD size, DWORD flags) {
    // Sizes 1 to size + 5, different for each part.
    Buffer scheme(size % 7 + 1), host(size + 1), user(size % 3 + 1), password(size % 5 + 1),
        path(size + 2), extra(size % 11 + 1);
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    Buffer* buffers[] = {&scheme, &user, &password, &host, &path, &extra};
    LPSTR* pointers[] = {&parts.lpszScheme,   &parts.lpszUserName, &parts.lpszPassword,
                         &parts.lpszHostName, &parts.lpszUrlPath,  &parts.lpszExtraInfo};
    DWORD* lengths[] = {&parts.dwSchemeLength,   &parts.dwUserNameLength, &parts.dwPasswordLength,
                        &parts.dwHostNameLength, &parts.dwUrlPathLength,  &parts.dwExtraInfoLength};
    for (size_t i = 0; i < 6; ++i) {
        *pointers[i] = buffers[i]->bytes.data();
        *lengths[i] = DWORD(buffers[i]->bytes.size());
    }
    BOOL ok = InternetCrackUrlA(url.c_str(), 0, flags, &parts);
    if (!ok && GetLastError() != ERROR_INSUFFICIENT_BUFFER) return;
    for (size_t i = 0; i < 6; ++i) {
        DWORD given = DWORD(buffers[i]->bytes.size());
        if (*lengths[i] < given)
            CheckCopied(buffers[i]->bytes.data(), *lengths[i], given);
        else if (ok)
            std::abort();
    }
}

void CrackIntoPointers(const std::string& url, DWORD length) {
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUserNameLength = 1;
    parts.dwPasswordLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlA(url.c_str(), length, 0, &parts)) return;
    CheckPointer(parts.lpszScheme, parts.dwSchemeLength, url);
    CheckPointer(parts.lpszHostName, parts.dwHostNameLength, url);
    CheckPointer(parts.lpszUserName, parts.dwUserNameLength, url);
    CheckPointer(parts.lpszPassword, parts.dwPasswordLength, url);
    CheckPointer(parts.lpszUrlPath, parts.dwUrlPathLength, url);
    CheckPointer(parts.lpszExtraInfo, parts.dwExtraInfoLength, url);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    DWORD small = data[0] % 64;
    std::string url(reinterpret_cast<const char*>(data + 1), size - 1);
    Canonicalise(url, small);
    CrackIntoBuffers(url, small, 0);
    CrackIntoBuffers(url, small, ICU_DECODE);
    CrackIntoPointers(url, DWORD(url.size() > small ? url.size() - small : url.size()));
    return 0;
}
