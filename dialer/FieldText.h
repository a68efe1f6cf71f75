// A terminated copy of a fixed-width text field that need not be
// terminated (records filled by callers or by a database import may use a
// field's full width). The copy is wiped when it goes: some fields hold
// passwords.
#ifndef WIN95_DIALER_FIELDTEXT_H
#define WIN95_DIALER_FIELDTEXT_H

#include <windows.h>

#include <cstddef>

#include "diag/BoundedCopy.h"

template <size_t FieldSize>
class FieldText {
public:
    // At most FieldSize characters of field; null gives an empty text.
    explicit FieldText(const char* field) { CopyBounded(m_text, field); }
    ~FieldText() { SecureZeroMemory(m_text, sizeof m_text); }
    FieldText(const FieldText&) = delete;
    FieldText& operator=(const FieldText&) = delete;

    const char* Get() const { return m_text; }

private:
    char m_text[FieldSize + 1];
};

#endif
