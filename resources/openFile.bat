@echo off
rem Starts Velmorant with the Java runtime that Velmorant.exe found. The
rem launcher sets PATH to that runtime's program folder alone, "directory"
rem to its own folder and "filetouse" to the document to open, which the
rem application reads from its environment.
setlocal EnableExtensions DisableDelayedExpansion

rem Values are used only inside double quotes, where & ^ ( ) ! and % are
rem plain characters, so a value must hold no quote of its own: the two
rem copies below, its quotes removed and its quotes replaced, then differ.
set "VELMORANT_BIN=%PATH:"=%"
set "VELMORANT_CHECK=%PATH:"=?%"
if not "%VELMORANT_BIN%"=="%VELMORANT_CHECK%" exit /b 1

rem Only an absolute folder: a relative one would name a folder below the
rem current one, where any program may lie. javaw.exe is named by its full
rem path, so it is never looked for in the current folder either.
if not "%VELMORANT_BIN:~1,2%"==":\" if not "%VELMORANT_BIN:~0,2%"=="\\" exit /b 1

rem Java reads its command line in the ANSI code page, where a folder named
rem in another script would reach it as "?": the archive goes by its short
rem (8.3) name, which is plain ASCII, or by its own where it has none. The
rem launcher has put the runtime's folder on PATH by such a name already.
set "VELMORANT_JAR=%directory%\Velmorant.jar"
for %%I in ("%VELMORANT_JAR%") do set "VELMORANT_JAR=%%~sI"

rem start returns at once, so that no console window stays open.
start "" "%VELMORANT_BIN%\javaw.exe" -jar "%VELMORANT_JAR%"
