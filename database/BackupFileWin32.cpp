// The backup file of the stores' records: an INI file written with the
// Windows private-profile functions, one section per store.
#include <windows.h>

#include <cstring>

#include "database/BackupSection.h"
#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"

namespace {

const char kNewFileLines[] =
    ";This file is for backup purposes only. Changes made to this file will not\r\n"
    ";take effect within the application\r\n";

// Closes a file handle at scope end.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

template <class Record>
int WriteRecordBackup(const char* path, const char* section, const Record& record,
                      void (*list)(const Record&, BackupSink&)) {
    BackupFile file(path, section);
    if (!file.Prepare()) return 0;
    list(record, file);
    file.Finish();
    return 1;
}

}  // namespace

bool BackupFile::Prepare() {
    {
        FileHandle existing(CreateFileA(m_pPath, GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (existing.Valid()) return true;
    }
    // Only a file that is not there is made: one that exists but cannot be
    // opened is not emptied.
    FileHandle created(CreateFileA(m_pPath, GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!created.Valid()) return false;
    DWORD written = 0;
    WriteFile(created.Get(), kNewFileLines, sizeof kNewFileLines - 1, &written, nullptr);
    return true;
}

void BackupFile::Put(const char* key, const char* value) {
    WritePrivateProfileStringA(m_pSection, key, value, m_pPath);
}

void BackupFile::Finish() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, m_pPath);
}

int ProfileRecordObject::WriteBackup(const char* path) const {
    return WriteRecordBackup(path, kProfileBackupSection, Record(), ListProfileBackup);
}

int LocationRecordObject::WriteBackup(const char* path) const {
    return WriteRecordBackup(path, kLocationBackupSection, Record(), ListLocationBackup);
}
