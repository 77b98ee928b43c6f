//== a statement may not start with a class name
// expect: error 16 line 3 column 1
x = Voice.MAX;
Voice.MAX;
Print("never");

//== a class member as a statement inside a loop body
// expect: error 16 line 5 column 5
// expect output: 7
For (i = 0; i < 3; i++) {
    Print(Voice.MAX);
    Bank.BANKTYPE_STRING;
}

//== a class name statement is not one of the error road's method errors
// expect: error 16 line 4
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
String.Length;
Print("never");

//== statements may start with the singletons' names
// expect: end
// expect output: 42
// expect output: 1
Program.OnError = 0;
Math.Print(Math.ANSWER);
Print(1);
