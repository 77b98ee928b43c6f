// A movie in a window with its controller (the play button, the slider, Space and the
// arrow keys), three effects on keys 1 to 3, and R to record a movie of its own.
w = New Window("Movie", 340, 300);
q = New QTime(10, 10, 320, 256);
status = New StaticText("", 10, 272, 320, 18);

Function Title(text) {
    status.SetText(text + " - 1 blur, 2 sepia, 3 film noise, R record");
}

// Effects apply to a movie without its controller: it goes for the while.
Function AddEffect(kind) {
    q.DetachMovieController();
    If (kind == 1) q.BlurEffect(QTime.CODEC_NORMALQUALITY, 1, 9.0);
    If (kind == 2) q.ColorTintEffect(QTime.CODEC_NORMALQUALITY, 0xFFE0B0, 0, 0x402000, 10);
    If (kind == 3) q.FilmNoiseEffect(QTime.CODEC_NORMALQUALITY, 1, 0, 30, 10, 20, 30, 5, 2);
    q.AttachMovieController();
    q.Resume();
}

// Ten frames of a ball crossing a Surface, exported to AVI and played.
Function Record() {
    frame = New Surface(160, 120, 32);
    recorder = New QTime(New Surface(160, 120, 32));
    recorder.CreateEmptyMovie();
    recorder.DetachMovieController();
    For (i = 0; i < 10; i++) {
        frame.Clear(0x102040);
        frame.SetFillColor(0xF04040);
        frame.Ellipse(i * 14, 40, i * 14 + 30, 70);
        recorder.AppendVideoFrame(frame, 100);
    }
    recorder.EndVideoEdit();
    path = Disk.CreateTemporaryFile("avi");
    recorder.ExportMovieToAVI(path);
    q.OpenFile(path);
    q.SetLooping(1);
    q.Play();
    Title("recorded");
}

Function Key(o, code, flags, text) {
    If (text == "1" || text == "2" || text == "3") AddEffect(code - 48);
    If (code == 82) Record();
}
w.OnKeyDown = Key;
q.OnKeyDown = Key;

path = q.GetFileNamePreview();
If (path == "") {
    // The clip the project carries, written out to a file the movie can open.
    clip = New Binary();
    clip.LoadData("clip");
    path = Disk.CreateTemporaryFile("mov");
    clip.SaveData(path);
}
q.OpenFile(path);
q.SetLooping(1);
q.Play();
Title("playing");
While (1) Program.Wait(50);
