// Runs script text from memory with the real interpreter and a set of test-double
// classes, and reports how the run ended and what the script printed.
//
// Test doubles (registered for the life of a ScriptRunner):
//   Math (2, singleton)     the real Math's methods, and Print(...) (bare): prints its
//                           arguments separated by one
//                           space, then a line break; Raise(code) (bare): raises the
//                           error inside a method; ArgCount(...) (bare): the count;
//                           Post(handler, ...) / Coalesce(handler, ...) (bare): queue an
//                           event with the other arguments (Coalesce: source Math);
//                           RunPending() (bare): a wait that runs queued events;
//                           EnableEvents(flag) (bare); QueuedEvents() (bare);
//                           Count(classId): live objects of a class; Serial(object);
//                           CollectNow() (bare); AsText(x) (bare): x as a text; Echo(...) (bare):
//                           runs the queued events, then prints as Print; UseRenderers()
//                           (bare): the renderers' back ends for the run; ANSWER = 42;
//                           the user at the headless display: UiClick, UiKey, UiType,
//                           UiDrop, UiClose, UiAdvance, UiDispatch and the rest of
//                           window_doubles.h (bare)
//   Voice (53)              New Voice(surface?) holds the Surface; X, Move(x, y)
//                           (posts OnMove(x, y) coalesced by sprite), OnMove (event
//                           property), Fire(...) (posts OnMove with the arguments),
//                           Wait() (runs queued events, then reads its own fields),
//                           Fail() (New Voice(-1) fails to create); MAX = 7
//   Blob (68)               outside Run, and in a script that makes one with New Blob()
//                           (the 3D classes' Blob takes arguments, and stands in the
//                           other scripts): Id() (its serial), X() (100 + serial)
//   String (8)              the text class
//   the system service classes, Program and System among them, the window classes and
//   the Surface classes
//
// Each run has a fresh headless display, and a fresh folder as the file layer's current directory,
// holding the folders of XDG_CONFIG_HOME, XDG_DATA_HOME, ZORV_REGISTRY_DIR and TMPDIR.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CLaunchInfo;

namespace script_test {

struct ScriptResult {
    bool compiled = false;
    // 1 when the run ended normally.
    int ok = 0;
    // The error code that ended the run (0 for a normal end).
    int32_t code = 0;
    uint32_t subCode = 0;
    // 0-based, as the error record keeps them; -1 when unknown.
    int32_t line = -1;
    int32_t column = -1;
    std::string unit;
    std::string output;
    // The files asked for that the run left in its folder, by name.
    std::map<std::string, std::string> files;
};

class ScriptRunner {
public:
    ScriptRunner();
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // `project`, when not empty, is project data the run opens, so that scripts reach its
    // banks; `keep` names files of the run's folder to return in the result; `launch`, when
    // given, is the launch block of the run (a hosted run, say).
    ScriptResult Run(const std::string& source, const std::string& unitName = "test.zs",
                     const std::string& project = {}, const std::vector<std::string>& keep = {},
                     CLaunchInfo* launch = nullptr);

    // Runs take the interpreter's reference walk (CInterpretor::referenceWalk).
    bool referenceWalk = false;
    // Runs take the compiled form of script code, as the player does
    // (CInterpretor::compiledForm); false: the walk alone.
    bool compiledForm = true;
};

} // namespace script_test
