// The trace of the search, for whoever supports a user who reports that the
// launcher found no Java. It is off unless the environment variable
// VELMORANT_LAUNCHER_TRACE names a file; then each step of the search says
// one line there, with the milliseconds since the launcher started, written
// at once so that a launcher that hangs or is ended leaves what it did.
//
// Off, every call returns at once and asks the platform nothing. A trace that
// cannot be written changes nothing in what the launcher does: the steps that
// say lines are the same either way.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace velmorant {

class Trace {
 public:
  static constexpr char kVariable[] = "VELMORANT_LAUNCHER_TRACE";

  explicit Trace(Platform& platform) : platform_(platform) {}

  // Reads kVariable; when it names a file that can be written, creates or
  // replaces it and writes what the launcher is and where it runs. Surrounding
  // double quotes are no part of the path; a relative path is taken relative
  // to the current folder, as Windows takes it.
  void Open();

  // One line, made of `parts`.
  void Say(std::initializer_list<std::string_view> parts);

  // A start that failed, with the system's error code and text.
  void StartFailed(const std::string& path, long error);

  // A registry key as a person would name it: "HKLM\path (32-bit view)".
  std::string Key(RegKey root, RegView view, std::string_view path) const;

 private:
  Platform& platform_;
  bool on_ = false;
  int programBits_ = 32;
};

}  // namespace velmorant
