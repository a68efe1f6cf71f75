// Fuzz target: the input as a text imported into a database of a layout with
// every field type, the "Version" field included, then the records read and
// exported again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "database/CDatabaseImp.h"
#include "tests/database/DatabaseExercise.h"
#include "tests/database/fuzz/FuzzSupport.h"

namespace {

// The seeds' fields (SeedMaker.cpp) and more: a type without values, a
// second field of a name that the first one hides, a field ending the record.
FieldTable EveryType() {
    FieldTable table;
    table.Init(96, 57);
    AddSeedFields(table);
    table.AddField("Odd", "", 9, 4, 36);
    table.AddField("Text", "", kFieldText, 30, 40);
    table.AddField("Shorts", "", kFieldShort, 3, 70);
    table.AddField("Description", "", kFieldLong, 1, 90);
    table.AddField("Last", "", kFieldBytes, 1, 95);
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string base = FuzzScratch() + "/import";
    WriteWholeFile(base + ".txt", std::string(reinterpret_cast<const char*>(data), size));
    std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
    FieldTable table = EveryType();
    if (imp->CreateDatabase((base + ".db").c_str(), table) != DB_OK) Finding("create", -1);
    DBError imported = imp->ImportRecords((base + ".txt").c_str());
    if (imported != DB_OK && imported != DB_TEXT_ENDS_EARLY) Finding("import", imported);
    uint32_t count = 0;
    imp->GetRecordCount(&count);
    int32_t current = 0;
    imp->GetCurrentRecordNumber(&current);
    if (current != -1 && static_cast<uint32_t>(current) >= count)
        Finding("current record", current);
    std::vector<unsigned char> record(96);
    for (uint32_t n = 0; n < count; ++n) {
        DBError read = imp->ReadRecord(n, record.data(), 96);
        if (read != DB_OK) Finding("read", read);
        int32_t version;
        std::memcpy(&version, record.data(), 4);
        // The record's version is this database's, or 0 when the text's
        // record had no "Version" line.
        if (version != 57 && version != 0) Finding("version", version);
    }
    DBError exported = imp->ExportDatabase((base + "-again.txt").c_str());
    if (exported != DB_OK) Finding("export", exported);
    return 0;
}
