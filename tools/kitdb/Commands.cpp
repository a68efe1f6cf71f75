// kitdb export, import, rebuild-index and upgrade, and the words for the
// engine's codes.
#include <cstdio>

#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"
#include "tools/kitdb/IndexScan.h"
#include "tools/kitdb/KitDb.h"

namespace {

struct CodeText {
    int code;
    const char* text;
};

const CodeText kReasons[] = {
    {-2, "out of memory"},
    {-3, "cannot be opened (missing, or not readable and writable)"},
    {-4, "cannot be created"},
    {-5, "a record has a bad record magic"},
    {-6, "no such record"},
    {-7, "the buffer is not of the record size"},
    {-8, "the record is marked removed"},
    {-13, "the store's field table could not be built"},
    {-14, "the database version is not 52"},
    {-15, "the record version differs from the one asked for"},
    {-16, "the database is open elsewhere"},
    {-17, "not a database file (wrong magic or an impossible header)"},
    {-18, "no database is open"},
    {-19, "a write failed or came short (disk full?)"},
    {-65536, "out of memory for the index"},
    {-258, "the index file cannot be opened (missing, or not readable and writable)"},
    {-260, "the index file cannot be created"},
    {-262, "the index parameters are impossible"},
    {-263, "the index version is not 47"},
    {-264, "the index is not open"},
    {-265, "the index file is damaged (wrong magic or an impossible header)"},
    {-266, "the index is open elsewhere"},
    {-267, "an index write failed or came short (disk full?)"},
    {kAttachmentFailed, "the attachment file cannot be written"},
};

// A CDatabase opened with any record version; a damaged or missing index
// does not keep the .db file from being opened.
int OpenAnyIndex(CDatabase& database, const std::string& name) {
    int result = database.OpenDatabase(name.c_str(), 0);
    if (result > -256 && result != -65536) return result;
    DBError error = database.DBOpen((name + ".db").c_str(), 0);
    return EncodeDBError(error);
}

// Makes the index anew: the store's own way for a store's layout, else on
// the Description field with the key length and bucket count of the index
// there was (101 buckets and the field's length when it cannot be read).
int MakeIndex(CDatabase& database, const std::string& name, std::string& how) {
    std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
    if (!imp) return EncodeDBError(DB_OPEN_FAILED);
    const std::string store = StoreOf(*imp);
    int64_t keyOffset = KeyOffsetOf(imp->Fields());
    IndexScan old = ScanIndex(name + ".idx", *imp, keyOffset);
    uint32_t buckets = old.readable ? old.header.bucketCount : kStoreBuckets;
    uint32_t keyLength = old.readable ? old.header.keyLength : 0;
    if (!old.readable && keyOffset >= 0)
        keyLength = static_cast<uint32_t>(
            imp->Fields().GetFieldLength(imp->Fields().FindField("Description")));
    imp.reset();
    if (store == "profile" || store == "location") {
        how = "the " + store + " store's index";
        keyLength = 255;
    } else if (keyOffset < 0) {
        how = "no Description text field to index";
        return EncodeIndexCode(INDEX_BAD_PARAMETER);
    } else {
        how = "an index on Description";
    }
    how += ", " + std::to_string(buckets) + " buckets, key length " + std::to_string(keyLength);
    return database.RebuildIndex(kFieldText, static_cast<uint32_t>(keyOffset), keyLength, buckets);
}

int Count(CDatabase& database) {
    int count = database.GetRecordCount();
    return count < 0 ? 0 : count;
}

}  // namespace

std::string Reason(int code, bool forText) {
    if (forText && code == -2) return "the text ends before or inside its records section";
    if (forText && code == -3) return "the text file cannot be opened";
    if (forText && code == -4) return "the text file cannot be created";
    for (const CodeText& reason : kReasons)
        if (reason.code == code) return reason.text;
    return "failed";
}

int Fail(const std::string& file, int code, bool forText) {
    std::fprintf(stderr, "kitdb: %s: %s (code %d)\n", file.c_str(), Reason(code, forText).c_str(),
                 code);
    return kExitFailed;
}

int FailWith(const std::string& text) {
    std::fprintf(stderr, "kitdb: %s\n", text.c_str());
    return kExitFailed;
}

std::unique_ptr<CDatabaseImp> OpenDataFile(const std::string& name) {
    std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
    std::string path = name + ".db";
    if (!imp) {
        Fail(path, EncodeDBError(DB_NO_MEMORY));
        return nullptr;
    }
    DBError error = path.size() < kPathSize ? imp->OpenDatabase(path.c_str(), 0) : DB_OPEN_FAILED;
    if (error == DB_OK) return imp;
    Fail(path, EncodeDBError(error));
    return nullptr;
}

int Export(const std::string& name, const std::string& file) {
    CDatabase database;
    int result = OpenAnyIndex(database, name);
    if (result != 0) return Fail(name + ".db", result);
    result = database.ExportDatabase(file.c_str());
    if (result != 0) return Fail(file, result, true);
    std::printf("%s: %d records written to %s\n", name.c_str(), Count(database), file.c_str());
    return kExitOk;
}

int Import(const std::string& name, const std::string& file) {
    CDatabase database;
    int result = OpenAnyIndex(database, name);
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
    std::string how;
    result = MakeIndex(database, name, how);
    if (result != 0) return Fail(name + ".idx", result);
    std::printf("%s.idx: made anew, %s\n", name.c_str(), how.c_str());
    return kExitOk;
}

int RebuildIndex(const std::string& name) {
    CDatabase database;
    int result = OpenAnyIndex(database, name);
    if (result != 0) return Fail(name + ".db", result);
    std::string how;
    result = MakeIndex(database, name, how);
    if (result != 0) {
        if (!how.empty() && result == EncodeIndexCode(INDEX_BAD_PARAMETER))
            return FailWith(name + ".db: " + how);
        return Fail(name + ".idx", result);
    }
    std::printf("%s.idx: made anew, %s; %d records\n", name.c_str(), how.c_str(), Count(database));
    return kExitOk;
}

int Upgrade(const std::string& name, const std::string& store) {
    if (store != "profile" && store != "location")
        return FailWith("upgrade takes profile or location, not \"" + store + "\"");
    uint32_t before = 0;
    {
        std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
        if (!imp) return kExitFailed;
        before = imp->Fields().RecordVersion();
        // The carry-over keeps only the fields both layouts name: a store
        // taken for the other would lose nearly everything.
        const std::string layout = StoreOf(*imp);
        if (!layout.empty() && layout != store)
            return FailWith(name + ".db: has the " + layout + " store's layout, not the " + store +
                            " store's; nothing changed");
    }
    CProfileDatabase profile;
    CLocationDatabase location;
    const bool isProfile = store == "profile";
    CDatabase& database = isProfile ? static_cast<CDatabase&>(profile) : location;
    const uint32_t version = isProfile ? kProfileRecordVersion : kLocationRecordVersion;
    int result = isProfile ? profile.OpenDatabase(name.c_str(), version)
                           : location.OpenDatabase(name.c_str(), version);
    if (result != 0) return Fail(result <= -256 ? name + ".idx" : name + ".db", result);
    if (before == version) {
        std::printf("%s: already the %s store's record version %u; %d records\n", name.c_str(),
                    store.c_str(), version, Count(database));
    } else {
        std::printf(
            "%s: carried over from record version %u to %u; %d records (the text is in "
            "%s)\n",
            name.c_str(), before, version, Count(database), kStoreExportFile);
    }
    return kExitOk;
}
