// CDatabaseImp: one open .db file. Several CDatabase objects naming the same
// file share one CDatabaseImp (OpenDatabaseTable); it is closed when the last
// of them lets it go.
//
// Every operation returns a DBError and, except CloseDatabase, holds the
// database lock for its whole duration. The header image is refreshed from
// the file before header values are used and written back after a change;
// records are never cached: every read and append goes to the file. Record
// places are found from the layout validated at open (or creation), so a
// header changed behind the engine's back cannot move reads out of the file.
#ifndef WIN95_DATABASE_CDATABASEIMP_H
#define WIN95_DATABASE_CDATABASEIMP_H

#include <cstdint>
#include <memory>

#include "database/CDatabaseFile.h"
#include "database/DBError.h"
#include "database/DatabaseFormat.h"
#include "database/DatabaseInfo.h"
#include "database/FieldTable.h"

// Receives the records of CDatabaseImp::ReadRecords one by one: the record
// number, the record's code (0, 4 bad magic or 7 removed) and, unless the
// code is 4, the record data. Returning false stops the run.
class RecordVisitor {
public:
    virtual bool Visit(uint32_t number, DBError code, const unsigned char* data) = 0;

protected:
    ~RecordVisitor() = default;
};

class CDatabaseImp {
public:
    // Null when memory is short.
    static std::unique_ptr<CDatabaseImp> New();
    ~CDatabaseImp();  // closes the file, unregisters from the lock
    CDatabaseImp(const CDatabaseImp&) = delete;
    CDatabaseImp& operator=(const CDatabaseImp&) = delete;

    // Opens an existing .db file read-write and validates it: 16 (not a
    // database: wrong magic or an impossible header), 13 (database version),
    // 14 (record version differs from a non-zero recordVersion), 2 (cannot be
    // opened), 18 (the open count cannot be written back).
    DBError OpenDatabase(const char* path, uint32_t recordVersion);
    // OpenDatabase for reading only: the same checks, but the file is opened
    // read-only and its open count neither raised nor lowered, so that the
    // file keeps every byte and its time stamp. Every operation that would
    // write (appends, the current record, the header, an import) then
    // returns 18 and leaves the file as it is.
    DBError OpenReadOnly(const char* path, uint32_t recordVersion);
    // Creates (or empties) the file for the table's layout and leaves it open
    // with open count 1. Clears the flags of the caller's descriptors and
    // shares its descriptor buffer. 3 when the file cannot be created or the
    // table has no possible layout, 18 when a write fails.
    DBError CreateDatabase(const char* path, FieldTable& table);
    // Lowers the open count in the file and closes it. 18 when the header
    // cannot be written back (the file is closed all the same).
    DBError CloseDatabase();

    // ReadRecords of one record into the buffer: 17 not open, 5 number not
    // below the count, 6 size is not the record size (or no buffer), 4 bad
    // record magic (the buffer is left as it is), 7 removed (the data is
    // delivered).
    DBError ReadRecord(uint32_t number, void* buffer, uint32_t size);
    // Reads count records from first on, in order and in large reads, each
    // checked and logged as ReadRecord does, and hands each to the visitor
    // with its code. Stops at a number not below the count (5), a size that
    // is not the record size (6), a database not open (17), when memory is
    // short (1) and when the visitor says so (0).
    DBError ReadRecords(uint32_t first, uint32_t count, uint32_t size, RecordVisitor& visitor);

    // AddRecords of one record: 17, 6, or 18 when it cannot be written whole
    // (nothing of it is left in the file then); *number gets its number.
    DBError AddRecord(uint32_t* number, const void* buffer, uint32_t size);
    // Appends count records of size bytes, given one after another, after
    // the last complete record, in large writes; *first gets the first one's
    // number and *added (when given) how many are on file. Each record is
    // logged as AddRecord logs it, its success line once it is on file. 17,
    // 6, 1 (no memory), or 18 when a write fails or comes short: what that
    // write put in the file is cut off again, the records before it stay.
    DBError AddRecords(uint32_t* first, const void* records, uint32_t size, uint32_t count,
                       uint32_t* added = nullptr);

    // Makes number (-1 for none, or a record on file) the current record and
    // writes the header: 17, 5 (no such record), 18.
    DBError SetCurrentRecord(int32_t number);

    DBError GetCurrentRecordNumber(int32_t* number);
    DBError GetRecordCount(uint32_t* count);
    DBError GetDatabaseInfo(DatabaseInfo* info);

    // The text form (DatabaseExport.cpp, DatabaseImport.cpp).
    DBError ExportDatabase(const char* path);
    DBError ImportRecords(const char* path);

    // The 44-byte header at offset 0 into the image, and back. Once open, a
    // header whose layout (magic, record size, number of fields, private
    // size) no longer matches the open file's is refused with 16.
    DBError ReadHeader();
    DBError WriteHeader();

    bool IsOpen() const { return m_bOpen != 0; }
    bool IsReadOnly() const { return m_bReadOnly; }
    const DatabaseHeader& Header() const { return m_Header; }
    const FieldTable& Fields() const { return m_Fields; }
    // Where the records lie, by the layout checked at open.
    const RecordLayout& Layout() const { return m_Layout; }

private:
    friend class TextImporter;

    explicit CDatabaseImp(std::unique_ptr<CDatabaseFile> file);
    DBError Open(const char* path, uint32_t recordVersion, bool readOnly);
    void SetCreationHeader(const FieldTable& table);
    DBError ValidateHeader(const DatabaseHeader& header, uint32_t recordVersion);
    DBError LoadFieldTable(const DatabaseHeader& header);
    DBError NotADatabase() const;
    // Whether header describes the records the way the open layout does.
    bool SameLayout(const DatabaseHeader& header) const;
    uint32_t CountFromFileSize();
    DBError CheckRecordMagic(const RecordHeader& header) const;
    // Room for one record place, so that a record and its header move in
    // one transfer.
    bool MakePlaceBuffer();
    // Record places that one large transfer of a run of count records moves
    // (at least one), and a buffer for them: the place buffer for one.
    uint32_t PlacesPerTransfer(uint32_t count) const;
    unsigned char* TransferBuffer(uint32_t places, CBuffer& buffer);
    void LogBadBufferSize(const char* operation, uint32_t size) const;

    DatabaseHeader m_Header;
    FieldTable m_Fields;
    std::unique_ptr<CDatabaseFile> m_pFile;
    int m_bOpen = 0;
    bool m_bReadOnly = false;
    RecordLayout m_Layout;
    CBuffer m_Place;
};

#endif
