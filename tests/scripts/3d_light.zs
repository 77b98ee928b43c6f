//== a Light's defaults, a static red light at a place, and the intensity clamped
// expect: end
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
a = New Light(w);
Print(a.GetColor(), a.GetIntensity(), a.GetRadius(), w.GetNLights());
p = New Position(w, 0, 50, 0);
b = New Light(w, p, 0xFF0000, 200, 80, Light.STATIC);
Print(b.GetColor() == 0xFF0000, b.GetIntensity(), b.GetY(), w.GetLight(1) == b);
a.SetIntensity(300);
Print(a.GetIntensity());
a.SetIntensity(-5);
b.SetRadius(10);
b.SetColor();
Print(a.GetIntensity(), b.GetRadius(), b.GetColor() == 0xFF0000);
// expect output: 16777215 100 40 1
// expect output: 1 200 50 1
// expect output: 255
// expect output: 0 80 1

//== a Light needs a World
UseRenderers();
l = New Light(0xFFFFFF, 100);
// expect: error 50 line 2

//== deleting the World deletes its lights, zones and positions
// expect: end
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
l = New Light(w);
z = New Zone(w);
p = New Position(w);
q = p.GetPosition();
Delete w;
Print(l);
Print(z);
Print(p);
Print(q);
// expect output: 0
// expect output: 0
// expect output: 0
// expect output: 0
