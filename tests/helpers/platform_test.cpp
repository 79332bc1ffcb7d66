// Tests of Win32Platform itself, run under Wine: the conversions and refusals
// that only the real Windows functions can show. Prints one line per failed
// case and "N passed, N failed"; the exit code is the number of failures.
#include "platform/win32/Win32Platform.h"

#include <windows.h>
// The platform's methods bear the names of the functions they wrap.
#undef GetEnvironmentVariable
#undef SetEnvironmentVariable

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int passed = 0;
int failed = 0;

void Expect(bool ok, const std::string& what) {
  if (ok) {
    ++passed;
  } else {
    ++failed;
    std::printf("FAILED: %s\n", what.c_str());
  }
}

using velmorant::Win32Platform;

// Java's launcher reads names in the ANSI code page (1252 under Wine with a
// UTF-8 locale): a name fits only when every character has a place of its
// own there.
void FitsAnsiCodePage() {
  const struct {
    const char* text;
    bool fits;
  } cases[] = {
      {"C:\\Program Files\\Velmorant", true},
      {"C:\\Caf\xC3\xA9 \xE2\x82\xAC", true},   // é and €, both in 1252
      {"C:\\\xD0\x96\xD1\x83\xD0\xBA", false},  // Cyrillic
      {"C:\\\xC5\x81\xC3\xB3\xC5\xBA", false},  // Łóź: best fit would give "Loz"
      {"", true},
  };
  for (const auto& c : cases) {
    Expect(Win32Platform::FitsAnsiCodePage(c.text) == c.fits,
           std::string("FitsAnsiCodePage ") + c.text);
  }
}

// A folder named outside the code page goes by a short name that fits it and
// names the same folder; a name that fits goes as it is.
void AnsiName(Win32Platform& platform) {
  const std::string folder = "C:\\Users\\Public\\\xD0\x96\xD1\x83\xD0\xBA platform test";
  const std::wstring wide = L"C:\\Users\\Public\\\x0416\x0443\x043A platform test";
  CreateDirectoryW(wide.c_str(), nullptr);
  const std::string name = platform.AnsiName(folder);
  Expect(!name.empty() && name != folder && Win32Platform::FitsAnsiCodePage(name),
         "AnsiName gives a short name: " + name);
  Expect(GetFileAttributesA(name.c_str()) == FILE_ATTRIBUTE_DIRECTORY,
         "the short name opens by its ANSI bytes: " + name);
  Expect(platform.AnsiName("C:\\Users\\Public") == "C:\\Users\\Public",
         "AnsiName of a name that fits");
  RemoveDirectoryW(wide.c_str());
}

// Values of every length Windows holds, read whole: PATH is often past 255
// characters, and its last entry may be the Java the launcher needs.
void EnvironmentValues(Win32Platform& platform) {
  const std::string cyrillic = "C:\\\xD0\x96\xD1\x83\xD0\xBA";
  for (const std::string& value :
       {std::string(255, 'a'), std::string(256, 'b'), std::string(1000, 'c'),
        std::string(32766, 'd'), cyrillic, std::string()}) {
    platform.SetEnvironmentVariable("VELMORANT_TEST", value);
    std::string read = "unset";
    Expect(platform.GetEnvironmentVariable("VELMORANT_TEST", read) && read == value,
           "a value of " + std::to_string(value.size()) + " bytes reads whole");
  }
  std::string untouched = "kept";
  Expect(!platform.GetEnvironmentVariable("VELMORANT_NEVER_SET", untouched) && untouched == "kept",
         "an unset variable reads as unset");
}

// What the trace may be written to: a plain file, created or emptied; never a
// folder, a device, a read-only file, a second hard link or a symbolic link,
// each of which is left as it was.
void TraceFiles() {
  const std::string dir = "C:\\Users\\Public\\trace-rows";
  CreateDirectoryA(dir.c_str(), nullptr);
  const auto write = [](const std::string& path, const char* text) {
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    CloseHandle(file);
  };
  const auto read = [](const std::string& path) {
    char text[64] = {};
    DWORD got = 0;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    ReadFile(file, text, sizeof text - 1, &got, nullptr);
    CloseHandle(file);
    return std::string(text, got);
  };
  write(dir + "\\victim.txt", "keep");
  write(dir + "\\old.txt", "old trace");
  write(dir + "\\readonly.txt", "keep");
  SetFileAttributesA((dir + "\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  CreateHardLinkA((dir + "\\hardlink.txt").c_str(), (dir + "\\victim.txt").c_str(), nullptr);
  // Wine 8 reports success and makes no link: the row is tried only where
  // the link is there.
  CreateSymbolicLinkA((dir + "\\symlink.txt").c_str(), (dir + "\\victim.txt").c_str(), 0);
  const DWORD linkAttributes = GetFileAttributesA((dir + "\\symlink.txt").c_str());
  const bool symlink = linkAttributes != INVALID_FILE_ATTRIBUTES &&
                       (linkAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  const struct {
    std::string path;
    bool written;
  } cases[] = {
      {dir + "\\new.txt", true},
      {dir + "\\old.txt", true},
      {dir, false},
      {"NUL", false},
      {dir + "\\readonly.txt", false},
      {dir + "\\hardlink.txt", false},
      {dir + "\\symlink.txt", false},
  };
  for (const auto& c : cases) {
    if (c.path.find("symlink") != std::string::npos && !symlink) continue;
    Win32Platform platform;  // one trace file per platform
    Expect(platform.CreateTraceFile(c.path) == c.written, "CreateTraceFile " + c.path);
    if (c.written) {
      platform.WriteTrace("trace");
    }
  }
  Expect(read(dir + "\\new.txt") == "trace" && read(dir + "\\old.txt") == "trace",
         "a plain file is emptied and written");
  Expect(read(dir + "\\victim.txt") == "keep" && read(dir + "\\readonly.txt") == "keep",
         "a linked or read-only file is left as it was");
  std::printf("symbolic link row: %s\n", symlink ? "tried" : "not made here");
}

}  // namespace

int main() {
  Win32Platform platform;
  FitsAnsiCodePage();
  AnsiName(platform);
  EnvironmentValues(platform);
  TraceFiles();
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed;
}
