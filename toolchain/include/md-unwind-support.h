/* The machine-dependent unwinding support that configure picks for this target. */
#include "config/i386/w32-unwind.h"
