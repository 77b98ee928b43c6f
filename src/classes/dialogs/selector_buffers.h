// The texts the Selector hands to the file dialogs and reads back from them: filters
// written with '|' and the file-name buffer the dialogs fill.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace selector {

// Bytes of the file-name buffer; an initial name keeps at most kFileBufferSize - 2 of them,
// so that two zero bytes always end it.
inline constexpr size_t kFileBufferSize = 4096;

// A filter text for the dialog: each '|' a zero byte, and two zero bytes at the end.
std::string DialogFilter(const std::string& scriptFilter);

// What a confirmed dialog left in the buffer: one full path, or a folder followed by the
// names chosen in it, each ending in a zero byte. Nothing is read past `size` bytes.
bool HasManyFiles(const char* buffer, size_t size);
// The first file's full path; "" for an empty buffer.
std::string FirstFile(const char* buffer, size_t size);
// Every chosen file's full path.
std::vector<std::string> AllFiles(const char* buffer, size_t size);

} // namespace selector
