//== paths split and join, with either separator
// expect: end
// expect output: [C:] [\dir\sub\] [name] [.txt]
// expect output: [] [dir/] [name] []
// expect output: [C:\dir\name.doc] [D:\dir\name.txt] [C:\other\name.txt] [C:\dir\new.txt]
// expect output: [C:\dir\name.txt] [dir\name] [\]
p = "C:\dir\sub\name.txt";
Print("[" + Disk.GetDrive(p) + "]", "[" + Disk.GetDir(p) + "]", "[" + Disk.GetName(p) + "]", "[" + Disk.GetExtension(p) + "]");
q = "dir/name";
Print("[" + Disk.GetDrive(q) + "]", "[" + Disk.GetDir(q) + "]", "[" + Disk.GetName(q) + "]", "[" + Disk.GetExtension(q) + "]");
p = "C:\dir\name.txt";
Print("[" + Disk.SetExtension(p, ".doc") + "]", "[" + Disk.SetDrive(p, "D") + "]", "[" + Disk.SetDir(p, "\other") + "]", "[" + Disk.SetName(p, "new") + "]");
Print("[" + Disk.MakePath("C", "\dir", "name", "txt") + "]", "[" + Disk.MakePath("", "dir", "name") + "]", "[" + Disk.DIRECTORY_SEPARATOR + "]");

//== files are made, sized, copied, appended and deleted
// expect: end
// expect output: 1 1 0 -1 2 0 0 2
// expect output: 1 0 1 6 1 12
// expect output: 1 0 1 0 1
f = New File("a.txt");
f.Write("abcdef");
f.Close();
Print(Disk.MakeDirectory("sub"), Disk.IsDirectory("sub"), Disk.IsDirectory("a.txt"), Disk.GetFileSize("nothing.txt"), Disk.GetLastDiskErrorCode(), Disk.GetFileSize("sub"), f.Open("none.txt"), Disk.GetLastDiskErrorCode());
Print(Disk.CopyFile("a.txt", "sub\b.txt"), Disk.GetFileSize("sub\b.txt") - 6, Disk.Exist("sub/b.txt"), Disk.GetFileSize("a.txt"), Disk.AppendFile("a.txt", "sub\b.txt"), Disk.GetFileSize("sub\b.txt"));
Print(Disk.Delete("sub\b.txt"), Disk.Exist("sub\b.txt"), Disk.Delete("sub"), Disk.IsDirectory("sub"), Disk.GetFileSize("missing\x.txt") == -1);

//== copying a file onto itself leaves it alone
// expect: end
// expect output: 0 32 6
// expect output: 0 32 6
// expect output: 1 1 6
f = New File("self.txt");
f.Write("abcdef");
f.Close();
Print(Disk.CopyFile("self.txt", "SELF.TXT"), Disk.GetLastDiskErrorCode(), Disk.GetFileSize("self.txt"));
Print(Disk.AppendFile("self.txt", ".\self.txt"), Disk.GetLastDiskErrorCode(), Disk.GetFileSize("self.txt"));
e = New File("empty.txt");
e.Close();
Print(Disk.CopyFile("self.txt", "copy.txt"), Disk.CopyFile("empty.txt", "empty2.txt") + Disk.GetFileSize("empty2.txt"), Disk.GetFileSize("copy.txt"));

//== Rename refuses an existing target
// expect: end
// expect output: 0 one 1 1 0
a = New File("one.txt");
a.Write("one");
a.Close();
b = New File("two.txt");
b.Write("two");
b.Close();
r = Disk.Rename("one.txt", "two.txt");
b.Open("two.txt");
Print(r, b.ReadLn() == "two" ? "one" : "lost", Disk.Rename("one.txt", "three.txt"), Disk.Exist("three.txt"), Disk.Exist("one.txt"));

//== missing paths raise 29
// expect: error 29 line 2
Disk.Delete();

//== ListFiles with patterns and flags
// expect: end
// expect output: 3 3
// expect output: [t\a.txt] [t\b.dat] [t\sub\]
// expect output: 1 [t\a.txt]
// expect output: 2 [t\b.dat]
// expect output: 4 [t\sub\c.txt]
// expect output: 1 [sub\]
// expect output: 2 [a.txt]
// expect output: 0 []
Disk.MakeDirectory("t");
Disk.MakeDirectory("t\sub");
f = New File("t\a.txt");
f = New File("t\b.dat");
f = New File("t\sub\c.txt");
f.Close();
here = Disk.GetCurrentDirectory() + "\";
l = Disk.ListFiles("t", Disk.SORT);
Print(Disk.GetNFilenames(), (l[3] == "") * 3);
Print("[" + (l[0] - here) + "]", "[" + (l[1] - here) + "]", "[" + (l[2] - here) + "]");
l = Disk.ListFiles("t\", "*.txt", Disk.NODIRS);
Print(Disk.GetNFilenames(), "[" + (l[0] - here) + "]");
l = Disk.ListFiles("t", "*.*", "*.txt", Disk.SORT);
Print(Disk.GetNFilenames(), "[" + (l[0] - here) + "]");
l = Disk.ListFiles("t", Disk.SUBDIRS, Disk.SORT);
Print(Disk.GetNFilenames(), "[" + (l[3] - here) + "]");
l = Disk.ListFiles("t", Disk.NOFILES, Disk.SHORTNAMES);
Print(Disk.GetNFilenames(), "[" + l[0] + "]");
l = Disk.ListFiles("t", Disk.SHORTNAMES, Disk.NODIRS, Disk.SORT, 12345);
Print(Disk.GetNFilenames(), "[" + l[0] + "]");
l = Disk.ListFiles("nowhere");
Print(Disk.GetNFilenames(), "[" + l[0] + "]");

//== temporary files are made with their extension
// expect: end
// expect output: 1 1 1 1
// expect output: 1 1
a = Disk.CreateTemporaryFile();
b = Disk.CreateTemporaryFile(".dat");
c = Disk.CreateTemporaryFile("dat");
Print(Disk.Exist(a), Disk.GetExtension(a) == ".tmp", Disk.GetExtension(b) == ".dat", Disk.GetExtension(c) == ".dat");
n = Disk.GetName(a);
Print(n.IndexOf("zq") == 0, b != c);

//== CreateTemporaryFile wants a text
// expect: error 14 line 2
Disk.CreateTemporaryFile(5);

//== drives, free space and error texts
// expect: end
// expect output: 1 1 1 1 1
l = Disk.ListDrives();
Print(l[0] == "C:\", Disk.GetDriveType("C:\") == Disk.FIXED, Disk.GetDiskFreeSpace(".") > 0, Disk.GetFileSize("gone.txt") == -1, Disk.GetLastDiskErrorString() != "");

//== a full path of 300 characters is made, written, read, listed and deleted
// expect: end
// expect output: 1 1 300 1 line 6
// expect output: 1 1 1 0
d = Disk.GetCurrentDirectory();
While (d.Length() < 270) {
    d = d + "\folder_10";
    Disk.MakeDirectory(d);
}
p = d + "\f";
While (p.Length() < 300) p = p + "x";
f = New File(p);
w = f.WriteLn("line");
f.Close();
r = f.Open(p, File.READONLY);
Print(Disk.IsDirectory(d), w, p.Length(), r, f.ReadLn(), Disk.GetFileSize(p));
f.Close();
l = Disk.ListFiles(d, "f*");
Print(Disk.GetNFilenames(), l[0] == p, Disk.Delete(p), Disk.Exist(p));
