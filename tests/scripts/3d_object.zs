//== new Object needs a World, and takes only a World and a name
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w, "Ship");
Print(o.GetName(), o.GetNPolygons(), o.GetNPoints(), w.GetNObjects(), w.GetObject("ship") == o);
p = New Object(w, 5);
// expect output: Ship 0 0 1 1
// expect: error 14 line 6

//== an Object without a World
UseRenderers();
o = New Object("Ship");
// expect: error 54 line 2

//== Scale with one factor is uniform; missing factors of several are 1
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
a = w.CreateBrick(10, 20, 30);
a.Scale(2);
b = w.CreateBrick(10, 20, 30);
b.Scale(2, 3);
Print(a.GetWidth(), a.GetHeight(), a.GetDepth(), b.GetWidth(), b.GetHeight(), b.GetDepth());
// expect output: 20 40 60 20 60 30
// expect: end

//== rendering modes and the box read back as set
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
b = w.CreateBrick();
b.SetWireFrame(1);
b.ShowBox();
b.SetGouraud(0);
Print(b.IsWireFrame(), b.IsBoxVisible(), b.IsGouraud());
b.HideBox();
Print(b.IsBoxVisible());
// expect output: 1 1 0
// expect output: 0
// expect: end

//== clones share the mesh and are placed where asked; a clone is never cloned
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
b = w.CreateBrick();
c = b.Clone(100, 200, 300);
d = b.Duplicate();
Print(w.GetNObjects(), c.GetX(), c.GetY(), c.GetZ(), d.GetX(), c.GetNPolygons(), d.GetNPolygons());
c.SetMapped(1);
// expect output: 3 100 200 300 0 12 12
// expect: error 126 line 8

//== an Object deleted leaves the world and the view
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
cam = New Camera(w, s);
b = w.CreateBrick(200, 200, 200);
b.SetPosition(0, 0, 1000);
UiRefreshNow();
Print(AsText(s.GetPixel(40, 30)) != "0", w.GetNObjects());
Delete b;
UiRefreshNow();
Print(AsText(s.GetPixel(40, 30)), w.GetNObjects());
// expect output: 1 1
// expect output: 0 0
// expect: end
