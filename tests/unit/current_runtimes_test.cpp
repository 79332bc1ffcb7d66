// The search for today's runtimes: every key family, the order of JAVA_HOME,
// the registry and PATH, newest first, what must be on disk, and that it runs
// only when the older phases started nothing.
#include <algorithm>
#include <string>
#include <vector>

#include "launcher_fixture.h"

namespace velmorant {
namespace {

using Hive = FakePlatform::Hive;

constexpr char kJdkKey[] = "Software\\JavaSoft\\JDK\\";
constexpr Hive kOtherView{kHkeyLocalMachine, RegView::kOther};
constexpr Hive kUser{kHkeyCurrentUser, RegView::kOwn};

// A machine with the launcher's batch file and no older-phase candidate.
struct Machine {
  Machine() {
    fake.environment["PATH"] = "C:\\Windows\\system32";
    fake.AddFile(fake.programFolder + "\\openFile.bat");
  }

  // A runtime on disk: bin\java.exe, and a release file when one is given.
  void OnDisk(const std::string& folder, const char* release = nullptr) {
    fake.AddFile(folder + "\\bin\\java.exe");
    if (release != nullptr) fake.AddFile(folder + "\\release", release);
  }

  // A runtime registered under JavaSoft\JDK\<version> and present on disk.
  void Jdk(const std::string& version, const std::string& folder, Hive hive = {}) {
    fake.SetText(kJdkKey + version, "JavaHome", folder, hive);
    OnDisk(folder);
  }

  // Runs the load step; true when it ended the program.
  bool Load() {
    Form1 form(fake);
    try {
      form.Form_Load();
    } catch (const FakePlatform::ProgramEnded&) {
      return true;
    }
    return false;
  }

  // The PATH of the one start, or "" when the load step started nothing.
  std::string StartedPath() {
    if (!Load()) return "";
    EXPECT_EQ(fake.starts.size(), 1u);
    return fake.starts.at(0).environment.at("PATH");
  }

  FakePlatform fake;
};

TEST(CurrentRuntimesTest, EachKeyFamilyIsFound) {
  const struct {
    const char* key;  // the key that holds the folder, <v> being 17
    const char* value;
  } cases[] = {
      {"Software\\JavaSoft\\JDK\\17", "JavaHome"},
      {"Software\\JavaSoft\\JRE\\17", "JavaHome"},
      {"Software\\JavaSoft\\Java Runtime Environment\\17", "JavaHome"},
      {"Software\\JavaSoft\\Java Development Kit\\17", "JavaHome"},
      {"Software\\Eclipse Adoptium\\JDK\\17.0.9.9\\hotspot\\MSI", "Path"},
      {"Software\\Eclipse Adoptium\\JRE\\17.0.9.9\\hotspot\\MSI", "Path"},
      {"Software\\AdoptOpenJDK\\JDK\\17\\hotspot\\MSI", "Path"},
      {"Software\\AdoptOpenJDK\\JRE\\17\\hotspot\\MSI", "Path"},
      {"Software\\Eclipse Foundation\\JDK\\17\\hotspot\\MSI", "Path"},
      {"Software\\Eclipse Foundation\\JRE\\17\\hotspot\\MSI", "Path"},
      {"Software\\Semeru\\JDK\\17\\openj9\\MSI", "Path"},
      {"Software\\Semeru\\JRE\\17\\openj9\\MSI", "Path"},
      {"Software\\Microsoft\\JDK\\17.0.9.8\\hotspot\\MSI", "Path"},
      {"Software\\Azul Systems\\Zulu\\zulu-17", "InstallationPath"},
      {"Software\\Azul Systems\\Zulu 32-bit\\zulu-17", "InstallationPath"},
      {"Software\\BellSoft\\Liberica\\Liberica JDK 17", "InstallationPath"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    FakePlatform f;
    f.AddFile(f.programFolder + "\\openFile.bat");
    f.SetText(c.key, c.value, "C:\\Runtime\\");
    f.AddFile("C:\\Runtime\\bin\\java.exe");
    Form1 launcher(f);
    try {
      launcher.Form_Load();
    } catch (const FakePlatform::ProgramEnded&) {
    }
    ASSERT_EQ(f.starts.size(), 1u);
    EXPECT_EQ(f.starts[0].environment.at("PATH"), "C:\\Runtime\\bin");
  }
}

TEST(CurrentRuntimesTest, JavaHomeThenTheRegistryThenPath) {
  // Each failed start hands over to the next source.
  const struct {
    int failures;
    const char* path;
  } cases[] = {{0, "C:\\Home\\bin"}, {1, "C:\\Jdk21\\bin"}, {2, "C:\\OnPath\\bin"}, {3, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failures);
    FakePlatform f;
    f.AddFile(f.programFolder + "\\openFile.bat");
    f.environment["JAVA_HOME"] = "C:\\Home";
    f.AddFile("C:\\Home\\bin\\java.exe");
    f.AddFile("C:\\Home\\release", "JAVA_VERSION=\"11\"");  // older, still first
    RegisterRuntime(f, "Software\\JavaSoft\\JDK\\21", "C:\\Jdk21");
    f.environment["PATH"] = "C:\\Nothing;C:\\OnPath\\bin";
    f.AddFile("C:\\OnPath\\bin\\java.exe");
    f.failNextStarts = c.failures;
    Form1 launcher(f);
    try {
      launcher.Form_Load();
    } catch (const FakePlatform::ProgramEnded&) {
    }
    EXPECT_EQ(f.starts.empty() ? "" : f.starts[0].environment.at("PATH"), c.path);
  }
}

TEST(CurrentRuntimesTest, NewestRuntimeFirst) {
  const struct {
    const char* what;
    void (*setUp)(Machine&);
    const char* path;
  } cases[] = {
      {"17 beats 1.8.0_392",
       [](Machine& t) {
         t.Jdk("1.8.0_392", "C:\\J8");
         t.Jdk("17", "C:\\J17");
       },
       "C:\\J17\\bin"},
      {"11.0.2 beats 9.0.4",
       [](Machine& t) {
         t.Jdk("9.0.4", "C:\\J9");
         t.Jdk("11.0.2", "C:\\J11");
       },
       "C:\\J11\\bin"},
      {"the release file beats the key name",
       [](Machine& t) {
         t.Jdk("21", "C:\\Really11");
         t.fake.AddFile("C:\\Really11\\release", "JAVA_VERSION=\"11.0.2\"\n");
         t.Jdk("17", "C:\\J17");
       },
       "C:\\J17\\bin"},
      {"an unreadable version comes last",
       [](Machine& t) {
         t.Jdk("latest", "C:\\Unknown");
         t.Jdk("1.8", "C:\\J8");
       },
       "C:\\J8\\bin"},
      {"equal versions keep the table's order",
       [](Machine& t) {
         t.fake.SetText("Software\\Microsoft\\JDK\\17\\hotspot\\MSI", "Path", "C:\\Ms17");
         t.OnDisk("C:\\Ms17");
         t.Jdk("17", "C:\\Oracle17");
       },
       "C:\\Oracle17\\bin"},
      {"machine-wide before per-user at the same version",
       [](Machine& t) {
         t.Jdk("17", "C:\\User17", kUser);
         t.Jdk("17", "C:\\Machine17");
       },
       "C:\\Machine17\\bin"},
      {"the program's own view before the other at the same version",
       [](Machine& t) {
         t.Jdk("17", "C:\\Other17", kOtherView);
         t.Jdk("17", "C:\\Own17");
       },
       "C:\\Own17\\bin"},
      {"a newer per-user install wins",
       [](Machine& t) {
         t.Jdk("21", "C:\\User21", kUser);
         t.Jdk("17", "C:\\Machine17");
       },
       "C:\\User21\\bin"},
      {"the other registry view is searched too",
       [](Machine& t) { t.Jdk("1.8.0_392", "C:\\Wow8", kOtherView); }, "C:\\Wow8\\bin"},
      {"a folder without java.exe is passed over",
       [](Machine& t) {
         t.fake.SetText(std::string(kJdkKey) + "21", "JavaHome", "C:\\Uninstalled21");
         t.Jdk("17", "C:\\J17");
       },
       "C:\\J17\\bin"},
      {"a release file that says 1.5 is too old",
       [](Machine& t) {
         t.Jdk("21", "C:\\Old");
         t.fake.AddFile("C:\\Old\\release", "JAVA_VERSION=\"1.5.0_22\"");
         t.Jdk("1.6", "C:\\J6");
       },
       "C:\\J6\\bin"},
      {"a key name that says 1.5 is too old", [](Machine& t) { t.Jdk("1.5.0_22", "C:\\J5"); }, ""},
      {"a value of the wrong type names no folder",
       [](Machine& t) {
         t.fake.SetValue(std::string(kJdkKey) + "21", "JavaHome", kRegDword, "\x05\0\0\0");
         t.Jdk("17", "C:\\J17");
       },
       "C:\\J17\\bin"},
      {"a subkey name of 255 characters",
       [](Machine& t) { t.Jdk("17_" + std::string(252, 'x'), "C:\\Long"); }, "C:\\Long\\bin"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Machine t;
    c.setUp(t);
    EXPECT_EQ(t.StartedPath(), c.path);
  }
}

TEST(CurrentRuntimesTest, ReleaseFilesOfEveryShape) {
  // A runtime registered as 9, whose release file may say otherwise, against
  // one registered as 10 without a release file.
  using namespace std::string_literals;
  const std::string huge(1 << 20, 'x');
  const struct {
    const char* what;
    std::string release;
    const char* path;
  } cases[] = {
      {"says 17-ea", "JAVA_VERSION=\"17-ea\"", "C:\\Nine\\bin"},
      {"says 1.8.0_392-b08", "JAVA_VERSION=\"1.8.0_392-b08\"", "C:\\Ten\\bin"},
      {"says abc: the key name counts", "JAVA_VERSION=\"abc\"", "C:\\Ten\\bin"},
      {"empty", "", "C:\\Ten\\bin"},
      {"binary", "\x7f\0\xff\xfe\n\0"s, "C:\\Ten\\bin"},
      {"no JAVA_VERSION", "IMPLEMENTOR=\"X\"\n", "C:\\Ten\\bin"},
      {"huge, the version first", "JAVA_VERSION=\"99\"\n" + huge, "C:\\Nine\\bin"},
      {"huge, the version past what is read", huge + "\nJAVA_VERSION=\"99\"", "C:\\Ten\\bin"},
      {"says 1.5", "JAVA_VERSION=\"1.5.0\"", "C:\\Ten\\bin"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Machine t;
    t.Jdk("9", "C:\\Nine");
    t.fake.AddFile("C:\\Nine\\release", c.release);
    t.Jdk("10", "C:\\Ten");
    EXPECT_EQ(t.StartedPath(), c.path);
  }
}

TEST(CurrentRuntimesTest, FailedStartsMoveOnAndEachFolderIsTriedOnce) {
  Machine t;
  FakePlatform& fake = t.fake;
  const std::string batchFile = fake.programFolder + "\\openFile.bat";
  fake.RefuseStart(batchFile);
  // One folder under three keys, and JAVA_HOME naming it too.
  fake.environment["JAVA_HOME"] = "C:\\Same\\";
  t.Jdk("17", "C:\\Same");
  fake.SetText("Software\\JavaSoft\\JRE\\17", "JavaHome", "c:\\SAME");
  t.Jdk("17", "C:\\Same", kOtherView);
  t.Jdk("11", "C:\\Other");
  fake.environment["PATH"] = "C:\\Same\\bin";

  EXPECT_FALSE(t.Load());
  EXPECT_EQ(fake.startsTried, (std::vector<std::string>{batchFile, batchFile}));
  EXPECT_EQ(fake.environment.at("PATH"), "C:\\Other\\bin");  // the last one tried
  EXPECT_TRUE(fake.windowCreated);
}

TEST(CurrentRuntimesTest, OlderPhasesWinAndThisOneThenReadsNothing) {
  const struct {
    const char* what;
    void (*setUp)(FakePlatform&);
    const char* path;
  } cases[] = {
      {"the registry scan",
       [](FakePlatform& f) {
         RegisterRuntime(f, std::string(kVersionsKey) + "1.6.0_07", "C:\\J6");
       },
       "C:\\J6\\bin"},
      {"a fixed location", [](FakePlatform& f) { f.AddFile("c:\\java\\bin\\java.exe"); },
       "c:\\java\\bin"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Machine t;
    t.Jdk("21", "C:\\J21");
    t.fake.environment["JAVA_HOME"] = "C:\\J21";
    c.setUp(t.fake);
    EXPECT_EQ(t.StartedPath(), c.path);
    EXPECT_TRUE(t.fake.filesRead.empty());
    for (const std::string& key : t.fake.keysOpened) EXPECT_NE(key, kJdkKey);
    EXPECT_EQ(std::count(t.fake.variablesRead.begin(), t.fake.variablesRead.end(), "JAVA_HOME"), 0);
  }
}

TEST(CurrentRuntimesTest, JavaHomeAsUsersWriteIt) {
  const struct {
    const char* javaHome;
    const char* path;
  } cases[] = {
      {"\"C:\\Program Files\\Java\\jdk-17\"", "C:\\Program Files\\Java\\jdk-17\\bin"},
      {"C:\\Program Files\\Java\\jdk-17\\", "C:\\Program Files\\Java\\jdk-17\\bin"},
      {"C:\\Program Files\\Java\\jdk-17;C:\\x", ""},           // two folders: neither
      {"C:\\Program Files\\Java\\jdk-17\\bin\\java.exe", ""},  // a file, not a runtime
      {"Java\\jdk-17", ""},                                    // relative
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.javaHome);
    Machine t;
    t.OnDisk("C:\\Program Files\\Java\\jdk-17");
    t.fake.AddFile("C:\\x\\bin\\java.exe");
    t.fake.environment["JAVA_HOME"] = c.javaHome;
    EXPECT_EQ(t.StartedPath(), c.path);
  }
}

TEST(CurrentRuntimesTest, FirstJavaOnPath) {
  const struct {
    const char* what;
    const char* path;
    const char* started;
  } cases[] = {
      {"the first folder holding java.exe", "C:\\a;C:\\J17\\bin;C:\\J21\\bin", "C:\\J17\\bin"},
      {"empty and quoted entries", ";;\"C:\\J17\\bin\";", "C:\\J17\\bin"},
      {"a relative entry is never taken", ".;bin;C:\\J21\\bin", "C:\\J21\\bin"},
      {"too old at the first: no other", "C:\\J5\\bin;C:\\J21\\bin", ""},
      {"an entry of 5,000 characters, holding java.exe", "C:\\x", "C:\\x"},
      {"nothing on PATH", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Machine t;
    for (const char* folder : {"C:\\J17", "C:\\J21", "C:\\J5"}) t.OnDisk(folder);
    t.fake.AddFile("C:\\J5\\release", "JAVA_VERSION=\"1.5.0\"");
    // A relative entry would name the current folder, where a document was
    // opened from; a java.exe there must never run.
    t.fake.AddFile(".\\java.exe");
    t.fake.AddFile("bin\\java.exe");
    // No length is cut: a folder of 5,000 characters is found whole.
    const std::string longFolder = "C:\\x" + std::string(5000, 'x');
    t.fake.AddFile(longFolder + "\\java.exe");
    const auto whole = [&](const char* text) {
      return text == std::string("C:\\x") ? longFolder : text;
    };
    t.fake.environment["PATH"] = whole(c.path);
    EXPECT_EQ(t.StartedPath(), whole(c.started));
  }
}

TEST(CurrentRuntimesTest, ThousandsOfSubkeysAreReadButOnlyRuntimesOnDiskTouched) {
  Machine t;
  for (int i = 0; i < 3000; ++i) {
    t.fake.SetText(kJdkKey + std::to_string(i), "JavaHome", "C:\\Gone\\" + std::to_string(i));
  }
  t.Jdk("11", "C:\\J11");
  EXPECT_EQ(t.StartedPath(), "C:\\J11\\bin");
  // Release files are read only where java.exe is.
  EXPECT_EQ(t.fake.filesRead, (std::vector<std::string>{"C:\\J11\\release"}));
}

}  // namespace
}  // namespace velmorant
