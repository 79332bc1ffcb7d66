// Tests of Win32Platform itself, run under Wine: the conversions and refusals
// that only the real Windows functions can show. Prints one line per failed
// case and "N passed, N failed"; the exit code is the number of failures.
#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include <cstdio>
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
      {"C:\\Caf\xC3\xA9 \xE2\x82\xAC", true},                 // é and €, both in 1252
      {"C:\\\xD0\x96\xD1\x83\xD0\xBA", false},                // Cyrillic
      {"C:\\\xC5\x81\xC3\xB3\xC5\xBA", false},                // Łóź: best fit would give "Loz"
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
  Expect(platform.AnsiName("C:\\Users\\Public") == "C:\\Users\\Public", "AnsiName of a name that fits");
  RemoveDirectoryW(wide.c_str());
}

}  // namespace

int main() {
  Win32Platform platform;
  FitsAnsiCodePage();
  AnsiName(platform);
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed;
}
