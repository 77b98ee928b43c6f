// The first project: a greeting written to standard output, for whoever started it from a
// terminal, and shown in a window, for whoever looks at the desktop. Closing the window
// ends the program; so do ten seconds, for a run without a desktop, where nobody can.
greeting = "Hello, world!";

out = New File("/dev/stdout", File.WRITEONLY);
out.WriteLn(greeting);
out.Close();

main = New Window("Hello", 320, 90);
main.SetFont("Arial", 28);
main.WriteLn(greeting);
main.SetFont("Arial", 12);
main.WriteLn("This window closes by itself in ten seconds.");
For (waited = 0; waited < 10000; waited = waited + 50) Program.Wait(50);
