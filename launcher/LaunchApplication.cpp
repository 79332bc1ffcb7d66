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

namespace velmorant {

namespace {

constexpr double kMinimumVersion = 1.6;
constexpr std::size_t kVersionCharacters = 3;
constexpr std::int32_t kNameBufferLength = 255;

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
  constexpr double kScale[] = {1.0, 10.0, 100.0};
  return static_cast<double>(mantissa) / kScale[fractionDigits];
}

}  // namespace

void Form1::Form_Load() { LaunchApplication(); }

void Form1::LaunchApplication() {
  strJarName = "Velmorant";
  platform_.SetEnvironmentVariable("filetouse", platform_.CommandLineArgs());
  platform_.SetEnvironmentVariable("directory", platform_.ProgramFolder());
  // Every failed attempt leaves PATH as it set it; the last phase looks at
  // the PATH the launcher was given.
  const std::string receivedPath = GetEnvironmentVar("PATH");

  RegKey key = 0;
  if (platform_.RegOpenKey(kHkeyLocalMachine, kRuntimeVersionsKey, RegView::kOwn, key) ==
      kErrorSuccess) {
    for (std::int32_t index = 0;; ++index) {
      std::string subkey;
      const EnumStep step = NextSubkeyName(key, index, subkey);
      if (step == EnumStep::kEnd) break;
      if (step == EnumStep::kSkip) continue;

      const std::optional<double> version = ReadVersion(subkey);
      if (!version || *version < kMinimumVersion) continue;

      const std::string folder = GetKeyValue(kRuntimeVersionsKey + subkey, kJavaHome);
      if (folder == kNotFound) continue;
      platform_.SetEnvironmentVariable("PATH", folder + "bin");
      StartArchiveOrBatchFile();
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
  if (result == kErrorMoreData) return EnumStep::kSkip;
  if (result != kErrorSuccess) return EnumStep::kEnd;
  if (nameLength <= 0) return EnumStep::kSkip;
  name = buffer.substr(0, static_cast<std::size_t>(nameLength));
  return EnumStep::kName;
}

void Form1::LaunchWithPath(const std::string& strPath) {
  platform_.SetEnvironmentVariable("PATH", strPath);
  StartBatchFile();
}

void Form1::StartArchiveOrBatchFile() {
  const std::string archive = platform_.ProgramFolder() + "\\" + strJarName + ".jar";
  // An archive that cannot be started leaves the batch file to take over,
  // with the same PATH.
  if (platform_.PathFileExists(archive)) StartAndEnd(archive);
  StartBatchFile();
}

void Form1::StartBatchFile() { StartAndEnd(platform_.ProgramFolder() + "\\openFile.bat"); }

void Form1::StartAndEnd(const std::string& path) {
  if (platform_.StartProgram(path) == kErrorSuccess) platform_.EndProgram();
}

}  // namespace velmorant
