//== a Timer with interval 0 does not start
// expect: end
// expect output: 0 0 1
t = New Timer();
t.Start();
Print(t.IsStarted(), t.GetInterval(), Math.Count(37));

//== start and stop
// expect: end
// expect output: 250 1 0
t = New Timer(250.9);
t.Start();
t.Start();
a = t.IsStarted();
t.Stop();
t.Stop();
Print(t.GetInterval(), a, t.IsStarted());

//== the constructor takes at most one interval
// expect: error 21 line 2
t = New Timer(10, 20);

//== an interval must be a number
// expect: error 14 line 2
t = New Timer("10");

//== SetInterval takes exactly one number
// expect: error 21 line 3
t = New Timer(10);
t.SetInterval();

//== SetInterval refuses a text
// expect: error 14 line 3
t = New Timer(10);
t.SetInterval("20");

//== private data keeps any value
// expect: end
// expect output: 0 abc 3
t = New Timer(10);
a = t.GetPrivateData();
t.SetPrivateData("abc");
b = t.GetPrivateData();
u = New Timer(3);
t.SetPrivateData(u);
v = t.GetPrivateData();
Print(a, b, v.GetInterval());

//== a handler can be removed
// expect: end
// expect output: 0
n = 0;
Function Tick(t) { n++; }
t = New Timer(10);
t.OnTimeElapsed = Tick;
t.OnTimeElapsed = 0;
t.Start();
Program.Wait(60);
Print(n);

//== a running Timer that nothing holds is collected, and stops
// expect: end
// expect output: 1 0 0
n = 0;
Function Tick(t) { n++; }
Function Make() { t = New Timer(10); t.OnTimeElapsed = Tick; t.Start(); }
Make();
a = Math.Count(37);
CollectNow();
Program.Wait(60);
Print(a, Math.Count(37), n);
