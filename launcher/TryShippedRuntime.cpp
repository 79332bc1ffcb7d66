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
    // No release file leaves the version and the processor unknown, and
    // such a runtime is taken: it came with the application.
    const std::string release = ReleaseFile(folder);
    const std::string label = "Shipped runtime " + folder + ": ";
    bool recent = false;
    RuntimeVersion(release, {}, label + "bin\\java.exe, ", recent);
    if (!recent) continue;
    // A jlink runtime is built for one processor, which its release file
    // names: an x64 runtime cannot start on 32-bit Windows, nor an ARM64
    // one on an x64 machine.
    const Processor built = ReleaseProcessor(ReleaseValue(release, "OS_ARCH").value_or(""));
    const Processor machine = platform_.MachineProcessor();
    const bool runs = RunsOn(built, machine);
    trace_.Say({label, "built for ", ProcessorName(built), ", this machine is ",
                ProcessorName(machine), runs ? "" : ": passed over"});
    if (runs) LaunchWithPath(folder + "\\bin");
  }
}

}  // namespace velmorant
