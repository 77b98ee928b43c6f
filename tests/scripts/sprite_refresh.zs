//== a refresh draws sprites in the window and restores the picture when they move
w = New Window(100, 60, 0, 0);
img = New Surface(10, 10, 32);
img.SetFillColor(Surface.RED);
img.SetPenColor(Surface.RED);
img.Rectangle(0, 0, 10, 10);
a = New Sprite(w, 5, 5, img);
UiRefreshNow();
Print(AsText(UiPixel(w, 7, 7)), AsText(UiPixel(w, 15, 15)));
a.Set(50, 30);
UiRefreshNow();
Print(AsText(UiPixel(w, 7, 7)), AsText(UiPixel(w, 52, 32)));
a.Hide();
UiRefreshNow();
Print(AsText(UiPixel(w, 52, 32)), a.IsVisible());
a.Show();
UiRefreshNow();
Print(AsText(UiPixel(w, 52, 32)), a.IsVisible());
Delete a;
UiRefreshNow();
Print(AsText(UiPixel(w, 52, 32)));
// expect output: 16711680 16777215
// expect output: 16777215 16711680
// expect output: 16777215 0
// expect output: 16711680 1
// expect output: 16777215
// expect: end

//== drawing under a sprite lifts it; it is drawn again over the new picture
w = New Window(100, 60, 0, 0);
img = New Surface(10, 10, 32);
img.SetFillColor(Surface.BLUE);
img.SetPenColor(Surface.BLUE);
img.Rectangle(0, 0, 10, 10);
a = New Sprite(w, 0, 0, img);
UiRefreshNow();
w.SetFillColor(Window.GREEN);
w.SetPenColor(Window.GREEN);
w.Rectangle(0, 0, 100, 60);
UiRefreshNow();
Print(AsText(UiPixel(w, 5, 5)), AsText(UiPixel(w, 50, 50)));
a.Set(40, 40);
UiRefreshNow();
Print(AsText(UiPixel(w, 5, 5)), AsText(UiPixel(w, 45, 45)));
// expect output: 255 65280
// expect output: 65280 255
// expect: end

//== semi-transparency and layers
w = New Window(40, 40, 0, 0);
w.SetFillColor(0);
w.SetPenColor(0);
w.Rectangle(0, 0, 40, 40);
white = New Surface(10, 10, 32);
red = New Surface(10, 10, 32);
red.SetFillColor(Surface.RED);
red.SetPenColor(Surface.RED);
red.Rectangle(0, 0, 10, 10);
top = New Sprite(w, 0, 0, red);
bottom = New Sprite(w, 0, 0, white);
bottom.SetLayer(-1);
UiRefreshNow();
Print(AsText(UiPixel(w, 5, 5)));
top.SetDrawEffect(Sprite.DESEMITRANSP, 128);
UiRefreshNow();
Print(UiPixel(w, 5, 5) != 16711680, UiPixel(w, 5, 5) != 16777215);
top.SetDrawEffect(Sprite.DESEMITRANSP, 0);
UiRefreshNow();
Print(AsText(UiPixel(w, 5, 5)));
top.Hide();
UiRefreshNow();
Print(AsText(UiPixel(w, 5, 5)));
// expect output: 16711680
// expect output: 1 1
// expect output: 16711680
// expect output: 16777215
// expect: end

//== a sprite turned a quarter and scaled
w = New Window(100, 100, 0, 0);
bar = New Surface(20, 4, 32);
bar.SetFillColor(Surface.RED);
bar.SetPenColor(Surface.RED);
bar.Rectangle(0, 0, 20, 4);
a = New Sprite(w, 50, 50, bar);
a.SetAngle(90);
UiRefreshNow();
Print(a.GetLeft(), a.GetTop(), a.GetRight(), a.GetBottom());
Print(AsText(UiPixel(w, 51, 40)), AsText(UiPixel(w, 60, 52)));
a.SetScale(2);
a.SetAngle(0);
UiRefreshNow();
Print(AsText(UiPixel(w, 51, 40)), AsText(UiPixel(w, 85, 55)));
// expect output: 50 30 54 50
// expect output: 16711680 16777215
// expect output: 16777215 16711680
// expect: end

//== deleting the Surface deletes its sprites; deleting the image Surface leaves the sprite
s = New Surface(40, 40, 32);
img = New Surface(10, 10, 32);
a = New Sprite(s, 0, 0, img);
b = New Sprite(img, 0, 0, s);
Delete s;
Print(a, b.GetWidth());
// expect output: 0 0
// expect: end

//== only the changed rectangles reach the window
w = New Window(100, 60, 0, 0);
UiRefreshNow();
UiDispatch();
w.SetAutoRefresh(0);
w.Lock(0, 0, 10, 10);
w.SetFillColor(Window.RED);
w.SetPenColor(Window.RED);
w.Rectangle(0, 0, 100, 60);
w.Unlock();
w.Refresh();
Print(AsText(UiPixel(w, 5, 5)), AsText(UiPixel(w, 50, 50)));
w.Rectangle(40, 40, 60, 60);
w.Refresh();
Print(AsText(UiPixel(w, 50, 50)), AsText(UiPixel(w, 80, 20)));
// expect output: 16711680 16777215
// expect output: 16711680 16777215
// expect: end

//== manual mode draws when the script says, at 8, 16 and 32 bits
depths[0] = 8; depths[1] = 16; depths[2] = 32;
for (d = 0; d < 3; d++) {
    s = New Surface(40, 40, depths[d]);
    s.SetAutoBack(0);
    img = New Surface(10, 10, depths[d]);
    img.Clear(Surface.RED);
    a = New Sprite(s, 5, 5, img);
    before = s.GetPixel(7, 7);
    s.UpdateSprites();
    s.DrawSprites();
    drawn = s.GetPixel(7, 7);
    a.Set(20, 20);
    s.ClearSprites();
    s.UpdateSprites();
    s.DrawSprites();
    Print(depths[d], AsText(before), AsText(drawn), AsText(s.GetPixel(7, 7)), AsText(s.GetPixel(22, 22)));
}
// expect output: 8 16777215 16711680 16777215 16711680
// expect output: 16 16317688 16252928 16317688 16252928
// expect output: 32 16777215 16711680 16777215 16711680
// expect: end
