// The Platform over the real Windows API; see Win32Platform.h.
#include "platform/win32/Win32Platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

// The interface's methods bear the names of the functions they wrap; the
// Windows headers' A/W macros must not rename them.
#undef RegOpenKey
#undef RegEnumKeyEx
#undef GetEnvironmentVariable
#undef SetEnvironmentVariable
#undef PathFileExists

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/PathText.h"
#include "resources/resource_ids.h"

namespace velmorant {

static_assert(sizeof(HKEY) == sizeof(RegKey), "a key handle is as wide as HKEY");
// The header's HKEY_LOCAL_MACHINE is ((HKEY)(ULONG_PTR)((LONG)0x80000002)):
// the same sign extension, spelled without the pointer cast.
static_assert(kHkeyLocalMachine ==
                  static_cast<RegKey>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000002))),
              "the predefined key is sign-extended to pointer width");

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// Converts `length` UTF-16 units, NULs included.
std::string Utf8(const wchar_t* text, std::size_t length) {
  if (length == 0) return {};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr,
                      nullptr);
  return utf8;
}

std::string Utf8(const std::wstring& text) { return Utf8(text.data(), text.size()); }

HKEY Hkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

// The error of a start that failed: the system's, never 0.
long StartError() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? static_cast<long>(error) : ERROR_GEN_FAILURE;
}

// 0 when `file` names a file; the launcher starts nothing else. A folder
// would open in a file manager and count as started.
long FileToStart(const std::wstring& file) {
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return ERROR_FILE_NOT_FOUND;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

// Twips to pixels at the screen's density, rounded to the nearest pixel.
int Pixels(int twips, int dotsPerInch) { return MulDiv(twips, dotsPerInch, 1440); }

constexpr wchar_t kWindowClass[] = L"VelmorantForm1";
constexpr int kFirstControlId = 100;

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      // The file list is the one control that takes the focus; give it back
      // whenever the window regains it.
      SetFocus(GetDlgItem(window, kFirstControlId));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

// No COM initialisation: a single-threaded apartment creates a hidden window
// and so connects to the display before anything has started. The batch
// file and an archive with an ordinary "open" command start without COM; an
// archive whose association needs a COM handler fails to start, and the
// batch file takes over.
Win32Platform::Win32Platform() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  started_ = now.QuadPart;
}

Win32Platform::~Win32Platform() {
  if (trace_ != nullptr) CloseHandle(trace_);
}

long Win32Platform::RegOpenKey(RegKey parent, const std::string& path, RegView view,
                               RegKey& result) {
  // By default the program reads its own registry view: the 32-bit one for
  // the shipped i686 program (as installers of 32-bit runtimes expect) and
  // the 64-bit one for the x86_64 build. kOther asks for the view of the
  // other width, where a runtime that a 64-bit installer registered is for
  // the shipped program; on a system with one view Windows ignores the flag.
  constexpr REGSAM kOtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  const REGSAM access = KEY_READ | (view == RegView::kOther ? kOtherView : 0);
  HKEY opened = nullptr;
  const LONG status = RegOpenKeyExW(Hkey(parent), Wide(path).c_str(), 0, access, &opened);
  if (status == ERROR_SUCCESS) result = reinterpret_cast<RegKey>(opened);
  return status;
}

long Win32Platform::RegEnumKeyEx(RegKey key, std::int32_t index, std::string& name,
                                 std::int32_t& nameLength) {
  if (nameLength <= 0 || index < 0) return ERROR_INVALID_PARAMETER;
  // Room for the name and the NUL that Windows writes after it, so that a
  // name of the registry's longest length (255) is read too.
  std::vector<wchar_t> buffer(static_cast<std::size_t>(nameLength) + 1, L'\0');
  DWORD length = static_cast<DWORD>(buffer.size());
  const LONG status = RegEnumKeyExW(Hkey(key), static_cast<DWORD>(index), buffer.data(), &length,
                                    nullptr, nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return status;
  name = Utf8(buffer.data(), length);
  nameLength = static_cast<std::int32_t>(name.size());
  return ERROR_SUCCESS;
}

long Win32Platform::RegQueryValueInfo(RegKey key, const std::string& valueName, std::uint32_t& type,
                                      std::uint32_t& size) {
  DWORD valueType = 0;
  DWORD valueSize = 0;
  const LONG status = RegQueryValueExW(Hkey(key), Wide(valueName).c_str(), nullptr, &valueType,
                                       nullptr, &valueSize);
  if (status != ERROR_SUCCESS) return status;
  type = valueType;
  size = valueSize;
  return ERROR_SUCCESS;
}

long Win32Platform::RegQueryValueText(RegKey key, const std::string& valueName, std::string& text,
                                      std::uint32_t size) {
  // The stored text is UTF-16; a stray odd byte at its end is no character.
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
  DWORD bytes = size;
  const LONG status = RegQueryValueExW(Hkey(key), Wide(valueName).c_str(), nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(buffer.data()), &bytes);
  if (status != ERROR_SUCCESS) return status;
  text = Utf8(buffer.data(), bytes / sizeof(wchar_t));
  return ERROR_SUCCESS;
}

long Win32Platform::RegQueryValueBytes(RegKey key, const std::string& valueName, void* data,
                                       std::uint32_t capacity, std::uint32_t& copied) {
  // Read into a buffer of our own: on ERROR_MORE_DATA Windows leaves the
  // buffer's contents undefined, and the caller's must stay as it was.
  std::vector<BYTE> buffer(capacity == 0 ? 1 : capacity);
  DWORD bytes = capacity;
  const LONG status =
      RegQueryValueExW(Hkey(key), Wide(valueName).c_str(), nullptr, nullptr, buffer.data(), &bytes);
  if (status != ERROR_SUCCESS) return status;
  if (bytes > capacity) return ERROR_MORE_DATA;
  CopyMemory(data, buffer.data(), bytes);
  copied = bytes;
  return ERROR_SUCCESS;
}

long Win32Platform::RegCloseKey(RegKey key) {
  if (key == 0) return ERROR_INVALID_HANDLE;
  return ::RegCloseKey(Hkey(key));
}

bool Win32Platform::GetEnvironmentVariable(const std::string& name, std::string& value) {
  const std::wstring wideName = Wide(name);
  std::vector<wchar_t> buffer(256, L'\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD length =
        GetEnvironmentVariableW(wideName.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
      value.clear();  // set, and empty
      return true;
    }
    if (length < buffer.size()) {
      value = Utf8(buffer.data(), length);
      return true;
    }
    buffer.assign(length, L'\0');  // too small: length is the size needed
  }
}

bool Win32Platform::SetEnvironmentVariable(const std::string& name, const std::string& value) {
  // Windows refuses a value longer than a UNICODE_STRING holds (32,766
  // characters); some implementations (Wine's) cut it short instead and
  // report success. Refuse it here, so that a cut value is never set.
  const std::wstring wide = Wide(value);
  if (wide.size() > 32766) return false;
  return SetEnvironmentVariableW(Wide(name).c_str(), wide.c_str()) != FALSE;
}

bool Win32Platform::PathFileExists(const std::string& path) {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Platform::ReadSmallFile(const std::string& path, std::size_t limit,
                                  std::string& contents) {
  const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Only a file on a disk: a pipe or a device could block or never end.
  bool ok = GetFileType(file) == FILE_TYPE_DISK;
  std::string read;
  while (ok && read.size() < limit) {
    char chunk[4096];
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(sizeof chunk, limit - read.size()));
    DWORD got = 0;
    ok = ReadFile(file, chunk, want, &got, nullptr) != FALSE;
    if (got == 0) break;  // the end of the file
    read.append(chunk, got);
  }
  CloseHandle(file);
  if (!ok) return false;
  contents = std::move(read);
  return true;
}

std::string Win32Platform::CommandLineArgs() {
  return std::string(ArgumentsAfterProgramName(Utf8(GetCommandLineW())));
}

std::string Win32Platform::ProgramFolder() { return std::string(FolderOf(ProgramPath())); }

std::string Win32Platform::ProgramPath() {
  std::vector<wchar_t> buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    // Only a memory failure could keep the program from its own path.
    if (length == 0) __builtin_trap();
    if (length < buffer.size()) return Utf8(buffer.data(), length);
    buffer.assign(buffer.size() * 2, L'\0');  // cut short: try a larger buffer
  }
}

long Win32Platform::StartProgram(const std::string& path) {
  // The file is named by its path alone, never by a command line that would
  // be split at its first space (and so run "C:\Program.exe").
  const std::wstring file = Wide(path);
  if (const long refused = FileToStart(file)) return refused;
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // No zone check: the archive is the application's own file, named by its
  // full path, and the user's check on the launcher that a download's mark
  // brought up has been answered already. Asking again would only ask about
  // the same application twice. (SEE_MASK_FLAG_NO_UI keeps error boxes away,
  // not security prompts.)
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOZONECHECKS;
  // The verb that ProgramThatOpens asks about, whatever a file type names
  // as its default, so that the program checked is the program started.
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) ? ERROR_SUCCESS : StartError();
}

long Win32Platform::RunBatchFile(const std::string& path) {
  // cmd.exe starts whether or not the batch file is there, so the start
  // would look successful; a missing one is refused here.
  if (const long refused = FileToStart(Wide(path))) return refused;
  // The system folder's command processor, named by its full path and never
  // searched for. A 32-bit program on 64-bit Windows gets the 32-bit one,
  // as the shell would choose.
  wchar_t cmd[MAX_PATH + 8];
  const UINT length = GetSystemDirectoryW(cmd, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ERROR_PATH_NOT_FOUND;
  CopyMemory(cmd + length, L"\\cmd.exe", sizeof L"\\cmd.exe");
  // The program is named above; "cmd" is only its name to itself. /d: no
  // AutoRun command of the user's runs first. /s with the whole path in a
  // second pair of quotes: cmd takes off the outer pair and keeps everything
  // inside literal, so "&", "^", "(", ")" and spaces in the folder's name
  // are no syntax. /v:off: "!" is no variable either.
  std::wstring commandLine = Wide("cmd /d /s /v:off /c \"\"" + path + "\"\"");
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process;
  // A console of its own: the launcher has none to share, and Wine gives a
  // batch file started without this flag no console window in a 64-bit
  // prefix.
  if (!CreateProcessW(cmd, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                      nullptr, &startup, &process)) {
    return StartError();
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ERROR_SUCCESS;
}

std::string Win32Platform::ProgramThatOpens(const std::string& path, std::string& command) {
  command.clear();
  const std::wstring file = Wide(path);
  const wchar_t* const type = PathFindExtensionW(file.c_str());
  if (*type == L'\0') return {};
  // The shell's own reading of the association: the user's classes before
  // the machine's, for the verb StartProgram starts. A type with no
  // association reads as none, not as the "Open with" dialog of Windows 8
  // and later.
  constexpr ASSOCF kFlags = ASSOCF_NOTRUNCATE | ASSOCF_INIT_IGNOREUNKNOWN;
  constexpr DWORD kLength = 32768;
  std::vector<wchar_t> text(kLength, L'\0');
  DWORD length = kLength;
  if (AssocQueryStringW(kFlags, ASSOCSTR_COMMAND, type, L"open", text.data(), &length) != S_OK) {
    return {};
  }
  command = Utf8(text.data(), wcslen(text.data()));
  // The program, found whether it is quoted or not. Only its file name
  // matters, and "javaw.exe" and "java.exe" are their own short names.
  length = kLength;
  if (AssocQueryStringW(kFlags, ASSOCSTR_EXECUTABLE, type, L"open", text.data(), &length) == S_OK) {
    return Utf8(text.data(), wcslen(text.data()));
  }
  // Some shells (Wine's) find no program in a command stored with variables
  // (REG_EXPAND_SZ), yet start it: expand the command and take its first
  // word.
  const DWORD expanded = ExpandEnvironmentStringsW(Wide(command).c_str(), text.data(), kLength);
  if (expanded == 0 || expanded > kLength) return {};
  return std::string(ProgramOfCommand(Utf8(text.data(), wcslen(text.data()))));
}

bool Win32Platform::FitsAnsiCodePage(const std::string& text) {
  // Where the ANSI code page is UTF-8 every name fits, and Windows refuses
  // the question below.
  if (GetACP() == CP_UTF8) return true;
  const std::wstring wide = Wide(text);
  if (wide.empty()) return true;
  BOOL usedDefault = FALSE;
  return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                             static_cast<int>(wide.size()), nullptr, 0, nullptr,
                             &usedDefault) > 0 &&
         !usedDefault;
}

std::string Win32Platform::AnsiName(const std::string& path) {
  if (FitsAnsiCodePage(path)) return path;
  const std::wstring wide = Wide(path);
  std::vector<wchar_t> name(GetShortPathNameW(wide.c_str(), nullptr, 0) + 1, L'\0');
  const DWORD length =
      GetShortPathNameW(wide.c_str(), name.data(), static_cast<DWORD>(name.size()));
  // Without short names Windows gives the long name back.
  std::string ansi = Utf8(name.data(), length < name.size() ? length : 0);
  return !ansi.empty() && FitsAnsiCodePage(ansi) ? ansi : std::string();
}

Processor Win32Platform::MachineProcessor() {
  // IsWow64Process2 (Windows 10 1709 and later) tells the machine's own
  // processor even to an x86 program emulated on ARM64, where
  // GetNativeSystemInfo answers x86.
  using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  const auto isWow64Process2 = reinterpret_cast<IsWow64Process2Fn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process2")));
  USHORT process = 0;
  USHORT native = 0;
  if (isWow64Process2 != nullptr && isWow64Process2(GetCurrentProcess(), &process, &native)) {
    switch (native) {
      case IMAGE_FILE_MACHINE_I386:
        return Processor::kX86;
      case IMAGE_FILE_MACHINE_AMD64:
        return Processor::kX64;
      case IMAGE_FILE_MACHINE_ARM64:
        return Processor::kArm64;
      default:
        return Processor::kUnknown;
    }
  }
  SYSTEM_INFO info;
  GetNativeSystemInfo(&info);
  switch (info.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
      return Processor::kX86;
    case PROCESSOR_ARCHITECTURE_AMD64:
      return Processor::kX64;
    case PROCESSOR_ARCHITECTURE_ARM64:
      return Processor::kArm64;
    default:
      return Processor::kUnknown;
  }
}

void Win32Platform::EndProgram() { ExitProcess(0); }

bool Win32Platform::CreateTraceFile(const std::string& path) {
  // The traces that support staff ask for live in folders every user can
  // write, where another user may have put a link in the trace's place. So
  // the file is opened without following a symbolic link or junction, and
  // without truncating it: only a file on a disk with a single name (no
  // second hard link to somebody else's file), not read-only (Windows
  // refuses to write one anyway; Wine run by root would not) and no link of
  // any kind is then emptied and written. A cloud client's placeholder is a
  // reparse point too, but it is the file itself. Others may read it while
  // it is written, so that the trace of a launcher that hangs can be looked
  // at.
  const HANDLE file =
      CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  constexpr DWORD kRefused = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
  BY_HANDLE_FILE_INFORMATION info;
  FILE_ATTRIBUTE_TAG_INFO tag = {};
  const bool plain = GetFileType(file) == FILE_TYPE_DISK &&  // no device, no pipe
                     GetFileInformationByHandle(file, &info) &&
                     (info.dwFileAttributes & kRefused) == 0 && info.nNumberOfLinks == 1 &&
                     ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
                      (GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) &&
                       !IsLinkReparseTag(tag.ReparseTag)));
  if (!plain || !SetEndOfFile(file)) {
    CloseHandle(file);
    return false;
  }
  trace_ = file;
  return true;
}

void Win32Platform::WriteTrace(const std::string& text) {
  DWORD written = 0;
  if (trace_ != nullptr) {
    WriteFile(trace_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
}

std::uint32_t Win32Platform::Milliseconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<std::uint32_t>(static_cast<double>(now.QuadPart - started_) * 1000.0 /
                                    static_cast<double>(frequency.QuadPart));
}

HostDescription Win32Platform::DescribeHost() {
  HostDescription host;
  host.programPath = ProgramPath();
  host.commandLine = Utf8(GetCommandLineW());
  std::vector<wchar_t> folder(GetCurrentDirectoryW(0, nullptr) + 1, L'\0');
  host.currentFolder =
      Utf8(folder.data(), GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  // GetVersionEx answers what the manifest declares; ntdll tells the truth.
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (rtlGetVersion != nullptr) rtlGetVersion(&version);
  host.windowsVersion[0] = version.dwMajorVersion;
  host.windowsVersion[1] = version.dwMinorVersion;
  host.windowsVersion[2] = version.dwBuildNumber;
  host.programBits = sizeof(void*) * 8;
  BOOL wow64 = FALSE;
  host.wow64 = IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
  return host;
}

std::string Win32Platform::ErrorText(long code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = Utf8(text, length);
  LocalFree(text);
  // The system's texts end in a line break.
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return message;
}

void Win32Platform::CreateFormWindow(const WindowDescription& description) {
  // Only remembered: the window is built when it is about to be shown, so
  // that a successful start costs nothing of the windowing system (under
  // Wine, the first window of a process connects to the display, and the
  // file list would read the whole current folder).
  description_ = description;
}

void* Win32Platform::BuildFormWindow() {
  const WindowDescription& description = description_;
  const HINSTANCE instance = GetModuleHandleW(nullptr);

  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = FormProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);

  const HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  // A thin fixed frame with a caption, the system menu and the close button.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  RECT frame = {0, 0, Pixels(description.clientWidth, dpiX),
                Pixels(description.clientHeight, dpiY)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const HWND window = CreateWindowExW(
      0, kWindowClass, Wide(description.caption).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
      frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return nullptr;
  // Set the icons on the window too, so that every tool that asks the window
  // (not its class) finds them.
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowClass.hIcon));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowClass.hIconSm));

  // Without minimize and maximize boxes Windows only greys these commands;
  // the window offers none of them, nor sizing.
  const HMENU systemMenu = GetSystemMenu(window, FALSE);
  static constexpr UINT kCommands[] = {SC_MINIMIZE, SC_MAXIMIZE, SC_SIZE, SC_RESTORE};
  for (const UINT command : kCommands) {
    DeleteMenu(systemMenu, command, MF_BYCOMMAND);
  }

  // The default GUI font of dialogs and their controls (MS Shell Dlg, 8 points,
  // made at the system's density).
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

  int id = kFirstControlId;
  for (const ControlDescription& control : description.controls) {
    const bool isList = control.kind == ControlDescription::Kind::kFileList;
    const DWORD controlStyle =
        WS_CHILD | WS_VISIBLE |
        (isList ? WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_SORT | LBS_NOINTEGRALHEIGHT
                : SS_CENTER | SS_NOPREFIX);
    const HWND child = CreateWindowExW(
        0, isList ? L"LISTBOX" : L"STATIC", isList ? L"" : Wide(control.text).c_str(), controlStyle,
        Pixels(control.left, dpiX), Pixels(control.top, dpiY), Pixels(control.width, dpiX),
        Pixels(control.height, dpiY), window, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id++)),
        instance, nullptr);
    if (child == nullptr) continue;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (isList) {
      // The file names of the current folder.
      SendMessageW(child, LB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>(L"*"));
    }
  }
  return window;
}

int Win32Platform::RunFormWindow() {
  const HWND window = static_cast<HWND>(BuildFormWindow());
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  UpdateWindow(window);
  SetFocus(GetDlgItem(window, kFirstControlId));

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace velmorant
