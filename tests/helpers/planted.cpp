// A DLL planted where the launcher must never load one from: beside it and in
// the current folder, under the name of a system DLL that Windows or the
// shell loads late. Loaded, it notes which program loaded it and from where.
#include <windows.h>

#include "helper_text.h"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t program[MAX_PATH], dll[MAX_PATH];
    const DWORD programLength = GetModuleFileNameW(nullptr, program, MAX_PATH);
    const DWORD dllLength = GetModuleFileNameW(self, dll, MAX_PATH);
    AppendLine(L"C:\\planted-loaded.txt",
               "{\"program\":" + Json(Utf8(std::wstring(program, programLength))) +
                   ",\"dll\":" + Json(Utf8(std::wstring(dll, dllLength))) + "}");
  }
  return TRUE;
}
