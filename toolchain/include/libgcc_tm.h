/* Stands in for libgcc's generated libgcc_tm.h: this target adds no
   headers of its own to it. */
