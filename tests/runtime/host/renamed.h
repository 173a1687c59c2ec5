// Built for this machine, the runtime's functions take these names, so that
// they and the C library's own stand side by side in one test program.
#define malloc rt_malloc
#define calloc rt_calloc
#define realloc rt_realloc
#define free rt_free
#define memcpy rt_memcpy
#define memset rt_memset
#define memcmp rt_memcmp
#define memchr rt_memchr
#define strlen rt_strlen
#define strcmp rt_strcmp
#define strncmp rt_strncmp
#define strrchr rt_strrchr
#define trunc rt_trunc
#define floor rt_floor
#define vsnprintf rt_vsnprintf
#define __mingw_vsnprintf rt_mingw_vsnprintf
#define fopen rt_fopen
#define fclose rt_fclose
#define fgets rt_fgets
#define fread rt_fread
#define fwrite rt_fwrite
#define fputs rt_fputs
#define fputc rt_fputc
