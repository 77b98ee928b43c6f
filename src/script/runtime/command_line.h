// The script's view of the command line: arguments separated by blanks, an argument that
// starts with a double or a single quote running to the next quote of the same kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// 0 for a null or empty line.
int32_t CountArguments(const char* commandLine);
// Copies argument `n` (from 0) into `buffer`, at most size - 1 characters, terminated (an
// empty text when there is no such argument). Returns the number of arguments scanned
// before the scan stopped.
int32_t GetArgument(char* buffer, size_t size, const char* commandLine, int32_t n);

// The command line that gives back `arguments` through GetArgument: separated by one
// space, and quoted when empty, holding a blank or starting with a quote or a control
// character (with single quotes when the argument holds a double quote). An argument
// holding both kinds of quote and a blank cannot come back whole.
std::string JoinArguments(const std::vector<std::string>& arguments);
