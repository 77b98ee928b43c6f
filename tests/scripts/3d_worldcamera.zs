//== a world file with cameras, given to New World, is seen through its first camera
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
c = New Camera(w, s);
c.SetPosition(0, 0, -200);
b = w.CreateBrick(200, 200, 200);
b.SetPosition(0, 0, 600);
UiRefreshNow();
Print(w.Save("seen.zyb"), w.GetNCameras());
s2 = New Surface(80, 60);
w2 = New World(s2, "seen.zyb");
UiRefreshNow();
c2 = w2.GetCamera(0);
same = 1;
For (y = 2; y < 60; y += 4) {
    For (x = 2; x < 80; x += 4) {
        If (s.GetPixel(x, y) != s2.GetPixel(x, y)) same = 0;
    }
}
Print(w2.GetNCameras(), c2.GetZ(), same, s2.GetPixel(40, 30) != s2.GetPixel(1, 1));
// Loaded later, or without cameras, a world file binds no camera.
w3 = New World(New Surface(80, 60));
w3.Load("seen.zyb");
Print(w3.GetNCameras());
v = New World(New Surface(80, 60));
v.CreateBrick();
v.Save("bare.zyb");
s4 = New Surface(80, 60);
w4 = New World(s4, "bare.zyb");
Print(w4.GetNCameras(), w4.GetNObjects());
// expect output: 1 1
// expect output: 1 -200 1 1
// expect output: 1
// expect output: 0 1
// expect: end
