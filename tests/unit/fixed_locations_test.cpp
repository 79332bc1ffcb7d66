// The fixed-location search: the order of its fourteen candidates, a failed
// start moving on to the next one, and what it leaves when nothing started.
#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "launcher_fixture.h"

namespace velmorant {
namespace {

constexpr const char* kRoots[] = {
    "Software\\JavaSoft\\Java Runtime Environment\\",
    "Software\\JavaSoft\\Java Development Kit\\",
    "Software\\JavaSoft\\Java Plug-in\\",
};

// A machine whose scanned key cannot be read (so that keys of the runtime
// root reach the search rather than the scan), an archive the search must
// never start, and a batch file.
void Prepare(FakePlatform& f) {
  f.DenyKey(kVersionsKey, 5);
  f.environment["PATH"] = "C:\\old";
  f.environment["SYSTEMROOT"] = "C:\\WINDOWS";
  f.AddFile(f.programFolder + "\\Velmorant.jar");
  f.AddFile(f.programFolder + "\\openFile.bat");
}

// Registry candidate at `root` (0-2) for a version name.
void AddKey(FakePlatform& f, int root, const std::string& version, const std::string& home) {
  RegisterRuntime(f, kRoots[root] + version, home);
}

// Runs the load step; the PATH of the one start it made, or "" for none.
std::string PathOfStart(FakePlatform& f) {
  Form1 launcher(f);
  try {
    launcher.Form_Load();
  } catch (const FakePlatform::ProgramEnded&) {
  }
  if (f.starts.size() != 1) return {};
  EXPECT_EQ(f.starts[0].path, f.programFolder + "\\openFile.bat");
  return f.starts[0].environment.at("PATH");
}

struct Case {
  const char* what;
  void (*setUp)(FakePlatform&);
  const char* path;
};

TEST(FixedLocationsTest, EarlierCandidateWins) {
  const Case cases[] = {
      {"any 6.0 beats every 1.6 and 1.6.0",
       [](FakePlatform& f) {
         AddKey(f, 0, "1.6", "C:\\re16");
         AddKey(f, 0, "1.6.0", "C:\\re160");
         AddKey(f, 2, "6.0", "C:\\plugin60");
       },
       "C:\\plugin60\\bin"},
      {"runtime environment beats development kit",
       [](FakePlatform& f) {
         AddKey(f, 1, "1.6", "C:\\dk16");
         AddKey(f, 0, "1.6", "C:\\re16");
       },
       "C:\\re16\\bin"},
      {"development kit beats plug-in",
       [](FakePlatform& f) {
         AddKey(f, 2, "1.6.0", "C:\\pi160");
         AddKey(f, 1, "1.6.0", "C:\\dk160");
       },
       "C:\\dk160\\bin"},
      {"1.6 beats 1.6.0",
       [](FakePlatform& f) {
         AddKey(f, 0, "1.6.0", "C:\\re160");
         AddKey(f, 2, "1.6", "C:\\pi16");
       },
       "C:\\pi16\\bin"},
      {"registry beats the fixed places",
       [](FakePlatform& f) {
         AddKey(f, 2, "1.6.0", "C:\\pi160\\");
         f.AddFile("c:\\java\\bin\\java.exe");
       },
       "C:\\pi160\\bin"},
      // A key left behind by an uninstalled runtime must not win.
      {"a registry folder without java.exe is passed over",
       [](FakePlatform& f) {
         f.SetText(std::string(kRoots[1]) + "6.0", "JavaHome", "D:\\gone");
         f.AddFile("c:\\java\\bin\\java.exe");
       },
       "c:\\java\\bin"},
      // Java's launcher finds its own files by an ANSI name, which a folder
      // on a volume without short names may not have.
      {"a registry folder with no name Java can read is passed over",
       [](FakePlatform& f) {
         AddKey(f, 1, "6.0", "C:\\\xD0\x96");
         f.AddFile("c:\\java\\bin\\java.exe");
       },
       "c:\\java\\bin"},
      // A REG_BINARY JavaHome reads as "-1": never looked for below the
      // current folder, however it holds java.exe.
      {"a relative registry folder is passed over",
       [](FakePlatform& f) {
         f.SetValue(std::string(kRoots[0]) + "1.6", "JavaHome", kRegBinary, "\xff\xff");
         f.AddFile("-1\\bin\\java.exe");
         f.AddFile("C:\\WINDOWS\\java.exe");
       },
       "C:\\WINDOWS"},
      {"fixed place 1 beats 2",
       [](FakePlatform& f) {
         f.AddFile("c:\\windows\\system\\java.exe");
         f.AddFile("c:\\java\\bin\\java.exe");
       },
       "c:\\java\\bin"},
      {"fixed place 3 beats 4",
       [](FakePlatform& f) {
         f.AddFile("c:\\winnt\\system32\\java.exe");
         f.AddFile("c:\\windows\\system32\\java.exe");
       },
       "c:\\windows\\system32"},
      {"a folder named java.exe counts",
       [](FakePlatform& f) { f.AddFolder("c:\\winnt\\system32\\java.exe"); },
       "c:\\winnt\\system32"},
      {"fixed place 4 beats the system folder",
       [](FakePlatform& f) {
         f.AddFile("C:\\WINDOWS\\java.exe");
         f.AddFile("c:\\winnt\\system32\\java.exe");
       },
       "c:\\winnt\\system32"},
      {"the system folder as read, nothing added",
       [](FakePlatform& f) { f.AddFile("C:\\WINDOWS\\java.exe"); }, "C:\\WINDOWS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform f;
    Prepare(f);
    c.setUp(f);
    EXPECT_EQ(PathOfStart(f), c.path);
  }
}

TEST(FixedLocationsTest, FailedStartMovesToTheNextCandidate) {
  // The first candidate's start fails; PATH shows which one got through.
  const Case cases[] = {
      {"root 3 of 6.0 to root 1 of 1.6",
       [](FakePlatform& f) {
         AddKey(f, 2, "6.0", "C:\\fails");
         AddKey(f, 0, "1.6", "C:\\re16");
       },
       "C:\\re16\\bin"},
      {"order 9 to fixed place 1",
       [](FakePlatform& f) {
         AddKey(f, 2, "1.6.0", "C:\\fails");
         f.AddFile("c:\\java\\bin\\java.exe");
       },
       "c:\\java\\bin"},
      {"order 13 to the system folder",
       [](FakePlatform& f) {
         f.AddFile("c:\\winnt\\system32\\java.exe");
         f.AddFile("C:\\WINDOWS\\java.exe");
       },
       "C:\\WINDOWS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform f;
    Prepare(f);
    c.setUp(f);
    f.failNextStarts = 1;
    EXPECT_EQ(PathOfStart(f), c.path);
    EXPECT_EQ(f.startsTried.size(), 2u);
  }
}

// The first `count` entries of a record; the search for today's runtimes
// follows the fixed search and adds its own.
std::vector<std::string> First(const std::vector<std::string>& record, std::size_t count) {
  return {record.begin(),
          record.begin() + static_cast<std::ptrdiff_t>(std::min(count, record.size()))};
}

TEST(FixedLocationsTest, NothingInstalledAsksEachPlaceOnceAndChangesNothing) {
  FakePlatform f;
  Prepare(f);
  EXPECT_EQ(PathOfStart(f), "");
  // The scan's own key, then the nine fixed keys, version name outer.
  std::vector<std::string> keys = {kVersionsKey};
  for (const char* version : {"6.0", "1.6", "1.6.0"}) {
    for (const char* root : kRoots) keys.push_back(std::string(root) + version);
  }
  EXPECT_EQ(First(f.keysOpened, keys.size()), keys);
  // A runtime shipped beside the launcher first, then the fixed places.
  const std::vector<std::string> places = {"C:\\Apps\\Velmorant\\runtime\\bin\\java.exe",
                                           "C:\\Apps\\Velmorant\\jre\\bin\\java.exe",
                                           "c:\\java\\bin\\java.exe",
                                           "c:\\windows\\system\\java.exe",
                                           "c:\\windows\\system32\\java.exe",
                                           "c:\\winnt\\system32\\java.exe",
                                           "C:\\WINDOWS\\java.exe"};
  EXPECT_EQ(First(f.pathsTested, places.size()), places);
  // Whether to trace, the PATH the launcher was given (for the last phase),
  // then SYSTEMROOT.
  EXPECT_EQ(First(f.variablesRead, 3),
            (std::vector<std::string>{"VELMORANT_LAUNCHER_TRACE", "PATH", "SYSTEMROOT"}));
  EXPECT_EQ(f.environment.at("PATH"), "C:\\old");
  EXPECT_TRUE(f.startsTried.empty());
  EXPECT_EQ(f.OpenKeyCount(), 0u);
}

TEST(FixedLocationsTest, MissingBatchFileVisitsEveryCandidateAndKeepsTheLastPath) {
  FakePlatform f;
  f.DenyKey(kVersionsKey, 5);
  f.environment["SYSTEMROOT"] = "C:\\WINDOWS";
  AddKey(f, 0, "6.0", "C:\\a");
  AddKey(f, 2, "1.6.0", "C:\\b");
  f.AddFile("c:\\java\\bin\\java.exe");
  f.AddFile("C:\\WINDOWS\\java.exe");

  EXPECT_EQ(PathOfStart(f), "");
  EXPECT_EQ(f.startsTried, std::vector<std::string>(4, f.programFolder + "\\openFile.bat"));
  EXPECT_EQ(f.environment.at("PATH"), "C:\\WINDOWS");
}

TEST(FixedLocationsTest, SystemRootWithTrailingBackslashGetsNoSecondOne) {
  FakePlatform f;
  Prepare(f);
  f.environment["SYSTEMROOT"] = "D:\\";
  f.AddFile("D:\\java.exe");
  EXPECT_EQ(PathOfStart(f), "D:\\");
}

TEST(FixedLocationsTest, UnsetOrEmptySystemRootIsNoCandidate) {
  for (const bool set : {false, true}) {
    SCOPED_TRACE(set ? "empty" : "unset");
    FakePlatform f;
    f.AddFile(f.programFolder + "\\openFile.bat");
    f.AddFile("\\java.exe");  // the root of the current drive
    if (set) f.environment["SYSTEMROOT"] = "";
    EXPECT_EQ(PathOfStart(f), "");
    EXPECT_TRUE(f.startsTried.empty());
    EXPECT_EQ(f.environment.count("PATH"), 0u);
  }
}

}  // namespace
}  // namespace velmorant
