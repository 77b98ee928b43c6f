// Writes a rich-edit document as RTF: \rtf1\ansi\ansicpg1252\deff0, the font and colour
// tables of the faces and colours in use (in order of first use), then the paragraphs and
// runs with the words the reader knows. '\', '{' and '}' are escaped, bytes above 0x7F and
// control bytes written as \'hh; a picture or object is its group as it was read. The same
// document always gives the same bytes.
#pragma once

#include <string>

#include "platform/controls/rich_edit/rich_text.h"

namespace platform {

std::string WriteRtf(const RichText& document);

} // namespace platform
