//== a Process without a command line runs nothing
// expect: end
// expect output: 0 0 0 []
p = New Process();
Print(p.IsProcessRunning(), p.GetExitCode(), p.Run(), "[" + p.GetCommandLine() + "]");

//== Run twice gives 1 then 0, and the exit code arrives
// expect: end
// expect output: 1 0
// expect output: 7 0
p = New Process('/bin/sh -c "exit 7"', 0);
Print(p.Run(), p.Run());
n = 0;
While (p.IsProcessRunning() && n < 5000000) n++;
Print(p.GetExitCode(), p.IsProcessRunning());

//== a program that is not there starts nothing
// expect: end
// expect output: 0 0 [no-such-program-anywhere x]
p = New Process("no-such-program-anywhere x");
Print(p.IsProcessRunning(), p.Run(), "[" + p.GetCommandLine() + "]");

//== Restart starts the command line again
// expect: end
// expect output: 1
// expect output: 3
p = New Process('/bin/sh -c "exit 2"');
p.SetCommandLine('sh -c "exit 3"');
Print(p.Restart());
n = 0;
While (p.IsProcessRunning() && n < 5000000) n++;
Print(p.GetExitCode());

//== the run flag is 0 or 1
// expect: error 14 line 2
p = New Process("sh", 2);
