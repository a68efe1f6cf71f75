// Netscape Navigator's settings as tests lay them out: registry values under
// the current user's "software\netscape\Netscape Navigator" and a "reg.ini"
// in an install directory of the test's own. Everything is removed again.
#ifndef WIN95_TESTS_NAVIGATORSETTINGS_H
#define WIN95_TESTS_NAVIGATORSETTINGS_H

#include <windows.h>

#include <string>

#include "tests/support/TestFiles.h"

class NavigatorSettings {
public:
    NavigatorSettings();   // starts with no Navigator keys at all
    ~NavigatorSettings();  // removes them
    NavigatorSettings(const NavigatorSettings&) = delete;
    NavigatorSettings& operator=(const NavigatorSettings&) = delete;

    // A string value of key (relative to Navigator's key, e.g. "mail").
    void SetString(const char* key, const char* name, const std::string& value);
    // A value of any type and bytes.
    void SetRaw(const char* key, const char* name, DWORD type, const std::string& bytes);
    // Creates the key without values.
    void CreateKey(const char* key);

    // "Main\Install Directory" pointing at an install directory of this
    // object (with a trailing backslash when asked), and its reg.ini path.
    void Install(bool trailingBackslash = false);
    std::string InstallDirectory() const { return m_dir.File("Navigator"); }
    std::string RegIni() const { return InstallDirectory() + "\\Program\\reg.ini"; }
    // A key of "reg.ini" section "ISP Information".
    void SetRegIni(const char* key, const char* value);

private:
    TempDir m_dir;
};

#endif
