// Shared set-up of the unit tests: a fake platform and a Form1 over it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "launcher/Form1.h"
#include "tests/fake/FakePlatform.h"

namespace velmorant {

inline constexpr char kVersionsKey[] = "Software\\JavaSoft\\Java Runtime Environment\\";

// A runtime registered under `key` and laid out as an installed one is: its
// JavaHome folder holds bin\java.exe.
inline void RegisterRuntime(FakePlatform& f, const std::string& key, std::string home,
                            FakeHive hive = {}) {
  f.SetText(key, "JavaHome", home, hive);
  if (!home.empty() && home.back() == '\\') home.pop_back();
  f.AddFile(home + "\\bin\\java.exe");
}

class LauncherTest : public ::testing::Test {
 protected:
  // Runs the load step; true when it ended the program (a start succeeded).
  bool Load() {
    try {
      form.Form_Load();
    } catch (const FakePlatform::ProgramEnded&) {
      return true;
    }
    return false;
  }

  // A runtime version subkey with its JavaHome.
  void AddRuntime(const std::string& version, const std::string& javaHome) {
    RegisterRuntime(fake, kVersionsKey + version, javaHome);
  }

  std::string Folder() const { return fake.programFolder; }
  std::string Archive() const { return fake.programFolder + "\\Velmorant.jar"; }
  std::string BatchFile() const { return fake.programFolder + "\\openFile.bat"; }

  FakePlatform fake;
  Form1 form{fake};
};

}  // namespace velmorant
