//== free points of a World and new points of an Object or of a Polygon's Object
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
f = New Point3D(w, 1, 2, 3);
Print(f.GetX(), f.GetY(), f.GetZ(), f.GetU(), f.GetU2(), f.GetIndex(o), o.GetNPoints());
p = New Point3D(o, 4, 5, 6, 0.5, 0.25);
Print(p.GetIndex(o), p.GetU(), p.GetV(), p.GetU2(), p.GetV2(), o.GetNPoints());
t = New Polygon(o, 0, 0, 0, 1, 0, 0, 0, 1, 0);
q = New Point3D(t, 7, 8, 9, 1, 2, 3, 4);
Print(q.GetIndex(o), q.GetIndex(t), q.GetU2(), q.GetV2(), t.GetNPoints());
r = New Point3D(w, 1, 2, 3, 4, 5, 6, 7, 8);
// expect output: 1 2 3 0 0 -1 0
// expect output: 0 0.5 0.25 0.5 0.25 1
// expect output: 4 -1 3 4 3
// expect: error 14 line 12

//== the anchor must be a World, a Polygon or an Object
UseRenderers();
s = New Surface(64, 48);
p = New Point3D(s, 1, 2, 3);
// expect: error 14 line 3

//== values, normals and texture coordinates read back as set
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
p = New Point3D(w);
p.SetX(1.5);
p.SetY(-2);
p.SetZ(4, 0);
p.SetXNormal(0.5);
p.SetU(0.25);
p.SetV(0.75);
p.SetU2(2);
p.SetV2(3);
p.SetX();
Print(p.GetX(), p.GetY(), p.GetZ(), p.GetXNormal(), p.GetU(), p.GetV(), p.GetU2(), p.GetV2(), p.GetMaterial());
p.SetY(1, 2);
// expect output: 1.5 -2 4 0.5 0.25 0.75 2 3 0
// expect: error 14 line 15

//== a point shared by two Objects has one Point3D; SetX(x, 0) leaves them as they were
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
a = New Object(w);
b = New Object(w);
a.AddPolygon(0, 0, 0, 1, 0, 0, 0, 1, 0);
p = a.GetPoint(1);
b.AddPolygon(p, 0, 0, 5, 0, 1, 5);
Print(b.GetPoint(p.GetIndex(b)) == p, p.GetIndex(a), p.GetIndex(b));
p.SetX(5, 0);
Print(a.GetWidth(), b.GetWidth());
p.SetX(5);
Print(a.GetWidth(), b.GetWidth());
Display.BeginPolygonChange();
p.SetX(7);
Print(a.GetWidth(), b.GetWidth());
Display.EndPolygonChange();
Print(a.GetWidth(), b.GetWidth());
// expect output: 1 1 0
// expect output: 1 1
// expect output: 5 5
// expect output: 5 5
// expect output: 7 7
// expect: end

//== a point removed from its mesh takes its Point3D with it; a World deleted, every one
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
o.AddPolygon(0, 0, 0, 1, 0, 0, 0, 1, 0);
p = o.GetPoint(0);
f = New Point3D(w, 1, 1, 1);
g = New Point3D(w, 2, 2, 2);
Delete g;
o.RemovePolygon(0);
Print(Program.IsObject(p), Program.IsObject(f));
p = o.GetPolygon(0);
// expect output: 0 1
// expect: error 52 line 12

//== the World going takes its points and faces
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
t = New Polygon(o, 0, 0, 0, 1, 0, 0, 0, 1, 0);
p = t.GetPoint(0);
f = New Point3D(w, 1, 1, 1);
Delete w;
Print(Program.IsObject(o), Program.IsObject(t), Program.IsObject(p), Program.IsObject(f));
// expect output: 0 0 0 0
// expect: end

//== a camera projects a Point3D and tells whether it sees it
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
cam = New Camera(w, s);
p = New Point3D(w, 0, 0, 100);
q = New Point3D(w, 0, 0, -100);
Print(cam.GetScreenX(p) == cam.GetScreenX(0, 0, 100), cam.GetScreenY(p) == cam.GetScreenY(0, 0, 100));
Print(cam.GetVisibility(p), cam.GetVisibility(q));
// expect output: 1 1
// expect output: 1 3
// expect: end
