// What the profile and location stores have in common: a record object that
// owns one block in a store's layout, the field lists their tables are made
// from, and the open that carries a database of an older record layout over
// into the current one.
#ifndef WIN95_DATABASE_STORERECORD_H
#define WIN95_DATABASE_STORERECORD_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "database/CDatabase.h"
#include "database/DatabaseFormat.h"
#include "database/DatabaseRecord.h"
#include "database/FieldTable.h"

// The record object of a store: one block in the Layout, zero-filled at
// construction. A zero byte follows the block, so that a text field an
// import filled to its end without a terminator is still read as ending
// inside the object.
template <class Layout>
class StoreRecordObject : public DatabaseRecord {
public:
    unsigned char* GetData() override { return reinterpret_cast<unsigned char*>(&m_Block.record); }
    unsigned char* GetRecordData() override { return GetData(); }
    uint32_t GetDataSize() override { return sizeof(Layout); }

    Layout& Record() { return m_Block.record; }
    const Layout& Record() const { return m_Block.record; }

protected:
    StoreRecordObject() { std::memset(&m_Block, 0, sizeof m_Block); }

private:
#pragma pack(push, 1)
    struct Block {
        Layout record;
        char end;  // always 0
    };
#pragma pack(pop)
    Block m_Block;
};

// One descriptor of a store's field table; name and comment may hold one
// "%d", formed with the number given to AddStoreFields.
struct StoreField {
    const char* name;
    const char* comment;
    uint32_t type;
    uint32_t length;
    uint32_t offset;
};

// A field of size bytes at offset: its length is counted in elements of the
// type.
constexpr StoreField MakeStoreField(const char* name, const char* comment, uint32_t type,
                                    size_t size, size_t offset) {
    return StoreField{name, comment, type, static_cast<uint32_t>(size / FieldElementSize(type)),
                      static_cast<uint32_t>(offset)};
}

// Appends the fields with their names and comments formed with number.
// False when the table cannot grow.
bool AddStoreFields(FieldTable& table, const StoreField* fields, size_t count, int number);

// How a store makes and carries over its database.
struct StoreLayout {
    const char* exportingMessage;  // logged at 256 before the export
    const char* importingMessage;  // logged at 256 before the import
    uint32_t recordVersion;
    uint32_t createKeyLength;   // index key length of a re-created database
    uint32_t rebuildKeyLength;  // index key length of a rebuilt index
    bool (*buildTable)(FieldTable& table);
};

// The stores' index: text keys at offset 4 (Description), 101 buckets.
constexpr uint32_t kStoreKeyOffset = 4;
constexpr uint32_t kStoreBuckets = 101;
// The text the carry-over writes and reads again, in the current directory.
constexpr char kStoreExportFile[] = "database.exp";

// Opens the store's database. When its records have another version, the
// database is exported to "database.exp", made anew in the current layout,
// the text imported and the index rebuilt, and the open tried again. An
// export that fails leaves the files as they were and ends the open with its
// code; an import or rebuild that fails ends it with that code, and the
// export file is kept.
int OpenStoreDatabase(CDatabase& database, const StoreLayout& layout, const char* name,
                      uint32_t recordVersion);
// Creates the database anew with the store's table: -13 when the table
// cannot be built.
int RecreateStoreDatabase(CDatabase& database, const StoreLayout& layout, const char* name,
                          uint32_t bucketCount);
constexpr int kStoreTableFailed = -13;

// A store: a CDatabase that opens with the carry-over, re-creates itself in
// its layout and reads its current record into its record object. Adds no
// data to CDatabase.
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
