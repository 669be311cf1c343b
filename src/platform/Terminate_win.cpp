// What ends the program on an exception nobody caught. The GNU runtime's own handler writes the
// exception's type to a console that a windowed program does not have, and its name demangler
// would be a tenth of the exe: this one only ends the program, as std::terminate must.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif
