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
