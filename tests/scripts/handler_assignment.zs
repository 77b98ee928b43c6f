//== an invalid handler is caught once and the script goes on with the next statement
// expect: end
// expect output: seven
// expect output: caught 40 line 9
// expect output: after
// expect output: last 40
Function Caught(code, text, unit, line, column) { Print("caught", code, "line", line + 1); }
Function Seven() { Print("seven"); Return 7; }
Program.OnError = Caught;
Program.OnError = Seven();
Print("after");
Print("last", Program.GetLastError());

//== a handler that cannot be a function is caught as error 41
// expect: end
// expect output: caught 41
// expect output: 1 2
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
a = 1;
Program.OnError = missing;
b = 2;
Print(a, b);

//== an invalid handler of an object's event property
// expect: end
// expect output: caught 40
// expect output: moved 3
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Function Moved(x, y) { Print("moved", x); }
Program.OnError = Caught;
s = New Voice();
s.OnMove = Moved;
s.OnMove = "7";
s.Move(3, 4);
x = 0;

//== an error in the handler's own expression is the script's, and it runs once
// expect: error 111 line 4
// expect output: loud
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Function Loud(d) { Print("loud"); Return 1 / d; }
Program.OnError = Caught;
Program.OnError = Loud(0);
Print("never");
