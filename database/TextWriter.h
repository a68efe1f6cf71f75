// TextWriter: the output of the text export. Lines are collected in a
// 64 KiB buffer, their line feeds written as CR LF, and the buffer goes to
// the file in large writes. The first write that fails or comes short makes
// the writer fail for good; Finish reports it.
#ifndef WIN95_DATABASE_TEXTWRITER_H
#define WIN95_DATABASE_TEXTWRITER_H

#include <win95/CBuffer.h>

#include <cstddef>
#include <cstdint>

#include "database/CDatabaseFile.h"

class TextWriter {
public:
    explicit TextWriter(CDatabaseFile& file);
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    // False when the buffer could not be had.
    bool Ready() const { return m_pBytes != nullptr; }
    bool Failed() const { return m_bFailed; }

    // Text with every line feed written as CR LF.
    TextWriter& operator<<(const char* text);
    TextWriter& Text(const char* text, size_t length);
    // Bytes as they are (the quoted values of text fields).
    TextWriter& Raw(const char* text, size_t length);
    // Decimal numbers (%ld and %d of the 32-bit target), followed by the
    // character after unless it is 0.
    TextWriter& Signed(int32_t value, char after = 0);
    TextWriter& Unsigned(uint32_t value, char after = 0);
    // A line end: CR LF.
    TextWriter& End() { return Raw("\r\n", 2); }

    // Writes what is left. True when every byte reached the file.
    bool Finish();

private:
    bool Flush();
    // Room for count more bytes, flushing first when needed.
    bool Reserve(size_t count);
    template <typename Value>
    TextWriter& Number(Value value, char after, char* (*format)(char*, Value));

    CDatabaseFile& m_File;
    CBuffer m_Buffer;
    char* m_pBytes;
    size_t m_nUsed = 0;
    uint64_t m_nOffset = 0;
    bool m_bFailed = false;
};

#endif
