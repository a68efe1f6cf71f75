#include "diag/HeapText.h"

#include <cstdlib>
#include <cstring>

HeapText::~HeapText() {
    Reset();
}

void HeapText::Reset() {
    std::free(m_pText);
    m_pText = nullptr;
}

bool HeapText::Assign(const char* text, size_t maxLength) {
    size_t length = 0;
    if (text) {
        while (length < maxLength && text[length]) ++length;
    }
    return AssignPiece(text, length);
}

bool HeapText::AssignPiece(const char* text, size_t length) {
    char* copy = static_cast<char*>(std::malloc(length + 1));
    Reset();
    if (!copy) return false;
    if (length) std::memcpy(copy, text, length);
    copy[length] = '\0';
    m_pText = copy;
    return true;
}
