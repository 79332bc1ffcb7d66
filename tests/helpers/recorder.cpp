// Stands in for the application: appends one JSON line to the file named by
// VELMORANT_RECORD with what it received from the launcher. Every text is
// read with the wide functions, so nothing is lost to a code page.
//
// It also reads its command line as Java's own launcher does, in the ANSI
// code page, and records whether the archive named after "-jar" and its own
// program, named first (from which Java finds its installation), open by the
// names read that way: a name outside the code page arrives with "?" in it.
#include <windows.h>

#include <string>

#include "helper_text.h"

namespace {

std::string Field(const char* key, const wchar_t* variable) {
  std::wstring value;
  const bool set = Variable(variable, value);
  return std::string("\"") + key + "\":" + (set ? Json(Utf8(value)) : "null");
}

// Whether a file opens for reading by this ANSI name.
bool Opens(const char* name) {
  const HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// The words of an ANSI command line, split as Java's launcher splits it
// (quotes removed, no backslash escapes in paths): the first, and the one
// after "-jar".
void Words(const char* line, std::string& program, std::string& archive) {
  std::string previous, word;
  bool quoted = false, any = false, first = true;
  for (const char* c = line;; ++c) {
    if (*c == '\0' || (!quoted && (*c == ' ' || *c == '\t'))) {
      if (any) {
        if (first) program = word;
        if (previous == "-jar") archive = word;
        previous = word;
        first = false;
      }
      word.clear();
      any = false;
      if (*c == '\0') return;
    } else if (*c == '"') {
      quoted = !quoted;
      any = true;
    } else {
      word += *c;
      any = true;
    }
  }
}

}  // namespace

int wmain() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);  // first thing: the moment the program runs
  QueryPerformanceFrequency(&frequency);
  std::wstring record;
  if (!Variable(L"VELMORANT_RECORD", record) || record.empty()) return 2;

  wchar_t cwd[32768];
  const DWORD cwdLength = GetCurrentDirectoryW(32768, cwd);

  std::string line = "{";
  line += "\"commandLine\":" + Json(Utf8(GetCommandLineW())) + ",";
  line += "\"cwd\":" + Json(Utf8(std::wstring(cwd, cwdLength))) + ",";
  line += Field("filetouse", L"filetouse") + ",";
  line += Field("directory", L"directory") + ",";
  line += Field("PATH", L"PATH") + ",";
  // PATH by its long name, whichever name it was handed by.
  std::wstring path;
  Variable(L"PATH", path);
  wchar_t longPath[32768];
  const DWORD longLength = GetLongPathNameW(path.c_str(), longPath, 32768);
  line +=
      "\"longPATH\":" + Json(Utf8(std::wstring(longPath, longLength < 32768 ? longLength : 0))) +
      ",";
  std::string program, archive;
  Words(GetCommandLineA(), program, archive);
  line += "\"archiveOpens\":" +
          std::string(archive.empty()          ? "null"
                      : Opens(archive.c_str()) ? "true"
                                               : "false") +
          ",";
  line += std::string("\"selfOpens\":") + (Opens(program.c_str()) ? "true" : "false") + ",";
  line += "\"bits\":" + std::to_string(sizeof(void*) * 8) + ",";  // the recorder's own width
  line += Field("t0", L"VELMORANT_T0") + ",";
  line += "\"t1\":" + std::to_string(now.QuadPart) + ",";
  line += "\"frequency\":" + std::to_string(frequency.QuadPart);
  line += "}";
  AppendLine(record, line);
  return 0;
}
