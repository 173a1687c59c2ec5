/* The programs have one thread: libsupc++ needs no locks. */
#include <bits/gthr-single.h>
