// What ends the program when an exception finds no handler. The handlers of
// the window catch everything at their boundaries, so this is never reached
// in ordinary use; and a windowed program has no console for the library's
// own verbose handler to print to. Defining it here keeps that handler, and
// the name demangler it carries (some 46 KB in the 32-bit release), out of
// the program.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
