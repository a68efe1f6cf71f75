#include "tests/doubles/DoubleState.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace doubles {

namespace {

HMODULE OwnModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&OwnModule), &module);
    return module;
}

std::string OwnModulePath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(OwnModule(), path, sizeof path);
    if (length == 0 || length >= sizeof path) return std::string();
    return std::string(path, length);
}

std::string Quoted(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string HexText(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(value));
    return text;
}

}  // namespace

std::string StateDirectory() {
    std::vector<char> value(MAX_PATH);
    for (;;) {
        DWORD length =
            GetEnvironmentVariableA(STATE_VARIABLE, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) break;
        if (length < value.size()) {
            std::string directory(value.data(), length);
            while (!directory.empty() && (directory.back() == '\\' || directory.back() == '/'))
                directory.pop_back();
            return directory;
        }
        value.resize(length + 1);
    }
    std::string path = OwnModulePath();
    return path.substr(0, path.find_last_of("\\/"));
}

std::string StateFile(const char* name) {
    return StateDirectory() + "\\" + name;
}

std::string ModuleName() {
    std::string path = OwnModulePath();
    std::string name = path.substr(path.find_last_of("\\/") + 1);
    name = name.substr(0, name.find_last_of('.'));
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

std::string ScenarioText(const char* section, const char* key, const char* fallback) {
    char value[1024];
    GetPrivateProfileStringA(section, key, fallback, value, sizeof value,
                             StateFile("scenario.ini").c_str());
    return value;
}

DWORD ScenarioNumber(const char* section, const char* key, DWORD fallback) {
    std::string text = ScenarioText(section, key, "");
    if (text.empty()) return fallback;
    return static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 0));
}

DWORD ScriptedError(const char* section, const char* key) {
    DWORD error = ScenarioNumber(section, key, 0);
    if (error == 0) return 0;
    std::string afterKey = std::string(key) + "After";
    DWORD after = ScenarioNumber(section, afterKey.c_str(), 0);
    if (after == 0) return error;
    std::string counters = StateFile("counters.ini");
    std::string counterKey = std::string(section) + "." + key;
    UINT passed = GetPrivateProfileIntA("passed", counterKey.c_str(), 0, counters.c_str());
    if (passed >= after) return error;
    WritePrivateProfileStringA("passed", counterKey.c_str(), std::to_string(passed + 1).c_str(),
                               counters.c_str());
    return 0;
}

std::string IndexedKey(const char* key, DWORD index) {
    return key + std::to_string(index);
}

JournalLine::JournalLine(const char* function) : m_line(ModuleName() + "!" + function) {}

void JournalLine::Add(const char* key, const std::string& value) {
    m_line += ' ';
    m_line += key;
    m_line += '=';
    m_line += value;
}

JournalLine& JournalLine::Text(const char* key, const char* value) {
    Add(key, value ? Quoted(value) : "null");
    return *this;
}

JournalLine& JournalLine::Pointer(const char* key, const void* value) {
    Add(key, value ? "set" : "null");
    return *this;
}

JournalLine& JournalLine::Number(const char* key, DWORD value) {
    Add(key, std::to_string(value));
    return *this;
}

JournalLine& JournalLine::Hex(const char* key, DWORD value) {
    Add(key, HexText(value));
    return *this;
}

JournalLine& JournalLine::Word(const char* key, const char* word) {
    Add(key, word);
    return *this;
}

JournalLine& JournalLine::NumberAt(const char* key, const DWORD* value) {
    Add(key, value ? std::to_string(*value) : "null");
    return *this;
}

JournalLine& JournalLine::Result(DWORD result) {
    m_line += " -> ";
    m_line += result >= 0x80000000 ? HexText(result) : std::to_string(result);
    return *this;
}

void JournalLine::Write() const {
    std::string text = m_line + "\r\n";
    UniqueHandle mutex(CreateMutexA(nullptr, FALSE, "Win95DoublesJournal"));
    if (mutex.Valid()) WaitForSingleObject(mutex.Get(), 5000);
    UniqueHandle file(CreateFileA(StateFile("journal.log").c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Valid()) {
        SetFilePointer(file.Get(), 0, nullptr, FILE_END);
        DWORD written = 0;
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    file.Reset();
    if (mutex.Valid()) ReleaseMutex(mutex.Get());
}

void UniqueHandle::Reset(HANDLE handle) {
    if (Valid()) CloseHandle(m_handle);
    m_handle = handle;
}

}  // namespace doubles
