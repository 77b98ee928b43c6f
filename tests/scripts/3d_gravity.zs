//== over empty space the speed grows by the elapsed time × gravity × 0.05 at each tick; gravity 0 stops the fall
// expect: end
UseRenderers();
UiAdvance(0);
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; }
w = New World(New Surface(32, 32));
o = w.CreateBrick(10, 10, 10);
o.SetGravity(1);
For (t = 0; t < 4; t++) { Tick(); Print(o.GetY()); }
o.SetGravity(0);
Tick();
Print(o.GetY());
o.SetGravity(2);
Tick();
Print(o.GetY());
// expect output: -2.5
// expect output: -7.5
// expect output: -15
// expect output: -25
// expect output: -25
// expect output: -30

//== a falling object never ends below the floor under it, and a hidden Object does not fall
// expect: end
UseRenderers();
UiAdvance(0);
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; }
s = New Surface(32, 32);
w = New World(s);
c = New Camera(w, s);
floor = w.CreateBrick(1000, 10, 1000);
floor.SetStatic();
w.Optimize(c);
o = w.CreateBrick(10, 10, 10);
o.SetPosition(0, 100, 0);
o.Hide();
o.SetGravity(10);
Tick();
Print(o.GetY());
o.Show();
For (t = 0; t < 6; t++) { Tick(); Print(o.GetY()); }
// expect output: 100
// expect output: 75
// expect output: 25
// expect output: 5
// expect output: 5
// expect output: 5
// expect output: 5

//== colliding with a BOTTOM face lands the object, and a floor dropping away under it starts the fall again
// expect: end
UseRenderers();
UiAdvance(0);
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; c.Render(); }
s = New Surface(32, 32);
w = New World(s);
c = New Camera(w, s);
floor = w.CreateBrick(1000, 10, 1000);
floor.SetStatic();
w.Optimize(c);
o = w.CreateBrick(10, 10, 10);
o.SetPosition(0, 100, 0);
o.SetCollision(1);
o.SetGravity(10);
Function Landed(wo, one, two, face, v, side) { If (side == World.COLLISION_FLAG_BOTTOM) landings++; }
landings = 0;
w.OnCollide = Landed;
For (t = 0; t < 6; t++) Tick();
Program.Wait(1);
Print(landings > 0, o.GetY());
o.SetPosition(0, 150, 0);
Tick();
y1 = o.GetY();
Tick();
Print(y1 < 150, o.GetY() < y1 - 25);
For (t = 0; t < 4; t++) Tick();
Print(o.GetY());
// expect output: 1 13.6603
// expect output: 1 1
// expect output: 13.6603

//== a huge gravity, or one beyond any float, ends every tick and holds the speed at a million units
// expect: end
UseRenderers();
UiAdvance(0);
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; }
s = New Surface(32, 32);
w = New World(s);
c = New Camera(w, s);
floor = w.CreateBrick(1000, 10, 1000);
floor.SetStatic();
w.Optimize(c);
o = w.CreateBrick(10, 10, 10);
o.SetPosition(0, 100, 0);
o.SetGravity(1e30);
o.SetPosition(5000, 100, 0);
Tick();
Print(o.GetY());
Tick();
Print(o.GetY());
Tick();
Print(o.GetY());
p = w.CreateBrick(10, 10, 10);
p.SetGravity(1e300);
Tick();
Print(p.GetY());
// expect output: 100
// expect output: -999900
// expect output: -1.9999e+06
// expect output: -1e+06

//== a resting object sunk under its floor climbs back onto it, far from the origin too, where a float steps by 8
// expect: end
UseRenderers();
UiAdvance(0);
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; c.Render(); }
s = New Surface(32, 32);
w = New World(s);
c = New Camera(w, s);
floor = w.CreateBrick(1000, 10, 1000);
floor.SetPosition(0, 100000000, 0);
floor.SetStatic();
w.Optimize(c);
o = w.CreateBrick(10, 10, 10);
o.SetPosition(0, 100000200, 0);
o.SetCollision(1);
o.SetGravity(10);
For (t = 0; t < 8; t++) Tick();
Print(o.GetY() - 100000000);
o.SetPosition(0, 99999904, 0);
For (t = 0; t < 4; t++) { Tick(); Print(o.GetY() - 100000000); }
// expect output: 16
// expect output: 16
// expect output: 16
// expect output: 16
// expect output: 16

//== a Camera with a collision radius of its own lands on the floor at that radius and stays there
// expect: end
UseRenderers();
UiAdvance(0);
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; c.Render(); }
s = New Surface(32, 32);
w = New World(s);
c = New Camera(w, s);
floor = w.CreateBrick(1000, 10, 1000);
floor.SetStatic();
w.Optimize(c);
c.SetPosition(0, 200, 0);
c.SetCollisionRadius(60);
c.SetCollision(1);
c.SetGravity(10);
For (t = 0; t < 8; t++) Tick();
Print(c.GetY(), c.GetCollisionRadius());
highest = 0;
For (t = 0; t < 10; t++) { Tick(); If (c.GetY() > highest) highest = c.GetY(); }
Print(highest, c.GetY());
// expect output: 65 60
// expect output: 65 65

//== an object resting on a floor stays there under a higher floor, such as a lintel over a door
// expect: end
UseRenderers();
UiAdvance(0);
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; c.Render(); }
s = New Surface(32, 32);
w = New World(s);
c = New Camera(w, s);
floor = w.CreateBrick(1000, 10, 1000);
lintel = w.CreateBrick(1000, 10, 1000);
lintel.SetPosition(0, 200, 0);
floor.SetStatic();
lintel.SetStatic();
w.Optimize(c);
o = w.CreateBrick(10, 10, 10);
o.SetPosition(0, 100, 0);
o.SetCollision(1);
o.SetGravity(10);
For (t = 0; t < 20; t++) Tick();
Print(o.GetY());
// expect output: 13.6603
