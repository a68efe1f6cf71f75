// kitdb export, import, rebuild-index and upgrade.
#include <cstdio>

#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"
#include "tools/kitdb/IndexScan.h"
#include "tools/kitdb/KitDb.h"
#include "tools/kitdb/Stores.h"
#include "tools/kitdb/Tool.h"

namespace {

int Count(CDatabase& database) {
    int count = database.GetRecordCount();
    return count < 0 ? 0 : count;
}

// A store's files are not changed under an interrupted carry-over: the
// engine's recovery (kitdb repair, or the store's next open) comes first.
bool RefuseInterrupted(const std::string& name) {
    if (!CarryOverFiles::Of(name).Interrupted()) return false;
    FailWith(name + ": a carry-over of this store was interrupted; kitdb repair " + name +
             " finishes it first (nothing changed)");
    return true;
}

// Makes the index anew as PlanIndex says for the data file of name.
int MakeIndex(CDatabase& database, const std::string& name, IndexPlan& plan) {
    std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
    if (!imp) return EncodeDBError(DB_OPEN_FAILED);
    plan = PlanIndex(imp->Fields(), ScanIndex(name + ".idx", *imp, KeyOffsetOf(imp->Fields())));
    imp.reset();
    if (!plan.possible) return EncodeIndexCode(INDEX_BAD_PARAMETER);
    return database.RebuildIndex(kFieldText, plan.keyOffset, plan.keyLength, plan.buckets);
}

// Counts the records of an export by how they are written.
class ExportCount : public RecordVisitor {
public:
    bool Visit(uint32_t number, DBError code, const unsigned char*) override {
        if (code == DB_OK) {
            ++records;
            return true;
        }
        comments += (comments.empty() ? "" : ", ") + std::string("record ") +
                    std::to_string(number) +
                    (code == DB_RECORD_REMOVED ? " (removed)" : " (bad record magic)");
        return true;
    }
    uint32_t records = 0;
    std::string comments;
};

}  // namespace

int Export(const std::string& name, const std::string& file) {
    std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
    if (!imp) return kExitFailed;
    DBError error = imp->ExportDatabase(file.c_str());
    if (error != DB_OK) return Fail(file, EncodeDBError(error), true);
    ExportCount count;
    uint32_t places = 0;
    imp->GetRecordCount(&places);
    imp->ReadRecords(0, places, imp->Fields().RecordSize(), count);
    std::printf("%s: %u records written to %s\n", name.c_str(), count.records, file.c_str());
    if (!count.comments.empty())
        std::printf("%s: only as comments, not as records: %s\n", name.c_str(),
                    count.comments.c_str());
    return kExitOk;
}

int Import(const std::string& name, const std::string& file) {
    if (RefuseInterrupted(name)) return kExitFailed;
    CDatabase database;
    int result = OpenForWriting(database, name);
    if (result != 0) return Fail(name + ".db", result);
    int before = Count(database);
    result = database.ImportRecords(file.c_str());
    int added = Count(database) - before;
    if (result != 0) {
        std::fprintf(stderr, "kitdb: %s: %d records added before the import stopped\n",
                     name.c_str(), added);
        return Fail(file, result, true);
    }
    std::printf("%s: %d records added from %s\n", name.c_str(), added, file.c_str());
    // The engine appends the records without indexing them.
    IndexPlan plan;
    result = MakeIndex(database, name, plan);
    if (result != 0) return Fail(name + ".idx", result);
    std::printf("%s.idx: made anew, %s\n", name.c_str(), plan.how.c_str());
    return kExitOk;
}

int RebuildIndex(const std::string& name) {
    if (RefuseInterrupted(name)) return kExitFailed;
    CDatabase database;
    int result = OpenForWriting(database, name);
    if (result != 0) return Fail(name + ".db", result);
    IndexPlan plan;
    result = MakeIndex(database, name, plan);
    if (result != 0) {
        if (!plan.how.empty() && !plan.possible) return FailWith(name + ".db: " + plan.how);
        return Fail(name + ".idx", result);
    }
    std::printf("%s.idx: made anew, %s; %d records\n", name.c_str(), plan.how.c_str(),
                Count(database));
    return kExitOk;
}

int Upgrade(const std::string& name, const std::string& storeName) {
    const Store* store = StoreNamed(storeName);
    if (!store) return FailWith("upgrade takes profile or location, not \"" + storeName + "\"");
    if (DatabaseFileExists((name + ".db").c_str())) {
        std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
        if (!imp) return kExitFailed;
        // The carry-over keeps only the fields both layouts name: a store
        // taken for the other would lose nearly everything.
        const Store* family = StoreFamilyOf(imp->Fields());
        if (family && family != store)
            return FailWith(name + ".db: has the " + family->name + " store's layout, not the " +
                            store->name + " store's; nothing changed");
    }
    return OpenAsStore(name, *store);
}
