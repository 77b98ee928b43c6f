//== size and place from the constructor, and the current window
// Ui* are the test doubles playing the user at the headless display.
w = New Window(320, 200, 10, 20);
Print(w.GetWidth(), w.GetHeight(), w.GetX(), w.GetY(), w.IsVisible());
Print(CurWindow.GetWidth());
// expect output: 320 200 10 20 1
// expect output: 320
// expect: end

//== styles, extended styles and frames of the window flags
Function Show(name, w) {
    Print(name, AsText(UiStyle(w) & 0xFFFF0000), UiExStyle(w) & 0x100FF, w.GetLeftBorderSize(), w.GetTopBorderSize(), w.GetRightBorderSize(), w.GetBottomBorderSize());
}
Show("standard", New Window(100, 50));
Show("game", New Window(Window.GAME, 100, 50));
Show("dialog", New Window(Window.DIALOG, 100, 50));
Show("resizable dialog", New Window(Window.DIALOG, Window.RESIZABLE, 100, 50));
Show("tool", New Window(Window.TOOL, 100, 50));
Show("messagebox", New Window(Window.MESSAGEBOX, 100, 50));
Show("nosysmenu", New Window(Window.NOSYSMENU, 100, 50));
Show("nocaption", New Window(Window.NOCAPTION, 100, 50));
Show("nocaption with caption", New Window(Window.NOCAPTION, "Title", 100, 50));
Show("bordered nocaption", New Window(Window.NOCAPTION, Window.BORDER, 100, 50));
m = New Window(Window.MINIMIZED, Window.MAXIMIZED, 100, 50);
Show("minimized maximized", m);
Print(m.IsMaximized(), m.IsMinimized());
p = New Window(300, 300, 0, 0);
Show("fakechild", New Window(p, Window.FAKECHILD, 100, 50, 5, 5));
Show("child", New Window(p, 100, 50, 5, 5));
// expect output: standard -1832386560 0 3 22 3 3
// expect output: game -1845493760 0 0 0 0 0
// expect output: dialog -1832386560 65537 3 22 3 3
// expect output: resizable dialog -1831927808 65537 4 23 4 4
// expect output: tool -1832386560 128 3 18 3 3
// expect output: messagebox -1832386560 0 3 22 3 3
// expect output: nosysmenu -1832910848 0 3 22 3 3
// expect output: nocaption -1844969472 0 0 0 0 0
// expect output: nocaption with caption -1832386560 0 3 22 3 3
// expect output: bordered nocaption -1836580864 0 1 1 1 1
// expect output: minimized maximized -1815609344 0 3 22 3 3
// expect output: 1 0
// expect output: fakechild 382205952 0 3 22 3 3
// expect output: child 1455947776 0 3 22 3 3
// expect: end

//== an omitted position centres on the screen; a dialog has the button face
w = New Window(100, 50);
Print(w.GetX(), w.GetY());
d = New Window(Window.DIALOG, 100, 50);
Print(AsText(d.GetBackColor()), AsText(w.GetBackColor()));
c = New Window(Window.DIALOG, 100, 50, 0, 0, 0x102030);
Print(AsText(c.GetBackColor()));
// expect output: 462 359
// expect output: 13947080 16777215
// expect output: 1056816
// expect: end

//== a hidden child Window is shown by the next refresh pass
p = New Window(300, 200, 0, 0);
c = New Window(p, Window.HIDDEN, 50, 40, 10, 10);
Print(c.IsVisible());
c.Show();
Print(c.IsVisible());
UiRefreshNow();
Print(c.IsVisible(), c.GetParentWindow() == p);
// expect output: 0
// expect output: 0
// expect output: 1 1
// expect: end

//== Show and Hide cancel each other's pending command
p = New Window(300, 200, 0, 0);
a = New Window(p, 50, 40, 10, 10);
b = New Window(p, Window.HIDDEN, 50, 40, 70, 10);
UiRefreshNow();
a.Show(); a.Hide();
b.Hide(); b.Show();
Print(a.IsVisible(), b.IsVisible());
UiRefreshNow();
Print(a.IsVisible(), b.IsVisible());
a.Show(1);
Print(a.IsVisible());
a.Hide(1);
Print(a.IsVisible());
// expect output: 1 0
// expect output: 0 1
// expect output: 1
// expect output: 0
// expect: end

//== Show takes 0 or 1 only
w = New Window(100, 50);
w.Show(2);
// expect: error 14

//== two pending moves make one, to the last place
p = New Window(300, 200, 0, 0);
c = New Window(p, 50, 40, 10, 10);
UiRefreshNow();
UiSpy(c);
c.SetPosition(20, 30);
c.SetPosition(40);
Print(UiMoves(c), c.GetX(), c.GetY());
UiRefreshNow();
Print(UiMoves(c), c.GetX(), c.GetY());
c.SetPosition(, 5, 1);
Print(UiMoves(c), c.GetX(), c.GetY());
// expect output: 0 40 30
// expect output: 1 40 30
// expect output: 2 40 5
// expect: end

//== a topmost window stays topmost through a pending move
w = New Window(100, 50, 0, 0);
w.SetTopMost();
UiRefreshNow();
Print(UiExStyle(w) & 8);
w.SetPosition(30, 40);
w.SetSize(120, 60);
UiRefreshNow();
Print(UiExStyle(w) & 8, w.GetX(), w.GetY(), w.GetWidth(), w.GetHeight());
w.ToFront(1);
Print(UiExStyle(w) & 8);
c = New Window(w, 20, 20, 1, 1);
c.SetTopMost();
UiRefreshNow();
Print(UiExStyle(c) & 8);
// expect output: 8
// expect output: 8 30 40 120 60
// expect output: 8
// expect output: 0
// expect: end

//== Maximize then Restore, and Restore then Maximize, both end restored
a = New Window(Window.RESIZABLE, 100, 50, 0, 0);
b = New Window(Window.RESIZABLE, 100, 50, 200, 0);
a.Maximize(); a.Restore();
b.Restore(); b.Maximize();
UiRefreshNow();
Print(a.IsMaximized(), b.IsMaximized(), a.GetWidth(), b.GetWidth());
a.Minimize();
UiRefreshNow();
Print(a.IsMinimized());
// expect output: 0 0 100 100
// expect output: 1
// expect: end

//== the minimum size grows a window, and limits given the wrong way round are swapped
w = New Window(300, 200, 0, 0);
w.SetMinSize(500, 400);
UiRefreshNow();
Print(w.GetWidth() + w.GetLeftBorderSize() + w.GetRightBorderSize(), w.GetHeight() + w.GetTopBorderSize() + w.GetBottomBorderSize());
v = New Window(300, 200, 0, 0);
v.SetMinSize(200, 200);
v.SetMaxSize(100, 100);
UiRefreshNow();
Print(v.GetWidth() + 6, v.GetHeight() + 25);
v.SetMaxSize(-1, 150);
Print(v.GetHeight() + 25);
// expect output: 500 400
// expect output: 200 200
// expect output: 150
// expect: end

//== dragging an edge keeps the window within its limits
w = New Window(Window.RESIZABLE, 300, 200, 0, 0);
w.SetMinSize(200, 150);
w.SetMaxSize(400, 300);
For (e = 1; e <= 8; e++) Print(e, UiSizing(w, e, 100, 100, 150, 150));
Print(UiSizing(w, 8, 0, 0, 1000, 1000));
Print(UiSizing(w, 8, 0, 0, 250, 250));
// expect output: 1 -50 100 150 150
// expect output: 2 100 100 300 150
// expect output: 3 100 0 150 150
// expect output: 4 -50 0 150 150
// expect output: 5 100 0 300 150
// expect output: 6 100 100 150 250
// expect output: 7 -50 100 150 250
// expect output: 8 100 100 300 250
// expect output: 0 0 400 300
// expect output: 0 0 250 250
// expect: end

//== colours: one value, or red, green and blue keeping what is missing
w = New Window(100, 50);
w.SetColor(0xFF0000);
Print(AsText(w.GetColor()));
w.SetColor(0x0000FF);
w.SetColor(0, 255);
Print(AsText(w.GetColor()));
w.SetBackColor(1, 2, 3);
Print(AsText(w.GetBackColor()));
w.SetBackColor(, , 0x80);
Print(AsText(w.GetBackColor()));
// expect output: 16711680
// expect output: 65535
// expect output: 66051
// expect output: 66176
// expect: end

//== a colour given as a text
w = New Window(100, 50);
w.SetColor("red");
// expect: error 14

//== texts, attributes, private data and coordinates
w = New Window("Caption", Window.TABSTOP, 100, 50, 40, 30);
Print(w.GetText(), w.HasAttribute(Window.TABSTOP), w.HasAttribute(Window.HSCROLL), w.HasAttribute(Window.STANDARD), w.HasAttribute(Window.GAME));
w.SetText("Other");
w.SetPrivateData("kept");
Print(w.GetText(), w.GetPrivateData());
Print(w.GetXScreen(0), w.GetYScreen(0), w.GetXWindow(43), w.GetYWindow(52));
w.Disable();
Print(w.IsEnabled());
w.Enable();
Print(w.IsEnabled());
// expect output: Caption 1 0 1 0
// expect output: Other kept
// expect output: 43 52 0 0
// expect output: 0
// expect output: 1
// expect: end

//== a coordinate conversion needs its coordinate
w = New Window(100, 50);
x = w.GetXScreen();
// expect: error 14

//== a Window without a surface
w = New Window(Window.NOSURFACE, 100, 50);
w.Line(0, 0, 10, 10);
s = w.GetSurface();
// expect: error 10

//== more than six extra arguments
w = New Window(100, 50, 1, 2, 3, 4, 5, 6, 7, 8, 9);
// expect: error 13

//== extra texts are not taken
w = New Window("one", "two");
// expect: error 14

//== a constant past the end of the Window's table
w = New Window(0xAAD2000F);
// expect: error 14

//== two parents
p = New Window(100, 50);
w = New Window(p, p);
// expect: error 14

//== three numbers after the position
w = New Window(100, 50, 1, 2, 3, 4, 5);
// expect: error 14

//== SetAutoClose and EnableDropFile take 0 or 1
w = New Window(100, 50);
w.EnableDropFile(0);
w.SetAutoClose(2);
// expect: error 14

//== Center takes a Window
w = New Window(100, 50);
w.Center(5);
// expect: error 14

//== Center within the parent and on the screen
p = New Window(300, 200, 0, 0);
c = New Window(p, 100, 50, 0, 0);
c.Center();
w = New Window(100, 50, 0, 0);
w.Center();
Print(c.GetX(), c.GetY(), w.GetX(), w.GetY());
// expect output: 97 62 459 346
// expect: end

//== DoModal needs FAKECHILD
w = New Window(100, 50);
w.DoModal();
// expect: error 105

//== CurWindow without a window
x = CurWindow.GetX();
// expect: error 31

//== a deleted child Window is no longer its parent's active child
p = New Window(300, 200, 0, 0);
a = New Window(p, 50, 40, 10, 10);
b = New Window(p, 50, 40, 100, 10);
UiClick(b, 5, 5); UiDispatch();
Delete b;
a.Hide(1);
a.Show(1);
UiDispatch();
Print(a.IsVisible(), Math.Count(58));
// expect output: 1 2
// expect: end

//== deleting a Window deletes its child Windows
p = New Window(300, 200, 0, 0);
a = New Window(p, 50, 40, 10, 10);
b = New Window(a, 20, 20, 1, 1);
Delete p;
Print(a, b, Math.Count(58));
// expect output: 0 0 0
// expect: end
