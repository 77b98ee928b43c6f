//== recursion of 5000 levels
// expect: end
// expect output: 5000
Function Down(n) { If (n == 0) Return 0; Return 1 + Down(n - 1); }
Print(Down(5000));

//== runaway recursion ends the run with error 15
// expect: error 15
Function Down(n) { Return 1 + Down(n + 1); }
Print(Down(0));

//== runaway recursion in argument positions
// expect: error 15
Function Down(n) { Return Down(Down(n + 1)); }
Print(Down(0));

//== runaway recursion with deeply nested expressions ends the run before the stack does
// expect: error 15
Function Deep(n) { Return ((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((Deep(n + 1))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))); }
Print(Deep(0));

//== runaway recursion through methods of a script object
// expect: error 15
Function Thing() { This.Go = Go; }
Function Go(n) { Return This.Go(This.Go(n)); }
t = New Thing();
t.Go(0);

//== recursion of 5000 levels through methods of a script object
// expect: end
// expect output: 5000
Function Counter() { This.Down = Down; }
Function Down(k) { If (k == 0) Return 0; Return 1 + This.Down(k - 1); }
c = New Counter();
Print(c.Down(5000));

//== Delete This inside its own method: the object stays until the method returns
// expect: end
// expect output: 5 5
// expect output: 0 0
Function Obj() { This.v = 5; This.Kill = Kill; }
Function Kill() { other = This.v; Delete This; Print(other, This.v); Return 1; }
o = New Obj();
alias = o;
o.Kill();
Print(o, alias);

//== a Voice deleted by a handler run while its own method waits
// expect: end
// expect output: deleting
// expect output: 0 1
Function Handler(x, y) { Print("deleting"); Delete s; }
s = New Voice();
s.OnMove = Handler;
EnableEvents(0);
s.Fire(1, 2);
r = s.Wait();
Print(s, r);

//== a million numbers to text with events disabled
// expect: end
// expect output: 999999
EnableEvents(0);
t = "";
For (i = 0; i < 1000000; i++) t = AsText(i);
Print(t);
