//== a Video in a Window plays by the clock, zooms, seeks and stops at its end
// expect: end
// expect output: 10 10 2 2 2 2000 1
// expect output: 16711680 16711680
// expect output: 1000 20 20 1 65280
// expect output: 1 2 0
// expect output: 1 1 65280
// A movie of two frames of 2 x 2 pixels at one frame a second, written as an uncompressed
// AVI file: the first frame red, the second green.
b = New Binary();
b.AllocateData(272);
// The chunk names first, then the sizes of the chunks and lists.
b.SetString(0, "RIFF");
b.SetString(8, "AVI LIST");
b.SetString(20, "hdrlavih");
b.SetString(88, "LIST");
b.SetString(96, "strlstrh");
b.SetString(108, "vids");
b.SetString(164, "strf");
b.SetString(212, "LIST");
b.SetString(220, "movi00db");
b.SetString(248, "00db");
b.SetLong(4, 264);
b.SetLong(16, 192);
b.SetLong(28, 56);
b.SetLong(92, 116);
b.SetLong(104, 56);
b.SetLong(168, 40);
b.SetLong(216, 52);
b.SetLong(228, 16);
b.SetLong(252, 16);
// The main header, the stream header and the picture format.
b.SetLong(32, 1000000);   // microseconds a frame
b.SetLong(48, 2);         // frames
b.SetLong(56, 1);         // streams
b.SetLong(64, 2);
b.SetLong(68, 2);
b.SetLong(112, 0);        // no codec: uncompressed
b.SetLong(128, 1);        // scale and rate: 1 / 1 frames a second
b.SetLong(132, 1);
b.SetLong(140, 2);
b.SetLong(172, 40);
b.SetLong(176, 2);
b.SetLong(180, 2);
b.SetWord(184, 1);
b.SetWord(186, 24);
b.SetLong(192, 16);
// Rows of two blue, green, red pixels padded to 8 bytes.
For (row = 0; row < 2; row++) {
    For (x = 0; x < 2; x++) {
        b.SetByte(232 + 8 * row + 3 * x + 2, 255);
        b.SetByte(256 + 8 * row + 3 * x + 1, 255);
    }
}
b.SaveData("two.avi");
UiAdvance(0);
w = New Window(200, 150, 0, 0);
v = New Video(w, "two.avi");
Program.Wait(0);
UiRefreshNow();
// The window shown by the refresh pass paints on the next wait.
Program.Wait(0);
Print(v.GetX(), v.GetY(), v.GetWidth(), v.GetHeight(), v.GetNFrames(), v.GetDuration(), v.IsPlaying());
Print(AsText(UiPixel(w, 10, 10)), AsText(UiPixel(w, 11, 11)));
v.SetZoom(1000);
UiAdvance(1100);
Program.Wait(0);
UiRefreshNow();
Print(v.GetZoom(), v.GetWidth(), v.GetHeight(), AsText(UiPixel(w, 10, 10)) == "65280", AsText(UiPixel(w, 29, 29)));
UiAdvance(1000);
Program.Wait(0);
Print(v.IsStopped(), v.GetFrame(), v.IsError());
v.SetFrame(0);
Program.Wait(0);
UiRefreshNow();
Print(v.IsStopped(), v.GetFrame(), AsText(UiPixel(w, 29, 29)));
//== a movie a window cannot play is an error the Video keeps, not one that ends the run
// expect: end
// expect output: 1 0 0 1
w = New Window(200, 150, 0, 0);
v = New Video(w, "missing.avi");
v.Play();
Print(v.IsError(), v.GetNFrames(), v.IsPlaying(), v.IsStopped() == 0);
