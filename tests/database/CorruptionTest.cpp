// Small valid .db and .idx files damaged at every byte offset, cut there and
// with bits flipped there, then opened, read record by record, exported,
// imported elsewhere and re-indexed: no crash, no sanitizer report, every
// failure a code. Under Wine a sample of the offsets is taken.
#include <gtest/gtest.h>

#include <set>

#include "database/CDatabaseIndex.h"
#include "tests/database/DatabaseTesting.h"

namespace {

#ifdef _WIN32
constexpr size_t kStride = 7;
#else
constexpr size_t kStride = 1;
#endif

const std::set<int> kDbErrors = {0, 1, 2, 3, 4, 5, 6, 7, 13, 14, 16, 17, 18};

bool IsDatabaseResult(int result) {
    if (result == -65536) return true;
    if (result <= -257) return result >= -267;  // index codes 2 to 11
    return kDbErrors.count(-result - (result < 0 ? 1 : 0)) != 0;
}

class CorruptionTest : public DatabaseTest {
protected:
    void SetUp() override {
        std::vector<SampleRecord> records(4);
        const char* names[] = {"alpha", "beta", "alpha", "delta"};
        for (size_t i = 0; i < records.size(); ++i) {
            records[i].name = names[i];
            records[i].id = static_cast<int32_t>(i) - 1;
        }
        MakeSampleDatabase(Name("good"), records);
        CDatabase database;
        ASSERT_EQ(database.OpenDatabase(Name("good").c_str(), 7), 0);
        ASSERT_EQ(database.RebuildIndex(kFieldText, 4, 12, 3), 0);
        database.CloseDatabase();
        database.ReleaseIndex();
        std::string db = ReadBytes(Name("good") + ".db");
        PutU32(db, 24, 2);  // a current record
        goodDb = db;
        goodIdx = ReadBytes(Name("good") + ".idx");
        ASSERT_GT(U32At(goodIdx, 28), 0u) << "the index has chains";
        log.Take();
    }

    // Everything a reader and the stores do with a pair of files.
    void Exercise(const std::string& db, const std::string& idx) {
        WriteBytes(Name() + ".db", db);
        WriteBytes(Name() + ".idx", idx);
        ReadEveryRecord(db.size());
        CDatabase database;
        int opened = database.OpenDatabase(Name().c_str(), 0);
        EXPECT_TRUE(IsDatabaseResult(opened)) << opened;
        TestRecord record(kSampleSize);
        EXPECT_TRUE(IsDatabaseResult(database.GetCurrentRecord(record)));
        DatabaseInfo info;
        EXPECT_TRUE(IsDatabaseResult(database.GetDatabaseInfo(info)));
        int rebuilt = database.RebuildIndex(kFieldText, 4, 12, 3);
        EXPECT_TRUE(IsDatabaseResult(rebuilt)) << rebuilt;
        if (opened == 0) EXPECT_EQ(rebuilt, 0) << "an open database can always be re-indexed";
        InsertInto(idx);
        log.Take();
    }

    void ReadEveryRecord(size_t fileSize) {
        std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
        DBError opened = imp->OpenDatabase((Name() + ".db").c_str(), 0);
        EXPECT_EQ(kDbErrors.count(opened), 1u) << opened;
        uint32_t count = 0;
        if (imp->GetRecordCount(&count) == DB_OK) {
            EXPECT_LE(count, fileSize / 13);
            for (uint32_t n = 0; n <= count; ++n) {
                std::vector<unsigned char> buffer(imp->Fields().RecordSize());
                DBError read =
                    imp->ReadRecord(n, buffer.data(), static_cast<uint32_t>(buffer.size()));
                EXPECT_EQ(kDbErrors.count(read), 1u) << read;
            }
        }
        int32_t current = 0;
        EXPECT_EQ(kDbErrors.count(imp->GetCurrentRecordNumber(&current)), 1u);
        std::string text = Name() + ".txt";
        DBError exported = imp->ExportDatabase(text.c_str());
        EXPECT_TRUE(exported == DB_OK || exported == DB_NOT_OPEN) << exported;
        if (exported == DB_OK) {
            auto target = CreateDbFile(Name("target") + ".db", SampleTable(), {});
            DBError imported = target->ImportRecords(text.c_str());
            EXPECT_TRUE(imported == DB_OK || imported == DB_TEXT_ENDS_EARLY) << imported;
            uint32_t number = 0;
            std::vector<unsigned char> bytes = SampleRecord{}.Bytes();
            EXPECT_EQ(kDbErrors.count(imp->AddRecord(&number, bytes.data(), kSampleSize)), 1u);
        }
    }

    void InsertInto(const std::string& idx) {
        WriteBytes(Name() + ".idx", idx);
        auto index = CDatabaseIndex::New();
        IndexCode opened = index->OpenIndex((Name() + ".idx").c_str());
        EXPECT_TRUE(opened == INDEX_OK || opened == INDEX_BAD_HEADER ||
                    opened == INDEX_WRONG_VERSION)
            << opened;
        for (const char* key : {"alpha", "", "a much longer key than fits"}) {
            IndexCode code = index->InsertKey(key, 9);
            EXPECT_TRUE(code == INDEX_OK || code == INDEX_BAD_PARAMETER || code == INDEX_NOT_OPEN)
                << code;
        }
    }

    std::string goodDb, goodIdx;
};

TEST_F(CorruptionTest, EveryByteOfTheDataFile) {
    Exercise(goodDb, goodIdx);
    for (size_t offset = 0; offset < goodDb.size(); offset += kStride) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        Exercise(goodDb.substr(0, offset), goodIdx);
        for (unsigned char flip : {0xFF, 0x80, 0x01}) {
            std::string damaged = goodDb;
            damaged[offset] = static_cast<char>(damaged[offset] ^ flip);
            Exercise(damaged, goodIdx);
        }
        if (HasFailure()) return;
    }
}

TEST_F(CorruptionTest, EveryByteOfTheIndexFile) {
    for (size_t offset = 0; offset < goodIdx.size(); offset += kStride) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        Exercise(goodDb, goodIdx.substr(0, offset));
        for (unsigned char flip : {0xFF, 0x80, 0x01}) {
            std::string damaged = goodIdx;
            damaged[offset] = static_cast<char>(damaged[offset] ^ flip);
            Exercise(goodDb, damaged);
        }
        if (HasFailure()) return;
    }
}

}  // namespace
