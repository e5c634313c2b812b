' Shared checks for the script-host tests. The build puts this text in front
' of every test script (Wine's VBScript has no ExecuteGlobal to include it).
' Only ASCII is written to the output: Wine's cscript can crash at exit after
' echoing some long Japanese texts, so texts are compared here, not printed.
Dim failures
failures = 0

Sub Check(condition, what)
    If Not condition Then
        failures = failures + 1
        WScript.Echo "FAIL: " & what
    End If
End Sub

Sub CheckEqual(expected, actual, what)
    If expected <> actual Then
        failures = failures + 1
        WScript.Echo "FAIL: " & what & " (got " & Printable(CStr(actual)) & ", expected " & Printable(CStr(expected)) & ")"
    End If
End Sub

' Characters beyond ASCII as <XXXX> (their Shift-JIS code), so any value can be
' shown safely. (Wine's VBScript has Asc but no AscW.)
Function Printable(text)
    Dim i, c, result
    result = ""
    For i = 1 To Len(text)
        c = Asc(Mid(text, i, 1))
        If c >= 32 And c < 128 Then
            result = result & Mid(text, i, 1)
        Else
            result = result & "<" & Hex(c) & ">"
        End If
    Next
    Printable = result
End Function

Sub Finish()
    If failures = 0 Then WScript.Echo "PASS"
    WScript.Quit failures
End Sub
