// DatabaseInfo: what CDatabase::GetDatabaseInfo reports, from a freshly read
// .db header and the record count of the file's size.
#ifndef WIN95_DATABASE_DATABASEINFO_H
#define WIN95_DATABASE_DATABASEINFO_H

#include <cstdint>

struct DatabaseInfo {
    uint32_t databaseVersion;
    uint32_t databaseId;
    uint32_t databaseFlags;
    uint32_t recordVersion;
    uint32_t recordSize;
    int32_t currentRecord;  // -1: none
    uint32_t reserved;
    uint32_t recordCount;
    int32_t openCount;
    uint32_t privateSize;
};

#endif
