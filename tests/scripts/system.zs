//== the layer reports Windows XP on a little-endian host
// expect: end
// expect output: 10 5 1 10 2 1
Print(System.GetOS(), System.GetOSRelease(), System.GetOSSubRelease(), System.OS_WINDOWS_XP, System.GetByteOrdering(), System.IsGradientCaptionEnabled());

//== system colours are named by their constants only
// expect: end
// expect output: 14
// expect output: 1
// expect output: 14
// expect output: 14
Function Caught(code, text, unit, line, column) { Print(code); }
Program.OnError = Caught;
System.GetSysColor(5);
Print(System.GetSysColor(System.SYSCOLOR_WINDOW) >= 0);
System.GetSysColor(0xBABC001C);
System.GetSysColor();

//== environment references expand, unknown ones and a lone percent stay
// expect: end
// expect output: 1 [%NO_SUCH_ZORV_VAR% 50%] [%%home] 1
// expect output: 1 1 [] 1
h = System.GetEnvironmentVariable("HOME");
Print(System.ParseEnvironmentString("a %home% b") == "a " + h + " b", "[" + System.ParseEnvironmentString("%NO_SUCH_ZORV_VAR% 50%") + "]", "[" + System.ParseEnvironmentString("%%home") + "]", h != "");
t = System.ParseEnvironmentString("%TEMP%");
Print(t != "%TEMP%", t != "", "[" + System.GetEnvironmentVariable("NO_SUCH_ZORV_VAR") + "]", System.GetEnvironmentVariable("COMPUTERNAME") == System.GetComputerName());

//== an empty variable name raises 14
// expect: error 14 line 2
System.GetEnvironmentVariable("");

//== folders and names are there
// expect: end
// expect output: 1 1 1 1 1
Print(System.GetTempDirectory() != "", System.GetOSDirectory() != "", System.GetDLLDirectory() != "", System.GetComputerIP() != "", System.GetScreenWidth() > 0);

//== an empty download URL gives an empty text
// expect: end
// expect output: [] []
Print("[" + System.DownloadFile("") + "]", "[" + System.DownloadFile("   ", 1) + "]");

//== stopping a download nobody started does nothing
// expect: end
System.StopFileDownload("nothing.dwn");
