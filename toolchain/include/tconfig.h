/* Stands in for the tconfig.h that GCC's configure writes: the runtime's
   sources are compiled for the target, with GCC's own run-time checks on. */
#define USED_FOR_TARGET
#define ENABLE_RUNTIME_CHECKING 1
