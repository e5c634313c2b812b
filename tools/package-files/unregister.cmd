@rem Unregisters WyFTP.ocx for every architecture register.cmd registers.
@echo off
rem The same output and exit code as register.cmd (0, or 1 x86 failed + 2 x64 failed).
call "%~dp0register.cmd" /u
exit /b %errorlevel%
