// WyFTP from JScript, without a window: connect, list, download, upload,
// create, rename, delete, and report an error as a host would.
//
// Register the control first (regsvr32 WyFTP.ocx), then:
//     cscript //nologo WyFTPExample.js <server> <user> <password> <port> [escape]
// The server needs a file readme.txt in its top directory, and the user the
// right to write there. What the script prints is in expected-output.txt
// (the server's own replies may read differently on another server).
// With "escape" last, Japanese text prints as \uXXXX: for consoles without
// Japanese, and for Wine, whose cscript corrupts its heap when JScript
// echoes Japanese text and then crashes.
var args = WScript.Arguments;
if (args.length < 4) {
    WScript.Echo("usage: cscript //nologo WyFTPExample.js <server> <user> <password> <port> [escape]");
    WScript.Quit(2);
}
var escapeJapanese = args.length > 4 && args(4) == "escape";
function shown(text) {
    if (!escapeJapanese)
        return text;
    return text.replace(/[^\x00-\x7F]/g, function (c) {
        return "\\u" + ("000" + c.charCodeAt(0).toString(16)).slice(-4);
    });
}

// 1. The control, as any COM object. Without a window it still lists,
//    selects and transfers; it shows no progress dialog here.
var ftp = new ActiveXObject("WyFTP.WyFTPCtrl.1");
ftp.ServerName = args(0);
ftp.UserName = args(1);
ftp.Password = args(2);
ftp.Port = parseInt(args(3), 10);  // 21 unless the server listens elsewhere
ftp.PassiveMode = true;            // through firewalls and NAT: the client opens data connections
ftp.EnableProgressDialog = false;
ftp.Connect();
WScript.Echo("Connected; the current directory is " + ftp.GetCurrentDirectory(0));

// 2. A listing is a collection: an Enumerator walks its entries (Type 0 is
//    a directory, 1 a file; Size in bytes).
for (var entries = new Enumerator(ftp.GetFileList("/")); !entries.atEnd(); entries.moveNext()) {
    var entry = entries.item();
    WScript.Echo("  " + entry.Name + (entry.Type == 0 ? "  (directory)" : "  (" + entry.Size + " bytes)"));
}

// 3. Download: select a file of the current directory, then GetFile into a
//    local directory.
var fso = new ActiveXObject("Scripting.FileSystemObject");
var folder = fso.BuildPath(fso.GetSpecialFolder(2).Path, fso.GetTempName());
fso.CreateFolder(folder);
ftp.SelectFile("readme.txt");
ftp.GetFile(folder);
WScript.Echo("Downloaded readme.txt: " + fso.GetFile(fso.BuildPath(folder, "readme.txt")).Size + " bytes");

// 4. Upload a local file into the current directory.
var file = fso.CreateTextFile(fso.BuildPath(folder, "notes.txt"));
file.Write("uploaded by WyFTPExample.js");
file.Close();
ftp.PutFile(fso.BuildPath(folder, "notes.txt"));
WScript.Echo("Uploaded notes.txt: the server says " + ftp.GetFileSize("notes.txt") + " bytes");

// 5. Directories and names.
ftp.CreateDirectory("reports");
ftp.RenameFile("notes.txt", "reports/notes.txt");
ftp.RemoveFile("reports/notes.txt");
ftp.RemoveDirectory("reports");
WScript.Echo("Created reports, moved notes.txt into it, deleted both");

// 6. Errors: a failed call throws; the low word of its number is the
//    category (1000 system, 1001 server, 1002 the control's own, 1003
//    other), GetLastError and GetErrorMessage tell the rest, in Japanese.
function report(call) {
    try {
        call();
    } catch (e) {
        WScript.Echo("number " + (e.number & 0xFFFF) + "; GetLastError " + ftp.GetLastError() + "; "
                     + shown(ftp.GetErrorMessage()));
    }
}
report(function () { ftp.SetCurrentDirectory("/no-such-directory"); });
report(function () { ftp.DirUp(); });

ftp.DisConnect();
fso.DeleteFolder(folder);
WScript.Echo("Disconnected");
