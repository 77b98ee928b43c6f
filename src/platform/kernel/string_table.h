// The program's string table: Windows-1252 texts by number, compiled in
// (string_table.cpp holds the entries).
#pragma once

#include "platform/kernel/win_types.h"

// Copies at most bufferMax - 1 bytes of string `id` and a terminating zero and returns
// the number of bytes copied. 0 with ERROR_RESOURCE_NAME_NOT_FOUND for an unknown id,
// with ERROR_INVALID_PARAMETER without a buffer. The instance is not consulted: the
// program has one string table.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);
