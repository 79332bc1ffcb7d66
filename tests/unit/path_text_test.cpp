// The Windows text rules behind CommandLineArgs and ProgramFolder.
#include <gtest/gtest.h>

#include "platform/PathText.h"

namespace velmorant {
namespace {

TEST(ArgumentsAfterProgramNameTest, SkipsTheFirstWordByTheWindowsRule) {
  const struct {
    const char* line;
    const char* arguments;
  } cases[] = {
      {"Velmorant.exe", ""},
      {"\"C:\\Program Files\\Vel\\Velmorant.exe\"", ""},
      {"\"C:\\Program Files\\Vel\\Velmorant.exe\" C:\\doc.vel", "C:\\doc.vel"},
      {"C:\\Vel\\Velmorant.exe C:\\doc.vel", "C:\\doc.vel"},
      {"..\\Vel\\Velmorant.exe doc.vel", "doc.vel"},
      {"Velmorant.exe    ", ""},
      {"Velmorant.exe \t \"a  b\"\t c ", "\"a  b\"\t c "},  // the rest exactly as given
      {"Velmorant.exe\tC:\\Жук.vel", "C:\\Жук.vel"},
      {"\"C:\\a b\\Velmorant.exe\"x y", "x y"},  // the name ends at its closing quote
      {"\"C:\\unclosed quote x", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(ArgumentsAfterProgramName(c.line), c.arguments);
  }
}

TEST(FolderOfTest, DropsTheFileNameAndItsBackslash) {
  const struct {
    const char* path;
    const char* folder;
  } cases[] = {
      {"C:\\Program Files\\Vel App\\Velmorant.exe", "C:\\Program Files\\Vel App"},
      {"C:\\Velmorant.exe", "C:"},  // + "\openFile.bat" names the root's file
      {"\\\\server\\share\\Velmorant.exe", "\\\\server\\share"},
      {"\\\\?\\C:\\very\\long\\Velmorant.exe", "\\\\?\\C:\\very\\long"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FolderOf(c.path), c.folder);
  }
}

// Which opener of the archive counts as Java, from the command an
// association stores to the name rule.
TEST(IsJavaLauncherTest, OnlyJavasOwnLaunchersCount) {
  const struct {
    const char* command;
    bool java;
  } cases[] = {
      {"\"C:\\Program Files\\Java\\jre\\bin\\javaw.exe\" -jar \"%1\" %*", true},
      {"C:\\Java\\bin\\JAVA.EXE -jar %1", true},
      {"  \"C:\\PROGRA~1\\Java\\bin\\JavaW.Exe\"\t\"%1\"", true},
      {"C:/Java/bin/javaw.exe -jar %1", true},
      {"javaw.exe", true},
      {"\"C:\\Program Files\\WinRAR\\WinRAR.exe\" \"%1\"", false},
      {"C:\\Program Files\\Java\\bin\\javaw.exe -jar %1", false},  // unquoted: "C:\Program"
      {"C:\\tools\\notjavaw.exe \"%1\"", false},
      {"C:\\tools\\javaw.exe.bak \"%1\"", false},
      {"C:\\tools\\javaw.exe\\", false},
      {"C:\\tools\\javaw", false},
      {"\"%1\" %*", false},
      {"\"\" -jar", false},
      {"", false},
      {"   ", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    EXPECT_EQ(IsJavaLauncher(ProgramOfCommand(c.command)), c.java);
  }
}

}  // namespace
}  // namespace velmorant
