//== without a library nothing is called
// expect: end
// expect output: 0 0 0 0 0
l = New SharedLibrary();
Print(l.IsLoaded(), l.CallFunction("anything", "I", 1), l.Load(""), l.Load("no-such-library.dll"), l.IsLoaded());

//== a system library's export is called with an integer
// expect: end
// expect output: 1 7 0
l = New SharedLibrary("libc.so.6");
Print(l.IsLoaded(), l.CallFunction("abs", "I", -7), l.CallFunction("no_such_export_here"));

//== Load takes exactly one argument
// expect: error 21 line 3
l = New SharedLibrary();
l.Load("a", "b");
