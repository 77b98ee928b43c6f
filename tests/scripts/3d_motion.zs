//== an Object's timed move ends on the first tick at or after its end and posts OnStopMovement once
// expect: end
UseRenderers();
UiAdvance(0);
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w, s);
b = w.CreateBrick(10, 10, 10);
n = 0;
Function Stopped(o) { n++; Print(o == b, o.GetX(), System.GetElapsedTime() - t0); }
b.OnStopMovement = Stopped;
t0 = System.GetElapsedTime();
b.SetPosition(100, 0, 0, 1);
Program.Wait(1500);
Print(n);
// expect output: 1 100 1000
// expect output: 1

//== a Camera follows an Object at an offset in its frame and keeps doing so as it moves
// expect: end
UseRenderers();
UiAdvance(0);
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w, s);
b = w.CreateBrick(10, 10, 10);
c.Follow(b, 100, 0, 0, 20, -100);
Program.Wait(100);
Print(c.GetX(), c.GetY(), c.GetZ());
b.SetPosition(50, 0, 0);
Program.Wait(100);
Print(c.GetX(), c.GetY(), c.GetZ());
c.Stop();
b.SetPosition(0, 0, 0);
Program.Wait(100);
Print(c.GetX());
// expect output: 0 20 -100
// expect output: 50 20 -100
// expect output: 50

//== the other object of Follow, LookAt and MoveAround must be placed, and not a Zone
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
b = w.CreateBrick(10, 10, 10);
b.MoveAround(w);
// expect: error 47 line 5

//== a timed move of an Object plays the animation its last arguments name, and stops it at the end
UseRenderers();
UiAdvance(0);
Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; }
w = New World(New Surface(32, 32));
o = w.CreateBrick();
o.SetAnimMode(2);
o.AddAnimDefinition("walk", 0, 40, -1, 0, 0, 100);
o.Move(100, 0.5, "walk", 100);
Print(o.GetAnim());
For (t = 0; t < 4; t++) Tick();
moving = o.GetFrame();
// The move ends on the tick at 500 ms, and its animation with it.
For (t = 0; t < 8; t++) Tick();
stopped = o.GetFrame();
For (t = 0; t < 4; t++) Tick();
Print(moving > 0, stopped > moving, o.GetFrame() == stopped, o.GetZ());
// expect output: walk
// expect output: 1 1 1 -100
// expect: end
