# The dialogs and the RichEdit answer the keyboard on X as a user types.
source "$(dirname "$0")/lib.sh"

colours=$(x_project colours <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
Function Show(text) { out.Write(text + Program.GetChar(10)); }
w = New Window("Colours", 320, 200);
chooser = New Selector();
Show("ready");
chosen = chooser.ChooseColorDialog(w, 0x123456);
Show("colour " + chosen + " " + chooser.GetChosenColor());
While (1) Program.Wait(20);
ZS
)

return_confirms_the_colour_dialog() {
  x_start "$colours"
  x_window Colours >/dev/null || return 1
  x_expect ready || return 1
  local id
  id=$(x_window Color) || return 1
  x_focus "$id" && x_key Return && x_expect "colour 1 $((0x123456))"
}
x_check "Return confirms the colour dialog" return_confirms_the_colour_dialog

# An RTF document whose last paragraph, right-aligned, ends in \par as RTF writers end it,
# loaded into a field narrow enough to wrap that paragraph. Ctrl+End then puts the caret after
# its last word. The script reports where the word typed on stands and how the paragraphs are
# aligned.
rich=$(x_project rich <<'ZS'
out = New File("/dev/stdout", File.WRITEONLY);
Function Show(text) { out.Write(text + Program.GetChar(10)); }
Function Count(text, part) {
    n = 0;
    at = text.IndexOf(part, 0);
    While (at >= 0) {
        n++;
        at = text.IndexOf(part, at + 1);
    }
    Return n;
}
w = New Window("Rich", 200, 120);
pad = New RichEdit(RichEdit.MULTILEVELUNDO, 0, 0, 200, 120);
name = Disk.CreateTemporaryFile("rtf");
f = New File(name, File.WRITEONLY);
f.Write("{\rtf1\ansi\pard left\par\pard\qr Caf\'e9 - characters beyond ASCII\par}");
f.Close();
pad.LoadRTF(name);
pad.SetFocus();
Show("ready");
reported = 0;
While (1) {
    Program.Wait(20);
    word = pad.FindText("ASCIIEND");
    If (word >= 0 && reported == 0) {
        Show("word on one line " + (pad.GetLineIndexFromCharIndex(word) == pad.GetLineIndexFromCharIndex(word + 7)));
        reported = 1;
    }
    If (pad.FindText("more") >= 0 && reported == 1) {
        pad.SetSelection(0, -1);
        rtf = pad.GetSelection(RichEdit.RE_RTF);
        Show("aligned right " + Count(rtf, "\qr") + " left " + Count(rtf, "\pard "));
        reported = 2;
    }
}
ZS
)

typing_after_a_right_aligned_line() {
  x_start "$rich"
  local id
  id=$(x_window Rich) || return 1
  x_expect ready || return 1
  x_focus "$id" && x_key ctrl+End && x_type END && x_expect "word on one line 1" || return 1
  x_key Return && x_type more && x_expect "aligned right 2 left 1"
}
x_check "typing at the end of a right-aligned last line goes on it, and Return keeps its alignment" \
  typing_after_a_right_aligned_line

x_done
