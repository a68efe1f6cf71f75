// What every double shares: the state directory, the scenario read from it
// on every call, the call journal, and a guard that keeps exceptions inside
// the DLL.
//
// The state directory is the value of WIN95_DOUBLES_STATE, read on every
// call, or else the directory of the double's own DLL. It holds
// "scenario.ini", "phonebook.ini", "counters.ini" and "journal.log"
// (README.md beside this file describes them).
#ifndef WIN95_TESTS_DOUBLES_DOUBLESTATE_H
#define WIN95_TESTS_DOUBLES_DOUBLESTATE_H

#include <windows.h>

#include <cstddef>
#include <string>

namespace doubles {

constexpr char STATE_VARIABLE[] = "WIN95_DOUBLES_STATE";

// The state directory, without a trailing backslash.
std::string StateDirectory();
// A file of the state directory.
std::string StateFile(const char* name);
// The base name of the module this code runs in, lower case, without
// extension ("rasapi32", "rnaph", "tapi32", "serialui").
std::string ModuleName();

// The scenario: "scenario.ini" of the state directory.
std::string ScenarioText(const char* section, const char* key, const char* fallback);
// A number in C notation (decimal, or hexadecimal after 0x).
DWORD ScenarioNumber(const char* section, const char* key, DWORD fallback);
// A scripted failure: the value of key (0 = none). When key + "After" is N,
// the first N calls that reach this check pass and later ones fail; the
// count is kept in "counters.ini", so it spans processes.
DWORD ScriptedError(const char* section, const char* key);
// The text of a fixed-width field, which need not be terminated.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
    size_t length = 0;
    while (length < N && field[length]) ++length;
    return std::string(field, length);
}

// key followed by a decimal index ("Name" 2 gives "Name2").
std::string IndexedKey(const char* key, DWORD index);

// One line of the journal: "module!Function arg=value ... -> result
// out=value ...". Values: texts in double quotes (backslash escapes) or
// null, pointers as set or null, numbers in decimal or 0x hexadecimal.
class JournalLine {
public:
    explicit JournalLine(const char* function);
    JournalLine& Text(const char* key, const char* value);
    JournalLine& Pointer(const char* key, const void* value);
    JournalLine& Number(const char* key, DWORD value);
    JournalLine& Hex(const char* key, DWORD value);
    JournalLine& Word(const char* key, const char* word);
    // The number a caller's pointer points at, or null.
    JournalLine& NumberAt(const char* key, const DWORD* value);
    // " -> " and the result: decimal, or hexadecimal from 0x80000000 on.
    JournalLine& Result(DWORD result);
    // Appends the line to "journal.log" (one write under a machine-wide
    // mutex, so lines of threads and processes do not mix).
    void Write() const;

private:
    void Add(const char* key, const std::string& value);
    std::string m_line;
};

// Runs body, which returns the function's result; an exception that would
// leave the DLL becomes fallback instead.
template <typename Result, typename Body>
Result Guarded(Result fallback, Body body) {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

// A kernel handle closed when the object goes.
class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE handle = nullptr) : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle && m_handle != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE handle = nullptr);

private:
    HANDLE m_handle;
};

}  // namespace doubles

#endif
