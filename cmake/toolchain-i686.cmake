# Shipped builds: 32-bit Windows. The win32 thread model keeps the static
# runtime free of imports that Windows 95 and NT 4.0 lack.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The oldest processor the shipped programs run on: Windows 98 and NT 4.0 ask
# for a 486, and none of the 486, Pentium, K6 or Cyrix 6x86 has the Pentium
# Pro's instructions that the toolchain's default processor allows.
set(QS_CPU i486)
