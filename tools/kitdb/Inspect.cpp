// kitdb info, show and verify: what a database holds and whether its files
// are sound.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <vector>

#include "database/CDatabaseFile.h"
#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"
#include "tools/kitdb/IndexScan.h"
#include "tools/kitdb/KitDb.h"

namespace {

std::string Text(const char* bytes, size_t size) {
    return std::string(bytes, strnlen(bytes, size));
}

// A text for the terminal: printable characters as they are, the others as
// \xNN.
std::string Printable(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out;
}

// Element k of a field, little-endian, of size bytes (1 to 8).
uint64_t Element(const unsigned char* field, uint32_t k, uint32_t size) {
    uint64_t value = 0;
    std::memcpy(&value, field + uint64_t{k} * size, size);
    return value;
}

// A field's value for the terminal: numbers separated by blanks (8-byte
// elements in hexadecimal), texts quoted up to their terminator or the
// field's end.
std::string FieldValue(const FieldDescriptor& field, const unsigned char* record) {
    const unsigned char* at = record + field.offset;
    const uint32_t size = FieldElementSize(field.type);
    if (field.type == kFieldText)
        return "\"" + Printable(Text(reinterpret_cast<const char*>(at), field.length)) + "\"";
    if (size == 0) return "(type " + std::to_string(field.type) + ")";
    std::string out;
    for (uint32_t k = 0; k < field.length; ++k) {
        uint64_t value = Element(at, k, size);
        char number[24];
        if (field.type == kFieldLong)
            std::snprintf(number, sizeof number, "%" PRId32, static_cast<int32_t>(value));
        else if (field.type == kFieldEight)
            std::snprintf(number, sizeof number, "0x%016" PRIX64, value);
        else
            std::snprintf(number, sizeof number, "%" PRIu64, value);
        out += (k ? " " : "") + std::string(number);
    }
    return out;
}

std::string Name(const FieldDescriptor& field) {
    return Text(field.name, sizeof field.name);
}

// The current record's key, or "".
std::string CurrentKey(CDatabaseImp& imp, int32_t current) {
    int64_t offset = KeyOffsetOf(imp.Fields());
    std::vector<unsigned char> record(imp.Fields().RecordSize());
    if (offset < 0 || current < 0 ||
        imp.ReadRecord(static_cast<uint32_t>(current), record.data(),
                       static_cast<uint32_t>(record.size())) != DB_OK)
        return "";
    int index = imp.Fields().FindField("Description");
    return ", Description " + FieldValue(*imp.Fields().Descriptor(index), record.data());
}

long FileSize(const std::string& path) {
    std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
    if (!file || !file->Open(path.c_str(), CDatabaseFile::kReadOnly)) return -1;
    return file->GetSize();
}

bool SameTable(const FieldTable& a, const FieldTable& b) {
    return a.Count() == b.Count() && a.RecordSize() == b.RecordSize() &&
           std::memcmp(a.Bytes(), b.Bytes(), a.Count() * sizeof(FieldDescriptor)) == 0;
}

// Collects what verify finds.
class Findings {
public:
    void Damage(const std::string& where, const std::string& text) {
        std::printf("damaged: %s: %s\n", where.c_str(), text.c_str());
        ++m_nDamage;
    }
    void Note(const std::string& where, const std::string& text) {
        std::printf("note: %s: %s\n", where.c_str(), text.c_str());
    }
    int Result() const {
        if (m_nDamage == 0) {
            std::printf("result: clean\n");
            return kExitOk;
        }
        std::printf("result: damaged (%d problems)\n", m_nDamage);
        return kExitDamaged;
    }

private:
    int m_nDamage = 0;
};

void VerifyFields(CDatabaseImp& imp, const std::string& db, Findings& findings) {
    const FieldTable& fields = imp.Fields();
    for (uint32_t i = 0; i < fields.Count(); ++i) {
        const FieldDescriptor& field = *fields.Descriptor(static_cast<int>(i));
        if (FieldElementSize(field.type) == 0)
            findings.Damage(db, "field " + std::to_string(i) + " (" + Name(field) + ") has type " +
                                    std::to_string(field.type) + ", which no value has");
        if (fields.FindField(Name(field).c_str()) != static_cast<int>(i))
            findings.Note(db, "field " + std::to_string(i) + " (" + Name(field) +
                                  ") repeats a name; the text form only carries the first");
    }
    const bool storeVersion = fields.RecordVersion() == kProfileRecordVersion ||
                              fields.RecordVersion() == kLocationRecordVersion;
    if (storeVersion && !*StoreOf(imp))
        findings.Damage(db, "record version " + std::to_string(fields.RecordVersion()) +
                                " but not the field table of that store");
}

void VerifyRecords(CDatabaseImp& imp, const std::string& db, long fileSize, Findings& findings) {
    const FieldTable& fields = imp.Fields();
    const DatabaseHeader& header = imp.Header();
    RecordLayout layout =
        RecordLayout::Of(header.privateSize, header.numberOfFields, header.recordSize);
    uint32_t count = 0;
    imp.GetRecordCount(&count);
    // What an interrupted append leaves: no record, and the next append
    // writes over it (FORMAT.md).
    if (fileSize >= 0 && static_cast<uint64_t>(fileSize) > layout.dataStart &&
        (static_cast<uint64_t>(fileSize) - layout.dataStart) % layout.placeSize)
        findings.Note(db, std::to_string((fileSize - layout.dataStart) % layout.placeSize) +
                              " bytes of an interrupted append at the end (not a record; the "
                              "next append writes over them)");
    int version = fields.FindField("Version");
    if (version >= 0 && (fields.GetFieldType(version) != kFieldLong ||
                         fields.GetFieldOffset(version) + 4 > fields.RecordSize()))
        version = -1;
    std::vector<unsigned char> record(fields.RecordSize());
    for (uint32_t n = 0; n < count; ++n) {
        std::string where = db + ": record " + std::to_string(n);
        DBError read = imp.ReadRecord(n, record.data(), static_cast<uint32_t>(record.size()));
        if (read == DB_RECORD_REMOVED) {
            findings.Note(where, "marked removed");
        } else if (read != DB_OK) {
            findings.Damage(where,
                            read == DB_BAD_RECORD_MAGIC ? "bad record magic" : "cannot be read");
            continue;
        }
        if (version < 0) continue;
        int32_t value =
            static_cast<int32_t>(Element(record.data() + fields.GetFieldOffset(version), 0, 4));
        if (static_cast<uint32_t>(value) != fields.RecordVersion())
            findings.Damage(where, "Version is " + std::to_string(value) +
                                       ", the database's record version " +
                                       std::to_string(fields.RecordVersion()));
    }
    int32_t current = header.currentRecord;
    if (current != -1 && (current < 0 || static_cast<uint32_t>(current) >= count))
        findings.Damage(db, "current record " + std::to_string(current) + " of " +
                                std::to_string(count) + " records");
}

}  // namespace

const char* StoreOf(const CDatabaseImp& imp) {
    FieldTable store;
    const FieldTable& fields = imp.Fields();
    if (fields.RecordVersion() == kProfileRecordVersion && BuildProfileFieldTable(store) &&
        SameTable(fields, store))
        return "profile";
    if (fields.RecordVersion() == kLocationRecordVersion && BuildLocationFieldTable(store) &&
        SameTable(fields, store))
        return "location";
    return "";
}

int Info(const std::string& name) {
    std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
    if (!imp) return kExitFailed;
    DatabaseInfo info{};
    imp->GetDatabaseInfo(&info);
    const char* store = StoreOf(*imp);
    std::printf("Database %s%s%s\n", name.c_str(), *store ? ", the " : "",
                *store ? (std::string(store) + " store").c_str() : "");
    std::printf("File %s.db, %ld bytes\n", name.c_str(), FileSize(name + ".db"));
    std::printf("  database version %" PRIu32 "\n  database id %" PRIu32
                "\n  database flags %" PRIu32 "\n",
                info.databaseVersion, info.databaseId, info.databaseFlags);
    std::printf("  record version %" PRIu32 "\n  record size %" PRIu32 "\n  current record %" PRId32
                "\n",
                info.recordVersion, info.recordSize, info.currentRecord);
    std::printf("  number of fields %" PRIu32 "\n  reserved %" PRIu32 "\n  open count %" PRId32
                "\n  private data %" PRIu32 " bytes\n",
                // Less this tool's own open.
                imp->Fields().Count(), info.reserved, info.openCount - 1, info.privateSize);
    std::printf("Fields (%" PRIu32 "):\n     #  type  length  offset  name\n",
                imp->Fields().Count());
    for (uint32_t i = 0; i < imp->Fields().Count(); ++i) {
        const FieldDescriptor& field = *imp->Fields().Descriptor(static_cast<int>(i));
        std::string comment = Text(field.comment, sizeof field.comment);
        std::printf("  %4" PRIu32 "  %4" PRIu32 "  %6" PRIu32 "  %6" PRIu32 "  %s%s%s%s\n", i,
                    field.type, field.length, field.offset, Printable(Name(field)).c_str(),
                    comment.empty() ? "" : "  \"", Printable(comment).c_str(),
                    comment.empty() ? "" : "\"");
    }
    std::printf("Records: %" PRIu32 "\n", info.recordCount);
    if (info.currentRecord == -1)
        std::printf("Current record: none\n");
    else
        std::printf("Current record: %" PRId32 "%s\n", info.currentRecord,
                    CurrentKey(*imp, info.currentRecord).c_str());
    std::string idx = name + ".idx";
    IndexScan scan = ScanIndex(idx, *imp, KeyOffsetOf(imp->Fields()));
    if (!scan.readable) {
        std::printf("Index %s: %s\n", idx.c_str(), scan.problems.front().c_str());
        return kExitOk;
    }
    const IndexHeader& h = scan.header;
    std::printf("Index %s, %" PRIu64 " bytes\n", idx.c_str(), scan.fileSize);
    std::printf("  key type %" PRIu32 ", key length %" PRIu32 ", slot size %" PRIu32 "\n",
                h.keyType, h.keyLength, h.slotSize);
    std::printf("  buckets %" PRIu32 ", buckets used %" PRIu32 ", longest chain %" PRIu32
                ", keys %" PRIu32 ", overflow slots %" PRIu32 "\n",
                h.bucketCount, scan.bucketsUsed, scan.longestChain, scan.keys, h.overflowCount);
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
    if (read != DB_OK && read != DB_RECORD_REMOVED)
        return Fail(name + ".db: record " + std::to_string(n), EncodeDBError(read));
    std::printf("Record %" PRId64 " of %" PRIu32 "%s%s\n", n, count,
                n == current ? " (current)" : "", read == DB_RECORD_REMOVED ? " (removed)" : "");
    for (uint32_t i = 0; i < imp->Fields().Count(); ++i) {
        const FieldDescriptor& field = *imp->Fields().Descriptor(static_cast<int>(i));
        std::printf("  %s = %s\n", Printable(Name(field)).c_str(),
                    FieldValue(field, record.data()).c_str());
    }
    return kExitOk;
}

int Verify(const std::string& name) {
    std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
    if (!imp) {
        std::printf("result: unusable\n");
        return kExitFailed;
    }
    std::string db = name + ".db";
    std::string idx = name + ".idx";
    uint32_t count = 0;
    imp->GetRecordCount(&count);
    const char* store = StoreOf(*imp);
    std::printf("%s: record version %" PRIu32 ", %" PRIu32 " fields, %" PRIu32 " records%s%s\n",
                db.c_str(), imp->Fields().RecordVersion(), imp->Fields().Count(), count,
                *store ? ", the layout of the store: " : "", store);
    Findings findings;
    VerifyFields(*imp, db, findings);
    VerifyRecords(*imp, db, FileSize(db), findings);
    int64_t keyOffset = KeyOffsetOf(imp->Fields());
    IndexScan scan = ScanIndex(idx, *imp, keyOffset);
    if (scan.readable) {
        std::printf("%s: %" PRIu32 " buckets, %" PRIu32 " keys, longest chain %" PRIu32 "\n",
                    idx.c_str(), scan.header.bucketCount, scan.keys, scan.longestChain);
        if (keyOffset < 0) findings.Note(idx, "no Description field: keys not compared");
        if (scan.keys < count)
            findings.Note(idx, std::to_string(count - scan.keys) +
                                   " records have no key in the index (rebuild-index adds them)");
    }
    for (const std::string& problem : scan.problems) findings.Damage(idx, problem);
    return findings.Result();
}
