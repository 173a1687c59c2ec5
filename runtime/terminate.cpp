// An exception that nothing catches ends the program at once. The C++
// runtime's own handler would describe it on the standard error of a program
// that has no console, and bring the name demangler along to do so.
#include <cstdlib>
#include <exception>

void __gnu_cxx::__verbose_terminate_handler()
{
    std::abort();
}
