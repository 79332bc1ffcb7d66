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

// The folders of four fixed places of java.exe.
constexpr const char* kFixedLocations[] = {
    "c:\\java\\bin",
    "c:\\windows\\system",
    "c:\\windows\\system32",
    "c:\\winnt\\system32",
};

}  // namespace

void Form1::TryFixedJavaLocations() {
  // One attempt per found candidate: a start that fails returns, leaving
  // PATH as the attempt set it, and the search goes on. A key naming a
  // folder without java.exe is passed over like a missing one.
  for (const char* versionName : kVersionNames) {
    for (const char* root : kKeyRoots) {
      const std::string folder = GetKeyValue(std::string(root) + versionName, kJavaHome);
      if (folder != kNotFound) LaunchWithPath(folder + "bin");
    }
  }

  // The launch step tests each folder for java.exe (a folder of that name
  // counts) before it sets PATH.
  for (const char* location : kFixedLocations) LaunchWithPath(location);

  // SYSTEMROOT as read is the PATH value: unset or empty, it names no folder
  // and is passed over, as a relative one is.
  LaunchWithPath(GetEnvironmentVar("SYSTEMROOT"));
}

}  // namespace velmorant
