// The launcher's entry point: make DLL loading safe, build the real platform
// and run the start-up object.
// The launcher's headers come first, before the Windows headers' macros
// could rename their methods.
#include "launcher/Form1.h"
#include "platform/win32/Win32Platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

// Load DLLs from the system folder only, never from the launcher's or the
// current folder, where a planted DLL would otherwise be picked up. The
// function is looked up at run time so that Windows without it still starts.
void RestrictDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");  // drop the current folder from the search in any case
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictDllSearch();
  velmorant::Win32Platform platform;
  return velmorant::Form1::Run(platform);
}
