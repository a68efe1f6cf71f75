// The backup sections of the stores' records: the keys of section "Profile"
// and of section "Location", in the order they are written, with their
// values formatted. The Windows build writes them to the backup file with
// the private-profile functions (BackupFileWin32.cpp).
#ifndef WIN95_DATABASE_BACKUPSECTION_H
#define WIN95_DATABASE_BACKUPSECTION_H

#include <win95/Records.h>

#include "database/DatabaseFormat.h"

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
// private-profile functions. The keys go into a copy of the file ("%s.new"),
// which then replaces it: the old file steps aside ("%s.old"), the copy takes
// its name, the old one goes. A write that a crash or a failure interrupts
// leaves the old backup or the new one whole (RecoverBackupFile).
class BackupFile : public BackupSink {
public:
    BackupFile(const char* path, const char* section);
    // Makes the copy: of the file when it can be opened for reading and
    // writing (shared), else, when there is no file, a new one with the two
    // comment lines a backup file starts with. False when neither works.
    bool Prepare();
    // Failures of single keys are not reported.
    void Put(const char* key, const char* value) override;
    // Flushes the profile functions' cache of the copy and puts the copy in
    // the file's place. False when it could not.
    bool Finish();

private:
    const char* m_pPath;
    const char* m_pSection;
    char m_Copy[kPathSize + 8];
    char m_Old[kPathSize + 8];
};

// Finishes the replacement of the backup file at path that a crash
// interrupted once the copy was complete, or removes an incomplete copy.
// Every backup write does this first. False when a file could not be renamed
// or removed.
bool RecoverBackupFile(const char* path);
#endif

#endif
