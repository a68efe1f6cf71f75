// The backup file of the stores' records: an INI file written with the
// Windows private-profile functions, one section per store, through a copy
// that replaces the file when it is complete.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "database/BackupSection.h"
#include "database/CDatabaseFile.h"
#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"

namespace {

const char kNewFileLines[] =
    ";This file is for backup purposes only. Changes made to this file will not\r\n"
    ";take effect within the application\r\n";
const char kCopySuffix[] = ".new";
const char kOldSuffix[] = ".old";

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

private:
    HANDLE m_handle;
};

template <size_t N>
bool MakePath(char (&out)[N], const char* path, const char* suffix) {
    int length = std::snprintf(out, N, "%s%s", path, suffix);
    return length > 0 && static_cast<size_t>(length) < N;
}

// Writes the bytes as the whole new content of the file at path.
bool WriteNewFile(const char* path, const void* bytes, uint32_t count) {
    std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
    return file && file->Open(path, CDatabaseFile::kCreate) &&
           (count == 0 || file->WriteAt(0, bytes, count));
}

// The file's content copied to a new file.
bool CopyFileContent(const char* from, const char* to) {
    std::unique_ptr<CDatabaseFile> source = MakeDatabaseFile();
    if (!source || !source->Open(from, CDatabaseFile::kReadOnly)) return false;
    long size = source->GetSize();
    CBuffer bytes;
    if (size < 0 || !bytes.Create(static_cast<unsigned long>(size) + 1) ||
        !source->ReadAt(0, bytes.GetPointer(), static_cast<uint32_t>(size)))
        return false;
    return WriteNewFile(to, bytes.GetPointer(), static_cast<uint32_t>(size));
}

template <class Record>
int WriteRecordBackup(const char* path, const char* section, const Record& record,
                      void (*list)(const Record&, BackupSink&)) {
    BackupFile file(path, section);
    if (!file.Prepare()) return 0;
    list(record, file);
    return file.Finish() ? 1 : 0;
}

}  // namespace

bool RecoverBackupFile(const char* path) {
    char copy[kPathSize + 8], old[kPathSize + 8];
    if (!MakePath(copy, path, kCopySuffix) || !MakePath(old, path, kOldSuffix)) return true;
    if (!DatabaseFileExists(old)) return RemoveIfPresent(copy);
    // The old file stepped aside only once the copy was complete.
    if (!DatabaseFileExists(path) &&
        !RenameDatabaseFile(DatabaseFileExists(copy) ? copy : old, path))
        return false;
    return RemoveIfPresent(old);
}

BackupFile::BackupFile(const char* path, const char* section)
    : m_pPath(path), m_pSection(section), m_Copy{}, m_Old{} {}

bool BackupFile::Prepare() {
    if (!MakePath(m_Copy, m_pPath, kCopySuffix) || !MakePath(m_Old, m_pPath, kOldSuffix) ||
        !RecoverBackupFile(m_pPath))
        return false;
    {
        FileHandle existing(CreateFileA(m_pPath, GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (existing.Valid()) return CopyFileContent(m_pPath, m_Copy);
    }
    // Only a file that is not there is made anew: one that exists but cannot
    // be opened is left as it is.
    if (DatabaseFileExists(m_pPath)) return false;
    return WriteNewFile(m_Copy, kNewFileLines, sizeof kNewFileLines - 1);
}

void BackupFile::Put(const char* key, const char* value) {
    TheDatabaseFileFactory().PutProfileString(m_pSection, key, value, m_Copy);
}

bool BackupFile::Finish() {
    TheDatabaseFileFactory().PutProfileString(nullptr, nullptr, nullptr, m_Copy);
    if (DatabaseFileExists(m_pPath) && !RenameDatabaseFile(m_pPath, m_Old)) {
        RemoveDatabaseFile(m_Copy);
        return false;
    }
    // From here on the copy is the backup; RecoverBackupFile finishes what a
    // crash leaves.
    return RenameDatabaseFile(m_Copy, m_pPath) && RemoveIfPresent(m_Old);
}

int ProfileRecordObject::WriteBackup(const char* path) const {
    return WriteRecordBackup(path, kProfileBackupSection, Record(), ListProfileBackup);
}

int LocationRecordObject::WriteBackup(const char* path) const {
    return WriteRecordBackup(path, kLocationBackupSection, Record(), ListLocationBackup);
}
