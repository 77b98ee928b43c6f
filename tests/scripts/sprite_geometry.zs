//== the hot spot goes at the position; scale and angle move the edges
s = New Surface(200, 100, 32);
img = New Surface(20, 10, 32);
a = New Sprite(s, 50, 40, img);
Print(a.GetLeft(), a.GetTop(), a.GetRight(), a.GetBottom(), a.GetWidth(), a.GetHeight());
a.SetHotSpot(10, 5);
Print(a.GetLeft(), a.GetTop(), a.GetRight(), a.GetBottom());
a.SetScale(2);
Print(a.GetLeft(), a.GetTop(), a.GetRight(), a.GetBottom(), a.GetScaleX(), a.GetScaleY());
a.SetScale(-1, 0.5);
Print(a.GetScaleX(), a.GetScaleY(), a.GetLeft(), a.GetRight(), a.GetTop(), a.GetBottom());
a.SetScale();
a.SetAngle(90);
Print(a.GetAngle(), a.GetLeft(), a.GetTop(), a.GetRight(), a.GetBottom());
a.SetAngle(-90);
Print(a.GetAngle(), a.GetLeft(), a.GetTop(), a.GetRight(), a.GetBottom());
a.SetAngle(720);
Print(a.GetAngle(), a.GetLeft(), a.GetTop(), a.GetRight(), a.GetBottom());
a.SetAngle(-1);
Print(a.GetAngle());
a.SetAngle(2000000000);
Print(a.GetAngle());
a.SetAngle(1e12);
Print(a.GetAngle());
// expect output: 50 40 70 50 20 10
// expect output: 40 35 60 45
// expect output: 30 30 70 50 2 2
// expect output: 0 0.5 50 50 38 43
// expect output: 90 45 30 55 50
// expect output: 270 45 30 55 50
// expect output: 0 40 35 60 45
// expect output: 359
// expect output: 200
// expect output: 280
// expect: end

//== a scale too large for any picture gives clamped edges and draws nothing
s = New Surface(100, 100, 32);
img = New Surface(100, 100, 32);
img.SetFillColor(Surface.RED);
img.Rectangle(0, 0, 100, 100);
a = New Sprite(s, 0, 0, img);
a.SetScale(1e30);
Print(a.GetLeft(), a.GetRight() == 1073741824);
s.SetAutoRefresh(0);
s.Refresh();
Print(AsText(s.GetPixel(5, 5)));
a.SetAngle(45);
s.Refresh();
Print(AsText(s.GetPixel(5, 5)));
// expect output: 0 1
// expect output: 16777215
// expect output: 16777215
// expect: end

//== the owner: a Surface, a Window's Surface, or an error
s = New Surface(10, 10, 32);
a = New Sprite(s);
b = New Sprite(s, 1, 2, s);
Print(a.GetX(), b.GetX(), b.GetY(), b.IsVisible());
// expect output: 0 1 2 1
// expect: end

//== a Sprite without a surface to go on (no main Window)
a = New Sprite();
// expect: error 39 line 1

//== a Sprite on what is no surface
a = New Sprite(New Blob());
// expect: error 47 line 1

//== the first Window's Surface is where sprites go by default
w = New Window(50, 50, 0, 0);
img = New Surface(4, 4, 32);
a = New Sprite(10, 20, img);
b = New Sprite();
s = w.GetSurface();
Print(a.GetLeft(), a.GetTop(), s.GetFirstSprite() == a);
// expect output: 10 20 1
// expect: end

//== a lone number as the only argument
w = New Window(50, 50, 0, 0);
a = New Sprite(1);
// expect: error 21 line 2

//== two arguments after the surface
s = New Surface(10, 10, 32);
a = New Sprite(s, 1, 2);
// expect: error 21 line 2

//== an image that is no Surface
s = New Surface(10, 10, 32);
a = New Sprite(s, 1, 2, New Blob());
// expect: error 14 line 2

//== an image name that no bank holds
s = New Surface(10, 10, 32);
a = New Sprite(s, 1, 2, "ball");
// expect: error 34 line 2

//== IsPointIn needs both coordinates
s = New Surface(10, 10, 32);
a = New Sprite(s, 1, 2, s);
a.IsPointIn(3);
// expect: error 14 line 3

//== a Play flag that is no flag
s = New Surface(10, 10, 32);
a = New Sprite(s, 1, 2, s);
a.Play(1, 0, 5);
// expect: error 14 line 3
