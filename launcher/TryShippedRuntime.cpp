// The first phase: a Java runtime shipped in the application's own folder,
// as jlink and jpackage make one. It comes before every installed runtime,
// because it is the one the application was built and tested with, and on a
// machine without Java it is the only one. It is started through
// "openFile.bat", never through the archive, which Windows would open with
// whatever Java owns ".jar" rather than this one.
#include <string>

#include "launcher/Form1.h"
#include "launcher/RuntimeText.h"

namespace velmorant {

void Form1::TryShippedRuntime() {
  const std::string directory = platform_.ProgramFolder();
  for (const char* name : {"runtime", "jre"}) {
    const std::string folder = directory + "\\" + name;
    if (!platform_.PathFileExists(folder + "\\bin\\java.exe")) {
      trace_.Say({"Shipped runtime ", folder, ": no bin\\java.exe, passed over"});
      continue;
    }
    // No release file leaves the version unknown, and such a runtime is
    // taken: it came with the application.
    bool recent = false;
    RuntimeVersion(folder, {}, "Shipped runtime " + folder + ": bin\\java.exe, ", recent);
    if (recent) LaunchWithPath(folder + "\\bin");
  }
}

}  // namespace velmorant
