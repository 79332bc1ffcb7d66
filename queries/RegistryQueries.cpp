// Registry value reading: GetKeyValue, GetString and RegQueryStringValue turn
// one registry value into text. Absence is never raised: it comes back as
// empty text, and from GetKeyValue as the sentinel "Not Found".
#include <cstdint>
#include <string>

#include "launcher/Form1.h"
#include "launcher/RuntimeText.h"

namespace velmorant {

std::string Form1::GetKeyValue(const std::string& address, const std::string& value) {
  std::string text = GetString(kHkeyLocalMachine, address, value);
  if (text.empty()) return kNotFound;
  // Callers append a subfolder name directly, so every folder ends in "\".
  if (text.back() != '\\') text += '\\';
  return text;
}

std::string Form1::GetString(RegKey hKey, const std::string& strPath, const std::string& strValue) {
  return GetStringInView(hKey, RegView::kOwn, strPath, strValue);
}

std::string Form1::GetStringInView(RegKey hKey, RegView view, const std::string& strPath,
                                   const std::string& strValue) {
  RegKey handle = 0;
  // A failed open leaves the handle at 0; the read below then fails and gives
  // empty text, and closing 0 does nothing.
  const long opened = platform_.RegOpenKey(hKey, strPath, view, handle);
  std::uint32_t type = 0;
  std::string text = ReadValue(handle, strValue, type);
  platform_.RegCloseKey(handle);
  // The value as read, and its type when it is no text.
  static constexpr const char* kTypes[] = {"", " (REG_SZ)", " (REG_EXPAND_SZ)", " (REG_BINARY)",
                                           " (REG_DWORD)"};
  trace_.Say({trace_.Key(hKey, view, strPath), "\\", strValue,
              opened != kErrorSuccess ? ": no such key"
              : type == 0             ? ": Not Found"
                                      : " = \"",
              text, type == 0 ? "" : "\"",
              type == kRegSz      ? ""
              : type <= kRegDword ? kTypes[type]
                                  : " (not text)"});
  return text;
}

std::string Form1::RegQueryStringValue(RegKey hKey, const std::string& strValueName) {
  std::uint32_t type = 0;
  return ReadValue(hKey, strValueName, type);
}

std::string Form1::ReadValue(RegKey hKey, const std::string& strValueName, std::uint32_t& type) {
  std::uint32_t size = 0;
  if (platform_.RegQueryValueInfo(hKey, strValueName, type, size) != kErrorSuccess) {
    type = 0;
    return {};
  }

  if (type == kRegSz) {
    std::string buffer(size, '\0');
    if (platform_.RegQueryValueText(hKey, strValueName, buffer, size) != kErrorSuccess) return {};
    // The stored text may or may not end in NUL, and may hold one inside.
    return buffer.substr(0, buffer.find('\0'));
  }

  if (type == kRegBinary) {
    // A signed 16-bit number filled from the low byte up; a longer value does
    // not fit and reads as empty text rather than overrunning the number.
    unsigned char bytes[2] = {0, 0};
    std::uint32_t copied = 0;
    if (platform_.RegQueryValueBytes(hKey, strValueName, bytes, sizeof bytes, copied) !=
        kErrorSuccess) {
      return {};
    }
    const auto number = static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
    return number < 0 ? "-" + Decimal(static_cast<std::uint32_t>(-number)) : Decimal(number);
  }

  return {};
}

}  // namespace velmorant
