// Downloads the URL given on the command line (tools/run examples/download URL) in the
// background, writes its progress to standard output, keeps a copy in the folder downloads
// and opens it with the desktop's handler. Without a URL it downloads a small file it
// writes first, so that it runs without a network. A download that fails ends the run
// with a box naming it.
// Names first given a value inside a block end with it: url is given one here.
url = "";
If (Program.GetNArguments() > 0) {
    url = Program.GetArgument(0);
} Else {
    url = System.GetTempDirectory() + "download-example.txt";
    sample = New File(url, File.WRITEONLY);
    sample.WriteLn("Downloaded by the download example.");
    sample.Close();
}

out = New File("/dev/stdout", File.WRITEONLY);
state = System.DOWNLOADSTATUS_PENDING;

Function Progress(address, name, received, total, status) {
    state = status;
    If (total > 0) out.WriteLn(address, ": ", received, " of ", total, " bytes");
    Else out.WriteLn(address, ": ", received, " bytes");
}
System.OnDownload = Progress;

copy = System.DownloadFile(url, 1);
If (copy == "") state = System.DOWNLOADSTATUS_ABORTED;
While (state != System.DOWNLOADSTATUS_DOWNLOADED && state != System.DOWNLOADSTATUS_ABORTED)
    Program.Wait(20);

If (state == System.DOWNLOADSTATUS_ABORTED) {
    box = New MessageBox();
    box.OkBox("The download of " + url + " failed.", "Download", MessageBox.ICONSTOP);
    Program.End();
}
// The downloaded file goes when the run ends, and the run ends before the desktop's
// program has opened it: it is opened from a copy in the folder downloads.
name = Disk.GetName(url) + Disk.GetExtension(url);
query = name.IndexOf("?");
If (query >= 0) name = name.SubString(0, query);
If (name == "") name = "download";
Disk.MakeDirectory("downloads");
kept = Disk.GetCurrentDirectory() + "/downloads/" + name;
If (Disk.Exist(kept)) Disk.Delete(kept);
If (!Disk.CopyFile(copy, kept)) kept = copy;
out.WriteLn("opening ", kept);
System.BrowseURL(kept);
