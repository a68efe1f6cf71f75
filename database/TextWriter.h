// TextWriter: text written to a file at its current position, every line
// feed as CR LF: the one implementation behind CDatabaseFile::WriteText and
// the text export. The text is collected in the file's 64 KiB text buffer and
// goes to the file in large writes. The first write that fails or comes
// short makes the writer fail for good; Finish reports it. One writer per
// file at a time.
#ifndef WIN95_DATABASE_TEXTWRITER_H
#define WIN95_DATABASE_TEXTWRITER_H

#include <win95/CBuffer.h>

#include <cstddef>
#include <cstdint>

#include "database/CDatabaseFile.h"

class TextWriter {
public:
    static constexpr size_t kBufferSize = 64 * 1024;

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

    // Copies length bytes of text to out (room for twice as many) with every
    // line feed as CR LF; the bytes written.
    static size_t WithCrLf(const char* text, size_t length, char* out);

private:
    bool Flush();
    // Room for count more bytes, flushing first when needed.
    bool Reserve(size_t count);
    template <typename Value>
    TextWriter& Number(Value value, char after, char* (*format)(char*, Value));

    CDatabaseFile& m_File;
    char* m_pBytes;
    size_t m_nUsed = 0;
    bool m_bFailed = false;
};

#endif
