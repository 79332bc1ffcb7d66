// The in-memory Platform for tests; see FakePlatform.h.
#include "tests/fake/FakePlatform.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/PathText.h"

namespace velmorant {

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

namespace {
bool SameName(const std::string& a, const std::string& b) {
  return !NoCaseLess{}(a, b) && !NoCaseLess{}(b, a);
}
}  // namespace

FakePlatform::FakePlatform() {
  handles_[kHkeyLocalMachine] = &roots_[0][0];
  handles_[kHkeyCurrentUser] = &roots_[1][0];
}

FakePlatform::~FakePlatform() = default;

FakePlatform::Key* FakePlatform::Find(Key* from, const std::string& path, bool create) {
  Key* key = from;
  std::size_t begin = 0;
  while (key != nullptr && begin <= path.size()) {
    std::size_t end = path.find('\\', begin);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(begin, end - begin);
    begin = end + 1;
    if (part.empty()) continue;  // a trailing (or doubled) backslash
    auto found = std::find_if(key->subkeys.begin(), key->subkeys.end(),
                              [&](const auto& child) { return SameName(child->name, part); });
    if (found != key->subkeys.end()) {
      key = found->get();
    } else if (create) {
      key->subkeys.push_back(std::make_unique<Key>());
      key->subkeys.back()->name = part;
      key = key->subkeys.back().get();
    } else {
      key = nullptr;
    }
  }
  return key;
}

FakePlatform::Key* FakePlatform::Root(Hive hive) {
  return &roots_[hive.root == kHkeyCurrentUser ? 1 : 0][hive.view == RegView::kOther ? 1 : 0];
}

FakePlatform::Key* FakePlatform::Handle(RegKey key) {
  auto found = handles_.find(key);
  return found == handles_.end() ? nullptr : found->second;
}

const FakePlatform::Value* FakePlatform::FindValue(RegKey key, const std::string& name) {
  Key* node = Handle(key);
  if (node == nullptr) return nullptr;
  auto found = node->values.find(name);
  return found == node->values.end() ? nullptr : &found->second;
}

void FakePlatform::AddKey(const std::string& path, Hive hive) { Find(Root(hive), path, true); }

void FakePlatform::SetValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                            std::string data, Hive hive) {
  Find(Root(hive), keyPath, true)->values[name] = Value{type, std::move(data)};
}

void FakePlatform::SetText(const std::string& keyPath, const std::string& name,
                           const std::string& text, Hive hive) {
  SetValue(keyPath, name, kRegSz, text + '\0', hive);
}

void FakePlatform::DenyKey(const std::string& path, long code, Hive hive) {
  Find(Root(hive), path, true)->denied = code;
}

void FakePlatform::FailEnumeration(const std::string& keyPath, std::int32_t index, long code,
                                   Hive hive) {
  Find(Root(hive), keyPath, true)->enumerationFailures[index] = code;
}

void FakePlatform::AddFile(const std::string& path, std::string contents) {
  files_[path] = std::move(contents);
}
void FakePlatform::AddFolder(const std::string& path) { folders_.insert(path); }
void FakePlatform::RefuseStart(const std::string& path, long code) { refused_[path] = code; }

long FakePlatform::RegOpenKey(RegKey parent, const std::string& path, RegView view,
                              RegKey& result) {
  keysOpened.push_back(path);
  Key* from = Handle(parent);
  // The view picks the tree only below a predefined root.
  if (view == RegView::kOther && (parent == kHkeyLocalMachine || parent == kHkeyCurrentUser)) {
    from = Root(Hive{parent, view});
  }
  if (from == nullptr) return kErrorInvalidHandle;
  Key* key = Find(from, path, false);
  if (key == nullptr) return kErrorFileNotFound;
  if (key->denied != 0) return key->denied;
  result = nextHandle_++;
  handles_[result] = key;
  return kErrorSuccess;
}

long FakePlatform::RegEnumKeyEx(RegKey key, std::int32_t index, std::string& name,
                                std::int32_t& nameLength) {
  Key* node = Handle(key);
  if (node == nullptr) return kErrorInvalidHandle;
  if (auto failure = node->enumerationFailures.find(index);
      failure != node->enumerationFailures.end()) {
    return failure->second;
  }
  if (index < 0 || static_cast<std::size_t>(index) >= node->subkeys.size()) {
    return kErrorNoMoreItems;
  }
  const std::string& subkey = node->subkeys[static_cast<std::size_t>(index)]->name;
  if (subkey.size() > static_cast<std::size_t>(std::max(nameLength, 0))) {
    return kErrorMoreData;
  }
  name = subkey;
  nameLength = static_cast<std::int32_t>(subkey.size());
  return kErrorSuccess;
}

long FakePlatform::RegQueryValueInfo(RegKey key, const std::string& valueName, std::uint32_t& type,
                                     std::uint32_t& size) {
  if (Handle(key) == nullptr) return kErrorInvalidHandle;
  const Value* value = FindValue(key, valueName);
  if (value == nullptr) return kErrorFileNotFound;
  type = value->type;
  size = static_cast<std::uint32_t>(value->data.size());
  if (onValueInfo) onValueInfo();
  return kErrorSuccess;
}

long FakePlatform::RegQueryValueText(RegKey key, const std::string& valueName, std::string& text,
                                     std::uint32_t size) {
  if (Handle(key) == nullptr) return kErrorInvalidHandle;
  const Value* value = FindValue(key, valueName);
  if (value == nullptr) return kErrorFileNotFound;
  if (value->data.size() > size) return kErrorMoreData;
  text.assign(size, '\0');
  text.replace(0, value->data.size(), value->data);
  return kErrorSuccess;
}

long FakePlatform::RegQueryValueBytes(RegKey key, const std::string& valueName, void* data,
                                      std::uint32_t capacity, std::uint32_t& copied) {
  if (Handle(key) == nullptr) return kErrorInvalidHandle;
  const Value* value = FindValue(key, valueName);
  if (value == nullptr) return kErrorFileNotFound;
  if (value->data.size() > capacity) return kErrorMoreData;
  std::memcpy(data, value->data.data(), value->data.size());
  copied = static_cast<std::uint32_t>(value->data.size());
  return kErrorSuccess;
}

long FakePlatform::RegCloseKey(RegKey key) {
  if (key == kHkeyLocalMachine || key == kHkeyCurrentUser || handles_.erase(key) == 0) {
    return kErrorInvalidHandle;
  }
  return kErrorSuccess;
}

bool FakePlatform::GetEnvironmentVariable(const std::string& name, std::string& value) {
  variablesRead.push_back(name);
  auto found = environment.find(name);
  if (found == environment.end()) return false;
  value = found->second;
  return true;
}

bool FakePlatform::SetEnvironmentVariable(const std::string& name, const std::string& value) {
  if (value.size() > kLongestVariable) return false;  // as Windows refuses it
  environment[name] = value;
  return true;
}

bool FakePlatform::PathFileExists(const std::string& path) {
  pathsTested.push_back(path);
  return files_.count(path) != 0 || folders_.count(path) != 0;
}

bool FakePlatform::ReadSmallFile(const std::string& path, std::size_t limit,
                                 std::string& contents) {
  filesRead.push_back(path);
  auto found = files_.find(path);
  if (found == files_.end()) return false;
  contents = found->second.substr(0, limit);
  return true;
}

long FakePlatform::StartProgram(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot != std::string::npos && SameName(path.substr(dot), ".bat")) {
    startsTried.push_back(path);
    return kBlockedByPolicy;
  }
  return TryStart(path);
}

long FakePlatform::RunBatchFile(const std::string& path) { return TryStart(path); }

long FakePlatform::TryStart(const std::string& path) {
  startsTried.push_back(path);
  if (files_.count(path) == 0)
    return folders_.count(path) != 0 ? kErrorAccessDenied : kErrorFileNotFound;
  if (const auto refused = refused_.find(path); refused != refused_.end()) return refused->second;
  if (failNextStarts > 0) {
    --failNextStarts;
    return kNoAssociation;
  }
  starts.push_back(Start{path, environment});
  return kErrorSuccess;
}

void FakePlatform::EndProgram() {
  ++endCalls;
  throw ProgramEnded{};
}

std::string FakePlatform::ProgramThatOpens(const std::string& path, std::string& command) {
  const std::size_t dot = path.rfind('.');
  const auto opener = openers.find(dot == std::string::npos ? "" : path.substr(dot));
  command =
      opener != openers.end() ? opener->second : "\"C:\\Java\\jre\\bin\\javaw.exe\" -jar \"%1\" %*";
  return std::string(ProgramOfCommand(command));
}

std::string FakePlatform::AnsiName(const std::string& path) {
  if (std::all_of(path.begin(), path.end(), [](char c) { return (c & 0x80) == 0; })) return path;
  const auto found = shortNames.find(path);
  return found != shortNames.end() ? found->second : std::string();
}

bool FakePlatform::CreateTraceFile(const std::string& path) {
  // Like the real one: no folder.
  if (folders_.count(path) != 0) return false;
  tracePath = path;
  trace.clear();
  return true;
}

void FakePlatform::WriteTrace(const std::string& text) {
  if (!tracePath.empty()) trace += text;
}

HostDescription FakePlatform::DescribeHost() {
  return {programFolder + "\\Velmorant.exe",
          "\"" + programFolder + "\\Velmorant.exe\" " + commandLineArgs,
          "C:\\Users\\Public",
          {10, 0, 19045},
          32,
          true};
}

void FakePlatform::CreateFormWindow(const WindowDescription& description) {
  windowCreated = true;
  window = description;
}

int FakePlatform::RunFormWindow() {
  windowShown = true;
  return 0;
}

}  // namespace velmorant
