// libFuzzer target: builds a registry, an environment, files and start
// failures from its input and runs the whole launch against the in-memory
// platform. Besides the sanitizers' checks it asserts what must hold after
// any run: a run ends only through one successful start, a start by the last
// phase puts on PATH only an absolute folder that holds java.exe, the archive
// starts only when Java opens it after -jar, and a run that returns has closed every key and
// shown the window.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

#include "launcher/Form1.h"
#include "tests/fake/FakePlatform.h"

namespace {

using velmorant::FakePlatform;

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::string Text(std::size_t limit) {
    const std::size_t length =
        std::min<std::size_t>(Byte() % (limit + 1), size_ - std::min(at_, size_));
    std::string text(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

const char* const kRoots[] = {
    "Software\\JavaSoft\\Java Runtime Environment\\",
    "Software\\JavaSoft\\Java Development Kit\\",
    "Software\\JavaSoft\\Java Plug-in\\",
};
const char* const kVersions[] = {"6.0", "1.6", "1.6.0", "1.5.0_22", "1.6.0_07", "10.0.2"};
const char* const kPlaces[] = {
    "c:\\java\\bin\\java.exe",
    "c:\\windows\\system\\java.exe",
    "c:\\windows\\system32\\java.exe",
    "c:\\winnt\\system32\\java.exe",
    "C:\\WINDOWS\\java.exe",
    "C:\\Apps\\Velmorant\\Velmorant.jar",
    "C:\\Apps\\Velmorant\\openFile.bat",
};

// Associations of ".jar", and whether each may start the archive: Java's
// own launcher given the archive after -jar, nothing else. Written out here
// rather than asked of the launcher's own rule, so that a wrong rule fails.
const struct {
  const char* command;
  bool startsArchive;
} kOpeners[] = {
    {"C:\\J\\bin\\JAVAW.EXE -jar \"%1\" %*", true},
    {"\"C:\\J\\bin\\java.exe\" -Xmx1g -jar %L", true},
    {"\"C:\\J\\bin\\javaw.exe\" \"%1\"", false},
    {"C:\\J\\bin\\javaw.exe -jarx \"%1\"", false},
    {"C:\\WinRAR\\WinRAR.exe -jar \"%1\"", false},
    {"C:\\J\\bin\\notjava.exe -jar \"%1\"", false},
    {"", false},
};

// Today's key families (the key, what lies between <v> and the value), and
// the values that name a runtime's folder.
const char* const kFamilies[][2] = {
    {"Software\\JavaSoft\\JDK\\", ""},
    {"Software\\Eclipse Adoptium\\JRE\\", "\\hotspot\\MSI"},
    {"Software\\Semeru\\JDK\\", "\\openj9\\MSI"},
    {"Software\\Azul Systems\\Zulu\\", ""},
};
const char* const kValueNames[] = {"JavaHome", "Path", "InstallationPath"};
// Folders that often meet each other, in the spellings people use.
// The last has no short name, and no name in the ANSI code page either.
const char* const kFolders[] = {"C:\\J", "c:\\j\\", "\"C:\\J\"", "C:\\K",      "C:\\J;C:\\K",
                                "J",     ".",       "C:\\",      "\\\\srv\\J", "C:\\\xD0\x96"};

const velmorant::FakeHive kHives[] = {
    {velmorant::kHkeyLocalMachine, velmorant::RegView::kOwn},
    {velmorant::kHkeyLocalMachine, velmorant::RegView::kOther},
    {velmorant::kHkeyCurrentUser, velmorant::RegView::kOwn},
    {velmorant::kHkeyCurrentUser, velmorant::RegView::kOther},
};

std::string Folder(Input& in) {
  const std::uint8_t pick = in.Byte();
  return pick < 200 ? kFolders[pick % std::size(kFolders)] : in.Text(300);
}

void Check(bool condition) {
  if (!condition) std::abort();
}

// Builds a machine from the input and runs the launcher on it, with the
// trace written to `trace` when it is given.
void Launch(FakePlatform& fake, const std::uint8_t* data, std::size_t size, const char* trace) {
  if (trace != nullptr) fake.environment["VELMORANT_LAUNCHER_TRACE"] = trace;
  Input in(data, size);
  std::string lastKey = kRoots[0];
  velmorant::FakeHive lastHive;
  while (!in.empty()) {
    switch (in.Byte() % 16) {
      case 0:  // a subkey of the scanned key, with a name of any bytes
        lastKey = kRoots[0] + in.Text(300);
        fake.AddKey(lastKey);
        break;
      case 1:  // a key of the fixed search
        lastKey = std::string(kRoots[in.Byte() % 3]) + kVersions[in.Byte() % 6];
        fake.AddKey(lastKey);
        break;
      case 2: {  // a folder value of any type and any bytes under the last key
        const std::uint32_t type = in.Byte() % 9;
        const char* name = kValueNames[in.Byte() % 3];
        fake.SetValue(lastKey, name, type, in.Byte() % 2 ? in.Text(255) : Folder(in) + '\0',
                      lastHive);
        break;
      }
      case 3:
        fake.AddFile(kPlaces[in.Byte() % 7]);
        break;
      case 4:
        fake.AddFolder(kPlaces[in.Byte() % 7]);
        break;
      case 5:
        fake.environment["SYSTEMROOT"] = in.Text(300);
        break;
      case 6:
        fake.failNextStarts = in.Byte() % 16;
        break;
      case 7:
        fake.FailEnumeration(kRoots[0], in.Byte() % 8, in.Byte() % 2 ? 234 : 5);
        break;
      case 8:
        fake.commandLineArgs = in.Text(255);
        break;
      case 9: {  // a runtime of today's families, with a version name of any bytes
        const auto& family = kFamilies[in.Byte() % 4];
        lastHive = kHives[in.Byte() % 4];
        lastKey = family[0] + in.Text(40) + family[1];
        fake.AddKey(lastKey, lastHive);
        break;
      }
      case 10:
        fake.environment["JAVA_HOME"] = Folder(in);
        break;
      case 11:
        fake.environment["PATH"] = Folder(in) + ";" + Folder(in) + "\\bin;" + in.Text(100);
        break;
      case 12:
        fake.AddFile(Folder(in) + "\\bin\\java.exe");
        break;
      case 13:
        fake.AddFile(Folder(in) + "\\release", in.Text(255));
        break;
      case 14: {  // whatever opens ".jar": a command of the table, or any text
        const std::uint8_t pick = in.Byte();
        fake.openers[".jar"] =
            pick < 200 ? kOpeners[pick % std::size(kOpeners)].command : in.Text(60);
        break;
      }
      case 15: {  // a runtime shipped beside the launcher, or its release file
        const std::string shipped = fake.programFolder + (in.Byte() % 2 ? "\\runtime" : "\\jre");
        if (in.Byte() % 2) {
          fake.AddFile(shipped + "\\bin\\java.exe");
        } else {
          fake.AddFile(shipped + "\\release", in.Text(100));
        }
        break;
      }
    }
  }

  try {
    velmorant::Form1::Run(fake);
  } catch (const FakePlatform::ProgramEnded&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FakePlatform fake;
  Launch(fake, data, size, nullptr);
  // The same machine with the trace on: the launcher does exactly the same.
  FakePlatform traced;
  Launch(traced, data, size, "C:\\trace.txt");
  Check(!traced.trace.empty() && traced.trace.back() == '\n' && fake.trace.empty());
  Check(traced.startsTried == fake.startsTried && traced.keysOpened == fake.keysOpened &&
        traced.starts.size() == fake.starts.size() && traced.windowShown == fake.windowShown);
  for (std::size_t i = 0; i < fake.starts.size(); ++i) {
    traced.starts[i].environment.erase("VELMORANT_LAUNCHER_TRACE");
    Check(traced.starts[i].environment == fake.starts[i].environment);
  }

  const bool ended = fake.endCalls > 0;
  if (ended) {
    Check(fake.endCalls == 1 && fake.starts.size() == 1);
    Check(fake.starts[0].environment.count("PATH") == 1);
    Check(!fake.windowShown);
    // A shipped runtime starts through the batch file alone.
    if (fake.starts[0].environment.at("PATH").rfind(fake.programFolder, 0) == 0) {
      Check(fake.starts[0].path == fake.programFolder + "\\openFile.bat");
    }
    // The archive starts only when the table allows its opener; a command
    // made of fuzzed text must at least name Java and -jar.
    const std::string& started = fake.starts[0].path;
    if (started.size() >= 4 && started.compare(started.size() - 4, 4, ".jar") == 0) {
      // No association set up: the fake's own, Java's with -jar "%1".
      const auto set = fake.openers.find(".jar");
      const std::string command =
          set != fake.openers.end() ? set->second : std::string(kOpeners[0].command);
      const auto entry = std::find_if(std::begin(kOpeners), std::end(kOpeners),
                                      [&](const auto& o) { return command == o.command; });
      if (entry != std::end(kOpeners)) {
        Check(entry->startsArchive);
      } else {
        std::string folded = command;
        for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        Check(folded.find("java") != std::string::npos &&
              command.find("-jar") != std::string::npos);
      }
    }
    // Every phase puts on PATH only an absolute folder that holds java.exe:
    // never a leftover key's folder, nor one below the current folder. The
    // last phase, which reads folder lists, never one with a ";" either.
    const std::string path = fake.starts[0].environment.at("PATH");
    const bool lastPhase = std::find(fake.variablesRead.begin(), fake.variablesRead.end(),
                                     "JAVA_HOME") != fake.variablesRead.end();
    Check(!lastPhase || path.find(';') == std::string::npos);
    Check((path.size() >= 3 && path[1] == ':' && path[2] == '\\') || path.rfind("\\\\", 0) == 0);
    Check(fake.PathFileExists(path + (path.back() == '\\' ? "" : "\\") + "java.exe"));
    // And only a folder Java can find itself by.
    Check(!fake.AnsiName(path).empty());
  } else {
    Check(fake.starts.empty() && fake.OpenKeyCount() == 0 && fake.windowShown);
  }
  Check(fake.environment.at("filetouse") == fake.commandLineArgs);
  return 0;
}
