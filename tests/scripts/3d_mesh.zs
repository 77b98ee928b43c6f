//== faces from triples, Point3D objects and PointArrays of dimension 3, 5 and 7
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
Print(o.AddPolygon(0, 0, 0, 1, 0, 0, 0, 1, 0), o.GetNPoints());
p = o.GetPoint(0);
q = New Point3D(w, 5, 5, 5);
Print(o.AddPolygon(p, q, 0, 0, 9), o.GetNPoints(), q.GetIndex(o), p.GetIndex(o));
a3 = New PointArray(3, 0, 0, 1, 1, 0, 1, 0, 1, 1);
a5 = New PointArray(5, 0, 0, 2, 0.5, 0.25, 1, 0, 2, 0.5, 0.25);
a5.AddPoint(1, 1, 2, 0.5, 0.25, 0, 1, 2, 0.5, 0.25);
a7 = New PointArray(7, 0, 0, 3, 1, 2, 3, 4, 1, 0, 3, 1, 2, 3, 4);
a7.AddPoint(0, 1, 3, 1, 2, 3, 4);
Print(o.AddPolygon(a3), o.AddPolygon(a5), o.AddPolygon(a7), o.GetNPolygons());
t = o.GetPolygon(3);
t0 = t.GetPoint(0);
t3 = t.GetPoint(3);
Print(t.GetNPoints(), t0.GetU(), t0.GetV(), t0.GetU2(), t3.GetV2());
f = o.GetPolygon(4);
u = f.GetPoint(2);
f = o.GetPolygon(2);
e = f.GetPoint(1);
Print(u.GetZ(), u.GetU(), u.GetV(), u.GetU2(), u.GetV2(), e.GetU());
// expect output: 0 3
// expect output: 1 5 3 0
// expect output: 2 3 4 5
// expect output: 4 0.5 0.25 0.5 0.25
// expect output: 3 1 2 3 4 1
// expect: end

//== a face of two or five vertices is refused and adds nothing
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
Print(o.AddPolygon(0, 0, 0, 1, 0, 0), o.AddPolygon(0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 2, 2));
Print(o.GetNPolygons(), o.GetNPoints());
Print(o.AddPolygon(0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0), o.GetNPolygons());
f = o.GetPolygon(0);
Print(f.GetNPoints());
// expect output: -1 -1
// expect output: 0 0
// expect output: 0 1
// expect output: 4
// expect: end

//== the errors of the point arguments
UseRenderers();
Function Caught(code, text, unit, line, column) { Print("error", code); }
Program.OnError = Caught;
s = New Surface(64, 48);
w = New World(s);
v = New World(s);
o = New Object(w);
o.AddPolygon(0, 0, 0, 1, 0, 0, s);
o.AddPolygon(New PointArray(2, 1, 2));
o.AddPolygon(New Point3D(v, 1, 2, 3), 0, 0, 0, 1, 1, 1);
o.SetPolygon(0, 0, 0, 0, 1, 0, 0, 0, 1, 0);
o.GetPolygon(3);
o.GetPoint(0);
o.AddPoint(0, 1, 2, 3, 4, 5, 6, 7, 8);
c = o.Clone();
c.AddPolygon(0, 0, 0, 1, 0, 0, 0, 1, 0);
c.RemovePoint(0);
Print(o.GetNPolygons(), o.GetNPoints());
// expect output: error 53
// expect output: error 57
// expect output: error 120
// expect output: error 52
// expect output: error 52
// expect output: error 89
// expect output: error 14
// expect output: error 126
// expect output: error 126
// expect output: 0 0
// expect: end

//== a Point3D refused by a full face raises 83
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
p = New Point3D(w, 1, 1, 1);
o.AddPolygon(0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, p);
// expect: error 83 line 6

//== points added, read and removed by index
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
Print(o.AddPoint(0, 1, 2, 3), o.AddPoint(0, 4, 5, 6, 0.5, 0.75), o.AddPoint(0, 7, 8, 9, 1, 2, 3, 4));
a = o.GetPoint(0);
b = o.GetPoint(1);
c = o.GetPoint(2);
Print(a.GetX(), a.GetU(), a.GetU2(), b.GetU2(), b.GetV2(), c.GetU2(), c.GetV2(), o.GetPoint(1) == b);
o.RemovePoint(0);
Print(o.GetNPoints(), b.GetIndex(o), Program.IsObject(a));
// A point the faces use stays theirs.
o.AddPolygon(b, c, 0, 0, 9);
o.AddPolygon(b, c, 5, 5, 9);
o.RemovePoint(0);
o.RemovePoint(0);
o.RemovePolygon(0);
Print(o.GetNPoints(), b.GetIndex(o), o.GetNPolygons());
// expect output: 0 1 2
// expect output: 1 0 0 0.5 0.75 3 4 1
// expect output: 2 0 0
// expect output: 3 0 1
// expect: end

//== RemovePolygon takes one face or all of them; SetPolygon rebuilds one
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
o.AddPolygon(0, 0, 0, 1, 0, 0, 0, 1, 0);
o.AddPolygon(0, 0, 5, 1, 0, 5, 0, 1, 5);
o.AddPolygon(0, 0, 9, 1, 0, 9, 0, 1, 9);
f = o.GetPolygon(1);
o.RemovePolygon(0);
Print(o.GetNPolygons(), f.GetIndexInObject(), o.GetPolygon(0) == f);
o.SetPolygon(0, 0, 0, 7, 2, 0, 7, 2, 2, 7, 0, 2, 7);
c = f.GetPoint(2);
Print(f.GetNPoints(), c.GetX(), c.GetZ(), o.GetNPoints());
o.RemovePolygon();
Print(o.GetNPolygons(), o.GetNPoints(), Program.IsObject(f));
// expect output: 2 0 1
// expect output: 4 2 7 7
// expect output: 0 0 0
// expect: end

//== inside a polygon-change batch the normals wait for its end
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
o.AddPolygon(0, 0, 0, 0, 0, 1, 1, 0, 0);
p = o.GetPoint(0);
Print(p.GetYNormal());
b = New Object(w);
Display.BeginPolygonChange();
b.AddPolygon(0, 0, 0, 0, 0, 1, 1, 0, 0);
q = b.GetPoint(0);
Print(q.GetYNormal());
Display.EndPolygonChange();
Print(q.GetYNormal());
// expect output: 1
// expect output: 0
// expect output: 1
// expect: end

//== a mesh built point by point is drawn
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
cam = New Camera(w, s);
o = New Object(w);
o.AddPolygon(100, -100, 0, 100, 100, 0, -100, 100, 0, -100, -100, 0);
o.SetPosition(0, 0, 300);
UiRefreshNow();
drawn = 0;
For (x = 0; x < 80; x++) {
    If (AsText(s.GetPixel(x, 30)) != "0") drawn = 1;
}
Print(drawn);
// expect output: 1
// expect: end

//== both shadow modes switch their own shadow
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
b = w.CreateBrick();
Print(b.GetShadowMode(), b.GetShadowTextureWidth());
b.EnableShadow();
b.SetShadowMode(1);
Print(b.GetShadowMode(), b.GetShadowTextureWidth(), b.GetShadowTextureHeight());
b.SetShadowTextureSize(30);
Print(b.GetShadowTextureWidth(), b.GetShadowTextureHeight(), b.GetShadowTexture());
b.EnableShadow(0);
b.SetShadowMode(0);
b.SetShadowTexture(b);
// expect output: 0 0
// expect output: 1 20 20
// expect output: 30 20 0
// expect: error 93 line 13

//== a shadow switch other than 0 or 1 raises 14
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
b = w.CreateBrick();
b.EnableShadow(2);
// expect: error 14 line 5

//== another object's mesh appended as frames; frames removed
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
o = New Object(w);
a = w.CreateBrick();
p = w.CreatePyramid();
o.AppendObjectAsMeshFrame(a);
Print(o.GetNMeshFrames(), o.GetNPolygons(), a.GetNPolygons(), a.GetNMeshFrames());
o.AppendObjectAsMeshFrame(p);
Print(o.GetNMeshFrames(), o.GetNPolygons());
Print(o.RemoveMeshFrame(1), o.GetNMeshFrames(), o.GetNPolygons());
o.RemoveMeshFrame(0);
Print(o.GetNMeshFrames(), o.GetNPolygons());
o.RemoveMeshFrame(1);
// expect output: 1 12 0 1
// expect output: 2 12
// expect output: 1 1 12
// expect output: 1 12
// expect: error 14 line 14

//== appending refuses another World's object and the object itself
UseRenderers();
Function Caught(code, text, unit, line, column) { Print("error", code); }
Program.OnError = Caught;
s = New Surface(64, 48);
w = New World(s);
v = New World(s);
o = w.CreateBrick();
x = v.CreateBrick();
o.AppendObjectAsMeshFrame(x);
o.AppendObjectAsMeshFrame(o);
o.AppendObjectAsMeshFrame(s);
Print(o.GetNMeshFrames());
// expect output: error 122
// expect output: error 14
// expect output: error 94
// expect output: 1
// expect: end
