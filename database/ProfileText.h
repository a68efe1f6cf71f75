// Texts of the stores' records: reading a fixed field that a database import
// may have filled without a terminator, and the setters' copy rule.
#ifndef WIN95_DATABASE_PROFILETEXT_H
#define WIN95_DATABASE_PROFILETEXT_H

#include <cstddef>
#include <cstring>

// The setters of the stores' text fields copy at most 254 characters and
// fill the rest of the field's first 254 bytes with zeros; the field's last
// byte (the 255th) is not written.
constexpr size_t kRecordTextLimit = 254;

template <size_t N>
void SetRecordText(char (&field)[N], const char* text) {
    static_assert(N > kRecordTextLimit, "a record text field holds 255 bytes");
    size_t length = 0;
    if (text)
        while (length < kRecordTextLimit && text[length]) ++length;
    for (size_t i = 0; i < kRecordTextLimit; ++i) field[i] = i < length ? text[i] : '\0';
}

// The length of the field's text: up to its terminator or the field's end.
template <size_t N>
size_t RecordTextLength(const char (&field)[N]) {
    size_t length = 0;
    while (length < N && field[length]) ++length;
    return length;
}

// The field's text, terminated, in out (cut to M - 1 characters).
template <size_t N, size_t M>
void GetRecordText(const char (&field)[N], char (&out)[M]) {
    size_t length = RecordTextLength(field);
    if (length > M - 1) length = M - 1;
    std::memcpy(out, field, length);
    out[length] = '\0';
}

#endif
