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

#include <cstddef>

// The static constructors, as the linker lists them: a count or -1 first,
// then the functions, then a null.
extern "C" void (*__CTOR_LIST__[])();

namespace {

// Runs the static constructors, last listed first, as GCC's own start-up
// code does. None is registered for the end: the process ends with
// ExitProcess and keeps nothing to write back.
void RunStaticConstructors() {
  std::size_t count = 0;
  while (__CTOR_LIST__[count + 1] != nullptr) ++count;
  while (count > 0) __CTOR_LIST__[count--]();
}

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

// The load configuration. Windows 10 1607 and later take its
// DependentLoadFlags as the search for the DLLs that the program imports and
// the DLLs that those import, which the loader resolves before
// RestrictDllSearch can run: the system folder alone, so that a DLL lying
// beside the launcher in a Downloads folder is never loaded. The structure
// ends before the SafeSEH table, and it names no security cookie.
constexpr IMAGE_LOAD_CONFIG_DIRECTORY LoadConfiguration() {
  IMAGE_LOAD_CONFIG_DIRECTORY configuration{};
  configuration.Size = offsetof(IMAGE_LOAD_CONFIG_DIRECTORY, SEHandlerTable);
  configuration.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;  // DependentLoadFlags
  return configuration;
}

}  // namespace

// Found by its name, as the linker of the platform's own SDK finds it. GNU ld
// does not fill the directory entry from it, so the build does after the
// link (cmake/set_load_config.py).
extern "C" const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = LoadConfiguration();

// Windows starts the program here, not in the C runtime's start-up code: the
// launcher uses nothing of what that prepares (argc and argv, thread-local
// storage, the runtime's own heap and floating-point set-up, exit-time
// handlers); it asks Windows for its command line itself. The C library that
// it calls (memory, string copies) is msvcrt.dll, which readies itself.
//
// So the program must not use what only that start-up code makes work, and
// tests/static/check_program.py fails the build when it does:
// - no thread_local or __thread variable (no TLS directory, no emulated TLS);
// - no function-local static and no global with a destructor: either
//   registers an exit handler (atexit) in state nobody prepared;
// - no data imported from a DLL without dllimport, which the linker reaches
//   through pseudo-relocations that nothing here would apply;
// - from msvcrt.dll only functions that keep no state of the runtime's
//   (memory, mem* and string lengths).
//
// Windows promises only 4-byte stack alignment at a 32-bit entry point, and
// the compiler assumes 16 in every function: the entry point realigns the
// stack, so that SSE code anywhere below it cannot fault on an unaligned
// access.
extern "C" __attribute__((force_align_arg_pointer)) void VelmorantStart() {
  RunStaticConstructors();
  RestrictDllSearch();
  int exitCode = 0;
  {
    velmorant::Win32Platform platform;
    exitCode = velmorant::Form1::Run(platform);
  }
  ExitProcess(static_cast<UINT>(exitCode));
}
