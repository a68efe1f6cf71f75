#include "database/TextWriter.h"

#include <cstring>

#include "database/TextNumbers.h"

TextWriter::TextWriter(CDatabaseFile& file) : m_File(file), m_pBytes(nullptr) {
    CBuffer* buffer = file.TextBuffer();
    if (buffer) m_pBytes = reinterpret_cast<char*>(buffer->GetPointer());
}

bool TextWriter::Flush() {
    if (m_bFailed || !m_pBytes) return false;
    if (m_nUsed && m_File.Write(m_pBytes, m_nUsed) != m_nUsed) {
        m_bFailed = true;
        return false;
    }
    m_nUsed = 0;
    return true;
}

bool TextWriter::Reserve(size_t count) {
    if (m_bFailed || !m_pBytes) return false;
    return m_nUsed + count <= kBufferSize || Flush();
}

TextWriter& TextWriter::operator<<(const char* text) {
    return Text(text, std::strlen(text));
}

size_t TextWriter::WithCrLf(const char* text, size_t length, char* out) {
    char* at = out;
    while (length) {
        const char* feed = static_cast<const char*>(std::memchr(text, '\n', length));
        size_t piece = feed ? static_cast<size_t>(feed - text) : length;
        std::memcpy(at, text, piece);
        at += piece;
        if (!feed) break;
        *at++ = '\r';
        *at++ = '\n';
        text += piece + 1;
        length -= piece + 1;
    }
    return static_cast<size_t>(at - out);
}

TextWriter& TextWriter::Text(const char* text, size_t length) {
    while (length) {
        size_t piece = length < kBufferSize / 2 ? length : kBufferSize / 2;
        if (!Reserve(2 * piece)) break;
        m_nUsed += WithCrLf(text, piece, m_pBytes + m_nUsed);
        text += piece;
        length -= piece;
    }
    return *this;
}

TextWriter& TextWriter::Raw(const char* text, size_t length) {
    while (length && Reserve(1)) {
        size_t room = kBufferSize - m_nUsed;
        size_t piece = length < room ? length : room;
        std::memcpy(m_pBytes + m_nUsed, text, piece);
        m_nUsed += piece;
        text += piece;
        length -= piece;
    }
    return *this;
}

// A number takes at most 11 characters, and the one after it.
template <typename Value>
TextWriter& TextWriter::Number(Value value, char after, char* (*format)(char*, Value)) {
    if (!Reserve(12)) return *this;
    char* end = format(m_pBytes + m_nUsed, value);
    if (after) *end++ = after;
    m_nUsed = static_cast<size_t>(end - m_pBytes);
    return *this;
}

TextWriter& TextWriter::Signed(int32_t value, char after) {
    return Number(value, after, FormatSigned);
}

TextWriter& TextWriter::Unsigned(uint32_t value, char after) {
    return Number(value, after, FormatUnsigned);
}

bool TextWriter::Finish() {
    return Flush();
}
