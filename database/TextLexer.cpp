#include "database/TextLexer.h"

#include <cstring>

namespace {

struct Keyword {
    const char* text;
    size_t length;
    TextToken token;
};

// Searched in this order; the first keyword the text starts with wins.
constexpr Keyword kKeywords[] = {
    {"START_DBHEADER", 14, TOKEN_START_DBHEADER},
    {"END_DBHEADER", 12, TOKEN_END_DBHEADER},
    {"START_DATABASE_FIELDS", 21, TOKEN_START_DATABASE_FIELDS},
    {"END_DATABASE_FIELDS", 19, TOKEN_END_DATABASE_FIELDS},
    {"START_DATABASE_RECORDS", 22, TOKEN_START_DATABASE_RECORDS},
    {"END_DATABASE_RECORDS", 20, TOKEN_END_DATABASE_RECORDS},
    {"START_FIELD", 11, TOKEN_START_FIELD},
    {"END_FIELD", 9, TOKEN_END_FIELD},
    {"FIELD_DESC", 10, TOKEN_FIELD_DESC},
    {"FIELD_COMMENTS", 14, TOKEN_FIELD_COMMENTS},
    {"FIELD_LENGTH", 12, TOKEN_FIELD_LENGTH},
    {"FIELD_OFFSET", 12, TOKEN_FIELD_OFFSET},
    {"START_RECORD", 12, TOKEN_START_RECORD},
    {"END_RECORD", 10, TOKEN_END_RECORD},
    {"DB_VERSION", 10, TOKEN_DB_VERSION},
    {"RECORD_VERSION", 14, TOKEN_RECORD_VERSION},
    {"RECORD_SIZE", 11, TOKEN_RECORD_SIZE},
    {"CURRENT_RECORD", 14, TOKEN_CURRENT_RECORD},
    {"NUMBER_OF_FIELDS", 16, TOKEN_NUMBER_OF_FIELDS},
    {"SIZE_OF_PRIVATE_DATA", 20, TOKEN_SIZE_OF_PRIVATE_DATA},
    {"START_PRIVATE_DATA", 18, TOKEN_START_PRIVATE_DATA},
    {"END_PRIVATE_DATA", 16, TOKEN_END_PRIVATE_DATA},
};

bool IsSectionKeyword(TextToken token) {
    return (token & 0x80) != 0;
}

// The first of stop or the end of the text.
const char* Find(const char* text, char stop) {
    const char* found = std::strchr(text, stop);
    return found ? found : text + std::strlen(text);
}

}  // namespace

// Moves just past the next line feed, or to the end of the text.
void TextLexer::SkipLine() {
    const char* feed = Find(m_pPosition, '\n');
    if (*feed) {
        ++m_nLine;
        ++feed;
    }
    m_pPosition = feed;
}

void TextLexer::SkipSpace() {
    for (;; ++m_pPosition) {
        char c = *m_pPosition;
        if (c == '\n') {
            ++m_nLine;
        } else if (c != ' ' && c != '\t' && c != '\r') {
            return;
        }
    }
}

void TextLexer::Take(const char* stop) {
    size_t length = static_cast<size_t>(stop - m_pPosition);
    if (length > kTokenSize - 1) length = kTokenSize - 1;
    std::memcpy(m_Token, m_pPosition, length);
    m_Token[length] = '\0';
    m_nTokenLength = length;
}

TextToken TextLexer::Next() {
    if (*m_pPosition == ';') SkipLine();
    SkipSpace();
    if (*m_pPosition == '\0') return TOKEN_END_OF_TEXT;
    for (const Keyword& keyword : kKeywords) {
        if (*m_pPosition != keyword.text[0] ||
            std::strncmp(m_pPosition, keyword.text, keyword.length) != 0)
            continue;
        m_pPosition += keyword.length;
        if (IsSectionKeyword(keyword.token)) SkipLine();
        return keyword.token;
    }
    if (*m_pPosition == '=') {
        ++m_pPosition;
        SkipSpace();
        if (*m_pPosition == '"') {
            ++m_pPosition;
            const char* quote = Find(m_pPosition, '"');
            Take(quote);
            m_pPosition = *quote ? quote + 1 : quote;
        } else {
            const char* feed = Find(m_pPosition, '\n');
            Take(feed);
            m_pPosition = *feed ? feed + 1 : feed;
        }
        return TOKEN_VALUE;
    }
    const char* equals = Find(m_pPosition, '=');
    Take(equals);
    m_pPosition = equals;
    return TOKEN_NAME;
}
