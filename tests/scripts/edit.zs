//== each one-message method sends its message with its defaults
w = New Window(200, 100, 0, 0);
e = New Edit("hello", Edit.MULTILINE, 10, 10, 150, 60);
UiSpyMessages(e);
e.SetSelection(); e.SetMaxSize(); e.SetModified(); e.SetReadOnly(5); e.Scroll();
Print(UiMessages());
e.ScrollDownOneLine(); e.ScrollUpOneLine(); e.ScrollDownOnePage(); e.ScrollUpOnePage();
Print(UiMessages());
e.Copy(); e.Cut(); e.Paste(); e.Undo(); e.ClearUndoBuffer(); e.DeleteSelection();
Print(UiMessages());
x = e.GetLineLength(); x = e.GetCharIndexFromLineIndex(); x = e.GetLineIndexFromCharIndex(3);
Print(UiMessages());
Print(e.CanUndo(), e.IsModified(), e.GetLineCount(), e.GetFirstVisibleLine());
e.SetMaxSize(7);
Print(e.GetMaxSize());
// expect output: B1 -1 -1; C5 -1 0; B9 1 0; CF 1 0; B6 0 0
// expect output: B5 1 0; B5 0 0; B5 3 0; B5 2 0
// expect output: 301 0 0; 300 0 0; 302 0 0; 304 0 0; CD 0 0; C2 1 ''
// expect output: BB 0 0; C1 0 0; BB 0 0; C9 3 0
// expect output: 0 1 1 0
// expect output: 7
// expect: end

//== InsertText replaces the selection at its start, undoable by default
w = New Window(200, 100, 0, 0);
a = New Edit("xyz", 10, 10, 150, 20);
b = New Edit("xyz", 10, 40, 150, 20);
a.SetSelection(1, 2); b.SetSelection(1, 2);
UiSpyMessages(a);
a.InsertText("abc");
Print(UiMessages());
UiSpyMessages(b);
b.InsertText(Edit.INSERT_CANUNDO, "abc");
Print(UiMessages());
Print(a.GetText(), b.GetText());
// expect output: B0; B1 -1 1; C2 1 'abc'
// expect output: B0; B1 -1 1; C2 1 'abc'
// expect output: xabcyz xabcyz
// expect: end

//== InsertText takes one text only
w = New Window(200, 100, 0, 0);
e = New Edit("xyz");
e.InsertText("abc", "def");
// expect: error 14 line 3

//== InsertText takes tagged flags only
w = New Window(200, 100, 0, 0);
e = New Edit("xyz");
e.InsertText("abc", 1);
// expect: error 14 line 3

//== selections and their replacement
w = New Window(200, 100, 0, 0);
e = New Edit("hello world", 10, 10, 150, 20);
e.SetSelection(6, 11);
Print(e.GetSelection(), e.GetStartSelection(), e.GetEndSelection());
e.ReplaceSelection(0, "there");
Print(e.GetText(), e.CanUndo());
e.SetSelection(3, 3);
Print("[" + e.GetSelection() + "]");
e.SetText("42.5 apples");
Print(e.GetInt(), e.GetFloat());
// expect output: world 6 11
// expect output: hello there 0
// expect output: []
// expect output: 42 42.5
// expect: end

//== GetLineContent of short and very long lines
// Enter, pressed in the field, breaks the lines.
w = New Window(200, 100, 0, 0);
e = New Edit(Edit.MULTILINE, Edit.HAUTOSCROLL, 10, 10, 150, 60);
e.SetMaxSize(200000);
s = "0123456789";
For (k = 0; k < 3; k++) {
    t = "";
    For (i = 0; i < 10; i++) t = t + s;
    s = t;
}
s = s + s + s + s + s + s + s;
e.SetText("first" + s + "last");
e.SetFocus();
e.SetSelection(70005, 70005);
UiKey(13); UiDispatch();
e.SetSelection(5, 5);
UiKey(13); UiDispatch();
line = e.GetLineContent(1);
Print(e.GetLineContent(), e.GetLineContent(2), line.Length(), line == s, e.GetLineLength(1));
Print("[" + e.GetLineContent(9) + "]", e.GetLineCount());
// expect output: first last 70000 1 70000
// expect output: [] 3
// expect: end

//== tab stops go in dialog units of the font's average character
w = New Window(200, 100, 0, 0);
e = New Edit(Edit.MULTILINE, 10, 10, 150, 60);
// Its average character is 8 pixels wide.
e.SetFont("Courier New", 13);
UiSpyMessages(e);
e.SetTabStops(40, 80);
Print(UiMessages());
e.SetTabStops();
// expect output: CB 2 20,40
// expect: error 21 line 8

//== text saved and loaded back, and what loading refuses
w = New Window(200, 100, 0, 0);
e = New Edit(Edit.MULTILINE, 10, 10, 150, 60);
e.SetText("onetwo");
e.SetFocus();
e.SetSelection(3, 3);
UiKey(13); UiDispatch();
both = e.GetText();
Print(e.SaveText("saved.txt"), e.GetLineCount());
e.SetText("other");
Print(e.LoadText("saved.txt"), e.GetText() == both);
e.SetText("");
Print(e.SaveText("empty.txt"), e.SaveText());
e.SetText("kept");
Print(e.LoadText("empty.txt"), e.LoadText("missing.txt"), e.LoadText(), e.GetText());
e.SetMaxSize(5);
Print(e.LoadText("saved.txt"), e.GetText());
// expect output: 1 2
// expect output: 1 1
// expect output: 1 0
// expect output: 0 0 0 kept
// expect output: 0 kept
// expect: end

//== notifications become events, two changes one event
Function Changed(e) { Print("changed", e.GetText()); }
Function Focus(e) { Print("focus"); }
w = New Window(200, 100, 0, 0);
e = New Edit(10, 10, 150, 20);
e.OnTextChanged = Changed;
e.OnSetFocus = Focus;
Function Storm() { e.SetText("a"); e.SetText("b"); }
Post(Storm);
RunPending();
RunPending();
e.SetFocus();
RunPending();
// expect output: changed b
// expect output: focus
// expect: end

//== mouse buttons through the Edit's own procedure, with signed coordinates
Function Down(e, x, y, b) { Print("down", x, y, b == Edit.LEFTBUTTON, b == Edit.RIGHTBUTTON); }
Function Up(e, x, y, b) { Print("up", x, y, b == Edit.MIDDLEBUTTON); }
Function Double(e, x, y, b) { Print("double", x, y, b == Edit.LEFTBUTTON); }
w = New Window(200, 100, 0, 0);
e = New Edit(10, 10, 150, 20);
e.OnMouseDown = Down;
e.OnMouseUp = Up;
e.OnDblClick = Double;
UiSendTo(e, 0x201, 1, 0xFFFCFFFD);
UiSendTo(e, 0x204, 2, 7 + 8 * 65536);
UiSendTo(e, 0x208, 0, 3 + 4 * 65536);
UiSendTo(e, 0x203, 1, 5 + 6 * 65536);
RunPending();
// expect output: down -3 -4 1 0
// expect output: down 7 8 0 1
// expect output: up 3 4 1
// expect output: double 5 6 1
// expect: end

//== a multi-line Edit the Tab walk passes by keeps the Tab key
w = New Window(200, 100, 0, 0);
single = New Edit();
plain = New Edit(Edit.MULTILINE);
stop = New Edit(Edit.MULTILINE, Edit.TABSTOP);
hidden = New Edit(Edit.MULTILINE, Edit.TABSTOP, Edit.HIDDEN);
UiRefreshNow();
Print(UiKeepsTab(single), UiKeepsTab(plain), UiKeepsTab(stop), UiKeepsTab(hidden));
stop.Disable();
Print(UiKeepsTab(stop));
// expect output: 0 1 0 1
// expect output: 1
// expect: end
