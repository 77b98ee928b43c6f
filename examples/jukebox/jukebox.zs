// Plays the MP3, MP2 or WAV files named on the command line one after another; without
// any, the tune of the sound bank. Names of files that do not exist are left out; a file
// that exists but is no sound the player can play ends the run with error 14. Choose a
// track in the list to play it; the position slider moves through the track. Closing the
// window ends the program.
main = New Window("Jukebox", Window.DIALOG, 400, 270);

// Names first given a value inside a block end with it: the arrays start out here.
paths[0] = "tune.mp3";
count = 1;
missing = 0;
If (Program.GetNArguments() > 0) {
    count = 0;
    For (i = 0; i < Program.GetNArguments(); i++) {
        If (Disk.Exist(Program.GetArgument(i))) {
            paths[count] = Program.GetArgument(i);
            count++;
        } Else {
            missing++;
        }
    }
    // Nothing of what was named exists: the tune plays instead.
    If (count == 0) count = 1;
}

tracks = New ListBox(10, 10, 380, 100);
For (i = 0; i < count; i++) {
    // The file's name without its folder.
    name = paths[i];
    slash = name.LastIndexOf("/");
    If (name.LastIndexOf("\\") > slash) slash = name.LastIndexOf("\\");
    tracks.AddItem(name.SubString(slash + 1));
}

playButton = New Button("Play", 10, 120, 80, 26);
pauseButton = New Button("Pause", 100, 120, 80, 26);
nextButton = New Button("Next", 190, 120, 80, 26);

placeLabel = New StaticText("Position", 10, 170, 70, 18);
place = New Slider(80, 162, 310, 30);
// In thousandths of the track.
place.SetRange(0, 1000);
place.SetPageSize(100);

volumeLabel = New StaticText("Volume", 10, 210, 70, 18);
volume = New Slider(Slider.AUTOTICKS, 80, 202, 310, 30);
volume.SetRange(0, 1000);
volume.SetTickFrequency(100);
volume.SetPageSize(100);
volume.SetPos(1000);

status = New StaticText("", 10, 245, 380, 18);

// Labels take the window's colour rather than the white of fields.
face = main.GetBackColor();
placeLabel.SetBackColor(face);
volumeLabel.SetBackColor(face);
status.SetBackColor(face);

track = 0;
current = -1;
finished = 0;

// m:ss of a time in milliseconds.
Function Clock(ms) {
    seconds = ms / 1000;
    If (seconds % 60 < 10) Return (seconds / 60) + ":0" + (seconds % 60);
    Return (seconds / 60) + ":" + (seconds % 60);
}

Function Show() {
    If (track == 0) Return;
    duration = track.GetDuration();
    at = track.GetPos();
    If (duration > 0) place.SetPos(at * 1000.0 / duration);
    state = "Playing";
    If (track.IsPaused()) state = "Paused";
    If (finished) state = "Finished";
    text = state + " " + tracks.GetTextAt(current) + "  " + Clock(at) + " / " + Clock(duration);
    If (missing > 0) text = text + "  (" + missing + " not found)";
    status.SetText(text);
    If (track.IsPaused()) pauseButton.SetText("Resume"); Else pauseButton.SetText("Pause");
}

// Plays track `index`.
Function Start(index) {
    If (track != 0) track.Stop();
    track = 0;
    current = index;
    finished = 0;
    tracks.SelectItem(index);
    track = New Sound(paths[index]);
    track.SetVolume(volume.GetPos());
    track.Play();
    Show();
}

Function Chosen(source) {
    If (source.GetSelectedItem() != current) Start(source.GetSelectedItem());
}
tracks.OnSelChanged = Chosen;

Function PlayClicked(source) {
    If (track != 0 && !track.IsCompleted()) {
        If (track.IsPaused()) track.Resume();
        Show();
    } Else {
        If (current < 0) Start(0); Else Start(current);
    }
}
playButton.OnClick = PlayClicked;

Function PauseClicked(source) {
    If (track == 0) Return;
    If (track.IsPaused()) track.Resume(); Else track.Pause();
    Show();
}
pauseButton.OnClick = PauseClicked;

Function NextClicked(source) {
    Start((current + 1) % count);
}
nextButton.OnClick = NextClicked;

Function PlaceMoved(source, at, code) {
    If (track == 0) Return;
    track.SetPos(track.GetDuration() * (at / 1000.0));
    Show();
}
place.OnScroll = PlaceMoved;

Function VolumeMoved(source, level, code) {
    If (track != 0) track.SetVolume(level);
}
volume.OnScroll = VolumeMoved;

Start(0);
While (1) {
    Program.Wait(100);
    If (track != 0 && !finished && track.IsCompleted()) {
        // On to the next track; after the last one the jukebox waits.
        If (current + 1 < count) Start(current + 1); Else finished = 1;
    }
    Show();
}
