// The open of a store: its database opened in the store's record layout,
// with the carry-over of a database of an older layout into the current one
// and the recovery of a carry-over that a crash or a failure interrupted
// (FORMAT.md, "Carrying a store over"), and the index made anew when it
// cannot be opened.
#ifndef WIN95_DATABASE_STORECARRYOVER_H
#define WIN95_DATABASE_STORECARRYOVER_H

#include <cstdint>

#include "database/CDatabase.h"
#include "database/FieldTable.h"

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
// Made from the store's name: the database in the new layout while it is
// built (name.new.db, .idx, .h00), the old data file once the new one is
// complete (name.old.db), and the old data file kept after a carry-over that
// could not take every record over (name.vNN.db, NN its record version).
constexpr char kStoreNewSuffix[] = ".new";
constexpr char kStoreOldFile[] = ".old.db";
constexpr char kStoreKeptFile[] = ".v%u.db";

// Opens the store's database. A carry-over that was interrupted is first
// finished or undone; a database whose records have another version is
// carried over into the store's layout and opened again; an index that
// cannot be opened (missing, damaged, or unsealed by an interrupted write) is
// made anew from the records, which is logged. Returns 0 or the CDatabase
// code of the step that failed; -19 when a file could not be renamed or
// removed. The old files stay the store's until the new ones are complete.
int OpenStoreDatabase(CDatabase& database, const StoreLayout& layout, const char* name,
                      uint32_t recordVersion);
// Finishes a carry-over of the store name whose new files were complete, or
// removes what an unfinished one left: 0, or -19.
int RecoverStoreFiles(const char* name);
// Creates the database anew with the store's table: -13 when the table
// cannot be built.
int RecreateStoreDatabase(CDatabase& database, const StoreLayout& layout, const char* name,
                          uint32_t bucketCount);
constexpr int kStoreTableFailed = -13;

#endif
