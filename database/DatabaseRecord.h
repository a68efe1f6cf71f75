// DatabaseRecord: the record object a store hands to
// CDatabase::GetCurrentRecord. The store's record classes own a block of the
// record size and give it through these operations; the base gives nothing.
#ifndef WIN95_DATABASE_DATABASERECORD_H
#define WIN95_DATABASE_DATABASERECORD_H

#include <cstdint>

class DatabaseRecord {
public:
    virtual ~DatabaseRecord() = default;
    // The record data, the record-size bytes.
    virtual unsigned char* GetData() { return nullptr; }
    // The same bytes; the one the engine reads into.
    virtual unsigned char* GetRecordData() { return nullptr; }
    virtual uint32_t GetDataSize() { return 0; }
};

#endif
