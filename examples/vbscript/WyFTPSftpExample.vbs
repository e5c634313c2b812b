' WyFTP over SFTP from VBScript: the same calls as WyFTPExample.vbs, on an
' SSH server, with its host key pinned the way a person would pin it.
'
' Register the control first (regsvr32 WyFTP.ocx), then:
'     cscript //nologo WyFTPSftpExample.vbs <server> <user> <password> <port> [<private key file>]
' With a key file, the password is its passphrase. The server needs a file
' small.txt in its top directory and a directory pub the user may write in.
' What the script prints is in sftp-expected-output.txt.
Option Explicit

Dim ftp, folder, fso, file, entry, args, key
Set args = WScript.Arguments
If args.Count < 4 Then
    WScript.Echo "usage: cscript //nologo WyFTPSftpExample.vbs <server> <user> <password> <port> [<key file>]"
    WScript.Quit 2
End If

Set ftp = CreateObject("WyFTP.WyFTPCtrl.1")
Set fso = CreateObject("Scripting.FileSystemObject")
folder = fso.BuildPath(fso.GetSpecialFolder(2).Path, fso.GetTempName())
fso.CreateFolder folder
ftp.ConnectTarget = 2         ' WyFTPConnectTargetSFTP
ftp.ServerName = args(0)
ftp.UserName = args(1)
ftp.Password = args(2)
ftp.Port = CLng(args(3))      ' left at 21, it means SSH's own port 22
If args.Count > 4 Then ftp.PrivateKeyFile = args(4)
ftp.EnableProgressDialog = False

' 1. The host key. A script has no one to ask, so an unknown key is refused
'    (12045); the fingerprint it saw is in LastCertificateFingerprint. A
'    person compares it with what the server's administrator gave (ssh-keygen
'    -lf prints "SHA256:..."; CertificatePin takes that form too) and pins it.
On Error Resume Next
ftp.Connect
If Err.Number <> 0 Then
    key = ftp.LastCertificateFingerprint
    WScript.Echo "Unknown host key refused (" & ftp.GetLastError() & "), fingerprint of " & Len(key) & " hex digits"
    Err.Clear
    ftp.DisConnect            ' a failed Connect still needs its DisConnect
End If
On Error GoTo 0
ftp.CertificatePin = key
ftp.Connect
WScript.Echo "Connected over SFTP; the current directory is " & ftp.GetCurrentDirectory(0)

' 2. Everything else reads as it does over FTP.
For Each entry In ftp.GetFileList("/")
    If entry.Name = "small.txt" Then WScript.Echo "  small.txt  (" & entry.Size & " bytes)"
Next
ftp.SelectFile "small.txt"
ftp.GetFile folder
WScript.Echo "Downloaded small.txt: " & fso.GetFile(fso.BuildPath(folder, "small.txt")).Size & " bytes"

ftp.SetCurrentDirectory "/pub"
Set file = fso.CreateTextFile(fso.BuildPath(folder, "notes.txt"))
file.Write "uploaded by WyFTPSftpExample.vbs"
file.Close
ftp.PutFile fso.BuildPath(folder, "notes.txt")
WScript.Echo "Uploaded notes.txt: the server says " & ftp.GetFileSize("notes.txt") & " bytes"
ftp.RenameFile "notes.txt", "renamed.txt"
ftp.RemoveFile "renamed.txt"
WScript.Echo "Renamed and deleted it"

' 3. The server's refusals come with its reason.
On Error Resume Next
ftp.SetCurrentDirectory "/no-such-directory"
WScript.Echo "Err.Number " & Err.Number & "; GetLastError " & ftp.GetLastError() & "; " & ftp.GetErrorMessage()
On Error GoTo 0

ftp.DisConnect
fso.DeleteFolder folder
WScript.Echo "Disconnected"
