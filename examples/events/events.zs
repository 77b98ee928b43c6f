// Errors raised inside methods of built-in classes reach Program.OnError instead of ending
// the run. The handler is an event: it runs after the statement that failed, before the
// next one. The program checks what it saw and ends with a division by zero (error 111,
// exit status 1) when something is not as this comment says, normally otherwise.
errorCount = 0;
lastCode = 0;

Function Caught(code, text, unit, line, column) {
    errorCount++;
    lastCode = code;
    // A name first given a value in a handler is its own local: it ends with it.
    seen = text;
}

Program.OnError = Caught;

// A String method with a missing argument raises error 115 inside the method.
texts = New Bank("Texts");
name = texts.GetElemName(1);
shout = name.Replace("o");
// The statement above has finished; the handler ran before this one.
If (!(errorCount == 1)) failed = 1 / 0;
If (!(lastCode == 115)) failed = 1 / 0;
If (!(Program.GetLastError() == 115)) failed = 1 / 0;
If (!(Program.GetLastError() == 0)) failed = 1 / 0;

// Every failing method gives one event, in order, one handler call per statement.
For (i = 0; i < 3; i++) x = name.CompareNoCase();
If (!(errorCount == 4)) failed = 1 / 0;

// Texts of the string bank, found by name; methods that succeed raise nothing.
hello = New String("greeting");
If (!(hello.ToUpperCase() == "HELLO")) failed = 1 / 0;
If (!(texts.GetElemIndex("FAREWELL") == 1)) failed = 1 / 0;
If (!(errorCount == 4)) failed = 1 / 0;

// Without a handler the same error would end the run with error 115.
Program.OnError = 0;
Program.End();
failed = 1 / 0;
