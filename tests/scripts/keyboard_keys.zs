//== Keyboard's constants and IsKeyDown without keys down
// expect: end
// expect output: 17 160 93 16 9 123 105 144 145
// expect output: 0 0 0 0 0
Print(Keyboard.CONTROL, Keyboard.LSHIFT, Keyboard.RWIN + 1, Keyboard.SHIFT, Keyboard.TAB,
      Keyboard.F12, Keyboard.NUM9, Keyboard.NUMLOCK, Keyboard.SCROLL);
Print(Keyboard.IsKeyDown(), Keyboard.IsKeyDown("a"), Keyboard.IsKeyDown("A"),
      Keyboard.IsKeyDown(-5), Keyboard.IsKeyDown(70000));

//== New Keyboard cannot be made
// expect: error 65 line 2
k = New Keyboard();

//== key events carry the code, the modifier flags and the text
// Letters give their upper-case character with the letter as text; keys the constants
// name give their own code and no text.
n = 0;
Function Down(o, code, flags, text) { Print("down", code, flags, "[" + text + "]"); n++; }
Function Up(o, code, flags, text) { Print("up", code, flags, "[" + text + "]"); n++; }
w = New Window(200, 100, 0, 0);
w.OnKeyDown = Down;
w.OnKeyUp = Up;
UiKey(65); UiKey(Keyboard.LEFT); UiKey(Keyboard.RETURN); UiKey(49);
For (i = 0; i < 1000 && n < 8; i++) Program.Wait(5);
// expect output: down 65 0 [A]
// expect output: up 65 0 [A]
// expect output: down 37 0 []
// expect output: up 37 0 []
// expect output: down 13 0 []
// expect output: up 13 0 []
// expect output: down 49 0 [1]
// expect output: up 49 0 [1]
// expect: end

//== Tab walks the controls; a multi-line Edit keeps its Tab
// On the Window itself Tab goes to the last control that takes the focus.
n = 0;
Function Down(o, code, flags, text) { Print("key", o == big, code); n++; }
w = New Window(200, 200, 0, 0);
a = New Edit("a", Edit.TABSTOP, 10, 10, 150, 20);
b = New Edit("b", Edit.TABSTOP, 10, 40, 150, 20);
big = New Edit("c", Edit.MULTILINE, 10, 70, 150, 60);
big.OnKeyDown = Down;
UiRefreshNow();
a.SetFocus();
UiKey(9);
For (i = 0; i < 1000 && b.HasFocus() == 0; i++) Program.Wait(5);
Print(a.HasFocus(), b.HasFocus());
UiKey(9);
For (i = 0; i < 1000 && a.HasFocus() == 0; i++) Program.Wait(5);
Print(a.HasFocus(), b.HasFocus());
big.SetFocus();
UiKey(9);
For (i = 0; i < 1000 && n < 1; i++) Program.Wait(5);
Print(big.HasFocus());
w.SetFocus();
UiKey(9);
For (i = 0; i < 1000 && b.HasFocus() == 0; i++) Program.Wait(5);
Print(b.HasFocus());
// expect output: 0 1
// expect output: 1 0
// expect output: key 1 9
// expect output: 1
// expect output: 1
// expect: end
