//== a Zone's default size, IsIn with a point or an object, SetSize keeping what is left out
// expect: end
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
z = New Zone(w);
Print(z.GetWidth(), z.GetHeight(), z.GetDepth(), z.GetX());
y = New Zone(w, 1, 2, 3, 10);
Print(y.GetWidth(), y.GetHeight(), y.GetDepth(), y.GetZ());
z.SetSize(50);
Print(z.GetWidth(), z.GetHeight(), z.GetDepth());
p = New Position(w, 0, 0, 60);
Print(z.IsIn(p), z.IsIn(0, 0, 10), z.IsIn(30, 0, 0));
z.SetSize(, , 150);
Print(z.IsIn(p), w.GetZone(0) == y);
// expect output: 100 100 100 0
// expect output: 10 100 100 3
// expect output: 50 100 100
// expect output: 0 1 0
// expect output: 1 0

//== more than three sizes
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
z = New Zone(w);
z.SetSize(1, 2, 3, 4);
// expect: error 13 line 5
