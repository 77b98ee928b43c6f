//== a script-built quad and a brick made static geometry are picked where they are drawn, and picking leaves them there
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
cam = New Camera(w, s);
red = New Material(w, 0xFF0000, "Red");
red.SetFlat(1);
q = New Object(w);
q.AddPolygon(-100, -100, 0, 100, -100, 0, 100, 100, 0, -100, 100, 0);
q.SetPosition(150, 0, 1000);
q.ReplaceMaterial(red);
b = w.CreateBrick(100, 100, 100);
b.SetPosition(-150, 0, 1000);
b.ReplaceMaterial(red);
Function Picked() {
    n = 0;
    For (y = 2; y < 60; y += 4) { For (x = 2; x < 80; x += 4) { If (cam.FindPolygonAt(x, y) != 0) n++; } }
    Return n;
}
Function Shown() {
    n = 0;
    For (y = 2; y < 60; y += 4) { For (x = 2; x < 80; x += 4) { If (s.GetPixel(x, y) == 0xFF0000) n++; } }
    Return n;
}
UiRefreshNow();
Print(Picked(), Shown());
q.SetStatic();
b.SetStatic();
w.Optimize(cam);
UiRefreshNow();
f = cam.FindPolygonAt(62, 30);
Print(Picked(), Shown(), f != 0, f.GetNPoints());
cam.SetPosition(0, 0, 1);
cam.SetPosition(0, 0, 0);
UiRefreshNow();
Print(Picked(), Shown());
// expect output: 61 65
// expect output: 61 65 1 4
// expect output: 61 65
// expect: end
