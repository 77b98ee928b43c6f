//== every value type round-trips
// expect: end
// expect output: 1 1 1 1 1 1
// expect output: [text] 42 -7 3 200 [a] [b] 0 [%PATH%]
// expect output: -1412628479 -1412628478 -1412628477 -1412628476 -1412628475 -1412628474
r = New Registry();
Print(r.CreateKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\Zorv Tests", Registry.REG_ACCESS_WRITE), r.SetValue("text", "text"), r.SetValue("long", 42), r.SetValue("double", -7.5), r.SetValue("empty", New Binary()), r.SetValue("expand", "%PATH%", Registry.REG_VALUETYPE_STRING_EXPAND));
b = New Binary();
b.AllocateData(3);
b.SetByte(2, 200);
r.SetValue("binary", b);
list[0] = "a";
list[1] = "b";
r.SetValue("list", list);
g = r.GetValue("binary");
l = r.GetValue("list");
e = r.GetValue("empty");
Print("[" + r.GetValue("text") + "]", r.GetValue("long"), r.GetValue("double"), g.GetDataSize(), g.GetByte(2), "[" + l[0] + "]", "[" + l[1] + "]", e.GetDataSize(), "[" + r.GetValue("expand") + "]");
Print(r.GetValueType("binary"), r.GetValueType("long"), r.GetValueType("text"), r.GetValueType("expand"), r.GetValueType("list"), r.GetValueType("missing"));

//== keys are opened, listed and closed
// expect: end
// expect output: 1 1 1 Software\A -1412624382 ROOT_HKEY_UNKNOWN
// expect output: [B] [C] [v1] [v2] 0
r = New Registry();
r.CreateKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\A\B", Registry.REG_ACCESS_WRITE);
r.CreateKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\A\C", Registry.REG_ACCESS_WRITE);
unknown = r.GetCurrentKeyRoot() == Registry.ROOT_HKEY_UNKNOWN;
Print(r.OpenKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\A", Registry.REG_ACCESS_READ), r.SetValue("v1", 1), r.SetValue("v2", "2"), r.GetCurrentKeyName(), r.GetCurrentKeyRoot(), unknown ? "ROOT_HKEY_UNKNOWN" : "known");
k = r.GetSubKeyList();
v = r.GetValueList();
Print("[" + k[0] + "]", "[" + k[1] + "]", "[" + v[0] + "]", "[" + v[1] + "]", r.OpenKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\None", Registry.REG_ACCESS_READ));

//== DeleteKey removes a whole tree, never the root
// expect: end
// expect output: 0 0 1 1 [T]
// expect output: 1 0 0
r = New Registry();
r.CreateKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\T\one\two", Registry.REG_ACCESS_WRITE);
r.CreateKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\T\three", Registry.REG_ACCESS_WRITE);
r.OpenKey(Registry.ROOT_HKEY_CURRENT_USER, "Software", Registry.REG_ACCESS_READ);
k = r.GetSubKeyList();
r.CloseKey();
Print(r.DeleteKey(Registry.ROOT_HKEY_CURRENT_USER), r.DeleteKey(Registry.ROOT_HKEY_CURRENT_USER, ""), r.OpenKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\T\one\two", Registry.REG_ACCESS_READ), r.OpenKey(Registry.ROOT_HKEY_CURRENT_USER, "Software", Registry.REG_ACCESS_READ), "[" + k[0] + "]");
Print(r.DeleteKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\T"), r.OpenKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\T", Registry.REG_ACCESS_READ), r.DeleteKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\T"));

//== a text written without a type keeps an expandable value expandable
// expect: end
// expect output: 1 -1412628476 -1412628477
r = New Registry();
r.CreateKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\X", Registry.REG_ACCESS_WRITE);
r.SetValue("e", "%A%", Registry.REG_VALUETYPE_STRING_EXPAND);
r.SetValue("s", 5);
Print(r.SetValue("e", "plain"), r.GetValueType("e"), r.SetValue("s", "now text") * 0 + r.GetValueType("s"));

//== the type must fit the value
// expect: error 101 line 4
r = New Registry();
r.CreateKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\X", Registry.REG_ACCESS_WRITE);
r.SetValue("n", 5, Registry.REG_VALUETYPE_STRING);

//== argument faults
// expect: end
// expect output: caught 100
// expect output: caught 14
// expect output: caught 99
// expect output: caught 14
// expect output: caught 14
// expect output: 0 0 [0x]
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Program.OnError = Caught;
r = New Registry();
r.GetValue("x");
r.OpenKey(5, "Software", Registry.REG_ACCESS_READ);
r.OpenKey(Registry.ROOT_HKEY_CURRENT_USER, "Software", 5);
r.CreateKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\Y", Registry.REG_ACCESS_WRITE);
list[0] = "a";
list[1] = 2;
r.SetValue("list", list);
r.DeleteValue(3);
Print(r.OpenKey(Registry.ROOT_HKEY_PERFORMANCE_DATA, "", Registry.REG_ACCESS_READ), r.OpenKey(Registry.ROOT_HKEY_DYN_DATA, "x", Registry.REG_ACCESS_READ), "[" + r.GetValue("missing") + "x]");
