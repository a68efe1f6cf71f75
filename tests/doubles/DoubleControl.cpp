#include "tests/doubles/DoubleControl.h"

#include <cstdlib>
#include <sstream>

#include "tests/doubles/DoubleState.h"
#include "tests/support/TestFiles.h"

namespace {

// A journal line's tokens: space-separated, a quoted text with its spaces
// and escapes counting as part of its token.
std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> tokens;
    std::string token;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted && c == '\\' && i + 1 < line.size()) {
            token += c;
            token += line[++i];
            continue;
        }
        if (c == '"') quoted = !quoted;
        if (c == ' ' && !quoted) {
            if (!token.empty()) tokens.push_back(token);
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.empty()) tokens.push_back(token);
    return tokens;
}

std::string Unquoted(const std::string& value) {
    if (value.size() < 2 || value.front() != '"') return value;
    std::string text;
    for (size_t i = 1; i + 1 < value.size(); ++i) {
        if (value[i] != '\\') {
            text += value[i];
        } else if (value[i + 1] == 'x') {
            text += static_cast<char>(std::strtoul(value.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            text += value[++i];
        }
    }
    return text;
}

// The value of key among the tokens before "->" (outputs false) or after
// it (outputs true).
std::string Value(const std::string& line, const char* key, bool outputs) {
    std::string prefix = std::string(key) + "=";
    bool after = false;
    std::vector<std::string> tokens = Tokens(line);
    for (size_t i = 1; i < tokens.size(); ++i) {
        if (tokens[i] == "->") {
            after = true;
            ++i;  // the result
            continue;
        }
        if (after == outputs && tokens[i].compare(0, prefix.size(), prefix) == 0)
            return Unquoted(tokens[i].substr(prefix.size()));
    }
    return std::string();
}

}  // namespace

DoubleControl::DoubleControl() : m_dir(new TempDir) {
    char previous[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(doubles::STATE_VARIABLE, previous, sizeof previous);
    m_hadPrevious = length > 0 && length < sizeof previous;
    if (m_hadPrevious) m_previous.assign(previous, length);
    SetEnvironmentVariableA(doubles::STATE_VARIABLE, m_dir->Path().c_str());
}

DoubleControl::~DoubleControl() {
    SetEnvironmentVariableA(doubles::STATE_VARIABLE, m_hadPrevious ? m_previous.c_str() : nullptr);
}

const std::string& DoubleControl::Directory() const {
    return m_dir->Path();
}

void DoubleControl::Set(const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, m_dir->File("scenario.ini").c_str());
}

void DoubleControl::Set(const char* section, const char* key, DWORD value) {
    Set(section, key, std::to_string(value).c_str());
}

void DoubleControl::Set(const char* section, const char* key, DWORD index, const char* value) {
    Set(section, doubles::IndexedKey(key, index).c_str(), value);
}

void DoubleControl::Set(const char* section, const char* key, DWORD index, DWORD value) {
    Set(section, doubles::IndexedKey(key, index).c_str(), value);
}

std::vector<std::string> DoubleControl::Journal() const {
    std::istringstream text(ReadFileBytes(m_dir->File("journal.log")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> DoubleControl::Calls(const char* function) const {
    std::vector<std::string> lines;
    for (const std::string& line : Journal())
        if (Function(line) == function) lines.push_back(line);
    return lines;
}

std::vector<std::string> DoubleControl::CallNames() const {
    std::vector<std::string> names;
    for (const std::string& line : Journal()) names.push_back(Function(line));
    return names;
}

void DoubleControl::ClearJournal() {
    DeleteFileA(m_dir->File("journal.log").c_str());
}

bool DoubleControl::ReadEntry(const char* name, doubles::PhonebookEntry& entry) const {
    return doubles::LoadEntry(name, entry);
}

void DoubleControl::WriteEntry(const char* name, const doubles::PhonebookEntry& entry) {
    doubles::SaveEntry(name, entry);
}

std::string DoubleControl::Function(const std::string& line) {
    std::string head = line.substr(0, line.find(' '));
    return head.substr(head.find('!') + 1);
}

std::string DoubleControl::Module(const std::string& line) {
    size_t bang = line.find('!');
    return bang == std::string::npos ? std::string() : line.substr(0, bang);
}

std::string DoubleControl::Result(const std::string& line) {
    std::vector<std::string> tokens = Tokens(line);
    for (size_t i = 0; i + 1 < tokens.size(); ++i)
        if (tokens[i] == "->") return tokens[i + 1];
    return std::string();
}

std::string DoubleControl::Argument(const std::string& line, const char* key) {
    return Value(line, key, false);
}

std::string DoubleControl::Output(const std::string& line, const char* key) {
    return Value(line, key, true);
}
