// Environment variable reading: GetEnvironmentVar gives a variable's value as
// the platform holds it, whatever its length, and empty text when it is unset.
#include <string>

#include "launcher/Form1.h"

namespace velmorant {

std::string Form1::GetEnvironmentVar(const std::string& sName) {
  std::string value;
  const bool set = platform_.GetEnvironmentVariable(sName, value);
  trace_.Say({sName, set ? " is " : " is not set", value});
  return value;
}

}  // namespace velmorant
