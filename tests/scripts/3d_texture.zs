//== a Texture of a World alone is a blank 640 x 480 one with a Surface of its own
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
t = New Texture(w);
p = t.GetSurface();
Print(t.GetName(), p.GetPixelWidth(), p.GetPixelHeight(), w.GetNTextures(), w.GetTexture(0) == t);
u = New Texture(w, 128, "paint");
q = u.GetSurface();
Print(u.GetName(), q.GetPixelWidth(), q.GetPixelHeight());
Print(w.GetTexture("PAINT") == u, w.GetTexture(u), w.GetTexture(5));
// expect output: Texture 0 640 480 1 1
// expect output: paint 128 480
// expect output: 1 0 0
// expect: end

//== a Texture from an image file takes the file's base name and ignores the sizes
UseRenderers();
img = New Surface(8, 8, 32);
img.SetFillColor(Surface.RED);
img.SetPenColor(Surface.RED);
img.Rectangle(0, 0, 8, 8);
img.SaveImage("wood.bmp");
s = New Surface(64, 48);
w = New World(s);
t = New Texture(w, "wood.bmp", 64, 64);
Print(t.GetName(), t.GetFileName(), t.GetSurface());
t.SetName("oak");
t.SetName(5);
Print(t.GetName());
t.Load("wood.bmp");
Print(t.GetFileName());
t.Load("missing.bmp");
// expect output: wood wood.bmp 0
// expect output: oak
// expect output: wood.bmp
// expect: error 44 line 16

//== tiling and offset keep the half not given
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
t = New Texture(w, 16, 16);
t.SetTiling(2);
t.SetOffset(, 0.25);
Print(t.GetTilingX(), t.GetTilingY(), t.GetOffsetX(), t.GetOffsetY());
// expect output: 2 1 0 0.25
// expect: end

//== a Texture needs a World
UseRenderers();
s = New Surface(64, 48);
t = New Texture(s);
// expect: error 50 line 3

//== a Texture of an image that cannot be read
UseRenderers();
w = New World(New Surface(64, 48));
t = New Texture(w, "missing.bmp");
// expect: error 58 line 3

//== a Texture of a file that is no image it can read
UseRenderers();
w = New World(New Surface(64, 48));
f = New File("bad.png");
f.Write("not an image");
f.Close();
t = New Texture(w, "bad.png");
// expect: error 58 line 6

//== a blank Texture's sides lie between 1 and 16384
UseRenderers();
w = New World(New Surface(64, 48));
t = New Texture(w, 16384, 1);
Print(t.GetName());
t = New Texture(w, 20000, 10);
// expect output: Texture 0
// expect: error 14 line 5

//== a blank Texture of no width
UseRenderers();
w = New World(New Surface(64, 48));
t = New Texture(w, 0, 10);
// expect: error 14 line 3

//== a Texture of an object that is neither World nor Surface
UseRenderers();
w = New World(New Surface(64, 48));
t = New Texture(w, New Vector());
// expect: error 14 line 3

//== a Texture of an empty image name
UseRenderers();
w = New World(New Surface(64, 48));
t = New Texture(w, "");
// expect: error 29 line 3

//== Load needs a source
UseRenderers();
w = New World(New Surface(64, 48));
t = New Texture(w, 16, 16);
t.Load();
// expect: error 14 line 4

//== a Surface made from a Texture holds its picture and feeds it from then on
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
t = New Texture(w, 16, 16);
p = t.GetSurface();
p.SetFillColor(Surface.RED);
p.SetPenColor(Surface.RED);
p.Rectangle(0, 0, 16, 16);
UiRefreshNow();
copy = New Surface(t);
Print(copy.GetPixelWidth(), copy.GetPixelHeight(), AsText(copy.GetPixel(3, 3)) == AsText(p.GetPixel(3, 3)));
Print(t.GetSurface() == copy);
Delete copy;
Print(t.GetSurface());
// expect output: 16 16 1
// expect output: 1
// expect output: 0
// expect: end

//== a Surface drawn on reaches the objects showing its texture at the next refresh
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
c = New Camera(w, s);
b = w.CreateBrick(200, 200, 200);
b.SetPosition(0, 0, 600);
face = New Surface(16, 16, 32);
t = New Texture(w, face);
b.ReplaceMaterial(New Material(w, t));
face.SetFillColor(Surface.RED);
face.SetPenColor(Surface.RED);
face.Rectangle(0, 0, 16, 16);
UiRefreshNow();
UiRefreshNow();
red = s.GetPixel(40, 30);
face.SetFillColor(Surface.BLUE);
face.SetPenColor(Surface.BLUE);
face.Rectangle(0, 0, 16, 16);
UiRefreshNow();
UiRefreshNow();
blue = s.GetPixel(40, 30);
Print(AsText(red), AsText(blue));
// expect output: 16711680 255
// expect: end

//== deleting the Texture of a sprite's picture over a view leaves the picture to the sprite
UseRenderers();
s = New Surface(80, 60);
w = New World(s);
c = New Camera(w, s);
img = New Surface(8, 8);
sp = New Sprite(s, 10, 10, img);
UiRefreshNow();
n = w.GetNTextures();
t = w.GetTexture(0);
Delete t;
UiRefreshNow();
img.SetFillColor(Surface.RED);
img.Rectangle(0, 0, 8, 8);
UiRefreshNow();
Print(n, w.GetNTextures());
// expect output: 1 1
// expect: end
