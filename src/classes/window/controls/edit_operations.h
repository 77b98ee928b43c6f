// The methods an edit field gives scripts, on any window of the EDIT family: the Edit class
// runs them on its control, and the rich edit on its own, for the methods the two share.
// Each reads its arguments from the interpreter's call frame and writes its result there.
#pragma once

#include <cstdint>
#include <string>

#include "platform/user/windows.h"

class CInterpretor;

enum class EditOperation : uint8_t {
    Copy,
    Cut,
    Paste,
    Undo,
    SetModified,
    GetSelection,
    SetSelection,
    DeleteSelection,
    ClearUndoBuffer,
    SetMaxSize,
    GetMaxSize,
    CanUndo,
    GetFirstVisibleLine,
    GetLineContent,
    GetLineCount,
    IsModified,
    GetStartSelection,
    GetLineLength,
    Scroll,
    ScrollDownOneLine,
    ScrollUpOneLine,
    ScrollDownOnePage,
    ScrollUpOnePage,
    SetReadOnly,
    SetTabStops,
    GetEndSelection,
    ReplaceSelection,
    GetLineIndexFromCharIndex,
    GetCharIndexFromLineIndex,
    GetInt,
    GetFloat,
    LoadText,
    SaveText,
    InsertText,
};

// The flag of InsertText that lets the insertion be undone.
inline constexpr uint32_t kInsertCanUndo = 0x89AF0001u;

// Runs `operation` on `window` (a null window gets the messages, which answer 0).
void RunEditOperation(CInterpretor& interpreter, HWND window, EditOperation operation);

// The text of line `line`, also of lines longer than the 65,535 characters EM_GETLINE's
// size word can name.
std::string GetEditLine(HWND window, int32_t line);
