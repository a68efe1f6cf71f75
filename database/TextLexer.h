// TextLexer: the tokens of the database text form, read from the whole text
// held in memory and followed by a zero byte (the end of the text; a zero
// byte inside the text ends it too).
//
// A token is a keyword of the 22-row table (matched by prefix, in table
// order; after a section keyword the rest of its line is skipped), a name
// (everything up to the next "="), a value (after "=": a quoted text up to
// the next double quote, or the rest of the line with its CR), or the end of
// the text. Names and values longer than 1023 characters are cut; the lexer
// still moves past all of them. A line ends at LF, with or without a CR
// before it.
#ifndef WIN95_DATABASE_TEXTLEXER_H
#define WIN95_DATABASE_TEXTLEXER_H

#include <cstddef>
#include <cstdint>

enum TextToken : int {
    TOKEN_DB_VERSION = 0x21,
    TOKEN_RECORD_VERSION = 0x22,
    TOKEN_RECORD_SIZE = 0x23,
    TOKEN_CURRENT_RECORD = 0x24,
    TOKEN_NUMBER_OF_FIELDS = 0x25,
    TOKEN_SIZE_OF_PRIVATE_DATA = 0x26,
    TOKEN_FIELD_DESC = 0x41,
    TOKEN_FIELD_COMMENTS = 0x42,
    TOKEN_FIELD_LENGTH = 0x43,
    TOKEN_FIELD_OFFSET = 0x44,
    TOKEN_START_DBHEADER = 0x81,
    TOKEN_END_DBHEADER = 0x82,
    TOKEN_START_DATABASE_FIELDS = 0x83,
    TOKEN_END_DATABASE_FIELDS = 0x84,
    TOKEN_START_FIELD = 0x85,
    TOKEN_END_FIELD = 0x86,
    TOKEN_START_DATABASE_RECORDS = 0x87,
    TOKEN_END_DATABASE_RECORDS = 0x88,
    TOKEN_START_RECORD = 0x89,
    TOKEN_END_RECORD = 0x8A,
    TOKEN_START_PRIVATE_DATA = 0x8B,
    TOKEN_END_PRIVATE_DATA = 0x8C,
    TOKEN_VALUE = 17,
    TOKEN_NAME = 18,
    TOKEN_END_OF_TEXT = 20,
    TOKEN_RECORD_ERROR = 21  // made by the record parser, not the lexer
};

class TextLexer {
public:
    static constexpr size_t kTokenSize = 1024;

    // text must stay valid and end with a zero byte.
    explicit TextLexer(const char* text) : m_pPosition(text) {}

    TextToken Next();
    // The text of the last name or value, zero-terminated.
    const char* Token() const { return m_Token; }
    size_t TokenLength() const { return m_nTokenLength; }
    // Line ends passed outside values.
    uint32_t Line() const { return m_nLine; }

private:
    void SkipLine();
    void SkipSpace();
    // Copies the text up to stop (exclusive), cut to the token buffer.
    void Take(const char* stop);

    const char* m_pPosition;
    uint32_t m_nLine = 0;
    size_t m_nTokenLength = 0;
    char m_Token[kTokenSize] = {};
};

#endif
