//== a new Surface is 640 x 480 at the screen's depth and white
s = New Surface();
t = New Surface(1, 1, 0);
Print(s.GetPixelWidth(), s.GetPixelHeight(), s.GetDepth(), t.GetDepth());
Print(AsText(s.GetPixel(0, 0)), AsText(s.GetPixel(639, 479)), AsText(s.GetBackgroundColor()));
// expect output: 640 480 32 32
// expect output: 16777215 16777215 16777215
// expect: end

//== size and depth from the arguments, flags mixed in
for (d = 0; d < 5; d++) {
    depths[0] = 8; depths[1] = 15; depths[2] = 16; depths[3] = 24; depths[4] = 32;
    s = New Surface(Surface.AUTOSIZE, 30, 20, depths[d]);
    Print(s.GetPixelWidth(), s.GetPixelHeight(), s.GetDepth());
}
// expect output: 30 20 8
// expect output: 30 20 15
// expect output: 30 20 16
// expect output: 30 20 24
// expect output: 30 20 32
// expect: end

//== a depth the library has no format for
s = New Surface(100, 50, 12);
// expect: error 23 line 1

//== a fourth size argument
s = New Surface(100, 50, 32, 4);
// expect: error 13 line 1

//== a surface too large to make
s = New Surface(70000, 70000, 32);
// expect: error 15 line 1

//== an empty image name
s = New Surface("");
// expect: error 29 line 1

//== an image that is nowhere
s = New Surface("no such picture.bmp");
// expect: error 9 line 1

//== SetDrawMode keeps a blending level halved, and refuses modes above 9
s = New Surface(10, 10, 32);
s.SetDrawMode(Surface.BLENDING, 255);
s.SetDrawMode(10);
// expect: error 24 line 3

//== pen position, wrapping, auto flags and colours read back
s = New Surface(50, 40, 32);
s.MoveTo(7, 9);
Print(s.GetXPos(), s.GetYPos());
s.MoveTo(, 3);
Print(s.GetXPos(), s.GetYPos());
s.LineTo(20, 30);
Print(s.GetXPos(), s.GetYPos(), s.IsWrapping(), s.IsAutoBack(), s.IsAutoRefresh());
s.SetWrapping(0);
s.SetAutoBack(0);
s.SetAutoRefresh(0);
s.SetBackgroundColor(0x123456);
Print(s.IsWrapping(), s.IsAutoBack(), s.IsAutoRefresh(), AsText(s.GetBackgroundColor()));
// expect output: 7 9
// expect output: 7 3
// expect output: 20 30 1 1 1
// expect output: 0 0 0 1193046
// expect: end

//== GetPixelIndex needs an 8-bit surface
s = New Surface(10, 10, 32);
i = s.GetPixelIndex(0, 0);
// expect: error 28 line 2

//== Refresh and Lock are refused while the surface refreshes itself
s = New Surface(10, 10, 32);
s.Lock();
// expect: error 37 line 2

//== Refresh while the surface refreshes itself
s = New Surface(10, 10, 32);
s.Refresh();
// expect: error 37 line 2

//== Lock and Unlock with automatic refresh off
s = New Surface(10, 10, 32);
s.SetAutoRefresh(0);
s.Lock(2, 2, 4, 4);
s.Line(0, 0, 9, 0);
s.Unlock();
s.Refresh();
Print(AsText(s.GetPixel(5, 0)));
// expect output: 0
// expect: end

//== manual sprite methods while the background is kept automatically
s = New Surface(10, 10, 32);
s.UpdateSprites();
// expect: error 36 line 2

//== Copy from something that is no Surface
s = New Surface(10, 10, 32);
s.Copy(5);
// expect: error 14 line 2

//== Copy with an argument count it does not take
s = New Surface(10, 10, 32);
s.Copy(New Surface(4, 4, 32), 1, 2, 3);
// expect: error 21 line 2

//== GetStringWidth of something that is no text
s = New Surface(10, 10, 32);
w = s.GetStringWidth(5);
// expect: error 14 line 2

//== SaveImage without a name
s = New Surface(10, 10, 32);
s.SaveImage();
// expect: error 29 line 2

//== DrawPolygon without a point array
s = New Surface(10, 10, 32);
s.DrawPolygon(5);
// expect: error 57 line 2

//== Clear resets the state and fills with the colours given
s = New Surface(20, 20, 32);
s.MoveTo(5, 5);
s.SetPenSize(4);
s.SetAutoBack(0);
s.Clear(Surface.BLUE, Surface.RED);
Print(AsText(s.GetPixel(3, 3)), s.GetXPos(), s.IsAutoBack(), AsText(s.GetBackgroundColor()));
s.Line(0, 10, 19, 10);
Print(AsText(s.GetPixel(10, 10)));
// expect output: 255 0 1 255
// expect output: 16711680
// expect: end
