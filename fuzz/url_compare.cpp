// URLs named by scripts, compared to find the request already made for one: any two
// texts compare without a fault, the same way round as the other, a URL matches itself,
// and two URLs that match agree on every byte of their paths.
#include <cstdlib>
#include <string>
#include <string_view>

#include "foundation/downloads/url_request_queue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t cut = input.find('\n');
    std::string a(input.substr(0, cut));
    std::string b(cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1));
    bool same = SameUrl(a, b);
    if (same != SameUrl(b, a) || !SameUrl(a, a) || !SameUrl(b, b)) std::abort();
    if (same && a.size() != b.size()) std::abort();
    UrlStartsWith(a, "http://");
    return 0;
}
