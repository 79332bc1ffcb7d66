// The search for today's Java runtimes, the last phase before the failure
// window: JAVA_HOME, then every runtime that today's installers register
// (Java 9 and later, the vendors' own keys, per-user installs, both registry
// views), newest first, then the first java.exe on the PATH the launcher was
// given. Unlike the older phases it believes only what it finds on disk: a
// candidate must hold java.exe, so a key left behind by an uninstalled
// runtime never wins over a working one.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "launcher/Form1.h"
#include "launcher/RuntimeText.h"
#include "platform/PathText.h"

namespace velmorant {

namespace {

// Where a family of installers registers its runtimes: each subkey <v> of
// `key` is one runtime, whose folder is the value `value` of <v>`below`.
struct RegisteredFamily {
  const char* key;
  const char* below;
  const char* value;
};

constexpr RegisteredFamily kFamilies[] = {
    {"Software\\JavaSoft\\JDK\\", "", "JavaHome"},
    {"Software\\JavaSoft\\JRE\\", "", "JavaHome"},
    {Form1::kRuntimeVersionsKey, "", "JavaHome"},
    {"Software\\JavaSoft\\Java Development Kit\\", "", "JavaHome"},
    {"Software\\Eclipse Adoptium\\JDK\\", "\\hotspot\\MSI", "Path"},
    {"Software\\Eclipse Adoptium\\JRE\\", "\\hotspot\\MSI", "Path"},
    {"Software\\AdoptOpenJDK\\JDK\\", "\\hotspot\\MSI", "Path"},
    {"Software\\AdoptOpenJDK\\JRE\\", "\\hotspot\\MSI", "Path"},
    {"Software\\Eclipse Foundation\\JDK\\", "\\hotspot\\MSI", "Path"},
    {"Software\\Eclipse Foundation\\JRE\\", "\\hotspot\\MSI", "Path"},
    {"Software\\Semeru\\JDK\\", "\\openj9\\MSI", "Path"},
    {"Software\\Semeru\\JRE\\", "\\openj9\\MSI", "Path"},
    {"Software\\Microsoft\\JDK\\", "\\hotspot\\MSI", "Path"},
    {"Software\\Azul Systems\\Zulu\\", "", "InstallationPath"},
    {"Software\\Azul Systems\\Zulu 32-bit\\", "", "InstallationPath"},
    {"Software\\BellSoft\\Liberica\\", "", "InstallationPath"},
};

// A "release" file is a few hundred bytes; reading stops here whatever its size.
constexpr std::size_t kReleaseFileLimit = 64 * 1024;

struct Runtime {
  std::string binFolder;  // the value for PATH
  std::optional<JavaVersion> version;
};

// Whether `a` comes before `b`: newer, and a runtime whose version cannot
// be read after all others.
bool Newer(const Runtime& a, const Runtime& b) {
  if (!a.version || !b.version) return a.version.has_value() && !b.version.has_value();
  return CompareJavaVersions(*a.version, *b.version) > 0;
}

std::string FoldCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

std::vector<std::string> Form1::SubkeyNames(RegKey hKey, RegView view, const std::string& strPath) {
  std::vector<std::string> names;
  RegKey key = 0;
  if (platform_.RegOpenKey(hKey, strPath, view, key) != kErrorSuccess) {
    trace_.Say({trace_.Key(hKey, view, strPath), ": no such key"});
    return names;
  }
  for (std::int32_t index = 0;; ++index) {
    std::string name;
    const EnumStep step = NextSubkeyName(key, index, name);
    if (step == EnumStep::kEnd) break;
    if (step == EnumStep::kName) names.push_back(std::move(name));
  }
  platform_.RegCloseKey(key);
  return names;
}

std::string Form1::ReleaseFile(const std::string& folder) {
  std::string release;
  platform_.ReadSmallFile(folder + "\\release", kReleaseFileLimit, release);
  return release;
}

std::optional<JavaVersion> Form1::RuntimeVersion(std::string_view release, std::string_view name,
                                                 std::string_view label, bool& recent) {
  const char* source = "";
  std::optional<JavaVersion> version;
  if (const auto text = ReleaseValue(release, "JAVA_VERSION")) {
    version = ParseJavaVersion(*text);
    if (version) source = " (from its release file)";
  }
  if (!version) {
    version = ParseJavaVersion(name);
    if (version) source = " (from the key name)";
  }
  recent = !version || !OlderThanMinimum(*version);
  trace_.Say({label, "version ", version ? JavaVersionText(*version) : "unknown", source,
              recent ? ", a candidate" : ", older than 1.6: passed over"});
  return version;
}

void Form1::TryCurrentJavaRuntimes(const std::string& strReceivedPath) {
  // Every PATH value considered so far: the same folder is tried once,
  // however many keys name it. A machine has a handful of runtimes, so a
  // list searched from the start does.
  std::vector<std::string> seen;
  const auto firstTime = [this, &seen](const std::string& path) {
    std::string folded = FoldCase(path);
    if (std::find(seen.begin(), seen.end(), folded) != seen.end()) {
      trace_.Say({path, ": tried already"});
      return false;
    }
    seen.push_back(std::move(folded));
    return true;
  };

  // A runtime's folder as a candidate: it holds bin\java.exe, and its
  // version, when it can be read, is 1.6 or later.
  const auto candidate = [&](const std::string& text,
                             std::string_view name) -> std::optional<Runtime> {
    const std::optional<std::string> folder = RuntimeFolder(text);
    if (!folder) {
      // Empty text was said already: a value or a variable that is not there.
      if (!text.empty()) trace_.Say({"\"", text, "\" is no absolute folder: passed over"});
      return std::nullopt;
    }
    std::string bin = *folder + "\\bin";
    if (!firstTime(bin) || !Exists(bin + "\\java.exe")) return std::nullopt;
    bool recent = false;
    std::optional<JavaVersion> version =
        RuntimeVersion(ReleaseFile(*folder), name, *folder + ": ", recent);
    if (!recent) return std::nullopt;
    return Runtime{std::move(bin), std::move(version)};
  };

  // One launch attempt, as in the scan; it returns when this runtime could
  // not be started, and the next one is tried.
  const auto attempt = [this](const std::string& path) {
    if (SetJavaPath(path)) StartArchiveOrBatchFile();
  };

  trace_.Say({"Looking for the Java runtimes that today's installers register"});

  // The user's own choice comes first.
  if (const auto runtime = candidate(GetEnvironmentVar("JAVA_HOME"), {})) {
    attempt(runtime->binFolder);
  }

  // Newest first. Machine-wide installs before per-user ones, the program's
  // own registry view before the other: each runtime goes after every one
  // found before it that is not older, so equal versions keep this order.
  std::vector<Runtime> registered;
  for (const RegKey root : {kHkeyLocalMachine, kHkeyCurrentUser}) {
    for (const RegView view : {RegView::kOwn, RegView::kOther}) {
      for (const RegisteredFamily& family : kFamilies) {
        for (const std::string& name : SubkeyNames(root, view, family.key)) {
          const std::string folder =
              GetStringInView(root, view, family.key + name + family.below, family.value);
          if (auto runtime = candidate(folder, name)) {
            registered.insert(
                std::upper_bound(registered.begin(), registered.end(), *runtime, Newer),
                std::move(*runtime));
          }
        }
      }
    }
  }
  trace_.Say({Decimal(registered.size()), registered.size() == 1
                                              ? " registered runtime found"
                                              : " registered runtimes found, newest first"});
  for (const Runtime& runtime : registered) attempt(runtime.binFolder);

  // The java.exe that a command prompt would run: the first on PATH. Its
  // runtime's release file lies in the folder above.
  for (const std::string& entry : SplitFolderList(strReceivedPath)) {
    const std::optional<std::string> folder = RuntimeFolder(entry);
    if (!folder || !Exists(*folder + "\\java.exe")) continue;
    if (firstTime(*folder)) {
      bool recent = false;
      RuntimeVersion(ReleaseFile(std::string(FolderOf(*folder))), {}, *folder + ": ", recent);
      if (recent) attempt(*folder);
    }
    break;
  }
}

}  // namespace velmorant
