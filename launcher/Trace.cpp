// The trace of the search; see Trace.h.
#include "launcher/Trace.h"

#include <string>

#include "launcher/RuntimeText.h"
#include "resources/resource_ids.h"

namespace velmorant {

void Trace::Open() {
  std::string path;
  if (!platform_.GetEnvironmentVariable(kVariable, path)) return;
  // `set VAR="C:\My trace.txt"` keeps the quotes in the value.
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
    path = path.substr(1, path.size() - 2);
  }
  on_ = !path.empty() && platform_.CreateTraceFile(path);
  if (!on_) return;
  platform_.WriteTrace("\xEF\xBB\xBF");  // UTF-8, so that Notepad reads it so too
  const HostDescription host = platform_.DescribeHost();
  programBits_ = host.programBits;
  Say({"Velmorant launcher " VELMORANT_VERSION_TEXT ", ", host.programPath});
  Say({"Command line: ", host.commandLine});
  Say({"Current folder: ", host.currentFolder});
  Say({"Windows ", Decimal(host.windowsVersion[0]), ".", Decimal(host.windowsVersion[1]),
       " (build ", Decimal(host.windowsVersion[2]), ")",
       host.wow64               ? ", a 32-bit launcher on 64-bit Windows"
       : host.programBits == 64 ? ", a 64-bit launcher"
                                : ", a 32-bit launcher on 32-bit Windows"});
}

void Trace::Say(std::initializer_list<std::string_view> parts) {
  if (!on_) return;
  std::string line = Decimal(platform_.Milliseconds());
  // Right-aligned milliseconds keep the lines' text in one column.
  if (line.size() < 6) line.insert(0, 6 - line.size(), ' ');
  line += " ms  ";
  for (const std::string_view part : parts) line += part;
  line += "\r\n";
  platform_.WriteTrace(line);
}

void Trace::StartFailed(const std::string& path, long error) {
  if (!on_) return;
  Say({"Could not start ", path, ": error ", Decimal(static_cast<std::uint32_t>(error)), ", ",
       platform_.ErrorText(error)});
}

std::string Trace::Key(RegKey root, RegView view, std::string_view path) const {
  const bool own = view == RegView::kOwn;
  std::string name = root == kHkeyCurrentUser ? "HKCU\\" : "HKLM\\";
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  name += path;
  name += (programBits_ == 64) == own ? " (64-bit view)" : " (32-bit view)";
  return name;
}

}  // namespace velmorant
