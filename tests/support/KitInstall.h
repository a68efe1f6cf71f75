// A kit installation for tests: a copy of WIN95.dll in a temporary kit
// directory, with a "corecode.ini" beside it and the WIN.INI section it
// names. The copy is loaded and made the library's module instance, so the
// statically linked library code reads this installation.
#ifndef WIN95_TESTS_KITINSTALL_H
#define WIN95_TESTS_KITINSTALL_H

#include <windows.h>

#include <string>

#include "api/ModuleInstance.h"
#include "tests/support/TestFiles.h"

class KitInstall {
public:
    // The WIN.INI section that "WinSection" names; unique per process. With
    // a subdirectory name, the kit lies in that folder of the temporary
    // directory (e.g. one with blanks in its name).
    explicit KitInstall(const char* subdirectory = nullptr);
    ~KitInstall();

    // Writes a key of "corecode.ini" section "configuration"; a null value
    // deletes the key.
    void SetConfig(const char* key, const char* value);
    // Removes "corecode.ini" altogether.
    void RemoveConfigFile();
    // Sets the WIN.INI "Path" of the kit's section (null deletes it).
    void SetKitPath(const char* path);

    const std::string& Directory() const { return m_path; }
    const std::string& WinSection() const { return m_section; }
    std::string ConfigFile() const { return m_path + "\\corecode.ini"; }
    HMODULE Module() const { return m_module; }

private:
    TempDir m_dir;
    std::string m_path;
    std::string m_section;
    HMODULE m_module;
    HINSTANCE m_previous;
};

#endif
