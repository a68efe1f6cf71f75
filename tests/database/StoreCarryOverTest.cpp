// The stores' open: databases of older record layouts (written byte by byte)
// carried over into the current layout field by field, the legacy lines of
// old location layouts, the current record following its record, and a
// carry-over whose export or import fails losing nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "database/CDatabaseFile.h"
#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"
#include "tests/database/DatabaseTesting.h"
#include "tests/database/StoreTesting.h"

namespace {

// Fails the positioned writes of "database.exp", or its opening for reading.
class ExportFileFault : public DatabaseFileFactory {
public:
    enum Fault { kWrite, kOpenForImport };
    explicit ExportFileFault(Fault fault) : m_Fault(fault) { SetDatabaseFileFactory(this); }
    ~ExportFileFault() { SetDatabaseFileFactory(nullptr); }
    std::unique_ptr<CDatabaseFile> Make() override { return std::make_unique<File>(m_Fault); }

private:
    class File : public CDatabaseFile {
    public:
        explicit File(Fault fault) : m_Fault(fault) {}
        int Open(const char* path, unsigned mode) override {
            m_bExport = std::filesystem::path(path).filename() == "database.exp";
            if (m_bExport && m_Fault == kOpenForImport && mode == kReadOnly) return 0;
            return CDatabaseFile::Open(path, mode);
        }
        unsigned long Write(const void* buffer, unsigned long count) override {
            if (m_bExport && m_Fault == kWrite) return 0;
            return CDatabaseFile::Write(buffer, count);
        }

    private:
        Fault m_Fault;
        bool m_bExport = false;
    };
    Fault m_Fault;
};

class StoreCarryOverTest : public DatabaseTest {
protected:
    StoreCarryOverTest() : cwd(dir.Path()) {}
    std::string Exported() const { return dir.File("database.exp"); }
    // Every record of the database, opened with any version.
    std::vector<std::vector<unsigned char>> Records(const std::string& name) {
        std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
        EXPECT_EQ(imp->OpenDatabase((name + ".db").c_str(), 0), DB_OK);
        return ReadAll(*imp);
    }
    static DatabaseInfo Info(CDatabase& database) {
        DatabaseInfo info{};
        EXPECT_EQ(database.GetDatabaseInfo(info), 0);
        return info;
    }
    // Each field the old layout and the current table both name holds the
    // old value, converted by the current field's length; every byte of the
    // current record outside them is zero (Version excepted).
    static void ExpectFieldsCarried(const RawDatabase& old, const std::string& oldRecord,
                                    const FieldTable& table,
                                    const std::vector<unsigned char>& now) {
        std::string expected(table.RecordSize(), '\0');
        PutU32(expected, 0, table.RecordVersion());
        for (const RawField& field : old.fields) {
            int index = table.FindField(field.name.c_str());
            if (index < 0 || field.name == "Version") continue;
            size_t size = static_cast<size_t>(table.GetFieldSize(index));
            size_t oldSize = field.length * (field.type == 3 ? 2 : field.type == 4 ? 4 : 1);
            std::string value = oldRecord.substr(field.offset, oldSize);
            if (field.type == 2) value = value.substr(0, strnlen(value.c_str(), oldSize));
            value.resize(size, '\0');
            expected.replace(static_cast<size_t>(table.GetFieldOffset(index)), size, value);
        }
        EXPECT_EQ(std::string(now.begin(), now.end()), expected);
    }

    CurrentDirectory cwd;
};

TEST_F(StoreCarryOverTest, ProfileOfVersion56KeepsEveryFieldBothLayoutsName) {
    RawDatabase old = Profile56();
    old.Write(Name("profile"));
    log.Take();
    CProfileDatabase store;
    ASSERT_EQ(store.OpenDatabase(Name("profile").c_str(), 57), 0);

    std::vector<std::string> progress;
    for (const std::string& line : Lines())
        if (line.rfind("256|OpenDatabase:", 0) == 0) progress.push_back(line);
    EXPECT_EQ(progress,
              (std::vector<std::string>{"256|OpenDatabase:Exporting profile database records\n",
                                        "256|OpenDatabase:Importing profile database records\n"}));
    EXPECT_TRUE(Exists(Exported())) << "the export file is left in place";
    EXPECT_NE(ReadBytes(Exported()).find("        ModemSpeed=28800 \r\n"), std::string::npos);

    DatabaseInfo info = Info(store);
    EXPECT_EQ(info.recordVersion, 57u);
    EXPECT_EQ(info.recordSize, 9466u);
    EXPECT_EQ(info.recordCount, 3u);
    EXPECT_EQ(info.currentRecord, 1) << "the current record follows its record";
    std::string index = ReadBytes(Name("profile") + ".idx");
    EXPECT_EQ(U32At(index, 8), 101u);
    EXPECT_EQ(U32At(index, 16), 255u) << "the rebuilt index keeps 255 characters";

    FieldTable table;
    ASSERT_TRUE(BuildProfileFieldTable(table));
    std::vector<std::vector<unsigned char>> records = Records(Name("profile"));
    ASSERT_EQ(records.size(), 3u);
    for (size_t n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        ExpectFieldsCarried(old, old.records[n], table, records[n]);
    }

    ProfileRecordObject current;
    ASSERT_EQ(store.GetCurrentRecord(current), 0);
    EXPECT_STREQ(current.Record().Description, "Profile 1");
    EXPECT_EQ(current.Record().ProfileId, -1);
    EXPECT_EQ(std::string(current.Record().LoginName), std::string(199, 'L') + "1");
    EXPECT_EQ(current.Record().DnsAddr1[3], 1);
    EXPECT_EQ(current.Record().AutoLaunchPackage, 2);
    EXPECT_EQ(current.Record().ConnectionTime, 3600);
    EXPECT_EQ(std::string(current.Record().Organization), std::string(250, 'O'));
    EXPECT_EQ(current.Record().NNTPServer[0], 0) << "a field new to the layout starts zero";

    // Opened again, the database is current: no second carry-over.
    store.CloseDatabase();
    RemoveFile(Exported());
    CProfileDatabase again;
    EXPECT_EQ(again.OpenDatabase(Name("profile").c_str(), 57), 0);
    EXPECT_FALSE(Exists(Exported()));
}

TEST_F(StoreCarryOverTest, LocationOfVersion60GetsBothLegacyLines) {
    RawDatabase old = OldLocation(60);
    old.Write(Name("location"));
    CLocationDatabase store;
    ASSERT_EQ(store.OpenDatabase(Name("location").c_str(), 81), 0);
    std::string text = ReadBytes(Exported());
    EXPECT_NE(text.find("        PopDualLoginRequired 1=1 \r\n"
                        "        TapiLocationID=4242 \r\n"
                        "        BackupPOPEntry=-1 \r\n"
                        "    END_RECORD 0\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("        TapiLocationID=4243 \r\n"), std::string::npos);

    FieldTable table;
    ASSERT_TRUE(BuildLocationFieldTable(table));
    std::vector<std::vector<unsigned char>> records = Records(Name("location"));
    ASSERT_EQ(records.size(), 2u);
    for (size_t n = 0; n < 2; ++n) {
        SCOPED_TRACE(n);
        std::vector<unsigned char> bytes = records[n];
        LocationRecord record;
        std::memcpy(&record, bytes.data(), sizeof record);
        EXPECT_EQ(record.TapiLocationID, static_cast<int32_t>(4242 + n));
        EXPECT_EQ(record.BackupPOPEntry, -1);
        EXPECT_EQ(record.ConnectionType, 65535);
        EXPECT_EQ(record.DefaultPOPEntry, static_cast<int32_t>(n));
        EXPECT_EQ(record.ToneDial, n);
        EXPECT_EQ(record.LastLupaCheckTime, 0) << "no default of a new record object";
        // The supplied fields aside, the record holds exactly the old fields.
        record.TapiLocationID = 0;
        record.BackupPOPEntry = 0;
        std::memcpy(bytes.data(), &record, sizeof record);
        ExpectFieldsCarried(old, old.records[n], table, bytes);
    }
    LocationRecordObject current;
    ASSERT_EQ(store.GetCurrentRecord(current), 0);
    EXPECT_STREQ(current.Record().Description, "Location 0");
    EXPECT_STREQ(current.Record().POPEntries[0].PopDescription, "Main POP 0");
}

TEST_F(StoreCarryOverTest, LocationOfVersion55GetsOnlyTheBackupEntryLine) {
    OldLocation(55).Write(Name("location"));
    CLocationDatabase store;
    ASSERT_EQ(store.OpenDatabase(Name("location").c_str(), 81), 0);
    std::string text = ReadBytes(Exported());
    EXPECT_EQ(text.find("TapiLocationID="), std::string::npos);
    EXPECT_NE(text.find("        PopDualLoginRequired 1=1 \r\n"
                        "        BackupPOPEntry=-1 \r\n"
                        "    END_RECORD 1\r\n"),
              std::string::npos);
    LocationRecordObject current;
    ASSERT_EQ(store.GetCurrentRecord(current), 0);
    EXPECT_EQ(current.Record().TapiLocationID, 0);
    EXPECT_EQ(current.Record().BackupPOPEntry, -1);
    EXPECT_STREQ(current.Record().LocalNumber, "555-0100");
    EXPECT_EQ(Info(store).recordCount, 2u);
}

TEST_F(StoreCarryOverTest, CurrentRecordFollowsItsRecordOrStaysNone) {
    RawDatabase old = Profile56();
    old.currentRecord = 2;
    old.Write(Name("two"));
    old.currentRecord = -1;
    old.Write(Name("none"));
    CProfileDatabase two, none;
    ASSERT_EQ(two.OpenDatabase(Name("two").c_str(), 57), 0);
    ASSERT_EQ(none.OpenDatabase(Name("none").c_str(), 57), 0);
    ProfileRecordObject record;
    ASSERT_EQ(two.GetCurrentRecord(record), 0);
    EXPECT_STREQ(record.Record().Description, "Profile 2");
    EXPECT_EQ(Info(none).currentRecord, -1);
    EXPECT_EQ(none.GetCurrentRecord(record), -6);
}

TEST_F(StoreCarryOverTest, ExportFailureLeavesTheFilesAsTheyWere) {
    RawDatabase old = Profile56();
    old.Write(Name("profile"));
    const std::string db = ReadBytes(Name("profile") + ".db");
    const std::string idx = ReadBytes(Name("profile") + ".idx");

    // The text cannot be created: a directory holds its name.
    std::filesystem::create_directory(Exported());
    CProfileDatabase store;
    EXPECT_EQ(store.OpenDatabase(Name("profile").c_str(), 57), -4);
    EXPECT_EQ(ReadBytes(Name("profile") + ".db"), db);
    EXPECT_EQ(ReadBytes(Name("profile") + ".idx"), idx);
    EXPECT_FALSE(Exists(Name("profile") + ".h00")) << "not made anew";
    std::filesystem::remove(Exported());

    // The text cannot be written.
    {
        ExportFileFault fault(ExportFileFault::kWrite);
        CLocationDatabase location;
        OldLocation(60).Write(Name("location"));
        const std::string before = ReadBytes(Name("location") + ".db");
        EXPECT_EQ(location.OpenDatabase(Name("location").c_str(), 81), -19);
        EXPECT_EQ(ReadBytes(Name("location") + ".db"), before);
    }

    // Nothing was lost: with a working export the carry-over goes through.
    EXPECT_EQ(store.OpenDatabase(Name("profile").c_str(), 57), 0);
    EXPECT_EQ(Info(store).recordCount, 3u);
}

// The import's open of "database.exp" fails once: that open fails, the old
// files stay the store's, and the next open carries every record over.
TEST_F(StoreCarryOverTest, AFailedImportLosesNothing) {
    RawDatabase old = OldLocation(60);
    old.Write(Name("location"));
    const std::string db = ReadBytes(Name("location") + ".db");
    {
        ExportFileFault fault(ExportFileFault::kOpenForImport);
        CLocationDatabase store;
        EXPECT_EQ(store.OpenDatabase(Name("location").c_str(), 81), -3);
    }
    EXPECT_EQ(ReadBytes(Name("location") + ".db"), db) << "the old file is still the store's";
    for (const char* leftover : {".new.db", ".new.idx", ".new.h00", ".old.db"})
        EXPECT_FALSE(Exists(Name("location") + leftover)) << leftover;

    CLocationDatabase store;
    ASSERT_EQ(store.OpenDatabase(Name("location").c_str(), 81), 0);
    EXPECT_EQ(Info(store).recordCount, 2u);
    LocationRecordObject current;
    ASSERT_EQ(store.GetCurrentRecord(current), 0);
    EXPECT_STREQ(current.Record().Description, "Location 0");
    EXPECT_EQ(Records(Name("location")).size(), 2u);
}

TEST_F(StoreCarryOverTest, OtherOpenFailuresAreReturnedUnchanged) {
    CProfileDatabase missing;
    EXPECT_EQ(missing.OpenDatabase(Name("nothing").c_str(), 57), -3);
    EXPECT_FALSE(Exists(Name("nothing") + ".db")) << "a missing store is not created";

    // The old index is not needed for the carry-over.
    RawDatabase old = Profile56();
    old.Write(Name("noindex"));
    RemoveFile(Name("noindex") + ".idx");
    CProfileDatabase noIndex;
    EXPECT_EQ(noIndex.OpenDatabase(Name("noindex").c_str(), 57), 0);
    EXPECT_EQ(Info(noIndex).recordCount, 3u);
}

// A store whose index is missing, damaged or left unsealed by an
// interrupted change opens with an index made anew from its records.
TEST_F(StoreCarryOverTest, AnIndexThatCannotBeOpenedIsMadeAnew) {
    struct Case {
        const char* what;
        std::function<void(std::string&)> spoil;  // the index's bytes; empties it: removed
        uint32_t code;
    };
    const Case cases[] = {
        {"missing", [](std::string& idx) { idx.clear(); }, 2},
        {"another version", [](std::string& idx) { PutU32(idx, 4, 46); }, 7},
        {"unsealed", [](std::string& idx) { PutU32(idx, 0, 0); }, 9},
        {"a slot cut off", [](std::string& idx) { idx.resize(idx.size() - 3); }, 9},
        {"more slots than counted", [](std::string& idx) { idx += std::string(264, '\0'); }, 9},
    };
    const std::string name = Name("profile");
    Profile56().Write(name);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            CProfileDatabase store;
            ASSERT_EQ(store.OpenDatabase(name.c_str(), 57), 0);
        }
        std::string idx = ReadBytes(name + ".idx");
        const std::string sound = idx;
        c.spoil(idx);
        if (idx.empty()) {
            RemoveFile(name + ".idx");
        } else {
            WriteBytes(name + ".idx", idx);
        }
        log.Take();
        CProfileDatabase store;
        ASSERT_EQ(store.OpenDatabase(name.c_str(), 57), 0);
        std::vector<std::string> lines = Lines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(),
                             "1|OpenDatabase:" + name + ".idx cannot be opened (index code " +
                                 std::to_string(c.code) + "), made anew from the records\n"),
                  1)
            << ::testing::PrintToString(lines);
        EXPECT_EQ(Info(store).recordCount, 3u);
        store.CloseDatabase();
        store.ReleaseIndex();
        EXPECT_EQ(ReadBytes(name + ".idx").substr(36), sound.substr(36)) << "the same slots";
    }
}

TEST_F(StoreCarryOverTest, RecreateAndRebuildIndexUseTheStoresKeys) {
    CProfileDatabase profile;
    ASSERT_EQ(profile.Recreate(Name("profile").c_str(), 101), 0);
    std::string index = ReadBytes(Name("profile") + ".idx");
    EXPECT_EQ(U32At(index, 12), 2u);
    EXPECT_EQ(U32At(index, 16), 254u);
    EXPECT_EQ(U32At(ReadBytes(Name("profile") + ".db"), 28), 49u);
    ASSERT_EQ(profile.RebuildIndex(7), 0);
    index = ReadBytes(Name("profile") + ".idx");
    EXPECT_EQ(U32At(index, 8), 7u);
    EXPECT_EQ(U32At(index, 16), 255u);

    CLocationDatabase location;
    ASSERT_EQ(location.Recreate(Name("location").c_str(), 13), 0);
    index = ReadBytes(Name("location") + ".idx");
    EXPECT_EQ(U32At(index, 8), 13u);
    EXPECT_EQ(U32At(index, 16), 255u);
    EXPECT_EQ(U32At(ReadBytes(Name("location") + ".db"), 28), 80u);
    EXPECT_EQ(location.RebuildIndex(101), 0);

    // A name held open elsewhere cannot be made anew.
    CLocationDatabase other;
    EXPECT_EQ(other.Recreate(Name("location").c_str(), 101), -16);
}

TEST_F(StoreCarryOverTest, GetCurrentRecordChecksTheObjectsVersionFirst) {
    RawDatabase old = Profile56();
    old.Write(Name("profile"));
    CProfileDatabase profile;
    ASSERT_EQ(profile.OpenDatabase(Name("profile").c_str(), 57), 0);
    ProfileRecordObject record;
    record.Record().Version = 56;
    std::string before = BytesOf(record.Record());
    log.Take();
    EXPECT_EQ(profile.GetCurrentRecord(record), -15);
    EXPECT_EQ(BytesOf(record.Record()), before);
    EXPECT_TRUE(Lines().empty()) << "nothing is read";

    OldLocation(60).Write(Name("location"));
    CLocationDatabase location;
    ASSERT_EQ(location.OpenDatabase(Name("location").c_str(), 81), 0);
    LocationRecordObject place;
    place.Record().Version = 80;
    EXPECT_EQ(location.GetCurrentRecord(place), -15);
    place.Record().Version = 81;
    EXPECT_EQ(location.GetCurrentRecord(place), 0);

    CProfileDatabase closed;
    ProfileRecordObject fresh;
    EXPECT_EQ(closed.GetCurrentRecord(fresh), -18);
}

}  // namespace
