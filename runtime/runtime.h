// What the runtime's files use of each other. The programs see the same
// functions through the toolchain's C headers.
#pragma once

#include <stddef.h>

void* malloc(size_t size);
void free(void* block);
size_t strlen(const char* text);
__attribute__((noreturn)) void exit(int code);

// The arguments of a command line: what follows the program's name, quoted
// or not, and the blanks after it.
const char* ArgumentsOf(const char* commandLine);
