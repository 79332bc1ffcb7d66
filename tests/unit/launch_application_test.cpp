// The load step and the registry scan: the hand-off environment, the version
// filter, the choice between archive and batch file, and a scan that goes on
// past every failed runtime.
#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "launcher_fixture.h"

namespace velmorant {
namespace {

class LaunchApplicationTest : public LauncherTest {
 protected:
  void SetUp() override {
    fake.commandLineArgs = "C:\\docs\\report.vel";
    fake.environment["PATH"] = "C:\\old";
    fake.AddFile(BatchFile());
  }
  const FakePlatform::Start& OnlyStart() {
    EXPECT_EQ(fake.starts.size(), 1u);
    return fake.starts.at(0);
  }
};

TEST_F(LaunchApplicationTest, TypicalStartHandsOverEverything) {
  AddRuntime("1.5.0_22", "C:\\Java\\jre1.5");
  AddRuntime("1.6.0_07", "C:\\Java\\jre1.6");
  fake.AddFile(Archive());

  ASSERT_TRUE(Load());
  const auto& start = OnlyStart();
  EXPECT_EQ(start.path, Archive());
  EXPECT_EQ(start.environment.at("filetouse"), "C:\\docs\\report.vel");
  EXPECT_EQ(start.environment.at("directory"), Folder());
  EXPECT_EQ(start.environment.at("PATH"), "C:\\Java\\jre1.6\\bin");  // replaced, not extended
  EXPECT_FALSE(fake.windowShown);
}

TEST_F(LaunchApplicationTest, VersionFilterReadsThreeCharacters) {
  const struct {
    const char* name;
    bool qualifies;
  } cases[] = {
      {"1.6", true},  {"1.6.0_07", true},  {"1.8.0_202", true}, {"10.0.2", true}, {"9", true},
      {"17", true},   {"1.5.0_22", false}, {"1.4.2_19", false}, {"1.5", false},   {"1", false},
      {"abc", false}, {".6", false},       {"1,6", false},      {"-1.6", false},  {"inf", false},
      {"nan", false}, {"1..", false},      {" 1.6", false},     {"1.6abc", true}, {"2a", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform fresh;
    fresh.AddFile(fresh.programFolder + "\\openFile.bat");
    RegisterRuntime(fresh, std::string(kVersionsKey) + c.name, "C:\\J");
    Form1 launcher(fresh);
    try {
      launcher.Form_Load();
    } catch (const FakePlatform::ProgramEnded&) {
    }
    // The scan started it when the later phases, which take any runtime on
    // disk, never ran.
    const bool laterPhases = std::count(fresh.keysOpened.begin(), fresh.keysOpened.end(),
                                        "Software\\JavaSoft\\Java Plug-in\\6.0") != 0;
    EXPECT_EQ(!laterPhases && fresh.starts.size() == 1, c.qualifies);
  }
}

TEST_F(LaunchApplicationTest, RuntimeWithoutUsableJavaHomeIsPassedOver) {
  fake.AddKey(std::string(kVersionsKey) + "1.6.0_01");                   // no JavaHome
  fake.SetText(std::string(kVersionsKey) + "1.6.0_02", "JavaHome", "");  // empty
  fake.SetValue(std::string(kVersionsKey) + "1.6.0_03", "JavaHome", kRegExpandSz,
                std::string("C:\\J\0", 5));
  AddRuntime("1.7", "C:\\J17\\");

  ASSERT_TRUE(Load());
  EXPECT_EQ(OnlyStart().environment.at("PATH"), "C:\\J17\\bin");
}

TEST_F(LaunchApplicationTest, ArchiveOrBatchFile) {
  const struct {
    const char* what;
    bool archive, archiveStarts;
    const char* opener;
    std::vector<std::string> tried;
  } cases[] = {
      {"archive present and startable", true, true, nullptr, {"\\Velmorant.jar"}},
      {"archive present, no program for it",
       true,
       false,
       nullptr,
       {"\\Velmorant.jar", "\\openFile.bat"}},
      {"archive absent: no start tried for it", false, false, nullptr, {"\\openFile.bat"}},
      // An archiver would list the archive, and the launcher would end as if
      // the application ran: it is never started.
      {"archive opens with an archiver", true, true, "C:\\WinRAR\\WinRAR.exe", {"\\openFile.bat"}},
      {"archive opens with no program", true, true, "", {"\\openFile.bat"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform fresh;
    const std::string folder = fresh.programFolder;
    fresh.AddFile(folder + "\\openFile.bat");
    RegisterRuntime(fresh, std::string(kVersionsKey) + "1.6.0_07", "C:\\J");
    if (c.archive) fresh.AddFile(folder + "\\Velmorant.jar");
    if (!c.archiveStarts) fresh.RefuseStart(folder + "\\Velmorant.jar");
    if (c.opener != nullptr) fresh.openers[".jar"] = c.opener;
    Form1 launcher(fresh);
    EXPECT_THROW(launcher.Form_Load(), FakePlatform::ProgramEnded);
    std::vector<std::string> expected;
    for (const auto& file : c.tried) expected.push_back(folder + file);
    EXPECT_EQ(fresh.startsTried, expected);
    ASSERT_EQ(fresh.starts.size(), 1u);
    EXPECT_EQ(fresh.starts[0].environment.at("PATH"), "C:\\J\\bin");
    EXPECT_EQ(fresh.endCalls, 1);
  }
}

TEST_F(LaunchApplicationTest, FailedPassesGoOnAndLeaveTheLastPath) {
  // Names the fixed search does not look up again.
  fake.RefuseStart(BatchFile());
  AddRuntime("1.7", "C:\\J17");
  AddRuntime("1.8", "C:\\J18");

  EXPECT_FALSE(Load());
  // Both in the scan, then both again, newest first, among today's runtimes.
  EXPECT_EQ(fake.startsTried, std::vector<std::string>(4, BatchFile()));
  EXPECT_EQ(fake.environment.at("PATH"), "C:\\J17\\bin");
  EXPECT_EQ(fake.OpenKeyCount(), 0u);  // the scan closed its key
}

TEST_F(LaunchApplicationTest, NoRuntimeFallsThroughToTheFixedSearch) {
  const struct {
    const char* what;
    void (*setUp)(FakePlatform&);
  } cases[] = {
      {"key of the runtime versions absent", [](FakePlatform&) {}},
      {"key present without subkeys", [](FakePlatform& f) { f.AddKey(kVersionsKey); }},
      {"key that cannot be opened", [](FakePlatform& f) { f.DenyKey(kVersionsKey, 5); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform fresh;
    fresh.commandLineArgs = "x";
    fresh.environment["PATH"] = "C:\\old";
    c.setUp(fresh);
    Form1 launcher(fresh);
    launcher.Form_Load();  // returns: nothing could be started
    EXPECT_EQ(fresh.environment.at("filetouse"), "x");
    EXPECT_EQ(fresh.environment.at("directory"), fresh.programFolder);
    EXPECT_EQ(fresh.environment.at("PATH"), "C:\\old");
    // The scan's key, then the nine fixed keys; the last phase's follow.
    ASSERT_GT(fresh.keysOpened.size(), 1u + 9u);
    EXPECT_EQ(fresh.keysOpened[0], kVersionsKey);
    EXPECT_EQ(fresh.keysOpened[9], "Software\\JavaSoft\\Java Plug-in\\1.6.0");
    EXPECT_EQ(fresh.OpenKeyCount(), 0u);
    EXPECT_TRUE(fresh.starts.empty());
  }
}

TEST_F(LaunchApplicationTest, NameOfTheLongestLegalLengthIsRead) {
  AddRuntime("1.7_" + std::string(251, 'x'), "C:\\J17");  // 255 characters
  ASSERT_TRUE(Load());
  EXPECT_EQ(OnlyStart().environment.at("PATH"), "C:\\J17\\bin");
}

TEST_F(LaunchApplicationTest, EnumerationFaultsDoNotStopOrHangTheScan) {
  // A name too long for the buffer spoils its own index only.
  fake.AddKey(std::string(kVersionsKey) + "1.7_" + std::string(252, 'x'));
  fake.FailEnumeration(kVersionsKey, 1, kErrorMoreData);
  AddRuntime("1.7.0_01", "C:\\Skipped");  // index 1: its enumeration fails
  AddRuntime("1.8.0_07", "C:\\J18");
  ASSERT_TRUE(Load());
  EXPECT_EQ(OnlyStart().environment.at("PATH"), "C:\\J18\\bin");
}

TEST_F(LaunchApplicationTest, HardEnumerationFailureEndsTheScan) {
  AddRuntime("1.6.0_07", "C:\\J16");
  fake.FailEnumeration(kVersionsKey, 0, kErrorInvalidHandle);
  EXPECT_FALSE(Load());
  EXPECT_TRUE(fake.startsTried.empty());
  EXPECT_EQ(fake.OpenKeyCount(), 0u);
}

TEST_F(LaunchApplicationTest, ThousandSubkeysBeforeTheQualifyingOne) {
  for (int i = 0; i < 1000; ++i)
    fake.AddKey(std::string(kVersionsKey) + "1.5.0_" + std::to_string(i));
  AddRuntime("1.6.0_07", "C:\\J16");
  ASSERT_TRUE(Load());
  EXPECT_EQ(OnlyStart().environment.at("PATH"), "C:\\J16\\bin");
}

TEST_F(LaunchApplicationTest, EmptyCommandLineGivesEmptyFiletouse) {
  fake.commandLineArgs = "";
  AddRuntime("1.6", "C:\\J16");
  ASSERT_TRUE(Load());
  EXPECT_EQ(OnlyStart().environment.at("filetouse"), "");
}

TEST_F(LaunchApplicationTest, WindowIsBuiltHiddenAndShownOnlyWhenNothingStarted) {
  EXPECT_TRUE(fake.windowCreated);
  EXPECT_FALSE(fake.windowShown);

  FakePlatform empty;
  EXPECT_EQ(Form1::Run(empty), 0);
  EXPECT_TRUE(empty.windowShown);

  FakePlatform installed;
  installed.AddFile(installed.programFolder + "\\openFile.bat");
  RegisterRuntime(installed, std::string(kVersionsKey) + "1.6", "C:\\J");
  EXPECT_THROW(Form1::Run(installed), FakePlatform::ProgramEnded);
  EXPECT_FALSE(installed.windowShown);
}

// The application's folder with its archive and batch file, on a machine
// with a runtime of 1.6 registered at C:\J; returns the folder.
std::string InstallWithRuntime(FakePlatform& f) {
  f.AddFile(f.programFolder + "\\openFile.bat");
  f.AddFile(f.programFolder + "\\Velmorant.jar");
  RegisterRuntime(f, std::string(kVersionsKey) + "1.6.0_07", "C:\\J");
  return f.programFolder;
}

// A runtime shipped beside the launcher comes before every installed one,
// and always through the batch file: Windows would open the archive with
// whatever Java owns ".jar".
TEST(ShippedRuntimeTest, ComesFirstWhenUsable) {
  const struct {
    const char* what;
    std::vector<const char*> javas;  // below the application folder
    std::vector<std::pair<const char*, const char*>> releases;
    bool batchStarts;
    const char* path;  // "" for the registered runtime
  } cases[] = {
      {"runtime with a release file",
       {"runtime"},
       {{"runtime", "JAVA_VERSION=\"17.0.2\""}},
       true,
       "\\runtime\\bin"},
      {"jre without a release file", {"jre"}, {}, true, "\\jre\\bin"},
      {"runtime before jre", {"jre", "runtime"}, {}, true, "\\runtime\\bin"},
      {"runtime older than 1.6",
       {"runtime", "jre"},
       {{"runtime", "JAVA_VERSION=\"1.5.0\""}},
       true,
       "\\jre\\bin"},
      {"release file without a version",
       {"runtime"},
       {{"runtime", "IMPLEMENTOR=x"}},
       true,
       "\\runtime\\bin"},
      {"no bin\\java.exe", {}, {{"runtime", "JAVA_VERSION=\"17\""}}, true, ""},
      {"its start fails", {"runtime"}, {}, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform f;
    const std::string folder = InstallWithRuntime(f);
    for (const char* java : c.javas) f.AddFile(folder + "\\" + java + "\\bin\\java.exe");
    for (const auto& [name, text] : c.releases) f.AddFile(folder + "\\" + name + "\\release", text);
    f.AddFolder(folder + "\\runtime");
    if (!c.batchStarts) f.failNextStarts = 1;
    Form1 launcher(f);
    EXPECT_THROW(launcher.Form_Load(), FakePlatform::ProgramEnded);
    ASSERT_EQ(f.starts.size(), 1u);
    const std::string path = *c.path != '\0' ? folder + c.path : "C:\\J\\bin";
    EXPECT_EQ(f.starts[0].environment.at("PATH"), path);
    EXPECT_EQ(f.starts[0].environment.at("directory"), folder);
    if (*c.path != '\0') EXPECT_EQ(f.starts[0].path, folder + "\\openFile.bat");
  }
}

// The user said no to a start at a prompt of Windows' (a zone check, an
// elevation): the launcher ends there. Another candidate would ask again,
// and the window would say that Java is missing.
TEST(CancelledStartTest, EndsTheSearchWithoutTheWindow) {
  const struct {
    const char* what;
    bool shipped;
    const char* cancelled;
  } cases[] = {
      {"the archive, for a registered runtime", false, "\\Velmorant.jar"},
      {"the batch file, for a shipped runtime", true, "\\openFile.bat"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform f;
    const std::string folder = InstallWithRuntime(f);
    if (c.shipped) f.AddFile(folder + "\\runtime\\bin\\java.exe");
    f.RefuseStart(folder + c.cancelled, kErrorCancelled);
    EXPECT_THROW(Form1::Run(f), FakePlatform::ProgramEnded);
    EXPECT_EQ(f.startsTried, std::vector<std::string>{folder + c.cancelled});
    EXPECT_TRUE(f.starts.empty());
    EXPECT_FALSE(f.windowShown);
  }
}

// Windows refuses a PATH of more than 32,766 characters and keeps the old
// one, often another runtime's: such a candidate is not started at all, in
// any phase, and the next one is tried.
TEST(RefusedPathTest, AbandonsTheCandidate) {
  const std::string huge = "C:\\" + std::string(40000, 'x');
  const struct {
    const char* what;
    std::function<void(FakePlatform&)> setUp;
    const char* path;  // of the next candidate, which starts
  } cases[] = {
      {"the registry scan",
       [&](FakePlatform& f) { RegisterRuntime(f, std::string(kVersionsKey) + "1.6.0_07", huge); },
       "C:\\WINDOWS"},
      {"a fixed key",
       [&](FakePlatform& f) { RegisterRuntime(f, "Software\\JavaSoft\\Java Plug-in\\6.0", huge); },
       "C:\\WINDOWS"},
      {"JAVA_HOME",
       [&](FakePlatform& f) {
         f.environment.erase("SYSTEMROOT");
         f.environment["JAVA_HOME"] = huge;
         f.AddFile(huge + "\\bin\\java.exe");
         RegisterRuntime(f, "Software\\JavaSoft\\JDK\\17", "C:\\jdk17");
       },
       "C:\\jdk17\\bin"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform f;
    f.environment["PATH"] = "C:\\old";
    f.AddFile(f.programFolder + "\\openFile.bat");
    f.environment["SYSTEMROOT"] = "C:\\WINDOWS";
    f.AddFile("C:\\WINDOWS\\java.exe");
    c.setUp(f);
    Form1 launcher(f);
    EXPECT_THROW(launcher.Form_Load(), FakePlatform::ProgramEnded);
    // One start only, and not with the PATH that was there before.
    EXPECT_EQ(f.startsTried.size(), 1u);
    EXPECT_EQ(f.starts.at(0).environment.at("PATH"), c.path);
  }
}

}  // namespace
}  // namespace velmorant
