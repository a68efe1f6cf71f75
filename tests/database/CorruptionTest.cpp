// Small valid .db and .idx files damaged at every byte offset, cut there and
// with bits flipped there, then opened, read record by record, exported,
// imported elsewhere and re-indexed: no crash, no sanitizer report, every
// failure a code. Under Wine a sample of the offsets is taken.
#include <gtest/gtest.h>

#include "tests/database/DatabaseExercise.h"
#include "tests/database/DatabaseTesting.h"

namespace {

// Natively every offset with three bit patterns; under Wine, where each
// exercise costs a hundred times more, every 13th offset inverted.
#ifdef _WIN32
constexpr size_t kStride = 13;
constexpr unsigned char kFlips[] = {0xFF};
#else
constexpr size_t kStride = 1;
constexpr unsigned char kFlips[] = {0xFF, 0x80, 0x01};
#endif

// Every result must be one the engine gives at that step.
class ExpectedResults : public ExerciseReport {
public:
    void Result(const char* step, long result, bool expected) override {
        EXPECT_TRUE(expected) << step << ": " << result;
    }
};

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

    void Exercise(const std::string& db, const std::string& idx) {
        ExpectedResults expected;
        ExerciseDatabaseFiles(Name(), db, idx, expected);
        log.Take();
    }

    std::string goodDb, goodIdx;
};

TEST_F(CorruptionTest, EveryByteOfTheDataFile) {
    Exercise(goodDb, goodIdx);
    for (size_t offset = 0; offset < goodDb.size(); offset += kStride) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        Exercise(goodDb.substr(0, offset), goodIdx);
        for (unsigned char flip : kFlips) {
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
        for (unsigned char flip : kFlips) {
            std::string damaged = goodIdx;
            damaged[offset] = static_cast<char>(damaged[offset] ^ flip);
            Exercise(goodDb, damaged);
        }
        if (HasFailure()) return;
    }
}

}  // namespace
