// The text export, byte for byte: sections, field lines by type, comment
// lines for unreadable records and the legacy lines of location layouts.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/database/DatabaseTesting.h"

namespace {

const char kSampleFieldSection[] =
    "START_DATABASE_FIELDS\n"
    "    START_FIELD 0\n"
    "        FIELD_DESC=\"Version\"\n"
    "        FIELD_COMMENTS=\"This field must always be 7\"\n"
    "        FIELD_TYPE=4\n        FIELD_LENGTH=1\n        FIELD_OFFSET=0\n"
    "        FIELD_INDEX=0\n        FIELD_FLAGS=0\n"
    "    END_FIELD 0\n\n"
    "    START_FIELD 1\n"
    "        FIELD_DESC=\"Name\"\n        FIELD_COMMENTS=\"\"\n"
    "        FIELD_TYPE=2\n        FIELD_LENGTH=12\n        FIELD_OFFSET=4\n"
    "        FIELD_INDEX=0\n        FIELD_FLAGS=0\n"
    "    END_FIELD 1\n\n"
    "    START_FIELD 2\n"
    "        FIELD_DESC=\"Flags\"\n        FIELD_COMMENTS=\"\"\n"
    "        FIELD_TYPE=1\n        FIELD_LENGTH=4\n        FIELD_OFFSET=16\n"
    "        FIELD_INDEX=0\n        FIELD_FLAGS=0\n"
    "    END_FIELD 2\n\n"
    "    START_FIELD 3\n"
    "        FIELD_DESC=\"Port\"\n        FIELD_COMMENTS=\"\"\n"
    "        FIELD_TYPE=3\n        FIELD_LENGTH=2\n        FIELD_OFFSET=20\n"
    "        FIELD_INDEX=0\n        FIELD_FLAGS=0\n"
    "    END_FIELD 3\n\n"
    "    START_FIELD 4\n"
    "        FIELD_DESC=\"Id\"\n        FIELD_COMMENTS=\"\"\n"
    "        FIELD_TYPE=4\n        FIELD_LENGTH=1\n        FIELD_OFFSET=24\n"
    "        FIELD_INDEX=0\n        FIELD_FLAGS=0\n"
    "    END_FIELD 4\n\n"
    "END_DATABASE_FIELDS\n\n";

std::string SampleHeaderSection(int32_t current) {
    return "START_DBHEADER\n    DB_VERSION=52\n    DB_ID=0\n    DB_FLAGS=0\n"
           "    RECORD_VERSION=7\n    RECORD_SIZE=32\n    CURRENT_RECORD=" +
           std::to_string(current) +
           "\n    NUMBER_OF_FIELDS=5\n    SIZE_OF_PRIVATE_DATA=0\nEND_DBHEADER\n\n"
           "START_PRIVATE_DATA\nEND_PRIVATE_DATA\n\n";
}

class TextExportTest : public DatabaseTest {
protected:
    std::string Text() const { return dir.File("export.txt"); }
    std::string Export(CDatabaseImp& imp) {
        EXPECT_EQ(imp.ExportDatabase(Text().c_str()), DB_OK);
        return ReadBytes(Text());
    }
};

TEST_F(TextExportTest, SampleDatabaseByteForByte) {
    SampleRecord alpha;
    alpha.name = "alpha";
    const uint8_t flags[4] = {10, 0, 0, 1};
    std::memcpy(alpha.flags, flags, 4);
    alpha.ports[0] = 80;
    alpha.ports[1] = 65535;
    alpha.id = -1;
    SampleRecord gone;
    gone.name = "gone";
    SampleRecord full;  // twelve characters, no terminator, a line feed inside
    full.name = std::string("line\nfeed-12", 12);
    full.version = 2147483647;
    auto imp = CreateDbFile(Name() + ".db", SampleTable(),
                            {alpha.Bytes(), gone.Bytes(), alpha.Bytes(), full.Bytes()});
    imp.reset();
    std::string db = ReadBytes(Name() + ".db");
    const size_t start = 44 + 118 * kSampleFields;
    db[start + 44 + 8] = 1;             // record 1 removed
    PutU32(db, start + 2 * 44, 0xBAD);  // record 2: bad magic
    PutU32(db, 24, 3);                  // current record
    WriteBytes(Name() + ".db", db);
    imp = CDatabaseImp::New();
    ASSERT_EQ(imp->OpenDatabase((Name() + ".db").c_str(), 7), DB_OK);
    log.Take();

    std::string expected = Crlf(SampleHeaderSection(3) + kSampleFieldSection +
                                "START_DATABASE_RECORDS\n"
                                "    START_RECORD 0\n"
                                "        Version=7 \n"
                                "        Name=\"alpha\"\n"
                                "        Flags=10 0 0 1 \n"
                                "        Port=80 65535 \n"
                                "        Id=-1 \n"
                                "    END_RECORD 0\n\n"
                                "    START_RECORD 1\n"
                                ";       Record 1 has been removed\n"
                                "    END_RECORD 1\n\n"
                                "    START_RECORD 2\n"
                                ";       Error reading record 2, dberror: 4\n"
                                "    END_RECORD 2\n\n"
                                "    START_RECORD 3\n"
                                "        Version=2147483647 \n"
                                "        Name=\"") +
                           "line\nfeed-12" +  // quoted text goes out as it is
                           Crlf(
                               "\"\n"
                               "        Flags=0 0 0 0 \n"
                               "        Port=0 0 \n"
                               "        Id=0 \n"
                               "    END_RECORD 3\n\n"
                               "END_DATABASE_RECORDS\n");
    EXPECT_EQ(Export(*imp), expected);

    std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "10|CDatabaseImp::ExportDatabase(): \n");
    EXPECT_EQ(lines.back(), "20|CDatabaseImp::ExportDatabase(): \n");
    std::vector<std::string> failures;
    for (const std::string& line : lines)
        if (line.rfind("1|", 0) == 0) failures.push_back(line);
    EXPECT_EQ(failures,
              (std::vector<std::string>{
                  "1|CDatabaseImp::ExportDatabase(): Error reading record 1, dberror: 7\n",
                  "1|CDatabaseImp::ReadRecord(): Invalid record magic\n",
                  "1|CDatabaseImp::ExportDatabase(): Error reading record 2, dberror: 4\n"}));
}

TEST_F(TextExportTest, EmptyDatabaseAndFailures) {
    auto imp = CreateDbFile(Name() + ".db", SampleTable(), {});
    EXPECT_EQ(Export(*imp), Crlf(SampleHeaderSection(-1) + kSampleFieldSection +
                                 "START_DATABASE_RECORDS\nEND_DATABASE_RECORDS\n"));

    log.Take();
    std::string nowhere = dir.File("no/such/dir.txt");
    EXPECT_EQ(imp->ExportDatabase(nowhere.c_str()), DB_CREATE_FAILED);
    EXPECT_EQ(Lines().back(), "1|CDatabaseImp::ExportDatabase(): Open of " + nowhere + " failed\n");
    imp->CloseDatabase();
    EXPECT_EQ(imp->ExportDatabase(Text().c_str()), DB_NOT_OPEN);
    EXPECT_EQ(Lines().back(), "1|Database is not open\n");
}

// The bytes of a record of the given size with 32-bit values put at offsets.
std::vector<unsigned char> RecordWith(uint32_t size,
                                      std::initializer_list<std::pair<uint32_t, int32_t>> values) {
    std::vector<unsigned char> bytes(size);
    for (auto [offset, value] : values) std::memcpy(&bytes[offset], &value, 4);
    return bytes;
}

// Location layouts before TapiLocationID and BackupPOPEntry existed get lines
// that supply them: the four bytes in front of CallWaitingDisabled and -1.
TEST_F(TextExportTest, LegacyLocationLines) {
    struct Case {
        const char* what;
        uint32_t version;
        std::vector<const char*> extra;  // fields besides the three marks
        const char* lines;
    };
    const Case cases[] = {
        {"version 60", 60, {}, "        TapiLocationID=1234 \n        BackupPOPEntry=-1 \n"},
        {"version 55", 55, {}, "        BackupPOPEntry=-1 \n"},
        {"has TapiLocationID", 60, {"TapiLocationID"}, "        BackupPOPEntry=-1 \n"},
        {"has BackupPOPEntry", 60, {"BackupPOPEntry"}, "        TapiLocationID=1234 \n"},
        {"has both", 60, {"TapiLocationID", "BackupPOPEntry"}, ""},
    };
    for (const Case& c : cases) {
        FieldTable table;
        table.Init(32, c.version);
        table.AddField("LocalNumber", "", kFieldText, 4, 4);
        table.AddField("LongDistanceAccess", "", kFieldText, 4, 8);
        table.AddField("CallWaitingDisabled", "", kFieldBytes, 1, 24);
        uint32_t offset = 12;
        for (const char* name : c.extra) {
            table.AddField(name, "", kFieldLong, 1, offset);
            offset += 4;
        }
        std::string path = dir.File(std::string(c.what) + ".db");
        auto imp = CreateDbFile(path, table, {RecordWith(32, {{20, 1234}, {12, 5}, {16, 6}})});
        std::string text = Export(*imp);
        std::string fields =
            "        LocalNumber=\"\"\n        LongDistanceAccess=\"\"\n"
            "        CallWaitingDisabled=0 \n";
        const char* values[] = {"5", "6"};
        for (size_t i = 0; i < c.extra.size(); ++i)
            fields += std::string("        ") + c.extra[i] + "=" + values[i] + " \n";
        EXPECT_NE(text.find(Crlf("    START_RECORD 0\n" + fields + c.lines + "    END_RECORD 0\n")),
                  std::string::npos)
            << c.what << "\n"
            << text;
    }

    // With fewer than three marks there are no legacy lines.
    FieldTable two;
    two.Init(32, 60);
    two.AddField("LocalNumber", "", kFieldText, 4, 4);
    two.AddField("CallWaitingDisabled", "", kFieldBytes, 1, 24);
    auto imp = CreateDbFile(dir.File("two.db"), two, {RecordWith(32, {{20, 1234}})});
    EXPECT_EQ(Export(*imp).find("TapiLocationID"), std::string::npos);
    two.AddField("CallWaitingDisabled", "", kFieldBytes, 1, 2);  // counts again, moves the spot
    imp = CreateDbFile(dir.File("three.db"), two, {RecordWith(32, {{20, 1234}})});
    EXPECT_NE(Export(*imp).find(Crlf("        TapiLocationID=0 \n")), std::string::npos)
        << "the last CallWaitingDisabled is at 2: its four bytes in front lie outside the record";
}

// Fields of type 5 go out byte by byte and come back; fields of other types
// have an empty quoted value that keeps the next line its own.
TEST_F(TextExportTest, EightByteAndUnknownFieldsKeepTheirLines) {
    FieldTable table;
    table.Init(24, 3);
    table.AddField("Wide", "", kFieldEight, 1, 0);
    table.AddField("Odd", "", 9, 4, 8);
    table.AddField("After", "", kFieldLong, 1, 12);
    std::vector<unsigned char> record = RecordWith(24, {{0, -2}, {4, 0x01020304}, {12, 77}});
    auto imp = CreateDbFile(Name() + ".db", table, {record});
    EXPECT_NE(Export(*imp).find(Crlf("        Wide=254 255 255 255 4 3 2 1 \n"
                                     "        Odd=\"\"\n"
                                     "        After=77 \n")),
              std::string::npos);
    auto copy = CreateDbFile(dir.File("copy.db"), table, {});
    ASSERT_EQ(copy->ImportRecords(Text().c_str()), DB_OK);
    std::vector<unsigned char> expected = record;
    EXPECT_EQ(ReadAll(*copy), std::vector<std::vector<unsigned char>>{expected});
}

}  // namespace
