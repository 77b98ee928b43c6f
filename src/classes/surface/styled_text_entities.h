// The character entities of styled text: "&#65;" for every character 9, 10, 13 and 32 to
// 255 ("&#09;" for the tab), and the named ones of 34, 38, 60, 62 and 160 to 255, each row
// right after the numeric one of its character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Replaces, row by row in table order, every occurrence of each entity by its character,
// so a character one row makes may complete a later row's entity ("&amp;lt;" gives "<").
// `origins`, when given, receives for each character of the result the offset in `run` at
// which the text it came from starts.
std::string ReplaceEntities(std::string_view run, std::vector<uint32_t>* origins = nullptr);
