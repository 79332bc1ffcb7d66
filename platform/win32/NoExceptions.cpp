// The Windows program is built without C++ exceptions and RTTI. The standard
// library still reports its own failures by calling the functions below
// (a string or vector grown past its limit, an index out of range) and by
// throwing std::bad_alloc from operator new; its versions of them pull in the
// exception classes and the unwinder, about two thirds of the program.
//
// None of these can happen in the launcher but through a fault or a memory
// failure, and neither has a sound way to go on: the process ends at once,
// loudly (an illegal instruction, so that Windows reports a crash), as
// LLVM and Chromium do.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
[[noreturn]] void Fail() { __builtin_trap(); }
}  // namespace

// Memory: malloc's, and a memory failure ends the process.
void* operator new(std::size_t size) {
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  Fail();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

// The library's failure reports: faults, or a memory failure.
namespace std {
void __throw_bad_alloc() { Fail(); }
void __throw_bad_array_new_length() { Fail(); }
void __throw_length_error(const char*) { Fail(); }
void __throw_logic_error(const char*) { Fail(); }
void __throw_out_of_range(const char*) { Fail(); }
void __throw_out_of_range_fmt(const char*, ...) { Fail(); }
void __throw_invalid_argument(const char*) { Fail(); }
}  // namespace std
