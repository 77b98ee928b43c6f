//== a movie in a Texture: each frame reaches the texture's own pixels
// expect: end
// expect output: 1 1
// expect output: 10 110
// expect output: 160 1
UseRenderers();
UiAdvance(0);
view = New Surface(32, 24);
w = New World(view);
t = New Texture(w, 16, 12);
q = New QTime(t);
q.CreateEmptyMovie();
q.DetachMovieController();
src = New Surface(16, 12, 32);
For (i = 0; i < 4; i++) {
    src.Clear((i * 50 + 10) << 16);
    q.AppendVideoFrame(src, 100);
}
q.EndVideoEdit();
q.AttachMovieController();
Print(q.HasVideoTrack(), q.GetMovieNativeWidth() == 16);
// A copy of the Texture is made from its image, not from the Surface it is drawn on.
Program.Wait(0);
UiRefreshNow();
first = New Surface(t);
a = first.GetPixel(5, 5) >> 16;
// Copying rebinds the Texture to the copy, which the movie then draws into.
q.GotoTime(250);
Program.Wait(0);
UiRefreshNow();
third = New Surface(t);
Print(a, third.GetPixel(5, 5) >> 16);
q.GotoTime(350);
Program.Wait(0);
UiRefreshNow();
last = New Surface(t);
Print(last.GetPixel(1, 1) >> 16, t.GetSurface() == last);

//== a Texture made from an image file gets a Surface for the movie
// expect: end
// expect output: 60
UseRenderers();
UiAdvance(0);
img = New Surface(8, 8, 32);
img.Clear(0x0000FF);
img.SaveImage("wood.bmp");
view = New Surface(32, 24);
w = New World(view);
t = New Texture(w, "wood.bmp");
q = New QTime(t);
q.CreateEmptyMovie();
q.DetachMovieController();
src = New Surface(8, 8, 32);
src.Clear(60 << 16);
q.AppendVideoFrame(src, 100);
q.EndVideoEdit();
q.AttachMovieController();
Program.Wait(0);
UiRefreshNow();
copy = New Surface(t);
Print(copy.GetPixel(2, 2) >> 16);

//== a Texture and a Surface together, or two Textures, raise 14
// expect: error 14 line 6
UseRenderers();
view = New Surface(32, 24);
w = New World(view);
t = New Texture(w, 8, 8);
q = New QTime(t, view);
