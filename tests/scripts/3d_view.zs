//== a brick in front of the camera is drawn into an unhosted Surface where the camera projects it
UseRenderers();
s = New Surface(160, 120);
w = New World(s);
c = New Camera(w, s);
first = w.CreateBrick(200, 200, 200);
b = first.Duplicate(0, 0, 1000);
UiRefreshNow();
x = c.GetScreenX(0, 0, 1000);
y = c.GetScreenY(0, 0, 1000);
Print(x, y, s.GetDepth(), c.GetNPolygons() > 0);
Print(AsText(s.GetPixel(x, y)) != AsText(s.GetPixel(2, 2)), AsText(s.GetPixel(2, 2)));
// expect output: 80 60 32 1
// expect output: 1 0
// expect: end

//== a World shown in a Window paints the window itself
UseRenderers();
win = New Window(120, 90, 0, 0);
w = New World(win);
c = New Camera(w, win);
first = w.CreateBrick(200, 200, 200);
b = first.Duplicate(0, 0, 800);
UiRefreshNow();
s = win.GetSurface();
Print(AsText(UiPixel(win, 60, 45)) == AsText(s.GetPixel(60, 45)), AsText(UiPixel(win, 1, 1)));
// expect output: 1 0
// expect: end

//== a resize of the window reaches the view: the brick stays in the middle
UseRenderers();
win = New Window(120, 90, 0, 0);
w = New World(win);
c = New Camera(w, win);
first = w.CreateBrick(100, 100, 100);
b = first.Duplicate(0, 0, 1200);
UiRefreshNow();
win.SetSize(200, 150);
UiRefreshNow();
UiDispatch();
UiRefreshNow();
s = win.GetSurface();
Print(s.GetPixelWidth(), s.GetPixelHeight(), c.GetScreenX(0, 0, 1200), c.GetScreenY(0, 0, 1200));
Print(AsText(s.GetPixel(100, 75)) != "0", AsText(s.GetPixel(1, 1)));
// expect output: 200 150 100 75
// expect output: 1 0
// expect: end

//== full screen and back on the headless display keep the view drawing
UseRenderers();
win = New Window(160, 120, 0, 0);
w = New World(win);
c = New Camera(w, win);
first = w.CreateBrick(100, 100, 100);
b = first.Duplicate(0, 0, 1200);
UiRefreshNow();
win.SetFullScreenMode(320, 240, 32);
UiRefreshNow();
s = win.GetSurface();
Print(s.GetPixelWidth(), s.GetPixelHeight(), AsText(s.GetPixel(160, 120)) != "0");
win.SetWindowedMode();
UiRefreshNow();
UiDispatch();
UiRefreshNow();
Print(s.GetPixelWidth(), s.GetPixelHeight(), AsText(s.GetPixel(80, 60)) != "0");
// expect output: 320 240 1
// expect output: 160 120 1
// expect: end

//== the display interface cannot change while a Surface shows a world
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w, s);
Display.SetDisplayInterface(Display.SOFTWARE, 0, 0);
// expect: error 116 line 5

//== sprites show over the view in their order, the transparent colour and semi-transparency kept
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
c = New Camera(w, s);
c.SetBackgroundColor(0x0000FF);
red = New Surface(20, 20, 32);
red.Clear(0xFF0000);
green = New Surface(20, 20, 32);
green.Clear(0x00FF00);
green.SetPixel(0, 0, 0);
a = New Sprite(s, 10, 10, red);
b = New Sprite(s, 20, 20, green);
UiRefreshNow();
Print(AsText(s.GetPixel(12, 12)), AsText(s.GetPixel(25, 25)), AsText(s.GetPixel(20, 20)), AsText(s.GetPixel(60, 50)));
b.Hide();
a.SetDrawEffect(Sprite.DESEMITRANSP, 64);
UiRefreshNow();
Print(AsText(s.GetPixel(25, 25)) != "65280", AsText(s.GetPixel(12, 12)) != "16711680");
Delete a;
UiRefreshNow();
Print(AsText(s.GetPixel(12, 12)), w.GetNTextures());
// expect output: 16711680 65280 16711680 255
// expect output: 1 1
// expect output: 255 1
// expect: end

//== a World and its Camera take the same device, whichever interface the Display chose
UseRenderers();
Display.SetDisplayInterface(Display.SOFTWARE_DIRECTDRAW, 0, 0);
win = New Window(120, 90, 0, 0);
w = New World(win);
c = New Camera(w, win);
first = w.CreateBrick(200, 200, 200);
first.SetPosition(0, 0, 900);
UiRefreshNow();
Print(Display.GetDisplayInterface() == Display.SOFTWARE_DIRECTDRAW, AsText(UiPixel(win, 60, 45)) != "0");
// expect output: 1 1
// expect: end

//== numbers far outside any scene neither break the frame nor the engine
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
c = New Camera(w, s);
a = w.CreateBrick(1e30, 1e30, 1e30);
a.SetPosition(0, 0, 1000);
b = w.CreateSphere(1e30, 5, 5, 64, 3);
b.Scale(1e30);
d = w.CreatePlane(2147483648, 1e30, 0, 1e38);
c.SetFocus(1e30);
c.SetFogMaxZPosition(1e30);
c.SetFogMinZPosition(-1e30);
c.SetMaxVisibleDistance(-5);
c.SetMinVisibleDistance(2147483647);
w.Scale(1e30, -1e30, 0);
w.SetLightVector(1e30, -1e30, 0);
w.SetNight(-99999);
w.SetLightIntensity(2147483647);
x = c.GetScreenX(1e30, 1e30, 1e30) + c.GetScreenY(-1e30, 0, 1);
c.FindObjectAt(1e30, -1e30);
c.Render();
UiRefreshNow();
v = c.GetVisibility(a) + c.GetVisibility(b);
// expect: end

//== a second camera on the same Surface keeps its view; the first draws again once it goes
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
c1 = New Camera(w, s);
c2 = New Camera(w, s);
b = w.CreateBrick(200, 200, 200);
b.SetPosition(0, 0, 1000);
c2.SetPosition(0, 0, 5000);
UiRefreshNow();
Print(AsText(s.GetPixel(40, 30)), c2.GetNPolygons());
Delete c2;
UiRefreshNow();
Print(AsText(s.GetPixel(40, 30)) != "0", c1.GetNPolygons() > 0);
// expect output: 0 0
// expect output: 1 1
// expect: end
