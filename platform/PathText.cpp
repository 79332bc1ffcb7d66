// Text rules of Windows; see PathText.h.
#include "platform/PathText.h"

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
