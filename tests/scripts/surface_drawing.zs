//== lines, shapes, fills and pixels read back at 8, 16 and 32 bits
// C keeps the bits every depth stores (16 bits keep 5 of red and blue).
Function C(colour) { Return AsText(colour & 0xF8F8F8); }
Function Draw(depth) {
    s = New Surface(40, 30, depth);
    s.SetPenColor(Surface.RED);
    s.Line(0, 0, 39, 0);
    s.SetFillColor(Surface.BLUE);
    s.Rectangle(2, 4, 12, 14);
    s.SetFillColor();
    s.SetPenColor(Surface.GREEN);
    s.Rectangle(20, 4, 30, 14);
    s.SetPixel(35, 25, Surface.BLACK);
    Print(depth, C(s.GetPixel(20, 0)), C(s.GetPixel(7, 9)), C(s.GetPixel(2, 4)), C(s.GetPixel(20, 9)),
          C(s.GetPixel(25, 9)), C(s.GetPixel(35, 25)), s.GetXPos(), s.GetYPos());
}
Draw(8);
Draw(16);
Draw(32);
// expect output: 8 16252928 248 16252928 63488 16316664 0 30 14
// expect output: 16 16252928 248 16252928 63488 16316664 0 30 14
// expect output: 32 16252928 248 16252928 63488 16316664 0 30 14
// expect: end

//== an ellipse filled inside its box, its corners left alone
s = New Surface(21, 21, 32);
s.SetFillColor(Surface.BLUE);
s.SetPenColor(Surface.BLUE);
s.Ellipse(0, 0, 20, 20);
Print(AsText(s.GetPixel(10, 10)), AsText(s.GetPixel(0, 0)), AsText(s.GetPixel(20, 20)));
// expect output: 255 16777215 16777215
// expect: end

//== Fill floods the area of the seed's colour and stops at other colours
// Colours are compared within the steps of the 8-bit palette: GDI's nearest match for the
// black pen there is a near-black entry.
Function C(colour) { Return AsText(colour & 0xF0F0F0); }
Function Flood(depth) {
    s = New Surface(30, 30, depth);
    s.Rectangle(5, 5, 20, 20);
    s.SetFillColor(Surface.RED);
    s.Fill(10, 10);
    Print(depth, C(s.GetPixel(10, 10)), C(s.GetPixel(25, 25)), C(s.GetPixel(5, 10)));
}
Flood(8);
Flood(16);
Flood(32);
// expect output: 8 15728640 15790320 0
// expect output: 16 15728640 15790320 0
// expect output: 32 15728640 15790320 0
// expect: end

//== a gradient fill runs from its first colour to its second, across or down
// The painted box leaves its right column and bottom row, as a plain rectangle does.
s = New Surface(257, 5, 32);
s.SetFillGradientColor(Surface.BLACK, Surface.RED);
s.SetPenSize(0);
s.Rectangle(0, 0, 256, 4);
Print(AsText(s.GetPixel(0, 1)), AsText(s.GetPixel(128, 1)), AsText(s.GetPixel(254, 1)), AsText(s.GetPixel(255, 1)));
s.SetFillGradientDir(1);
s.Rectangle(0, 0, 256, 4);
Print(AsText(s.GetPixel(0, 0)), AsText(s.GetPixel(254, 0)), AsText(s.GetPixel(0, 2)) != AsText(s.GetPixel(0, 0)));
// expect output: 524288 8388608 16646144 16777215
// expect output: 2097152 2097152 1
// expect: end

//== EraseRect clips a negative corner
s = New Surface(30, 30, 32);
s.Clear(Surface.BLACK);
s.SetBackgroundColor(Surface.WHITE);
s.EraseRect(-10, -10, 20, 20);
Print(AsText(s.GetPixel(0, 0)), AsText(s.GetPixel(9, 9)), AsText(s.GetPixel(10, 10)), AsText(s.GetPixel(10, 0)));
// expect output: 16777215 16777215 0 0
// expect: end

//== Copy and Stretch with transparency and draw modes at 8, 16 and 32 bits
Function C(colour) { Return AsText(colour & 0xF8F8F8); }
Function Copies(depth) {
    src = New Surface(4, 4, depth);
    src.Clear(Surface.BLACK);
    src.SetPixel(1, 1, Surface.RED);
    d = New Surface(20, 20, depth);
    d.Clear(Surface.BLUE);
    d.Copy(src, 0, 0);
    d.SetTransparentMode(1);
    d.Copy(src, 10, 10);
    d.Stretch(src, 0, 10, 8, 8);
    d.SetTransparentMode(0);
    d.Copy(src, 16, 0, 2, 2, 1, 1);
    Print(depth, C(d.GetPixel(0, 0)), C(d.GetPixel(1, 1)), C(d.GetPixel(10, 10)), C(d.GetPixel(11, 11)),
          C(d.GetPixel(0, 10)), C(d.GetPixel(3, 13)), C(d.GetPixel(16, 0)), C(d.GetPixel(17, 1)));
}
Copies(8);
Copies(16);
Copies(32);
// expect output: 8 0 16252928 248 16252928 248 16252928 16252928 0
// expect output: 16 0 16252928 248 16252928 248 16252928 16252928 0
// expect output: 32 0 16252928 248 16252928 248 16252928 16252928 0
// expect: end

//== a copy blended half and half
d = New Surface(4, 4, 32);
d.Clear(Surface.BLACK);
w = New Surface(4, 4, 32);
w.Clear(0xFE0000);
d.SetDrawMode(Surface.BLENDING, 128);
d.Copy(w);
p = d.GetPixel(0, 0);
Print(p >= 0x7E0000, p <= 0x800000);
// expect output: 1 1
// expect: end

//== Scroll moves a rectangle inside the surface
s = New Surface(20, 20, 32);
s.SetPixel(2, 2, Surface.RED);
s.Scroll(0, 0, 10, 10, 5, 6);
Print(AsText(s.GetPixel(7, 8)), AsText(s.GetPixel(2, 2)));
s.Scroll(0, 0, 20, 20, -30, 0);
Print(AsText(s.GetPixel(7, 8)));
// expect output: 16711680 16711680
// expect output: 16711680
// expect: end

//== ReverseX and ReverseY mirror the surface or a rectangle
Function C(colour) { Return AsText(colour & 0xF8F8F8); }
Function Mirror(depth) {
    s = New Surface(10, 6, depth);
    s.SetPixel(0, 0, Surface.RED);
    s.ReverseX();
    a = s.GetPixel(9, 0);
    s.ReverseY();
    b = s.GetPixel(9, 5);
    s.ReverseX(5, 0, 10, 6);
    Print(depth, C(a), C(b), C(s.GetPixel(5, 5)));
}
Mirror(8);
Mirror(16);
Mirror(32);
// expect output: 8 16252928 16252928 16252928
// expect output: 16 16252928 16252928 16252928
// expect output: 32 16252928 16252928 16252928
// expect: end

//== ReplaceColor changes every pixel of one colour
Function C(colour) { Return AsText(colour & 0xF8F8F8); }
Function Replace(depth) {
    s = New Surface(10, 10, depth);
    s.SetPixel(3, 3, Surface.RED);
    s.ReplaceColor(Surface.WHITE, Surface.BLUE);
    Print(depth, C(s.GetPixel(0, 0)), C(s.GetPixel(3, 3)));
}
Replace(8);
Replace(16);
Replace(32);
// expect output: 8 248 16252928
// expect output: 16 248 16252928
// expect output: 32 248 16252928
// expect: end

//== Rotate turns the picture about its centre
s = New Surface(21, 21, 32);
s.SetPixel(20, 10, Surface.RED);
s.Rotate(3.14159265);
Print(AsText(s.GetPixel(0, 10)), AsText(s.GetPixel(20, 10)));
// expect output: 16711680 16777215
// expect: end

//== DrawText writes in the pen colour and moves the pen to the text's corner
s = New Surface(200, 40, 32);
s.SetPenColor(Surface.BLACK);
s.DrawText("Hello", 2, 2);
x = s.GetXPos();
y = s.GetYPos();
found = 0;
for (i = 2; i < x; i++) { for (j = 2; j < y; j++) { if (s.GetPixel(i, j) == 0) found = 1; } }
Print(x > 20, y > 10, found, s.GetStringWidth("Hello") > 20, s.GetStringHeight("Hello") > 10);
// expect output: 1 1 1 1 1
// expect: end

//== an 8-bit surface tells palette indexes
s = New Surface(4, 4, 8);
s.SetPixel(0, 0, Surface.BLACK);
Print(s.GetPixelIndex(0, 0), s.GetPixelIndex(1, 1) != 0);
// expect output: 0 1
// expect: end
