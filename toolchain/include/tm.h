/* Stands in for the tm.h that GCC's configure writes for a 32-bit MinGW
   target; the compiler predefines every other target fact under
   -fbuilding-libgcc. */
#define LIBGCC2_UNWIND_ATTRIBUTE __attribute__((target("no-mmx,no-sse")))
#define MIN_UNITS_PER_WORD 4
#define DWARF2_DEBUGGING_INFO 1
#include "defaults.h"
