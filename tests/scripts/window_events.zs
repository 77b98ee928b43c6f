//== one OnMouseMove per mouse move
// Inside a handler no other runs: what the moves queue waits until it returns.
Function Moved(w, x, y) { Print("move", x, y); }
Function Storm() {
    UiMoveMouse(w, 1, 2); UiDispatch();
    UiMoveMouse(w, 3, 4); UiDispatch();
    UiMoveMouse(w, 5, 6); UiDispatch();
}
w = New Window(100, 50, 0, 0);
w.OnMouseMove = Moved;
Post(Storm);
RunPending();
// expect output: move 1 2
// expect output: move 3 4
// expect output: move 5 6
// expect: end

//== many sizes leave one OnSize with the last size
Function Sized(w, width, height) { Print("size", width, height); }
Function Storm() {
    UiSend(w, 5, 0, 10 + 20 * 65536);
    UiSend(w, 5, 0, 30 + 40 * 65536);
    UiSend(w, 5, 1, 1 + 1 * 65536);
    UiSend(w, 5, 0, 50 + 60 * 65536);
}
w = New Window(100, 50, 0, 0);
w.OnSize = Sized;
Post(Storm);
RunPending();
Print(w.GetWidth(), w.GetHeight());
// expect output: size 50 60
// expect output: 50 60
// expect: end

//== mouse buttons, double clicks and the wheel
Function Down(w, x, y, b) { Print("down", x, y, b == Window.LEFTBUTTON, b == Window.RIGHTBUTTON); }
Function Up(w, x, y, b) { Print("up", x, y, b == Window.RIGHTBUTTON); }
Function Double(w, x, y, b) { Print("double", x, y, b == Window.LEFTBUTTON); }
Function Wheel(w, delta) { Print("wheel", delta); }
w = New Window(100, 50, 0, 0);
w.OnMouseDown = Down;
w.OnMouseUp = Up;
w.OnDblClick = Double;
w.OnMouseWheel = Wheel;
UiClick(w, 7, 8, 1); UiDispatch(); RunPending();
UiDblClick(w, 9, 10); UiDispatch(); RunPending();
UiWheel(w, 5, 5, -2); UiDispatch(); RunPending();
// expect output: down 7 8 0 1
// expect output: up 7 8 1
// expect output: down 9 10 1 0
// expect output: up 9 10 0
// expect output: double 9 10 1
// expect output: up 9 10 0
// expect output: wheel -240
// expect: end

//== moves, focus, minimise and maximise
Function Moved(w, x, y) { Print("moved", x, y); }
Function Focus(w) { Print("focus", w == v); }
Function Lost(w) { Print("lost", w == v); }
Function Min(w) { Print("minimize"); }
Function Max(w) { Print("maximize"); }
v = New Window(Window.RESIZABLE, 100, 50, 0, 0);
w = New Window(100, 50, 200, 0);
v.OnMove = Moved;
v.OnSetFocus = Focus;
v.OnKillFocus = Lost;
v.OnMinimize = Min;
v.OnMaximize = Max;
v.SetPosition(30, 40, 1);
RunPending();
v.SetFocus();
Print(v.HasFocus(), CurWindow == v);
w.SetFocus();
RunPending();
UiSend(v, 0x112, 0xF020, 0);
RunPending();
UiSend(v, 0x112, 0xF030, 0);
RunPending();
// expect output: moved 30 40
// expect output: focus 1
// expect output: 1 1
// expect output: lost 1
// expect output: minimize
// expect output: moved -32004 -32023
// expect output: maximize
// expect output: moved -4 -4
// expect output: focus 1
// expect: end

//== without auto close the close box only tells the script
Function Closing(w) { Print("close asked", Math.Count(58)); }
w = New Window(100, 50, 0, 0);
w.OnClose = Closing;
w.SetAutoClose(0);
UiClose(w); UiDispatch();
RunPending();
Print(w.IsVisible());
// expect output: close asked 1
// expect output: 1
// expect: end

//== a greyed close box drops the close request until enabled again
Function Closing(w) { Print("close asked"); }
w = New Window(100, 50, 0, 0);
w.OnClose = Closing;
w.SetAutoClose(0);
w.EnableCloseBox(0);
UiClose(w); UiDispatch();
RunPending();
Print("greyed");
w.EnableCloseBox(1);
UiClose(w); UiDispatch();
RunPending();
// expect output: greyed
// expect output: close asked
// expect: end

//== closing the only Window ends the run
w = New Window(100, 50, 0, 0);
UiClose(w); UiDispatch();
For (i = 0; i < 100; i++) n = i;
Print("still running");
// expect: end

//== closing one of two Windows does not
a = New Window(100, 50, 0, 0);
b = New Window(100, 50, 200, 0);
UiClose(a); UiDispatch();
For (i = 0; i < 100; i++) n = i;
Print("still running", Math.Count(58), a);
// expect output: still running 1 0
// expect: end

//== deleting the last Window from the script does not end the run
w = New Window(100, 50, 0, 0);
Delete w;
UiDispatch();
For (i = 0; i < 100; i++) n = i;
Print("still running", Math.Count(58));
// expect output: still running 0
// expect: end

//== an OnClose handler deleting its Window while the close box is handled
Function Closing(w) { Print("closing"); Delete w; }
a = New Window(100, 50, 0, 0);
b = New Window(100, 50, 200, 0);
a.OnClose = Closing;
UiClose(a); UiDispatch();
For (i = 0; i < 100; i++) n = i;
Print("after", Math.Count(58), a);
// expect output: closing
// expect output: after 1 0
// expect: end

//== an error in a handler run while the close box is handled ends the run
Function Closing(w) { x = 1 / 0; }
a = New Window(100, 50, 0, 0);
a.OnClose = Closing;
UiClose(a); UiDispatch();
For (i = 0; i < 100; i++) n = i;
Print("not reached");
// expect: error 111

//== dropped files, one event each, names of any length whole
Function Dropped(w, name, x, y) { Print(name.Length(), x, y); }
w = New Window(100, 50, 0, 0);
w.OnDropFile = Dropped;
Print(UiDrop(w, 5, 6, "a.txt", "b.txt"));
w.EnableDropFile();
long = "";
For (i = 0; i < 30; i++) long = long + "0123456789";
Print(UiDrop(w, 5, 6, "a.txt", "bb.txt", long));
UiDispatch();
RunPending();
// expect output: 0
// expect output: 1
// expect output: 5 5 6
// expect output: 6 5 6
// expect output: 300 5 6
// expect: end

//== while a FAKECHILD Window is modal, another Window takes no clicks
Function Down(w, x, y, b) { Print("down", w == p); }
p = New Window(300, 200, 0, 0);
m = New Window(p, Window.FAKECHILD, 100, 50, 400, 0);
p.OnMouseDown = Down;
m.OnMouseDown = Down;
m.DoModal();
UiClick(p, 10, 10); UiDispatch(); RunPending();
Print(UiActive() == m, UiSend(p, 0x21, 0, 0));
UiClick(m, 10, 10); UiDispatch(); RunPending();
m.EndModal();
UiClick(p, 10, 10); UiDispatch(); RunPending();
Print(UiActive() == p);
// expect output: 1 4
// expect output: down 0
// expect output: down 1
// expect output: 1
// expect: end

//== Input reads a typed line
Function TypeIt() { UiType("ab"); UiKey(8); UiType("c"); UiKey(27); UiType("d"); UiKey(13); }
w = New Window(100, 50, 0, 0);
Post(TypeIt);
Print(w.Input());
// expect output: acd
// expect: end

//== Input inside an Input
Function Again(w, x, y, b) { t = w.Input(); }
w = New Window(100, 50, 0, 0);
w.OnMouseDown = Again;
UiClick(w, 5, 5);
s = w.Input();
// expect: error 67

//== Flash reaches the display for a top-level Window only
p = New Window(100, 50, 0, 0);
c = New Window(p, 20, 20, 0, 0);
p.Flash(1);
c.Flash(1);
Print(UiFlashes());
// expect output: 1
// expect: end

//== the mouse capture
w = New Window(100, 50, 0, 0);
w.BeginMouseCapture();
Print(w.HasMouseCapture());
w.EndMouseCapture();
Print(w.HasMouseCapture());
// expect output: 1
// expect output: 0
// expect: end

//== control handlers in their order, the first that handles ends the chain
w = New Window(100, 50, 0, 0);
UiAddHandlers(w);
Print(UiSend(w, 0x111, 777, 0), UiHandlerLog());
Print(UiSend(w, 0x111, 5, 0), UiHandlerLog());
// expect output: 55 A273
// expect output: 0 A273 B273 M
// expect: end

//== the modal filter eats clicks and commands, never paints and timers
p = New Window(300, 200, 0, 0);
m = New Window(p, Window.FAKECHILD, 100, 50, 400, 0);
UiAddHandlers(p);
m.DoModal();
Print(UiSend(p, 0x201, 0, 0), UiSend(p, 0x111, 777, 0), "[" + UiHandlerLog() + "]");
UiSend(p, 0xF, 0, 0);
UiSend(p, 0x113, 1, 0);
Print(UiHandlerLog());
m.EndModal();
Print(UiSend(p, 0x111, 777, 0), UiHandlerLog());
// expect output: 0 0 []
// expect output: A15 B15 A275 B275
// expect output: 55 A273
// expect: end

//== closing a Window with child Windows deletes them all
p = New Window(300, 200, 0, 0);
a = New Window(p, 50, 40, 10, 10);
b = New Window(a, 20, 20, 1, 1);
q = New Window(100, 50, 400, 0);
UiClose(p); UiDispatch();
For (i = 0; i < 100; i++) n = i;
Print(p, a, b, Math.Count(58), CurWindow == q);
// expect output: 0 0 0 1 1
// expect: end

//== a drag of the frame lets the script handle the new size at once
Function Sized(w, width, height) { Print("size", width, height); }
Function Gone(w, width, height) { Print("gone", width); Delete w; }
w = New Window(Window.RESIZABLE, 100, 50, 0, 0);
w.OnSize = Sized;
Print(UiSizing(w, 8, 0, 0, 208, 158));
Print(UiSizing(w, 8, 0, 0, 208, 158));
w.OnSize = Gone;
Print(UiSizing(w, 8, 0, 0, 308, 158));
Print(w);
// expect output: size 200 131
// expect output: 0 0 208 158
// expect output: 0 0 208 158
// expect output: gone 300
// expect output: 0 0 308 158
// expect output: 0
// expect: end
