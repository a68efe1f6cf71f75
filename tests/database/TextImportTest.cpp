// The text import: the lexer's tokens, round trips through the export,
// fields matched by name, the "Version" rule, the current record following
// its record, and texts that are malformed or end early.
#include <gtest/gtest.h>

#include <cstring>

#include "database/TextLexer.h"
#include "tests/database/DatabaseTesting.h"

namespace {

struct Lexed {
    int token;
    std::string text;
    uint32_t line;
    bool operator==(const Lexed&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Lexed& lexed) {
    return out << "{0x" << std::hex << lexed.token << std::dec << ", \"" << lexed.text << "\", "
               << lexed.line << "}";
}

std::vector<Lexed> Lex(const std::string& text) {
    TextLexer lexer(text.c_str());
    std::vector<Lexed> tokens;
    for (;;) {
        int token = lexer.Next();
        bool hasText = token == TOKEN_NAME || token == TOKEN_VALUE;
        tokens.push_back(Lexed{token, hasText ? lexer.Token() : "", lexer.Line()});
        if (token == TOKEN_END_OF_TEXT) return tokens;
    }
}

TEST(TextLexerTest, TokensOfTheTextForm) {
    EXPECT_EQ(Lex(";comment\r\n"
                  "START_DBHEADER junk\r\n"
                  "    CURRENT_RECORD=  -3 x\r\n"
                  "    Name =\"quoted\r\nvalue\"  rest\r\n"
                  "START_FIELD 3\r\n"
                  "=\r\n\r\n   later\r\n"
                  "END_RECORDED=1\r\n"
                  "open=\"abc"),
              (std::vector<Lexed>{
                  {TOKEN_START_DBHEADER, "", 2},
                  {TOKEN_CURRENT_RECORD, "", 2},
                  {TOKEN_VALUE, "-3 x\r", 2},
                  {TOKEN_NAME, "Name ", 2},
                  {TOKEN_VALUE, "quoted\r\nvalue", 2},
                  // A name runs to the next "=", across lines and keywords.
                  {TOKEN_NAME, "rest\r\nSTART_FIELD 3\r\n", 2},
                  // A value may begin on a later line.
                  {TOKEN_VALUE, "later\r", 4},
                  // Keywords match by prefix.
                  {TOKEN_END_RECORD, "", 5},
                  {TOKEN_NAME, "open", 5},
                  {TOKEN_VALUE, "abc", 5},
                  {TOKEN_END_OF_TEXT, "", 5},
              }));
}

TEST(TextLexerTest, BareLineFeedsEndLinesToo) {
    EXPECT_EQ(Lex(";one\nSTART_RECORD 0\n;two\nName=\"v\"\nFIELD_DESCRIPTION=x\n"),
              (std::vector<Lexed>{{TOKEN_START_RECORD, "", 2},
                                  {TOKEN_NAME, "Name", 3},
                                  {TOKEN_VALUE, "v", 3},
                                  {TOKEN_FIELD_DESC, "", 4},
                                  {TOKEN_NAME, "RIPTION", 4},
                                  {TOKEN_VALUE, "x", 4},
                                  {TOKEN_END_OF_TEXT, "", 4}}));
}

TEST(TextLexerTest, AQuoteInsideAValueEndsIt) {
    EXPECT_EQ(Lex("Name=\"say \"hi\"\"\r\n"), (std::vector<Lexed>{{TOKEN_NAME, "Name", 0},
                                                                  {TOKEN_VALUE, "say ", 0},
                                                                  {TOKEN_NAME, "hi\"\"\r\n", 0},
                                                                  {TOKEN_END_OF_TEXT, "", 0}}));
}

TEST(TextLexerTest, LongTokensAreCutAndPassed) {
    std::string name(3000, 'n');
    std::string value(2000, 'v');
    std::vector<Lexed> tokens = Lex(name + "=\"" + value + "\"next=1\n" + std::string("x\0y=2", 5));
    ASSERT_EQ(tokens.size(), 6u);
    EXPECT_EQ(tokens[0].text, std::string(1023, 'n'));
    EXPECT_EQ(tokens[1].text, std::string(1023, 'v'));
    EXPECT_EQ(tokens[2], (Lexed{TOKEN_NAME, "next", 0}));
    EXPECT_EQ(tokens[3], (Lexed{TOKEN_VALUE, "1", 0}));
    EXPECT_EQ(tokens[4], (Lexed{TOKEN_NAME, "x", 0})) << "a zero byte ends the text";
    EXPECT_EQ(tokens[5].token, TOKEN_END_OF_TEXT);
}

class TextImportTest : public DatabaseTest {
protected:
    std::string Text() const { return dir.File("import.txt"); }
    // A text of the given records section (and CURRENT_RECORD line).
    void WriteText(const std::string& records, int current = -1) {
        WriteBytes(Text(), Crlf("START_DBHEADER\n    CURRENT_RECORD=" + std::to_string(current) +
                                "\nEND_DBHEADER\n\nSTART_DATABASE_RECORDS\n" + records));
    }
    static std::string Record(const std::string& name, int32_t id) {
        return "    START_RECORD 0\n        Version=7 \n        Name=\"" + name +
               "\"\n        Id=" + std::to_string(id) + " \n    END_RECORD 0\n\n";
    }
    std::unique_ptr<CDatabaseImp> Target(const std::vector<SampleRecord>& records = {},
                                         int32_t current = -1) {
        std::vector<std::vector<unsigned char>> bytes;
        for (const SampleRecord& record : records) bytes.push_back(record.Bytes());
        auto imp = CreateDbFile(dir.File("target" + std::to_string(m_nTargets++) + ".db"),
                                SampleTable(), bytes);
        if (current != -1) {
            imp->ReadHeader();
            const_cast<DatabaseHeader&>(imp->Header()).currentRecord = current;
            imp->WriteHeader();
        }
        return imp;
    }
    static int32_t Current(CDatabaseImp& imp) {
        int32_t current = 0;
        imp.GetCurrentRecordNumber(&current);
        return current;
    }
    static std::vector<std::string> Names(CDatabaseImp& imp) {
        std::vector<std::string> names;
        for (const auto& record : ReadAll(imp))
            names.emplace_back(reinterpret_cast<const char*>(&record[4]),
                               strnlen(reinterpret_cast<const char*>(&record[4]), 12));
        return names;
    }

private:
    int m_nTargets = 0;
};

std::vector<SampleRecord> VariedRecords() {
    std::vector<SampleRecord> records(5);
    const char* names[] = {"", "a", "with space", "twelve-chars", "quote'd"};
    for (size_t i = 0; i < records.size(); ++i) {
        records[i].name = names[i];
        records[i].id = i % 2 ? -static_cast<int32_t>(i) : 2147483647;
        records[i].flags[0] = static_cast<uint8_t>(255 - i);
        records[i].flags[3] = static_cast<uint8_t>(i);
        records[i].ports[0] = 65535;
        records[i].ports[1] = static_cast<uint16_t>(i * 1000);
    }
    return records;
}

TEST_F(TextImportTest, ExportThenImportGivesTheSameRecords) {
    std::vector<SampleRecord> records = VariedRecords();
    auto source = Target(records, 3);
    ASSERT_EQ(source->ExportDatabase(Text().c_str()), DB_OK);
    auto target = Target();
    log.Take();
    ASSERT_EQ(target->ImportRecords(Text().c_str()), DB_OK);
    EXPECT_EQ(ReadAll(*target), ReadAll(*source));
    EXPECT_EQ(Current(*target), 3);
    std::vector<std::string> lines = Lines();
    EXPECT_EQ(lines.front(), "10|CDatabaseImp::ImportRecords(): \n");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "20|CDatabaseImp::AddRecord(): \n"), 5);

    // The same text with bare line feeds.
    std::string text = ReadBytes(Text());
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    WriteBytes(Text(), text);
    auto lf = Target();
    ASSERT_EQ(lf->ImportRecords(Text().c_str()), DB_OK);
    EXPECT_EQ(ReadAll(*lf), ReadAll(*source));
    EXPECT_EQ(Current(*lf), 3);
}

TEST_F(TextImportTest, RemovedRecordsTakeATextPlaceButAreNotAdded) {
    std::vector<SampleRecord> records = VariedRecords();
    auto source = Target(records, 3);
    source.reset();
    std::string db = ReadBytes(dir.File("target0.db"));
    db[44 + 118 * kSampleFields + 44 + 8] = 1;  // record 1 removed
    WriteBytes(dir.File("target0.db"), db);
    source = CDatabaseImp::New();
    ASSERT_EQ(source->OpenDatabase(dir.File("target0.db").c_str(), 0), DB_OK);
    ASSERT_EQ(source->ExportDatabase(Text().c_str()), DB_OK);
    auto target = Target({SampleRecord{}});
    ASSERT_EQ(target->ImportRecords(Text().c_str()), DB_OK);
    EXPECT_EQ(Names(*target),
              (std::vector<std::string>{"", "", "with space", "twelve-chars", "quote'd"}));
    EXPECT_EQ(Current(*target), 3) << "text record 3 is record 3 after the one already there";
}

TEST_F(TextImportTest, FieldsAreMatchedByNameAndConvertedByTheTargetsType) {
    WriteText(
        "    START_RECORD 0\n"
        "        Version=99 \n"
        "        Unknown=\"dropped\"\n"
        "        Name=unquoted runs to the line end\n"
        "        Flags=1 -1 300 \n"
        "        Port=70000 x 5 \n"
        "        Id=\"12abc\"\n"
        "    END_RECORD 0\nEND_DATABASE_RECORDS\n");
    auto target = Target();
    ASSERT_EQ(target->ImportRecords(Text().c_str()), DB_OK);
    SampleRecord expected;
    expected.name = "unquoted run";
    const uint8_t flags[4] = {1, 255, 44, 0};
    std::memcpy(expected.flags, flags, 4);
    expected.ports[0] = 70000 & 0xFFFF;  // then "x" stops the numbers: 0
    expected.id = 12;
    EXPECT_EQ(ReadAll(*target), std::vector<std::vector<unsigned char>>{expected.Bytes()})
        << "Version is the target's own, whatever the text says";

    // The same names in another layout: text into a number, numbers into text.
    FieldTable other;
    other.Init(16, 3);
    other.AddField("Id", "", kFieldText, 6, 0);
    other.AddField("Version", "", kFieldBytes, 1, 15);
    other.AddField("Flags", "", kFieldShort, 2, 8);
    auto converted = CreateDbFile(dir.File("other.db"), other, {});
    ASSERT_EQ(converted->ImportRecords(Text().c_str()), DB_OK);
    std::vector<unsigned char> bytes(16);
    std::memcpy(&bytes[0], "12abc", 5);
    bytes[8] = 1;
    bytes[10] = 0xFF;
    bytes[11] = 0xFF;
    bytes[15] = 3;  // the version's first byte: the rest lies past the record
    EXPECT_EQ(ReadAll(*converted), std::vector<std::vector<unsigned char>>{bytes});
}

TEST_F(TextImportTest, RecordsNeedMoreThanOneField) {
    WriteText(
        "    START_RECORD 0\n        Version=7 \n    END_RECORD 0\n" + Record("two", 2) +
        "    START_RECORD 2\n        Name=\"only\"\n        Nothing=\"\"\n    END_RECORD 2\n" +
        Record("four", 4) + "END_DATABASE_RECORDS\n");
    auto target = Target();
    ASSERT_EQ(target->ImportRecords(Text().c_str()), DB_OK);
    EXPECT_EQ(Names(*target), (std::vector<std::string>{"two", "four"}));
}

TEST_F(TextImportTest, TheCurrentRecordFollowsItsRecord) {
    const std::string three = Record("a", 0) + Record("b", 1) + Record("c", 2);
    struct Case {
        const char* what;
        std::string records;
        int textCurrent;
        std::vector<SampleRecord> before;
        int32_t currentBefore;
        int32_t currentAfter;
    };
    const Case cases[] = {
        {"empty target", three + "END_DATABASE_RECORDS\n", 2, {}, -1, 2},
        {"third not added",
         Record("a", 0) + Record("b", 1) + "    START_RECORD 2\n        Id=2 \n    END_RECORD 2\n" +
             "END_DATABASE_RECORDS\n",
         2,
         {},
         -1,
         -1},
        {"past the records", three + "END_DATABASE_RECORDS\n", 5, {}, -1, -1},
        {"target with a current record",
         three + "END_DATABASE_RECORDS\n",
         2,
         {SampleRecord{}, SampleRecord{}},
         0,
         0},
        {"target without one",
         three + "END_DATABASE_RECORDS\n",
         2,
         {SampleRecord{}, SampleRecord{}},
         -1,
         4},
        {"malformed record before it",
         Record("a", 0) + "    START_RECORD 1\n        =\"no name\"\n    END_RECORD 1\n" +
             Record("b", 1) + Record("c", 2) + "END_DATABASE_RECORDS\n",
         2,
         {},
         -1,
         2},
        {"text ends inside the records", Record("a", 0) + Record("b", 1), 2, {}, -1, -1},
    };
    for (const Case& c : cases) {
        WriteText(c.records, c.textCurrent);
        auto target = Target(c.before, c.currentBefore);
        DBError expected = c.records.find("END_DATABASE_RECORDS") == std::string::npos
                               ? DB_TEXT_ENDS_EARLY
                               : DB_OK;
        EXPECT_EQ(target->ImportRecords(Text().c_str()), expected) << c.what;
        EXPECT_EQ(Current(*target), c.currentAfter) << c.what;
    }
}

TEST_F(TextImportTest, MalformedRecordsAreLoggedAndDropped) {
    WriteText(Record("a", 0) +
              "    START_RECORD 1\n"
              "        Name=\"b\"\n"
              "        =\"value without a name\"\n"
              "    END_RECORD 1\n" +
              Record("c", 2) + "END_DATABASE_RECORDS\n");
    auto target = Target();
    log.Take();
    ASSERT_EQ(target->ImportRecords(Text().c_str()), DB_OK);
    EXPECT_EQ(Names(*target), (std::vector<std::string>{"a", "c"}));
    std::vector<std::string> lines = Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "1|CDatabaseImp::ImportRecords(): Error importing a record, File: " +
                             Text() + " Line: 10\n"),
              1)
        << ::testing::PrintToString(lines);
}

TEST_F(TextImportTest, TextsThatEndEarlyOrCannotBeRead) {
    auto target = Target();
    WriteBytes(Text(), Crlf("START_DBHEADER\n    CURRENT_RECORD=1\nEND_DBHEADER\n"));
    EXPECT_EQ(target->ImportRecords(Text().c_str()), DB_TEXT_ENDS_EARLY);
    EXPECT_EQ(Current(*target), -1) << "no current record without its record";

    WriteText(Record("a", 0) + "    START_RECORD 1\n        Name=\"cut\"\n");
    log.Take();
    EXPECT_EQ(target->ImportRecords(Text().c_str()), DB_TEXT_ENDS_EARLY);
    std::vector<std::string> lines = Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "1|CDatabaseImp::ImportRecords(): Error importing a record, File: " +
                             Text() + " Line: 10\n"),
              1)
        << ::testing::PrintToString(lines);
    EXPECT_EQ(Names(*target), std::vector<std::string>{"a"}) << "records already added stay";

    CDatabase database;
    MakeSampleDatabase(Name(), {});
    ASSERT_EQ(database.OpenDatabase(Name().c_str(), 7), 0);
    log.Take();
    EXPECT_EQ(database.ImportRecords(dir.File("missing.txt").c_str()), -3);
    EXPECT_EQ(Lines(), std::vector<std::string>{"10|CDatabaseImp::ImportRecords(): \n"});
}

TEST_F(TextImportTest, LongNamesAndValuesAreCut) {
    WriteText("    START_RECORD 0\n        " + std::string(1500, 'N') + "=\"x\"\n        Name=\"" +
              std::string(1500, 'v') +
              "\"\n        Id=7 \n    END_RECORD 0\nEND_DATABASE_RECORDS\n");
    auto target = Target();
    ASSERT_EQ(target->ImportRecords(Text().c_str()), DB_OK);
    EXPECT_EQ(Names(*target), std::vector<std::string>{std::string(12, 'v')});
}

TEST_F(TextImportTest, AClosedDatabaseRefusesEveryRecord) {
    WriteText(Record("a", 0) + Record("b", 1) + "END_DATABASE_RECORDS\n", 1);
    auto target = Target();
    target->CloseDatabase();
    log.Take();
    EXPECT_EQ(target->ImportRecords(Text().c_str()), DB_OK);
    std::vector<std::string> lines = Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "1|CDatabaseImp::ImportRecords(): Error adding record DBError=17\n"),
              2);
}

}  // namespace
