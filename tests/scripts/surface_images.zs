//== SaveImage writes what LoadImage reads back, converted where the format needs it
// BMP keeps 8, 16, 24 and 32 bits; JPEG takes 24 bits, so a 16-bit surface is converted.
s = New Surface(8, 6, 16);
s.Clear(Surface.BLUE);
s.SetPixel(2, 3, Surface.RED);
Print(s.SaveImage("pic.bmp", Surface.BMP), s.SaveImage("pic.png", Surface.PNG), s.SaveImage("pic.jpg", Surface.JPEG));
t = New Surface(8, 6, 32);
Print(t.LoadImage("pic.bmp"), AsText(t.GetPixel(2, 3) & 0xF8F8F8), AsText(t.GetPixel(0, 0) & 0xF8F8F8));
Print(t.LoadImage("pic.png"), AsText(t.GetPixel(2, 3) & 0xF8F8F8));
Print(t.LoadImage("pic.jpg"), (t.GetPixel(6, 1) & 0xFF) > 0xC0);
// expect output: 1 1 1
// expect output: 1 16252928 248
// expect output: 1 16252928
// expect output: 1 1
// expect: end

//== New Surface from an image takes its size, and its depth only when asked
s = New Surface(12, 7, 24);
s.SetPixel(1, 1, Surface.GREEN);
s.SaveImage("g.bmp");
a = New Surface("g.bmp");
b = New Surface("g.bmp", Surface.USEIMAGEDEPTH);
Print(a.GetPixelWidth(), a.GetPixelHeight(), a.GetDepth(), b.GetDepth(), AsText(b.GetPixel(1, 1)));
// expect output: 12 7 32 24 65280
// expect: end

//== an 8-bit image keeps its own palette with USEIMAGEPALETTE
s = New Surface(4, 4, 8);
s.SetPixel(0, 0, Surface.RED);
s.SaveImage("p8.bmp");
a = New Surface("p8.bmp", Surface.USEIMAGEDEPTH, Surface.USEIMAGEPALETTE);
Print(a.GetDepth(), AsText(a.GetPixel(0, 0)), a.GetPixelIndex(0, 0) == s.GetPixelIndex(0, 0));
// expect output: 8 16711680 1
// expect: end

//== LoadImage places, stretches and, with AUTOSIZE, resizes the surface
s = New Surface(4, 4, 32);
s.Clear(Surface.RED);
s.SaveImage("red.bmp");
t = New Surface(20, 20, 32);
t.LoadImage("red.bmp", 10, 10);
Print(AsText(t.GetPixel(9, 9)), AsText(t.GetPixel(10, 10)), AsText(t.GetPixel(13, 13)), AsText(t.GetPixel(14, 14)));
t.LoadImage("red.bmp", 0, 0, 8, 8);
Print(AsText(t.GetPixel(7, 7)), AsText(t.GetPixel(8, 8)));
t.LoadImage("red.bmp", Surface.AUTOSIZE);
Print(t.GetPixelWidth(), t.GetPixelHeight());
// expect output: 16777215 16711680 16711680 16777215
// expect output: 16711680 16777215
// expect output: 4 4
// expect: end

//== LoadImage of an image that is nowhere
t = New Surface(20, 20, 32);
t.LoadImage("nowhere.bmp");
// expect: error 9 line 2

//== LoadImage without an image
t = New Surface(20, 20, 32);
t.LoadImage("");
// expect: error 29 line 2

//== LoadImage with three numbers
t = New Surface(20, 20, 32);
t.LoadImage("red.bmp", 1, 2, 3);
// expect: error 21 line 2

//== DrawPolygon outlines and fills the points of a point array
Function Poly(depth) {
    s = New Surface(30, 30, depth);
    p = New PointArray(2, 5, 5, 25, 5, 15, 25);
    s.SetPenColor(Surface.RED);
    s.DrawPolygon(p);
    a = s.GetPixel(15, 5);
    b = s.GetPixel(15, 12);
    s.SetFillColor(Surface.BLUE);
    s.DrawPolygon(p);
    Print(depth, AsText(a & 0xF8F8F8), AsText(b & 0xF8F8F8), AsText(s.GetPixel(15, 12) & 0xF8F8F8));
}
Poly(8);
Poly(16);
Poly(32);
// expect output: 8 16252928 16316664 248
// expect output: 16 16252928 16316664 248
// expect output: 32 16252928 16316664 248
// expect: end

//== Write and WriteLn move the pen, and WriteLn starts new lines
s = New Surface(300, 200, 32);
s.Write("ab", "cd");
x = s.GetXPos();
s.WriteLn();
y = s.GetYPos();
s.WriteLn("one", "two");
Print(x > 10, s.GetXPos(), y > 0, s.GetYPos() == 3 * y);
// expect output: 1 0 1 1
// expect: end
