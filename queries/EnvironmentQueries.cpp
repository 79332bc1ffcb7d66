// Environment variable reading: GetEnvironmentVar gives a variable's value as
// the platform holds it, whatever its length, and empty text when it is unset.
#include <string>

#include "launcher/Form1.h"

namespace velmorant {

std::string Form1::GetEnvironmentVar(const std::string& sName) {
  std::string value;
  platform_.GetEnvironmentVariable(sName, value);
  return value;
}

}  // namespace velmorant
