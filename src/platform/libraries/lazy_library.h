// Libraries that only some projects need, loaded on first use.
//
// The player does not link them: each function of them that we call is a trampoline of
// our own (generated from the library's `.symbols` table by lazy_libraries.cmake) that
// jumps through a slot. The first call through any slot of a library opens the library
// by its versioned soname and looks up every symbol of the table once; a library that
// cannot be loaded then ends the process with the Debian package to install. So that a
// missing library fails like any unavailable device instead, each back end calls Require
// at its entry (opening a movie, making a synthesizer, printing...) and reports its normal
// failure when it answers false; the first refusal of each library says on standard error
// which package to install.
#pragma once

#include <initializer_list>

namespace platform {

enum class LazyLibrary {
    Sdl2,
    Curl,
    X11,
    Freetype,
    Fontconfig,
    Systemd,
    Cairo,
    Cups,
    AvFormat,
    AvCodec,
    AvUtil,
    SwScale,
    SwResample,
    FluidSynth,
    OpenMpt,
    EspeakNg,
    Alsa,
    Png,
    Jpeg,
    Ffi,
};

// Loads the library now if it is not yet loaded; false (said once on standard error)
// when it cannot be. Safe from any thread.
bool Require(LazyLibrary library);
// Every one of them, trying all so that each missing one is named.
bool Require(std::initializer_list<LazyLibrary> libraries);

// A variable of a loaded library (the trampolines serve functions only); nullptr when
// the library cannot be loaded or lacks it.
void* LazyLibraryData(LazyLibrary library, const char* name);

} // namespace platform
