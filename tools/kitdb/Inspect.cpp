// kitdb info, show and verify: what a database holds and whether its files
// are sound. They open the files for reading only and write nothing.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/kitdb/Examine.h"
#include "tools/kitdb/IndexScan.h"
#include "tools/kitdb/Json.h"
#include "tools/kitdb/Stores.h"
#include "tools/kitdb/Tool.h"

namespace {

// The current record's Description, "" when it has none or cannot be read.
std::string CurrentDescription(CDatabaseImp& imp, int32_t current) {
    int index = imp.Fields().FindField("Description");
    std::vector<unsigned char> record(imp.Fields().RecordSize());
    if (KeyOffsetOf(imp.Fields()) < 0 || current < 0 ||
        imp.ReadRecord(static_cast<uint32_t>(current), record.data(),
                       static_cast<uint32_t>(record.size())) != DB_OK)
        return "";
    return FieldValue(*imp.Fields().Descriptor(index), record.data());
}

void PrintInfo(const std::string& name, CDatabaseImp& imp, const Store* store,
               const DatabaseInfo& info, const IndexScan& scan) {
    std::printf("Database %s%s%s\n", name.c_str(), store ? ", the " : "",
                store ? (std::string(store->name) + " store").c_str() : "");
    std::printf("File %s.db, %ld bytes\n", name.c_str(), FileSize(name + ".db"));
    std::printf("  database version %" PRIu32 "\n  database id %" PRIu32
                "\n  database flags %" PRIu32 "\n",
                info.databaseVersion, info.databaseId, info.databaseFlags);
    std::printf("  record version %" PRIu32 "\n  record size %" PRIu32 "\n  current record %" PRId32
                "\n",
                info.recordVersion, info.recordSize, info.currentRecord);
    std::printf("  number of fields %" PRIu32 "\n  reserved %" PRIu32 "\n  open count %" PRId32
                "\n  private data %" PRIu32 " bytes\n",
                imp.Fields().Count(), info.reserved, info.openCount, info.privateSize);
    std::printf("Fields (%" PRIu32 "):\n     #  type  length  offset  name\n",
                imp.Fields().Count());
    for (uint32_t i = 0; i < imp.Fields().Count(); ++i) {
        const FieldDescriptor& field = *imp.Fields().Descriptor(static_cast<int>(i));
        std::string comment = FixedText(field.comment, sizeof field.comment);
        std::printf("  %4" PRIu32 "  %4" PRIu32 "  %6" PRIu32 "  %6" PRIu32 "  %s%s%s%s\n", i,
                    field.type, field.length, field.offset, Printable(FieldName(field)).c_str(),
                    comment.empty() ? "" : "  \"", Printable(comment).c_str(),
                    comment.empty() ? "" : "\"");
    }
    std::printf("Records: %" PRIu32 "\n", info.recordCount);
    const std::string description = CurrentDescription(imp, info.currentRecord);
    if (info.currentRecord == -1)
        std::printf("Current record: none\n");
    else
        std::printf("Current record: %" PRId32 "%s%s\n", info.currentRecord,
                    description.empty() ? "" : ", Description ", description.c_str());
    const std::string idx = name + ".idx";
    if (!scan.readable) {
        std::printf("Index %s: %s\n", idx.c_str(), scan.problems.front().c_str());
        return;
    }
    const IndexHeader& h = scan.header;
    std::printf("Index %s, %" PRIu64 " bytes\n", idx.c_str(), scan.fileSize);
    std::printf("  key type %" PRIu32 ", key length %" PRIu32 ", slot size %" PRIu32
                ", open count %" PRId32 "\n",
                h.keyType, h.keyLength, h.slotSize, h.openCount);
    std::printf("  buckets %" PRIu32 ", buckets used %" PRIu32 ", longest chain %" PRIu32
                ", keys %" PRIu32 ", overflow slots %" PRIu32 "\n",
                h.bucketCount, scan.bucketsUsed, scan.longestChain, scan.keys, h.overflowCount);
}

void PrintJsonInfo(const std::string& name, CDatabaseImp& imp, const Store* store,
                   const DatabaseInfo& info, const IndexScan& scan) {
    JsonWriter json;
    json.Object()
        .Text("database", name)
        .Text("store", store ? store->name : "")
        .Object("file")
        .Text("path", name + ".db")
        .Number("size", FileSize(name + ".db"))
        .End()
        .Object("header")
        .Number("databaseVersion", info.databaseVersion)
        .Number("databaseId", info.databaseId)
        .Number("databaseFlags", info.databaseFlags)
        .Number("recordVersion", info.recordVersion)
        .Number("recordSize", info.recordSize)
        .Number("currentRecord", info.currentRecord)
        .Number("numberOfFields", imp.Fields().Count())
        .Number("reserved", info.reserved)
        .Number("openCount", info.openCount)
        .Number("privateSize", info.privateSize)
        .End()
        .Array("fields");
    for (uint32_t i = 0; i < imp.Fields().Count(); ++i) {
        const FieldDescriptor& field = *imp.Fields().Descriptor(static_cast<int>(i));
        json.Object()
            .Text("name", FieldName(field))
            .Number("type", field.type)
            .Number("length", field.length)
            .Number("offset", field.offset)
            .Text("comment", FixedText(field.comment, sizeof field.comment))
            .End();
    }
    json.End()
        .Number("records", info.recordCount)
        .Text("currentDescription", CurrentDescription(imp, info.currentRecord))
        .Object("index")
        .Text("path", name + ".idx")
        .Flag("readable", scan.readable);
    if (!scan.readable) {
        json.Text("problem", scan.problems.front());
    } else {
        const IndexHeader& h = scan.header;
        json.Number("size", static_cast<int64_t>(scan.fileSize))
            .Number("keyType", h.keyType)
            .Number("keyLength", h.keyLength)
            .Number("slotSize", h.slotSize)
            .Number("openCount", h.openCount)
            .Number("buckets", h.bucketCount)
            .Number("bucketsUsed", scan.bucketsUsed)
            .Number("longestChain", scan.longestChain)
            .Number("keys", scan.keys)
            .Number("overflowSlots", h.overflowCount);
    }
    json.End().End().Print(stdout);
}

}  // namespace

int Info(const std::string& name, bool json) {
    std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
    if (!imp) return kExitFailed;
    DatabaseInfo info{};
    imp->GetDatabaseInfo(&info);
    const Store* store = StoreOf(imp->Fields());
    IndexScan scan = ScanIndex(name + ".idx", *imp, KeyOffsetOf(imp->Fields()));
    if (json)
        PrintJsonInfo(name, *imp, store, info, scan);
    else
        PrintInfo(name, *imp, store, info, scan);
    return kExitOk;
}

int Show(const std::string& name, const char* number) {
    std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
    if (!imp) return kExitFailed;
    uint32_t count = 0;
    imp->GetRecordCount(&count);
    int32_t current = -1;
    imp->GetCurrentRecordNumber(&current);
    int64_t n = current;
    if (number) {
        char* end = nullptr;
        n = std::strtoll(number, &end, 10);
        if (!*number || *end)
            return FailWith("\"" + std::string(number) + "\" is no record number");
    } else if (current == -1) {
        return FailWith(name + ".db: has no current record; give a record number");
    }
    if (n < 0 || n >= count)
        return FailWith(name + ".db: no record " + std::to_string(n) + " (there are " +
                        std::to_string(count) + " records)");
    std::vector<unsigned char> record(imp->Fields().RecordSize());
    DBError read = imp->ReadRecord(static_cast<uint32_t>(n), record.data(),
                                   static_cast<uint32_t>(record.size()));
    if (read == DB_BAD_RECORD_MAGIC)
        return FailWith(name + ".db: record " + std::to_string(n) +
                        ": bad record magic (kitdb dump " + name + " --record " +
                        std::to_string(n) + " shows its bytes)");
    if (read != DB_OK && read != DB_RECORD_REMOVED)
        return Fail(name + ".db: record " + std::to_string(n), EncodeDBError(read));
    std::printf("Record %" PRId64 " of %" PRIu32 "%s%s\n", n, count,
                n == current ? " (current)" : "", read == DB_RECORD_REMOVED ? " (removed)" : "");
    for (uint32_t i = 0; i < imp->Fields().Count(); ++i) {
        const FieldDescriptor& field = *imp->Fields().Descriptor(static_cast<int>(i));
        std::printf("  %s = %s\n", Printable(FieldName(field)).c_str(),
                    FieldValue(field, record.data()).c_str());
    }
    return kExitOk;
}

int Verify(const std::string& name, bool json) {
    Examination exam = Examine(name);
    if (json) {
        PrintJsonReport(exam);
        if (!exam.imp)
            std::fprintf(stderr, "kitdb: %s.db: %s (code %d)\n", name.c_str(), exam.whyNot.c_str(),
                         exam.code);
    } else {
        PrintReport(exam);
    }
    return exam.ExitCode();
}
