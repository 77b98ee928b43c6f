// The RichEdit class: formatted text in the player's "RichEdit20A" control. Character
// formats of the selection, search, streaming text and RTF to and from files, bank elements,
// the selection and texts, multi-level undo and redo, links with an event, drawing into a
// Surface, and the events of the Edit. The control is always there with link support; the
// branches of the first control version stay behind `version2` for what relied on them.
#pragma once

#include <cstdint>
#include <string>

#include "classes/window/child_window.h"
#include "classes/window/controls/control_table.h"
#include "classes/window/controls/edit_operations.h"
#include "platform/controls/rich_edit/rich_edit.h"

class CIRichEdit : public CIChildWindow {
public:
    static constexpr uint32_t kClassId = 0x2F;
    static constexpr uint16_t kMethodCount = 115;
    static constexpr uint32_t kFirstClassLevelId = 115;

    // flagsA bits of the own attribute constants.
    static constexpr uint32_t kAutoUrlDetect = 0x4;
    static constexpr uint32_t kHideDisabledState = 0x8;
    static constexpr uint32_t kMultiLevelUndo = 0x10;
    // Flag arguments of the search and streaming methods.
    static constexpr uint32_t kFormatTag = 0x89AF0000u;
    static constexpr uint32_t kTagMask = 0xFFFF0000u;
    static constexpr uint32_t kText = 0x89AF0001u;
    static constexpr uint32_t kRtf = 0x89AF0002u;
    static constexpr uint32_t kMatchCase = 0x80000004u;
    static constexpr uint32_t kWholeWord = 0x80000002u;

    CIRichEdit(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // new RichEdit(parent, [caption], [constants...], [x], [y], [width], [height]).
    void Create() override;
    void Register() override;
    // 1 when the Tab walk passes the RichEdit by (no TABSTOP, hidden or disabled), so that
    // the Tab key types a tab in it.
    int KeepsTabKey() override;

    // The control's window procedure in front of its own, for RichEdit windows only.
    static LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The RichEdit part of the parent Window's procedure.
    static LRESULT ParentHandler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                                 LPARAM lParam);

    // Process-wide: the control answers as version 2 (links, multi-level undo). It always
    // does here; tests clear it to run the first version's branches.
    static inline uint32_t version2Control = 1;

    // ---- Fields ---------------------------------------------------------------------
    uint32_t version2 = version2Control;
    uint32_t hideDisabledState = 0;
    uint32_t multiLevelUndo = 0;
    int32_t undoLimit = 1;
    WNDPROC savedWindowProc = nullptr;
    const BlockRecord* onTextChanged = nullptr;
    const BlockRecord* onSetFocus = nullptr;
    const BlockRecord* onKillFocus = nullptr;
    const BlockRecord* onMaxTextReached = nullptr;
    const BlockRecord* onHorizontalScroll = nullptr;
    const BlockRecord* onVerticalScroll = nullptr;
    const BlockRecord* onMouseDown = nullptr;
    const BlockRecord* onMouseUp = nullptr;
    const BlockRecord* onDblClick = nullptr;
    const BlockRecord* onLink = nullptr;

private:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // One of the operations the Edit runs on its window, on this one.
    void Edit(EditOperation operation);
    void SetInt(int32_t value);

    void OnTextChanged();
    void OnSetFocusEvent();
    void OnKillFocusEvent();
    void OnMaxTextReached();
    void OnHorizontalScroll();
    void OnVerticalScroll();
    void OnMouseDown();
    void OnMouseUp();
    void OnDblClick();
    void OnLink();
    void CanUndo();
    void ClearUndoBuffer();
    void GetFirstVisibleLine();
    void GetMaxSize();
    void GetStartSelection();
    void GetEndSelection();
    void GetLineCount();
    void IsModified();
    void SetSelection();
    void SetTabStops();
    void GetLineContent();
    void Copy();
    void Cut();
    void Paste();
    void DeleteSelection();
    void SetModified();
    void SetReadOnly();
    void SetLeftMargin();
    void SetRightMargin();
    void ScrollDownOneLine();
    void ScrollUpOneLine();
    void ScrollDownOnePage();
    void ScrollUpOnePage();
    void GetLineLength();
    void Scroll();
    void SetMaxSize();
    void GetSelection();
    void CanPaste();
    void Undo();
    void ReplaceSelection();
    void FindText();
    void LoadText();
    void SaveText();
    void LoadRTF();
    void SaveRTF();
    void GetTextRange();
    void HideSelection();
    void ShowSelection();
    void IsTextSelected();
    void SetBackGround();
    void SetCharFaceName();
    void SetCharBold();
    void SetCharColor();
    void SetCharItalic();
    void SetCharUnderline();
    void SetCharStrikeOut();
    void SetCharHeight();
    void GetCharFaceName();
    void IsCharBold();
    void GetCharColor();
    void IsCharItalic();
    void IsCharUnderline();
    void IsCharStrikeOut();
    void GetCharHeight();
    void GetLineIndexFromCharIndex();
    void GetCharIndexFromLineIndex();
    void GetInt();
    void GetFloat();
    void Draw();
    void HasLinkSupport();
    void SetCharLink();
    void InsertText();
    void Redo();
    void CanRedo();
    void HasMultiLevelUndoSupport();
    void GetUndoLevelCount();
    void SetUndoLevelCount();

    // Streams a file or bank element in (SF_TEXT or SF_RTF); 1 on success.
    int32_t Load(uint32_t format);
    int32_t Save(uint32_t format);
    // InsertText and ReplaceSelection: the text and the tagged flags in any order.
    void StreamArguments(bool collapse);
    void SetEffect(uint32_t mask);
    void IsEffect(uint32_t mask);
    // EM_SETCHARFORMAT / EM_GETCHARFORMAT on the selection.
    void SetCharFormat(uint32_t mask, uint32_t effects, const CHARFORMATA* base = nullptr);
    CHARFORMATA GetCharFormat();
    // Twips of one pixel of the screen (1440 / LOGPIXELSY).
    int32_t TwipsPerPixel();

    static const ScriptMethod<CIRichEdit> kOwnMethods[kMethodCount - kFirstOwnControlMethod];
};

const ScriptClassInfo* GetRichEditClassInfo();
