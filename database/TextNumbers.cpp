#include "database/TextNumbers.h"

#include <limits>

char* FormatUnsigned(char* out, uint32_t value) {
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    while (count) *out++ = digits[--count];
    return out;
}

char* FormatSigned(char* out, int32_t value) {
    if (value >= 0) return FormatUnsigned(out, static_cast<uint32_t>(value));
    *out++ = '-';
    return FormatUnsigned(out, 0u - static_cast<uint32_t>(value));
}

int32_t ParseNumber(const char* text, const char** end) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') {
        if (end) *end = text;
        return 0;
    }
    // The magnitude saturates just past the 32-bit range.
    const uint64_t limit = uint64_t{std::numeric_limits<uint32_t>::max()} + 1;
    uint64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
        if (magnitude > limit) magnitude = limit;
    }
    if (end) *end = p;
    if (negative) {
        return magnitude >= uint64_t{1} << 31 ? std::numeric_limits<int32_t>::min()
                                              : -static_cast<int32_t>(magnitude);
    }
    return magnitude > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())
               ? std::numeric_limits<int32_t>::max()
               : static_cast<int32_t>(magnitude);
}
