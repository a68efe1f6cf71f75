// File helpers for the Windows tests: a temporary directory removed with
// everything in it, whole-file reads and writes.
#ifndef WIN95_TESTS_TESTFILES_H
#define WIN95_TESTS_TESTFILES_H

#include <windows.h>

#include <string>

// A fresh directory under the Windows temporary directory, removed (with its
// content) when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Path() + "\\" + name
    std::string File(const std::string& name) const;

private:
    std::string m_path;
};

void RemoveTree(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The directory of the running test program, with a trailing backslash.
std::string ProgramDirectory();

#endif
