// Text rules of Windows; see PathText.h.
#include "platform/PathText.h"

#include <algorithm>

namespace velmorant {

std::string_view ArgumentsAfterProgramName(std::string_view commandLine) {
  std::size_t at = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const std::size_t close = commandLine.find('"', 1);
    at = close == std::string_view::npos ? commandLine.size() : close + 1;
  } else {
    at = commandLine.find_first_of(" \t");
    if (at == std::string_view::npos) at = commandLine.size();
  }
  at = commandLine.find_first_not_of(" \t", at);
  return at == std::string_view::npos ? std::string_view{} : commandLine.substr(at);
}

std::string_view FolderOf(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
}

namespace {

// The next word of a command from `at`, as Windows splits one: up to a
// space or tab outside double quotes, its quotes kept. Moves `at` past it.
std::string_view NextWord(std::string_view command, std::size_t& at) {
  at = std::min(command.find_first_not_of(" \t", at), command.size());
  const std::size_t begin = at;
  bool quoted = false;
  for (; at < command.size() && (quoted || (command[at] != ' ' && command[at] != '\t')); ++at) {
    if (command[at] == '"') quoted = !quoted;
  }
  return command.substr(begin, at - begin);
}

}  // namespace

std::string_view ProgramOfCommand(std::string_view command) {
  const std::size_t begin = command.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  command.remove_prefix(begin);
  if (command[0] == '"') {
    command.remove_prefix(1);
    return command.substr(0, command.find('"'));
  }
  return command.substr(0, command.find_first_of(" \t"));
}

bool PassesDocumentAfterJar(std::string_view command) {
  // The program's own name follows the first-word rule above, not this one.
  std::size_t at = command.size() - ArgumentsAfterProgramName(command).size();
  bool afterJar = false;
  for (std::string_view word; !(word = NextWord(command, at)).empty();) {
    if (afterJar) {
      return word.find("%1") != std::string_view::npos ||
             word.find("%L") != std::string_view::npos || word.find("%l") != std::string_view::npos;
    }
    afterJar = word == "-jar" || word == "\"-jar\"";
  }
  return false;
}

bool IsLinkReparseTag(std::uint32_t tag) { return (tag & 0x20000000u) != 0; }

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAbsolutePath(std::string_view path) {
  const bool drive = path.size() >= 3 && path[1] == ':' && IsPathSeparator(path[2]) &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  const bool share = path.size() >= 3 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]) &&
                     !IsPathSeparator(path[2]);
  return drive || share;
}

bool IsJavaLauncher(std::string_view program) {
  const std::size_t separator = program.find_last_of("\\/");
  const std::string_view name =
      separator == std::string_view::npos ? program : program.substr(separator + 1);
  const auto is = [name](std::string_view expected) {
    if (name.size() != expected.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
      const char c =
          name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
      if (c != expected[i]) return false;
    }
    return true;
  };
  return is("javaw.exe") || is("java.exe");
}

}  // namespace velmorant
