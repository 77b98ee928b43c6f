//== character heights go to the control in twips and come back in pixels
w = New Window(300, 200, 0, 0);
r = New RichEdit("some text", 10, 10, 200, 100);
r.SetSelection(0, -1);
r.SetCharHeight(16);
Print(r.GetCharHeight());
r.SetCharHeight(30);
Print(r.GetCharHeight());
r.SetCharHeight();
Print(r.GetCharHeight());
// expect output: 16
// expect output: 30
// expect output: 16
// expect: end

//== automatic colour reads as the window text colour, a set one as given
w = New Window(300, 200, 0, 0);
r = New RichEdit("some text", 10, 10, 200, 100);
r.SetSelection(0, 4);
Print(r.GetCharColor());
r.SetCharColor(0xFF8000);
Print(r.GetCharColor(), r.IsCharBold());
r.SetCharBold();
r.SetCharItalic(1);
r.SetCharUnderline(0);
r.SetCharStrikeOut();
r.SetCharFaceName("Courier New");
r.SetCharFaceName("");
Print(r.IsCharBold(), r.IsCharItalic(), r.IsCharUnderline(), r.IsCharStrikeOut(), r.GetCharFaceName());
r.SetSelection(2, 7);
Print(r.IsCharBold(), r.GetCharFaceName());
// expect output: 0
// expect output: 16744448 0
// expect output: 1 1 0 1 Courier New
// expect output: 1 Courier New
// expect: end

//== FindText with a start, flags in any order, and without a start
w = New Window(300, 200, 0, 0);
r = New RichEdit("abc xabc Abc abc abcd", 10, 10, 200, 100);
Print(r.FindText("abc"), r.FindText("abc", 1), r.FindText("abc", 10, RichEdit.MATCHCASE, RichEdit.WHOLEWORD));
Print(r.FindText("ABC", RichEdit.MATCHCASE), r.FindText("abc", RichEdit.WHOLEWORD, 14), r.FindText());
// expect output: 0 5 13
// expect output: -1 -1 -1
// expect: end

//== GetTextRange clamps its ends and counts a paragraph end once
w = New Window(300, 200, 0, 0);
r = New RichEdit("", 10, 10, 200, 100);
r.SetText("one" + Program.GetChar(13) + Program.GetChar(10) + "two");
Print("[" + r.GetTextRange(4, 7) + "]", "[" + r.GetTextRange(5, 2) + "]", "[" + r.GetTextRange(-3, 2) + "]");
a = r.GetTextRange();
b = r.GetText();
Print("[" + r.GetTextRange(5) + "]", "[" + r.GetTextRange(6, 99) + "]", a.Length(), b.Length());
// expect output: [two] [] [on]
// expect output: [wo] [o] 7 8
// expect: end

//== text and RTF saved to files and loaded back
w = New Window(300, 200, 0, 0);
r = New RichEdit("plain and bold", 10, 10, 200, 100);
r.SetSelection(10, 14);
r.SetCharBold();
Print(r.SaveRTF("saved.rtf"), r.SaveText("saved.txt"), r.SaveText());
r.SetText("gone");
Print(r.LoadRTF("saved.rtf"), r.GetText());
r.SetSelection(11, 12);
Print(r.IsCharBold());
r.SetSelection(0, 1);
Print(r.IsCharBold());
Print(r.LoadText("saved.rtf"));
a = r.GetText();
Print(a.SubString(0, 6));
Print(r.LoadText("missing.txt"), r.LoadRTF());
a = r.GetText();
Print(a.SubString(0, 6));
Print(r.LoadText("saved.txt"), r.GetText());
// expect output: 1 1 0
// expect output: 1 plain and bold
// expect output: 1
// expect output: 0
// expect output: 1
// expect output: {\rtf1
// expect output: 0 0
// expect output: {\rtf1
// expect output: 1 plain and bold
// expect: end

//== GetSelection as text or as an RTF document, twice the same
w = New Window(300, 200, 0, 0);
r = New RichEdit("hello world", 10, 10, 200, 100);
r.SetSelection(0, 5);
r.SetCharItalic();
a = r.GetSelection(RichEdit.RE_RTF);
b = r.GetSelection(RichEdit.RE_RTF);
Print(r.GetSelection(), a.SubString(0, 6), a.SubString(a.Length() - 2) == "}" + Program.GetChar(10), a == b);
r.SetSelection(3, 3);
Print("[" + r.GetSelection() + "]");
// expect output: hello {\rtf1 1 1
// expect output: []
// expect: end

//== GetSelection takes tagged flags only
w = New Window(300, 200, 0, 0);
r = New RichEdit("hello", 10, 10, 200, 100);
x = r.GetSelection(2);
// expect: error 14 line 3

//== InsertText and ReplaceSelection stream text or RTF into the selection
w = New Window(300, 200, 0, 0);
r = New RichEdit("0123456789", 10, 10, 200, 100);
r.SetSelection(2, 5);
r.InsertText("ab");
Print(r.GetText());
r.SetSelection(0, 1);
r.ReplaceSelection(RichEdit.RE_RTF, "{\rtf1 \b B}");
Print(r.GetText(), r.IsCharBold());
r.SetSelection(0, 0);
r.ReplaceSelection("x", RichEdit.RE_TEXT);
r.ReplaceSelection();
Print(r.GetText());
// expect output: 01ab23456789
// expect output: B1ab23456789 1
// expect output: xB1ab23456789
// expect: end

//== InsertText takes one text
w = New Window(300, 200, 0, 0);
r = New RichEdit("x", 10, 10, 200, 100);
r.InsertText("a", "b");
// expect: error 14 line 3

//== ReplaceSelection takes tagged flags only
w = New Window(300, 200, 0, 0);
r = New RichEdit("x", 10, 10, 200, 100);
r.ReplaceSelection("a", 1);
// expect: error 14 line 3

//== multi-level undo keeps 100 steps until told otherwise, and redoes
w = New Window(300, 200, 0, 0);
r = New RichEdit("", RichEdit.MULTILEVELUNDO, 10, 10, 200, 100);
s = New RichEdit("", 10, 10, 200, 100);
Print(r.HasMultiLevelUndoSupport(), r.GetUndoLevelCount(), s.HasMultiLevelUndoSupport(), s.GetUndoLevelCount());
r.SetUndoLevelCount(2);
r.SetUndoLevelCount();
Print(r.GetUndoLevelCount(), r.HasLinkSupport());
r.ReplaceSelection("a");
r.ReplaceSelection("b");
r.ReplaceSelection("c");
r.Undo();
r.Undo();
Print(r.GetText(), r.CanUndo(), r.CanRedo());
r.Redo();
Print(r.GetText(), r.CanRedo());
s.ReplaceSelection("a");
s.Undo();
Print(s.CanRedo());
// expect output: 1 100 0 1
// expect output: 100 1
// expect output: a 1 1
// expect output: ab 1
// expect output: 0
// expect: end

//== a click on a detected URL posts OnLink with the link and its range
Function Linked(re, shown, low, high) {
    Print("link", shown, low, high);
}
Function Down(re, px, py, which) {
    Print("down", which == RichEdit.LEFTBUTTON);
}
w = New Window(300, 200, 0, 0);
r = New RichEdit("go to www.example.com now", RichEdit.AUTOURLDETECT, 0, 0, 280, 100);
r.OnLink = Linked;
r.OnMouseDown = Down;
UiRefreshNow();
UiSendTo(r, 0x201, 1, 80 + 8 * 65536);
UiSendTo(r, 0x202, 0, 80 + 8 * 65536);
RunPending();
UiSendTo(r, 0x201, 1, 5 + 8 * 65536);
UiSendTo(r, 0x202, 0, 5 + 8 * 65536);
RunPending();
// expect output: down 1
// expect output: link www.example.com 6 21
// expect output: down 1
// expect: end

//== a URL on a line followed by another one is found under the pointer
Function Linked(re, shown, low, high) {
    Print("link", shown, low, high);
}
w = New Window(300, 200, 0, 0);
r = New RichEdit("go to www.example.com now, and enough more words to wrap onto a second line",
                 RichEdit.AUTOURLDETECT, 0, 0, 280, 100);
r.OnLink = Linked;
UiRefreshNow();
Print(r.GetLineCount() > 1);
UiSendTo(r, 0x201, 1, 80 + 8 * 65536);
UiSendTo(r, 0x202, 0, 80 + 8 * 65536);
RunPending();
// expect output: 1
// expect output: link www.example.com 6 21
// expect: end

//== Draw renders into its rectangle of a Surface only
w = New Window(300, 200, 0, 0);
r = New RichEdit("WWWW WWWW WWWW WWWW WWWW WWWW", 10, 10, 200, 100);
s = New Surface(100, 60, 32);
s.Clear();
r.Draw(s, 20, 10, 60, 30);
inside = 0;
outside = 0;
For (y = 0; y < 60; y++) {
    For (x = 0; x < 100; x++) {
        If (s.GetPixel(x, y) != 0xFFFFFF) {
            If (x >= 20 && x < 80 && y >= 10 && y < 40) inside++; Else outside++;
        }
    }
}
Print(inside > 20, outside);
// expect output: 1 0
// expect: end

//== Draw wants a Surface
w = New Window(300, 200, 0, 0);
r = New RichEdit("x", 10, 10, 200, 100);
r.Draw(w);
// expect: error 127 line 3

//== selections, lines and margins through the EM_EX messages
w = New Window(300, 200, 0, 0);
r = New RichEdit("", 10, 10, 200, 100);
r.SetText("first" + Program.GetChar(13) + Program.GetChar(10) + "second line");
r.SetSelection(2);
Print(r.GetStartSelection(), r.GetEndSelection(), r.IsTextSelected());
r.SetSelection(-1, 8);
Print(r.GetStartSelection(), r.GetEndSelection(), r.IsTextSelected());
r.SetSelection(7, 8);
Print(r.IsTextSelected(), r.GetLineIndexFromCharIndex(8), r.GetLineIndexFromCharIndex(), r.GetCharIndexFromLineIndex(1));
r.SetSelection();
r.SetLeftMargin(5);
r.SetRightMargin(7);
r.SetMaxSize(4);
Print(r.GetMaxSize(), r.GetLineCount(), r.GetLineLength(1), r.GetLineContent(1));
r.SetMaxSize();
Print(r.GetMaxSize());
// expect output: 2 17 1
// expect output: 8 8 0
// expect output: 1 1 0 6
// expect output: 4 2 11 second line
// expect output: 2147483647
// expect: end

//== the character height of SetCharHeight(16) is 12 points in the RTF
w = New Window(300, 200, 0, 0);
r = New RichEdit("sized", 10, 10, 200, 100);
r.SetSelection(0, -1);
r.SetCharHeight(16);
a = r.GetSelection(RichEdit.RE_RTF);
Print(a.IndexOf("\fs24 sized") > 0);
// expect output: 1
// expect: end

//== a disabled RichEdit with HIDEDISABLEDSTATE paints as an enabled one, once
Function Row(win, top) {
    t = "";
    For (x = 4; x < 60; x++) t = t + " " + UiPixel(win, x, top + 8);
    Return t;
}
w = New Window(300, 200, 0, 0);
a = New RichEdit("WWWW", 0, 0, 100, 30);
b = New RichEdit("WWWW", RichEdit.HIDEDISABLEDSTATE, 0, 40, 100, 30);
c = New RichEdit("WWWW", 0, 80, 100, 30);
b.Disable();
c.Disable();
UiRefreshNow();
Print(UiDispatch() < 20);
Print(Row(w, 0) == Row(w, 40), Row(w, 0) == Row(w, 80));
// expect output: 1
// expect output: 1 0
// expect: end

//== the user's click through the display: mouse down, then the link on release
Function Linked(re, shown, low, high) {
    Print("link", shown, low, high);
}
Function Down(re, px, py, which) {
    Print("down", px, py);
}
w = New Window(300, 200, 0, 0);
r = New RichEdit("go to www.example.com now", RichEdit.AUTOURLDETECT, 0, 0, 280, 100);
r.OnLink = Linked;
r.OnMouseDown = Down;
UiRefreshNow();
UiClick(w, 80, 8);
UiDispatch();
RunPending();
UiClick(w, 5, 8);
UiDispatch();
RunPending();
Print(r.GetStartSelection());
// expect output: down 79 7
// expect output: link www.example.com 6 21
// expect output: down 4 7
// expect output: 1
// expect: end

//== a RichEdit the Tab walk passes by keeps the Tab key
w = New Window(200, 100, 0, 0);
plain = New RichEdit();
stop = New RichEdit(RichEdit.TABSTOP);
UiRefreshNow();
Print(UiKeepsTab(plain), UiKeepsTab(stop));
stop.Disable();
Print(UiKeepsTab(stop));
// expect output: 1 0
// expect output: 1
// expect: end
