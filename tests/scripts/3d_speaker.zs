//== a Speaker needs a Camera or a World to be heard by
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
p = New Speaker("bell.wav", s);
// expect: error 75 line 4

//== a World without a Camera has no ear for a Speaker
UseRenderers();
w = New World(New Surface(64, 48));
p = New Speaker("bell.wav", w, 1, 2, 3);
// expect: error 80 line 3

//== a Camera no Window shows has no listener
UseRenderers();
s = New Surface(64, 48);
w = New World(s);
c = New Camera(w, s);
p = New Speaker("bell.wav", w);
// expect: error 77 line 5

//== the sound must be a name or an index of the project
UseRenderers();
win = New Window(120, 90, 0, 0);
w = New World(win);
c = New Camera(w, win);
Print(c.GetSpeakerDopplerFactor(), w.GetNSpeakers(), w.GetSpeaker(0), w.GetSpeaker("x"));
Print(Speaker.COLLISION_TYPE_NONE, Speaker.COLLISION_TYPE_STOP, Speaker.COLLISION_TYPE_SLIDE);
c.SetSpeakerDopplerFactor("fast");
p = New Speaker(c, c);
// expect output: 0 0 0 0
// expect output: 0 1 2
// expect: error 14 line 8

//== without a sound bank an index names nothing
UseRenderers();
win = New Window(120, 90, 0, 0);
w = New World(win);
c = New Camera(w, win);
p = New Speaker(0, c, 0, 0, 100);
// expect: error 14 line 5
