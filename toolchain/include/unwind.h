/* The unwinder's public header, under the name the build installs it as. */
#include "unwind-generic.h"
