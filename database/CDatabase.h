// CDatabase: the database object the stores drive (and derive from). It
// attaches one CDatabaseImp (the .db file) and one CDatabaseIndex (the .idx
// file), shared with every other CDatabase naming the same files, and keeps
// the database name: a path without extension, at most 507 characters.
//
// Results are 0 or negative: a DBError e comes out as -(e + 1), an index
// code e as -(e + 256) (index code 1 as -65536), see DBError.h. So -15 means
// the record version differs, -17 not a database file, -18 no database
// attached, -19 a write failed, -258 the index cannot be opened, -267 an
// index write failed; WriteAttachment fails with -4113.
//
// Call order: construct, OpenDatabase or CreateDatabase, any number of
// GetCurrentRecord, RebuildIndex, ExportDatabase, ImportRecords, then
// CloseDatabase or destruction. A failed open or create may leave an object
// attached; the next open, create or close releases it. Not copyable; the
// opens and closes of several threads must be serialised by the callers.
#ifndef WIN95_DATABASE_CDATABASE_H
#define WIN95_DATABASE_CDATABASE_H

#include <cstdint>
#include <memory>

#include "database/DBError.h"
#include "database/DatabaseInfo.h"
#include "database/DatabaseRecord.h"
#include "database/FieldTable.h"

class CDatabaseImp;
class CDatabaseIndex;

class CDatabase {
public:
    CDatabase();
    ~CDatabase();  // CloseDatabase, then ReleaseIndex
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // Opens name.db, refusing another record version than a non-zero
    // recordVersion (-15), and name.idx; a database whose index cannot be
    // opened is not opened (-258, -265, ...) and leaves nothing attached.
    // Names longer than 507 characters: -3.
    int OpenDatabase(const char* name, uint32_t recordVersion);
    // Creates name.db for the table (clearing the flags of its descriptors),
    // attachment 00 and name.idx, and leaves the database open with no
    // records and current record -1. -16 when another CDatabase holds name.db
    // open; names longer than 507 characters: -4.
    int CreateDatabase(const char* name, FieldTable& table, uint32_t keyType, uint32_t keyLength,
                       uint32_t bucketCount);
    void CloseDatabase();
    void ReleaseIndex();
    // Makes name.idx anew and inserts the key of every readable record: the
    // text at keyOffset of the record data, cut at its terminator, the key
    // length and the record's end. -18 no database attached or open.
    int RebuildIndex(uint32_t keyType, uint32_t keyOffset, uint32_t keyLength,
                     uint32_t bucketCount);
    // Reads the current record into the record object's data. -6 when there
    // is no current record (-1).
    int GetCurrentRecord(DatabaseRecord& record);
    // Writes the file name.hNN (NN the number, 0 to 99) anew: the 24-byte
    // attachment header and the data. 0 without writing when data is null.
    int WriteAttachment(uint32_t number, const void* data, uint32_t length, uint32_t value);
    int ExportDatabase(const char* path);
    int ImportRecords(const char* path);
    // The record count, or a negative code.
    int GetRecordCount();
    int GetDatabaseInfo(DatabaseInfo& info);
    // The .db step of OpenDatabase; a raw DBError. A path of 512 characters
    // or more: 2.
    DBError DBOpen(const char* path, uint32_t recordVersion);

    // The stored name (null before the first open or create).
    const char* Name() const { return m_pName.get(); }

private:
    bool StoreName(const char* name);
    // name + extension into path; false when the name is missing or too long.
    bool MakePath(char* path, const char* extension) const;
    struct IndexCreation {
        uint32_t keyType;
        uint32_t keyLength;
        uint32_t bucketCount;
        bool unsealed;  // keys follow, and the batch that inserts them seals it
    };
    // Attaches the shared index of the path, or a new one opened (creation
    // null) or created; a shared one found at creation gives 10.
    IndexCode AttachIndex(const char* path, const IndexCreation* creation);
    DBError AttachNewDatabase(const char* path, FieldTable& table);

    CDatabaseImp* m_pImp;
    CDatabaseIndex* m_pIndex;
    std::unique_ptr<char[]> m_pName;
};

#endif
