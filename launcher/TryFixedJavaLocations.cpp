// The fixed-location search: when the registry scan has started nothing, the
// launcher tries nine fixed registry keys, four fixed places of java.exe and
// the system folder, in that order, and starts "openFile.bat" with the first
// one found on PATH. Each start is its own attempt; a failed one moves on.
#include <string>

#include "launcher/Form1.h"

namespace velmorant {

namespace {

// Version name outer, key root inner.
constexpr const char* kVersionNames[] = {"6.0", "1.6", "1.6.0"};
constexpr const char* kKeyRoots[] = {
    Form1::kRuntimeVersionsKey,
    "Software\\JavaSoft\\Java Development Kit\\",
    "Software\\JavaSoft\\Java Plug-in\\",
};

struct FixedLocation {
  const char* file;  // tested for existence (a folder counts)
  const char* path;  // the PATH value when it exists
};
constexpr FixedLocation kFixedLocations[] = {
    {"c:\\java\\bin\\java.exe", "c:\\java\\bin"},
    {"c:\\windows\\system\\java.exe", "c:\\windows\\system"},
    {"c:\\windows\\system32\\java.exe", "c:\\windows\\system32"},
    {"c:\\winnt\\system32\\java.exe", "c:\\winnt\\system32"},
};

}  // namespace

void Form1::TryFixedJavaLocations() {
  // One attempt per found candidate: a start that fails returns, leaving
  // PATH as the attempt set it, and the search goes on.
  for (const char* versionName : kVersionNames) {
    for (const char* root : kKeyRoots) {
      const std::string folder = GetKeyValue(std::string(root) + versionName, kJavaHome);
      if (folder != kNotFound) LaunchWithPath(folder + "bin");
    }
  }

  for (const FixedLocation& location : kFixedLocations) {
    if (Exists(location.file)) LaunchWithPath(location.path);
  }

  // An unset or empty SYSTEMROOT names no system folder: testing "\java.exe"
  // would look at the root of whatever drive is current and put an empty PATH.
  // A value that ends in a backslash already (a drive root, say) gets no
  // second one.
  const std::string systemRoot = GetEnvironmentVar("SYSTEMROOT");
  if (systemRoot.empty()) return;
  const char* separator = systemRoot.back() == '\\' ? "" : "\\";
  if (Exists(systemRoot + separator + "java.exe")) LaunchWithPath(systemRoot);
}

}  // namespace velmorant
