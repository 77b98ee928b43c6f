// Reads RTF into a rich-edit document: groups, control words and symbols, the font and
// colour tables, character formats (\b \i \ul \strike \fs \cf \f \plain), paragraphs
// (\par \pard \ql \qc \qr), \line, \tab, \'hh, \uN with its \ucN fallback and \binN,
// pictures (\pict, also inside \shppict) and embedded objects (\object), each kept as its
// group. Other destinations are skipped. The input comes from outside: nesting is tracked
// without recursion (groups deeper than kRtfMaxDepth are read with their parent's formats),
// \binN never reaches past the end, a truncated escape is dropped, a picture or object cut
// short is dropped, and every input ends in bounded time.
#pragma once

#include <optional>
#include <string_view>

#include "platform/controls/rich_edit/rich_text.h"

namespace platform {

inline constexpr int kRtfMaxDepth = 100;

// Nothing when the bytes do not begin as an RTF document ("{\rtf"). `base` is the format
// of text that names none, and the one \plain goes back to.
std::optional<RichText> ReadRtf(std::string_view data, const RichFormat& base);

} // namespace platform
