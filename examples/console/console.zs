// A console: styled lines written one after another into a window, wrapping at its right
// edge and scrolling up as they fill it. Closing the window ends the program.
main = New Window("Console", 360, 200);
main.WriteLn("<B>Styled text</B> in a <I>window</I>, line after line.");
main.WriteLn("<FONT COLOR=#C00000>Red</FONT>, <FONT COLOR=#008000>green</FONT> and <FONT COLOR=#0000C0 SIZE=+4>bigger blue</FONT>.");
main.WriteLn("<TT>Typewriter</TT>, <SMALL>small</SMALL>, <BIG>big</BIG>, <U>underlined</U>, <STRIKE>struck</STRIKE>.");
main.WriteLn("Entities: &lt;B&gt; stays text; &amp; &copy; &eacute; &frac12;");
main.WriteLn("A long line wraps at the right edge of the window, word by word, and goes on below.");
For (i = 1; i <= 12; i++) {
    main.Write("Line <B>" + i + "</B>: ");
    main.WriteLn("the console scrolls up as it fills.");
}
While (1) Program.Wait(50);
