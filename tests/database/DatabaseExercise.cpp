#include "tests/database/DatabaseExercise.h"

#include <fstream>
#include <vector>

#include "database/CDatabase.h"
#include "database/CDatabaseImp.h"
#include "database/CDatabaseIndex.h"

namespace {

class BlockRecord : public DatabaseRecord {
public:
    explicit BlockRecord(uint32_t size) : m_bytes(size) {}
    unsigned char* GetRecordData() override { return m_bytes.data(); }
    uint32_t GetDataSize() override { return static_cast<uint32_t>(m_bytes.size()); }

private:
    std::vector<unsigned char> m_bytes;
};

void ReadAndCopy(const std::string& name, size_t fileSize, ExerciseReport& report) {
    std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
    report.Result("open .db", imp->OpenDatabase((name + ".db").c_str(), 0),
                  true);  // any DBError
    uint32_t count = 0;
    if (imp->GetRecordCount(&count) == DB_OK) {
        report.Result("count within the file", count, count <= fileSize / 13);
        std::vector<unsigned char> buffer(imp->Fields().RecordSize());
        for (uint32_t n = 0; n <= count; ++n) {
            DBError read = imp->ReadRecord(n, buffer.data(), static_cast<uint32_t>(buffer.size()));
            report.Result("read record", read, IsDBError(read));
        }
    }
    int32_t current = 0;
    DBError error = imp->GetCurrentRecordNumber(&current);
    report.Result("current record", error, IsDBError(error));
    DatabaseInfo info;
    error = imp->GetDatabaseInfo(&info);
    report.Result("info", error, IsDBError(error));

    const std::string text = name + ".txt";
    DBError exported = imp->ExportDatabase(text.c_str());
    report.Result("export", exported, exported == DB_OK || exported == DB_NOT_OPEN);
    if (exported != DB_OK) return;
    std::unique_ptr<CDatabaseImp> copy = CDatabaseImp::New();
    FieldTable layout = imp->Fields();
    layout.SetPrivateSize(0);  // created databases have none
    DBError created = copy->CreateDatabase((name + "-copy.db").c_str(), layout);
    report.Result("create a copy", created, created == DB_OK);
    DBError imported = copy->ImportRecords(text.c_str());
    report.Result("import", imported, imported == DB_OK || imported == DB_TEXT_ENDS_EARLY);

    std::vector<unsigned char> record(imp->Fields().RecordSize());
    uint32_t number = 0;
    DBError added = imp->AddRecord(&number, record.data(), static_cast<uint32_t>(record.size()));
    report.Result("append", added, IsDBError(added));
}

void InsertKeys(const std::string& path, ExerciseReport& report) {
    std::unique_ptr<CDatabaseIndex> index = CDatabaseIndex::New();
    IndexCode opened = index->OpenIndex(path.c_str());
    report.Result(
        "open .idx", opened,
        opened == INDEX_OK || opened == INDEX_BAD_HEADER || opened == INDEX_WRONG_VERSION);
    for (const char* key : {"alpha", "", "a key longer than most key lengths are"}) {
        IndexCode code = index->InsertKey(key, 9);
        report.Result("insert key", code,
                      code == INDEX_OK || code == INDEX_BAD_PARAMETER || code == INDEX_NOT_OPEN);
    }
}

}  // namespace

bool IsDBError(long code) {
    return (code >= DB_OK && code <= DB_RECORD_REMOVED) ||
           (code >= DB_WRONG_DB_VERSION && code <= DB_WRITE_FAILED);
}

bool IsDatabaseResult(long result) {
    if (result == 0 || result == -65536) return true;
    if (result <= -256) return result >= -(INDEX_WRITE_FAILED + 256);
    return result < 0 && IsDBError(-result - 1);
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ExerciseDatabaseFiles(const std::string& name, const std::string& db, const std::string& idx,
                           ExerciseReport& report) {
    WriteWholeFile(name + ".db", db);
    WriteWholeFile(name + ".idx", idx);
    InsertKeys(name + ".idx", report);
    WriteWholeFile(name + ".idx", idx);
    ReadAndCopy(name, db.size(), report);

    CDatabase database;
    int opened = database.OpenDatabase(name.c_str(), 0);
    report.Result("open", opened, IsDatabaseResult(opened));
    DatabaseInfo info{};
    int result = database.GetDatabaseInfo(info);
    report.Result("database info", result, IsDatabaseResult(result));
    BlockRecord record(info.recordSize);
    result = database.GetCurrentRecord(record);
    report.Result("current record", result, IsDatabaseResult(result));
    int rebuilt = database.RebuildIndex(kFieldText, 4, 12, 3);
    report.Result("rebuild index", rebuilt, opened == 0 ? rebuilt == 0 : IsDatabaseResult(rebuilt));
}
