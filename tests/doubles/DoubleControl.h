// Test-side control of the platform doubles: a fresh state directory for
// the test, the scenario keys, the journal of calls and the phonebook.
//
//   DoubleControl doubles;                        // fresh state, default scenario
//   doubles.Set("tapi", "OpenError0", "0x80000001"); // line device 0 is busy
//   ... exercise the library ...
//   EXPECT_THAT(doubles.Calls("lineOpen"), ...);
//
// The constructor points WIN95_DOUBLES_STATE of this process at the new
// directory (child processes inherit it); the destructor restores the
// previous value and removes the directory.
#ifndef WIN95_TESTS_DOUBLES_DOUBLECONTROL_H
#define WIN95_TESTS_DOUBLES_DOUBLECONTROL_H

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/doubles/Phonebook.h"

class TempDir;

class DoubleControl {
public:
    DoubleControl();
    ~DoubleControl();
    DoubleControl(const DoubleControl&) = delete;
    DoubleControl& operator=(const DoubleControl&) = delete;

    const std::string& Directory() const;

    // Scenario keys ("scenario.ini"); a null value removes the key.
    void Set(const char* section, const char* key, const char* value);
    void Set(const char* section, const char* key, DWORD value);
    // Key with an index appended: Set("devices", "Name", 1, "Modem B").
    void Set(const char* section, const char* key, DWORD index, const char* value);
    void Set(const char* section, const char* key, DWORD index, DWORD value);

    // The journal's lines, oldest first, without line ends.
    std::vector<std::string> Journal() const;
    // The lines of one function (the name after "module!").
    std::vector<std::string> Calls(const char* function) const;
    // The function names of all lines, in order ("RasDialA", ...).
    std::vector<std::string> CallNames() const;
    void ClearJournal();

    // The phonebook as the doubles keep it.
    bool ReadEntry(const char* name, doubles::PhonebookEntry& entry) const;
    void WriteEntry(const char* name, const doubles::PhonebookEntry& entry);

    // Parts of a journal line: the function ("RasDialA"), the module
    // ("rasapi32"), the result text after "->", and the value of key among
    // the arguments (before "->") or the outputs (after it); "" when absent.
    // Quoted texts come back without their quotes and escapes.
    static std::string Function(const std::string& line);
    static std::string Module(const std::string& line);
    static std::string Result(const std::string& line);
    static std::string Argument(const std::string& line, const char* key);
    static std::string Output(const std::string& line, const char* key);

private:
    std::unique_ptr<TempDir> m_dir;
    std::string m_previous;
    bool m_hadPrevious;
};

#endif
