// A store: a CDatabase that opens in its record layout (with the carry-over
// of older layouts, StoreCarryOver.h), re-creates itself with its table and
// reads its current record into its record object. Adds no data to
// CDatabase.
#ifndef WIN95_DATABASE_STOREDATABASE_H
#define WIN95_DATABASE_STOREDATABASE_H

#include <cstdint>

#include "database/CDatabase.h"
#include "database/StoreCarryOver.h"

template <class RecordObject, const StoreLayout& kLayout>
class CStoreDatabase : public CDatabase {
public:
    // Opens name (a path without extension), carrying a database of another
    // record version over into the store's.
    int OpenDatabase(const char* name, uint32_t recordVersion) {
        return OpenStoreDatabase(*this, kLayout, name, recordVersion);
    }
    // Makes the database anew with the store's table (key length of a
    // re-creation).
    int Recreate(const char* name, uint32_t bucketCount) {
        return RecreateStoreDatabase(*this, kLayout, name, bucketCount);
    }
    // Makes the index anew on Description (key length of a rebuild).
    int RebuildIndex(uint32_t bucketCount) {
        return CDatabase::RebuildIndex(kFieldText, kStoreKeyOffset, kLayout.rebuildKeyLength,
                                       bucketCount);
    }
    // -15 when the record object's Version is not the store's (nothing is
    // read).
    int GetCurrentRecord(RecordObject& record) {
        if (static_cast<uint32_t>(record.Record().Version) != kLayout.recordVersion)
            return EncodeDBError(DB_WRONG_RECORD_VERSION);
        return CDatabase::GetCurrentRecord(record);
    }
};

#endif
