// The launcher's handler for a failure that nothing catches.
//
// GCC's default handler prints the failure's demangled type name to stderr,
// which a GUI program does not have; it also pulls the whole demangler and a
// printf implementation into the program (about 70 KiB of its size). Every
// failure the launcher raises is caught around its launch attempt, so one
// that escapes is a fault: end at once, loudly, as std::abort does.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
