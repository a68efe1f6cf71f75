// Bounded copies of text into fixed-width fields. Every copy into a record
// field or a fixed buffer goes through one of these, so that nothing is ever
// written past a field whatever the source's length.
#ifndef WIN95_DIAG_BOUNDEDCOPY_H
#define WIN95_DIAG_BOUNDEDCOPY_H

#include <cstddef>

// Copies at most size - 1 characters of source, zero-fills the rest of the
// field: the field always ends terminated. A null source gives an empty text.
void CopyBounded(char* field, size_t size, const char* source);

// Writes exactly count bytes: the text of source, cut at count, then zeros.
// The field ends terminated only when the text is shorter than count.
void FillBounded(char* field, size_t count, const char* source);

template <size_t N>
void CopyBounded(char (&field)[N], const char* source) {
    CopyBounded(field, N, source);
}

#endif
