// The log INI file: where it is, and typed reads of its keys through the
// Windows private-profile functions.
//
// Locate() establishes the paths from the name or path given at
// construction, "corecode.ini" ("DataDir", "LogIniFile", "LogDir") and the
// library's own directory. Until a full path is established every read
// yields its default.
#ifndef WIN95_DIAG_VINIFILE_H
#define WIN95_DIAG_VINIFILE_H

#include "diag/HeapText.h"

class VIniFile {
public:
    enum { kMaxGivenName = 771 };

    // Keeps a copy of the INI name or path (cut to 771 characters).
    explicit VIniFile(const char* givenName);
    ~VIniFile();
    VIniFile(const VIniFile&) = delete;
    VIniFile& operator=(const VIniFile&) = delete;

    void Locate();

    int ReadBool(const char* section, const char* key, int fallback) const;
    int ReadInt(const char* section, const char* key, int fallback) const;
    unsigned long ReadHex(const char* section, const char* key, unsigned long fallback) const;
    void ReadString(const char* section, const char* key, const char* fallback, char* out,
                    unsigned long size) const;

    // Flushes the system's cached copy of the file and frees the paths.
    void Close();

    const char* FullPathName() const { return m_pIniFullPathName.Get(); }
    const char* FileName() const { return m_pIniFileName.Get(); }
    const char* DirectoryName() const { return m_pIniDirectoryName.Get(); }
    // The log directory, ending in a backslash; null when none is configured.
    const char* LogDirectory() const { return m_pLogDirectory.Get(); }

private:
    HeapText m_pIniFileName;
    HeapText m_pIniDirectoryName;
    HeapText m_pIniFullPathName;
    HeapText m_pGivenName;
    HeapText m_pLogDirectory;
};

#endif
