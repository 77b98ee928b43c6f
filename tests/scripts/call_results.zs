//== a method on the result of a call without arguments is a compile error
// expect: error 16 line 4
Function Name() { Return "anna"; }
Print("never printed");
n = Name().Length();

//== a method on a member call's result without arguments is a compile error
// expect: error 16 line 5
Function Person() { This.Name = PersonName; }
Function PersonName() { Return "anna"; }
p = New Person();
n = p.Name().Length();

//== after a call with arguments the method call stands alone and fails when reached
// expect: error 41 line 5
// expect output: before
Function Twice(t) { Return t + t; }
Print("before");
n = Twice("ab").Length();
Print("never printed");

//== a class method's result with arguments fails the same way
// expect: error 41 line 4
// expect output: 2
Print(Program.GetNArguments() + 2);
n = Program.GetChar(65).GetAscii();

//== in parentheses, a call's result takes methods: texts and objects
// expect: end
// expect output: 4 4 65 ANNA
Function Name() { Return "anna"; }
Function Person() { This.Name = Name; }
p = New Person();
Print((Name()).Length(), (p.Name()).Length(), (Program.GetChar(65)).GetAscii(), (Name()).ToUpperCase());

//== in parentheses, a number still takes no method
// expect: error 35 line 3
Function Seven() { Return 7; }
n = (Seven()).Length();
