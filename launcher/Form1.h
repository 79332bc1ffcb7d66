// Form1: the launcher's one window object and start-up object. Its load step
// hands the command line and the launcher's folder to the application, looks
// for a Java runtime of version 1.6 or later (the registry scan, the fixed
// locations, then the runtimes that today's installers register) and starts
// the application; only when nothing could be started is the window shown.
//
// The operations are defined in the folder of their subsystem: the queries in
// queries/, the start-up and the search in launcher/, the window in ui/.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/RuntimeText.h"
#include "launcher/Trace.h"
#include "platform/Platform.h"

namespace velmorant {

class Form1 {
 public:
  explicit Form1(Platform& platform);

  // Creates the start-up object with its window hidden, runs its load step
  // and, when that returns, shows the window until the user closes it.
  static int Run(Platform& platform);

  // --- Registry and environment queries -------------------------------------

  // The text of `value` under HKEY_LOCAL_MACHINE\`address`, ending in a
  // backslash, or exactly "Not Found" when it is missing or empty.
  std::string GetKeyValue(const std::string& address, const std::string& value);

  // Opens `strPath` below `hKey`, reads `strValue` and closes the key again.
  // Empty text when the key or the value cannot be read.
  std::string GetString(RegKey hKey, const std::string& strPath, const std::string& strValue);

  // The value of an open key as text: REG_SZ up to its first NUL, REG_BINARY
  // of at most two bytes as a signed 16-bit decimal, empty text otherwise.
  std::string RegQueryStringValue(RegKey hKey, const std::string& strValueName);

  // The value of an environment variable; empty text when it is not set.
  std::string GetEnvironmentVar(const std::string& sName);

  // --- Load event -----------------------------------------------------------

  // Runs the launch; returns only when nothing could be started.
  void Form_Load();

  // The window's fixed contents (caption, sizes, controls and message).
  static WindowDescription Layout();

  // The download address shown in the failure message.
  static const char* const kDownloadAddress;

  // GetKeyValue's answer for a value that is missing or empty.
  static constexpr char kNotFound[] = "Not Found";
  // The key of the installed runtime versions, and the value under each.
  static constexpr char kRuntimeVersionsKey[] = "Software\\JavaSoft\\Java Runtime Environment\\";
  static constexpr char kJavaHome[] = "JavaHome";

 private:
  // The launch steps below end the process once a start has succeeded. Each
  // returns only when its start failed, and the caller then abandons that
  // candidate and goes on with the next.
  void LaunchApplication();
  // Sets PATH to `strPath` alone and starts "openFile.bat"; starts nothing
  // when PATH cannot be set.
  void LaunchWithPath(const std::string& strPath);
  // Sets PATH to `bin` alone for a launch attempt, only when it is an
  // absolute folder that holds java.exe and has a name Java can read: a key
  // left behind by an uninstalled runtime must not end the search with a
  // start that cannot run. False, with PATH unchanged, when the candidate is
  // passed over or the system refused the value.
  bool SetJavaPath(const std::string& bin);
  // Starts the archive when it exists, opens with Java and can be started,
  // otherwise "openFile.bat".
  void StartArchiveOrBatchFile();
  // The name to hand Java for the file or folder at `path`: Java's launcher
  // reads its command line, and finds its own files, in the ANSI code page,
  // so a name outside it goes by its short name (said in the trace). Empty
  // when it has none that Java can read.
  std::string NameForJava(const std::string& path);
  // Whether Windows would open the archive with a Java runtime's launcher,
  // given the archive after -jar; said in the trace.
  bool OpensWithJava(const std::string& archive);
  // Runs "openFile.bat" beside the launcher with the system's cmd.exe.
  void StartBatchFile();
  // Ends the process after the start of `path` that gave `error` when it
  // succeeded, and when the user cancelled it; returns when it failed.
  void EndIfStarted(const std::string& path, long error);
  // Sets a variable of the environment that started programs inherit. False
  // when the system refused, and then the variable keeps its old value: a
  // candidate whose PATH was refused is not started.
  bool SetVariable(const char* name, const std::string& value);
  // PathFileExists, said in the trace.
  bool Exists(const std::string& strPath);
  void TryFixedJavaLocations();
  // The first phase: a runtime shipped in the launcher's folder ("runtime",
  // then "jre") that holds bin\java.exe and is not older than 1.6, started
  // through "openFile.bat" with its bin folder alone on PATH.
  void TryShippedRuntime();
  // The "release" file of the runtime in `folder`; empty when it has none.
  std::string ReleaseFile(const std::string& folder);
  // The version of a runtime: JAVA_VERSION of its `release` file when that
  // names one, otherwise the one in `name`; nothing when neither gives one.
  // `recent` is false when it is older than 1.6. Said in the trace after
  // `label`, with where it was read and the decision.
  std::optional<JavaVersion> RuntimeVersion(std::string_view release, std::string_view name,
                                            std::string_view label, bool& recent);
  // The last phase: JAVA_HOME, the runtimes registered by today's installers
  // (newest first) and the first java.exe on `strReceivedPath`, the PATH the
  // launcher was started with. Each candidate must hold java.exe on disk.
  void TryCurrentJavaRuntimes(const std::string& strReceivedPath);

  // One step of a subkey enumeration: the name at `index`, an index to pass
  // over (a name too long, an empty one), or the end.
  enum class EnumStep { kName, kSkip, kEnd };
  EnumStep NextSubkeyName(RegKey hKey, std::int32_t index, std::string& name);
  // The names of the subkeys of `strPath` below `hKey` in `view`, in the
  // order the registry gives them; none when the key cannot be opened.
  std::vector<std::string> SubkeyNames(RegKey hKey, RegView view, const std::string& strPath);
  // GetString in a given registry view.
  std::string GetStringInView(RegKey hKey, RegView view, const std::string& strPath,
                              const std::string& strValue);
  // RegQueryStringValue, which also stores the value's type (0 when the
  // value cannot be read).
  std::string ReadValue(RegKey hKey, const std::string& strValueName, std::uint32_t& type);

  Platform& platform_;
  Trace trace_;
  std::string strJarName;
};

}  // namespace velmorant
