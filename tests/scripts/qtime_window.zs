//== a QTime window plays from its controller's button, Space toggles, the bar hides
// expect: end
// expect output: 0 12632256
// expect output: 2 2 3
// expect output: 0 1 0
Function Red() {
    UiDispatch();
    zzRed = UiPixel(w, 170, 100) >> 16;
    For (zzK = 0; zzK < 5; zzK++) {
        If (zzRed == zzK * 50 + 10) Return zzK;
    }
    Return -1;
}
UiAdvance(0);
w = New Window(400, 300);
src = New Surface(8, 6, 32);
q = New QTime();
q.CreateEmptyMovie();
q.DetachMovieController();
For (i = 0; i < 5; i++) {
    src.Clear((i * 50 + 10) << 16);
    q.AppendVideoFrame(src, 100);
}
q.EndVideoEdit();
q.AttachMovieController();
UiRefreshNow();
Print(Red(), UiPixel(w, 110, 209));
UiClick(w, 15, 202);
UiDispatch();
UiAdvance(250);
a = Red();
UiKey(0x20);
UiDispatch();
UiAdvance(300);
b = Red();
UiKey(0x20);
UiDispatch();
UiAdvance(100);
Print(a, b, Red());
q.Pause();
q.HidePlayBar();
UiDispatch();
c = UiPixel(w, 110, 209) == 12632256;
q.ShowPlayBar();
UiDispatch();
Print(c, UiPixel(w, 110, 209) == 12632256, q.IsVRMovie());
