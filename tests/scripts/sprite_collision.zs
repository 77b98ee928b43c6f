//== boxes collide when they overlap, not when they touch
s = New Surface(200, 100, 32);
img = New Surface(10, 10, 32);
a = New Sprite(s, 0, 0, img);
b = New Sprite(s, 10, 0, img);
a.SetCollision(Sprite.CMBOX);
b.SetCollision(Sprite.CMBOX);
Print(a.IsColliding(b), b.IsColliding(a));
b.Set(9, 9);
Print(a.IsColliding(b), a.GetFirstCollidingSprite() == b, b.GetFirstCollidingSprite() == a);
b.SetCollision(Sprite.CMNONE);
Print(a.IsColliding(b), a.GetFirstCollidingSprite());
// expect output: 0 0
// expect output: 1 1 1
// expect output: 0 0
// expect: end

//== fine collision ignores transparent pixels
s = New Surface(200, 100, 32);
ring = New Surface(20, 20, 32);
ring.SetFillColor(0);
ring.SetPenColor(0);
ring.Rectangle(0, 0, 20, 20);
ring.SetFillColor(Surface.RED);
ring.SetPenColor(Surface.RED);
ring.Rectangle(0, 0, 4, 4);
dot = New Surface(2, 2, 32);
dot.SetFillColor(Surface.BLUE);
dot.SetPenColor(Surface.BLUE);
dot.Rectangle(0, 0, 2, 2);
a = New Sprite(s, 0, 0, ring);
b = New Sprite(s, 10, 10, dot);
a.SetCollision(Sprite.CMFINE);
b.SetCollision(Sprite.CMFINE);
Print(a.IsColliding(b));
b.Set(2, 2);
Print(a.IsColliding(b));
b.SetCollision(Sprite.CMBOX);
b.Set(10, 10);
Print(a.IsColliding(b));
Print(a.IsPointIn(1, 1), a.IsPointIn(10, 10), a.IsPointIn(20, 1));
a.SetTransparent(0);
Print(a.IsPointIn(10, 10));
// expect output: 0
// expect output: 1
// expect output: 1
// expect output: 1 0 0
// expect output: 1
// expect: end

//== each colliding sprite is found once
s = New Surface(200, 100, 32);
img = New Surface(10, 10, 32);
me = New Sprite(s, 5, 5, img);
me.SetCollision(Sprite.CMBOX);
for (i = 0; i < 4; i++) {
    t = New Sprite(s, i * 3, 0, img);
    t.SetCollision(Sprite.CMBOX);
    t.SetPrivateData(i);
}
far = New Sprite(s, 100, 50, img);
far.SetCollision(Sprite.CMBOX);
found = "";
for (t = me.GetFirstCollidingSprite(); t != 0; t = me.GetNextCollidingSprite(t))
    found = found + t.GetPrivateData();
Print(found);
// expect output: 0123
// expect: end

//== IsIn, IsOut, IsLeaving and IsEntering
s = New Surface(100, 100, 32);
img = New Surface(10, 10, 32);
a = New Sprite(s, 0, 0, img);
s.SetAutoRefresh(0);
s.Refresh();
Print(a.IsIn(), a.IsOut(), a.IsIn(1, 1), a.IsOut(10, 0));
a.Set(-20, 0);
Print(a.IsLeaving(), a.IsEntering(), a.IsOut());
s.Refresh();
a.Set(95, 95);
Print(a.IsLeaving(), a.IsEntering(), a.IsIn(), a.IsOut());
// expect output: 1 0 0 1
// expect output: 1 0 1
// expect output: 0 1 0 0
// expect: end
