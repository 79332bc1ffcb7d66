// The Platform over the real Windows API. It uses the wide functions and
// converts UTF-8 to and from UTF-16 at this boundary, so every text passes
// through exactly, whatever the system's ANSI code page.
#pragma once

#include "platform/Platform.h"

namespace velmorant {

class Win32Platform : public Platform {
 public:
  Win32Platform();
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  long RegOpenKey(RegKey parent, const std::string& path, RegView view, RegKey& result) override;
  long RegEnumKeyEx(RegKey key, std::int32_t index, std::string& name,
                    std::int32_t& nameLength) override;
  long RegQueryValueInfo(RegKey key, const std::string& valueName, std::uint32_t& type,
                         std::uint32_t& size) override;
  long RegQueryValueText(RegKey key, const std::string& valueName, std::string& text,
                         std::uint32_t size) override;
  long RegQueryValueBytes(RegKey key, const std::string& valueName, void* data,
                          std::uint32_t capacity, std::uint32_t& copied) override;
  long RegCloseKey(RegKey key) override;
  bool GetEnvironmentVariable(const std::string& name, std::string& value) override;
  bool SetEnvironmentVariable(const std::string& name, const std::string& value) override;
  bool PathFileExists(const std::string& path) override;
  bool ReadSmallFile(const std::string& path, std::size_t limit, std::string& contents) override;
  std::string CommandLineArgs() override;
  std::string ProgramFolder() override;
  long StartProgram(const std::string& path) override;
  long RunBatchFile(const std::string& path) override;
  std::string ProgramThatOpens(const std::string& path, std::string& command) override;
  std::string AnsiName(const std::string& path) override;
  Processor MachineProcessor() override;

  // Whether every character of `text` has a place of its own in the ANSI
  // code page, not a stand-in ("?") nor a look-alike ("l" for "ł").
  static bool FitsAnsiCodePage(const std::string& text);
  [[noreturn]] void EndProgram() override;
  bool CreateTraceFile(const std::string& path) override;
  void WriteTrace(const std::string& text) override;
  std::uint32_t Milliseconds() override;
  HostDescription DescribeHost() override;
  std::string ErrorText(long code) override;
  void CreateFormWindow(const WindowDescription& description) override;
  int RunFormWindow() override;

 private:
  // The launcher's own file.
  std::string ProgramPath();
  // Builds the window and its controls, hidden; null when that failed.
  void* BuildFormWindow();

  WindowDescription description_;  // the failure window, built when shown
  void* trace_ = nullptr;          // the trace file's handle, when open
  std::int64_t started_ = 0;       // the performance counter at start
};

}  // namespace velmorant
