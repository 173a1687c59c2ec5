/* Stands in for libgcc's configure results: the one fact its sources ask. */
#define HAVE_GETIPINFO 1
