#include "tools/connect/SubscriberStores.h"

#include <cstdio>
#include <cstring>

#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"
#include "environment/ConfigPaths.h"

namespace {

typedef int (*StorePath)(HMODULE, char*, DWORD*);

bool PathOf(HMODULE library, StorePath query, const char* what, std::string& path,
            std::string& error) {
    char buffer[MAX_PATH];
    DWORD length = sizeof buffer;
    if (!query(library, buffer, &length)) {
        error = std::string("the kit names no ") + what + " store";
        return false;
    }
    path = buffer;
    return true;
}

template <class Store, class RecordObject>
bool ReadCurrent(HMODULE library, StorePath query, const char* what, uint32_t version,
                 RecordObject& record, std::string& error) {
    std::string path;
    if (!PathOf(library, query, what, path, error)) return false;
    Store store;
    int code = store.OpenDatabase(path.c_str(), version);
    if (code == 0) code = store.GetCurrentRecord(record);
    if (code != 0) {
        error =
            std::string("the ") + what + " store " + path + " gives error " + std::to_string(code);
        return false;
    }
    return true;
}

// Writes a text of the stores' form with one record, the current one. The
// import gives a field named "Version" the store's record version.
bool WriteRecordText(const std::string& path, const std::string& fields) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::string text =
        "START_DBHEADER\r\n    CURRENT_RECORD=0\r\nEND_DBHEADER\r\n"
        "START_DATABASE_RECORDS\r\n    START_RECORD 0\r\n        Version=0 \r\n" +
        fields + "    END_RECORD 0\r\n\r\nEND_DATABASE_RECORDS\r\n";
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

template <class Store>
bool WriteStore(HMODULE library, StorePath query, const char* what, const std::string& fields,
                std::string& error) {
    std::string path;
    if (!PathOf(library, query, what, path, error)) return false;
    std::string text = path + ".txt";
    Store store;
    int code = WriteRecordText(text, fields) ? store.Recreate(path.c_str(), kStoreBuckets) : -1;
    if (code == 0) code = store.ImportRecords(text.c_str());
    if (code == 0) code = store.RebuildIndex(kStoreBuckets);
    DeleteFileA(text.c_str());
    if (code != 0) {
        error = std::string("the ") + what + " store " + path + " cannot be written (error " +
                std::to_string(code) + ")";
        return false;
    }
    return true;
}

}  // namespace

bool ReadSubscriber(HMODULE library, ProfileRecord& profile, LocationRecord& location,
                    std::string& error) {
    ProfileRecordObject profileRecord;
    LocationRecordObject locationRecord;
    if (!ReadCurrent<CProfileDatabase>(library, QueryProfileDBPath, "profile",
                                       kProfileRecordVersion, profileRecord, error) ||
        !ReadCurrent<CLocationDatabase>(library, QueryLocationDBPath, "location",
                                        kLocationRecordVersion, locationRecord, error))
        return false;
    profile = profileRecord.Record();
    location = locationRecord.Record();
    return true;
}

bool WriteSubscriber(HMODULE library, const std::string& profileFields,
                     const std::string& locationFields, std::string& error) {
    return WriteStore<CProfileDatabase>(library, QueryProfileDBPath, "profile", profileFields,
                                        error) &&
           WriteStore<CLocationDatabase>(library, QueryLocationDBPath, "location", locationFields,
                                         error);
}

std::string DefaultAccessNumber(const LocationRecord& location) {
    int32_t entry = location.DefaultPOPEntry;
    if (entry < 0 ||
        entry >= static_cast<int32_t>(sizeof location.POPEntries / sizeof location.POPEntries[0]))
        return std::string();
    const char* number = location.POPEntries[entry].PopNumber;
    return std::string(number, strnlen(number, sizeof location.POPEntries[entry].PopNumber));
}
