// GetEnvironmentVar: the value exactly as held, empty text when unset.
#include <string>

#include "launcher_fixture.h"

namespace velmorant {
namespace {

using EnvironmentQueriesTest = LauncherTest;

TEST_F(EnvironmentQueriesTest, GivesTheValueExactlyAsHeld) {
  const struct {
    const char* what;
    std::string value;
  } cases[] = {
      {"a folder, no backslash added", "C:\\WINDOWS"},
      {"a trailing backslash kept", "C:\\WINDOWS\\"},
      {"254 characters", std::string(254, 'a')},
      {"300 characters, past the old 255-character buffer", std::string(300, 'b')},
      {"characters outside any ANSI code page", "C:\\Жук\\日本"},
      {"set but empty", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fake.environment["SYSTEMROOT"] = c.value;
    EXPECT_EQ(form.GetEnvironmentVar("SYSTEMROOT"), c.value);
  }
}

TEST_F(EnvironmentQueriesTest, UnsetGivesEmptyText) {
  EXPECT_EQ(form.GetEnvironmentVar("SYSTEMROOT"), "");
}

}  // namespace
}  // namespace velmorant
