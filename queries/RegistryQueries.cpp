// Registry value reading: GetKeyValue, GetString and RegQueryStringValue turn
// one registry value into text. Absence is never raised: it comes back as
// empty text, and from GetKeyValue as the sentinel "Not Found".
#include <cstdint>
#include <string>

#include "launcher/Form1.h"

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
  platform_.RegOpenKey(hKey, strPath, view, handle);
  std::string text = RegQueryStringValue(handle, strValue);
  platform_.RegCloseKey(handle);
  return text;
}

std::string Form1::RegQueryStringValue(RegKey hKey, const std::string& strValueName) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (platform_.RegQueryValueInfo(hKey, strValueName, type, size) != kErrorSuccess) return {};

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
    return std::to_string(number);
  }

  return {};
}

}  // namespace velmorant
