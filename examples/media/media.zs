// A film with its sound, then a tune, a tracker module and a spoken greeting, one after
// another. Keys 1 to 4 play each again: 1 the film, 2 the tune, 3 the module, 4 the
// greeting. Closing the window ends the program.
main = New Window("Media", 360, 330);
face = main.GetBackColor();
help = New StaticText("1 film   2 tune   3 module   4 greeting", 20, 260, 320, 20);
status = New StaticText("", 20, 285, 320, 20);
help.SetBackColor(face);
status.SetBackColor(face);

// The film and the module play from files: each is copied out of the binary bank into a
// temporary file, which goes when the program ends.
Function Extract(name, extension) {
    data = New Binary();
    data.LoadData(name);
    path = Disk.CreateTemporaryFile(extension);
    data.SaveData(path);
    Return path;
}

// Stopped until its turn; its picture stretched over 320 x 240.
film = New Video(main, Extract("film.avi", "avi"), 20, 10, 320, 240, 0xABCD0000);
tune = New Music("tune.mid");
song = New MODPlayer(Extract("song.mod", "mod"));
greeter = New Voice();

// What plays now: 1 the film, 2 the tune, 3 the module, 4 the greeting, 0 nothing. Played
// in turn, each one's end starts the next; a key plays one alone.
playing = 0;
inTurn = 1;

Function StopAll() {
    film.Stop();
    tune.Stop();
    song.Stop();
}

Function Start(what) {
    StopAll();
    playing = what;
    If (what == 1) {
        film.Rewind();
        film.Play();
        status.SetText("The film, with its sound");
    }
    If (what == 2) {
        tune.Play();
        status.SetText("A tune from the music bank");
    }
    If (what == 3) {
        song.Play();
        status.SetText("A tracker module");
    }
    If (what == 4) {
        greeter.Speak("Hello, and welcome to the media example.");
        status.SetText("A spoken greeting");
    }
}

Function Ended() {
    If (inTurn == 1 && playing < 4) {
        Start(playing + 1);
        Return;
    }
    playing = 0;
    inTurn = 0;
    status.SetText("Press 1 to 4 to play one again");
}

// Has what plays come to its end?
Function Check() {
    If (playing == 1 && film.IsStopped()) Ended();
    If (playing == 2 && tune.IsCompleted()) Ended();
    If (playing == 3 && song.IsPlaying() == 0) Ended();
}

Function Done(source) {
    If (playing == 4) Ended();
}
greeter.OnSpeakingDone = Done;

Function Pressed(source, key, flags, typed) {
    If (key >= 49 && key <= 52) {
        inTurn = 0;
        Start(key - 48);
    }
}
main.OnKeyDown = Pressed;

Start(1);
While (1) {
    Program.Wait(50);
    Check();
}
