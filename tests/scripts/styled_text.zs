//== tags change the text's font, and end where they close or with the call
// expect: end
// expect output: 1 1 1
// expect output: 1 1 1
// expect output: 1 1
Function Width(text) { s = New Surface(400, 100, 32); s.Write(text); return s.GetXPos(); }
plain = Width("mmmm");
Print(Width("<B>mmmm</B>") > plain, Width("a<B></B>mmmm") == Width("ammmm"), Width("<STRONG>mmmm") == Width("<B>mmmm"));
Print(Width("<TT>iiii</TT>") == Width("<TT>mmmm</TT>"), Width("<SMALL>mmmm</SMALL>") < plain, Width("<BIG>mmmm</BIG>") > plain);
s = New Surface(400, 100, 32);
s.Write("<B><FONT SIZE=+20>");
s.Write("mmmm");
Print(s.GetXPos() == plain, Width("<FONT SIZE=+6>mm</FONT>mm") > plain);

//== unknown tags are skipped, malformed ones and entities are text
// expect: end
// expect output: 1 1 1 1
Function Width(text) { s = New Surface(400, 100, 32); s.Write(text); return s.GetXPos(); }
Print(Width("a<P>b</BLINK>") == Width("ab"), Width("x < y") == Width("x &lt; y"), Width("&lt;B&gt;x") == Width("<") + Width("B>x"), Width("<B x>") == Width("&lt;B x&gt;"));

//== a colour holds until its tag closes; the pen colour is untouched
// expect: end
// expect output: 1 1 0
Function CountColour(s, colour) {
    n = 0;
    For (y = 0; y < s.GetPixelHeight(); y++) {
        For (x = 0; x < s.GetPixelWidth(); x++) {
            If (s.GetPixel(x, y) == colour) { n++; }
        }
    }
    return n;
}
s = New Surface(60, 24, 32);
s.SetPenColor(0x0000FF);
s.Write("<FONT COLOR=#FF0000>HH</FONT>HH");
red = CountColour(s, 0xFF0000);
blue = CountColour(s, 0x0000FF);
s.Write("<FONT COLOR=#00FF00 SIZE=+2 FACE=Times>");
s.Write("H");
Print(red > 10, blue > 10, CountColour(s, 0x00FF00));

//== text wraps at the right edge, and only when wrapping is on
// expect: end
// expect output: 1 1 1
// expect output: 0 60
s = New Surface(60, 100, 32);
s.Write("hello world");
Print(s.IsWrapping(), s.GetYPos() > 0, s.GetXPos() < 60);
t = New Surface(60, 100, 32);
t.SetWrapping(0);
t.Write("hello world");
Print(t.GetYPos(), t.GetXPos());

//== a surface narrower than a glyph takes one character a line
// expect: end
// expect output: 1 0
line = New Surface(100, 100, 32);
line.WriteLn();
s = New Surface(2, 400, 32);
s.Write("WWW");
Print(s.GetYPos() == 3 * line.GetYPos(), s.GetXPos());

//== repeated WriteLn scrolls the surface like a console
// expect: end
// expect output: 1 1 0 1
Function CountColour(s, colour) {
    n = 0;
    For (y = 0; y < s.GetPixelHeight(); y++) {
        For (x = 0; x < s.GetPixelWidth(); x++) {
            If (s.GetPixel(x, y) == colour) { n++; }
        }
    }
    return n;
}
s = New Surface(40, 50, 32);
s.WriteLn("<FONT COLOR=#FF0000>HH</FONT>");
first = CountColour(s, 0xFF0000);
For (i = 0; i < 10; i++) { s.WriteLn("HH"); }
Print(first > 10, s.GetYPos() == 50, CountColour(s, 0xFF0000), CountColour(s, 0) > 10);
