// An in-memory Platform for tests: a registry tree whose subkeys enumerate in
// the order they were added, an environment that tells unset from empty,
// files and folders, and a record of every call the launcher makes that a
// test may want to count, of every start with the environment it would pass
// on, and of the window. Names and paths compare without regard to case, as
// on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velmorant {

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

// One of the four trees the fake registry holds: a predefined root seen
// through one of the two views.
struct FakeHive {
  RegKey root = kHkeyLocalMachine;
  RegView view = RegView::kOwn;
};

class FakePlatform : public Platform {
 public:
  // Thrown by EndProgram, so that a test sees the end of the process where
  // the real program would be gone. The launcher itself handles no
  // exception; this one unwinds through it to the test.
  struct ProgramEnded {};

  // The longest value SetEnvironmentVariable takes; a longer one is refused.
  static constexpr std::size_t kLongestVariable = 32766;

  // What a refused start reports: ERROR_NO_ASSOCIATION.
  static constexpr long kNoAssociation = 1155;
  // What StartProgram reports for a batch file: this shell refuses them all,
  // as Smart App Control does for downloaded ones
  // (ERROR_ACCESS_DISABLED_BY_POLICY). Only RunBatchFile runs them.
  static constexpr long kBlockedByPolicy = 1260;

  using Environment = std::map<std::string, std::string, NoCaseLess>;
  using Hive = FakeHive;

  struct Start {
    std::string path;
    Environment environment;  // as the started program would inherit it
  };

  FakePlatform();
  ~FakePlatform() override;
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  // --- Setting up ---------------------------------------------------------

  // Each takes the hive last, HKEY_LOCAL_MACHINE in the program's own view
  // when it is left out.

  // Creates the key (and every key above it).
  void AddKey(const std::string& path, Hive hive = {});
  // Stores a value with raw data; the key is created when missing.
  void SetValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                std::string data, Hive hive = {});
  // A REG_SZ value stored with its ending NUL, as Windows stores text.
  void SetText(const std::string& keyPath, const std::string& name, const std::string& text,
               Hive hive = {});
  // Opening the key fails with this code (access denied, say).
  void DenyKey(const std::string& path, long code, Hive hive = {});
  // Enumerating the key at this index fails with this code.
  void FailEnumeration(const std::string& keyPath, std::int32_t index, long code, Hive hive = {});
  // Called between the first and the second query of a value, to change it.
  std::function<void()> onValueInfo;

  // A file, with what ReadSmallFile reads from it.
  void AddFile(const std::string& path, std::string contents = {});
  void AddFolder(const std::string& path);
  // Starting this existing file fails with `code` (no program associated,
  // say, or the user cancelled at a prompt).
  void RefuseStart(const std::string& path, long code = kNoAssociation);
  // The command of the association of a file of this type ("" for none),
  // whose first word is the program that opens it; a type not listed opens
  // with Java's own launcher, -jar "%1".
  std::map<std::string, std::string, NoCaseLess> openers;
  Processor machine = Processor::kX64;
  // The short names of files and folders whose names are not plain ASCII,
  // which stands in for the ANSI code page here; such a name without one
  // has none.
  std::map<std::string, std::string, NoCaseLess> shortNames;
  // This many of the next starts fail, whatever they start.
  int failNextStarts = 0;

  Environment environment;
  std::string commandLineArgs;
  std::string programFolder = "C:\\Apps\\Velmorant";

  // --- What happened --------------------------------------------------------

  std::vector<std::string> keysOpened;     // every path given to RegOpenKey
  std::vector<std::string> pathsTested;    // every path given to PathFileExists
  std::vector<std::string> filesRead;      // every path given to ReadSmallFile
  std::vector<std::string> variablesRead;  // every name given to GetEnvironmentVariable
  std::vector<std::string> startsTried;    // every path given to StartProgram or RunBatchFile
  std::vector<Start> starts;               // the starts that succeeded
  int endCalls = 0;
  std::size_t OpenKeyCount() const { return handles_.size() - 2; }  // the roots stay

  // The trace: the path it was created at, when it was, and what was written.
  std::string tracePath;
  std::string trace;

  bool windowCreated = false;
  bool windowShown = false;
  WindowDescription window;

  // --- Platform -------------------------------------------------------------

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
  std::string CommandLineArgs() override { return commandLineArgs; }
  std::string ProgramFolder() override { return programFolder; }
  long StartProgram(const std::string& path) override;
  long RunBatchFile(const std::string& path) override;
  std::string ProgramThatOpens(const std::string& path, std::string& command) override;
  std::string AnsiName(const std::string& path) override;
  Processor MachineProcessor() override { return machine; }
  [[noreturn]] void EndProgram() override;
  bool CreateTraceFile(const std::string& path) override;
  void WriteTrace(const std::string& text) override;
  std::uint32_t Milliseconds() override { return 0; }
  HostDescription DescribeHost() override;
  std::string ErrorText(long code) override { return "error text " + std::to_string(code); }
  void CreateFormWindow(const WindowDescription& description) override;
  int RunFormWindow() override;

 private:
  struct Value {
    std::uint32_t type;
    std::string data;
  };
  struct Key {
    std::string name;
    std::vector<std::unique_ptr<Key>> subkeys;  // in the order they were added
    std::map<std::string, Value, NoCaseLess> values;
    long denied = 0;
    std::map<std::int32_t, long> enumerationFailures;
  };

  Key* Find(Key* from, const std::string& path, bool create);
  Key* Root(Hive hive);
  Key* Handle(RegKey key);
  const Value* FindValue(RegKey key, const std::string& name);
  long TryStart(const std::string& path);

  Key roots_[2][2];  // [HKLM, HKCU][own view, other view]
  std::map<RegKey, Key*> handles_;
  RegKey nextHandle_ = 0x100;
  std::map<std::string, std::string, NoCaseLess> files_;  // path, contents
  std::set<std::string, NoCaseLess> folders_;
  std::map<std::string, long, NoCaseLess> refused_;  // path, error
};

}  // namespace velmorant
