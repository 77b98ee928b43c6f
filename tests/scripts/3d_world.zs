//== without a Surface, a Window or a main window there is nothing to show a world in
UseRenderers();
w = New World();
// expect: error 98 line 2

//== primitives: defaults, sizes of zero, negative sizes and too many arguments
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
b = w.CreateBrick();
Print(b.GetWidth(), b.GetHeight(), b.GetDepth(), b.GetNPolygons(), b.GetNPoints());
flat = w.CreateBrick(0, 10, 10);
p = w.CreatePyramid("tall");
Print(p.GetWidth(), p.GetHeight(), p.GetDepth(), w.GetNObjects());
plane = w.CreatePlane(10, 20);
Print(plane.GetNPolygons() > 0, w.GetNObjects());
w.CreateBrick(10, -1, 10);
// expect output: 100 50 150 12 8
// expect output: 100 150 200 3
// expect output: 1 4
// expect: error 14 line 11

//== a primitive takes only its own arguments
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
w.CreateBrick(1, 2, 3, 4);
// expect: error 13 line 4

//== a sphere of no segments is no sphere; too many would overflow its mesh
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
Print(w.CreateSphere(10, 10, 10, 0, 8), w.CreateSphere(10, 10, 10, 8, 0), w.GetNObjects());
ball = w.CreateSphere(10, 10, 10, 6, 4);
Print(ball.GetNPolygons() > 0, w.GetNObjects());
w.CreateSphere(10, 10, 10, 5000, 8);
// expect output: 0 0 0
// expect output: 1 1
// expect: error 14 line 7

//== a sphere whose points its mesh cannot number is refused with an error, not made as 0
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
w.CreateSphere(10, 10, 10, 256, 255);
// expect: error 14 line 4

//== objects are found by index, by name without regard to case, and as themselves
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
a = w.CreateBrick();
b = w.CreatePyramid();
Print(w.GetObject() == a, w.GetObject(1) == b, w.GetObject(-1), w.GetObject(2));
Print(w.GetObject("BRICK #0") == a, w.GetObject("pyramid #0") == b, w.GetObject("none"));
Print(w.GetObject(b) == b, w.GetObject(0) == w.GetObject(0));
other = New World(s);
c = other.CreateBrick();
Print(w.GetObject(c), other.GetNObjects(), w.GetNCameras(), w.GetNLights());
lamp = New Light(w);
far = New Light(other);
Print(w.GetLight(0) == lamp, w.GetLight(lamp) == lamp, w.GetLight(far), w.GetLight(1), w.GetNLights());
// expect output: 1 1 0 0
// expect output: 1 1 0
// expect output: 1 1
// expect output: 0 1 0 0
// expect output: 1 1 0 0 1
// expect: end

//== the ambient light: colours swap their bytes both ways, missing values change nothing
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
w.SetLightColor(0x102030);
w.SetLightColor();
w.SetNight(30);
w.SetNight();
w.SetLightIntensity(40);
w.SetLightIntensity();
Print(AsText(w.GetLightColor()), w.GetNight(), w.GetLightIntensity());
w.SetLightVector(5);
v = w.GetLightVector();
Print(v.GetX(), v.GetY(), v.GetZ());
u = New Vector(0, -1, 2);
w.SetLightVector(u);
v = w.GetLightVector();
Print(v.GetX(), v.GetY(), v.GetZ());
// expect output: 1056816 30 40
// expect output: 5 1000 1000
// expect output: 0 -1 2
// expect: end

//== world-wide switches answer whether the engine took them
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
b = w.CreateBrick();
Print(w.SetWireframe(1), b.IsWireFrame(), w.SetFlat(0), w.ShowObjectBox(0), b.IsBoxVisible());
Print(w.ShowObjectBox(7), w.HideObjectBox(), b.IsBoxVisible(), w.Scale(2), b.GetWidth());
w.SetBackFacesCulling(0);
Print(w.IsBackFacesCulling(), w.HideObjects(), w.ShowObjects());
// expect output: 1 1 1 1 1
// expect output: 0 1 0 1 200
// expect output: 0 1 1
// expect: end

//== deleting a World deletes its cameras and objects with it; its view shows the picture again
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w, s);
b = w.CreateBrick();
d = b.Duplicate(0, 0, 500);
kept = d;
UiRefreshNow();
Print(AsText(s.GetPixel(32, 24)) != "0");
Delete w;
Print(b, d, kept, c, Math.Count(62), Math.Count(61));
s.Clear(0x00FF00);
UiRefreshNow();
Print(AsText(s.GetPixel(32, 24)));
// expect output: 1
// expect output: 0 0 0 0 0 0
// expect output: 65280
// expect: end

//== Optimize makes the marked objects static geometry, still drawn, no longer objects
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
c = New Camera(w, s);
wall = w.CreateBrick(200, 200, 200);
wall.SetPosition(0, 0, 1000);
mover = w.CreateBrick(50, 50, 50);
mover.SetPosition(0, 500, 1000);
wall.SetStatic();
w.Optimize(c);
c.Render();
Print(w.GetNObjects(), wall, mover.GetY(), AsText(s.GetPixel(40, 30)) != "0");
w.SetStatic();
w.Optimize(c);
Print(w.GetNObjects(), mover);
w.Optimize(s);
// expect output: 1 0 500 1
// expect output: 0 0
// expect: error 47 line 16
