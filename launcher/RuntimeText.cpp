// Text rules of the search for today's Java runtimes; see RuntimeText.h.
#include "launcher/RuntimeText.h"

#include <algorithm>
#include <limits>

#include "platform/PathText.h"

namespace velmorant {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<JavaVersion> ParseJavaVersion(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && !IsDigit(text[at])) ++at;
  if (at == text.size()) return std::nullopt;

  constexpr std::uint32_t kLargest = std::numeric_limits<std::uint32_t>::max();
  JavaVersion version;
  for (;;) {
    std::uint32_t number = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
      const std::uint32_t digit = static_cast<std::uint32_t>(text[at] - '0');
      number = number > (kLargest - digit) / 10 ? kLargest : number * 10 + digit;
    }
    version.push_back(number);
    // Go on only past a separator that a digit follows.
    if (at + 1 >= text.size() || (text[at] != '.' && text[at] != '_') || !IsDigit(text[at + 1])) {
      break;
    }
    ++at;
  }
  if (version.size() > 1 && version[0] == 1) version.erase(version.begin());
  return version;
}

bool OlderThanMinimum(const JavaVersion& version) {
  return CompareJavaVersions(version, JavaVersion{6}) < 0;  // 1.6 without its "1."
}

std::string Decimal(std::uint32_t number) { return std::to_string(number); }

std::string JavaVersionText(const JavaVersion& version) {
  std::string text;
  for (const std::uint32_t number : version) {
    if (!text.empty()) text += '.';
    text += Decimal(number);
  }
  return text;
}

int CompareJavaVersions(const JavaVersion& a, const JavaVersion& b) {
  const std::size_t length = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint32_t x = i < a.size() ? a[i] : 0;
    const std::uint32_t y = i < b.size() ? b[i] : 0;
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

std::optional<std::string> ReleaseValue(std::string_view release, std::string_view key) {
  std::size_t begin = 0;
  while (begin < release.size()) {
    std::size_t end = release.find('\n', begin);
    if (end == std::string_view::npos) end = release.size();
    std::string_view line = release.substr(begin, end - begin);
    begin = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, key.size()) != key || line.substr(key.size(), 1) != "=") continue;
    std::string_view value = line.substr(key.size() + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return std::nullopt;
}

Processor ReleaseProcessor(std::string_view osArch) {
  static constexpr struct {
    const char* name;
    Processor processor;
  } kNames[] = {
      {"x86", Processor::kX86},       {"i386", Processor::kX86},    {"i586", Processor::kX86},
      {"i686", Processor::kX86},      {"x86_64", Processor::kX64},  {"amd64", Processor::kX64},
      {"aarch64", Processor::kArm64}, {"arm64", Processor::kArm64},
  };
  for (const auto& entry : kNames) {
    if (osArch == entry.name) return entry.processor;
  }
  return Processor::kUnknown;
}

const char* ProcessorName(Processor processor) {
  static constexpr const char* kNames[] = {"an unknown processor", "x86", "x64", "ARM64"};
  return kNames[static_cast<int>(processor)];
}

bool RunsOn(Processor runtime, Processor machine) {
  if (runtime == Processor::kUnknown || machine == Processor::kUnknown) return true;
  switch (runtime) {
    case Processor::kX64:
      return machine != Processor::kX86;
    case Processor::kArm64:
      return machine == Processor::kArm64;
    default:
      return true;
  }
}

std::vector<std::string> SplitFolderList(std::string_view list) {
  std::vector<std::string> entries;
  std::string entry;
  bool quoted = false;
  for (const char c : list) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ';' && !quoted) {
      if (!entry.empty()) entries.push_back(std::move(entry));
      entry.clear();
    } else {
      entry += c;
    }
  }
  if (!entry.empty()) entries.push_back(std::move(entry));
  return entries;
}

std::optional<std::string> RuntimeFolder(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  if (!IsAbsolutePath(text)) return std::nullopt;
  if (text.find_first_of(";\"") != std::string_view::npos) return std::nullopt;
  while (IsPathSeparator(text.back())) text.remove_suffix(1);
  return std::string(text);
}

}  // namespace velmorant
