//== a video in a Texture: its frames reach the texture's own pixels
// expect: end
// expect output: 2
// expect output: 240 1
UseRenderers();
UiAdvance(0);
q = New QTime(New Surface(16, 16, 24));
q.CreateEmptyMovie();
q.DetachMovieController();
src = New Surface(16, 16, 24);
src.Clear(0xF00000);
q.AppendVideoFrame(src, 100);
q.AppendVideoFrame(src, 100);
q.EndVideoEdit();
q.ExportMovieToAVI("red.avi");
q.Close();
// The World's textures take the depth of its view, 24 bits as the movie's frames.
w = New World(New Surface(32, 24, 24));
t = New Texture(w, 16, 16);
v = New Video(t, "red.avi", 0xABCD0000);
Print(v.GetNFrames());
Program.Wait(0);
UiRefreshNow();
copy = New Surface(t);
Print(copy.GetPixel(5, 5) >> 16, t.GetSurface() == copy);

//== a Texture of another size or depth than the video's is refused
// expect: error 14 line 14
UseRenderers();
UiAdvance(0);
q = New QTime(New Surface(16, 16, 24));
q.CreateEmptyMovie();
q.DetachMovieController();
src = New Surface(16, 16, 24);
q.AppendVideoFrame(src, 100);
q.EndVideoEdit();
q.ExportMovieToAVI("small.avi");
q.Close();
w = New World(New Surface(32, 24, 24));
t = New Texture(w, 8, 8);
v = New Video(t, "small.avi", 0xABCD0000);
