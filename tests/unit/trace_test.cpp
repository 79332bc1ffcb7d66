// The trace of the search: what it says for each way a launch can end, that
// it changes nothing the launcher does, and which values of the variable
// give no trace at all.
#include <functional>
#include <string>
#include <vector>

#include "launcher_fixture.h"
#include "tests/fake/FakePlatform.h"
#include <gtest/gtest.h>

namespace velmorant {
namespace {

constexpr char kTrace[] = "C:\\Users\\Public\\trace.txt";

// A machine with the batch file, set up by `setUp`, with or without a trace.
struct Launch {
  Launch(const std::function<void(FakePlatform&)>& setUp, const char* trace) {
    fake.AddFile(fake.programFolder + "\\openFile.bat");
    fake.environment["PATH"] = "C:\\Windows\\system32";
    fake.environment["SYSTEMROOT"] = "C:\\Windows";
    if (trace != nullptr) fake.environment[Trace::kVariable] = trace;
    setUp(fake);
    try {
      Form1::Run(fake);
    } catch (const FakePlatform::ProgramEnded&) {
    }
    // What a started program got, less the trace's own variable.
    for (FakePlatform::Start& start : fake.starts) start.environment.erase(Trace::kVariable);
  }
  FakePlatform fake;
};

// Each of `lines` is in the trace, in this order.
void ExpectInOrder(const std::string& trace, const std::vector<std::string>& lines) {
  std::size_t at = 0;
  for (const std::string& line : lines) {
    const std::size_t found = trace.find(line, at);
    ASSERT_NE(found, std::string::npos) << "missing after offset " << at << ": " << line << "\n"
                                        << trace;
    at = found + line.size();
  }
}

TEST(TraceTest, NamesEachPhasesCandidatesAndChangesNothing) {
  const struct {
    const char* name;
    std::function<void(FakePlatform&)> setUp;
    std::vector<std::string> lines;
  } cases[] = {
      {"registry scan",
       [](FakePlatform& f) {
         RegisterRuntime(f, "Software\\JavaSoft\\Java Runtime Environment\\1.5.0_22", "C:\\J5");
         RegisterRuntime(f, "Software\\JavaSoft\\Java Runtime Environment\\1.6.0_07", "C:\\J6");
       },
       {"Velmorant launcher 1.04, C:\\Apps\\Velmorant\\Velmorant.exe\r\n",
        "Windows 10.0 (build 19045), a 32-bit launcher on 64-bit Windows\r\n",
        "Set directory to C:\\Apps\\Velmorant\r\n",
        "Scanning HKLM\\Software\\JavaSoft\\Java Runtime Environment (32-bit view)\r\n",
        "Subkey 1.5.0_22: not version 1.6 or later, passed over\r\n",
        "Subkey 1.6.0_07: version 1.6 or later\r\n",
        "1.6.0_07 (32-bit view)\\JavaHome = \"C:\\J6\"\r\n", "Set PATH to C:\\J6\\bin\r\n",
        "C:\\Apps\\Velmorant\\Velmorant.jar: not found\r\n",
        "Started C:\\Apps\\Velmorant\\openFile.bat; the launcher ends\r\n"}},
      {"an archiver owns .jar",
       [](FakePlatform& f) {
         RegisterRuntime(f, "Software\\JavaSoft\\Java Runtime Environment\\1.6.0_07", "C:\\J6");
         f.AddFile(f.programFolder + "\\Velmorant.jar");
         f.openers[".jar"] = "\"C:\\Program Files\\WinRAR\\WinRAR.exe\" \"%1\"";
       },
       {"Velmorant.jar would open with C:\\Program Files\\WinRAR\\WinRAR.exe, which is no Java "
        "runtime: the batch file is started instead\r\n",
        "Started C:\\Apps\\Velmorant\\openFile.bat; the launcher ends\r\n"}},
      {"names outside the ANSI code page, with and without a short name",
       [](FakePlatform& f) {
         f.programFolder = "C:\\Apps\\\xD0\x96";
         RegisterRuntime(f, "Software\\JavaSoft\\Java Runtime Environment\\1.6.0_05",
                         "C:\\\xD0\x96"
                         "2");
         RegisterRuntime(f, "Software\\JavaSoft\\Java Runtime Environment\\1.6.0_07",
                         "C:\\\xD0\x96");
         f.shortNames["C:\\\xD0\x96\\bin"] = "C:\\ZH~1\\bin";
         f.AddFile(f.programFolder + "\\Velmorant.jar");
       },
       {"C:\\\xD0\x96"
        "2\\bin has characters outside the ANSI code page and no short name, so "
        "Java cannot start from it: passed over\r\n",
        "C:\\\xD0\x96\\bin is handed to Java by its short name C:\\ZH~1\\bin\r\n",
        "Set PATH to C:\\ZH~1\\bin\r\n",
        "C:\\Apps\\\xD0\x96\\Velmorant.jar has characters outside the ANSI code page and no "
        "short name: handed to Java as it is\r\n",
        "Started C:\\Apps\\\xD0\x96\\Velmorant.jar; the launcher ends\r\n"}},
      {"a start the user cancelled",
       [](FakePlatform& f) {
         RegisterRuntime(f, "Software\\JavaSoft\\Java Runtime Environment\\1.6.0_07", "C:\\J6");
         f.RefuseStart(f.programFolder + "\\openFile.bat", kErrorCancelled);
       },
       {"Set PATH to C:\\J6\\bin\r\n",
        "The start of C:\\Apps\\Velmorant\\openFile.bat was cancelled: the launcher ends and "
        "tries nothing else\r\n"}},
      {"fixed locations, after a start that failed",
       [](FakePlatform& f) {
         f.SetValue("Software\\JavaSoft\\Java Development Kit\\6.0", "JavaHome", kRegDword,
                    std::string("\x01\0\0\0", 4));
         f.AddFile("c:\\java\\bin\\java.exe");
         f.AddFile("c:\\windows\\system32\\java.exe");
         f.failNextStarts = 1;
       },
       {"Scanning HKLM\\Software\\JavaSoft\\Java Runtime Environment (32-bit view): no such key",
        "Java Runtime Environment\\6.0 (32-bit view)\\JavaHome: no such key\r\n",
        "Java Development Kit\\6.0 (32-bit view)\\JavaHome = \"\" (REG_DWORD)\r\n",
        "Set PATH to c:\\java\\bin\r\n",
        "Could not start C:\\Apps\\Velmorant\\openFile.bat: error 1155, error text 1155\r\n",
        "c:\\windows\\system holds no java.exe: passed over\r\n",
        "Set PATH to c:\\windows\\system32\r\n",
        "Started C:\\Apps\\Velmorant\\openFile.bat; the launcher ends\r\n"}},
      {"today's runtimes",
       [](FakePlatform& f) {
         f.environment["JAVA_HOME"] = "C:\\old";
         f.AddFile("C:\\old\\bin\\java.exe");
         f.AddFile("C:\\old\\release", "JAVA_VERSION=\"1.5.0\"");
         RegisterRuntime(f, "Software\\JavaSoft\\JDK\\21", "C:\\jdk21", {kHkeyCurrentUser});
         f.AddFile("C:\\jdk21\\bin\\java.exe");
       },
       {"Looking for the Java runtimes that today's installers register\r\n",
        "JAVA_HOME is C:\\old\r\n", "C:\\old: version 5.0 (from its release file), older than 1.6",
        "HKLM\\Software\\JavaSoft\\JDK (32-bit view): no such key\r\n",
        "HKCU\\Software\\JavaSoft\\JDK\\21 (32-bit view)\\JavaHome = \"C:\\jdk21\"\r\n",
        "C:\\jdk21\\bin\\java.exe: found\r\n",
        "C:\\jdk21: version 21 (from the key name), a candidate\r\n",
        "1 registered runtime found\r\n", "Set PATH to C:\\jdk21\\bin\r\n",
        "Started C:\\Apps\\Velmorant\\openFile.bat; the launcher ends\r\n"}},
      {"the window",
       [](FakePlatform&) {},
       {"HKCU\\Software\\BellSoft\\Liberica (64-bit view): no such key\r\n",
        "C:\\Windows\\system32\\java.exe: not found\r\n",
        "Nothing could be started: the window saying so is shown\r\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Launch on(c.setUp, kTrace);
    const Launch off(c.setUp, nullptr);
    EXPECT_EQ(on.fake.tracePath, kTrace);
    EXPECT_EQ(on.fake.trace.substr(0, 3), "\xEF\xBB\xBF");
    ExpectInOrder(on.fake.trace, c.lines);
    // Every line ends in CRLF and none is empty.
    EXPECT_EQ(on.fake.trace.find("\n\r"), std::string::npos);
    EXPECT_EQ(on.fake.trace.back(), '\n');
    // The trace changes nothing: the same reads, starts and environment.
    EXPECT_EQ(on.fake.keysOpened, off.fake.keysOpened);
    EXPECT_EQ(on.fake.pathsTested, off.fake.pathsTested);
    EXPECT_EQ(on.fake.startsTried, off.fake.startsTried);
    ASSERT_EQ(on.fake.starts.size(), off.fake.starts.size());
    for (std::size_t i = 0; i < on.fake.starts.size(); ++i) {
      EXPECT_EQ(on.fake.starts[i].environment, off.fake.starts[i].environment);
    }
    EXPECT_EQ(on.fake.windowShown, off.fake.windowShown);
    EXPECT_TRUE(off.fake.tracePath.empty());
  }
}

TEST(TraceTest, ValuesThatGiveNoTraceOrAnUnquotedOne) {
  const struct {
    const char* value;
    const char* tracePath;  // where the trace was created; "" for none
  } cases[] = {
      {"", ""},
      {"\"C:\\My trace.txt\"", "C:\\My trace.txt"},  // set VAR="..." keeps the quotes
      {"\"\"", ""},
      {"C:\\Users", ""},  // refused by the platform (a folder, say): no trace, nothing else
      {"trace.txt", "trace.txt"},  // relative: Windows takes it from the current folder
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const Launch run([](FakePlatform& f) { f.AddFolder("C:\\Users"); }, c.value);
    EXPECT_EQ(run.fake.tracePath, c.tracePath);
    EXPECT_EQ(run.fake.trace.empty(), *c.tracePath == '\0');
    EXPECT_TRUE(run.fake.windowShown);
  }
}

}  // namespace
}  // namespace velmorant
