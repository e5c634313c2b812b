' The control from a script host: the values a script reads and the error a method raises.
' The C++ tests check each property, method and error; here only what VBScript makes of them.
Dim c
Set c = CreateObject("WyFTP.WyFTPCtrl.1")

' Values compare directly: Boolean, Long (a system colour is a negative
' Long), String; Japanese text written by the script comes back as written.
CheckEqual True, c.VisibleTree, "VisibleTree default"
CheckEqual 1024, c.TransferByte, "TransferByte default"
CheckEqual &H80000005, c.BackColor, "BackColor default"
CheckEqual "anonymous", c.UserName, "UserName default"
c.UserName = "ユーザー"
CheckEqual "ユーザー", c.UserName, "Japanese UserName"

' The control's own error reaches a script as Err.Number 1002 (the low word
' of 0x800A03EA) with its category as the description.
On Error Resume Next
c.DirUp
CheckEqual 1002, Err.Number, "DirUp without a connection: error number"
CheckEqual "WYFTPエラー", Err.Description, "DirUp without a connection: description"
On Error GoTo 0
CheckEqual 20104, c.GetLastError(), "GetLastError"
CheckEqual "WyFTPエラー：必要なコネクションオブジェクトが存在しません", c.GetErrorMessage(), "GetErrorMessage"

Finish
