// Searching a rich edit's text: EM_FINDTEXT's match, and the URL-like words that automatic
// link detection marks.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// The position of `what` within [from, to) of `text`: the first match with `down`, else the
// last one; -1 when there is none (or `what` is empty). Without `matchCase` letters of
// Windows-1252 match in either case; `wholeWord` wants no letter or digit on either side.
int FindInText(std::string_view text, std::string_view what, int from, int to, bool down,
               bool matchCase, bool wholeWord);

// The words starting with http://, https://, ftp://, file:, mailto: or www. (in any case)
// and going on past that, without the punctuation that ends a sentence: ranges [first,
// second), in order.
std::vector<std::pair<int, int>> FindUrls(std::string_view text);

} // namespace platform
