// A chime of the sound bank with the controls of a player. Closing the window ends the
// program.
main = New Window("Sound", Window.DIALOG, 330, 230);
chime = New Sound("chime.wav");

playButton = New Button("Play", 10, 10, 70, 26);
loopButton = New Button("Loop", 90, 10, 70, 26);
pauseButton = New Button("Pause", 170, 10, 70, 26);
stopButton = New Button("Stop", 250, 10, 70, 26);

volumeLabel = New StaticText("Volume", 10, 60, 80, 18);
volume = New Slider(Slider.AUTOTICKS, 90, 52, 230, 30);
volume.SetRange(0, 1000);
volume.SetTickFrequency(100);
volume.SetPageSize(100);
volume.SetPos(chime.GetVolume());

panLabel = New StaticText("Pan", 10, 100, 80, 18);
pan = New Slider(Slider.AUTOTICKS, 90, 92, 230, 30);
pan.SetRange(-1000, 1000);
pan.SetTickFrequency(250);
pan.SetPageSize(250);
pan.SetPos(chime.GetPan());

rateLabel = New StaticText("Rate", 10, 140, 80, 18);
rate = New Slider(Slider.AUTOTICKS, 90, 132, 230, 30);
// In hundreds of Hz.
rate.SetRange(50, 450);
rate.SetTickFrequency(50);
rate.SetPageSize(50);
rate.SetPos(chime.GetFrequency() / 100);

status = New StaticText("Stopped", 10, 190, 310, 18);

// Labels take the window's colour rather than the white of fields.
face = main.GetBackColor();
volumeLabel.SetBackColor(face);
panLabel.SetBackColor(face);
rateLabel.SetBackColor(face);
status.SetBackColor(face);

state = "Stopped";
Function Show(text) {
    state = text;
    status.SetText(text + " at " + chime.GetFrequency() + " Hz, " + chime.GetDuration() + " ms");
    If (chime.IsPaused()) pauseButton.SetText("Resume"); Else pauseButton.SetText("Pause");
}

Function Play(source) {
    chime.SetLoop(0);
    chime.Play();
    Show("Playing once");
}
playButton.OnClick = Play;

Function Loop(source) {
    chime.SetLoop(1, 0);
    chime.Play();
    Show("Looping");
}
loopButton.OnClick = Loop;

Function Pause(source) {
    If (chime.IsPaused()) {
        chime.Resume();
        Show("Playing");
    } Else {
        chime.Pause();
        If (chime.IsPaused()) Show("Paused");
    }
}
pauseButton.OnClick = Pause;

Function Stop(source) {
    chime.Stop();
    Show("Stopped");
}
stopButton.OnClick = Stop;

Function VolumeMoved(source, place, code) {
    chime.SetVolume(place);
}
volume.OnScroll = VolumeMoved;

Function PanMoved(source, place, code) {
    chime.SetPan(place);
}
pan.OnScroll = PanMoved;

Function RateMoved(source, place, code) {
    chime.SetFrequency(place * 100);
    Show(state);
}
rate.OnScroll = RateMoved;

While (1) Program.Wait(50);
