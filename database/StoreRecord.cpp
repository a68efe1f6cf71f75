#include "database/StoreRecord.h"

#include <cstdio>

#include "database/DatabaseLog.h"

namespace {

constexpr int kWrongRecordVersion = EncodeDBError(DB_WRONG_RECORD_VERSION);

// Export, re-creation, import and index of the carry-over. 0 when the
// database was made anew in the current layout with the old records.
int CarryOver(CDatabase& database, const StoreLayout& layout, const char* name) {
    g_DbLog(kLogProgress) << layout.exportingMessage;
    int result = database.CDatabase::OpenDatabase(name, 0);
    if (result != 0) return result;
    result = database.ExportDatabase(kStoreExportFile);
    database.CloseDatabase();
    if (result != 0) {
        // Without a complete text the old records would be lost: the old
        // files stay as they are.
        database.ReleaseIndex();
        return result;
    }
    result = RecreateStoreDatabase(database, layout, name, kStoreBuckets);
    if (result != 0) return result;
    g_DbLog(kLogProgress) << layout.importingMessage;
    result = database.ImportRecords(kStoreExportFile);
    if (result == 0)
        result = database.CDatabase::RebuildIndex(kFieldText, kStoreKeyOffset,
                                                  layout.rebuildKeyLength, kStoreBuckets);
    database.CloseDatabase();
    return result;
}

}  // namespace

bool AddStoreFields(FieldTable& table, const StoreField* fields, size_t count, int number) {
    for (size_t i = 0; i < count; ++i) {
        char name[sizeof(FieldDescriptor::name)];
        char comment[sizeof(FieldDescriptor::comment)];
        std::snprintf(name, sizeof name, fields[i].name, number);
        std::snprintf(comment, sizeof comment, fields[i].comment, number);
        if (table.AddField(name, comment, fields[i].type, fields[i].length, fields[i].offset) < 0)
            return false;
    }
    return true;
}

int OpenStoreDatabase(CDatabase& database, const StoreLayout& layout, const char* name,
                      uint32_t recordVersion) {
    int result = database.CDatabase::OpenDatabase(name, recordVersion);
    if (result != kWrongRecordVersion) return result;
    // One carry-over: after it the file has the current layout, so a second
    // refusal (another holder of the file asked for another version) is
    // returned as it is.
    result = CarryOver(database, layout, name);
    if (result != 0) return result;
    return database.CDatabase::OpenDatabase(name, recordVersion);
}

int RecreateStoreDatabase(CDatabase& database, const StoreLayout& layout, const char* name,
                          uint32_t bucketCount) {
    FieldTable table;
    if (!layout.buildTable(table)) return kStoreTableFailed;
    return database.CreateDatabase(name, table, kFieldText, layout.createKeyLength, bucketCount);
}
