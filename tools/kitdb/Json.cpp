#include "tools/kitdb/Json.h"

std::string JsonQuoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        }
    }
    return out + "\"";
}

void JsonWriter::Item(const char* key) {
    if (!m_Closers.empty()) {
        m_Text += m_bFirst ? "\n" : ",\n";
        m_Text.append(2 * m_Closers.size(), ' ');
    }
    m_bFirst = false;
    if (key) m_Text += JsonQuoted(key) + ": ";
}

JsonWriter& JsonWriter::Open(const char* key, char bracket) {
    Item(key);
    m_Text += bracket;
    m_Closers.push_back(bracket == '{' ? '}' : ']');
    m_bFirst = true;
    return *this;
}

JsonWriter& JsonWriter::Object(const char* key) {
    return Open(key, '{');
}

JsonWriter& JsonWriter::Array(const char* key) {
    return Open(key, '[');
}

JsonWriter& JsonWriter::End() {
    if (m_Closers.empty()) return *this;
    char closer = m_Closers.back();
    m_Closers.pop_back();
    if (!m_bFirst) {
        m_Text += "\n";
        m_Text.append(2 * m_Closers.size(), ' ');
    }
    m_Text += closer;
    m_bFirst = false;
    return *this;
}

JsonWriter& JsonWriter::Text(const char* key, const std::string& text) {
    Item(key);
    m_Text += JsonQuoted(text);
    return *this;
}

JsonWriter& JsonWriter::Number(const char* key, int64_t number) {
    Item(key);
    m_Text += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::Flag(const char* key, bool flag) {
    Item(key);
    m_Text += flag ? "true" : "false";
    return *this;
}

void JsonWriter::Print(FILE* out) const {
    std::fputs(m_Text.c_str(), out);
    std::fputs("\n", out);
}
