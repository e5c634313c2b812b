' GetFileList from a script host: For Each visits the entries in index order, the very objects Item gives.
' With an argument, the address of an FTP server, the list is that server's /list, which the caller filled
' with a.txt, b.txt, c.txt and the directory sub. Without one the script makes the same entries in a fresh
' directory on the local disk and lists it through the local store.
Dim c, fso, folder, stream, directory, expected, files, f, i, names, name
Set c = CreateObject("WyFTP.WyFTPCtrl.1")

If WScript.Arguments.Count > 0 Then
    c.ServerName = WScript.Arguments(0)
    c.Connect
    directory = "/list"
    expected = Array("a.txt", "b.txt", "c.txt", "sub")
Else
    Set fso = CreateObject("Scripting.FileSystemObject")
    folder = fso.GetSpecialFolder(2).Path & "\wyftp-" & fso.GetTempName()
    fso.CreateFolder folder
    For Each name In Array("a.txt", "b.txt", "c.txt")
        Set stream = fso.CreateTextFile(folder & "\" & name)
        stream.Close
    Next
    fso.CreateFolder folder & "\sub"
    c.ConnectTarget = 0
    c.ServerName = fso.GetDriveName(folder)
    c.Connect
    directory = Replace(Mid(folder, Len(fso.GetDriveName(folder)) + 1), "\", "/")
    ' A subdirectory of a drive lists "." and ".." too.
    expected = Array(".", "..", "a.txt", "b.txt", "c.txt", "sub")
End If

Set files = c.GetFileList(directory)
CheckEqual UBound(expected) + 1, files.Count, "Count"
i = 0
names = "|"
For Each f In files
    Check f Is files.Item(i), "For Each entry " & i & " is Item(" & i & ")"
    names = names & f.Name & "|"
    i = i + 1
Next
CheckEqual files.Count, i, "For Each visits every entry once"
' As many entries as expected names, and each name among them: each once.
For Each name In expected
    Check InStr(names, "|" & name & "|") > 0, "an entry named " & name
Next

c.DisConnect
If WScript.Arguments.Count = 0 Then fso.DeleteFolder folder, True
Finish
