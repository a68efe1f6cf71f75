// The dialing-location store: a database of LocationRecord records (record
// version 81, 12544 bytes, win95/Records.h) whose current record is the
// location in use, indexed on Description. Each location keeps up to 20 POP
// entries (access numbers); an entry whose number starts with a zero byte is
// empty.
#ifndef WIN95_DATABASE_LOCATIONDATABASE_H
#define WIN95_DATABASE_LOCATIONDATABASE_H

#include <win95/Records.h>

#include <cstdint>

#include "database/CDatabase.h"
#include "database/StoreDatabase.h"
#include "database/StoreFields.h"
#include "database/StoreRecordObject.h"

constexpr int32_t kLocationRecordVersion = 81;
constexpr uint32_t kLocationFieldCount = 80;
constexpr uint32_t kPOPEntryCount = 20;

// The location table: record size 12544, version 81, 80 descriptors (the
// dialing settings in their own order, then the POP entries). False when the
// descriptor buffer cannot be had.
bool BuildLocationFieldTable(FieldTable& table);

// A location record: Version 81, ToneDial 1, DefaultPOPEntry and
// BackupPOPEntry -1, every other byte zero.
class LocationRecordObject : public StoreRecordObject<LocationRecord> {
public:
    LocationRecordObject();

    // Copies the entry into the first empty POP entry: 1, or 0 when all 20
    // are taken (the record is left as it is).
    int AddPOPEntry(const POPEntry& entry);
    // 1 after storing index (0 is POP entry 1) in DefaultPOPEntry; 0 when it
    // is 20 or more, leaving the record as it is.
    int SetDefaultPOPEntry(uint32_t index);

#ifdef _WIN32
    // Writes section "Location" of the backup file: 1, or 0 when the file
    // can neither be opened nor created.
    int WriteBackup(const char* path) const;
#endif
};

extern const StoreLayout kLocationStoreLayout;

// The location store: index key length 255.
class CLocationDatabase : public CStoreDatabase<LocationRecordObject, kLocationStoreLayout> {};

#endif
