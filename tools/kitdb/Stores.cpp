#include "tools/kitdb/Stores.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#endif

#include "database/CDatabaseFile.h"
#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"
#include "tools/kitdb/Tool.h"

namespace {

const Store kStores[] = {{"profile", &kProfileStoreLayout}, {"location", &kLocationStoreLayout}};

bool SameTable(const FieldTable& a, const FieldTable& b) {
    return a.Count() == b.Count() && a.RecordSize() == b.RecordSize() &&
           a.RecordVersion() == b.RecordVersion() &&
           std::memcmp(a.Bytes(), b.Bytes(), a.Count() * sizeof(FieldDescriptor)) == 0;
}

// The directory part of a path (with its separator) and the rest.
size_t DirectoryLength(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

// The names of the files in the directory of prefix that start with the
// rest of prefix.
std::vector<std::string> FilesStartingWith(const std::string& prefix) {
    const size_t dirLength = DirectoryLength(prefix);
    const std::string dir = prefix.substr(0, dirLength);
    const std::string start = prefix.substr(dirLength);
    std::vector<std::string> names;
#ifdef _WIN32
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
#else
    DIR* listing = opendir(dir.empty() ? "." : dir.c_str());
    if (!listing) return names;
    while (dirent* entry = readdir(listing))
        if (std::strncmp(entry->d_name, start.c_str(), start.size()) == 0)
            names.push_back(entry->d_name);
    closedir(listing);
#endif
    for (std::string& name : names) name = dir + name;
    return names;
}

// Records of a data file that are not marked removed (readable or not),
// -1 when it cannot be opened; its record version into *version.
int64_t LiveRecords(const std::string& path, uint32_t* version) {
    struct Counter : RecordVisitor {
        bool Visit(uint32_t, DBError code, const unsigned char*) override {
            if (code != DB_RECORD_REMOVED) ++live;
            return true;
        }
        int64_t live = 0;
    } counter;
    std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
    if (!imp || imp->OpenReadOnly(path.c_str(), 0) != DB_OK) return -1;
    uint32_t count = 0;
    imp->GetRecordCount(&count);
    if (version) *version = imp->Fields().RecordVersion();
    imp->ReadRecords(0, count, imp->Fields().RecordSize(), counter);
    return counter.live;
}

}  // namespace

const Store* StoreNamed(const std::string& name) {
    for (const Store& store : kStores)
        if (name == store.name) return &store;
    return nullptr;
}

const Store* StoreOf(const FieldTable& fields) {
    for (const Store& store : kStores) {
        FieldTable table;
        if (fields.RecordVersion() == store.layout->recordVersion &&
            store.layout->buildTable(table) && SameTable(fields, table))
            return &store;
    }
    return nullptr;
}

const Store* StoreFamilyOf(const FieldTable& fields) {
    if (const Store* store = StoreOf(fields)) return store;
    if (fields.FindField("LocalNumber") >= 0) return StoreNamed("location");
    if (fields.FindField("LoginName") >= 0) return StoreNamed("profile");
    return nullptr;
}

IndexPlan PlanIndex(const FieldTable& fields, const IndexScan& old) {
    IndexPlan plan;
    if (const Store* store = StoreOf(fields)) {
        plan.possible = true;
        plan.keyOffset = kStoreKeyOffset;
        plan.keyLength = store->layout->rebuildKeyLength;
        plan.buckets = kStoreBuckets;
        plan.how = std::string("the ") + store->name + " store's index";
    } else {
        int64_t keyOffset = KeyOffsetOf(fields);
        if (keyOffset < 0) {
            plan.how = "no Description text field to index";
            return plan;
        }
        plan.possible = true;
        plan.keyOffset = static_cast<uint32_t>(keyOffset);
        plan.buckets = old.readable ? old.header.bucketCount : kStoreBuckets;
        plan.keyLength =
            old.readable
                ? old.header.keyLength
                : static_cast<uint32_t>(fields.GetFieldLength(fields.FindField("Description")));
        plan.how = "an index on Description";
    }
    plan.how += ", " + std::to_string(plan.buckets) + " buckets, key length " +
                std::to_string(plan.keyLength);
    return plan;
}

int OpenForWriting(CDatabase& database, const std::string& name) {
    int result = database.OpenDatabase(name.c_str(), 0);
    if (result > -256 && result != -65536) return result;
    return EncodeDBError(database.DBOpen((name + ".db").c_str(), 0));
}

CarryOverFiles CarryOverFiles::Of(const std::string& name) {
    CarryOverFiles files;
    const std::string fresh = name + kStoreNewSuffix;
    struct {
        std::string* path;
        bool* there;
        std::string value;
    } entries[] = {{&files.db, &files.hasDb, name + ".db"},
                   {&files.idx, &files.hasIdx, name + ".idx"},
                   {&files.h00, &files.hasH00, name + ".h00"},
                   {&files.newDb, &files.hasNewDb, fresh + ".db"},
                   {&files.newIdx, &files.hasNewIdx, fresh + ".idx"},
                   {&files.newH00, &files.hasNewH00, fresh + ".h00"},
                   {&files.old, &files.hasOld, name + kStoreOldFile}};
    for (auto& entry : entries) {
        *entry.path = entry.value;
        *entry.there = DatabaseFileExists(entry.value.c_str());
    }
    // name.vNN.db, NN decimal digits.
    const std::string prefix = name + ".v";
    for (const std::string& path : FilesStartingWith(prefix)) {
        std::string rest = path.substr(prefix.size());
        size_t digits = rest.find_first_not_of("0123456789");
        if (digits != 0 && digits != std::string::npos && rest.substr(digits) == ".db")
            files.kept.push_back(path);
    }
    return files;
}

std::vector<std::string> CarryOverFiles::Present() const {
    std::vector<std::string> paths;
    const std::pair<const std::string*, bool> all[] = {
        {&db, hasDb},         {&idx, hasIdx},       {&h00, hasH00}, {&newDb, hasNewDb},
        {&newIdx, hasNewIdx}, {&newH00, hasNewH00}, {&old, hasOld}};
    for (const auto& [path, there] : all)
        if (there) paths.push_back(*path);
    return paths;
}

int OpenAsStore(const std::string& name, const Store& store) {
    const CarryOverFiles files = CarryOverFiles::Of(name);
    const uint32_t version = store.layout->recordVersion;
    // The old data: N.old.db after a carry-over's commit, else N.db.
    const std::string& oldPath = files.hasOld ? files.old : files.db;
    uint32_t before = 0;
    const int64_t live = LiveRecords(oldPath, &before);
    const bool carried = live >= 0 && before != version;
    // A carry-over writes its text in the current directory; the engine's
    // recovery writes none. The old data file comes back as N.db (and is
    // carried over) only when N.db and N.new.db are both gone.
    const bool writesText = carried && (!files.hasOld || (!files.hasDb && !files.hasNewDb));
    if (writesText && DatabaseFileExists(kStoreExportFile))
        return FailWith(std::string(kStoreExportFile) +
                        ": is in the current directory already, and carrying " + name +
                        " over would write it anew; move it away or run kitdb in another "
                        "directory (nothing changed)");
    CDatabase database;
    int result = OpenStoreDatabase(database, *store.layout, name.c_str(), version);
    int count = database.GetRecordCount();
    database.CloseDatabase();
    database.ReleaseIndex();
    if (result != 0) return Fail(result <= -256 ? name + ".idx" : name + ".db", result);
    const std::string how = writesText ? "the text is in " + std::string(kStoreExportFile)
                                       : "an interrupted carry-over finished";
    if (carried)
        std::printf("%s: carried over from record version %u to %u; %d records (%s)\n",
                    name.c_str(), before, version, count, how.c_str());
    else if (files.Interrupted())
        std::printf(
            "%s: the interrupted carry-over is %s; the %s store's record version %u, %d "
            "records\n",
            name.c_str(), files.hasOld ? "finished" : "undone", store.name, version, count);
    else
        std::printf("%s: already the %s store's record version %u; %d records\n", name.c_str(),
                    store.name, version, count);
    const CarryOverFiles after = CarryOverFiles::Of(name);
    if (carried && count < live)
        std::printf("%s: %lld records of the old layout were not carried over\n", name.c_str(),
                    static_cast<long long>(live - count));
    for (const std::string& kept : after.kept)
        std::printf(
            "%s: the old data file of a carry-over that could not take every record over; "
            "kitdb salvage %s OUT saves what can be read\n",
            kept.c_str(), kept.substr(0, kept.size() - 3).c_str());
    return (carried && count < live) || !after.kept.empty() ? kExitDamaged : kExitOk;
}
