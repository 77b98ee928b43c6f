//== a world built by script, saved and loaded into a new World, shows the same picture
UseRenderers();
img = New Surface(8, 8, 32);
img.SetFillColor(Surface.RED);
img.SetPenColor(Surface.RED);
img.Rectangle(0, 0, 8, 8);
img.SetFillColor(Surface.BLUE);
img.SetPenColor(Surface.BLUE);
img.Rectangle(0, 0, 4, 8);
img.SaveImage("wall.bmp");
s = New Surface(80, 60);
w = New World(s);
c = New Camera(w, s);
b = w.CreateBrick(200, 200, 200);
b.SetPosition(0, 0, 600);
t = New Texture(w, "wall.bmp");
m = New Material(w, t, "Wall");
b.ReplaceMaterial(m);
UiRefreshNow();
Print(w.Save("castle.zyb"), w.Save("castle.zyb", World.ONLYWORLD));
s2 = New Surface(80, 60);
w2 = New World(s2, "castle.zyb");
c2 = New Camera(w2, s2);
UiRefreshNow();
Print(w2.GetNObjects(), w2.GetNTextures(), w2.GetMaterial("Wall") != 0, w2.GetTexture("wall") != 0);
same = 1;
For (y = 5; y < 60; y += 10) {
    For (x = 5; x < 80; x += 10) {
        If (AsText(s.GetPixel(x, y)) != AsText(s2.GetPixel(x, y))) { same = 0; }
    }
}
Print(same, AsText(s2.GetPixel(40, 30)) != AsText(s2.GetPixel(1, 1)));
Print(w2.Load("castle.zyb"), w2.GetNObjects(), w2.Load(), w2.GetNObjects());
// expect output: 1 1
// expect output: 1 1 1 1
// expect output: 1 1
// expect output: 1 2 2 2
// expect: end

//== the errors of Load, Save and LoadObject
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
b = w.CreateBrick();
b.SetName("Tower");
Print(w.Save("one.zyb"));
w.Save("one.zyb", 12345);
w.Load("one.zyb", 12345);
w.Load("nothing.zyb");
w.LoadObject("one.zyb", "Gate");
// The objects the file adds stay when none of them has the name asked for.
o = w.LoadObject("one.zyb", "tower");
Print(o.GetName(), w.GetNObjects());
w.Load("one.zyb", World.ONLYSTATIC, "Default string");
Print(w.GetNObjects());
Print(w.Save(""));
// expect output: 1
// expect output: caught 63
// expect output: caught 63
// expect output: caught 17
// expect output: caught 51
// expect output: Tower 3
// expect output: 4
// expect output: 0
// expect: end

//== an Object saved alone loads back by its name; a clone is not saved
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
a = w.CreateBrick();
a.SetName("Alone");
p = w.CreatePyramid();
Print(a.Save("alone.zyb"));
w2 = New World(New Surface(32, 32));
o = w2.LoadObject("alone.zyb", "alone");
Print(o.GetName(), w2.GetNObjects());
c = p.Clone();
c.Save("x.zyb");
// expect output: 1
// expect output: Alone 1
// expect: error 126 line 12
