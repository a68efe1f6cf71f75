// A small writer of JSON text for kitdb's --json output: objects and arrays
// with one item a line, texts escaped to ASCII (bytes from 0x80 on as the
// code points of the same number, as the ANSI texts of the files are).
#ifndef WIN95_TOOLS_KITDB_JSON_H
#define WIN95_TOOLS_KITDB_JSON_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class JsonWriter {
public:
    // A key is given inside objects and left null inside arrays.
    JsonWriter& Object(const char* key = nullptr);
    JsonWriter& Array(const char* key = nullptr);
    JsonWriter& End();
    JsonWriter& Text(const char* key, const std::string& text);
    JsonWriter& Number(const char* key, int64_t number);
    JsonWriter& Flag(const char* key, bool flag);
    // The text with a line end, once every object and array has ended.
    void Print(FILE* out) const;

private:
    void Item(const char* key);
    JsonWriter& Open(const char* key, char bracket);

    std::string m_Text;
    std::vector<char> m_Closers;
    bool m_bFirst = true;
};

std::string JsonQuoted(const std::string& text);

#endif
