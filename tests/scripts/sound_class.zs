//== a sound from a file plays, pauses, resumes and stops
// expect: end
// expect output: 1000 0 8000 1000
// expect output: 1 0 0
// expect output: 1 0 0
// expect output: 0 1
// expect output: 0 0
Function MakeWav(path, frames) {
    b = New Binary();
    b.AllocateData(44 + frames * 2);
    b.SetString(0, "RIFF");
    b.SetLong(4, 36 + frames * 2);
    b.SetString(8, "WAVEfmt ");
    b.SetLong(16, 16);
    b.SetWord(20, 1);
    b.SetWord(22, 1);
    b.SetLong(24, 8000);
    b.SetLong(28, 16000);
    b.SetWord(32, 2);
    b.SetWord(34, 16);
    b.SetString(36, "data");
    b.SetLong(40, frames * 2);
    For (i = 0; i < frames; i++) b.SetWord(44 + i * 2, (i * 37) % 20000);
    b.SaveData(path);
}
MakeWav("one.wav", 8000);
s = New Sound("one.wav");
Print(s.GetVolume(), s.GetPan(), s.GetFrequency(), s.GetDuration());
s.Play();
Print(s.IsPlaying(), s.IsPaused(), s.IsCompleted());
s.Pause();
a = s.IsPlaying();
Print(s.IsPaused(), a, s.IsCompleted());
s.Resume();
Print(s.IsPaused(), s.IsPlaying());
s.Stop();
Print(s.IsPlaying(), s.IsPaused());

//== setters keep their values inside the ranges, missing arguments take the defaults
// expect: end
// expect output: 0 1000 100 8000
// expect output: 1000 -1000 0 100000
// expect output: 1 0 3 0 1
// expect output: 250 0 1000
Function MakeWav(path, frames) {
    b = New Binary();
    b.AllocateData(44 + frames);
    b.SetString(0, "RIFF");
    b.SetLong(4, 36 + frames);
    b.SetString(8, "WAVEfmt ");
    b.SetLong(16, 16);
    b.SetWord(20, 1);
    b.SetWord(22, 1);
    b.SetLong(24, 8000);
    b.SetLong(28, 8000);
    b.SetWord(32, 1);
    b.SetWord(34, 8);
    b.SetString(36, "data");
    b.SetLong(40, frames);
    b.SaveData(path);
}
MakeWav("short.wav", 8000);
s = New Sound("short.wav");
s.SetVolume(-5);
s.SetPan(4000);
s.SetFrequency(50);
a = s.GetFrequency();
s.SetFrequency(0);
Print(s.GetVolume(), s.GetPan(), a, s.GetFrequency());
s.SetVolume();
s.SetPan(-4000);
x = s.GetPan();
s.SetPan();
s.SetFrequency(200000);
Print(s.GetVolume(), x, s.GetPan(), s.GetFrequency());
s.SetLoop(1, 3);
a = s.IsLooping();
b = s.GetLoopCount();
s.SetLoop();
c = s.GetLoopCount();
Print(a, s.IsCompleted(), b, c, s.IsLooping());
s.SetPos(250);
a = s.GetPos();
s.SetPos(-5);
b = s.GetPos();
s.SetPos(99999);
Print(a, b, s.GetPos());

//== StopAllSamples stops every sound, and Play starts again
// expect: end
// expect output: 1 1 0 0 1
Function MakeWav(path) {
    b = New Binary();
    b.AllocateData(8044);
    b.SetString(0, "RIFF");
    b.SetLong(4, 8036);
    b.SetString(8, "WAVEfmt ");
    b.SetLong(16, 16);
    b.SetWord(20, 1);
    b.SetWord(22, 1);
    b.SetLong(24, 8000);
    b.SetLong(28, 8000);
    b.SetWord(32, 1);
    b.SetWord(34, 8);
    b.SetString(36, "data");
    b.SetLong(40, 8000);
    b.SaveData(path);
}
MakeWav("a.wav");
s = New Sound("a.wav");
t = New Sound("a.wav");
s.Play();
t.Play();
p = s.IsPlaying();
q = t.IsPlaying();
s.StopAllSamples();
a = s.IsPlaying();
b = t.IsPlaying();
t.Play();
Print(p, q, a, b, t.IsPlaying());

//== a Window made first stays the active one while sounds play
// expect: end
// expect output: 1
Function MakeWav(path) {
    b = New Binary();
    b.AllocateData(1044);
    b.SetString(0, "RIFF");
    b.SetLong(4, 1036);
    b.SetString(8, "WAVEfmt ");
    b.SetLong(16, 16);
    b.SetWord(20, 1);
    b.SetWord(22, 1);
    b.SetLong(24, 8000);
    b.SetLong(28, 8000);
    b.SetWord(32, 1);
    b.SetWord(34, 8);
    b.SetString(36, "data");
    b.SetLong(40, 1000);
    b.SaveData(path);
}
w = New Window(300, 200, 0, 0);
MakeWav("w.wav");
s = New Sound("w.wav");
s.Play();
Program.Wait(10);
Print(UiActive() == w);

//== New Sound takes exactly one argument
// expect: error 21 line 2
s = New Sound();

//== two arguments are refused
// expect: error 21 line 2
s = New Sound("a.wav", 1);

//== a missing file is no sound
// expect: error 14 line 2
s = New Sound("missing.wav");

//== an index without a sound bank is no sound
// expect: error 14 line 2
s = New Sound(3);

//== an object is no sound
// expect: error 14 line 3
b = New Binary();
s = New Sound(b);

//== a file that holds no sound makes no channel
// expect: error 14 line 5
f = New File("text.wav");
f.WriteLn("no sound here");
f.Close();
s = New Sound("text.wav");

//== SetPos takes exactly one argument
// expect: error 21 line 18
b = New Binary();
b.AllocateData(144);
b.SetString(0, "RIFF");
b.SetLong(4, 136);
b.SetString(8, "WAVEfmt ");
b.SetLong(16, 16);
b.SetWord(20, 1);
b.SetWord(22, 1);
b.SetLong(24, 8000);
b.SetLong(28, 8000);
b.SetWord(32, 1);
b.SetWord(34, 8);
b.SetString(36, "data");
b.SetLong(40, 100);
b.SaveData("p.wav");
s = New Sound("p.wav");
s.SetPos();

//== a Sound goes to the clipboard as WAV bytes and comes back as a new Sound
// expect: end
// expect output: 1 1500 8000 1000 0
b = New Binary();
b.AllocateData(12044);
b.SetString(0, "RIFF");
b.SetLong(4, 12036);
b.SetString(8, "WAVEfmt ");
b.SetLong(16, 16);
b.SetWord(20, 1);
b.SetWord(22, 1);
b.SetLong(24, 8000);
b.SetLong(28, 8000);
b.SetWord(32, 1);
b.SetWord(34, 8);
b.SetString(36, "data");
b.SetLong(40, 12000);
For (i = 0; i < 12000; i++) b.SetByte(44 + i, i % 256);
b.SaveData("c.wav");
s = New Sound("c.wav");
c = New Clipboard();
c.PutData(s);
t = c.GetSound();
Print(c.HasSound(), t.GetDuration(), t.GetFrequency(), t.GetVolume(), t.IsPlaying());
