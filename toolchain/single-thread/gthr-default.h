/* The programs have one thread: the unwinder needs no locks. */
#include "gthr-single.h"
