/* The thread model the toolchain was configured with: win32. */
#include "config/i386/gthr-win32.h"
