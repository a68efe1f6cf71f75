// The backup sections of the stores' records: the keys of section "Profile"
// and of section "Location", in the order they are written, with their
// values formatted. The Windows build writes them to the backup file with
// the private-profile functions (BackupFileWin32.cpp).
#ifndef WIN95_DATABASE_BACKUPSECTION_H
#define WIN95_DATABASE_BACKUPSECTION_H

#include <win95/Records.h>

// Receives the keys of a section one by one; both texts are terminated and
// live only for the call.
class BackupSink {
public:
    virtual void Put(const char* key, const char* value) = 0;

protected:
    ~BackupSink() = default;
};

constexpr char kProfileBackupSection[] = "Profile";
constexpr char kLocationBackupSection[] = "Location";

// 26 keys, "Description" to "Organization".
void ListProfileBackup(const ProfileRecord& record, BackupSink& sink);
// 76 keys: 16 of the dialing settings, then three for each POP entry k + 1,
// counted from 0 ("POP_NUMBER_0" is entry 1's number).
void ListLocationBackup(const LocationRecord& record, BackupSink& sink);

#ifdef _WIN32
// The backup file, written key by key into one section with the Windows
// private-profile functions.
class BackupFile : public BackupSink {
public:
    BackupFile(const char* path, const char* section) : m_pPath(path), m_pSection(section) {}
    // Opens the file for reading and writing (shared), or creates it with
    // the two comment lines a new backup file starts with. False when it can
    // be neither opened nor created.
    bool Prepare();
    // Failures of single keys are not reported.
    void Put(const char* key, const char* value) override;
    // Flushes the profile functions' cache of the file.
    void Finish();

private:
    const char* m_pPath;
    const char* m_pSection;
};
#endif

#endif
