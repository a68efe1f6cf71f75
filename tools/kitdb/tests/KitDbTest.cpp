// kitdb run as a process on stores the tests make, clean, damaged byte by
// byte, old and missing: its output and its exit codes (0 done or clean,
// 1 damaged, 2 unusable or failed).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "database/ProfileDatabase.h"
#include "tests/database/DatabaseTesting.h"
#include "tests/database/StoreTesting.h"

namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

std::string ToolPath() {
#ifdef _WIN32
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    return (std::filesystem::path(self).parent_path() / "kitdb.exe").string();
#else
    return (std::filesystem::canonical("/proc/self/exe").parent_path() / "kitdb").string();
#endif
}

// Runs kitdb with the arguments in the directory, its output into files.
Result Kitdb(const std::vector<std::string>& args, const std::string& cwd) {
    const std::string out = cwd + "/kitdb.out", err = cwd + "/kitdb.err";
#ifdef _WIN32
    std::string line = "\"" + ToolPath() + "\"";
    for (const std::string& arg : args) line += " \"" + arg + "\"";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE files[2];
    for (int i = 0; i < 2; ++i)
        files[i] = CreateFileA((i ? err : out).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = files[0];
    startup.hStdError = files[1];
    PROCESS_INFORMATION process = {};
    DWORD code = 255;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, cwd.c_str(), &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(files[0]);
    CloseHandle(files[1]);
    Result result{static_cast<int>(code), ReadBytes(out), ReadBytes(err)};
    // The Windows program's lines end in CR LF.
    for (std::string* text : {&result.out, &result.err})
        text->erase(std::remove(text->begin(), text->end(), '\r'), text->end());
    return result;
#else
    auto quote = [](const std::string& text) {
        std::string quoted = "'";
        for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted + "'";
    };
    std::string line = "cd " + quote(cwd) + " && " + quote(ToolPath());
    for (const std::string& arg : args) line += " " + quote(arg);
    line += " >" + quote(out) + " 2>" + quote(err);
    int status = std::system(line.c_str());
    return Result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(out), ReadBytes(err)};
#endif
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class KitDbTest : public DatabaseTest {
protected:
    Result Run(const std::vector<std::string>& args) { return Kitdb(args, dir.Path()); }

    // A profile store of three records ("Home" and "Dave" share bucket 55),
    // current record 1, its index rebuilt.
    std::string MakeStore(const std::string& base = "profile") {
        const std::string name = Name(base);
        {
            CProfileDatabase store;
            EXPECT_EQ(store.Recreate(name.c_str(), 101), 0);
        }
        std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
        EXPECT_EQ(imp->OpenDatabase((name + ".db").c_str(), 57), DB_OK);
        const char* descriptions[] = {"Home", "Office", "Dave"};
        for (int n = 0; n < 3; ++n) {
            ProfileRecordObject record;
            std::strcpy(record.Record().Description, descriptions[n]);
            record.Record().ProfileId = n == 1 ? -1 : n;
            record.SetLoginName(n == 1 ? "bob\tlogin" : "user");
            record.ParseDnsAddr1("10.0.0.1");
            uint32_t number = 0;
            EXPECT_EQ(imp->AddRecord(&number, record.GetData(), record.GetDataSize()), DB_OK);
        }
        imp->ReadHeader();
        const_cast<DatabaseHeader&>(imp->Header()).currentRecord = 1;
        imp->WriteHeader();
        imp.reset();
        CProfileDatabase store;
        EXPECT_EQ(store.OpenDatabase(name.c_str(), 57), 0);
        EXPECT_EQ(store.RebuildIndex(101), 0);
        return name;
    }
};

TEST_F(KitDbTest, CleanStoreInfoVerifyAndShow) {
    const std::string name = MakeStore();
    Result info = Run({"info", name});
    EXPECT_EQ(info.code, 0) << info.err;
    EXPECT_TRUE(Has(info.out, "Database " + name + ", the profile store\n"));
    EXPECT_TRUE(Has(info.out, "  record version 57\n  record size 9466\n  current record 1\n"));
    EXPECT_TRUE(Has(info.out, "  number of fields 49\n"));
    EXPECT_TRUE(Has(info.out, "  open count 0\n"));
    EXPECT_TRUE(Has(info.out,
                    "     0     4       1       0  Version  \"This field must always be "
                    "57\"\n"));
    EXPECT_TRUE(Has(info.out, "    48     2     255    9210  OriginalPassword\n"));
    EXPECT_TRUE(Has(info.out, "Records: 3\nCurrent record: 1, Description \"Office\"\n"));
    EXPECT_TRUE(Has(info.out, "  key type 2, key length 255, slot size 264, open count 0\n"));
    EXPECT_TRUE(Has(info.out,
                    "  buckets 101, buckets used 2, longest chain 2, keys 3, "
                    "overflow slots 1\n"));

    Result verify = Run({"verify", name});
    EXPECT_EQ(verify.code, 0) << verify.out;
    EXPECT_EQ(verify.out, name +
                              ".db: record version 57, 49 fields, 3 records, the layout of the "
                              "store: profile\n" +
                              name + ".idx: 101 buckets, 3 keys, longest chain 2\nresult: clean\n");

    Result show = Run({"show", name});
    EXPECT_EQ(show.code, 0) << show.err;
    EXPECT_TRUE(Has(show.out,
                    "Record 1 of 3 (current)\n  Version = 57\n"
                    "  Description = \"Office\"\n  ProfileId = -1\n"));
    EXPECT_TRUE(Has(show.out, "  LoginName = \"bob\\x09login\"\n"));
    EXPECT_TRUE(Has(show.out, "  DnsAddr1 = 10 0 0 1\n  DnsAddr2 = 0 0 0 0\n"));
    show = Run({"show", name, "2"});
    EXPECT_TRUE(Has(show.out, "Record 2 of 3\n")) << show.out;
    EXPECT_TRUE(Has(show.out, "  Description = \"Dave\"\n"));

    show = Run({"show", name, "3"});
    EXPECT_EQ(show.code, 2);
    EXPECT_EQ(show.err, "kitdb: " + name + ".db: no record 3 (there are 3 records)\n");
    EXPECT_EQ(Run({"show", name, "x1"}).code, 2);
}

// One damage a row, made on a clean store: verify names it (a line of its
// report), salvage keeps every readable record byte for byte (the others
// raw in OUT.unread.db), repair mends what it can after backing the files up
// and leaves every record place as it was.
struct DamageCase {
    const char* kind;
    void (*damage)(const std::string& name);
    int verifyCode;
    const char* finding;  // "@" stands for the store's name
    int salvaged;         // records in the salvaged database; -1: salvage fails
    int salvageCode;
    const char* repairLine;  // "" when repair has nothing to do
    int repairCode;
};

void PrintTo(const DamageCase& c, std::ostream* out) {
    *out << c.kind;
}

void Patch(const std::string& path, size_t offset, uint32_t value) {
    std::string bytes = ReadBytes(path);
    PutU32(bytes, offset, value);
    WriteBytes(path, bytes);
}

void CopyFile(const std::string& from, const std::string& to) {
    WriteBytes(to, ReadBytes(from));
}

constexpr size_t kPlace = 9466 + 12;

size_t PlaceAt(uint32_t n) {
    return 44 + 118 * 49 + n * kPlace;
}

const DamageCase kDamages[] = {
    {"bad record magic", [](const std::string& n) { Patch(n + ".db", PlaceAt(1), 0xBAD); }, 1,
     "damaged: @.db: record 1: bad record magic; repair leaves it; kitdb salvage keeps its bytes "
     "in a side file",
     2, 1, "repair: @.idx: made anew, the profile store's index, 101 buckets, key length 255", 1},
    {"partial trailing record",
     [](const std::string& n) {
         WriteBytes(n + ".db", ReadBytes(n + ".db") + std::string(100, 'x'));
     },
     0,
     "note: @.db: record 3: a partial place of 100 bytes at the end, left by an interrupted append "
     "(no record; the next append writes over it); repair cuts it off",
     3, 0, "repair: @.db: cut off the partial place of 100 bytes at offset 34260", 0},
    {"current record beyond the records", [](const std::string& n) { Patch(n + ".db", 24, 7); }, 1,
     "damaged: @.db: header: current record 7, but there are 3 records; repair sets it to -1 "
     "(none)",
     3, 0, "repair: @.db: current record 7 set to -1 (none)", 0},
    {"open count", [](const std::string& n) { Patch(n + ".db", 36, 2); }, 0,
     "note: @.db: header: open count 2, not 0: not closed cleanly, or open in a program now; "
     "repair sets it to 0 (close the kit's programs first)",
     3, 0, "repair: @.db: open count 2 set to 0", 0},
    {"record version", [](const std::string& n) { Patch(n + ".db", PlaceAt(2) + 12, 56); }, 1,
     "damaged: @.db: record 2: Version is 56, not the record version 57; repair leaves it; an "
     "export imported into a store made anew gets the store's Version",
     3, 0, "", 1},
    {"index chain", [](const std::string& n) { Patch(n + ".idx", 36 + 79 * 264, 0); }, 1,
     "damaged: @.idx: bucket 79, slot 79: its key \"Office\" is not record 0's key \"Home\"; "
     "repair makes the index anew (so does the store's next open)",
     3, 0, "repair: @.idx: made anew, the profile store's index, 101 buckets, key length 255", 0},
    {"index chain loop", [](const std::string& n) { Patch(n + ".idx", 36 + 101 * 264 + 4, 101); },
     1,
     "damaged: @.idx: bucket 55: the chain comes back to slot 101; repair makes the index anew "
     "(so does the store's next open)",
     3, 0, "repair: @.idx: made anew, the profile store's index, 101 buckets, key length 255", 0},
    {"index missing", [](const std::string& n) { RemoveFile(n + ".idx"); }, 1,
     "damaged: @.idx: missing; repair makes the index anew (so does the store's next open)", 3, 0,
     "repair: @.idx: made anew, the profile store's index, 101 buckets, key length 255", 0},
    {"index unsealed", [](const std::string& n) { Patch(n + ".idx", 0, 0); }, 1,
     "damaged: @.idx: unsealed: a change of it was interrupted; repair makes the index anew (so "
     "does the store's next open)",
     3, 0, "repair: @.idx: made anew, the profile store's index, 101 buckets, key length 255", 0},
    {"index open count", [](const std::string& n) { Patch(n + ".idx", 32, 1); }, 0,
     "note: @.idx: header: open count 1, not 0: not closed cleanly, or open in a program now; "
     "repair sets it to 0 (close the kit's programs first)",
     3, 0, "repair: @.idx: open count 1 set to 0", 0},
    {"index of other buckets",
     [](const std::string& n) {
         CProfileDatabase store;
         EXPECT_EQ(store.OpenDatabase(n.c_str(), 57), 0);
         EXPECT_EQ(store.RebuildIndex(7), 0);
     },
     0,
     "note: @.idx: header: 7 buckets, key type 2, key length 255; the profile store's has 101 "
     "buckets, key type 2, key length 255; repair makes it anew with the store's",
     3, 0, "repair: @.idx: made anew, the profile store's index, 101 buckets, key length 255", 0},
    {"carry-over before its commit",
     [](const std::string& n) {
         CopyFile(n + ".db", n + ".new.db");
         WriteBytes(n + ".new.idx", "half");
     },
     1,
     "damaged: @.new.db: left by a carry-over that did not reach its commit (@.new.db, "
     "@.new.idx); @.db is still the store's; repair removes them (so does the store's next open)",
     3, 0, "repair: @.new.db: remove the files of the unfinished carry-over", 0},
    {"carry-over after its commit",
     [](const std::string& n) {
         CopyFile(n + ".db", n + ".old.db");
         std::filesystem::rename(n + ".db", n + ".new.db");
     },
     1,
     "damaged: @.old.db: a carry-over stopped after its commit, before @.new.db became @.db; "
     "repair finishes it with the store's own recovery (so does the store's next open)",
     -1, 2, "repair: @.old.db: finish the carry-over with the store's own recovery", 0},
    {"records lost by a carry-over",
     [](const std::string& n) { CopyFile(n + ".db", n + ".v56.db"); }, 1,
     "damaged: @.v56.db: the old data file of a carry-over that could not take every record over "
     "(3 records); repair leaves it; kitdb salvage @.v56 OUT saves what can be read",
     3, 0, "", 1},
};

std::string WithName(std::string text, const std::string& name) {
    for (size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, name);
    return text;
}

// The whole record places of a data file of the profile layout.
std::vector<std::string> Places(const std::string& bytes) {
    std::vector<std::string> places;
    for (size_t at = PlaceAt(0); at + kPlace <= bytes.size(); at += kPlace)
        places.push_back(bytes.substr(at, kPlace));
    return places;
}

class KitDbDamageTest : public KitDbTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(KitDbDamageTest, ThroughVerifySalvageAndRepair) {
    const DamageCase& c = GetParam();
    const std::string name = MakeStore();
    c.damage(name);
    const std::string damaged = ReadBytes(Exists(name + ".db") ? name + ".db" : name + ".new.db");

    Result verify = Run({"verify", name});
    EXPECT_EQ(verify.code, c.verifyCode) << verify.out;
    EXPECT_TRUE(Has(verify.out, WithName(c.finding, name) + "\n")) << verify.out;

    const std::string out = Name("saved");
    Result salvage = Run({"salvage", name, out});
    EXPECT_EQ(salvage.code, c.salvageCode) << salvage.out << salvage.err;
    if (c.salvaged >= 0) {
        EXPECT_TRUE(Has(salvage.out, name + ": " + std::to_string(c.salvaged) +
                                         " of 3 records salvaged into " + out + ".db"))
            << salvage.out;
        std::vector<std::string> readable, unreadable;
        for (const std::string& place : Places(damaged))
            (U32At(place, 0) == kRecordMagic ? readable : unreadable).push_back(place);
        EXPECT_EQ(Places(ReadBytes(out + ".db")), readable);
        const std::string partial = damaged.substr(PlaceAt(3));
        if (!unreadable.empty() || !partial.empty()) {
            const std::string side = ReadBytes(out + ".unread.db");
            EXPECT_EQ(Places(side), unreadable);
            EXPECT_EQ(side.substr(PlaceAt(static_cast<uint32_t>(unreadable.size()))), partial);
        } else {
            EXPECT_FALSE(Exists(out + ".unread.db"));
        }
        // A record's own Version is kept as it is.
        EXPECT_EQ(Run({"verify", out}).code, std::string(c.kind) == "record version" ? 1 : 0);
    }

    Result repair = Run({"repair", name});
    EXPECT_EQ(repair.code, c.repairCode) << repair.out << repair.err;
    if (*c.repairLine) {
        EXPECT_TRUE(Has(repair.out, WithName(c.repairLine, name) + "\n")) << repair.out;
    } else {
        EXPECT_TRUE(Has(repair.out, name + ": nothing to repair\n")) << repair.out;
    }
    // What is left after a repair is only what repair leaves.
    std::istringstream after(
        repair.out.substr(std::min(repair.out.find("after the repair:"), repair.out.size())));
    for (std::string line; std::getline(after, line);)
        EXPECT_TRUE(!Has(line, "; repair ") || Has(line, "; repair leaves it")) << line;
    // Repair's exit code is verify's after it; the backup is the file
    // as it was, and no record place changed.
    if (Exists(name + ".db.bak")) {
        EXPECT_EQ(ReadBytes(name + ".db.bak"), damaged);
    }
    EXPECT_EQ(Places(ReadBytes(name + ".db")), Places(damaged));
}

INSTANTIATE_TEST_SUITE_P(Damages, KitDbDamageTest, ::testing::ValuesIn(kDamages));

// A data file the engine refuses: every command says which check failed
// with its values, dump shows the header as it is.
TEST_F(KitDbTest, UnusableDatabasesGiveTwo) {
    Result missing = Run({"verify", Name("nothing")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.out, "result: unusable\n");
    EXPECT_EQ(missing.err, "kitdb: " + Name("nothing") + ".db: is missing (code -3)\n");
    EXPECT_EQ(Run({"info", Name("nothing")}).code, 2);
    EXPECT_EQ(Run({"repair", Name("nothing")}).code, 2);

    WriteBytes(Name("junk") + ".db", std::string(200, 'j'));
    Result junk = Run({"verify", Name("junk")});
    EXPECT_EQ(junk.code, 2);
    EXPECT_EQ(junk.err, "kitdb: " + Name("junk") +
                            ".db: the magic is 0x6A6A6A6A, not 0x6773AE55 (code -17)\n");
    const struct {
        size_t offset;
        uint32_t value;
        const char* check;
    } refused[] = {
        {12, 51, "database version check (code -14): the database version is 51, not 52"},
        {20, 0, "record size check (code -17): the record size 0 is not from 1 to"},
        {40, 5000,
         "areas check (code -17): the header, 5000 bytes of private data and 3 field "
         "descriptors end at byte 5398, beyond the file's"},
        {44 + 118 * 2 + 12, 200,
         "fields check (code -17): field 2 (Id) takes bytes 200 to 204 "
         "of the record, beyond its 32 bytes"},
    };
    for (const auto& c : refused) {
        RawDatabase raw;
        raw.recordVersion = 7;
        raw.recordSize = 32;
        raw.fields = {{"Version", 4, 1, 0}, {"Name", 2, 12, 4}, {"Id", 4, 1, 24}};
        std::string db = RawDbBytes(raw);
        PutU32(db, c.offset, c.value);
        WriteBytes(Name("refused") + ".db", db);
        Result dump = Run({"dump", Name("refused"), "--header"});
        EXPECT_EQ(dump.code, 2);
        EXPECT_TRUE(
            Has(dump.out, "The engine's checks at open: refused at the " + std::string(c.check)))
            << dump.out;
        EXPECT_TRUE(Has(dump.out, "  00000000  55 ae 73 67 ")) << dump.out;
        Result show = Run({"show", Name("refused"), "0"});
        EXPECT_EQ(show.code, 2);
        EXPECT_TRUE(Has(show.err, Name("refused") + ".db: ")) << show.err;
    }
}

TEST_F(KitDbTest, ExportImportAndUpgrade) {
    const std::string name = MakeStore();
    Result exported = Run({"export", name, "profile.txt"});
    EXPECT_EQ(exported.code, 0) << exported.err;
    EXPECT_EQ(exported.out, name + ": 3 records written to profile.txt\n");
    EXPECT_EQ(ReadBytes(dir.File("profile.txt")).rfind("START_DBHEADER\r\n", 0), 0u);

    {
        CProfileDatabase empty;
        ASSERT_EQ(empty.Recreate(Name("copy").c_str(), 101), 0);
    }
    Result imported = Run({"import", Name("copy"), "profile.txt"});
    EXPECT_EQ(imported.code, 0) << imported.err;
    EXPECT_EQ(imported.out, Name("copy") + ": 3 records added from profile.txt\n" + Name("copy") +
                                ".idx: made anew, the profile store's index, 101 buckets, key "
                                "length 255\n");
    EXPECT_EQ(Run({"verify", Name("copy")}).code, 0);
    EXPECT_TRUE(Has(Run({"info", Name("copy")}).out, "Current record: 1, Description \"Office\""));

    Result noText = Run({"import", Name("copy"), "missing.txt"});
    EXPECT_EQ(noText.code, 2);
    EXPECT_TRUE(Has(noText.err, "kitdb: missing.txt: the text file cannot be opened (code -3)\n"));
    std::filesystem::create_directory(dir.File("taken"));
    EXPECT_TRUE(Has(Run({"export", name, "taken"}).err,
                    "kitdb: taken: the text file cannot be created (code -4)\n"));

    // An old profile layout carried over by the store.
    RawDatabase old;
    old.recordVersion = 56;
    old.recordSize = 300;
    old.fields = {{"Version", 4, 1, 0}, {"Description", 2, 255, 4}, {"ProfileId", 4, 1, 260}};
    std::string record = old.NewRecord();
    old.PutText(record, "Description", "Legacy");
    old.records = {record, record};
    old.Write(Name("legacy"));
    Result upgrade = Run({"upgrade", Name("legacy"), "profile"});
    EXPECT_EQ(upgrade.code, 0) << upgrade.err;
    EXPECT_EQ(upgrade.out, Name("legacy") +
                               ": carried over from record version 56 to 57; 2 records (the text "
                               "is in database.exp)\n");
    EXPECT_TRUE(Exists(dir.File("database.exp")));
    EXPECT_EQ(Run({"verify", Name("legacy")}).code, 0);
    upgrade = Run({"upgrade", Name("legacy"), "profile"});
    EXPECT_EQ(upgrade.out, Name("legacy") +
                               ": already the profile store's record version 57; 2 "
                               "records\n");
    EXPECT_EQ(Run({"upgrade", Name("legacy"), "modem"}).code, 2);
    Result wrongStore = Run({"upgrade", Name("legacy"), "location"});
    EXPECT_EQ(wrongStore.code, 2);
    EXPECT_EQ(wrongStore.err, "kitdb: " + Name("legacy") +
                                  ".db: has the profile store's layout, not the location store's; "
                                  "nothing changed\n");
    EXPECT_EQ(Run({"verify", Name("legacy")}).code, 0);

    // A text it did not write is not written over; a carry-over that loses
    // records is no success.
    old.records[1].clear();
    old.Write(Name("legacy2"));
    std::string db = ReadBytes(Name("legacy2") + ".db");
    PutU32(db, 44 + 118 * 3 + (300 + 12), 0xBAD);
    WriteBytes(Name("legacy2") + ".db", db);
    const std::string text = ReadBytes(dir.File("database.exp"));
    Result refused = Run({"upgrade", Name("legacy2"), "profile"});
    EXPECT_EQ(refused.code, 2);
    EXPECT_TRUE(Has(refused.err, "kitdb: database.exp: is in the current directory already"))
        << refused.err;
    EXPECT_EQ(ReadBytes(dir.File("database.exp")), text);
    EXPECT_EQ(ReadBytes(Name("legacy2") + ".db"), db);
    RemoveFile(dir.File("database.exp"));
    Result lost = Run({"upgrade", Name("legacy2"), "profile"});
    EXPECT_EQ(lost.code, 1);
    EXPECT_TRUE(Has(lost.out, Name("legacy2") +
                                  ": 1 records of the old layout were not carried over\n" +
                                  Name("legacy2") + ".v56.db: the old data file"))
        << lost.out;
}

// Inspection reads only: read-only files in a read-only directory keep
// every byte and time stamp through every command that inspects.
TEST_F(KitDbTest, InspectionLeavesTheFilesAsTheyWere) {
    ScratchDir outside;
    const std::string name = MakeStore();
    std::string db = ReadBytes(name + ".db");
    PutU32(db, 44 + 118 * 49 + 9478, 0xBAD);  // record 1
    PutU32(db, 36, 2);
    WriteBytes(name + ".db", db + "partial");
    namespace fs = std::filesystem;
    struct Seen {
        std::string bytes;
        fs::file_time_type written;
        bool operator==(const Seen& o) const { return bytes == o.bytes && written == o.written; }
    };
    auto look = [&] {
        std::map<std::string, Seen> files;
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            files[entry.path().filename().string()] = {ReadBytes(entry.path().string()),
                                                       entry.last_write_time()};
        return files;
    };
    const fs::perms write =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        fs::permissions(entry.path(), write, fs::perm_options::remove, ignored);
    fs::permissions(dir.Path(), write, fs::perm_options::remove, ignored);
#ifdef _WIN32
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_READONLY);
#endif
    const auto before = look();
    const struct {
        std::vector<std::string> args;
        int code;
        std::string line;
    } runs[] = {
        {{"info", name}, 0, "  open count 2\n"},
        {{"info", name, "--json"}, 0, "    \"openCount\": 2,\n"},
        {{"verify", name}, 1, "result: damaged (2 problems)\n"},
        {{"verify", name, "--json"}, 1, "      \"kind\": \"bad-record-magic\",\n"},
        {{"show", name, "2"}, 0, "  Description = \"Dave\"\n"},
        {{"dump", name},
         0,
         "  record 1 at offset 15304: magic 0x00000BAD, removed 0: bad record magic\n"},
        {{"dump", name, "--record", "1"},
         0,
         "  00003bc8  ad 0b 00 00 00 00 00 00  00 00 00 00 39 00 00 00"},
        {{"dump", name, "--record", "3", "--json"}, 0, "    \"state\": \"partial\",\n"},
        {{"export", name, outside.File("profile.txt")},
         0,
         "2 records written to " + outside.File("profile.txt") + "\n" + name +
             ": only as comments, not as records: record 1 (bad record magic)\n"},
        {{"-v", "export", name, outside.File("again.txt")}, 0, ""},
        {{"salvage", name, outside.File("saved")}, 1, "2 of 3 records salvaged"},
        {{"repair", name, "--dry-run"},
         1,
         "would repair: " + name + ".db: open count 2 set to 0\n"},
    };
    for (const auto& run : runs) {
        Result result = Kitdb(run.args, outside.Path());
        EXPECT_EQ(result.code, run.code) << run.args[0] << result.out << result.err;
        EXPECT_TRUE(Has(result.out, run.line)) << run.args[0] << "\n" << result.out;
        // -v: the engine's message about the record it cannot export.
        if (run.args[0] == "-v") {
            EXPECT_TRUE(Has(result.err, "Error reading record 1, dberror: 4")) << result.err;
        }
    }
    EXPECT_TRUE(look() == before);
    fs::permissions(dir.Path(), fs::perms::owner_all, fs::perm_options::add, ignored);
#ifdef _WIN32
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
}

TEST_F(KitDbTest, HelpAndUsage) {
    Result help = Run({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* command :
         {"info NAME [--json]", "verify NAME [--json]", "show NAME [N]",
          "dump NAME [--header | --record N] [--json]", "export NAME FILE", "import NAME FILE",
          "rebuild-index NAME", "upgrade NAME profile|location", "salvage NAME OUT",
          "repair NAME [--dry-run]"})
        EXPECT_TRUE(Has(help.out, std::string("  kitdb ") + command + "\n")) << command;
    Result verifyHelp = Run({"verify", "--help"});
    EXPECT_EQ(verifyHelp.code, 0);
    EXPECT_TRUE(Has(verifyHelp.out, "usage: kitdb verify NAME [--json]\n"));
    EXPECT_TRUE(Has(help.out, "A support case, from a damaged store to a repaired one:\n"));
    EXPECT_EQ(Run({}).code, 2);
    Result unknown = Run({"frobnicate", "x"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(Has(unknown.err, "kitdb: unknown command \"frobnicate\"\n"));
    Result missingArgument = Run({"export", "x"});
    EXPECT_EQ(missingArgument.code, 2);
    EXPECT_EQ(missingArgument.err, "usage: kitdb export NAME FILE\n");
}

}  // namespace
