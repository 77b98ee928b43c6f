//== an error inside a method goes to Program.OnError and the script goes on
// expect: end
// expect output: 41 Erreur #41. onerror_an error inside a method goes to Program.OnError and the script goes on 6 9
// expect output: after
// expect output: 41 0
Function Caught(code, text, unit, line, column) { Print(code, text, unit, line, column); }
Program.OnError = Caught;
Raise(41);
Print("after");
x = 0;
Print(Program.GetLastError(), Program.GetLastError());

//== without a handler the error ends the run
// expect: error 44 line 2
Raise(44);
Print("never");

//== the end of the program passes through the handler
// expect: end
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
Raise(0);
Print("never");

//== errors outside methods are not caught
// expect: error 111
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
x = 1 / 0;

//== an error in a handler reaches OnError too
// expect: end
// expect output: caught 45
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Function Failing() { Raise(45); }
Program.OnError = Caught;
Post(Failing);
a = 1;
b = 2;
c = 3;

//== removing the handler
// expect: error 42
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
Program.OnError = 0;
Raise(42);
