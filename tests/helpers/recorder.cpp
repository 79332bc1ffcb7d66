// Stands in for the application: appends one JSON line to the file named by
// VELMORANT_RECORD with what it received from the launcher. Every text is
// read with the wide functions, so nothing is lost to a code page.
#include <windows.h>

#include <string>

#include "helper_text.h"

namespace {

std::string Field(const char* key, const wchar_t* variable) {
  std::wstring value;
  const bool set = Variable(variable, value);
  return std::string("\"") + key + "\":" + (set ? Json(Utf8(value)) : "null");
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
  line += Field("t0", L"VELMORANT_T0") + ",";
  line += "\"t1\":" + std::to_string(now.QuadPart) + ",";
  line += "\"frequency\":" + std::to_string(frequency.QuadPart);
  line += "}";
  AppendLine(record, line);
  return 0;
}
