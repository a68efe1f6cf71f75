// Every write-bearing operation of the engine and the stores, stopped dead
// at each of its writes (and with that write cut short), as a power cut
// stops a machine: afterwards every record acknowledged before the death is
// there byte for byte, the store opens (repairing itself), and kitdb verify
// finds nothing to report. The number of crash points is printed.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "database/BackupSection.h"
#include "database/CDatabaseFile.h"
#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"
#include "tests/database/DatabaseTesting.h"
#include "tests/database/StoreTesting.h"
#include "tests/support/CrashRun.h"
#include "tools/kitdb/KitDb.h"

namespace {

// A file whose writes are crash points; byte writes can be cut short.
class CrashFile : public CDatabaseFile {
public:
    int Open(const char* path, unsigned mode) override {
        if (mode & 2) CrashPoint(nullptr);  // creates or empties the file
        return CDatabaseFile::Open(path, mode);
    }
    unsigned long Write(const void* buffer, unsigned long count) override {
        std::function<void()> half = [&] { CDatabaseFile::Write(buffer, count / 2); };
        CrashPoint(&half);
        return CDatabaseFile::Write(buffer, count);
    }
    bool WriteAt(uint64_t offset, const void* buffer, uint32_t count) override {
        std::function<void()> half = [&] { CDatabaseFile::WriteAt(offset, buffer, count / 2); };
        CrashPoint(&half);
        return CDatabaseFile::WriteAt(offset, buffer, count);
    }
    bool Truncate(uint64_t size) override {
        CrashPoint(nullptr);
        return CDatabaseFile::Truncate(size);
    }
};

class CrashFiles : public DatabaseFileFactory {
public:
    CrashFiles() { SetDatabaseFileFactory(this); }
    ~CrashFiles() { SetDatabaseFileFactory(nullptr); }
    std::unique_ptr<CDatabaseFile> Make() override { return std::make_unique<CrashFile>(); }
    bool Rename(const char* from, const char* to) override {
        CrashPoint(nullptr);
        return DatabaseFileFactory::Rename(from, to);
    }
    bool Remove(const char* path) override {
        CrashPoint(nullptr);
        return DatabaseFileFactory::Remove(path);
    }
#ifdef _WIN32
    bool PutProfileString(const char* section, const char* key, const char* value,
                          const char* path) override {
        CrashPoint(nullptr);
        return DatabaseFileFactory::PutProfileString(section, key, value, path);
    }
#endif
};

std::string Join(const std::string& dir, const std::string& name) {
    return dir + "/" + name;
}

// kitdb verify in this process, its report shown only when its exit code
// is not the one expected.
int VerifyQuietly(const std::string& name, int expected = kExitOk) {
#ifdef _WIN32
    const char* nowhere = "NUL";
#else
    const char* nowhere = "/dev/null";
#endif
    std::fflush(stdout);
    int saved = dup(1);
    int null = open(nowhere, O_WRONLY);
    dup2(null, 1);
    close(null);
    int code = ::Verify(name);
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    if (code != expected) ::Verify(name);
    return code;
}

std::vector<unsigned char> ProfileBytes(int n) {
    ProfileRecordObject record;
    std::snprintf(record.Record().Description, sizeof record.Record().Description, "Profile %d",
                  n % 5);  // equal keys chain in the index
    record.Record().ProfileId = 1000 + n;
    record.SetLoginName(("login" + std::to_string(n)).c_str());
    record.SetEmailAddress(("user" + std::to_string(n) + "@example.net").c_str());
    const unsigned char* data = record.GetData();
    return std::vector<unsigned char>(data, data + record.GetDataSize());
}

// The data file name.db open on its own, or null.
std::unique_ptr<CDatabaseImp> OpenDataFile(const std::string& name) {
    std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
    if (imp->OpenDatabase((name + ".db").c_str(), 0) != DB_OK) imp.reset();
    return imp;
}

std::vector<std::vector<unsigned char>> Records(const std::string& name) {
    std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
    return imp ? ReadAll(*imp) : std::vector<std::vector<unsigned char>>{};
}

int32_t Current(const std::string& name) {
    std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
    int32_t current = -2;
    if (imp) imp->GetCurrentRecordNumber(&current);
    return current;
}

// Appends profile record n; its number, or -1.
int64_t AddProfile(CDatabaseImp& imp, int n) {
    uint32_t number = 0;
    std::vector<unsigned char> bytes = ProfileBytes(n);
    return imp.AddRecord(&number, bytes.data(), static_cast<uint32_t>(bytes.size())) == DB_OK
               ? int64_t{number}
               : -1;
}

// A profile store with the records 0 to count - 1 and the current record.
void MakeProfileStore(const std::string& name, int count, int32_t current) {
    {
        CProfileDatabase store;
        ASSERT_EQ(store.Recreate(name.c_str(), kStoreBuckets), 0);
    }
    {
        std::unique_ptr<CDatabaseImp> imp = OpenDataFile(name);
        ASSERT_TRUE(imp);
        for (int n = 0; n < count; ++n) ASSERT_EQ(AddProfile(*imp, n), n);
        ASSERT_EQ(imp->SetCurrentRecord(current), DB_OK);
    }
    CProfileDatabase store;
    ASSERT_EQ(store.OpenDatabase(name.c_str(), kProfileRecordVersion), 0);
    ASSERT_EQ(store.RebuildIndex(kStoreBuckets), 0);
}

// The store opens as the library opens it (repairing itself), and kitdb
// verify finds it clean.
void ExpectStoreSound(const std::string& name) {
    {
        CProfileDatabase store;
        ASSERT_EQ(store.OpenDatabase(name.c_str(), kProfileRecordVersion), 0);
    }
    EXPECT_EQ(VerifyQuietly(name), kExitOk);
}

// Acknowledgements "word value" as a map from word to the values in order.
std::map<std::string, std::vector<int>> Parse(const std::vector<std::string>& lines) {
    std::map<std::string, std::vector<int>> acks;
    for (const std::string& line : lines) {
        size_t blank = line.find(' ');
        acks[line.substr(0, blank)].push_back(
            blank == std::string::npos ? 0 : std::atoi(line.c_str() + blank + 1));
    }
    return acks;
}

const char kStore[] = "profile";

CrashOperation Append() {
    return {"append", [](const std::string& dir) { MakeProfileStore(Join(dir, kStore), 2, 0); },
            [](const std::string& dir) {
                CrashFiles files;
                std::unique_ptr<CDatabaseImp> imp = OpenDataFile(Join(dir, kStore));
                for (int n = 2; imp && n < 5; ++n) {
                    int64_t number = AddProfile(*imp, n);
                    if (number >= 0) Acknowledge(dir, "record " + std::to_string(number));
                }
            },
            [](const std::string& dir, int, bool, const std::vector<std::string>& acks) {
                const std::string name = Join(dir, kStore);
                ExpectStoreSound(name);
                std::vector<std::vector<unsigned char>> records = Records(name);
                std::vector<int> added = Parse(acks)["record"];
                ASSERT_GE(records.size(), 2 + added.size());
                ASSERT_LE(records.size(), 5u);
                for (size_t n = 0; n < records.size(); ++n)
                    EXPECT_EQ(records[n], ProfileBytes(static_cast<int>(n))) << "record " << n;
                for (size_t k = 0; k < added.size(); ++k)
                    EXPECT_EQ(added[k], static_cast<int>(2 + k));
                EXPECT_EQ(Current(name), 0);
            }};
}

CrashOperation CurrentRecordChange() {
    return {"current-record",
            [](const std::string& dir) { MakeProfileStore(Join(dir, kStore), 3, 0); },
            [](const std::string& dir) {
                CrashFiles files;
                std::unique_ptr<CDatabaseImp> imp = OpenDataFile(Join(dir, kStore));
                if (!imp) return;
                for (int32_t number : {2, -1, 1}) {
                    Acknowledge(dir, "begin " + std::to_string(number));
                    if (imp->SetCurrentRecord(number) == DB_OK)
                        Acknowledge(dir, "done " + std::to_string(number));
                }
            },
            [](const std::string& dir, int, bool, const std::vector<std::string>& acks) {
                const std::string name = Join(dir, kStore);
                ExpectStoreSound(name);
                std::map<std::string, std::vector<int>> parsed = Parse(acks);
                const std::vector<int>& begun = parsed["begin"];
                const std::vector<int>& done = parsed["done"];
                // The last change made, or the one under way.
                const int before = done.empty() ? 0 : done.back();
                const int32_t current = Current(name);
                EXPECT_TRUE(current == before ||
                            (begun.size() > done.size() && current == begun.back()))
                    << "current record " << current << " after " << acks.size() << " acks";
                EXPECT_EQ(Records(name).size(), 3u);
            }};
}

// The text of three records with CURRENT_RECORD 1, imported into a store of
// one record and no current record: text record 1 becomes record 2.
CrashOperation Import() {
    return {"import",
            [](const std::string& dir) {
                const std::string source = Join(dir, "source");
                MakeProfileStore(source, 4, 2);
                CDatabase database;
                ASSERT_EQ(database.OpenDatabase(source.c_str(), 57), 0);
                ASSERT_EQ(database.ExportDatabase(Join(dir, "records.txt").c_str()), 0);
                std::string text = ReadBytes(Join(dir, "records.txt"));
                // Records 1 to 3 of the source, CURRENT_RECORD 1 (the source's 2).
                size_t first = text.find("    START_RECORD 0");
                size_t second = text.find("    START_RECORD 1");
                text.erase(first, second - first);
                text.replace(text.find("CURRENT_RECORD=2"), 16, "CURRENT_RECORD=1");
                WriteBytes(Join(dir, "records.txt"), text);
                MakeProfileStore(Join(dir, kStore), 1, -1);
            },
            [](const std::string& dir) {
                CrashFiles files;
                CProfileDatabase store;
                if (store.OpenDatabase(Join(dir, kStore).c_str(), 57) != 0) return;
                if (store.ImportRecords(Join(dir, "records.txt").c_str()) == 0)
                    Acknowledge(dir, "imported");
            },
            [](const std::string& dir, int, bool, const std::vector<std::string>& acks) {
                const std::string name = Join(dir, kStore);
                ExpectStoreSound(name);
                std::vector<std::vector<unsigned char>> records = Records(name);
                ASSERT_GE(records.size(), 1u);
                ASSERT_LE(records.size(), 4u);
                for (size_t n = 0; n < records.size(); ++n)
                    EXPECT_EQ(records[n], ProfileBytes(static_cast<int>(n))) << "record " << n;
                const int32_t current = Current(name);
                EXPECT_TRUE(current == -1 || (current == 2 && records.size() >= 3))
                    << "current record " << current << " of " << records.size();
                if (!acks.empty()) {
                    EXPECT_EQ(records.size(), 4u);
                    EXPECT_EQ(current, 2);
                }
            }};
}

CrashOperation RebuildIndex() {
    return {"rebuild-index",
            [](const std::string& dir) { MakeProfileStore(Join(dir, kStore), 12, 3); },
            [](const std::string& dir) {
                CrashFiles files;
                CProfileDatabase store;
                if (store.OpenDatabase(Join(dir, kStore).c_str(), 57) != 0) return;
                if (store.RebuildIndex(7) == 0) Acknowledge(dir, "rebuilt");
            },
            [](const std::string& dir, int, bool, const std::vector<std::string>& acks) {
                const std::string name = Join(dir, kStore);
                ExpectStoreSound(name);
                std::vector<std::vector<unsigned char>> records = Records(name);
                ASSERT_EQ(records.size(), 12u);
                for (size_t n = 0; n < records.size(); ++n)
                    EXPECT_EQ(records[n], ProfileBytes(static_cast<int>(n))) << "record " << n;
                if (!acks.empty()) {
                    EXPECT_EQ(U32At(ReadBytes(name + ".idx"), 8), 7u);
                }
            }};
}

// The carry-over of an older layout: afterwards the store has exactly the
// records and the current record of a carry-over that nothing interrupted,
// no file of the carry-over is left, and records the old file could not
// give are kept in it.
struct CarryOverCase {
    const char* name;
    RawDatabase old;
    bool profile;
};

std::vector<CarryOverCase> CarryOverCases() {
    RawDatabase unreadable = OldLocation(55);
    unreadable.records.push_back(unreadable.records[1]);
    return {{"carry-over profile 56", Profile56(), true},
            {"carry-over location 60", OldLocation(60), false},
            {"carry-over location 55, a record unreadable", unreadable, false}};
}

int OpenStore(const std::string& name, bool profile) {
    if (profile) {
        CProfileDatabase store;
        return store.OpenDatabase(name.c_str(), kProfileRecordVersion);
    }
    CLocationDatabase store;
    return store.OpenDatabase(name.c_str(), kLocationRecordVersion);
}

// The old .db file with its third record's magic spoiled, when it has one.
void WriteOld(const CarryOverCase& c, const std::string& name) {
    c.old.Write(name);
    if (c.old.records.size() < 3) return;
    std::string db = ReadBytes(name + ".db");
    PutU32(db, 44 + 118 * c.old.fields.size() + 2 * (c.old.recordSize + 12), 0xBAD);
    WriteBytes(name + ".db", db);
}

CrashOperation CarryOver(const CarryOverCase& c, const std::string& reference) {
    return {c.name, [c](const std::string& dir) { WriteOld(c, Join(dir, "store")); },
            [c](const std::string& dir) {
                CrashFiles files;
                if (OpenStore(Join(dir, "store"), c.profile) == 0) Acknowledge(dir, "open");
            },
            [c, reference](const std::string& dir, int, bool, const std::vector<std::string>&) {
                const std::string name = Join(dir, "store");
                ASSERT_EQ(OpenStore(name, c.profile), 0);
                EXPECT_EQ(Records(name), Records(reference));
                EXPECT_EQ(Current(name), Current(reference));
                for (const char* leftover : {".new.db", ".new.idx", ".new.h00", ".old.db"})
                    EXPECT_FALSE(Exists(name + leftover)) << leftover;
                const std::string kept = name + ".v" + std::to_string(c.old.recordVersion) + ".db";
                EXPECT_EQ(Exists(kept), c.old.records.size() > 2) << kept;
                // The kept file tells of records the store lost: damage.
                const int verified = c.old.records.size() > 2 ? kExitDamaged : kExitOk;
                EXPECT_EQ(VerifyQuietly(name, verified), verified);
            }};
}

#ifdef _WIN32
ProfileRecordObject BackupProfile(const char* login) {
    ProfileRecordObject record;
    std::memcpy(record.Record().Description, "Home", 4);
    record.SetLoginName(login);
    record.ParseDnsAddr1("10.0.0.1");
    record.SetPOPServer("mail.example.net");
    return record;
}

// The backup file holds the first record's section whole or the second's.
CrashOperation BackupWrite(const std::string& first, const std::string& second) {
    return {
        "backup write",
        [](const std::string& dir) {
            ASSERT_EQ(BackupProfile("first").WriteBackup(Join(dir, "backup.ini").c_str()), 1);
        },
        [](const std::string& dir) {
            CrashFiles files;
            if (BackupProfile("second").WriteBackup(Join(dir, "backup.ini").c_str()) == 1)
                Acknowledge(dir, "written");
        },
        [first, second](const std::string& dir, int, bool, const std::vector<std::string>& acks) {
            const std::string path = Join(dir, "backup.ini");
            ASSERT_TRUE(RecoverBackupFile(path.c_str()));
            const std::string bytes = ReadBytes(path);
            EXPECT_TRUE(bytes == second || (acks.empty() && bytes == first)) << bytes;
            EXPECT_FALSE(Exists(path + ".new"));
            EXPECT_FALSE(Exists(path + ".old"));
        }};
}
#endif

class CrashTest : public ::testing::Test {
protected:
    // Runs the operation at every crash point and reports the count.
    void Run(const CrashOperation& operation, bool cutShort = true) {
        int points = RunCrashPoints(operation, dir.Path(), 2, cutShort);
        std::printf("crash points: %s: %d\n", operation.name.c_str(), points);
        total += points;
    }
    static void TearDownTestSuite() { std::printf("crash points covered: %d\n", total); }

    ScratchDir dir;
    ScratchDir reference;
    static int total;
};

int CrashTest::total = 0;

// The operations as the Windows child looks them up by name: it only runs
// them, so the references of the checks are not needed there.
const std::vector<CrashOperation>& Operations() {
    static const std::vector<CrashOperation> operations = [] {
        std::vector<CrashOperation> all = {Append(), CurrentRecordChange(), Import(),
                                           RebuildIndex()};
        for (const CarryOverCase& c : CarryOverCases()) all.push_back(CarryOver(c, ""));
#ifdef _WIN32
        all.push_back(BackupWrite("", ""));
#endif
        return all;
    }();
    return operations;
}

// Under Wine every child process costs seconds: the engine's own operations
// (the same code in both builds) are stopped at every write natively, the
// carry-over of both stores and the Windows-only backup write in both. Under
// Wine the carry-over dies before each write (its renames and removals are
// the platform's own); the writes cut short are the same code natively.
TEST_F(CrashTest, EngineOperations) {
#ifdef _WIN32
    GTEST_SKIP() << "run natively";
#endif
    for (const CrashOperation& operation :
         {Append(), CurrentRecordChange(), Import(), RebuildIndex()}) {
        Run(operation);
    }
}

// One test per layout, so that shards of the program run them side by side.
class CarryOverCrashTest : public CrashTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(CarryOverCrashTest, OfAnOlderLayout) {
    const CarryOverCase c = CarryOverCases()[GetParam()];
    bool cutShort = true;
#ifdef _WIN32
    cutShort = false;
#endif
    const std::string name = reference.File(c.profile ? "profile" : "location");
    WriteOld(c, name);
    {
        CurrentDirectory here(reference.Path());
        ASSERT_EQ(OpenStore(name, c.profile), 0);
    }
    Run(CarryOver(c, name), cutShort);
}

// Under Wine one layout of each store.
#ifdef _WIN32
const size_t kCarryOverLayouts = 2;
#else
const size_t kCarryOverLayouts = 3;
#endif
INSTANTIATE_TEST_SUITE_P(Layouts, CarryOverCrashTest,
                         ::testing::Range<size_t>(0, kCarryOverLayouts));

#ifdef _WIN32
TEST_F(CrashTest, BackupWrite) {
    const std::string path = reference.File("backup.ini");
    ASSERT_EQ(BackupProfile("first").WriteBackup(path.c_str()), 1);
    const std::string first = ReadBytes(path);
    ASSERT_EQ(BackupProfile("second").WriteBackup(path.c_str()), 1);
    Run(BackupWrite(first, ReadBytes(path)));
}
#endif

}  // namespace

int main(int argc, char** argv) {
    return CrashTestMain(argc, argv, Operations());
}
