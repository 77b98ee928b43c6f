//== a missing coordinate is 0, not kept; Move() without a distance moves by -99999
// expect: end
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
b = w.CreateBrick(10, 10, 10);
b.SetPosition(1, 2, 3);
b.SetPosition(5);
Print(b.GetX(), b.GetY(), b.GetZ());
b.SetPosition(0, 0, 0);
b.Move();
Print(b.GetX(), b.GetY(), b.GetZ());
// expect output: 5 0 0
// expect output: 0 0 99999

//== FindChild finds the first child whose name starts with the text, in any case
// expect: end
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
body = New Object(w, "Body");
leg = New Object(w, "Leg");
leg.SetParent(body);
arm = New Object(w, "ArmLeft");
arm.SetParent(body);
hand = New Object(w, "Arm");
hand.SetParent(leg);
Print(body.FindChild("arm") == arm, leg.FindChild("ARM") == hand, body.FindChild("Tail"));
Print(body.GetNChildren(), body.GetChild(0) == leg, hand.GetParent() == leg);
// expect output: 1 1 0
// expect output: 2 1 1

//== a parent that is the object or one of its children raises 135
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
a = New Object(w, "A");
b = New Object(w, "B");
b.SetParent(a);
b.SetParent();
Print(a.GetNChildren(), b.GetParent());
b.SetParent(a);
a.SetParent(b);
// expect output: 0 0
// expect: error 135 line 10

//== private data keeps any value; a Zone is no target, a World no place
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
p = New Position(w, 1, 2, 3);
p.SetPrivateData("home");
q = p.GetPosition();
Print(p.GetPrivateData(), q.GetZ(), Position.COLLISION_TYPE_STOP);
z = New Zone(w);
p.SetPosition(z);
// expect output: home 3 1
// expect: error 47 line 9

//== a World collected while its objects are still held leaves them detached: setters do nothing, queries answer 0
UseRenderers();
w = New World(New Surface(64, 48));
l = New Light(w);
p = New Position(w, 1, 2, 3);
p.SetName("Home");
w = 0;
CollectNow();
p.SetPosition(4, 5, 6);
l.SetIntensity(7);
Print(p.GetX(), p.GetName(), p.IsVisible(), p.GetNChildren(), l.GetIntensity(), p.FindChild("a"));
q = New Position(New World(New Surface(64, 48)));
q.SetPosition(p);
// expect output: 0  0 0 0 0
// expect: error 47 line 12
