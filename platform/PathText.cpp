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

}  // namespace velmorant
