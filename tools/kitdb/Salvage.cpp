// kitdb salvage NAME OUT: a new database OUT (OUT.db, OUT.idx, OUT.h00 and
// its text form OUT.txt) made from every record of NAME.db that can be
// read, each byte for byte; the record places that cannot be read (and
// those marked removed, and a partial place at the end) go raw into
// OUT.unread.db, a data file with NAME's header and field table whose
// record places are those places as they were, so that kitdb dump and show
// can look into them. Nothing of NAME is changed and nothing is written over.
#include <cstdio>
#include <map>
#include <vector>

#include "database/CDatabaseFile.h"
#include "tools/kitdb/IndexScan.h"
#include "tools/kitdb/RawFile.h"
#include "tools/kitdb/Stores.h"
#include "tools/kitdb/Tool.h"

namespace {

// Records a write appends at a time.
constexpr size_t kBatch = 64;

struct Unread {
    uint32_t number;
    DBError code;
};

// Appends the readable records to the new data file, in batches, and lists
// the others.
class Salvager : public RecordVisitor {
public:
    Salvager(CDatabaseImp& out, uint32_t recordSize) : m_Out(out), m_nSize(recordSize) {}

    bool Visit(uint32_t number, DBError code, const unsigned char* data) override {
        if (code != DB_OK) {
            unread.push_back(Unread{number, code});
            return true;
        }
        newNumber[number] = saved + static_cast<uint32_t>(m_Batch.size() / m_nSize);
        m_Batch.insert(m_Batch.end(), data, data + m_nSize);
        return m_Batch.size() < kBatch * m_nSize || Flush();
    }

    bool Flush() {
        uint32_t count = static_cast<uint32_t>(m_Batch.size() / m_nSize);
        uint32_t first = 0;
        if (count && m_Out.AddRecords(&first, m_Batch.data(), m_nSize, count) != DB_OK) {
            failed = true;
            return false;
        }
        saved += count;
        m_Batch.clear();
        return true;
    }

    std::vector<Unread> unread;
    std::map<uint32_t, uint32_t> newNumber;  // old number to new
    uint32_t saved = 0;
    bool failed = false;

private:
    CDatabaseImp& m_Out;
    uint32_t m_nSize;
    std::vector<unsigned char> m_Batch;
};

// The table of the source, in a buffer of its own (creation clears flags).
bool CopyTable(const FieldTable& from, FieldTable& to) {
    if (!to.Init(from.RecordSize(), from.RecordVersion())) return false;
    for (uint32_t i = 0; i < from.Count(); ++i)
        if (to.AddDescriptor(*from.Descriptor(static_cast<int>(i))) < 0) return false;
    return true;
}

int CreateOut(const std::string& out, const FieldTable& fields, const IndexPlan& plan) {
    CDatabase database;
    if (const Store* store = StoreOf(fields))
        return RecreateStoreDatabase(database, *store->layout, out.c_str(), kStoreBuckets);
    FieldTable table;
    if (!CopyTable(fields, table)) return EncodeDBError(DB_NO_MEMORY);
    return database.CreateDatabase(out.c_str(), table, kFieldText,
                                   plan.possible ? plan.keyLength : 0,
                                   plan.possible ? plan.buckets : kStoreBuckets);
}

// OUT.unread.db: the source's header (no private data, no current record,
// open count 0) and table, then the raw places.
bool WriteUnread(const std::string& path, const std::string& source, const CDatabaseImp& imp,
                 const std::vector<Unread>& unread, uint64_t partialOffset, uint64_t partialBytes) {
    std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
    if (!file || !file->Open(path.c_str(), CDatabaseFile::kCreate)) return false;
    DatabaseHeader header = imp.Header();
    header.currentRecord = -1;
    header.openCount = 0;
    header.privateSize = 0;
    const FieldTable& fields = imp.Fields();
    const uint32_t tableSize = fields.Count() * static_cast<uint32_t>(sizeof(FieldDescriptor));
    uint64_t at = sizeof header + tableSize;
    bool done = file->WriteAt(0, &header, sizeof header) &&
                (!tableSize || file->WriteAt(sizeof header, fields.Bytes(), tableSize));
    const uint32_t placeSize = static_cast<uint32_t>(imp.Layout().placeSize);
    for (const Unread& place : unread) {
        std::string bytes = ReadRawBytes(source, imp.Layout().Offset(place.number), placeSize);
        done = done && bytes.size() == placeSize && file->WriteAt(at, bytes.data(), placeSize);
        at += placeSize;
    }
    if (partialBytes) {
        std::string bytes =
            ReadRawBytes(source, partialOffset, static_cast<uint32_t>(partialBytes));
        done = done && bytes.size() == partialBytes &&
               file->WriteAt(at, bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    return done;
}

}  // namespace

int Salvage(const std::string& name, const std::string& out) {
    std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
    if (!imp) return kExitFailed;
    const std::string source = name + ".db";
    const std::string unreadPath = out + ".unread.db";
    const std::string text = out + ".txt";
    for (const std::string& path : {out + ".db", out + ".idx", out + ".h00", text, unreadPath})
        if (DatabaseFileExists(path.c_str()))
            return FailWith(path +
                            ": is there already; salvage writes nothing over a file "
                            "(nothing written)");
    const FieldTable& fields = imp->Fields();
    const IndexPlan plan = PlanIndex(fields, ScanIndex(name + ".idx", *imp, KeyOffsetOf(fields)));
    int result = CreateOut(out, fields, plan);
    if (result != 0) return Fail(out + ".db", result);

    uint32_t count = 0;
    imp->GetRecordCount(&count);
    std::unique_ptr<CDatabaseImp> target = CDatabaseImp::New();
    DBError error = target ? target->OpenDatabase((out + ".db").c_str(), 0) : DB_NO_MEMORY;
    if (error != DB_OK) return Fail(out + ".db", EncodeDBError(error));
    Salvager salvager(*target, fields.RecordSize());
    imp->ReadRecords(0, count, fields.RecordSize(), salvager);
    if (salvager.failed || !salvager.Flush())
        return Fail(out + ".db", EncodeDBError(DB_WRITE_FAILED));
    const int32_t current = imp->Header().currentRecord;
    auto moved = salvager.newNumber.find(static_cast<uint32_t>(current));
    if (current >= 0 && moved != salvager.newNumber.end())
        target->SetCurrentRecord(static_cast<int32_t>(moved->second));
    target.reset();

    CDatabase database;
    result = OpenForWriting(database, out);
    if (result == 0 && plan.possible)
        result = database.RebuildIndex(kFieldText, plan.keyOffset, plan.keyLength, plan.buckets);
    if (result != 0) return Fail(out + ".idx", result);
    result = database.ExportDatabase(text.c_str());
    if (result != 0) return Fail(text, result, true);

    std::printf("%s: %u of %u records salvaged into %s.db (index %s.idx, text %s)\n", name.c_str(),
                salvager.saved, count, out.c_str(), out.c_str(), text.c_str());
    if (current >= 0 && moved != salvager.newNumber.end())
        std::printf("%s: the current record %d is record %u of %s.db\n", name.c_str(), current,
                    moved->second, out.c_str());
    else if (current != -1)
        std::printf("%s: the current record %d was not salvaged; %s.db has none\n", name.c_str(),
                    current, out.c_str());
    const long size = FileSize(source);
    const uint64_t partialOffset = imp->Layout().Offset(count);
    const uint64_t partial =
        size >= 0 && static_cast<uint64_t>(size) > partialOffset ? size - partialOffset : 0;
    if (salvager.unread.empty() && !partial) return kExitOk;
    if (!WriteUnread(unreadPath, source, *imp, salvager.unread, partialOffset, partial))
        return FailWith(unreadPath + ": cannot be written whole");
    uint32_t k = 0;
    bool damaged = false;
    for (const Unread& place : salvager.unread) {
        damaged |= place.code != DB_RECORD_REMOVED;
        std::printf("%s: record %u is record %u of %s (%s), %llu bytes from offset %llu\n",
                    unreadPath.c_str(), k++, place.number, source.c_str(),
                    place.code == DB_RECORD_REMOVED ? "marked removed" : "bad record magic",
                    static_cast<unsigned long long>(imp->Layout().placeSize),
                    static_cast<unsigned long long>(imp->Layout().Offset(place.number)));
    }
    if (partial)
        std::printf("%s: ends with the partial place of %llu bytes from offset %llu of %s\n",
                    unreadPath.c_str(), static_cast<unsigned long long>(partial),
                    static_cast<unsigned long long>(partialOffset), source.c_str());
    return damaged ? kExitDamaged : kExitOk;
}
