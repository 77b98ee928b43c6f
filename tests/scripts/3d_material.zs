//== a Material needs a World, and its arguments come in any order
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
n = w.GetNMaterials();
m = New Material("Glass", 0x112233, w);
d = New Material(w);
Print(m.GetName(), AsText(m.GetColor()) == AsText(0x112233), d.GetName(), d.GetColor() == 0xFFFF00);
Print(w.GetNMaterials() - n, w.GetMaterial("GLASS") == m, w.GetMaterial(m), d.GetTexture());
m2 = New Material(w, "Glass");
Print(m2.GetName(), w.GetMaterial(m2));
e = New Material("Glass");
// expect output: Glass 1 Material 1
// expect output: 2 1 0 0
// expect output: Glass - 1 0
// expect: error 54 line 11

//== transparency, intensity and modes read back clamped
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
m = New Material(w);
m.SetSemiTransparency(150);
a = m.GetSemiTransparency();
m.SetSemiTransparency(-5);
b = m.GetSemiTransparency();
m.SetSemiTransparency();
Print(a, b, m.GetSemiTransparency());
m.SetTextureIntensity(0, 250);
a = m.GetTextureIntensity(0);
m.SetTextureIntensity(1);
b = m.GetTextureIntensity(1);
m.SetTextureIntensity(2, 10);
Print(a, b, m.GetTextureIntensity(1), m.GetTextureIntensity(2));
m.SetMetal();
Print(m.IsMetal(), m.IsNormal());
m.Hide();
m.SetWireFrame(1);
Print(m.IsVisible(), m.IsWireFrame(), m.IsFlat());
m.Show();
m.SetAdditiveBlendingMode(1, 1);
Print(m.IsVisible(), m.IsAdditiveBlendingMode());
m.EnableCollision(0);
Print(m.IsCollisionEnabled());
m.EnableCollision();
Print(m.IsCollisionEnabled());
m.EnableCollision(2);
// expect output: 100 1 50
// expect output: 100 50 50 0
// expect output: 1 0
// expect output: 0 1 0
// expect output: 1 1
// expect output: 0
// expect output: 1
// expect: error 14 line 29

//== a Texture in a layer, its colour key, and a layer outside 0 and 1
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
t = New Texture(w, 16, 16, "Paint");
m = New Material(w, t);
Print(m.GetTexture() == t, m.GetTexture(1), m.GetTexture(2), m.IsTransparent());
m.SetTransparentColor(0x00FF00);
Print(m.IsTransparent(), AsText(m.GetTransparentColor()) == AsText(0x00FF00));
m.SetTransparentColor();
Print(m.IsTransparent());
m.SetTexture(1, t);
m.SetTexture(t, 2);
Print(m.GetTexture(1) == t);
m.SetTexture(0);
Print(m.GetTexture(), m.GetTexture(1) == t);
w2 = New World(New Surface(32, 32));
m.SetTexture(New Texture(w2, 8, 8));
// expect output: 1 0 0 0
// expect output: 1 1
// expect output: 0
// expect output: 1
// expect output: 0 1
// expect: error 119 line 17

//== a Texture deleted while a Material shows it leaves the Material's layers
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
c = New Camera(w, s);
t = New Texture(w, 32, 32);
m = New Material(w, t);
m.SetTexture(t, 1);
b = w.CreateBrick(100, 100, 100);
b.ReplaceMaterial(m);
b.SetPosition(0, 0, 400);
UiRefreshNow();
Delete t;
UiRefreshNow();
Print(m.GetTexture(), m.GetTexture(1), w.GetNTextures());
// expect output: 0 0 0
// expect: end

//== AnimUV scrolls layer 1 with the clock until it is called without arguments
UseRenderers();
UiAdvance(0);
s = New Surface(80, 60);
w = New World(s);
c = New Camera(w, s);
b = w.CreateBrick(200, 200, 200);
b.SetPosition(0, 0, 600);
t = New Texture(w, 16, 16);
p = t.GetSurface();
p.SetFillColor(Surface.RED);
p.SetPenColor(Surface.RED);
p.Rectangle(0, 0, 8, 16);
p.SetFillColor(Surface.BLUE);
p.SetPenColor(Surface.BLUE);
p.Rectangle(8, 0, 16, 16);
m = New Material(w, t);
b.ReplaceMaterial(m);
UiRefreshNow();
UiRefreshNow();
first = AsText(s.GetPixel(40, 30));
m.AnimUV(0.01, 0);
UiAdvance(1000);
x = 1;
UiRefreshNow();
second = AsText(s.GetPixel(40, 30));
m.AnimUV();
UiAdvance(1000);
x = 1;
UiRefreshNow();
Print(first != second, AsText(s.GetPixel(40, 30)) == second, first, second);
// expect output: 1 1 16711680 255
// expect: end

//== a colour key lets the scene through where the texture has that colour; a see-through material mixes
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
c = New Camera(w, s);
c.SetBackgroundColor(0x00FF00);
b = w.CreateBrick(200, 200, 200);
b.SetPosition(0, 0, 600);
t = New Texture(w, 16, 16);
p = t.GetSurface();
p.SetFillColor(Surface.RED);
p.SetPenColor(Surface.RED);
p.Rectangle(0, 0, 16, 16);
m = New Material(w, t);
b.ReplaceMaterial(m);
UiRefreshNow();
UiRefreshNow();
opaque = AsText(s.GetPixel(40, 30));
m.SetTransparentColor(0xFF0000);
UiRefreshNow();
keyed = AsText(s.GetPixel(40, 30));
// The key belongs to the texture: a see-through material takes one without a key.
u = New Texture(w, 16, 16);
q = u.GetSurface();
q.SetFillColor(Surface.RED);
q.SetPenColor(Surface.RED);
q.Rectangle(0, 0, 16, 16);
UiRefreshNow();
glass = New Material(w, u);
glass.SetSemiTransparency(50);
b.ReplaceMaterial(glass);
UiRefreshNow();
Print(opaque, keyed, AsText(s.GetPixel(40, 30)), AsText(s.GetPixel(2, 2)));
// expect output: 16711680 65280 8290048 65280
// expect: end

//== the world's own materials stay in it when their Material objects are deleted
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w, s);
n = w.GetNMaterials();
first = w.GetMaterial(0);
last = w.GetMaterial(n - 1);
Delete first;
Delete last;
b = w.CreateBrick();
b.SetPosition(0, 0, 500);
UiRefreshNow();
Print(w.GetNMaterials() == n, n);
// expect output: 1 2
// expect: end
