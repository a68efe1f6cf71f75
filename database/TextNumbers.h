// Decimal numbers of the text form, the same in both builds: numbers are the
// 32-bit values of the target whatever the host's long is.
#ifndef WIN95_DATABASE_TEXTNUMBERS_H
#define WIN95_DATABASE_TEXTNUMBERS_H

#include <cstdint>

// Writes value in decimal at out (at most 11 characters, no terminator) and
// returns the end.
char* FormatSigned(char* out, int32_t value);
char* FormatUnsigned(char* out, uint32_t value);

// Reads a base-10 number as the C library's strtol does on the target:
// leading white space and a sign are allowed, reading stops at the first
// non-digit, a value beyond 32 bits is clamped. Without digits the result is
// 0 and *end is text itself, so that later numbers read from there give 0.
int32_t ParseNumber(const char* text, const char** end);

#endif
