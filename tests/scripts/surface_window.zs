//== a Window's drawing methods draw into its client area
w = New Window(200, 100, 0, 0);
s = w.GetSurface();
Print(s.GetPixelWidth(), s.GetPixelHeight(), w.GetPixelWidth());
w.SetPenColor(Window.RED);
w.Line(0, 10, 199, 10);
w.SetFillColor(Window.BLUE);
w.Rectangle(20, 30, 60, 70);
UiRefreshNow();
Print(AsText(UiPixel(w, 50, 10)), AsText(UiPixel(w, 40, 50)), AsText(UiPixel(w, 100, 50)));
Print(AsText(s.GetPixel(50, 10)), AsText(w.GetPixel(40, 50)));
// expect output: 200 100 200
// expect output: 16711680 255 16777215
// expect output: 16711680 255
// expect: end

//== what a Window drew survives a resize, and the new part takes the background
w = New Window(100, 60, 0, 0);
w.SetBackColor(0x00FF00);
w.SetPenColor(Window.RED);
w.Line(0, 5, 99, 5);
w.SetSize(160, 90);
// The size changes in the refresh pass; the Surface shows the change in the next one.
UiRefreshNow();
UiDispatch();
UiRefreshNow();
Print(w.GetPixelWidth(), w.GetPixelHeight(), AsText(UiPixel(w, 50, 5)), AsText(UiPixel(w, 150, 80)));
// expect output: 160 90 16711680 65280
// expect: end

//== a window painted again shows its Surface over the background its brush erased
w = New Window(100, 60, 0, 0);
w.Clear(Window.BLUE);
UiRefreshNow();
w.Minimize();
UiRefreshNow();
UiDispatch();
w.Restore();
UiRefreshNow();
UiDispatch();
Print(w.IsMinimized(), AsText(UiPixel(w, 10, 20)), AsText(UiPixel(w, 99, 59)));
// expect output: 0 255 255
// expect: end

//== a Surface copies from a Window's Surface
w = New Window(50, 40, 0, 0);
w.SetPenColor(Window.RED);
w.Line(0, 0, 49, 0);
s = New Surface(50, 40, 32);
s.Copy(w);
Print(AsText(s.GetPixel(10, 0)));
// expect output: 16711680
// expect: end

//== a Window without a Surface draws nothing
w = New Window(Window.NOSURFACE, 100, 50, 0, 0);
w.Line(0, 0, 99, 0);
Print(w.GetPixelWidth());
// expect output: 0
// expect: end

//== deleting a Window's Surface leaves the Window without one
w = New Window(100, 50, 0, 0);
s = w.GetSurface();
Delete s;
w.Line(0, 0, 99, 0);
t = w.GetSurface();
// expect: error 10 line 5

//== Input shows the prompt and the text typed, erased where keys took it back
Function TypeIt() { UiType("ab"); UiKey(8); UiType("c"); UiKey(13); }
w = New Window(200, 60, 0, 0);
Post(TypeIt);
r = w.Input("Name: ");
v = New Window(200, 60, 0, 0);
v.Write("Name: ac");
UiRefreshNow();
differ = 0;
for (y = 0; y < 30; y++) { for (x = 0; x < 200; x++) { if (UiPixel(w, x, y) != UiPixel(v, x, y)) differ++; } }
Print(r, differ, w.GetYPos() > 0);
// expect output: ac 0 1
// expect: end

//== closing the window during Input ends it with nothing
Function CloseIt() { UiType("x"); UiClose(w); }
// A second Window keeps the run going when the first one closes.
k = New Window(50, 50, 300, 0);
w = New Window(200, 60, 0, 0);
Post(CloseIt);
Print("[" + w.Input() + "]");
// expect output: []
// expect: end

//== SetShape cuts the window to the pixels that are not black
w = New Window(Window.NOCAPTION, 40, 40, 0, 0);
s = New Surface(40, 40, 32);
s.Clear(Window.BLACK);
w.SetShape(s);
Print(UiRegionRects(w));
s.SetPenSize(0);
s.SetFillColor(Window.WHITE);
for (i = 0; i < 4; i++) { for (j = 0; j < 4; j++) { if ((i + j) % 2 == 0) s.Rectangle(i * 10, j * 10, i * 10 + 10, j * 10 + 10); } }
w.SetShape(s);
Print(UiRegionRects(w) > 0, UiInRegion(w, 5, 5), UiInRegion(w, 15, 5), UiInRegion(w, 15, 15), UiInRegion(w, 35, 25));
// expect output: 0
// expect output: 1 1 0 1 0
// expect: end

//== SetShape of an image that is nowhere
w = New Window(40, 40, 0, 0);
w.SetShape("no such picture");
// expect: error 9 line 2

//== SetIcon makes both icons, or the one of the size given
w = New Window(40, 40, 0, 0);
s = New Surface(32, 32, 32);
s.SetFillColor(Window.RED);
s.Ellipse(0, 0, 31, 31);
w.SetIcon(s, 16);
Print(UiIcon(w, 1), UiIcon(w, 0));
w.SetIcon(s);
Print(UiIcon(w, 1), UiIcon(w, 0));
// expect output: 0 1
// expect output: 1 1
// expect: end

//== SetCursor from a Surface, and from an image that is nowhere
w = New Window(40, 40, 0, 0);
s = New Surface(16, 16, 32);
w.SetCursor(s, Window.WHITE, 8, 8);
w.SetCursor(Window.CROSS);
w.SetCursor("no such cursor");
// expect: error 9 line 5

//== CaptureWindow copies what a Window shows
w = New Window(Window.NOCAPTION, 60, 40, 0, 0);
w.Clear(Window.RED);
UiRefreshNow();
s = New Surface(60, 40, 32);
Print(s.CaptureWindow(w), AsText(s.GetPixel(30, 20)));
// expect output: 1 16711680
// expect: end

//== CaptureWindow of something that is no Window
s = New Surface(60, 40, 32);
s.CaptureWindow(s);
// expect: error 14 line 2

//== full screen takes the mode's size and depth, windowed mode the client size again
w = New Window(200, 100, 0, 0);
w.SetPenColor(Window.RED);
w.Line(0, 0, 199, 0);
w.SetFullScreenMode(640, 480, 16);
s = w.GetSurface();
Print(s.GetPixelWidth(), s.GetPixelHeight(), s.GetDepth(), AsText(s.GetPixel(100, 0)));
w.SetWindowedMode();
UiDispatch();
Print(s.GetPixelWidth(), s.GetPixelHeight(), s.GetDepth(), AsText(s.GetPixel(100, 0)));
// expect output: 640 480 16 16252928
// expect output: 200 100 16 16252928
// expect: end
