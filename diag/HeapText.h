// An owned, zero-terminated heap text that may be absent (null). Allocation
// failure is reported by result, never thrown: the logging code must not
// fail its callers.
#ifndef WIN95_DIAG_HEAPTEXT_H
#define WIN95_DIAG_HEAPTEXT_H

#include <cstddef>
#include <cstdint>

class HeapText {
public:
    HeapText() = default;
    ~HeapText();
    HeapText(const HeapText&) = delete;
    HeapText& operator=(const HeapText&) = delete;

    // Replaces the text with a copy of at most maxLength characters of text
    // (null copies as empty). On allocation failure the text becomes absent
    // and the result is false.
    bool Assign(const char* text, size_t maxLength = SIZE_MAX);
    // Same, from a length-delimited piece.
    bool AssignPiece(const char* text, size_t length);
    void Reset();

    const char* Get() const { return m_pText; }  // null when absent
    const char* Text() const { return m_pText ? m_pText : ""; }
    bool Empty() const { return !m_pText || !*m_pText; }

private:
    char* m_pText = nullptr;
};

#endif
