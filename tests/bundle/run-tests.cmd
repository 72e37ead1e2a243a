@echo off
rem Runs every test program of this bundle with a time bound; JUnit reports go to results\.
rem Ends with "N passed, M failed" and a non-zero exit status on any failure.
setlocal
cd /d "%~dp0"
brelmont_test_runner.exe tests.txt results
exit /b %ERRORLEVEL%
