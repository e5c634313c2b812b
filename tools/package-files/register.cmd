@rem Registers WyFTP.ocx for every architecture this Windows runs: x64 and x86 on 64-bit Windows, x86 on 32-bit.
@echo off
rem Each architecture is registered with its own regsvr32.
rem Run it from an elevated command prompt; unregister.cmd undoes it.
rem Each architecture is tried whatever became of the other, and each result is
rem printed. Exit code: 0 when every one succeeded, otherwise the sum of
rem 1 (x86 failed) and 2 (x64 failed).
setlocal
set "action=registered"
set "switch="
if /i "%~1"=="/u" set "action=unregistered"
if /i "%~1"=="/u" set "switch=/u"
set "here=%~dp0"
set "failures=0"
set "refused="

rem 64-bit Windows: a 64-bit command prompt says AMD64; a 32-bit one on 64-bit
rem Windows has PROCESSOR_ARCHITEW6432, sees SysWOW64 in place of System32 and
rem reaches the 64-bit folder as Sysnative.
set "regsvr64=%SystemRoot%\System32\regsvr32.exe"
if defined PROCESSOR_ARCHITEW6432 set "regsvr64=%SystemRoot%\Sysnative\regsvr32.exe"
if defined PROCESSOR_ARCHITEW6432 goto windows64
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" goto windows64
call :regsvr32 x86 "%SystemRoot%\System32\regsvr32.exe" 1
goto done

:windows64
call :regsvr32 x64 "%regsvr64%" 2
rem The 32-bit regsvr32 lives in SysWOW64; a Windows without its 32-bit
rem subsystem has none, which fails the x86 half alone.
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" goto wow64
echo x86: FAILED, this Windows runs no 32-bit programs ^(no %SystemRoot%\SysWOW64\regsvr32.exe^)
set /a "failures=failures+1"
goto done
:wow64
call :regsvr32 x86 "%SystemRoot%\SysWOW64\regsvr32.exe" 1
goto done

rem :regsvr32 <architecture> <its regsvr32> <its failure's value in the exit code>
:regsvr32
"%~2" /s %switch% "%here%%~1\WyFTP.ocx"
set "result=%errorlevel%"
if "%result%"=="0" goto succeeded
echo %~1: FAILED, regsvr32 exit code %result% ^(%~2^)
set /a "failures=failures+%~3"
if "%result%"=="5" set "refused=yes"
exit /b
:succeeded
echo %~1: %action% %here%%~1\WyFTP.ocx
exit /b

:done
rem regsvr32 fails (exit code 5) where the registry refuses the change, as it
rem does without administrator rights.
if defined refused echo regsvr32 needs an elevated command prompt ^(Run as administrator^) to change the registry.
endlocal & exit /b %failures%
