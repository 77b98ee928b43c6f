//== a Camera needs a World, and a surface to draw into
UseRenderers();
s = New Surface(64, 48);
c = New Camera(s);
// expect: error 50 line 3

//== a Camera without a Surface, a Window or a main window has nowhere to draw
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w);
// expect: error 10 line 4

//== the frame rate: nothing before two frames, then the mean of the samples
UseRenderers();
UiAdvance(0);
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w, s);
Print(c.GetSpeed());
c.Render();
Print(c.GetSpeed());
UiAdvance(20);
c.Render();
UiAdvance(40);
c.Render();
Print(c.GetSpeed());
// expect output: 0
// expect output: 0
// expect output: 37.5
// expect: end

//== fog: its switch takes 0 or 1, its colour and distances read back as set
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w, s);
Print(c.IsFogEnabled());
c.EnableFog();
c.SetFogColor(0x336699);
c.SetFogMinZPosition(1000);
c.SetFogMaxZPosition(4000);
Print(c.IsFogEnabled(), AsText(c.GetFogColor()), c.GetFogMinZPosition() > 999, c.GetFogMaxZPosition() > 3999);
c.EnableFog(0);
Print(c.IsFogEnabled());
c.EnableFog(2);
// expect output: 0
// expect output: 1 3368601 1 1
// expect output: 0
// expect: error 115 line 13

//== visible distances and the field of view, missing values taking the defaults
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w, s);
c.SetMaxVisibleDistance(3000);
c.SetMinVisibleDistance(50);
c.SetFocus(60);
Print(c.GetMaxVisibleDistance(), c.GetMinVisibleDistance(), c.GetFocus());
c.SetMaxVisibleDistance();
c.SetMinVisibleDistance();
Print(c.GetMaxVisibleDistance(), c.GetMinVisibleDistance());
// expect output: 3000 50 60
// expect output: 65536 20
// expect: end

//== picking: the brick under the middle of the view, with the kinds asked for
UseRenderers();
s = New Surface(160, 120);
w = New World(s);
c = New Camera(w, s);
first = w.CreateBrick(200, 200, 200);
first.SetPosition(5000, 0, 1000);
b = w.CreateBrick(200, 200, 200);
b.SetPosition(0, 0, 1000);
UiRefreshNow();
Print(c.FindObjectAt(80, 60) == b, c.FindObjectAt(80, 60, Camera.FIND_2D_TYPE_OBJECT) == b);
Print(c.FindObjectAt(80, 60, Camera.FIND_2D_TYPE_LIGHT), c.FindObjectAt(2, 2));
Print(c.GetVisibility(b), c.GetVisibility(first));
c.FindObjectAt(80, 60, 1);
// expect output: 1 1
// expect output: 0 0
// expect output: 1 3
// expect: error 109 line 13

//== picking needs two numbers
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w, s);
c.FindObjectAt("x", 4);
// expect: error 115 line 5

//== a screen position needs three numbers
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w, s);
c.GetScreenX(1, 2);
// expect: error 14 line 5

//== visibility is asked of placed objects only
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w, s);
c.GetVisibility(s);
// expect: error 109 line 5

//== the background colour and the grid show in the view
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
c = New Camera(w, s);
c.SetBackgroundColor(0x204060);
UiRefreshNow();
Print(AsText(s.GetPixel(1, 1)));
c.SetPosition(0, 300, -1000);
c.ShowGrid();
UiRefreshNow();
before = s.GetPixel(40, 40);
c.ShowGrid(Camera.Y_AXIS);
UiRefreshNow();
Print(AsText(before) == "2113632", AsText(s.GetPixel(40, 40)) != "2113632");
c.HideGrid();
UiRefreshNow();
Print(AsText(s.GetPixel(40, 40)));
// expect output: 2113632
// expect output: 1 1
// expect output: 2113632
// expect: end

//== deleting the active Camera makes the first one left active, which then draws
UseRenderers();
s1 = New Surface(80, 60);
s2 = New Surface(80, 60);
w = New World(s1);
c1 = New Camera(w, s1);
c2 = New Camera(w, s2);
b = w.CreateBrick(200, 200, 200);
b.SetPosition(0, 0, 1000);
c1.Render();
Print(AsText(s1.GetPixel(40, 30)));
Delete c2;
c1.Render();
Print(AsText(s1.GetPixel(40, 30)) != "16777215", w.GetNCameras());
c1.ActivateRender(3);
// expect output: 16777215
// expect output: 1 1
// expect: error 115 line 14

//== SetRender moves the view to another Surface; a number unbinds, another object has no surface
UseRenderers();
s1 = New Surface(80, 60);
s2 = New Surface(80, 60);
w = New World(s1);
c = New Camera(w, s1);
b = w.CreateBrick(200, 200, 200);
b.SetPosition(0, 0, 1000);
c.SetRender(s2);
c.Render();
Print(AsText(s2.GetPixel(40, 30)) != "16777215", w.GetCamera(0) == c, w.GetCamera(c) == c);
c.SetRender(0);
s2.Clear(0x00FF00);
c.Render();
UiRefreshNow();
Print(AsText(s2.GetPixel(40, 30)));
c.SetRender(w);
// expect output: 1 1 1
// expect output: 65280
// expect: error 10 line 16
