// Splits one manifest line into words. Words are separated by blanks; a double quote opens
// a quoted part (anywhere in a word, so folder="My Pictures" is one word) in which blanks
// are kept and \" \\ \n \t stand for a quote, a backslash, a line feed and a tab; a '#'
// outside quotes at the start of a word begins a comment that runs to the line's end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// False, with a message in `error`, for an unterminated quote or an unknown escape.
bool SplitManifestLine(std::string_view line, std::vector<std::string>& words, std::string& error);
