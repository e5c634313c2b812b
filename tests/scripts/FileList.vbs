' GetFileList from a script host: For Each visits the entries in index order; Item by number and by numeric text.
' With an argument, the address of an FTP server, the list is that server's /list, which the caller filled
' with a.txt (1 byte), b.txt (2 bytes), c.txt (3 bytes) and the directory sub. Without one the script makes
' the same entries in a fresh directory on the local disk and lists it through the local store.
Dim c, fso, folder, directory, expected, files, n
Set c = CreateObject("WyFTP.WyFTPCtrl.1")

If WScript.Arguments.Count > 0 Then
    c.ServerName = WScript.Arguments(0)
    c.Connect
    directory = "/list"
    expected = Array("a.txt", "b.txt", "c.txt", "sub")
Else
    Dim k, stream
    Set fso = CreateObject("Scripting.FileSystemObject")
    folder = fso.GetSpecialFolder(2).Path & "\wyftp-" & fso.GetTempName()
    fso.CreateFolder folder
    For k = 1 To 3
        Set stream = fso.CreateTextFile(folder & "\" & Chr(Asc("a") + k - 1) & ".txt")
        stream.Write String(k, "x")
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
n = files.Count
CheckEqual UBound(expected) + 1, n, "Count"

' For Each hands out the entries in index order, the very objects Item gives.
Dim f, i
i = 0
For Each f In files
    If i < n Then
        Check f Is files.Item(i), "For Each entry " & i & " is Item(" & i & ")"
        CheckEqual files.Item(i).Name, f.Name, "name of For Each entry " & i
    End If
    i = i + 1
Next
CheckEqual n, i, "For Each visits every entry once"

' Every expected entry once, with its type and size.
Dim name, found
For Each name In expected
    found = 0
    For Each f In files
        If f.Name = name Then
            found = found + 1
            If name = "sub" Or name = "." Or name = ".." Then
                CheckEqual 0, f.Type, "Type of " & name
            Else
                CheckEqual 1, f.Type, "Type of " & name
                CheckEqual Asc(name) - Asc("a") + 1, f.Size, "Size of " & name
            End If
            CheckEqual "Date", TypeName(f.LastWriteTime), "LastWriteTime of " & name
        End If
    Next
    CheckEqual 1, found, "entries named " & name
Next

' Item by number and by numeric text.
Check files.Item(0) Is files.Item("0"), "Item(0) and Item(""0"")"
Check files.Item(n - 1) Is files.Item(CStr(n - 1)), "Item(Count - 1) by number and by text"
CheckEqual files.Item(1).Name, files.Item("1").Name, "name of Item(1) and Item(""1"")"
Check files.Item(n) Is Nothing, "Item(Count)"
Check files.Item(-1) Is Nothing, "Item(-1)"
Check files.Item("x") Is Nothing, "Item(""x"")"

c.DisConnect
If WScript.Arguments.Count = 0 Then fso.DeleteFolder folder, True
Finish
