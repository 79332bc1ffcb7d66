// The Windows text rules behind CommandLineArgs and ProgramFolder.
#include <gtest/gtest.h>

#include <cstdint>

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

// Which association may be trusted with the archive: the program must be
// Java's own launcher, and the command must pass the document after -jar.
TEST(OpenerTest, JavasLauncherWithTheDocumentAfterJar) {
  const struct {
    const char* command;
    bool java, jar;
  } cases[] = {
      {"\"C:\\Program Files\\Java\\jre\\bin\\javaw.exe\" -jar \"%1\" %*", true, true},
      {"C:\\Java\\bin\\JAVA.EXE -jar %1", true, true},
      {"  \"C:\\PROGRA~1\\Java\\bin\\JavaW.Exe\"\t\"%1\"", true, false},  // "Open with"
      {"C:/Java/bin/javaw.exe -Dfile.encoding=UTF-8 -jar \"%L\" %*", true, true},
      {"javaw.exe -jar \"C:\\My Apps\\%1\"", true, true},
      {"javaw.exe \"-jar\" %l", true, true},
      {"javaw.exe -jar -Dx=1 \"%1\"", true, false},  // not directly after -jar
      {"javaw.exe -jarx \"%1\"", true, false},
      {"javaw.exe -JAR \"%1\"", true, false},  // Java knows only -jar
      {"javaw.exe \"%1\" -jar", true, false},
      {"javaw.exe -jar", true, false},
      {"\"C:\\Program Files\\WinRAR\\WinRAR.exe\" -jar \"%1\"", false, true},
      {"C:\\Program Files\\Java\\bin\\javaw.exe -jar %1", false, true},  // runs C:\Program
      {"C:\\tools\\notjavaw.exe \"%1\"", false, false},
      {"C:\\tools\\javaw.exe.bak \"%1\"", false, false},
      {"C:\\tools\\javaw.exe\\", false, false},
      {"C:\\tools\\javaw", false, false},
      {"\"%1\" %*", false, false},
      {"\"\" -jar", false, false},
      {"", false, false},
      {"   ", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    EXPECT_EQ(IsJavaLauncher(ProgramOfCommand(c.command)), c.java);
    EXPECT_EQ(PassesDocumentAfterJar(c.command), c.jar);
  }
}

// The trace refuses a link in its place, not a cloud file's placeholder.
TEST(IsLinkReparseTagTest, OnlyNameSurrogatesAreLinks) {
  const struct {
    std::uint32_t tag;
    bool link;
  } cases[] = {
      {0xA000000Cu, true},   // IO_REPARSE_TAG_SYMLINK
      {0xA0000003u, true},   // IO_REPARSE_TAG_MOUNT_POINT (junctions)
      {0xA000001Du, true},   // IO_REPARSE_TAG_LX_SYMLINK
      {0x9000001Au, false},  // IO_REPARSE_TAG_CLOUD (OneDrive's placeholders)
      {0x9000101Au, false},  // IO_REPARSE_TAG_CLOUD_1
      {0x80000013u, false},  // IO_REPARSE_TAG_DEDUP
      {0x8000001Bu, false},  // IO_REPARSE_TAG_APPEXECLINK
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    EXPECT_EQ(IsLinkReparseTag(c.tag), c.link);
  }
}

}  // namespace
}  // namespace velmorant
