' Lists the top directory of an FTP server through the registered control, one entry per line: name, type, size.
' The package test runs it when the package has no VBScript example of its own that lists a directory.
' Usage: cscript //nologo ListFiles.vbs <server>
' Exit code 0 when the listing was printed, 1 when a step failed (Wine's cscript ends a script that stops on
' an error with 0, so every step is checked here). Only ASCII is printed: Wine's cscript may crash after
' echoing Japanese text.
Option Explicit
Dim control, files, file
If WScript.Arguments.Count < 1 Then
    WScript.Echo "usage: cscript //nologo ListFiles.vbs <server>"
    WScript.Quit 2
End If

On Error Resume Next
Set control = CreateObject("WyFTP.WyFTPCtrl.1")
Require "CreateObject(""WyFTP.WyFTPCtrl.1"")"
control.ServerName = WScript.Arguments(0)
control.Connect
Require "Connect"
Set files = control.GetFileList("/")
Require "GetFileList"
For Each file In files
    WScript.Echo file.Name & vbTab & file.Type & vbTab & file.Size
Next
Require "For Each over the listing"
control.DisConnect
Require "DisConnect"
WScript.Quit 0

' Ends the script when the step before failed, with the error's number and the control's own.
Sub Require(that)
    If Err.Number <> 0 Then
        Dim number, lastError
        number = Err.Number
        lastError = ""
        If IsObject(control) Then lastError = ", GetLastError " & control.GetLastError()
        WScript.Echo "FAILED: " & that & ": error " & number & " (0x" & Hex(number) & ")" & lastError
        WScript.Quit 1
    End If
End Sub
