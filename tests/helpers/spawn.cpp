// Starts the launcher the way a shell would, with an exact command line:
// VELMORANT_EXE names the program, VELMORANT_CMDLINE the whole command line.
// Waits for it and exits with its exit code. Variables listed in
// VELMORANT_UNSET (separated by ";") are removed from the environment first,
// and each VELMORANT_SET_NAME=value sets NAME to value (PATH among them, which
// Wine would otherwise take from its own registry).
// Just before the start it puts the performance counter into VELMORANT_T0,
// which the started programs inherit; when VELMORANT_TIMES names a file, it
// appends that counter there too.
#include <windows.h>

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "helper_text.h"

int wmain() {
  std::wstring exe, commandLine, unset;
  if (!Variable(L"VELMORANT_EXE", exe)) return 90;
  if (!Variable(L"VELMORANT_CMDLINE", commandLine)) commandLine = L"\"" + exe + L"\"";
  if (Variable(L"VELMORANT_UNSET", unset)) {
    std::size_t begin = 0;
    while (begin <= unset.size()) {
      std::size_t end = unset.find(L';', begin);
      if (end == std::wstring::npos) end = unset.size();
      const std::wstring name = unset.substr(begin, end - begin);
      if (!name.empty()) SetEnvironmentVariableW(name.c_str(), nullptr);
      begin = end + 1;
    }
  }

  std::vector<std::pair<std::wstring, std::wstring>> settings;
  const std::wstring prefix = L"VELMORANT_SET_";
  wchar_t* block = GetEnvironmentStringsW();
  for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
    const std::wstring text = entry;
    const std::size_t equals = text.find(L'=', prefix.size());
    if (text.compare(0, prefix.size(), prefix) == 0 && equals != std::wstring::npos) {
      settings.emplace_back(text.substr(prefix.size(), equals - prefix.size()),
                            text.substr(equals + 1));
    }
  }
  FreeEnvironmentStringsW(block);
  for (const auto& [name, value] : settings) SetEnvironmentVariableW(name.c_str(), value.c_str());

  LARGE_INTEGER t0;
  QueryPerformanceCounter(&t0);
  SetEnvironmentVariableW(L"VELMORANT_T0", std::to_wstring(t0.QuadPart).c_str());

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 91;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 92;
  GetExitCodeProcess(process.hProcess, &code);
  std::wstring times;
  if (Variable(L"VELMORANT_TIMES", times) && !times.empty()) {
    AppendLine(times, "{\"t0\":" + std::to_string(t0.QuadPart) + "}");
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
