// COM initialisation. The layer has no COM objects that need an apartment, so
// initialising only counts, per thread, as Windows does: the first CoInitialize of a
// thread answers S_OK, later ones S_FALSE, and each needs its own CoUninitialize.
#pragma once

#include "platform/kernel/win_types.h"

using HRESULT = LONG;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;

// The argument is reserved and ignored.
HRESULT CoInitialize(LPVOID reserved);
// An uninitialise without a matching initialise does nothing.
void CoUninitialize();
