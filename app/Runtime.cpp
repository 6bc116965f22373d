// Size-minded runtime hooks for setup.exe only. The C++ library reports a
// broken container invariant (a length or index out of range) by throwing
// std::length_error and friends, whose copy-on-write message strings drag
// some 40 KiB of a second string implementation into the program. Here they
// raise the program's own general error instead: still an error that the
// framework shows, just of our class. And an uncaught error aborts without
// the demangling terminate handler (another 40 KiB).
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

#include "util/Errors.h"

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
[[noreturn]] void __throw_length_error(const char* what) { throw util::EGeneralError(what); }
[[noreturn]] void __throw_logic_error(const char* what) { throw util::EGeneralError(what); }
[[noreturn]] void __throw_out_of_range(const char* what) { throw util::EGeneralError(what); }
[[noreturn]] void __throw_out_of_range_fmt(const char* what, ...) {
  throw util::EGeneralError(what);
}
[[noreturn]] void __throw_invalid_argument(const char* what) { throw util::EGeneralError(what); }
[[noreturn]] void __throw_domain_error(const char* what) { throw util::EGeneralError(what); }
[[noreturn]] void __throw_range_error(const char* what) { throw util::EGeneralError(what); }
[[noreturn]] void __throw_runtime_error(const char* what) { throw util::EGeneralError(what); }
[[noreturn]] void __throw_overflow_error(const char* what) { throw util::EGeneralError(what); }
[[noreturn]] void __throw_underflow_error(const char* what) { throw util::EGeneralError(what); }
// These carry no message and stay what they are.
[[noreturn]] void __throw_bad_alloc() { throw std::bad_alloc(); }
[[noreturn]] void __throw_bad_array_new_length() { throw std::bad_array_new_length(); }
[[noreturn]] void __throw_bad_cast() { throw std::bad_cast(); }
[[noreturn]] void __throw_bad_typeid() { throw std::bad_typeid(); }
[[noreturn]] void __throw_bad_exception() { throw std::bad_exception(); }
}  // namespace std
