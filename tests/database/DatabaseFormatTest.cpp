// The bytes of the three files as the engine writes them, and the checks made
// when a .db or .idx file is opened or a record is read.
#include <gtest/gtest.h>

#include <cstring>

#include "database/CDatabaseIndex.h"
#include "tests/database/DatabaseTesting.h"

namespace {

class DatabaseFormatTest : public DatabaseTest {
protected:
    // Opens the .db file through a fresh CDatabaseImp.
    DBError OpenDb(uint32_t recordVersion = 0) {
        imp = CDatabaseImp::New();
        return imp->OpenDatabase((Name() + ".db").c_str(), recordVersion);
    }
    // Rewrites the sample .db file with a 32-bit value changed.
    void Patch(size_t offset, uint32_t value) {
        std::string bytes = ReadBytes(Name() + ".db");
        PutU32(bytes, offset, value);
        WriteBytes(Name() + ".db", bytes);
    }

    std::unique_ptr<CDatabaseImp> imp;
};

TEST_F(DatabaseFormatTest, CreationWritesHeaderDescriptorsIndexAndAttachment) {
    CDatabase database;
    FieldTable table = SampleTable();
    table.Descriptor(2)->flags = 0x55;
    ASSERT_EQ(database.CreateDatabase(Name().c_str(), table, kFieldText, 12, 5), 0);
    EXPECT_EQ(table.Descriptor(2)->flags, 0u) << "creation clears the caller's flags";

    std::string db = ReadBytes(Name() + ".db");
    ASSERT_EQ(db.size(), 44u + 118 * kSampleFields);
    const uint32_t header[] = {0x6773AE55, 0, 0, 52, 7, 32, 0xFFFFFFFF, 5, 0, 1, 0};
    for (size_t i = 0; i < 11; ++i) EXPECT_EQ(U32At(db, 4 * i), header[i]) << "field " << i;
    // Descriptor 1 ("Name", text of 12 at offset 4) at 44 + 118.
    EXPECT_EQ(U32At(db, 162 + 4), 2u);
    EXPECT_EQ(U32At(db, 162 + 8), 12u);
    EXPECT_EQ(U32At(db, 162 + 12), 4u);
    EXPECT_EQ(db.substr(162 + 20, 5), std::string("Name\0", 5));
    EXPECT_EQ(db.substr(44 + 53, 28), std::string("This field must always be 7\0", 28));

    std::string idx = ReadBytes(Name() + ".idx");
    ASSERT_EQ(idx.size(), 36u + 5 * 21);
    const uint32_t indexHeader[] = {0xDA6BF212, 47, 5, 2, 12, 21, 0, 0, 1};
    for (size_t i = 0; i < 9; ++i) EXPECT_EQ(U32At(idx, 4 * i), indexHeader[i]) << "field " << i;
    for (size_t slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(U32At(idx, 36 + slot * 21), 0xFFFFFFFFu);
        EXPECT_EQ(idx.substr(36 + slot * 21 + 4, 17), std::string(17, '\0'));
    }

    EXPECT_EQ(
        ReadBytes(Name() + ".h00"),
        std::string("\x65\x5F\x4F\x3F\x0B\0\0\0\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\x01\0\0\0", 28));
    EXPECT_EQ(database.GetRecordCount(), 0);
    database.CloseDatabase();
    EXPECT_EQ(U32At(ReadBytes(Name() + ".db"), 36), 0u) << "the close after creation";
    EXPECT_EQ(U32At(ReadBytes(Name() + ".idx"), 32), 1u) << "the index is still attached";
    database.ReleaseIndex();
    EXPECT_EQ(U32At(ReadBytes(Name() + ".idx"), 32), 0u);
}

TEST_F(DatabaseFormatTest, RecordsAreCountedFromTheFileSize) {
    SampleRecord first;
    first.name = "first";
    SampleRecord second;
    second.name = "second";
    MakeSampleDatabase(Name(), {first, second});
    std::string db = ReadBytes(Name() + ".db");
    const size_t start = 44 + 118 * kSampleFields;
    ASSERT_EQ(db.size(), start + 2 * 44);
    EXPECT_EQ(db.substr(start, 12), std::string("\xF2\x6E\x0D\x35\0\0\0\0\0\0\0\0", 12));
    EXPECT_EQ(db.substr(start + 44 + 12 + 4, 7), std::string("second\0", 7));

    // A place cut short does not count and cannot be read.
    WriteBytes(Name() + ".db", db.substr(0, db.size() - 5));
    ASSERT_EQ(OpenDb(), DB_OK);
    uint32_t count = 0;
    ASSERT_EQ(imp->GetRecordCount(&count), DB_OK);
    EXPECT_EQ(count, 1u);
    std::vector<unsigned char> buffer(kSampleSize);
    EXPECT_EQ(imp->ReadRecord(1, buffer.data(), kSampleSize), DB_BAD_RECORD_NUMBER);

    // The next append takes that place whole, over what was left of it.
    uint32_t number = 0;
    std::vector<unsigned char> third = SampleRecord{}.Bytes();
    ASSERT_EQ(imp->AddRecord(&number, third.data(), kSampleSize), DB_OK);
    EXPECT_EQ(number, 1u);
    ASSERT_EQ(imp->ReadRecord(1, buffer.data(), kSampleSize), DB_OK);
    EXPECT_EQ(buffer, third);
    imp.reset();
    EXPECT_EQ(ReadBytes(Name() + ".db").size(), start + 2 * 44);
}

TEST_F(DatabaseFormatTest, OpenRefusesForeignFilesAndOtherVersions) {
    MakeSampleDatabase(Name(), {});
    Patch(0, 0x6773AE56);
    log.Take();
    EXPECT_EQ(OpenDb(), DB_NOT_A_DATABASE);
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "10|CDatabaseImp::OpenDatabase(): \n",
                           "1|CDatabaseImp::OpenDatabase():  Error, not a database file\n"}));

    Patch(0, 0x6773AE55);
    Patch(12, 51);
    EXPECT_EQ(OpenDb(), DB_WRONG_DB_VERSION);
    EXPECT_EQ(
        Lines().back(),
        "1|CDatabaseImp::OpenDatabase(): Error, file is DBVersion: 51 Expected version: 52\n");

    Patch(12, 52);
    Patch(16, 56);
    EXPECT_EQ(OpenDb(57), DB_WRONG_RECORD_VERSION);
    EXPECT_EQ(Lines().back(),
              "1|CDatabaseImp::OpenDatabase(): Error, file is record version 56, expected "
              "version: 57\n");
    EXPECT_EQ(U32At(ReadBytes(Name() + ".db"), 36), 0u) << "a refused file is not written";
    EXPECT_EQ(OpenDb(0), DB_OK) << "0 accepts any record version";
    EXPECT_EQ(U32At(ReadBytes(Name() + ".db"), 36), 1u);

    imp.reset();
    WriteBytes(Name() + ".db", std::string(30, '\0'));
    EXPECT_EQ(OpenDb(), DB_NOT_A_DATABASE) << "shorter than a header";
    RemoveFile(Name() + ".db");
    log.Take();
    EXPECT_EQ(OpenDb(), DB_OPEN_FAILED);
    EXPECT_EQ(Lines().back(), "1|CDatabaseImp::OpenDatabase(): Open failed\n");
}

TEST_F(DatabaseFormatTest, ImpossibleHeadersAreNotDatabases) {
    MakeSampleDatabase(Name(), {SampleRecord{}});
    const std::string good = ReadBytes(Name() + ".db");
    struct Case {
        const char* what;
        size_t offset;
        uint32_t value;
    };
    const Case cases[] = {
        {"private area past the end", 40, 10000},
        {"descriptor table past the end", 28, 6},
        {"huge descriptor count", 28, 0x80000000},
        {"record size 0", 20, 0},
        {"record place overflows", 20, 0xFFFFFFF8},
        {"record too large to hold", 20, (16u << 20) + 1},
        {"field past the record", 44 + 118 * 4 + 12, 29},
        {"field size overflows 32 bits", 44 + 118 * 4 + 8, 0x40000001},
        {"text field longer than the record", 44 + 118 + 8, 29},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        PutU32(bytes, c.offset, c.value);
        WriteBytes(Name() + ".db", bytes);
        log.Take();
        EXPECT_EQ(OpenDb(), DB_NOT_A_DATABASE) << c.what;
        EXPECT_EQ(Lines().back(), "1|CDatabaseImp::OpenDatabase():  Error, not a database file\n")
            << c.what;
        EXPECT_EQ(ReadBytes(Name() + ".db"), bytes) << c.what;
    }
}

TEST_F(DatabaseFormatTest, RecordChecksOnRead) {
    SampleRecord record;
    record.name = "kept";
    MakeSampleDatabase(Name(), {record, record});
    const size_t start = 44 + 118 * kSampleFields;
    std::string bytes = ReadBytes(Name() + ".db");
    bytes[start + 8] = 1;               // record 0 removed
    PutU32(bytes, start + 44, 0x1234);  // record 1: bad magic
    WriteBytes(Name() + ".db", bytes);
    ASSERT_EQ(OpenDb(), DB_OK);
    std::vector<unsigned char> buffer(kSampleSize, 0xEE);
    EXPECT_EQ(imp->ReadRecord(0, buffer.data(), kSampleSize), DB_RECORD_REMOVED);
    EXPECT_EQ(buffer, record.Bytes()) << "a removed record still delivers its data";

    std::vector<unsigned char> untouched(kSampleSize, 0xEE);
    log.Take();
    EXPECT_EQ(imp->ReadRecord(1, untouched.data(), kSampleSize), DB_BAD_RECORD_MAGIC);
    EXPECT_EQ(untouched, std::vector<unsigned char>(kSampleSize, 0xEE));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"10|CDatabaseImp::ReadRecord(): \n",
                                                 "1|CDatabaseImp::ReadRecord(): Invalid record "
                                                 "magic\n"}));

    // The number is tested before the size, and numbers print as 32-bit
    // unsigned values.
    EXPECT_EQ(imp->ReadRecord(0xFFFFFFFF, buffer.data(), 3), DB_BAD_RECORD_NUMBER);
    EXPECT_EQ(Lines().back(), "1|CDatabaseImp::ReadRecord(): Invalid record number: 4294967295\n");
    EXPECT_EQ(imp->ReadRecord(0, buffer.data(), 31), DB_BAD_BUFFER_SIZE);
    EXPECT_EQ(Lines().back(), "1|CDatabaseImp::ReadRecord(): Invalid buffer size: 31\n");
    EXPECT_EQ(imp->AddRecord(nullptr, buffer.data(), 33), DB_BAD_BUFFER_SIZE);
    EXPECT_EQ(Lines().back(), "1|CDatabaseImp::AddRecord(): Invalid buffer size: 33\n");
    EXPECT_EQ(imp->ReadRecord(0, nullptr, kSampleSize), DB_BAD_BUFFER_SIZE);
}

class IndexFormatTest : public DatabaseTest {
protected:
    std::string Path() const { return dir.File("keys.idx"); }
    std::unique_ptr<CDatabaseIndex> index = CDatabaseIndex::New();
};

TEST_F(IndexFormatTest, EqualKeysChainNewestFirst) {
    ASSERT_EQ(index->CreateIndex(Path().c_str(), kFieldText, 3, 101), INDEX_OK);
    EXPECT_EQ(index->HashKey("abc"), 87u);
    EXPECT_EQ(index->HashKey(""), 0u);
    ASSERT_EQ(index->InsertKey("abc", 0), INDEX_OK);
    ASSERT_EQ(index->InsertKey("abc", 1), INDEX_OK);
    std::string idx = ReadBytes(Path());
    const size_t slot = 12;
    ASSERT_EQ(idx.size(), 36 + 102 * slot);
    EXPECT_EQ(U32At(idx, 28), 1u) << "overflow count";
    EXPECT_EQ(idx.substr(36 + 87 * slot, slot), std::string("\x01\0\0\0\x65\0\0\0abc\0", slot));
    EXPECT_EQ(idx.substr(36 + 101 * slot, slot), std::string("\0\0\0\0\0\0\0\0abc\0", slot));

    // A key longer than the key length is cut to it.
    ASSERT_EQ(index->InsertKey("abcdefgh", 2), INDEX_OK);
    idx = ReadBytes(Path());
    EXPECT_EQ(idx.substr(36 + 87 * slot, slot), std::string("\x02\0\0\0\x66\0\0\0abc\0", slot));
}

TEST_F(IndexFormatTest, InsertionNeedsATextIndexThatIsOpen) {
    EXPECT_EQ(index->InsertKey("abc", 0), INDEX_BAD_PARAMETER) << "a new object has key type 0";
    ASSERT_EQ(index->CreateIndex(Path().c_str(), kFieldBytes, 3, 7), INDEX_OK);
    const std::string before = ReadBytes(Path());
    EXPECT_EQ(index->InsertKey("abc", 0), INDEX_BAD_PARAMETER);
    EXPECT_EQ(ReadBytes(Path()), before);
    ASSERT_EQ(index->CreateIndex(Path().c_str(), kFieldText, 3, 7), INDEX_OK);
    index->CloseIndex();
    EXPECT_EQ(index->InsertKey("abc", 0), INDEX_NOT_OPEN);

    EXPECT_EQ(index->CreateIndex(dir.File("none.idx").c_str(), 0, 3, 7), INDEX_BAD_PARAMETER);
    EXPECT_EQ(index->CreateIndex(dir.File("none.idx").c_str(), 5, 3, 7), INDEX_BAD_PARAMETER);
    EXPECT_EQ(index->CreateIndex(dir.File("none.idx").c_str(), 2, 3, 0), INDEX_BAD_PARAMETER);
    EXPECT_EQ(index->CreateIndex(dir.File("none.idx").c_str(), 2, 0xFFFFFFF7, 2),
              INDEX_BAD_PARAMETER);
    EXPECT_FALSE(Exists(dir.File("none.idx")));
    EXPECT_EQ(index->CreateIndex(dir.File("no/such/dir.idx").c_str(), 2, 3, 7),
              INDEX_CREATE_FAILED);
}

TEST_F(IndexFormatTest, OpenRefusesForeignAndImpossibleHeaders) {
    ASSERT_EQ(index->CreateIndex(Path().c_str(), kFieldText, 3, 7), INDEX_OK);
    index->CloseIndex();
    const std::string good = ReadBytes(Path());
    EXPECT_EQ(index->OpenIndex(Path().c_str()), INDEX_OK);
    EXPECT_EQ(U32At(ReadBytes(Path()), 32), 1u) << "open count";
    index->CloseIndex();
    EXPECT_EQ(U32At(ReadBytes(Path()), 32), 0u);

    struct Case {
        const char* what;
        size_t offset;
        uint32_t value;
        IndexCode code;
    };
    const Case cases[] = {
        {"magic", 0, 0xDA6BF213, INDEX_BAD_HEADER}, {"version", 4, 46, INDEX_WRONG_VERSION},
        {"no buckets", 8, 0, INDEX_BAD_HEADER},     {"heads past the end", 8, 8, INDEX_BAD_HEADER},
        {"key type 0", 12, 0, INDEX_BAD_HEADER},    {"key type 5", 12, 5, INDEX_BAD_HEADER},
        {"slot size", 20, 13, INDEX_BAD_HEADER},    {"key length", 16, 4, INDEX_BAD_HEADER},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        PutU32(bytes, c.offset, c.value);
        WriteBytes(Path(), bytes);
        EXPECT_EQ(index->OpenIndex(Path().c_str()), c.code) << c.what;
        EXPECT_FALSE(index->IsOpen());
        EXPECT_EQ(ReadBytes(Path()), bytes) << c.what;
    }
    WriteBytes(Path(), good.substr(0, 20));
    EXPECT_EQ(index->OpenIndex(Path().c_str()), INDEX_BAD_HEADER);
    EXPECT_EQ(index->OpenIndex(dir.File("missing.idx").c_str()), INDEX_OPEN_FAILED);
}

}  // namespace
