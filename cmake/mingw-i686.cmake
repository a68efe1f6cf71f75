# Cross toolchain: 32-bit Windows with MinGW-w64.
#
# WIN95.dll, the static libraries it is made of and the kit's programs are
# built by the win32 thread model compilers: their runtime calls nothing that
# Windows 95 lacks. The posix model's runtime (winpthreads) imports functions
# of later systems (GetTickCount64, AddVectoredExceptionHandler,
# TryEnterCriticalSection, ...), so a DLL linked with it does not load there.
# The win32 model has no std::mutex or std::thread, which GoogleTest and some
# test programs use: targets under tests/ switch to the posix model through
# the launcher below (cmake/posix-threads.sh), see win95_posix_threads().
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(WIN95_POSIX_LAUNCHER ${CMAKE_CURRENT_LIST_DIR}/posix-threads.sh)
# Windows programs run under Wine (on the host or inside the wine box, see
# tools/winrun.sh); this script starts one with the project's doubles.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-exec.sh)
