// The C++ runtime's failure points for a build without exceptions.
//
// The tool reports every failure by result codes and is compiled with -fno-exceptions, yet libstdc++'s own
// operator new and its __throw_* helpers throw. Linking them pulls in the whole exception machinery: the
// unwinder, the personality routine, the exception classes with their copy-on-write strings and, through
// the emergency pool's mutex, winpthread: 155 KB of the i686 executable in all. An exception thrown there
// could only end the process (nothing catches it), so these replacements end it directly: same outcome,
// none of the machinery. The native builds (tests, sanitizers) keep the library's own definitions.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void EndProcess() { std::abort(); }

void* Allocate(std::size_t size) {
  void* block = std::malloc(size != 0 ? size : 1);  // every new returns a distinct block, also for 0 bytes
  if (block == nullptr) EndProcess();
  return block;
}

}  // namespace

// Replaceable allocation functions (a program may define these; the library's then stay out).
void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size != 0 ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size != 0 ? size : 1); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

// What the containers, strings and std::function call when a size is beyond their limit, an index out of
// range or a function empty: with exceptions these would throw into code that cannot catch them.
// These are libstdc++'s own names, reserved to the implementation: defining them is the point here.
// NOLINTBEGIN(bugprone-reserved-identifier)
namespace std {
void __throw_bad_alloc() { EndProcess(); }
void __throw_bad_array_new_length() { EndProcess(); }
void __throw_length_error(const char*) { EndProcess(); }
void __throw_logic_error(const char*) { EndProcess(); }
void __throw_out_of_range_fmt(const char*, ...) { EndProcess(); }
void __throw_bad_function_call() { EndProcess(); }  // an empty std::function called
}  // namespace std

// An escaped exception cannot happen without throw points; GCC's default handler would also link its
// 46 KB demangler to print the type's name.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
// NOLINTEND(bugprone-reserved-identifier)
