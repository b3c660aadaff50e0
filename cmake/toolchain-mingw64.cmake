# Cross-compiling for Windows x86-64 with Debian's MinGW-w64 compilers.
#
# The -posix compilers are used because the default win32 thread model of GCC 12 has no
# std::mutex or std::condition_variable, which the logging module and GoogleTest need.
# ORVEX_MINGW_PREFIX names the folder holding the cross-built libtiff, zlib, libjpeg and
# GoogleTest (scripts/windows-build.sh makes it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ORVEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# try_compile projects re-read this file without the cache: hand them the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVEX_MINGW_PREFIX)

# Static runtimes (libgcc, libstdc++ and the posix model's winpthread): the DLLs and programs
# then need nothing beyond what Windows itself ships, and run under Wine without a search
# path for MinGW's own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
