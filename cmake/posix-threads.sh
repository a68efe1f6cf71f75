#!/bin/sh
# Compiler and linker launcher for the test side of the win32 build: CMake
# calls it with the toolchain's win32 thread model compiler and its
# arguments; it runs the posix model compiler of the same name instead.
compiler=$1
shift
exec "${compiler%-win32}-posix" "$@"
