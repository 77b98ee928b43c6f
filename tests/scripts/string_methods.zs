//== formatting wraps the text in tags
// expect: end
// expect output: <B>abc</B> <BIG>abc</BIG> <I>abc</I> <SMALL>abc</SMALL>
// expect output: <STRIKE>abc</STRIKE> <SUB>abc</SUB> <SUP>abc</SUP> <B></B>
// expect output: <FONT COLOR=#0000FF>abc</FONT> <FONT COLOR=#123456>abc</FONT> <FONT COLOR=#FFFFFFFF>abc</FONT>
// expect output: <FONT SIZE=3>abc</FONT> <FONT SIZE=-2>abc</FONT>
// expect output: <FONT COLOR=#80000000>abc</FONT> <FONT SIZE=-2147483648>abc</FONT>
// expect output: abc
s = "abc";
Print(s.Bold(), s.Big(), s.Italics(), s.Small());
Print(s.Strike(), s.Sub(), s.Sup(), "".Bold());
Print(s.FontColor(255), s.FontColor(0x123456), s.FontColor(-1));
Print(s.FontSize(3), s.FontSize(-2));
Print(s.FontColor(), s.FontSize());
Print(s);
//== case mapping follows Windows-1252
// expect: end
// expect output: hello world 12! HELLO WORLD 12!
// expect output: été œœ ÿÿ ßµ
// expect output: ÉTÉ ŒŒ ŸŸ ßµ
s = "étÉ œŒ ÿŸ ßµ";
Print("Hello World 12!".ToLowerCase(), "Hello World 12!".ToUpperCase());
Print(s.ToLowerCase());
Print(s.ToUpperCase());
//== CharAt inside and outside the text
// expect: end
// expect output: [H] [o] [e] [] [] [] [] [] []
s = "Hello";
Print("[" + s.CharAt(0) + "]", "[" + s.CharAt(4) + "]", "[" + s.CharAt(1.9) + "]", "[" + s.CharAt(5) + "]", "[" + s.CharAt(6) + "]", "[" + s.CharAt(-1) + "]", "[" + s.CharAt() + "]", "[" + s.CharAt(0x80000000) + "]", "[" + s.CharAt(0x7FFFFFFF) + "]");
//== IndexOf from a start position
// expect: end
// expect output: 3 1 -1 -1 5 -1 -1 3 -1 -1 -1 -1 -1
s = "banana";
Print(s.IndexOf("an", 2), s.IndexOf("an"), s.IndexOf("an", 4), s.IndexOf("x"), s.IndexOf("a", 5), s.IndexOf("a", 6), s.IndexOf("a", -1), s.IndexOf("", 3), s.IndexOf("", 6), s.IndexOf("an", 0x7FFFFFFF), s.IndexOf("an", 0x80000000), "Banana".IndexOf("b"), "".IndexOf(""));
//== LastIndexOf does not see overlapping hits
// expect: end
// expect output: 1 5 3 -1 -1 -1 2 2
s = "banana";
Print(s.LastIndexOf("ana"), s.LastIndexOf("a"), s.LastIndexOf("an"), s.LastIndexOf("x"), s.LastIndexOf(""), "".LastIndexOf("a"), "aaaa".LastIndexOf("aa"), "aaaaa".LastIndexOf("aa"));
//== SubString is cut to the text
// expect: end
// expect output: [ello] [] [Hello] [Hello] [ell] [o] [] [] [] [llo] [] [] [lo]
s = "Hello";
Print("[" + s.SubString(1, 100) + "]", "[" + s.SubString(5) + "]", "[" + s.SubString() + "]", "[" + s.SubString(0, 5) + "]", "[" + s.SubString(1, 3) + "]", "[" + s.SubString(4) + "]", "[" + s.SubString(-1, 2) + "]", "[" + s.SubString(1, 0) + "]", "[" + s.SubString(1, -1) + "]", "[" + s.SubString(2, 0x7FFFFFFF) + "]", "[" + s.SubString(0x7FFFFFFF, 0x7FFFFFFF) + "]", "[" + s.SubString(0x80000000, 3) + "]", "[" + s.SubString(3, 0x7FFFFFFF) + "]");
//== Length and GetAscii
// expect: end
// expect output: 5 0 5 72 72 101 0 0 0 233 0
Print("Hello".Length(), "".Length(), "Hello".Length, "Hello".GetAscii(), "Hello".GetAscii(0), "Hello".GetAscii(1), "Hello".GetAscii(5), "Hello".GetAscii(-1), "Hello".GetAscii(0x80000000), "é".GetAscii(), "".GetAscii());
//== GetInt and GetFloat read hexadecimal, binary and decimal texts
// expect: end
// expect output: 31 5 2 -2 1000 12 0 0 0 2147483647 -2147483648 -2147483648 536870911
// expect output: 31 3 2.5 4.29497e+09 1 0 0 -0.5
Print("0x1F".GetInt(), "0b101".GetInt(), "2.9".GetInt(), "-2.9".GetInt(), "1e3".GetInt(), " 12abc".GetInt(), "abc".GetInt(), "".GetInt(), "0x".GetInt(), "0x7FFFFFFF".GetInt(), "0x80000000".GetInt(), "1e10".GetInt(), "0x1FFFFFFFF".GetInt());
Print("0X1f".GetFloat(), "0B11".GetFloat(), "2.5".GetFloat(), "0xFFFFFFFF".GetFloat(), "1,5".GetFloat(), "inf".GetFloat(), "nan".GetFloat(), "-.5".GetFloat());
//== CompareNoCase lowers Windows-1252 letters
// expect: end
// expect output: 0 1 1 1 1 0 0 0 1 0
Print("abc".CompareNoCase("ABC"), "abc".CompareNoCase("abd") < 0, "abd".CompareNoCase("ABC") > 0, "ab".CompareNoCase("abc") < 0, "abc".CompareNoCase("AB") > 0, "".CompareNoCase(""), "été".CompareNoCase("ÉTÉ"), "œÿ".CompareNoCase("ŒŸ"), "_".CompareNoCase("A") < 0, "12".CompareNoCase(12));
//== CompareNoCase without a text
// expect: error 115 line 3
x = 1;
y = "abc".CompareNoCase();
//== Replace exact and without case
// expect: end
// expect output: a-b-c aXb-c aXb-c aXbxc
// expect output: b[]na bb [abc] [abc] [] [] Hello hello xx ete 1313 [a b c]
s = "aXbxc";
Print(s.Replace("x", "-", 0), s.Replace("x", "-", 1), s.Replace("x", "-"), s);
Print("banana".Replace("ana", "[]"), "aaaa".Replace("aa", "b"), "[" + "abc".Replace("", "-") + "]", "[" + "abc".Replace("", "-", 0) + "]", "[" + "abc".Replace("abc", "") + "]", "[" + "".Replace("a", "b") + "]", "HeLLo hello".Replace("LL", "ll", 0), "x".Replace("x", "xx"), "Été".Replace("é", "e", 0), "1212".Replace(2, 3), "[" + "a,b,c".Replace(",", " ") + "]");
//== Replace without a new text
// expect: error 115 line 2
y = "abc".Replace("a");
//== Replace without any text
// expect: error 115 line 2
y = "abc".Replace();
//== Replace with a bad case flag
// expect: error 115 line 2
y = "abc".Replace("a", "b", 2);
//== Replace with a negative case flag
// expect: error 115 line 2
y = "abc".Replace("a", "b", -1);
//== New String without a bank element is empty
// expect: end
// expect output: 0 [<B></B>] 0
s = New String();
t = New String("a", "b");
Print(s.Length(), "[" + t.Bold() + "]", t.Length());
//== New String of a missing bank element
// expect: error 79 line 2
s = New String(1);
//== New String of a missing named element
// expect: error 79 line 2
s = New String("Greeting");
//== empty argument positions take the defaults
// expect: end
// expect output: [He] 72 aXb- -1
s = "Hello";
Print("[" + s.SubString(, 2) + "]", s.GetAscii(, 3), "aXbx".Replace("x", "-", , 5), s.IndexOf(, 0));
//== a method on a text runs on a String that takes a serial and goes
// expect: end
// expect output: 1 4 2
a = New String();
"x".Length();
s = "y";
s.Length();
b = New String();
Print(Math.Serial(a), Math.Serial(b), Math.Count(8));
//== methods leave the text alone
// expect: end
// expect output: Hello Hello HELLO hello
s = "Hello";
t = s.ToUpperCase();
u = t.ToLowerCase();
Print(s, s.SubString(0), t, u);
