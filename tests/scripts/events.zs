//== a handler runs between two statements, after the statement that posted it
// expect: end
// expect output: fired 1 2
// expect output: next
Function OnMoved(x, y) { Print("fired", x, y); }
s = New Voice();
s.OnMove = OnMoved;
s.Fire(1, 2);
Print("next");

//== assigning 0 or a text reading 0 removes the handler
// expect: end
// expect output: once
Function Once(x, y) { Print("once"); }
s = New Voice();
s.OnMove = Once;
s.Fire(1, 2);
s.OnMove = 0;
s.Fire(1, 2);
s.OnMove = Once;
s.OnMove = "0";
s.Fire(1, 2);

//== a handler must be a function
// expect: error 40 line 3
s = New Voice();
s.OnMove = 5;

//== an unassigned name as a handler
// expect: error 41
s = New Voice();
s.OnMove = nothing;

//== an event property is written only
// expect: error 40
s = New Voice();
x = s.OnMove;

//== events run in the order they were posted, one per statement
// expect: end
// expect output: posted
// expect output: 1
// expect output: 2
// expect output: 3
Function Show(v) { Print(v); }
EnableEvents(0);
Post(Show, 1);
Post(Show, 2);
Post(Show, 3);
Print("posted");
EnableEvents(1);
a = 1;
b = 2;

//== events posted by a handler wait until it returns
// expect: end
// expect output: outer start
// expect output: outer end
// expect output: inner
Function Inner() { Print("inner"); }
Function Outer() { Post(Inner); Print("outer start"); x = 1; y = 2; Print("outer end"); }
Post(Outer);
a = 1;
b = 2;

//== coalescing posts of one source give one call with the last arguments
// expect: end
// expect output: queued 1
// expect output: moved 10 20
Function Moved(x, y) { Print("moved", x, y); }
s = New Voice();
s.OnMove = Moved;
EnableEvents(0);
For (i = 1; i <= 10; i++) s.Move(i, i * 2);
Print("queued", QueuedEvents());
EnableEvents(1);
x = 0;

//== parameters take the arguments; missing ones are defaults, surplus ones ignored
// expect: end
// expect output: 1 2 Default string
// expect output: 1
Function Three(a, b, c) { Print(a, b, c); }
Function One(a) { Print(a); }
Post(Three, 1, 2);
Post(One, 1, 2, 3);
x = 0;
y = 0;

//== names made by a handler end with it
// expect: error 41 line 5
Function Make() { made = 1; }
Post(Make);
x = 0;
Print(made);

//== more than 10000 queued events
// expect: error 61
// expect output: 10001
Function Nothing() { }
EnableEvents(0);
For (i = 0; i <= 10000; i++) Post(Nothing);
Print(QueuedEvents());
Post(Nothing);

//== a handler run while a method waits leaves the method its arguments
// expect: end
// expect output: handler 7
// expect output: 1 2 3
Function Handler(v) { Print("handler", v); }
EnableEvents(0);
Post(Handler, 7);
Echo(1, 2, 3);

//== a handler runs with the This of the code it interrupted
// expect: end
// expect output: 5
Function Show() { Print(This.v); }
Function Holder() { This.v = 5; This.Wait = WaitHere; }
Function WaitHere() { Post(Show); x = 1; }
h = New Holder();
h.Wait();
