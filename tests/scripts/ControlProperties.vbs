' The control from a script host: defaults, setter rules and the errors of methods without a connection.
Dim c
Set c = CreateObject("WyFTP.WyFTPCtrl.1")

' Defaults
CheckEqual True, c.EnableProgressDialog, "EnableProgressDialog default"
CheckEqual "", c.ServerName, "ServerName default"
CheckEqual True, c.VisibleTree, "VisibleTree default"
CheckEqual "anonymous", c.UserName, "UserName default"
CheckEqual "", c.Password, "Password default"
CheckEqual 1, c.ConnectTarget, "ConnectTarget default"
CheckEqual "/", c.DownloadDirectory, "DownloadDirectory default"
CheckEqual "/", c.ConnectDirectory, "ConnectDirectory default"
CheckEqual 1024, c.TransferByte, "TransferByte default"
CheckEqual 1, c.ListViewMode, "ListViewMode default"
CheckEqual 100, c.TreeViewWidth, "TreeViewWidth default"
CheckEqual 100, c.ShowProgressDialog, "ShowProgressDialog default"
CheckEqual &H80000005, c.BackColor, "BackColor default"
CheckEqual &H80000008, c.ForeColor, "ForeColor default"
CheckEqual 0, c.GetLastError(), "GetLastError before any error"
CheckEqual "", c.GetErrorMessage(), "GetErrorMessage before any error"

' Setter rules
c.ServerName = "ftp://ftp.example.jp/"
CheckEqual "ftp.example.jp", c.ServerName, "ServerName loses scheme and final slash"
c.ServerName = "host/pub/"
CheckEqual "host/pub", c.ServerName, "ServerName loses only the final slash"
c.ServerName = "/"
CheckEqual "", c.ServerName, "ServerName of a lone slash"
c.TransferByte = 0
c.TransferByte = -3
CheckEqual 1024, c.TransferByte, "TransferByte below 1 ignored"
c.ShowProgressDialog = 0
CheckEqual 100, c.ShowProgressDialog, "ShowProgressDialog below 1 ignored"
c.TreeViewWidth = -1
CheckEqual 100, c.TreeViewWidth, "TreeViewWidth negative ignored"
c.TreeViewWidth = 0
CheckEqual 0, c.TreeViewWidth, "TreeViewWidth 0 accepted"
c.ConnectTarget = 5
CheckEqual 5, c.ConnectTarget, "ConnectTarget stored unchecked"
c.UserName = "ユーザー"
CheckEqual "ユーザー", c.UserName, "Japanese UserName"
c.VisibleTree = False
CheckEqual False, c.VisibleTree, "VisibleTree hidden"
c.ListViewMode = 3
CheckEqual 3, c.ListViewMode, "ListViewMode"

' Connect with an unknown target
On Error Resume Next
c.Connect
CheckEqual 1002, Err.Number, "Connect with target 5 raises 0x800A03EA"
CheckEqual "WYFTPエラー", Err.Description, "Connect error description"
Err.Clear
On Error GoTo 0
CheckEqual 20002, c.GetLastError(), "Connect with target 5 records 20002"
CheckEqual "WyFTPエラー：必要なオブジェクトの生成に失敗しました", c.GetErrorMessage(), "20002 message"

' Every method that needs a connection raises 0x800A03EA (1002 to a script)
' and records 20104.
Sub ExpectNotConnected(what)
    CheckEqual 1002, Err.Number, what & ": error number"
    CheckEqual "WYFTPエラー", Err.Description, what & ": description"
    Err.Clear
    CheckEqual 20104, c.GetLastError(), what & ": GetLastError"
    CheckEqual "WyFTPエラー：必要なコネクションオブジェクトが存在しません", c.GetErrorMessage(), what & ": GetErrorMessage"
End Sub

Dim x
On Error Resume Next
c.DisConnect : ExpectNotConnected "DisConnect"
c.RemoveDirectory "d" : ExpectNotConnected "RemoveDirectory"
c.CreateDirectory "d" : ExpectNotConnected "CreateDirectory"
c.RemoveFile "f" : ExpectNotConnected "RemoveFile"
x = c.GetFileSize("f") : ExpectNotConnected "GetFileSize"
c.AbortTransfer : ExpectNotConnected "AbortTransfer"
c.RenameFile "a", "b" : ExpectNotConnected "RenameFile"
c.GetFile : ExpectNotConnected "GetFile without a directory"
c.GetFile "C:\dl" : ExpectNotConnected "GetFile"
c.PutFile "C:\a.txt" : ExpectNotConnected "PutFile"
c.SetCurrentDirectory "/pub" : ExpectNotConnected "SetCurrentDirectory"
x = c.GetCurrentDirectory(0) : ExpectNotConnected "GetCurrentDirectory"
c.SelectFile "a" : ExpectNotConnected "SelectFile"
c.SortListItem 0, 1 : ExpectNotConnected "SortListItem"
x = c.GetCurrentFile(1) : ExpectNotConnected "GetCurrentFile"
c.DirUp : ExpectNotConnected "DirUp"
c.Refresh : ExpectNotConnected "Refresh"
Set x = c.GetFileList("/") : ExpectNotConnected "GetFileList"
c.ClearSelectedFile "" : ExpectNotConnected "ClearSelectedFile"
On Error GoTo 0

Finish
