// The launcher's view of Windows: one abstract class with a method for each
// Windows function and host service that the logic uses. The logic never sees
// a Windows header; the real implementation (Win32Platform) and the in-memory
// fake for tests (tests/fake/FakePlatform) are chosen by the build.
//
// All text is UTF-8. The Win32 implementation converts to and from UTF-16 at
// its boundary, so a name outside the ANSI code page passes through intact.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmorant {

// A registry key handle. HKEY is a pointer, so the handle is as wide as a
// pointer on the Windows the program is built for: 32 bits for the shipped
// i686 program, 64 bits for the x86_64 build.
using RegKey = std::uintptr_t;

// The predefined root keys are 32-bit values with the top bit set, which
// Windows sign-extends to pointer width (HKEY_LOCAL_MACHINE is 0x80000002 in
// a 32-bit program and 0xFFFFFFFF80000002 in a 64-bit one).
constexpr RegKey PredefinedKey(std::uint32_t value) {
  return static_cast<RegKey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}

constexpr RegKey kHkeyCurrentUser = PredefinedKey(0x80000001u);
constexpr RegKey kHkeyLocalMachine = PredefinedKey(0x80000002u);

// Which registry view a key is opened in. 64-bit Windows keeps two: a 32-bit
// program sees the 32-bit one by default and a 64-bit program the 64-bit
// one. kOther names the view the program does not see by default.
enum class RegView { kOwn, kOther };

// Windows result codes that the logic tells apart.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;
constexpr long kErrorCancelled = 1223;  // the user said no to a start

// Registry value types.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

// A processor architecture: the machine's own, or the one a program is built
// for.
enum class Processor { kUnknown, kX86, kX64, kArm64 };

// What the failure window shows. Positions and sizes are in twips (1/1440
// inch); the platform converts them at the system's dots per inch.
struct ControlDescription {
  enum class Kind { kFileList, kLabel };
  Kind kind;
  int left, top, width, height;
  std::string text;  // the label's text; unused for the file list
};

struct WindowDescription {
  std::string caption;
  int clientWidth, clientHeight;             // twips
  std::vector<ControlDescription> controls;  // in creation (and tab) order
};

// What the trace says first: the launcher and the system it runs on.
struct HostDescription {
  std::string programPath;          // the launcher's own file
  std::string commandLine;          // the whole command line, as received
  std::string currentFolder;        // as the launcher was started in
  std::uint32_t windowsVersion[3];  // major, minor, build: 10, 0, 19045
  int programBits;                  // 32 or 64: the launcher's own width
  bool wow64;                       // a 32-bit program on 64-bit Windows
};

class Platform {
 public:
  virtual ~Platform() = default;

  // --- Registry -----------------------------------------------------------

  // Opens `path` below `parent` in `view` (which matters only when `parent`
  // is a predefined root). Returns 0 and stores the handle in `result` on
  // success; on failure returns the error and leaves `result` untouched.
  // Where a system has a single view, kOther opens that one.
  virtual long RegOpenKey(RegKey parent, const std::string& path, RegView view, RegKey& result) = 0;

  // Reads the name of the subkey at `index`. `nameLength` holds the longest
  // name in characters that the caller takes on the way in (its ending NUL
  // is the platform's business); on success `name` holds the name and
  // `nameLength` its length in bytes. kErrorMoreData when the name is
  // longer, kErrorNoMoreItems past the last subkey; on failure `name` and
  // `nameLength` are untouched.
  virtual long RegEnumKeyEx(RegKey key, std::int32_t index, std::string& name,
                            std::int32_t& nameLength) = 0;

  // Stores the value's type and its stored size in bytes. Returns non-zero
  // (and touches nothing) for a handle that is not open or a missing value.
  virtual long RegQueryValueInfo(RegKey key, const std::string& valueName, std::uint32_t& type,
                                 std::uint32_t& size) = 0;

  // Reads a text value into `text`, a buffer of `size` bytes as the first
  // query reported them. On success `text` holds the stored characters,
  // NULs included; kErrorMoreData when the value has grown past `size`.
  virtual long RegQueryValueText(RegKey key, const std::string& valueName, std::string& text,
                                 std::uint32_t size) = 0;

  // Copies the value's raw bytes into `data`, at most `capacity` of them.
  // On success stores the number copied in `copied`; kErrorMoreData (and
  // nothing written) when the value is larger than `capacity`.
  virtual long RegQueryValueBytes(RegKey key, const std::string& valueName, void* data,
                                  std::uint32_t capacity, std::uint32_t& copied) = 0;

  // Closes a key opened by RegOpenKey. Closing 0 or a closed key is harmless.
  virtual long RegCloseKey(RegKey key) = 0;

  // --- Environment ----------------------------------------------------------

  // Returns false and leaves `value` untouched when the variable is not set;
  // a variable set to the empty text returns true with `value` empty.
  virtual bool GetEnvironmentVariable(const std::string& name, std::string& value) = 0;

  // Sets a variable of the launcher's own environment; every program started
  // afterwards inherits it. False when the platform refused (a value of more
  // than 32,766 characters), and then the variable is unchanged.
  virtual bool SetEnvironmentVariable(const std::string& name, const std::string& value) = 0;

  // --- File system ----------------------------------------------------------

  // True when a file or a folder exists at `path`.
  virtual bool PathFileExists(const std::string& path) = 0;

  // Reads the first `limit` bytes of the file at `path` (all of it when it
  // is shorter) into `contents`, as they stand. False, with `contents`
  // untouched, when `path` is no readable file on a disk: missing, a folder,
  // a device or pipe, or not to be opened.
  virtual bool ReadSmallFile(const std::string& path, std::size_t limit, std::string& contents) = 0;

  // --- Host services --------------------------------------------------------

  // The command line after the program's own name and the white space that
  // follows it, exactly as given; empty when there is none.
  virtual std::string CommandLineArgs() = 0;

  // The folder that holds the launcher, without a trailing backslash. At the
  // root of a drive this is the drive alone ("C:"), so that appending "\" and
  // a file name names a file in the root. In the unheard-of case that the
  // launcher's own path cannot be had, the process ends as on a memory failure.
  virtual std::string ProgramFolder() = 0;

  // Starts the file at `path` by its path alone (never through command-line
  // parsing), with a normal, focused window, inheriting the environment and
  // current folder. Returns 0 once the start has happened; otherwise the
  // system's error code, never 0, and nothing was started. A folder is
  // refused with kErrorAccessDenied. kErrorCancelled when the user refused
  // the start at a prompt of the system's.
  virtual long StartProgram(const std::string& path) = 0;

  // Runs the batch file at `path` with the system folder's own command
  // processor, never through the shell: no zone prompt, policy on batch
  // files or foreign handler of ".bat" comes between. Its console window is
  // shown normally; it inherits the environment and current folder. Returns
  // 0 once it has started; otherwise the system's error code, never 0, and
  // nothing was started: a missing batch file gives kErrorFileNotFound, a
  // folder kErrorAccessDenied.
  virtual long RunBatchFile(const std::string& path) = 0;

  // The program that Windows would open the file at `path` with, as the
  // shell decides: the executable of the "open" command of the file's type,
  // the user's own association before the machine's, with environment
  // variables expanded. Empty when there is none or it cannot be told.
  // `command` receives that command as stored ("%1" and all), or empty.
  virtual std::string ProgramThatOpens(const std::string& path, std::string& command) = 0;

  // The name by which a program that reads its command line in the ANSI
  // code page (Java's own launcher) finds the existing file or folder at
  // `path`: `path` itself when every character of it has a place in that
  // code page, otherwise its short (8.3) name. Empty when it has none that
  // does (a volume with short names turned off).
  virtual std::string AnsiName(const std::string& path) = 0;

  // The processor of the machine itself, not the one the launcher is built
  // for: a 32-bit launcher on 64-bit Windows answers kX64 (or kArm64).
  virtual Processor MachineProcessor() = 0;

  // Ends the process at once. Never returns.
  [[noreturn]] virtual void EndProgram() = 0;

  // --- The trace ------------------------------------------------------------

  // Creates, or replaces, the file at `path` and keeps it open for
  // WriteTrace. False, with nothing created or kept, when it cannot be
  // written or is no file on a disk (a folder, a device, a pipe).
  virtual bool CreateTraceFile(const std::string& path) = 0;

  // Appends `text` to the trace file at once, unbuffered. Does nothing when
  // no trace file is open; a failed write is ignored.
  virtual void WriteTrace(const std::string& text) = 0;

  // Milliseconds since the launcher started.
  virtual std::uint32_t Milliseconds() = 0;

  virtual HostDescription DescribeHost() = 0;

  // The system's text for an error code, on one line; empty when it has none.
  virtual std::string ErrorText(long code) = 0;

  // --- Windowing --------------------------------------------------------------

  // Takes the failure window's description when Form1 is created, hidden.
  // Nothing of the windowing system is touched yet: a launch that succeeds
  // ends the process without loading a window class, a font or a display.
  virtual void CreateFormWindow(const WindowDescription& description) = 0;

  // Builds the window described to CreateFormWindow with its controls (the
  // file list filled from the current folder), shows and activates it, runs
  // its message loop until it is closed and returns the process exit code.
  virtual int RunFormWindow() = 0;
};

}  // namespace velmorant
