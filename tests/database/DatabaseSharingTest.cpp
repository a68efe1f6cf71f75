// Several CDatabase objects naming the same files: one CDatabaseImp and one
// CDatabaseIndex, reference counts in the two process-wide tables, and the
// file's open counts.
#include <gtest/gtest.h>

#include <memory>

#include "database/OpenTables.h"
#include "tests/database/DatabaseTesting.h"

namespace {

class DatabaseSharingTest : public DatabaseTest {
protected:
    void SetUp() override { MakeSampleDatabase(Name(), {SampleRecord{}}); }

    uint32_t DbReferences() { return TheOpenDatabaseTable().References((Name() + ".db").c_str()); }
    uint32_t IdxReferences() { return TheOpenIndexTable().References((Name() + ".idx").c_str()); }
    uint32_t DbOpenCount() { return U32At(ReadBytes(Name() + ".db"), 36); }
    uint32_t IdxOpenCount() { return U32At(ReadBytes(Name() + ".idx"), 32); }
};

TEST_F(DatabaseSharingTest, SecondOpenerSharesTheOpenFiles) {
    CDatabase first, second;
    ASSERT_EQ(first.OpenDatabase(Name().c_str(), 7), 0);
    log.Take();
    ASSERT_EQ(second.OpenDatabase(Name().c_str(), 7), 0);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{
                  "10|CDatabase::OpenDatabase(): Database: " + Name() + " RecordVersion: 7\n",
                  "8|CDatabase::DBOpen(): Database: " + Name() + "\n", "16|CDatabase::DBOpen(): \n",
                  "20|CDatabase::OpenDatabase(): \n"}));
    EXPECT_EQ(DbOpenCount(), 1u);
    EXPECT_EQ(IdxOpenCount(), 1u);
    EXPECT_EQ(DbReferences(), 2u);
    EXPECT_EQ(IdxReferences(), 2u);

    first.CloseDatabase();
    EXPECT_EQ(DbOpenCount(), 1u) << "still open for the second";
    EXPECT_EQ(DbReferences(), 1u);
    EXPECT_EQ(second.GetRecordCount(), 1);
    second.CloseDatabase();
    EXPECT_EQ(DbOpenCount(), 0u);
    EXPECT_EQ(DbReferences(), 0u);
    EXPECT_EQ(IdxReferences(), 2u);
    first.ReleaseIndex();
    EXPECT_EQ(IdxOpenCount(), 1u);
    second.ReleaseIndex();
    EXPECT_EQ(IdxOpenCount(), 0u);
    EXPECT_EQ(IdxReferences(), 0u);
}

TEST_F(DatabaseSharingTest, AnotherVersionIsRefusedButHeldUntilClosed) {
    CDatabase first, second, third;
    ASSERT_EQ(first.OpenDatabase(Name().c_str(), 7), 0);
    EXPECT_EQ(second.OpenDatabase(Name().c_str(), 8), -15);
    EXPECT_EQ(DbReferences(), 2u) << "the refused opener keeps its reference";
    EXPECT_EQ(second.GetRecordCount(), 1) << "and the shared, open database";
    EXPECT_EQ(third.OpenDatabase(Name().c_str(), 0), 0) << "0 takes any version";
    second.CloseDatabase();
    EXPECT_EQ(DbReferences(), 2u);

    // The table keeps the version the first opener asked for, 0 included.
    first.CloseDatabase();
    third.CloseDatabase();
    ASSERT_EQ(first.OpenDatabase(Name().c_str(), 0), 0);
    EXPECT_EQ(second.OpenDatabase(Name().c_str(), 7), -15);
}

TEST_F(DatabaseSharingTest, CreationOfAnOpenNameChangesNothing) {
    CDatabase holder, creator;
    ASSERT_EQ(holder.OpenDatabase(Name().c_str(), 7), 0);
    const std::string db = ReadBytes(Name() + ".db");
    const std::string idx = ReadBytes(Name() + ".idx");
    FieldTable table = SampleTable();
    EXPECT_EQ(creator.CreateDatabase(Name().c_str(), table, kFieldText, 12, 5), -16);
    EXPECT_EQ(ReadBytes(Name() + ".db"), db);
    EXPECT_EQ(ReadBytes(Name() + ".idx"), idx);
    EXPECT_EQ(DbReferences(), 1u);
    EXPECT_EQ(IdxReferences(), 1u);
    EXPECT_EQ(creator.GetRecordCount(), -18);

    // With the .db closed but the index still held, the creation makes the
    // .db anew and stops at the index, which it may not replace.
    holder.CloseDatabase();
    EXPECT_EQ(creator.CreateDatabase(Name().c_str(), table, kFieldText, 12, 5), -266);
    EXPECT_EQ(creator.GetRecordCount(), -18);
    EXPECT_EQ(IdxReferences(), 1u);
    EXPECT_EQ(ReadBytes(Name() + ".idx"), idx);

    // A rebuild meets the same index held by another and keeps it attached.
    ASSERT_EQ(creator.OpenDatabase(Name().c_str(), 7), 0);
    EXPECT_EQ(IdxReferences(), 2u);
    EXPECT_EQ(creator.RebuildIndex(kFieldText, 4, 12, 5), -266);
    EXPECT_EQ(IdxReferences(), 2u);
}

TEST_F(DatabaseSharingTest, The51stDatabaseWorksUnshared) {
    std::vector<std::unique_ptr<CDatabase>> open;
    for (int i = 0; i < 51; ++i) {
        std::string name = dir.File("db" + std::to_string(i));
        MakeSampleDatabase(name, std::vector<SampleRecord>(static_cast<size_t>(i % 3)));
        open.push_back(std::make_unique<CDatabase>());
        ASSERT_EQ(open.back()->OpenDatabase(name.c_str(), 7), 0) << i;
    }
    std::string last = dir.File("db50");
    EXPECT_EQ(TheOpenDatabaseTable().References((dir.File("db49") + ".db").c_str()), 1u);
    EXPECT_EQ(TheOpenDatabaseTable().References((last + ".db").c_str()), 0u);
    EXPECT_EQ(TheOpenIndexTable().References((last + ".idx").c_str()), 0u);
    EXPECT_EQ(open.back()->GetRecordCount(), 2);

    // Not shared: a second opener gets an object of its own, and the file's
    // open count shows both.
    CDatabase again;
    ASSERT_EQ(again.OpenDatabase(last.c_str(), 7), 0);
    EXPECT_EQ(U32At(ReadBytes(last + ".db"), 36), 2u);
    again.CloseDatabase();
    EXPECT_EQ(U32At(ReadBytes(last + ".db"), 36), 1u);
    open.clear();
    EXPECT_EQ(U32At(ReadBytes(last + ".db"), 36), 0u);
    EXPECT_EQ(TheOpenDatabaseTable().References((dir.File("db0") + ".db").c_str()), 0u);
}

}  // namespace
