// GetKeyValue, GetString and RegQueryStringValue: the value types, the
// "Not Found" sentinel and the trailing-backslash rule.
#include <string>

#include "launcher_fixture.h"

namespace velmorant {
namespace {

constexpr char kKey[] = "Software\\Test";

using RegistryQueriesTest = LauncherTest;

struct TypedValue {
  const char* what;
  std::uint32_t type;
  std::string data;
  const char* text;      // RegQueryStringValue
  const char* keyValue;  // GetKeyValue
};

TEST_F(RegistryQueriesTest, EachTypeReadsAsItsText) {
  using namespace std::string_literals;
  const TypedValue cases[] = {
      {"REG_SZ without backslash", kRegSz, "C:\\Java\0"s, "C:\\Java", "C:\\Java\\"},
      {"REG_SZ with backslash", kRegSz, "C:\\Java\\\0"s, "C:\\Java\\", "C:\\Java\\"},
      {"a single backslash", kRegSz, "\\\0"s, "\\", "\\"},
      {"a forward slash gets one appended", kRegSz, "C:/Java/\0"s, "C:/Java/", "C:/Java/\\"},
      {"a trailing space is kept", kRegSz, "C:\\Java \0"s, "C:\\Java ", "C:\\Java \\"},
      {"REG_SZ holding only its NUL", kRegSz, "\0"s, "", "Not Found"},
      {"REG_SZ of size 0", kRegSz, ""s, "", "Not Found"},
      {"REG_SZ without ending NUL", kRegSz, "C:\\Java"s, "C:\\Java", "C:\\Java\\"},
      {"REG_SZ with NUL inside", kRegSz, "C:\\A\0C:\\B\0"s, "C:\\A", "C:\\A\\"},
      {"REG_SZ starting with NUL", kRegSz, "\0C:\\B\0"s, "", "Not Found"},
      {"REG_EXPAND_SZ", kRegExpandSz, "C:\\Java\0"s, "", "Not Found"},
      {"REG_MULTI_SZ", kRegMultiSz, "C:\\Java\0\0"s, "", "Not Found"},
      {"REG_DWORD", kRegDword, "\x05\0\0\0"s, "", "Not Found"},
      {"REG_BINARY FF FF", kRegBinary, "\xFF\xFF"s, "-1", "-1\\"},
      {"REG_BINARY 05", kRegBinary, "\x05"s, "5", "5\\"},
      {"REG_BINARY little-endian", kRegBinary, "\x34\x12"s, "4660", "4660\\"},
      {"REG_BINARY most negative", kRegBinary, "\x00\x80"s, "-32768", "-32768\\"},
      {"REG_BINARY of no bytes", kRegBinary, ""s, "0", "0\\"},
      // Longer than the 2-byte number: nothing is read rather than overrun.
      {"REG_BINARY of 3 bytes", kRegBinary, "\x01\x02\x03"s, "", "Not Found"},
      {"REG_BINARY of 100 bytes", kRegBinary, std::string(100, '\x01'), "", "Not Found"},
  };
  for (const TypedValue& c : cases) {
    SCOPED_TRACE(c.what);
    fake.SetValue(kKey, "JavaHome", c.type, c.data);
    RegKey key = 0;
    ASSERT_EQ(fake.RegOpenKey(kHkeyLocalMachine, kKey, RegView::kOwn, key), kErrorSuccess);
    EXPECT_EQ(form.RegQueryStringValue(key, "JavaHome"), c.text);
    fake.RegCloseKey(key);
    EXPECT_EQ(form.GetKeyValue(kKey, "JavaHome"), c.keyValue);
  }
}

TEST_F(RegistryQueriesTest, AbsenceIsNotFoundAndLeavesNoKeyOpen) {
  fake.AddKey(kKey);
  EXPECT_EQ(form.GetKeyValue("Software\\Missing", "JavaHome"), "Not Found");
  EXPECT_EQ(form.GetKeyValue(kKey, "JavaHome"), "Not Found");  // key without the value
  EXPECT_EQ(form.GetString(kHkeyLocalMachine, "Software\\Missing", "JavaHome"), "");
  EXPECT_EQ(form.RegQueryStringValue(0, "JavaHome"), "");  // no open key
  EXPECT_EQ(fake.OpenKeyCount(), 0u);
}

TEST_F(RegistryQueriesTest, KeyOpensBelowTheGivenRootOnly) {
  fake.SetText("Software\\A\\B", "JavaHome", "C:\\B");
  RegKey software = 0;
  ASSERT_EQ(fake.RegOpenKey(kHkeyLocalMachine, "Software", RegView::kOwn, software), kErrorSuccess);
  EXPECT_EQ(form.GetString(software, "A\\B", "JavaHome"), "C:\\B");
  EXPECT_EQ(form.GetString(software, "Software\\A\\B", "JavaHome"), "");
  fake.RegCloseKey(software);
  EXPECT_EQ(fake.OpenKeyCount(), 0u);
}

TEST_F(RegistryQueriesTest, ValueThatGrowsBetweenTheQueriesReadsAsEmpty) {
  fake.SetText(kKey, "JavaHome", "C:\\J");
  fake.onValueInfo = [this] {
    fake.onValueInfo = nullptr;
    fake.SetText(kKey, "JavaHome", "C:\\A much longer folder");
  };
  EXPECT_EQ(form.GetKeyValue(kKey, "JavaHome"), "Not Found");
}

TEST_F(RegistryQueriesTest, LargeTextIsReadWhole) {
  const std::string folder = "C:\\" + std::string(1 << 20, 'x');
  fake.SetText(kKey, "JavaHome", folder);
  EXPECT_EQ(form.GetKeyValue(kKey, "JavaHome"), folder + "\\");
}

}  // namespace
}  // namespace velmorant

namespace velmorant {
namespace {

// A predefined root must reach the platform as Windows defines it at the
// program's pointer width: HKEY_LOCAL_MACHINE is sign-extended, so a 64-bit
// program that zero-extended it would name no key at all.
TEST(PredefinedKeyTest, SignExtendsToPointerWidth) {
  struct Case {
    std::uint32_t value;
    std::uint64_t wide;  // the 64-bit handle
  };
  const Case cases[] = {
      {0x80000002u, 0xFFFFFFFF80000002u},  // HKEY_LOCAL_MACHINE
      {0x80000001u, 0xFFFFFFFF80000001u},  // HKEY_CURRENT_USER
      {0x00000100u, 0x0000000000000100u},  // an ordinary handle keeps its value
  };
  for (const Case& c : cases) {
    const RegKey key = PredefinedKey(c.value);
    if constexpr (sizeof(RegKey) == 8) {
      EXPECT_EQ(key, c.wide) << std::hex << c.value;
    } else {
      EXPECT_EQ(key, c.value) << std::hex << c.value;
    }
  }
}

}  // namespace
}  // namespace velmorant
