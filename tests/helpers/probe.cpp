// Inspects the launcher's failure window from outside, as a user's tools see
// it, and writes what it found as one JSON object.
//
//   probe.exe OUT inspect TIMEOUT_MS [syscommand]
//                                      wait for the window to be visible,
//                                      describe it, press Enter and Esc in it,
//                                      close it (WM_CLOSE, or the Close
//                                      command that Alt+F4 and the system menu
//                                      send) and report whether it ended
//   probe.exe OUT watch DURATION_MS    report whether the window was ever
//                                      visible during the time given
//   probe.exe OUT resources EXE        describe the program's icon group and
//                                      version block
#include <windows.h>
#include <psapi.h>

#include <string>
#include <vector>

#include "helper_text.h"

namespace {

constexpr wchar_t kCaption[] = L"Java Kestrelwick";

HWND FindVisible() {
  const HWND window = FindWindowW(nullptr, kCaption);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

std::string Bool(bool value) { return value ? "true" : "false"; }

std::string Text(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return Utf8(text);
}

std::string ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return Utf8(name);
}

std::string Describe(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  const LONG style = GetWindowLongW(window, GWL_STYLE);

  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(thread, &gui);

  std::string controls = "[";
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    const LONG childStyle = GetWindowLongW(child, GWL_STYLE);
    if (controls.size() > 1) controls += ",";
    controls += "{\"class\":" + Json(ClassOf(child)) + ",\"left\":" + std::to_string(rect.left) +
                ",\"top\":" + std::to_string(rect.top) +
                ",\"width\":" + std::to_string(rect.right - rect.left) +
                ",\"height\":" + std::to_string(rect.bottom - rect.top) +
                ",\"visible\":" + Bool(childStyle & WS_VISIBLE) +
                ",\"enabled\":" + Bool(IsWindowEnabled(child)) +
                ",\"style\":" + std::to_string(childStyle) +
                ",\"focused\":" + Bool(gui.hwndFocus == child) + ",\"text\":" + Json(Text(child)) +
                "}";
  }
  controls += "]";

  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  return "\"dpi\":" + std::to_string(dpi) + ",\"clientWidth\":" + std::to_string(client.right) +
         ",\"clientHeight\":" + std::to_string(client.bottom) +
         ",\"style\":" + std::to_string(style) +
         ",\"exStyle\":" + std::to_string(GetWindowLongW(window, GWL_EXSTYLE)) +
         ",\"caption\":" + Json(Text(window)) + ",\"active\":" + Bool(gui.hwndActive == window) +
         ",\"controls\":" + controls;
}

// Presses a key in the window's focused control.
void Press(HWND window, UINT key) {
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(thread, &gui);
  const HWND target = gui.hwndFocus != nullptr ? gui.hwndFocus : window;
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

std::string Inspect(DWORD timeout, bool bySysCommand) {
  HWND window = nullptr;
  const DWORD start = GetTickCount();
  while ((window = FindVisible()) == nullptr) {
    if (GetTickCount() - start > timeout) return "{\"found\":false}";
    Sleep(1);
  }
  LARGE_INTEGER seen, frequency;
  QueryPerformanceCounter(&seen);
  QueryPerformanceFrequency(&frequency);
  Sleep(300);  // let the window finish its first paint and take the focus
  const std::string description = Describe(window);

  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  const HANDLE process =
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  if (process != nullptr) GetProcessMemoryInfo(process, &memory, sizeof memory);
  // Enter and Esc must do nothing: no default or cancel button closes it.
  Press(window, VK_RETURN);
  Press(window, VK_ESCAPE);
  Sleep(300);
  const bool survivesKeys = IsWindow(window) && IsWindowVisible(window);

  if (bySysCommand) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else {
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  bool ended = false;
  DWORD code = 0;
  if (process != nullptr) {
    ended = WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
  }
  return "{\"found\":true,\"peakWorkingSet\":" + std::to_string(memory.PeakWorkingSetSize) +
         ",\"seenAt\":" + std::to_string(seen.QuadPart) +
         ",\"frequency\":" + std::to_string(frequency.QuadPart) + "," + description +
         ",\"survivesEnterEsc\":" + Bool(survivesKeys) + ",\"endedOnClose\":" + Bool(ended) +
         ",\"exitCode\":" + std::to_string(code) + "}";
}

std::string Watch(DWORD duration) {
  bool seen = false;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < duration) {
    if (FindVisible() != nullptr) seen = true;
    Sleep(5);
  }
  return "{\"seenVisible\":" + Bool(seen) + "}";
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

std::string VersionText(const std::vector<BYTE>& block, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
  if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || length == 0) return "";
  return Utf8(static_cast<const wchar_t*>(value));
}

std::string Resources(const wchar_t* file) {
  const HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return "{\"loaded\":false}";
  std::string icons = "[";
  // The first icon group, which is the one Windows shows for the file.
  const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
  if (group != nullptr) {
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    const WORD count = reinterpret_cast<const WORD*>(data)[2];
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(data + 6);
    for (WORD i = 0; i < count; ++i) {
      const HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(entries[i].id), RT_ICON);
      const BYTE* bits = static_cast<const BYTE*>(LockResource(LoadResource(module, image)));
      const DWORD bytes = SizeofResource(module, image);
      const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bits);
      const LONG size = header->biWidth;
      const DWORD colours = header->biClrUsed != 0 ? header->biClrUsed : 1u << header->biBitCount;
      const DWORD colourBytes = ((size * header->biBitCount + 31) / 32) * 4 * size;
      const DWORD maskStride = ((size + 31) / 32) * 4;
      const BYTE* mask = bits + header->biSize + colours * 4 + colourBytes;
      bool opaque = mask + maskStride * size <= bits + bytes;
      for (DWORD j = 0; opaque && j < maskStride * static_cast<DWORD>(size); ++j) {
        if (mask[j] != 0) opaque = false;
      }
      if (icons.size() > 1) icons += ",";
      icons += "{\"size\":" + std::to_string(size) +
               ",\"bitCount\":" + std::to_string(header->biBitCount) +
               ",\"colors\":" + std::to_string(colours) + ",\"opaque\":" + Bool(opaque) + "}";
    }
  }
  icons += "]";
  FreeLibrary(module);

  std::string version = "null";
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  std::vector<BYTE> block(size);
  if (size != 0 && GetFileVersionInfoW(file, 0, size, block.data())) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length);
    DWORD* translation = nullptr;
    VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                   reinterpret_cast<void**>(&translation), &length);
    const auto dotted = [](DWORD high, DWORD low) {
      return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
             std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
    };
    version = "{\"file\":\"" + dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS) +
              "\",\"product\":\"" + dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS) +
              "\",\"language\":" + std::to_string(LOWORD(*translation)) +
              ",\"codePage\":" + std::to_string(HIWORD(*translation)) +
              ",\"fileVersion\":" + Json(VersionText(block, L"FileVersion")) +
              ",\"productVersion\":" + Json(VersionText(block, L"ProductVersion")) + "}";
  }
  return "{\"icons\":" + icons + ",\"version\":" + version + "}";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetProcessDPIAware();  // see the window's real pixels, unscaled
  if (argc < 4) return 2;
  const std::wstring mode = argv[2];
  const DWORD milliseconds = static_cast<DWORD>(_wtoi(argv[3]));
  const std::string result =
      mode == L"resources" ? Resources(argv[3])
      : mode == L"watch"
          ? Watch(milliseconds)
          : Inspect(milliseconds, argc > 4 && std::wstring(argv[4]) == L"syscommand");
  DeleteFileW(argv[1]);
  AppendLine(argv[1], result);
  return 0;
}
