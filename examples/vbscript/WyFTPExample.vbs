' WyFTP from VBScript, without a window: connect, list, download, upload,
' create, rename, delete, report an error as a host would, and survive a
' network that drops connections, with a trace for support.
'
' Register the control first (regsvr32 WyFTP.ocx), then:
'     cscript //nologo WyFTPExample.vbs <server> <user> <password> <port>
' The server needs a file readme.txt in its top directory, and the user the
' right to write there. What the script prints is in expected-output.txt
' (the server's own replies may read differently on another server).
Option Explicit

Dim ftp, folder, fso, file, entry, args, trace
Set args = WScript.Arguments
If args.Count < 4 Then
    WScript.Echo "usage: cscript //nologo WyFTPExample.vbs <server> <user> <password> <port>"
    WScript.Quit 2
End If

' 1. The control, as any COM object. Without a window it still lists,
'    selects and transfers; it shows no progress dialog here.
Set ftp = CreateObject("WyFTP.WyFTPCtrl.1")
Set fso = CreateObject("Scripting.FileSystemObject")
folder = fso.BuildPath(fso.GetSpecialFolder(2).Path, fso.GetTempName())
fso.CreateFolder folder
ftp.ServerName = args(0)
ftp.UserName = args(1)
ftp.Password = args(2)
ftp.Port = CLng(args(3))      ' 21 unless the server listens elsewhere
ftp.PassiveMode = True        ' through firewalls and NAT: the client opens data connections
ftp.EnableProgressDialog = False
' A broken connection is made again for up to 60 s and the call goes on (a
' transfer from the bytes it has); NOOP keeps the connection alive when it
' has been silent for 30 s; every command and reply goes to a trace file.
ftp.ReconnectTime = 60
ftp.KeepAliveInterval = 30
ftp.TraceFile = fso.BuildPath(folder, "wyftp-trace.log")
ftp.Connect
WScript.Echo "Connected; the current directory is " & ftp.GetCurrentDirectory(0)

' 2. A listing is a collection: For Each over its entries (Type 0 is a
'    directory, 1 a file; Size in bytes).
For Each entry In ftp.GetFileList("/")
    If entry.Type = 0 Then
        WScript.Echo "  " & entry.Name & "  (directory)"
    Else
        WScript.Echo "  " & entry.Name & "  (" & entry.Size & " bytes)"
    End If
Next

' 3. Download: select a file of the current directory, then GetFile into a
'    local directory.
ftp.SelectFile "readme.txt"
ftp.GetFile folder
WScript.Echo "Downloaded readme.txt: " & fso.GetFile(fso.BuildPath(folder, "readme.txt")).Size & " bytes"

' 4. Upload a local file into the current directory.
Set file = fso.CreateTextFile(fso.BuildPath(folder, "notes.txt"))
file.Write "uploaded by WyFTPExample.vbs"
file.Close
ftp.PutFile fso.BuildPath(folder, "notes.txt")
WScript.Echo "Uploaded notes.txt: the server says " & ftp.GetFileSize("notes.txt") & " bytes"

' 5. Directories and names.
ftp.CreateDirectory "reports"
ftp.RenameFile "notes.txt", "reports/notes.txt"
ftp.RemoveFile "reports/notes.txt"
ftp.RemoveDirectory "reports"
WScript.Echo "Created reports, moved notes.txt into it, deleted both"

' 6. Errors: a failed call raises; Err.Number is the category (1000 system,
'    1001 server, 1002 the control's own, 1003 other), GetLastError and
'    GetErrorMessage tell the rest, in Japanese.
On Error Resume Next
ftp.SetCurrentDirectory "/no-such-directory"
WScript.Echo "Err.Number " & Err.Number & "; GetLastError " & ftp.GetLastError() & "; " & ftp.GetErrorMessage()
Err.Clear
ftp.DirUp
WScript.Echo "Err.Number " & Err.Number & "; GetLastError " & ftp.GetLastError() & "; " & ftp.GetErrorMessage()
On Error GoTo 0

ftp.DisConnect

' 7. The trace: each line a time, then a command or a reply; the password
'    is written as "PASS ****".
Set file = fso.OpenTextFile(ftp.TraceFile)
trace = file.ReadAll
file.Close
If InStr(trace, "USER " & args(1)) > 0 And InStr(trace, args(2)) = 0 Then
    WScript.Echo "The trace holds the login without the password"
End If
fso.DeleteFolder folder
WScript.Echo "Disconnected"
