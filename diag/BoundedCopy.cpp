#include "diag/BoundedCopy.h"

#include <cstring>

void FillBounded(char* field, size_t count, const char* source) {
    size_t length = 0;
    if (source) {
        while (length < count && source[length]) ++length;
        std::memcpy(field, source, length);
    }
    std::memset(field + length, 0, count - length);
}

void CopyBounded(char* field, size_t size, const char* source) {
    if (size == 0) return;
    FillBounded(field, size - 1, source);
    field[size - 1] = '\0';
}
