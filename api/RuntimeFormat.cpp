// Text formatting in WIN95.dll through the system's C runtime.
//
// MinGW's C++ headers route snprintf to MinGW's own printf implementation,
// which would add some 40 KB to the DLL and import functions that Windows 95
// lacks. The library's formats (%s, %.*s, %d, %ld, %lu, %lx, %#lx, %c, widths
// and zero padding) print the same through msvcrt's _vsnprintf, so the DLL
// defines the two entry points those headers call, with the C99 contract:
// the output is always terminated when size > 0, and the result is the
// length the whole text has, also when it was cut.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

// Length of the whole formatted text, found by formatting into growing
// scratch buffers (msvcrt's _vsnprintf only says -1 when a text is cut);
// -1 when the text is longer than 64 KiB or memory runs out.
int FormattedLength(const char* format, va_list args) {
    for (size_t size = 512; size <= 65536; size *= 2) {
        char* scratch = static_cast<char*>(std::malloc(size));
        if (scratch == nullptr) return -1;
        va_list copy;
        va_copy(copy, args);
        int length = _vsnprintf(scratch, size, format, copy);
        va_end(copy);
        std::free(scratch);
        if (length >= 0 && static_cast<size_t>(length) < size) return length;
    }
    return -1;
}

}  // namespace

extern "C" int __cdecl __mingw_vsnprintf(char* out, size_t size, const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int length = size != 0 ? _vsnprintf(out, size, format, copy) : -1;
    va_end(copy);
    if (length >= 0 && static_cast<size_t>(length) < size) return length;
    if (size != 0) out[size - 1] = '\0';
    return FormattedLength(format, args);
}

extern "C" int __cdecl __mingw_snprintf(char* out, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int length = __mingw_vsnprintf(out, size, format, args);
    va_end(args);
    return length;
}
