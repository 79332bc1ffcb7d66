// Start-up and the registry scan: Form_Load hands the command line and the
// launcher's folder to the application, scans the installed Java runtime
// versions for the first one of 1.6 or later and starts the application with
// that runtime alone on PATH. A successful start ends the process; a failed
// one returns, which abandons that runtime, and the scan goes on.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/Form1.h"
#include "launcher/RuntimeText.h"
#include "platform/PathText.h"

namespace velmorant {

namespace {

constexpr double kMinimumVersion = 1.6;
constexpr std::size_t kVersionCharacters = 3;
constexpr std::int32_t kNameBufferLength = 255;
// Said of a runtime folder or an archive that Java could not read its name of.
constexpr char kNoAnsiName[] = " has characters outside the ANSI code page and no short name";

// Reads the first three characters of a subkey name as a decimal number with
// "." as the point, whatever the locale: "1.6.0_07" reads as 1.6, "10.0.2" as
// 10, "9" as 9. Anything but digits and one point is no number. The digits
// are divided once by a power of ten, so "1.6" gives exactly the double 1.6.
std::optional<double> ReadVersion(std::string_view name) {
  const std::string_view text = name.substr(0, kVersionCharacters);
  long mantissa = 0;
  int digits = 0;
  int fractionDigits = 0;
  bool point = false;
  for (const char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      mantissa = mantissa * 10 + (c - '0');
      ++digits;
      if (point) ++fractionDigits;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  static constexpr double kScale[] = {1.0, 10.0, 100.0};
  return static_cast<double>(mantissa) / kScale[fractionDigits];
}

}  // namespace

void Form1::Form_Load() {
  trace_.Open();
  LaunchApplication();
  trace_.Say({"Nothing could be started: the window saying so is shown"});
}

void Form1::LaunchApplication() {
  strJarName = "Velmorant";
  SetVariable("filetouse", platform_.CommandLineArgs());
  SetVariable("directory", platform_.ProgramFolder());
  // Every failed attempt leaves PATH as it set it; the last phase looks at
  // the PATH the launcher was given.
  const std::string receivedPath = GetEnvironmentVar("PATH");

  TryShippedRuntime();

  RegKey key = 0;
  const long opened =
      platform_.RegOpenKey(kHkeyLocalMachine, kRuntimeVersionsKey, RegView::kOwn, key);
  trace_.Say({"Scanning ", trace_.Key(kHkeyLocalMachine, RegView::kOwn, kRuntimeVersionsKey),
              opened == kErrorSuccess ? "" : ": no such key"});
  if (opened == kErrorSuccess) {
    for (std::int32_t index = 0;; ++index) {
      std::string subkey;
      const EnumStep step = NextSubkeyName(key, index, subkey);
      if (step == EnumStep::kEnd) break;
      if (step == EnumStep::kSkip) continue;

      const std::optional<double> version = ReadVersion(subkey);
      const bool qualifies = version && *version >= kMinimumVersion;
      trace_.Say(
          {"Subkey ", subkey,
           qualifies ? ": version 1.6 or later" : ": not version 1.6 or later, passed over"});
      if (!qualifies) continue;

      const std::string folder = GetKeyValue(kRuntimeVersionsKey + subkey, kJavaHome);
      if (folder == kNotFound) continue;
      if (SetJavaPath(folder + "bin")) StartArchiveOrBatchFile();
      // Still here: this runtime could not be started; try the next subkey.
    }
    platform_.RegCloseKey(key);
  }

  TryFixedJavaLocations();
  TryCurrentJavaRuntimes(receivedPath);
}

Form1::EnumStep Form1::NextSubkeyName(RegKey hKey, std::int32_t index, std::string& name) {
  std::string buffer(kNameBufferLength, ' ');
  std::int32_t nameLength = kNameBufferLength;
  const long result = platform_.RegEnumKeyEx(hKey, index, buffer, nameLength);
  // A name too long for the buffer spoils only its own index. Anything else
  // but success (past the last subkey, a key that can no longer be read)
  // would repeat at every index, so it ends the enumeration.
  if (result != kErrorSuccess && result != kErrorMoreData) return EnumStep::kEnd;
  if (result == kErrorMoreData || nameLength <= 0) {
    trace_.Say({"Subkey ", Decimal(static_cast<std::uint32_t>(index)),
                ": name too long or empty, passed over"});
    return EnumStep::kSkip;
  }
  name = buffer.substr(0, static_cast<std::size_t>(nameLength));
  return EnumStep::kName;
}

void Form1::LaunchWithPath(const std::string& strPath) {
  if (SetJavaPath(strPath)) StartBatchFile();
}

bool Form1::SetJavaPath(const std::string& bin) {
  // Never a folder below the current one: a REG_BINARY JavaHome reads as
  // "-1", say, and "-1\bin" is no runtime anywhere.
  if (!IsAbsolutePath(bin)) {
    trace_.Say({"\"", bin, "\" is no absolute folder: passed over"});
    return false;
  }
  const char* separator = bin.back() == '\\' ? "" : "\\";
  if (!platform_.PathFileExists(bin + separator + "java.exe")) {
    trace_.Say({bin, " holds no java.exe: passed over"});
    return false;
  }
  // The batch file starts "%PATH%\javaw.exe", and Java finds its own files
  // from that name. A folder that has none in the ANSI code page (on a
  // volume without short names) cannot start Java at all.
  const std::string name = NameForJava(bin);
  if (name.empty()) {
    trace_.Say({bin, kNoAnsiName, ", so Java cannot start from it: passed over"});
    return false;
  }
  return SetVariable("PATH", name);
}

std::string Form1::NameForJava(const std::string& path) {
  const std::string name = platform_.AnsiName(path);
  if (!name.empty() && name != path) {
    trace_.Say({path, " is handed to Java by its short name ", name});
  }
  return name;
}

void Form1::StartArchiveOrBatchFile() {
  const std::string archive = platform_.ProgramFolder() + "\\" + strJarName + ".jar";
  // An archive that cannot be started leaves the batch file to take over,
  // with the same PATH. Java receives the name it is started by as "%1".
  if (Exists(archive) && OpensWithJava(archive)) {
    std::string name = NameForJava(archive);
    if (name.empty()) {
      // The batch file could do no better: it hands Java the same name.
      trace_.Say({archive, kNoAnsiName, ": handed to Java as it is"});
      name = archive;
    }
    EndIfStarted(name, platform_.StartProgram(name));
  }
  StartBatchFile();
}

bool Form1::OpensWithJava(const std::string& archive) {
  // Windows starts the archive with whatever program owns its file type. An
  // archiver would "start" it by listing the class files, and the launcher
  // would end as if the application ran; only a Java runtime will do.
  // Nor will Java itself without -jar before the archive: "Open with" makes
  // the association "javaw.exe" "%1", and Java then reads the archive's path
  // as a class name it cannot find.
  std::string command;
  const std::string program = platform_.ProgramThatOpens(archive, command);
  const std::string name = strJarName + ".jar";
  if (program.empty()) {
    trace_.Say({name, " opens with no program: the batch file is started instead"});
    return false;
  }
  if (!IsJavaLauncher(program)) {
    trace_.Say({name, " would open with ", program,
                ", which is no Java runtime: the batch file is started instead"});
    return false;
  }
  if (!PassesDocumentAfterJar(command)) {
    trace_.Say({name, " would open with ", command,
                ", which does not pass it after -jar: the batch file is started instead"});
    return false;
  }
  trace_.Say({name, " opens with ", program, ", a Java runtime"});
  return true;
}

void Form1::StartBatchFile() {
  const std::string batchFile = platform_.ProgramFolder() + "\\openFile.bat";
  EndIfStarted(batchFile, platform_.RunBatchFile(batchFile));
}

void Form1::EndIfStarted(const std::string& path, long error) {
  if (error == kErrorSuccess) {
    trace_.Say({"Started ", path, "; the launcher ends"});
    platform_.EndProgram();
  }
  // The user refused the start at a prompt of Windows': asking again for
  // the next candidate, and then saying that Java is missing, would both
  // be wrong.
  if (error == kErrorCancelled) {
    trace_.Say({"The start of ", path, " was cancelled: the launcher ends and tries nothing else"});
    platform_.EndProgram();
  }
  trace_.StartFailed(path, error);
}

bool Form1::SetVariable(const char* name, const std::string& value) {
  if (platform_.SetEnvironmentVariable(name, value)) {
    trace_.Say({"Set ", name, " to ", value});
    return true;
  }
  // Windows refuses a value of more than 32,766 characters; the variable
  // keeps what it held, which for PATH may be another runtime's folder.
  trace_.Say({"Could not set ", name, " to ", value, " (", Decimal(value.size()),
              " bytes): nothing is started with it"});
  return false;
}

bool Form1::Exists(const std::string& strPath) {
  const bool found = platform_.PathFileExists(strPath);
  trace_.Say({strPath, found ? ": found" : ": not found"});
  return found;
}

}  // namespace velmorant
