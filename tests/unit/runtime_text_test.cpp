// The text rules of the search for today's runtimes: versions, release
// files, folder lists and runtime folders.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "launcher/RuntimeText.h"

namespace velmorant {
namespace {

TEST(ParseJavaVersionTest, ReadsEveryNamingScheme) {
  const struct {
    const char* text;
    std::optional<JavaVersion> version;
  } cases[] = {
      {"17", JavaVersion{17}},
      {"17.0.2+8", JavaVersion{17, 0, 2}},    // build number after "+" ignored
      {"17-ea", JavaVersion{17}},             // early access
      {"1.8.0_392", JavaVersion{8, 0, 392}},  // the old scheme drops its "1."
      {"1.8.0_392-b08", JavaVersion{8, 0, 392}},
      {"1.6", JavaVersion{6}},
      {"1", JavaVersion{1}},         // nothing to drop
      {"zulu-17", JavaVersion{17}},  // vendors' subkey names
      {"Liberica JDK 21", JavaVersion{21}},
      {"17.", JavaVersion{17}},
      {"1..2", JavaVersion{1}},                        // a separator must lead to a digit
      {"99999999999.1", JavaVersion{4294967295u, 1}},  // too large: the largest
      {"abc", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseJavaVersion(c.text), c.version);
  }
}

TEST(CompareJavaVersionsTest, ComparesElementByElementAsNumbers) {
  const struct {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"1.8.0_392", "17", -1},  // 8 against 17, not "1" against "17"
      {"11.0.2", "9.0.4", 1},   // as numbers, not as text
      {"17", "17.0.0", 0},      // a missing element counts as 0
      {"1.6", "1.6.0_07", -1}, {"21.0.1", "21.0.10", -1}, {"1.6", "6", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " against " + c.b);
    const int result = CompareJavaVersions(*ParseJavaVersion(c.a), *ParseJavaVersion(c.b));
    EXPECT_EQ((result > 0) - (result < 0), c.sign);
  }
}

TEST(ReleaseValueTest, FindsTheJavaVersionLine) {
  using namespace std::string_literals;
  const struct {
    const char* what;
    std::string release;
    std::optional<std::string> version;
  } cases[] = {
      {"typical", "IMPLEMENTOR=\"X\"\nJAVA_VERSION=\"17.0.2\"\nOS_NAME=\"Windows\"\n", "17.0.2"},
      {"CRLF line ends", "JAVA_VERSION=\"1.8.0_392\"\r\nOS_ARCH=\"amd64\"\r\n", "1.8.0_392"},
      {"no quotes", "JAVA_VERSION=21", "21"},
      {"a look-alike key first", "JAVA_VERSION_DATE=\"2024-01-16\"\nJAVA_VERSION=\"21.0.2\"",
       "21.0.2"},
      {"no JAVA_VERSION", "IMPLEMENTOR=\"X\"\n", std::nullopt},
      {"empty", "", std::nullopt},
      {"binary", "\x7f\0\xff\nJAVA\0VERSION=9\n"s, std::nullopt},
      {"a lone quote", "JAVA_VERSION=\"", "\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReleaseValue(c.release, "JAVA_VERSION"), c.version);
  }
}

TEST(ProcessorTest, ARuntimeRunsWhereItsProcessorCan) {
  using P = Processor;
  const struct {
    const char* osArch;
    bool x86, x64, arm64;  // runs on a machine of this processor
  } cases[] = {
      {"x86", true, true, true},     {"i386", true, true, true},    {"i686", true, true, true},
      {"x86_64", false, true, true}, {"amd64", false, true, true},  {"aarch64", false, false, true},
      {"arm64", false, false, true}, {"sparcv9", true, true, true},  // unknown: taken
      {"", true, true, true},        {"X86_64", true, true, true},   // as written, or unknown
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.osArch);
    const Processor runtime = ReleaseProcessor(c.osArch);
    EXPECT_EQ(RunsOn(runtime, P::kX86), c.x86);
    EXPECT_EQ(RunsOn(runtime, P::kX64), c.x64);
    EXPECT_EQ(RunsOn(runtime, P::kArm64), c.arm64);
    EXPECT_TRUE(RunsOn(runtime, P::kUnknown));
  }
}

TEST(SplitFolderListTest, SplitsOutsideQuotesAndDropsEmptyEntries) {
  const struct {
    const char* list;
    std::vector<std::string> entries;
  } cases[] = {
      {"C:\\a;C:\\b", {"C:\\a", "C:\\b"}},
      {";;C:\\a;;", {"C:\\a"}},
      {"\"C:\\x;y\";C:\\b", {"C:\\x;y", "C:\\b"}},  // a quoted ";" is part of the folder
      {"\"C:\\Program Files\\Java\"", {"C:\\Program Files\\Java"}},
      {"\"\";C:\\a", {"C:\\a"}},
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    EXPECT_EQ(SplitFolderList(c.list), c.entries);
  }
}

TEST(RuntimeFolderTest, KeepsOnlyWholeAbsoluteFolders) {
  const struct {
    const char* text;
    std::optional<std::string> folder;
  } cases[] = {
      {"C:\\Java\\jdk-17", "C:\\Java\\jdk-17"},
      {"C:\\Java\\jdk-17\\", "C:\\Java\\jdk-17"},  // no doubled separator before "bin"
      {"C:\\Java\\jdk-17\\\\", "C:\\Java\\jdk-17"},
      {"\"C:\\Program Files\\Java\\jdk-17\"", "C:\\Program Files\\Java\\jdk-17"},
      {"d:/java/jdk/", "d:/java/jdk"},
      {"C:\\", "C:"},  // "C:" + "\bin" names C:\bin again
      {"\\\\server\\share\\jdk", "\\\\server\\share\\jdk"},
      {"C:\\a;b", std::nullopt},  // would stand on PATH as two folders
      {"C:\\a\"b", std::nullopt},
      {"jdk-17", std::nullopt},  // relative: wherever the launcher runs
      {".", std::nullopt},
      {"C:jdk", std::nullopt},  // relative to drive C's current folder
      {"\\jdk", std::nullopt},  // relative to the current drive
      {"\\\\\\x", std::nullopt},
      {"\"\"", std::nullopt},
      {"", std::nullopt},
      {"-1", std::nullopt},  // a REG_BINARY value read as a number
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(RuntimeFolder(c.text), c.folder);
  }
}

}  // namespace
}  // namespace velmorant
