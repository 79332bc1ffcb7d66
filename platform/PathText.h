// Text rules of Windows that the Win32 platform applies, kept free of Windows
// headers so that tests on any host can reach them.
#pragma once

#include <cstdint>
#include <string_view>

namespace velmorant {

// The part of a command line after the program's own name and the spaces and
// tabs that follow it. The name is quoted or not by the rule Windows uses for
// the first word: from an opening quote to the next quote, otherwise up to
// the first space or tab. The rest is given exactly as it stands.
std::string_view ArgumentsAfterProgramName(std::string_view commandLine);

// The folder of a file's full path, without a trailing backslash: everything
// before the last backslash. For a file at the root of a drive that is the
// drive alone ("C:"), so that folder + "\" + name names the file again.
std::string_view FolderOf(std::string_view path);

// The program of a command as a file association stores it: the first
// word, from an opening quote to the next quote, otherwise up to the first
// space or tab: C:\Java\bin\javaw.exe for "C:\Java\bin\javaw.exe" -jar "%1".
std::string_view ProgramOfCommand(std::string_view command);

// Whether `program`, a full path as a file association gives it, names a
// Java runtime's own launcher: its file name is "javaw.exe" or "java.exe",
// compared without regard to case. "notjavaw.exe" or "javaw.exe.bak" is no
// Java, and neither is the empty text.
bool IsJavaLauncher(std::string_view program);

// Whether an association's command hands the document to Java as an
// archive: among the arguments after the program, a "-jar" followed directly
// by the argument that holds "%1" or "%L", quoted or not. Options before
// "-jar" are fine. Without it Java reads the archive's path as a class name.
bool PassesDocumentAfterJar(std::string_view command);

// Whether a reparse point with this tag stands in for another file or
// folder (a symbolic link, a junction or mount point, a WSL link): a "name
// surrogate". The placeholders of a cloud client (OneDrive keeps Desktop and
// Documents as such) and deduplicated files are the file itself.
bool IsLinkReparseTag(std::uint32_t tag);

// Whether `c` separates the folders of a path: a backslash, or a slash,
// which Windows takes too.
bool IsPathSeparator(char c);

// Whether `path` is absolute: a drive letter, a colon and a backslash (or a
// slash), or a UNC path ("\\server\share", "\\?\C:\..."). Anything else
// is read relative to the current folder or drive.
bool IsAbsolutePath(std::string_view path);

}  // namespace velmorant
