// The benchmark's floor: a program that does the least the launcher must do.
//   floor.exe start      start "openFile.bat" beside it, the way the launcher
//                        does, and end
//   floor.exe enumerate  enumerate every subkey of the key that the launcher
//                        scans, then start "openFile.bat" and end: what the
//                        search itself must do with many subkeys
//   floor.exe archive    start "Velmorant.jar" beside it instead, and end
//   floor.exe window     show an empty window captioned like the launcher's
//                        failure window, until it is closed
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int ShowWindowUntilClosed() {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = Proc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"VelmorantFloor";
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowW(
      L"VelmorantFloor", L"Java Kestrelwick", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
      CW_USEDEFAULT, CW_USEDEFAULT, 312, 108, nullptr, nullptr, windowClass.hInstance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

void EnumerateRuntimeVersions() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\JavaSoft\\Java Runtime Environment\\", 0,
                    KEY_READ, &key) != ERROR_SUCCESS) {
    return;
  }
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
  }
  RegCloseKey(key);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  const std::wstring mode = commandLine;
  if (mode.find(L"window") != std::wstring::npos) return ShowWindowUntilClosed();
  if (mode.find(L"enumerate") != std::wstring::npos) EnumerateRuntimeVersions();
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring batch(path, length);
  const bool archive = mode.find(L"archive") != std::wstring::npos;
  batch = batch.substr(0, batch.rfind(L'\\')) + (archive ? L"\\Velmorant.jar" : L"\\openFile.bat");
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpFile = batch.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) ? 0 : 1;
}
