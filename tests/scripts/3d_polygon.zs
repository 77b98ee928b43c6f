//== new Polygon adds a face; the same face gives the same Polygon
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
f = New Polygon(o, 0, 0, 0, 1, 0, 0, 0, 1, 0);
Print(o.GetNPolygons(), f.GetNPoints(), f.GetIndexInObject(), o.GetPolygon(0) == f, f.GetParent() == o);
a = f.GetPoint(1);
b = f.GetPoint(0);
Print(a.GetX(), a == o.GetPoint(1), b.GetIndex(f));
g = New Polygon(o, 0, 0, 0, 1, 0, 0);
// expect output: 1 3 0 1 1
// expect output: 1 1 0
// expect: error 14 line 10

//== GetPoint past the last vertex raises 88, and the other errors of the face methods
UseRenderers();
Function Caught(code, text, unit, line, column) { Print("error", code); }
Program.OnError = Caught;
s = New Surface(64, 48);
w = New World(s);
v = New World(s);
o = New Object(w);
f = New Polygon(o, 0, 0, 0, 1, 0, 0, 0, 1, 0);
f.GetPoint(f.GetNPoints());
f.GetPoint();
f.RemovePoint(3);
f.Rotate(1);
f.InsertPoints();
f.AddPoints(New Point3D(v, 1, 2, 3));
f.AddPoints(0, 0, 0, 1, 1, 1);
f.SetMaterial(o);
Print(o.GetNPolygons(), f.GetNPoints());
// expect output: error 88
// expect output: error 88
// expect output: error 88
// expect output: error 14
// expect output: error 88
// expect output: error 123
// expect output: error 103
// expect output: error 47
// expect output: 1 4
// expect: end

//== new Polygon refuses a fifth corner
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
five = New PointArray(3, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0);
five.AddPoint(2, 2, 0);
f = New Polygon(o, five);
// expect: error 83 line 7

//== new Polygon needs an Object
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
f = New Polygon(w, 0, 0, 0, 1, 0, 0, 0, 1, 0);
// expect: error 14 line 4

//== Invert turns a triangle and a quad round, each vertex keeping its coordinates
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
corners = New PointArray(5, 0, 0, 0, 0.1, 0.1, 1, 0, 0, 0.2, 0.2);
corners.AddPoint(0, 1, 0, 0.3, 0.3);
t = New Polygon(o, corners);
a = t.GetPoint(0);
b = t.GetPoint(1);
c = t.GetPoint(2);
t.Invert();
Print(t.GetPoint(0) == a, t.GetPoint(1) == c, t.GetPoint(2) == b, c.GetU(), b.GetU());
q = New Polygon(o, 0, 0, 5, 1, 0, 5, 1, 1, 5, 0, 1, 5);
d = q.GetPoint(1);
e = q.GetPoint(3);
q.Invert();
Print(q.GetPoint(1) == e, q.GetPoint(3) == d);
// expect output: 1 1 1 0.3 0.2
// expect output: 1 1
// expect: end

//== InsertPoints keeps the argument order; RemovePoint leaves a face of two vertices
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
corners = New PointArray(5, 0, 0, 0, 0.5, 0.5, 4, 0, 0, 0.75, 0.75);
corners.AddPoint(9, 9, 9, 0, 0);
f = New Polygon(o, corners);
f.RemovePoint(2);
f.InsertPoints(1, 1, 0, 0, 2, 0, 0);
p0 = f.GetPoint(0);
p1 = f.GetPoint(1);
p2 = f.GetPoint(2);
p3 = f.GetPoint(3);
Print(f.GetNPoints(), p0.GetX(), p1.GetX(), p2.GetX(), p3.GetX());
Print(p0.GetU(), p3.GetU(), p1.GetU());
Print(f.RemovePoint(1), f.RemovePoint(1), f.GetNPoints(), o.GetNPolygons());
g = New Polygon(o, 0, 0, 0, 1, 0, 0, 0, 1, 0);
p = New Point3D(o, 9, 8, 7, 0.25, 0.5);
g.InsertPoints(0, p);
n = g.GetPoint(0);
Print(n == p, n.GetX(), n.GetV(), n.GetU2());
// expect output: 4 0 1 2 4
// expect output: 0.5 0.75 1
// expect output: 1 1 2 1
// expect output: 0 9 0.5 1
// expect: end

//== AddPoints appends vertices and a Point3D itself; Rotate turns the vertices
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
f = New Polygon(o, 0, 0, 0, 1, 0, 0, 5, 5, 5);
f.RemovePoint(2);
p = New Point3D(w, 0, 2, 0);
f.AddPoints(p);
Print(f.GetNPoints(), f.GetPoint(2) == p, p.GetIndex(o), p.GetIndex(f));
m = New Matrix();
m.MakeRotationMatrix(0, 0, 1.5707963);
f.Rotate(m);
r = f.GetPoint(1);
Print(Math.Round(r.GetX()), Math.Round(r.GetY()));
// expect output: 3 1 2 2
// expect output: 0 1
// expect: end

//== a face picked on the screen
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
cam = New Camera(w, s);
b = w.CreateBrick(200, 200, 200);
b.SetPosition(0, 0, 1000);
UiRefreshNow();
f = cam.FindPolygonAt(40, 30);
g = cam.FindPolygonAt(40, 30);
Print(f.GetParent() == b, f == g, cam.FindPolygonAt(1, 1));
cam.FindPolygonAt(3);
// expect output: 1 1 0
// expect: error 21 line 11
