// Starts a shell that exits with 7, waits for it to end and checks the code it ended with.
// A wrong answer divides by zero, so the player ends with status 1.
shell = New Process('/bin/sh -c "exit 7"');
waited = 0;
While (shell.IsProcessRunning() && waited < 5000) {
    Program.Wait(10);
    waited = waited + 10;
}
If (shell.GetExitCode() != 7) failed = 1 / 0;
