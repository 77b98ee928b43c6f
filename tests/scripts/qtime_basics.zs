//== before any movie a QTime answers zeros, and panoramas are not there
// expect: end
// expect output: 0 0 0 0 0 0
// expect output: 1 0
w = New Window();
q = New QTime();
Print(q.GetTime(), q.IsVRMovie(), q.IsControllerAttached(), q.GetDuration(), q.HasVideoTrack(), q.GetMovieNativeWidth());
Print(Program.IsQuickTimeInstalled(), Program.IsQuickTimeVRInstalled());

//== panorama methods raise 110
// expect: error 110 line 4
w = New Window();
q = New QTime();
q.VRGetNVisibleHotSpots();

//== an object other than a Surface at creation raises 14
// expect: error 14 line 3
b = New Binary();
q = New QTime(b);

//== looping takes only 0 and 1
// expect: error 115 line 5
s = New Surface(8, 6, 32);
q = New QTime(s);
q.SetLooping(1);
q.SetLooping(2);

//== files that are missing or no movies leave no movie and say why
// expect: end
// expect output: -43 0
// expect output: -2048 0
b = New Binary();
b.AllocateData(64);
b.SetString(0, "this is no movie at all");
b.SaveData("text.mov");
s = New Surface(8, 6, 32);
q = New QTime(s);
q.OpenFile("none.mov");
Print(q.GetMoviesError(), q.IsControllerAttached());
q.ImportMovie("text.mov");
Print(q.GetMoviesError(), q.IsControllerAttached());

//== a movie built from a Surface plays into another, paused, resumed and reversed
// expect: end
// expect output: 1 0
// expect output: 500 8 6 1 0 0
// expect output: 2
// expect output: 0 1 1 1 2 1 2
// expect output: 500 4
// expect output: 100 300 200
// expect output: 1 128
UiAdvance(0);
Function Poll(ms) {
    UiAdvance(ms);
    Program.Wait(0);
    UiRefreshNow();
}
Function Shown() {
    UiRefreshNow();
    zzRed = s.GetPixel(3, 2) >> 16;
    For (zzK = 0; zzK < 5; zzK++) {
        If (zzRed == zzK * 50 + 10) Return zzK;
    }
    Return -1;
}
src = New Surface(8, 6, 32);
s = New Surface(8, 6, 32);
q = New QTime(s);
q.CreateEmptyMovie();
Print(q.IsControllerAttached(), q.GetDuration());
q.DetachMovieController();
For (i = 0; i < 5; i++) {
    src.Clear((i * 50 + 10) << 16);
    q.AppendVideoFrame(src, 100);
}
q.EndVideoEdit();
q.AttachMovieController();
Print(q.GetDuration(), q.GetMovieNativeWidth(), q.GetMovieNativeHeight(), q.HasVideoTrack(), q.HasSoundTrack(), q.GetMoviesError());
q.GotoTime(250);
Print(Shown());
q.Play();
Poll(0);
a = Shown();
Poll(150);
b = Shown();
q.Pause();
Poll(500);
c = Shown();
q.Resume();
Poll(20);
d = Shown();
Poll(50);
e = Shown();
q.PlayReverse();
Poll(100);
f = Shown();
q.PlayReverse();
Poll(100);
Print(a, b, c, d, e, f, Shown());
q.Stop();
q.GotoEnd();
Print(q.GetTime(), Shown());
q.GotoBegin();
q.StepFrame();
t1 = q.GetTime();
q.StepFrame(2);
t2 = q.GetTime();
q.StepFrame(-1);
Print(t1, t2, q.GetTime());
q.SetLooping(1);
q.SetVolume(128);
Print(q.IsLooping(), q.GetVolume());

//== the selection is cut, pasted, copied, cleared and undone
// expect: end
// expect output: 300 0 3 4
// expect output: 500 1 2 0 3 4
// expect output: 300 0 3 4
// expect output: 0 300 200 3 4
// expect output: 300 200 0
Function Frames() {
    zzText = AsText(q.GetDuration());
    For (zzI = 0; zzI * 100 < q.GetDuration(); zzI++) {
        q.GotoTime(zzI * 100);
        UiRefreshNow();
        zzRed = s.GetPixel(3, 2) >> 16;
        zzShown = -1;
        For (zzK = 0; zzK < 5; zzK++) {
            If (zzRed == zzK * 50 + 10) zzShown = zzK;
        }
        zzText = zzText + " " + AsText(zzShown);
    }
    Return zzText;
}
src = New Surface(8, 6, 32);
s = New Surface(8, 6, 32);
q = New QTime(s);
q.CreateEmptyMovie();
q.DetachMovieController();
For (i = 0; i < 5; i++) {
    src.Clear((i * 50 + 10) << 16);
    q.AppendVideoFrame(src, 100);
}
q.EndVideoEdit();
q.AttachMovieController();
q.SetSelection(100, 200);
q.Cut();
Print(Frames());
q.GotoBegin();
q.Paste();
Print(Frames());
q.Undo();
Print(Frames());
q.SelectAll();
q.Copy();
q.ClearSelection();
a = q.GetDuration();
q.Undo();
b = q.GetDuration();
q.DeleteMovieSegment(0, 100);
q.InsertMovieSegment(q);
Print(a, b, Frames());
q2 = New QTime(New Surface(8, 6, 32));
q2.CreateEmptyMovie();
q2.Paste();
a = q2.GetDuration();
q2.InsertMovieSegment(q, 100, 100, 0);
q2.Close();
Print(a + q2.GetDuration(), q.GetDuration(), q2.GetDuration());

//== a built movie saved and exported reads back with its frames and duration
// expect: end
// expect output: 0 500 0 1 2 3 4
// expect output: 0 500 0 1 2 3 4
// expect output: 0 5 500
// expect output: 0 0 -50
Function Frames() {
    zzText = AsText(q.GetMoviesError()) + " " + AsText(q.GetDuration());
    For (zzI = 0; zzI * 100 < q.GetDuration(); zzI++) {
        q.GotoTime(zzI * 100 + 50);
        UiRefreshNow();
        zzRed = s.GetPixel(3, 2) >> 16;
        zzShown = -1;
        For (zzK = 0; zzK < 5; zzK++) {
            If (zzRed > zzK * 50 && zzRed < zzK * 50 + 20) zzShown = zzK;
        }
        zzText = zzText + " " + AsText(zzShown);
    }
    Return zzText;
}
src = New Surface(8, 6, 32);
s = New Surface(8, 6, 32);
q = New QTime(s);
q.CreateEmptyMovie();
q.DetachMovieController();
For (i = 0; i < 5; i++) {
    src.Clear((i * 50 + 10) << 16);
    q.AppendVideoFrame(src, 100, QTime.CODEC_CINEPAK, QTime.CODEC_HIGHQUALITY);
}
q.EndVideoEdit();
q.SaveAsFile("built.mov");
q.ExportMovieToAVI("built.avi");
q.AttachMovieController();
Print(Frames());
q.OpenFile("built.mov");
Print(Frames());
v = New Video(New Surface(8, 6, 24), "built.avi", 0xABCD0000);
e = q.GetMoviesError();
q.Close();
q.CreateEmptyMovie();
q.SaveAsFile("empty.mov");
Print(e, v.GetNFrames(), v.GetDuration());
Print(q.GetTime(), q.GetDuration(), q.GetMoviesError());

//== effects filter a movie without a controller and do nothing with one
// expect: error 14 line 25
// expect output: 1 1 16711744 1
src = New Surface(8, 6, 32);
s = New Surface(8, 6, 32);
q = New QTime(s);
q.CreateEmptyMovie();
q.DetachMovieController();
src.Clear(0x806040);
q.AppendVideoFrame(src, 100);
q.EndVideoEdit();
q.AttachMovieController();
a = q.RGBBalanceEffect(QTime.CODEC_NORMALQUALITY, 2, 0, 1);
UiRefreshNow();
b = s.GetPixel(3, 2);
q.DetachMovieController();
c = q.RGBBalanceEffect(QTime.CODEC_NORMALQUALITY, 2, 0);
q.GotoTime(10);
UiRefreshNow();
d = s.GetPixel(3, 2);
q.ColorTintEffect(0x200);
q.FireEffect(0x200, 20, 0, 50, 30);
e = q.BlurEffect(0x200, 0, 9.0);
Print(b == 0x806040, c, d, e);
q.SaveAsFile("effect.mov");
q.BlurEffect(0x200, 3);

//== an 8-bit Surface gets the closest colours of its palette
// expect: end
// expect output: 1 1
src = New Surface(8, 6, 32);
s = New Surface(8, 6, 8);
q = New QTime(s);
q.CreateEmptyMovie();
q.DetachMovieController();
src.Clear(0xFF0000);
q.AppendVideoFrame(src, 100);
src.Clear(0x0000FF);
q.AppendVideoFrame(src, 100);
q.EndVideoEdit();
q.AttachMovieController();
q.GotoTime(50);
UiRefreshNow();
a = s.GetPixel(3, 2) == 0xFF0000;
q.GotoTime(150);
UiRefreshNow();
Print(a, s.GetPixel(3, 2) == 0x0000FF);

//== the effect dialog answers cancel where no one can see it, and nothing is applied from it
// expect: error 14 line 11
// expect output: 0
src = New Surface(8, 6, 32);
s = New Surface(8, 6, 32);
q = New QTime(s);
q.CreateEmptyMovie();
q.DetachMovieController();
q.AppendVideoFrame(src, 100);
q.EndVideoEdit();
Print(q.ChooseEffectDialog());
q.EffectFromDialog();
