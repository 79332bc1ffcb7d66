// Text rules of the search for today's Java runtimes: reading a Java version,
// the "release" file of a runtime, and the folder lists and folder names
// that the environment and the registry give. Pure functions, so that tests
// reach every case without a platform.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace velmorant {

// A Java version as numbers, element by element. The old "1.x" scheme drops
// its leading 1, so "1.8.0_392" is {8, 0, 392} and compares below "17".
using JavaVersion = std::vector<std::uint32_t>;

// Reads the version in texts such as "17", "17.0.2+8", "17-ea",
// "1.8.0_392-b08", "zulu-17" or "Liberica JDK 21": the numbers from the first
// digit on, separated by "." or "_", up to any other character. A number too
// large for 32 bits stays at the largest. Nothing when the text has no digit.
std::optional<JavaVersion> ParseJavaVersion(std::string_view text);

// Less than zero, zero or more than zero as `a` is older than, the same as or
// newer than `b`. A missing element counts as 0, so "17" equals "17.0.0".
int CompareJavaVersions(const JavaVersion& a, const JavaVersion& b);

// Whether `version` is older than 1.6, the oldest Java the launcher starts.
bool OlderThanMinimum(const JavaVersion& version);

// A number in decimal digits (one copy of the library's formatting for the
// whole program).
std::string Decimal(std::uint32_t number);

// The version as text, such as "17.0.2" or "8.0.392".
std::string JavaVersionText(const JavaVersion& version);

// The value of the line `key`= of a runtime's "release" file (JAVA_VERSION,
// OS_ARCH), without its quotes; nothing when no line names it.
std::optional<std::string> ReleaseValue(std::string_view release, std::string_view key);

// The processor that a runtime is built for, from the OS_ARCH of its release
// file ("x86_64", "aarch64", "x86"); its name in the trace.
Processor ReleaseProcessor(std::string_view osArch);
const char* ProcessorName(Processor processor);

// Whether a runtime built for `runtime` runs on a `machine`: x86 runs on
// every machine, x64 on x64 and ARM64 machines (which emulate it), ARM64 on
// ARM64 only. What is unknown on either side does not stand in the way.
bool RunsOn(Processor runtime, Processor machine);

// The entries of a folder list such as PATH: split at ";" except inside
// double quotes, the quotes removed, empty entries dropped.
std::vector<std::string> SplitFolderList(std::string_view list);

// A folder name as a runtime's folder, or nothing when it cannot be one: the
// surrounding double quotes and the trailing backslashes are removed, and
// what remains must be an absolute path ("X:\..." or "\\server\...") with no
// ";" and no quote inside, so that it stands on PATH as one whole folder and
// never names a folder relative to wherever the launcher happens to run.
std::optional<std::string> RuntimeFolder(std::string_view text);

}  // namespace velmorant
