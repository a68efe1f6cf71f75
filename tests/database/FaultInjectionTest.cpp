// Writes that fail or come short, injected through the file seam at every
// write of an append, a header write, a creation, an export, an index
// insertion and a rebuild: each is reported, and nothing is left in the
// files that the engine reported as not written.
#include <gtest/gtest.h>

#include <functional>

#include "database/CDatabaseFile.h"
#include "database/CDatabaseIndex.h"
#include "database/LocationDatabase.h"
#include "tests/database/DatabaseTesting.h"
#include "tests/database/StoreTesting.h"

namespace {

class FaultPlan;

// A plain file whose positioned writes the plan may fail or cut short.
class FaultyFile : public CDatabaseFile {
public:
    explicit FaultyFile(FaultPlan& plan) : m_Plan(plan) {}
    int Open(const char* path, unsigned mode) override;
    bool WriteAt(uint64_t offset, const void* buffer, uint32_t count) override;
    unsigned long Write(const void* buffer, unsigned long count) override;

private:
    FaultPlan& m_Plan;
};

class FaultPlan : public DatabaseFileFactory {
public:
    enum Fault { kNone, kFail, kShort };

    FaultPlan() { SetDatabaseFileFactory(this); }
    ~FaultPlan() { SetDatabaseFileFactory(nullptr); }

    std::unique_ptr<CDatabaseFile> Make() override { return std::make_unique<FaultyFile>(*this); }
    // Renames and removals count as writes; a faulty one fails.
    bool Rename(const char* from, const char* to) override {
        return !Faulty() && DatabaseFileFactory::Rename(from, to);
    }
    bool Remove(const char* path) override {
        return !Faulty() && DatabaseFileFactory::Remove(path);
    }

    // Counts writes from now on; the call-th one (1 = the next) gets the fault.
    void Arm(int call, Fault fault) {
        m_nWrites = 0;
        m_nCall = call;
        m_Fault = fault;
    }
    int Writes() const { return m_nWrites; }
    // The mode of the last open of a path.
    unsigned ModeOf(const std::string& path) const { return m_Modes.at(path); }

private:
    friend class FaultyFile;
    bool Faulty() { return ++m_nWrites == m_nCall && m_Fault != kNone; }

    int m_nWrites = 0;
    int m_nCall = 0;
    Fault m_Fault = kNone;
    std::map<std::string, unsigned> m_Modes;
};

int FaultyFile::Open(const char* path, unsigned mode) {
    m_Plan.m_Modes[path] = mode;
    return CDatabaseFile::Open(path, mode);
}

bool FaultyFile::WriteAt(uint64_t offset, const void* buffer, uint32_t count) {
    if (++m_Plan.m_nWrites != m_Plan.m_nCall || m_Plan.m_Fault == FaultPlan::kNone)
        return CDatabaseFile::WriteAt(offset, buffer, count);
    if (m_Plan.m_Fault == FaultPlan::kShort && count > 1)
        CDatabaseFile::WriteAt(offset, buffer, count / 2);
    return false;
}

unsigned long FaultyFile::Write(const void* buffer, unsigned long count) {
    if (++m_Plan.m_nWrites != m_Plan.m_nCall || m_Plan.m_Fault == FaultPlan::kNone)
        return CDatabaseFile::Write(buffer, count);
    return m_Plan.m_Fault == FaultPlan::kShort ? CDatabaseFile::Write(buffer, count / 2) : 0;
}

class FaultInjectionTest : public DatabaseTest {
protected:
    // Runs setup and then op once without faults to count op's writes, and
    // again for every write and both faults, with check after each run.
    void ForEachWrite(const std::function<void()>& setup, const std::function<void()>& op,
                      const std::function<void(int call)>& check, int atLeast) {
        setup();
        plan.Arm(0, FaultPlan::kNone);
        op();
        int writes = plan.Writes();
        ASSERT_GE(writes, atLeast);
        for (FaultPlan::Fault fault : {FaultPlan::kFail, FaultPlan::kShort}) {
            for (int call = 1; call <= writes; ++call) {
                SCOPED_TRACE("write " + std::to_string(call) +
                             (fault == FaultPlan::kFail ? " fails" : " comes short"));
                setup();
                plan.Arm(call, fault);
                op();
                check(call);
            }
        }
    }

    FaultPlan plan;
};

TEST_F(FaultInjectionTest, AFailedAppendLeavesNoRecordBehind) {
    std::unique_ptr<CDatabaseImp> imp;
    std::string before;
    SampleRecord added;
    added.name = "added";
    const std::vector<unsigned char> bytes = added.Bytes();
    DBError result = DB_OK;
    ForEachWrite(
        [&] {
            imp.reset();
            MakeSampleDatabase(Name(), {SampleRecord{}, SampleRecord{}});
            before = ReadBytes(Name() + ".db");
            imp = CDatabaseImp::New();
            ASSERT_EQ(imp->OpenDatabase((Name() + ".db").c_str(), 7), DB_OK);
        },
        [&] {
            uint32_t number = 0;
            result = imp->AddRecord(&number, bytes.data(), kSampleSize);
        },
        [&](int) {
            EXPECT_EQ(result, DB_WRITE_FAILED);
            uint32_t count = 0;
            imp->GetRecordCount(&count);
            EXPECT_EQ(count, 2u);
            EXPECT_EQ(ReadBytes(Name() + ".db").size(), before.size());
            plan.Arm(0, FaultPlan::kNone);
            uint32_t number = 0;
            ASSERT_EQ(imp->AddRecord(&number, bytes.data(), kSampleSize), DB_OK);
            EXPECT_EQ(number, 2u);
            EXPECT_EQ(ReadAll(*imp).back(), bytes);
        },
        1);
}

TEST_F(FaultInjectionTest, CreationReportsEachFileItCouldNotWrite) {
    int result = 0;
    std::unique_ptr<CDatabase> database;
    ForEachWrite(
        [&] {
            database.reset();
            RemoveFile(Name() + ".db");
        },
        [&] {
            database = std::make_unique<CDatabase>();
            FieldTable table = SampleTable();
            result = database->CreateDatabase(Name().c_str(), table, kFieldText, 12, 5);
        },
        [&](int call) {
            // .db header, descriptors, header; attachment header, data;
            // .idx header, bucket heads.
            const int expected = call <= 3 ? -19 : call <= 5 ? -4113 : -267;
            EXPECT_EQ(result, expected);
            EXPECT_EQ(database->GetRecordCount(), expected == -4113 ? 0 : -18)
                << "a failed attachment leaves the new database open";
        },
        7);
}

TEST_F(FaultInjectionTest, OpenCountsThatCannotBeWrittenFailTheOpen) {
    int result = 0;
    std::unique_ptr<CDatabase> database;
    ForEachWrite(
        [&] {
            database.reset();
            MakeSampleDatabase(Name(), {SampleRecord{}});
        },
        [&] {
            database = std::make_unique<CDatabase>();
            result = database->OpenDatabase(Name().c_str(), 7);
        },
        [&](int call) {
            EXPECT_EQ(result, call == 1 ? -19 : -267);
            EXPECT_EQ(database->GetRecordCount(), -18);
            EXPECT_EQ(U32At(ReadBytes(Name() + ".db"), 36), 0u);
            EXPECT_EQ(U32At(ReadBytes(Name() + ".idx"), 32), 0u);
        },
        2);
}

TEST_F(FaultInjectionTest, AnExportThatCannotBeWrittenIsNoExport) {
    std::vector<SampleRecord> records(1500);
    for (size_t i = 0; i < records.size(); ++i) records[i].name = "name" + std::to_string(i);
    MakeSampleDatabase(Name(), records);
    CDatabase database;
    ASSERT_EQ(database.OpenDatabase(Name().c_str(), 7), 0);
    const std::string text = dir.File("export.txt");
    ASSERT_EQ(database.ExportDatabase(text.c_str()), 0);
    const std::string complete = ReadBytes(text);
    int result = 0;
    ForEachWrite([&] { RemoveFile(text); }, [&] { result = database.ExportDatabase(text.c_str()); },
                 [&](int) {
                     EXPECT_EQ(result, -19);
                     EXPECT_LT(ReadBytes(text).size(), complete.size());
                 },
                 3);
}

// Records of 100,000 bytes, so that the import writes them two at a time.
TEST_F(FaultInjectionTest, ImportStopsAtTheFirstRecordNotWritten) {
    FieldTable table;
    table.Init(100000, 3);
    table.AddField("Version", "", kFieldLong, 1, 0);
    table.AddField("Name", "", kFieldText, 12, 4);
    table.AddField("Last", "", kFieldBytes, 1, 99999);
    std::vector<std::vector<unsigned char>> records(5, std::vector<unsigned char>(100000));
    for (size_t i = 0; i < records.size(); ++i) records[i][4] = static_cast<unsigned char>('a' + i);
    std::unique_ptr<CDatabaseImp> source = CreateDbFile(Name() + ".db", table, records);
    const std::string text = dir.File("export.txt");
    ASSERT_EQ(source->ExportDatabase(text.c_str()), DB_OK);
    std::string withCurrent = ReadBytes(text);
    withCurrent.replace(withCurrent.find("CURRENT_RECORD=-1"), 17, "CURRENT_RECORD=3");
    WriteBytes(text, withCurrent);
    EXPECT_EQ(plan.ModeOf(text), CDatabaseFile::kCreate);

    std::unique_ptr<CDatabaseImp> target;
    DBError result = DB_OK;
    ForEachWrite([&] { target = CreateDbFile(dir.File("target.db"), table, {}); },
                 [&] { result = target->ImportRecords(text.c_str()); },
                 [&](int call) {
                     EXPECT_EQ(result, DB_WRITE_FAILED);
                     // Writes: records 0 and 1, 2 and 3, then the current
                     // record once its record is on file, then 4.
                     const uint32_t written[] = {0, 2, 4, 4};
                     const int32_t current[] = {-1, -1, -1, 3};
                     uint32_t count = 0;
                     target->GetRecordCount(&count);
                     EXPECT_EQ(count, written[call - 1]);
                     EXPECT_EQ(ReadBytes(dir.File("target.db")).size(),
                               44 + 3 * 118 + written[call - 1] * 100012u);
                     int32_t number = 0;
                     target->GetCurrentRecordNumber(&number);
                     EXPECT_EQ(number, current[call - 1]);
                 },
                 4);
    // The text is only read.
    EXPECT_EQ(plan.ModeOf(text), CDatabaseFile::kReadOnly);
}

TEST_F(FaultInjectionTest, IndexWritesThatFailAreReported) {
    std::vector<SampleRecord> records(40);
    for (size_t i = 0; i < records.size(); ++i) records[i].name = "k" + std::to_string(i % 9);
    int result = 0;
    std::unique_ptr<CDatabase> database;
    ForEachWrite(
        [&] {
            database.reset();
            MakeSampleDatabase(Name(), records);
            database = std::make_unique<CDatabase>();
            ASSERT_EQ(database->OpenDatabase(Name().c_str(), 7), 0);
        },
        [&] { result = database->RebuildIndex(kFieldText, 4, 12, 5); },
        // The first write lowers the open count of the index being replaced.
        [&](int call) { EXPECT_EQ(result, call == 1 ? 0 : -267); }, 6);

    auto index = CDatabaseIndex::New();
    const std::string path = dir.File("keys.idx");
    IndexCode code = INDEX_OK;
    std::string before;
    ForEachWrite(
        [&] {
            ASSERT_EQ(index->CreateIndex(path.c_str(), kFieldText, 3, 7), INDEX_OK);
            ASSERT_EQ(index->InsertKey("abc", 0), INDEX_OK);
            before = ReadBytes(path);
        },
        [&] { code = index->InsertKey("abc", 1); },
        [&](int call) {
            EXPECT_EQ(code, INDEX_WRITE_FAILED);
            if (call < 3) {
                EXPECT_EQ(ReadBytes(path), before) << "the old head and size come back";
            }
        },
        3);
}

// A carry-over that fails at any of its writes loses nothing: the next open
// carries every record over.
TEST_F(FaultInjectionTest, ACarryOverThatFailsAnywhereLosesNothing) {
    CurrentDirectory here(dir.Path());
    const std::string name = Name("location");
    std::vector<std::vector<unsigned char>> reference;
    {
        OldLocation(60).Write(name);
        CLocationDatabase store;
        ASSERT_EQ(store.OpenDatabase(name.c_str(), 81), 0);
    }
    {
        std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
        ASSERT_EQ(imp->OpenDatabase((name + ".db").c_str(), 0), DB_OK);
        reference = ReadAll(*imp);
    }
    int result = 0;
    ForEachWrite(
        [&] {
            for (const char* file : {".db", ".idx", ".h00", ".old.db", ".new.db", ".new.idx"})
                RemoveFile(name + file);
            OldLocation(60).Write(name);
        },
        [&] {
            CLocationDatabase store;
            result = store.OpenDatabase(name.c_str(), 81);
        },
        [&](int) {
            plan.Arm(0, FaultPlan::kNone);
            CLocationDatabase store;
            ASSERT_EQ(store.OpenDatabase(name.c_str(), 81), 0) << "first open: " << result;
            store.CloseDatabase();
            std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
            ASSERT_EQ(imp->OpenDatabase((name + ".db").c_str(), 81), DB_OK);
            EXPECT_EQ(ReadAll(*imp), reference);
            EXPECT_FALSE(Exists(name + ".old.db"));
            EXPECT_FALSE(Exists(name + ".new.db"));
        },
        20);
}

}  // namespace
