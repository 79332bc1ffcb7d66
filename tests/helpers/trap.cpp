// A program that must never run: placed where an unquoted path with spaces
// would be split (C:\Program.exe and the like). It notes that it ran.
#include <windows.h>

#include "helper_text.h"

int wmain() {
  AppendLine(L"C:\\trap-ran.txt", Json(Utf8(GetCommandLineW())));
  return 0;
}
