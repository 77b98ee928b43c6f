//== OnCollide receives the World, both objects, no polygon, the contact and no side; a STOP object halts short
// expect: end
UseRenderers();
s = New Surface(32, 32);
w = New World(s);
c = New Camera(w, s);
a = w.CreateSphere(10, 10, 10);
b = w.CreateSphere(10, 10, 10);
a.SetPosition(0, 0, 100);
b.SetPosition(100, 0, 100);
a.SetCollision(1);
b.SetCollision(1);
Function Hit(wo, one, two, face, v, side) { Print(wo == w, one == a, two == b, face, v.GetX(), v.GetY(), v.GetZ(), side); }
w.OnCollide = Hit;
c.Render();
a.SetPosition(100, 0, 100);
c.Render();
Program.Wait(1);
Print(a.GetX());
// expect output: 1 1 1 0 80 0 0 0
// expect output: 75

//== collision types: NONE on either object passes through, SLIDE slides past, and the event is posted all the same
// expect: end
UseRenderers();
s = New Surface(32, 32);
w = New World(s);
c = New Camera(w, s);
n = 0;
Function Hit(wo, one, two, face, v, side) { n++; }
w.OnCollide = Hit;
Function Try(typeA, typeB, toX, toY) {
    a = w.CreateSphere(10, 10, 10);
    b = w.CreateSphere(10, 10, 10);
    a.SetPosition(0, 0, 100);
    b.SetPosition(100, 0, 100);
    a.SetCollision(1, typeA);
    b.SetCollision(1, typeB);
    c.Render();
    a.SetPosition(toX, toY, 100);
    c.Render();
    Program.Wait(1);
    Print(Math.Round(a.GetX()), Math.Round(a.GetY()), n);
    Delete(a);
    Delete(b);
    n = 0;
}
Try(Object.COLLISION_TYPE_NONE, Object.COLLISION_TYPE_STOP, 100, 0);
Try(Object.COLLISION_TYPE_STOP, Object.COLLISION_TYPE_NONE, 100, 0);
Try(Object.COLLISION_TYPE_STOP, Object.COLLISION_TYPE_STOP, 100, 0);
Try(Object.COLLISION_TYPE_SLIDE, Object.COLLISION_TYPE_STOP, 100, 10);
// expect output: 100 0 1
// expect output: 100 0 1
// expect output: 75 0 1
// expect output: 81 19 1

//== OnCollisions lists each pair once, the older object first, after the frame; the list is emptied after every frame
// expect: end
UseRenderers();
s = New Surface(32, 32);
w = New World(s);
c = New Camera(w, s);
a = w.CreateSphere(10, 10, 10);
b = w.CreateSphere(10, 10, 10);
d = w.CreateSphere(10, 10, 10);
a.SetPosition(0, 0, 100);
b.SetPosition(100, 0, 100);
d.SetPosition(0, 100, 100);
a.SetCollision(1);
b.SetCollision(1);
d.SetCollision(1);
a.SetCollisionType(Object.COLLISION_TYPE_NONE);
a.SetName("a");
b.SetName("b");
d.SetName("d");
Function Met(wo, count, pairs) {
    names = "";
    For (i = 0; i < 2 * count; i++) names = names + pairs[i].GetName();
    Print(count, names);
}
w.OnCollisions = Met;
c.Render();
b.SetPosition(0, 0, 100);
c.Render();
Program.Wait(1);
c.Render();
Program.Wait(1);
Print("nothing moved", QueuedEvents());
d.SetPosition(0, 0, 100);
b.SetPosition(0, 100, 100);
c.Render();
Program.Wait(1);
// expect output: 1 ab
// expect output: nothing moved 0
// expect output: 2 bdad

//== with 10,001 events waiting the frame goes on: the collision's event is dropped and the object stops
// expect: end
UseRenderers();
s = New Surface(32, 32);
w = New World(s);
c = New Camera(w, s);
a = w.CreateSphere(10, 10, 10);
b = w.CreateSphere(10, 10, 10);
a.SetPosition(0, 0, 100);
b.SetPosition(100, 0, 100);
a.SetCollision(1, Object.COLLISION_TYPE_NONE);
b.SetCollision(1);
Function Hit(wo, one, two, face, v, side) { Print("hit"); }
Function Nothing() {}
w.OnCollide = Hit;
w.OnCollisions = Nothing;
c.Render();
EnableEvents(0);
For (i = 0; i < 10001; i++) Post(Nothing);
a.SetPosition(100, 0, 100);
c.Render();
Print(QueuedEvents(), a.GetX());
// expect output: 10001 75
