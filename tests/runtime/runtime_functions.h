// The runtime's functions under the names they take on this machine
// (host/renamed.h), beside the C library's own.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "windows.h"

extern "C" {
struct Stream;
void* rt_malloc(size_t size);
void* rt_calloc(size_t count, size_t size);
void* rt_realloc(void* block, size_t size);
void rt_free(void* block);
int rt_strcmp(const char* left, const char* right);
int rt_strncmp(const char* left, const char* right, size_t size);
char* rt_strrchr(const char* text, int c);
int rt_memcmp(const void* left, const void* right, size_t size);
void* rt_memchr(const void* bytes, int value, size_t size);
double rt_trunc(double value);
double rt_floor(double value);
int rt_vsnprintf(char* buffer, size_t size, const char* format, va_list arguments);
Stream* rt_fopen(const char* path, const char* mode);
int rt_fclose(Stream* stream);
char* rt_fgets(char* line, int size, Stream* stream);
size_t rt_fread(void* data, size_t size, size_t count, Stream* stream);
size_t rt_fwrite(const void* data, size_t size, size_t count, Stream* stream);
int rt_fputs(const char* text, Stream* stream);
int rt_fputc(int c, Stream* stream);
const char* ArgumentsOf(const char* commandLine);
}
