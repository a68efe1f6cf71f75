// CDatabase: its codes, its messages, the index rebuild and the attachments.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "database/CDatabaseIndex.h"
#include "database/DatabaseLock.h"
#include "database/OpenTables.h"
#include "tests/database/DatabaseTesting.h"

namespace {

class DatabaseEngineTest : public DatabaseTest {
protected:
    std::string N() const { return Name(); }
    uint32_t OpenCount(const char* extension, size_t offset) {
        return U32At(ReadBytes(N() + extension), offset);
    }
};

TEST_F(DatabaseEngineTest, OpenTracesEveryStep) {
    MakeSampleDatabase(N(), {});
    log.Take();
    CDatabase database;
    ASSERT_EQ(database.OpenDatabase(N().c_str(), 7), 0);
    EXPECT_EQ(
        Lines(),
        (std::vector<std::string>{
            "10|CDatabase::OpenDatabase(): Database: " + N() + " RecordVersion: 7\n",
            "8|CDatabase::DBOpen(): Database: " + N() + "\n", "10|CDatabaseImp::OpenDatabase(): \n",
            "20|CDatabaseImp::OpenDatabase(): \n", "20|CDatabase::OpenDatabase(): \n"}));
    EXPECT_EQ(OpenCount(".db", 36), 1u);
    EXPECT_EQ(OpenCount(".idx", 32), 1u);
    database.CloseDatabase();
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{"256|CDatabase::CloseDatabase(): Database: " + N() + "\n",
                                        "10|CDatabaseImp::CloseDatabase\n"}));
    EXPECT_EQ(OpenCount(".db", 36), 0u);
    EXPECT_EQ(OpenCount(".idx", 32), 1u) << "CloseDatabase leaves the index attached";
    database.ReleaseIndex();
    EXPECT_EQ(OpenCount(".idx", 32), 0u);
    EXPECT_TRUE(Lines().empty()) << "ReleaseIndex logs nothing";
}

TEST_F(DatabaseEngineTest, FailedOpensLeaveNothingOpen) {
    CDatabase database;
    EXPECT_EQ(database.OpenDatabase(N().c_str(), 0), -3) << "no .db file";
    MakeSampleDatabase(N(), {});
    EXPECT_EQ(database.OpenDatabase(N().c_str(), 57), -15);
    EXPECT_EQ(database.GetRecordCount(), -18) << "the refused CDatabaseImp is not open";
    EXPECT_EQ(OpenCount(".db", 36), 0u);

    RemoveFile(N() + ".idx");
    EXPECT_EQ(database.OpenDatabase(N().c_str(), 7), -258);
    EXPECT_EQ(database.GetRecordCount(), -18) << "nothing stays attached";
    EXPECT_EQ(OpenCount(".db", 36), 0u);
    EXPECT_EQ(TheOpenDatabaseTable().References((N() + ".db").c_str()), 0u);

    WriteBytes(N() + ".idx", std::string(36, 'x'));
    EXPECT_EQ(database.OpenDatabase(N().c_str(), 7), -265) << "index magic";
    EXPECT_EQ(database.GetRecordCount(), -18);
}

// A reader's open checks as the writer's does, refuses every write and
// leaves the file byte for byte, the open count included.
TEST_F(DatabaseEngineTest, ReadOnlyOpenWritesNothing) {
    SampleRecord record;
    record.name = "one";
    MakeSampleDatabase(N(), {record});
    const std::string path = N() + ".db";
    const std::string before = ReadBytes(path);
    std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
    EXPECT_EQ(imp->OpenReadOnly(path.c_str(), 8), DB_WRONG_RECORD_VERSION);
    ASSERT_EQ(imp->OpenReadOnly(path.c_str(), 7), DB_OK);
    EXPECT_EQ(ReadAll(*imp), std::vector<std::vector<unsigned char>>{record.Bytes()});
    uint32_t number = 0;
    EXPECT_EQ(imp->AddRecord(&number, record.Bytes().data(), kSampleSize), DB_WRITE_FAILED);
    EXPECT_EQ(imp->SetCurrentRecord(0), DB_WRITE_FAILED);
    EXPECT_EQ(imp->WriteHeader(), DB_WRITE_FAILED);
    EXPECT_EQ(imp->CloseDatabase(), DB_OK);
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(DatabaseEngineTest, NamesHaveRoomFor507Characters) {
    CDatabase database;
    FieldTable table = SampleTable();
    std::string tooLong = N() + "/" + std::string(508 - N().size() - 1, 'n');
    ASSERT_EQ(tooLong.size(), 508u);
    EXPECT_EQ(database.OpenDatabase(tooLong.c_str(), 0), -3);
    EXPECT_EQ(database.CreateDatabase(tooLong.c_str(), table, kFieldText, 12, 5), -4);
    EXPECT_EQ(database.DBOpen(std::string(512, 'p').c_str(), 0), DB_OPEN_FAILED);
#ifndef _WIN32
    // Windows paths stop at 260 characters; the engine itself takes 507.
    std::string deep = dir.Path();
    while (deep.size() < 507 - 100) {
        deep += "/" + std::string(90, 'd');
        std::filesystem::create_directory(deep);
    }
    deep += "/" + std::string(507 - deep.size() - 1, 'x');
    ASSERT_EQ(deep.size(), 507u);
    EXPECT_EQ(database.CreateDatabase(deep.c_str(), table, kFieldText, 12, 5), 0);
    EXPECT_STREQ(database.Name(), deep.c_str());
    EXPECT_TRUE(Exists(deep + ".idx"));
    EXPECT_TRUE(Exists(deep + ".h00"));
#endif
}

TEST_F(DatabaseEngineTest, CurrentRecordAndInfo) {
    SampleRecord record;
    record.name = "current";
    record.id = -5;
    MakeSampleDatabase(N(), {SampleRecord{}, record});
    CDatabase database;
    ASSERT_EQ(database.OpenDatabase(N().c_str(), 7), 0);
    TestRecord read(kSampleSize);
    log.Take();
    EXPECT_EQ(database.GetCurrentRecord(read), -6) << "current record -1";
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "256|CDatabase::GetCurrentRecord(): Database: " + N() + "\n",
                           "10|CDatabaseImp::ReadRecord(): \n",
                           "1|CDatabaseImp::ReadRecord(): Invalid record number: 4294967295\n"}));

    std::string db = ReadBytes(N() + ".db");
    PutU32(db, 24, 1);
    WriteBytes(N() + ".db", db);
    ASSERT_EQ(database.GetCurrentRecord(read), 0) << "the header is read afresh";
    EXPECT_EQ(read.Bytes(), record.Bytes());
    TestRecord small(kSampleSize - 1);
    EXPECT_EQ(database.GetCurrentRecord(small), -7);
    DatabaseRecord none;
    EXPECT_EQ(database.GetCurrentRecord(none), -7);

    DatabaseInfo info;
    ASSERT_EQ(database.GetDatabaseInfo(info), 0);
    EXPECT_EQ(info.databaseVersion, 52u);
    EXPECT_EQ(info.recordVersion, 7u);
    EXPECT_EQ(info.recordSize, 32u);
    EXPECT_EQ(info.currentRecord, 1);
    EXPECT_EQ(info.recordCount, 2u);
    EXPECT_EQ(info.openCount, 1);
    EXPECT_EQ(info.privateSize, 0u);
    EXPECT_EQ(database.GetRecordCount(), 2);
}

TEST_F(DatabaseEngineTest, WithoutADatabaseEveryOperationSaysSo) {
    CDatabase database;
    TestRecord record(kSampleSize);
    DatabaseInfo info;
    EXPECT_EQ(database.GetCurrentRecord(record), -18);
    EXPECT_EQ(database.GetRecordCount(), -18);
    EXPECT_EQ(database.GetDatabaseInfo(info), -18);
    EXPECT_EQ(database.ExportDatabase(dir.File("out.txt").c_str()), -18);
    EXPECT_EQ(database.ImportRecords(dir.File("out.txt").c_str()), -18);
    EXPECT_EQ(database.RebuildIndex(kFieldText, 4, 12, 5), -18);
    const uint32_t one = 1;
    EXPECT_EQ(database.WriteAttachment(0, &one, 4, 0), -4113) << "no name to form the file's";
    EXPECT_FALSE(Exists(dir.File("out.txt")));

    // A CDatabaseImp left attached by a refused open is not open either.
    MakeSampleDatabase(N(), {SampleRecord{}});
    ASSERT_EQ(database.OpenDatabase(N().c_str(), 8), -15);
    const std::string before = ReadBytes(N() + ".idx");
    EXPECT_EQ(database.RebuildIndex(kFieldText, 4, 12, 5), -18);
    EXPECT_EQ(ReadBytes(N() + ".idx"), before) << "the index is left alone";
}

TEST_F(DatabaseEngineTest, AttachmentsAreWrittenAnew) {
    MakeSampleDatabase(N(), {});
    CDatabase database;
    ASSERT_EQ(database.OpenDatabase(N().c_str(), 0), 0);
    ASSERT_EQ(database.WriteAttachment(7, "xyz", 3, 0xABCD), 0);
    EXPECT_EQ(
        ReadBytes(N() + ".h07"),
        std::string("\x65\x5F\x4F\x3F\x0B\0\0\0\xCD\xAB\0\0\x03\0\0\0\0\0\0\0\x07\0\0\0xyz", 27));
    ASSERT_EQ(database.WriteAttachment(7, "", 0, 1), 0);
    EXPECT_EQ(ReadBytes(N() + ".h07").size(), 24u);
    EXPECT_EQ(database.WriteAttachment(8, nullptr, 3, 0), 0);
    EXPECT_FALSE(Exists(N() + ".h08"));
    EXPECT_EQ(database.WriteAttachment(100, "x", 1, 0), -4113);
    EXPECT_FALSE(Exists(N() + ".h100"));
}

// The index RebuildIndex leaves is the one InsertKey would build record by
// record: unreadable records are passed over, keys are cut.
TEST_F(DatabaseEngineTest, RebuildIndexInsertsEveryReadableRecord) {
    std::vector<SampleRecord> records(40);
    for (size_t i = 0; i < records.size(); ++i)
        records[i].name = "key" + std::to_string(i % 13) + "-long-name";
    records[3].name = "";
    MakeSampleDatabase(N(), records);
    std::string db = ReadBytes(N() + ".db");
    const size_t start = 44 + 118 * kSampleFields;
    db[start + 5 * 44 + 8] = 1;     // removed
    PutU32(db, start + 6 * 44, 0);  // bad magic
    WriteBytes(N() + ".db", db);

    CDatabase database;
    ASSERT_EQ(database.OpenDatabase(N().c_str(), 7), 0);
    log.Take();
    ASSERT_EQ(database.RebuildIndex(kFieldText, 4, 6, 11), 0);
    std::vector<std::string> lines = Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "256|CDatabase::RebuildIndex(): Database: " + N() + "\n");
    database.ReleaseIndex();

    auto expected = CDatabaseIndex::New();
    ASSERT_EQ(expected->CreateIndex(dir.File("expected.idx").c_str(), kFieldText, 6, 11), INDEX_OK);
    for (size_t i = 0; i < records.size(); ++i) {
        if (i == 5 || i == 6) continue;
        ASSERT_EQ(expected->InsertKey(records[i].name.c_str(), static_cast<int32_t>(i)), INDEX_OK);
    }
    expected.reset();
    std::string rebuilt = ReadBytes(N() + ".idx");
    EXPECT_EQ(rebuilt, ReadBytes(dir.File("expected.idx")));
    EXPECT_EQ(U32At(rebuilt, 28), (rebuilt.size() - 36) / 15 - 11) << "overflow count";
    EXPECT_GT(U32At(rebuilt, 28), 20u);

    // Keys of another type are not inserted; the index is still made anew.
    ASSERT_EQ(database.OpenDatabase(N().c_str(), 7), 0);
    ASSERT_EQ(database.RebuildIndex(kFieldBytes, 4, 6, 3), 0);
    database.ReleaseIndex();
    EXPECT_EQ(ReadBytes(N() + ".idx").size(), 36u + 3 * 15);

    // A key offset at or past the record's end gives the empty key.
    ASSERT_EQ(database.OpenDatabase(N().c_str(), 7), 0);
    ASSERT_EQ(database.RebuildIndex(kFieldText, 30, 6, 3), 0);
    database.ReleaseIndex();
    EXPECT_EQ(U32At(ReadBytes(N() + ".idx"), 36), 39u) << "record 39 heads bucket 0";
}

TEST_F(DatabaseEngineTest, TheLockLivesWithItsUsers) {
    const unsigned before = DatabaseLock::Users();
    {
        MakeSampleDatabase(N(), {});
        CDatabase a;
        ASSERT_EQ(a.OpenDatabase(N().c_str(), 0), 0);
        EXPECT_EQ(DatabaseLock::Users(), before + 2) << "one CDatabaseImp, one CDatabaseIndex";
        CDatabase b;
        ASSERT_EQ(b.OpenDatabase(N().c_str(), 0), 0);
        EXPECT_EQ(DatabaseLock::Users(), before + 2) << "shared, not made again";
    }
    EXPECT_EQ(DatabaseLock::Users(), before);
}

}  // namespace
