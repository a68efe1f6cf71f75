#include "tools/kitdb/Examine.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"
#include "tools/kitdb/Json.h"
#include "tools/kitdb/Tool.h"

namespace {

const char kMakeIndexWords[] = "repair makes the index anew (so does the store's next open)";

class Collector {
public:
    explicit Collector(Examination& exam) : m_Exam(exam) {}

    Finding& Add(Severity severity, const char* kind, const std::string& file,
                 const std::string& place, const std::string& problem, const std::string& repair,
                 Mend mend = Mend::kNone, int64_t offset = -1) {
        m_Exam.findings.push_back(
            Finding{severity, kind, file, place, problem, repair, mend, offset});
        return m_Exam.findings.back();
    }

private:
    Examination& m_Exam;
};

std::string Names(const std::vector<std::string>& paths) {
    std::string out;
    for (const std::string& path : paths) out += (out.empty() ? "" : ", ") + path;
    return out;
}

void ExamineCarryOver(Examination& exam, Collector& add) {
    const CarryOverFiles& f = exam.files;
    if (f.hasOld) {
        std::string state;
        if (!f.hasDb && f.hasNewDb)
            state = "stopped after its commit, before " + f.newDb + " became " + f.db;
        else if (!f.hasDb)
            state = "stopped with " + f.db + " and " + f.newDb +
                    " both missing: this is the old data file";
        else if (f.hasNewIdx || f.hasNewH00)
            state = "stopped after its commit, while the new files took their places";
        else
            state = "stopped after its commit, before the old data file was checked and removed";
        add.Add(Severity::kDamage, "carry-over-committed", f.old, "", "a carry-over " + state,
                "repair finishes it with the store's own recovery (so does the store's next open)",
                Mend::kRecoverCarryOver);
    } else if (f.hasNewDb || f.hasNewIdx || f.hasNewH00) {
        std::vector<std::string> left;
        for (auto [path, there] :
             {std::pair{&f.newDb, f.hasNewDb}, std::pair{&f.newIdx, f.hasNewIdx},
              std::pair{&f.newH00, f.hasNewH00}})
            if (there) left.push_back(*path);
        const bool again = exam.family && exam.imp &&
                           exam.imp->Fields().RecordVersion() != exam.family->layout->recordVersion;
        add.Add(Severity::kDamage, "carry-over-unfinished", left.front(), "",
                "left by a carry-over that did not reach its commit (" + Names(left) + "); " +
                    f.db + " is still the store's",
                std::string("repair removes them (so does the store's next open)") +
                    (again ? " and carries " + f.db + " over again" : ""),
                Mend::kRecoverCarryOver);
    }
    for (const std::string& kept : f.kept) {
        std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
        uint32_t count = 0;
        if (imp && imp->OpenReadOnly(kept.c_str(), 0) == DB_OK) imp->GetRecordCount(&count);
        add.Add(Severity::kDamage, "carry-over-kept", kept, "",
                "the old data file of a carry-over that could not take every record over (" +
                    std::to_string(count) + " records)",
                "repair leaves it; kitdb salvage " + kept.substr(0, kept.size() - 3) +
                    " OUT saves what can be read");
    }
}

void ExamineFields(Examination& exam, const std::string& db, Collector& add) {
    const FieldTable& fields = exam.imp->Fields();
    for (uint32_t i = 0; i < fields.Count(); ++i) {
        const FieldDescriptor& field = *fields.Descriptor(static_cast<int>(i));
        const std::string place =
            "field " + std::to_string(i) + " (" + Printable(FieldName(field)) + ")";
        if (FieldElementSize(field.type) == 0)
            add.Add(Severity::kDamage, "field-type", db, place,
                    "type " + std::to_string(field.type) + ", which no value has",
                    "repair leaves it; the text form carries no value of it");
        if (fields.FindField(FieldName(field).c_str()) != static_cast<int>(i))
            add.Add(Severity::kNote, "field-name-repeated", db, place,
                    "repeats a name; the text form only carries the first", "nothing to repair");
    }
    const uint32_t version = fields.RecordVersion();
    const bool storeVersion = version == static_cast<uint32_t>(kProfileRecordVersion) ||
                              version == static_cast<uint32_t>(kLocationRecordVersion);
    if (storeVersion && !exam.store)
        add.Add(
            Severity::kDamage, "table-not-store", db, "header",
            "record version " + std::to_string(version) + " but not the field table of that store",
            "repair leaves it; an export imported into a store made anew carries the fields "
            "by name");
    if (exam.family && !exam.store && version != exam.family->layout->recordVersion)
        add.Add(Severity::kNote, "old-layout", db, "header",
                std::string("the ") + exam.family->name + " store's layout of record version " +
                    std::to_string(version) + " (the store's is " +
                    std::to_string(exam.family->layout->recordVersion) + ")",
                std::string("the store's next open carries it over; kitdb upgrade ") + exam.name +
                    " " + exam.family->name + " does it now");
}

// Every record's code and Version.
class RecordChecks : public RecordVisitor {
public:
    RecordChecks(Examination& exam, const std::string& db, Collector& add)
        : m_Exam(exam), m_Db(db), m_Add(add) {
        const FieldTable& fields = exam.imp->Fields();
        m_nVersionField = fields.FindField("Version");
        if (m_nVersionField >= 0 &&
            (fields.GetFieldType(m_nVersionField) != kFieldLong ||
             fields.GetFieldOffset(m_nVersionField) + 4 > fields.RecordSize()))
            m_nVersionField = -1;
    }

    bool Visit(uint32_t number, DBError code, const unsigned char* data) override {
        const std::string place = "record " + std::to_string(number);
        const int64_t offset = static_cast<int64_t>(m_Exam.imp->Layout().Offset(number));
        if (code == DB_BAD_RECORD_MAGIC) {
            m_Add.Add(Severity::kDamage, "bad-record-magic", m_Db, place, "bad record magic",
                      "repair leaves it; kitdb salvage keeps its bytes in a side file", Mend::kNone,
                      offset);
            return true;
        }
        if (code == DB_OK) ++m_Exam.readable;
        if (code == DB_RECORD_REMOVED)
            m_Add.Add(Severity::kNote, "removed-record", m_Db, place, "marked removed",
                      "nothing to repair; the engine skips it", Mend::kNone, offset);
        if (m_nVersionField < 0) return true;
        const FieldTable& fields = m_Exam.imp->Fields();
        int32_t value;
        std::memcpy(&value, data + fields.GetFieldOffset(m_nVersionField), sizeof value);
        if (static_cast<uint32_t>(value) != fields.RecordVersion())
            m_Add.Add(Severity::kDamage, "record-version", m_Db, place,
                      "Version is " + std::to_string(value) + ", not the record version " +
                          std::to_string(fields.RecordVersion()),
                      "repair leaves it; an export imported into a store made anew gets the "
                      "store's Version",
                      Mend::kNone, offset);
        return true;
    }

private:
    Examination& m_Exam;
    const std::string& m_Db;
    Collector& m_Add;
    int m_nVersionField = -1;
};

void ExamineRecords(Examination& exam, const std::string& db, Collector& add) {
    CDatabaseImp& imp = *exam.imp;
    const DatabaseHeader& header = imp.Header();
    const RecordLayout& layout = imp.Layout();
    imp.GetRecordCount(&exam.records);
    const long size = FileSize(db);
    // What an interrupted append leaves: no record, and the next append
    // writes over it (FORMAT.md).
    exam.partialOffset = layout.Offset(exam.records);
    if (size >= 0 && static_cast<uint64_t>(size) > exam.partialOffset) {
        exam.partialBytes = static_cast<uint64_t>(size) - exam.partialOffset;
        add.Add(Severity::kNote, "partial-record", db, "record " + std::to_string(exam.records),
                "a partial place of " + std::to_string(exam.partialBytes) +
                    " bytes at the end, left by an interrupted append (no record; the next "
                    "append writes over it)",
                "repair cuts it off", Mend::kCutPartial, static_cast<int64_t>(exam.partialOffset));
    }
    const int32_t current = header.currentRecord;
    if (current != -1 && (current < 0 || static_cast<uint32_t>(current) >= exam.records))
        add.Add(Severity::kDamage, "current-record", db, "header",
                "current record " + std::to_string(current) + ", but there are " +
                    std::to_string(exam.records) + " records",
                "repair sets it to -1 (none)", Mend::kClearCurrent, 24);
    if (header.openCount != 0)
        add.Add(Severity::kNote, "open-count", db, "header",
                "open count " + std::to_string(header.openCount) +
                    ", not 0: not closed cleanly, or open in a program now",
                "repair sets it to 0 (close the kit's programs first)", Mend::kZeroOpenCount, 36);
    RecordChecks checks(exam, db, add);
    imp.ReadRecords(0, exam.records, imp.Fields().RecordSize(), checks);
}

void ExamineIndex(Examination& exam, const std::string& idx, Collector& add) {
    const FieldTable& fields = exam.imp->Fields();
    exam.index = ScanIndex(idx, *exam.imp, KeyOffsetOf(fields));
    exam.indexPlan = PlanIndex(fields, exam.index);
    const IndexScan& scan = exam.index;
    const Mend make = exam.indexPlan.possible ? Mend::kMakeIndex : Mend::kNone;
    const std::string makeWords = exam.indexPlan.possible
                                      ? kMakeIndexWords
                                      : "repair cannot make it anew: " + exam.indexPlan.how;
    if (!scan.readable) {
        const char* kind = scan.state == IndexState::kMissing    ? "index-missing"
                           : scan.state == IndexState::kUnsealed ? "index-unsealed"
                                                                 : "index-header";
        add.Add(Severity::kDamage, kind, idx, "", scan.problems.front(), makeWords, make);
        return;
    }
    for (const std::string& problem : scan.problems) {
        size_t colon = problem.find(": ");
        const bool placed = problem.rfind("bucket ", 0) == 0 && colon != std::string::npos;
        add.Add(Severity::kDamage, "index-chain", idx, placed ? problem.substr(0, colon) : "",
                placed ? problem.substr(colon + 2) : problem, makeWords, make);
    }
    const IndexHeader& h = scan.header;
    if (exam.store) {
        const StoreLayout& layout = *exam.store->layout;
        if (h.bucketCount != kStoreBuckets || h.keyType != kFieldText ||
            (h.keyLength != layout.createKeyLength && h.keyLength != layout.rebuildKeyLength))
            add.Add(Severity::kNote, "index-parameters", idx, "header",
                    std::to_string(h.bucketCount) + " buckets, key type " +
                        std::to_string(h.keyType) + ", key length " + std::to_string(h.keyLength) +
                        "; the " + exam.store->name +
                        " store's has 101 buckets, key type 2, key "
                        "length " +
                        std::to_string(layout.rebuildKeyLength),
                    "repair makes it anew with the store's", make);
    }
    if (KeyOffsetOf(fields) < 0)
        add.Add(Severity::kNote, "index-keys", idx, "", "no Description field: keys not compared",
                "nothing to repair");
    else if (scan.keys < exam.readable)
        add.Add(Severity::kNote, "index-keys", idx, "",
                std::to_string(exam.readable - scan.keys) + " records have no key in the index",
                "repair makes the index anew with every key (so does rebuild-index)", make);
    if (h.openCount != 0)
        add.Add(Severity::kNote, "index-open-count", idx, "header",
                "open count " + std::to_string(h.openCount) +
                    ", not 0: not closed cleanly, or open in a program now",
                "repair sets it to 0 (close the kit's programs first)", Mend::kZeroIndexOpenCount,
                32);
}

const char* SeverityWord(Severity severity) {
    return severity == Severity::kDamage ? "damaged" : "note";
}

}  // namespace

int Examination::Damage() const {
    int damage = 0;
    for (const Finding& finding : findings) damage += finding.severity == Severity::kDamage;
    return damage;
}

bool Examination::Needs(Mend mend) const {
    for (const Finding& finding : findings)
        if (finding.mend == mend) return true;
    return false;
}

int Examination::ExitCode() const {
    if (!imp) return files.Interrupted() && !files.hasDb ? kExitDamaged : kExitFailed;
    return Damage() ? kExitDamaged : kExitOk;
}

Examination Examine(const std::string& name) {
    Examination exam;
    exam.name = name;
    exam.files = CarryOverFiles::Of(name);
    Collector add(exam);
    const std::string db = name + ".db";
    exam.imp = CDatabaseImp::New();
    if (!exam.imp || db.size() >= kPathSize || exam.imp->OpenReadOnly(db.c_str(), 0) != DB_OK) {
        exam.imp.reset();
        exam.whyNot = WhyNotOpened(db, &exam.code);
        ExamineCarryOver(exam, add);
        return exam;
    }
    exam.store = StoreOf(exam.imp->Fields());
    exam.family = StoreFamilyOf(exam.imp->Fields());
    ExamineCarryOver(exam, add);
    ExamineFields(exam, db, add);
    ExamineRecords(exam, db, add);
    ExamineIndex(exam, name + ".idx", add);
    return exam;
}

void PrintReport(const Examination& exam, bool findingsOnly) {
    if (!findingsOnly && exam.imp) {
        const FieldTable& fields = exam.imp->Fields();
        std::printf(
            "%s.db: record version %" PRIu32 ", %" PRIu32 " fields, %" PRIu32 " records%s%s\n",
            exam.name.c_str(), fields.RecordVersion(), fields.Count(), exam.records,
            exam.store ? ", the layout of the store: " : "", exam.store ? exam.store->name : "");
        if (exam.index.readable)
            std::printf("%s.idx: %" PRIu32 " buckets, %" PRIu32 " keys, longest chain %" PRIu32
                        "\n",
                        exam.name.c_str(), exam.index.header.bucketCount, exam.index.keys,
                        exam.index.longestChain);
    }
    if (!exam.imp)
        std::fprintf(stderr, "kitdb: %s.db: %s (code %d)\n", exam.name.c_str(), exam.whyNot.c_str(),
                     exam.code);
    for (const Finding& finding : exam.findings)
        std::printf("%s: %s: %s%s%s; %s\n", SeverityWord(finding.severity), finding.file.c_str(),
                    finding.place.c_str(), finding.place.empty() ? "" : ": ",
                    finding.problem.c_str(), finding.repair.c_str());
    const int code = exam.ExitCode();
    if (code == kExitOk)
        std::printf("result: clean\n");
    else if (code == kExitDamaged)
        std::printf("result: damaged (%d problems)\n", exam.Damage());
    else
        std::printf("result: unusable\n");
}

void PrintJsonReport(const Examination& exam) {
    JsonWriter json;
    json.Object().Text("database", exam.name);
    if (exam.imp) {
        const FieldTable& fields = exam.imp->Fields();
        json.Text("store", exam.store ? exam.store->name : "")
            .Number("recordVersion", fields.RecordVersion())
            .Number("fields", fields.Count())
            .Number("records", exam.records);
        if (exam.index.readable)
            json.Object("index")
                .Number("buckets", exam.index.header.bucketCount)
                .Number("keys", exam.index.keys)
                .Number("longestChain", exam.index.longestChain)
                .End();
    } else {
        json.Text("unusable", exam.whyNot).Number("code", exam.code);
    }
    json.Array("findings");
    for (const Finding& finding : exam.findings) {
        json.Object()
            .Text("severity", finding.severity == Severity::kDamage ? "damage" : "note")
            .Text("kind", finding.kind)
            .Text("file", finding.file)
            .Text("place", finding.place);
        if (finding.offset >= 0) json.Number("offset", finding.offset);
        json.Text("problem", finding.problem).Text("repair", finding.repair).End();
    }
    const int code = exam.ExitCode();
    json.End()
        .Number("damage", exam.Damage())
        .Text("result", code == kExitOk        ? "clean"
                        : code == kExitDamaged ? "damaged"
                                               : "unusable")
        .Number("exitCode", code)
        .End()
        .Print(stdout);
}
