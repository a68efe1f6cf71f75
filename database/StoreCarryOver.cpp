#include "database/StoreCarryOver.h"

#include <cstdio>

#include "database/CDatabaseFile.h"
#include "database/CDatabaseImp.h"
#include "database/DatabaseLog.h"
#include "database/OpenTables.h"

namespace {

constexpr int kWrongRecordVersion = EncodeDBError(DB_WRONG_RECORD_VERSION);
constexpr int kFileChangeFailed = EncodeDBError(DB_WRITE_FAILED);
const char kStoreOpen[] = "OpenDatabase:";

// The files of a store and of its carry-over.
struct StoreFiles {
    char db[kPathSize];
    char idx[kPathSize];
    char attachment[kPathSize];
    char newName[kPathSize];  // the database in the new layout
    char newDb[kPathSize];
    char newIdx[kPathSize];
    char newAttachment[kPathSize];
    char old[kPathSize];  // the old data file once the new one is complete
    const char* name;

    // False when a path would not fit.
    bool Make(const char* storeName) {
        name = storeName;
        return Path(db, name, ".db") && Path(idx, name, ".idx") && Path(attachment, name, ".h00") &&
               Path(newName, name, kStoreNewSuffix) && Path(newDb, newName, ".db") &&
               Path(newIdx, newName, ".idx") && Path(newAttachment, newName, ".h00") &&
               Path(old, name, kStoreOldFile);
    }

private:
    static bool Path(char (&path)[kPathSize], const char* base, const char* extension) {
        int length = std::snprintf(path, kPathSize, "%s%s", base, extension);
        return length > 0 && static_cast<size_t>(length) < kPathSize;
    }
};

// Counts the records of a data file by their code.
class RecordCounter : public RecordVisitor {
public:
    bool Visit(uint32_t, DBError code, const unsigned char*) override {
        if (code == DB_OK) ++readable;
        if (code == DB_BAD_RECORD_MAGIC) ++unreadable;
        return true;
    }
    uint32_t readable = 0;
    uint32_t unreadable = 0;
};

// The number of records of a data file, or -1 when it cannot be opened.
int64_t RecordsOf(const char* path, RecordCounter* counter, uint32_t* recordVersion) {
    std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
    if (!imp || imp->OpenDatabase(path, 0) != DB_OK) return -1;
    uint32_t count = 0;
    imp->GetRecordCount(&count);
    if (recordVersion) *recordVersion = imp->Fields().RecordVersion();
    if (counter && imp->ReadRecords(0, count, imp->Fields().RecordSize(), *counter) != DB_OK)
        return -1;
    return count;
}

// The old data file after a complete carry-over: removed when every record
// of it is in the new one, else kept under the name of its record version
// and reported.
int DisposeOfOld(const StoreFiles& files) {
    RecordCounter old;
    uint32_t version = 0;
    int64_t oldCount = RecordsOf(files.old, &old, &version);
    int64_t newCount = RecordsOf(files.db, nullptr, nullptr);
    if (oldCount >= 0 && old.unreadable == 0 && newCount == int64_t{old.readable})
        return RemoveDatabaseFile(files.old) ? 0 : kFileChangeFailed;
    char kept[kPathSize + 16];
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, kStoreKeptFile, version);
    std::snprintf(kept, sizeof kept, "%s%s", files.name, suffix);
    uint64_t lost = old.unreadable;
    if (newCount >= 0 && newCount < int64_t{old.readable})
        lost += old.readable - static_cast<uint64_t>(newCount);
    g_DbLog(kLogFailure) << kStoreOpen << LogNumber(static_cast<uint32_t>(lost)) << " records of "
                         << files.db << " could not be carried over; the old file is kept as "
                         << kept << "\n";
    return RemoveIfPresent(kept) && RenameDatabaseFile(files.old, kept) ? 0 : kFileChangeFailed;
}

// The new database's files removed: what a carry-over left that did not
// reach its commit.
bool RemoveNewFiles(const StoreFiles& files) {
    bool db = RemoveIfPresent(files.newDb);
    bool idx = RemoveIfPresent(files.newIdx);
    bool attachment = RemoveIfPresent(files.newAttachment);
    return db && idx && attachment;
}

// Gives the file at from the name to, replacing a file there.
bool Replace(const char* from, const char* to) {
    return RemoveIfPresent(to) && RenameDatabaseFile(from, to);
}

// The carry-over after its commit (the old data file renamed): each new file
// takes its place, then the old data file goes. Every step is made only when
// its file is still there, so that the next open can repeat this after a
// crash at any point.
int FinishCommitted(const StoreFiles& files) {
    if (!DatabaseFileExists(files.db)) {
        // Without a new data file there is nothing to finish: the old one
        // comes back, and the carry-over starts again.
        if (!DatabaseFileExists(files.newDb))
            return RenameDatabaseFile(files.old, files.db) ? 0 : kFileChangeFailed;
        if (!RenameDatabaseFile(files.newDb, files.db)) return kFileChangeFailed;
    }
    if (DatabaseFileExists(files.newIdx) && !Replace(files.newIdx, files.idx))
        return kFileChangeFailed;
    if (DatabaseFileExists(files.newAttachment) && !Replace(files.newAttachment, files.attachment))
        return kFileChangeFailed;
    return DisposeOfOld(files);
}

int Recover(const StoreFiles& files) {
    if (DatabaseFileExists(files.old)) return FinishCommitted(files);
    return RemoveNewFiles(files) ? 0 : kFileChangeFailed;
}

// Export, the new layout under the new name, import and index, then the
// commit. 0 when the store's name holds the new layout with the records.
int CarryOver(CDatabase& database, const StoreLayout& layout, const StoreFiles& files) {
    g_DbLog(kLogProgress) << layout.exportingMessage;
    // The old records as text; the old index is not needed for that.
    int result = EncodeDBError(database.DBOpen(files.db, 0));
    if (result == 0) result = database.ExportDatabase(kStoreExportFile);
    database.CloseDatabase();
    database.ReleaseIndex();
    if (result != 0) return result;

    result = RecreateStoreDatabase(database, layout, files.newName, kStoreBuckets);
    if (result == 0) {
        g_DbLog(kLogProgress) << layout.importingMessage;
        result = database.ImportRecords(kStoreExportFile);
    }
    if (result == 0)
        result = database.CDatabase::RebuildIndex(kFieldText, kStoreKeyOffset,
                                                  layout.rebuildKeyLength, kStoreBuckets);
    database.CloseDatabase();
    database.ReleaseIndex();
    if (result != 0) {
        RemoveNewFiles(files);
        return result;
    }
    // The commit: from here on the new files are the store's.
    if (!RenameDatabaseFile(files.db, files.old)) {
        RemoveNewFiles(files);
        return kFileChangeFailed;
    }
    return FinishCommitted(files);
}

bool IndexUnusable(int result) {
    return result == EncodeIndexCode(INDEX_OPEN_FAILED) ||
           result == EncodeIndexCode(INDEX_WRONG_VERSION) ||
           result == EncodeIndexCode(INDEX_BAD_HEADER) ||
           result == EncodeIndexCode(INDEX_WRITE_FAILED);
}

// CDatabase::OpenDatabase; an index that cannot be opened is made anew from
// the records.
int OpenWithIndex(CDatabase& database, const StoreLayout& layout, const StoreFiles& files,
                  uint32_t recordVersion) {
    int result = database.CDatabase::OpenDatabase(files.name, recordVersion);
    if (!IndexUnusable(result)) return result;
    g_DbLog(kLogFailure) << kStoreOpen << files.idx << " cannot be opened (index code "
                         << LogNumber(static_cast<uint32_t>(-result - 256))
                         << "), made anew from the records\n";
    result = EncodeDBError(database.DBOpen(files.db, recordVersion));
    if (result == 0)
        result = database.CDatabase::RebuildIndex(kFieldText, kStoreKeyOffset,
                                                  layout.rebuildKeyLength, kStoreBuckets);
    if (result != 0) {
        database.CloseDatabase();
        database.ReleaseIndex();
    }
    return result;
}

}  // namespace

int RecoverStoreFiles(const char* name) {
    StoreFiles files;
    return name && files.Make(name) ? Recover(files) : 0;
}

int OpenStoreDatabase(CDatabase& database, const StoreLayout& layout, const char* name,
                      uint32_t recordVersion) {
    StoreFiles files;
    if (!name || !files.Make(name)) return database.CDatabase::OpenDatabase(name, recordVersion);
    int result = Recover(files);
    if (result != 0) return result;
    result = OpenWithIndex(database, layout, files, recordVersion);
    if (result != kWrongRecordVersion) return result;
    // Another holder of the file in this process asked for another version:
    // its file is not carried over under it.
    database.CloseDatabase();
    database.ReleaseIndex();
    if (TheOpenDatabaseTable().References(files.db) != 0) return result;
    // One carry-over: after it the file has the current layout.
    result = CarryOver(database, layout, files);
    if (result != 0) return result;
    return OpenWithIndex(database, layout, files, recordVersion);
}

int RecreateStoreDatabase(CDatabase& database, const StoreLayout& layout, const char* name,
                          uint32_t bucketCount) {
    FieldTable table;
    if (!layout.buildTable(table)) return kStoreTableFailed;
    return database.CreateDatabase(name, table, kFieldText, layout.createKeyLength, bucketCount);
}
