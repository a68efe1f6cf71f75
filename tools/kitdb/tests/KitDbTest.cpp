// kitdb run as a process on stores the tests make, clean, damaged byte by
// byte, old and missing: its output and its exit codes (0 done or clean,
// 1 damaged, 2 unusable or failed).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

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
    static size_t RecordAt(uint32_t n) { return 44 + 118 * 49 + n * (9466 + 12); }
    static size_t SlotAt(uint32_t slot) { return 36 + slot * (255 + 9); }
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
    EXPECT_TRUE(Has(info.out, "  key type 2, key length 255, slot size 264\n"));
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

TEST_F(KitDbTest, DamageIsNamedAndGivesOne) {
    const std::string name = MakeStore();
    std::string db = ReadBytes(name + ".db");
    PutU32(db, RecordAt(2), 0xBAD);  // record 2: bad magic
    PutU32(db, 24, 7);               // current record beyond the records
    db += std::string(100, 'x');     // an interrupted append: no damage
    WriteBytes(name + ".db", db);
    std::string idx = ReadBytes(name + ".idx");
    PutU32(idx, SlotAt(79), 0);  // "Office" now points at record 0
    WriteBytes(name + ".idx", idx);

    Result verify = Run({"verify", name});
    EXPECT_EQ(verify.code, 1);
    EXPECT_TRUE(Has(verify.out, "note: " + name +
                                    ".db: 100 bytes of an interrupted append at the end (not a "
                                    "record; the next append writes over them)\n"));
    EXPECT_TRUE(Has(verify.out, "damaged: " + name + ".db: record 2: bad record magic\n"));
    EXPECT_TRUE(Has(verify.out, "damaged: " + name + ".db: current record 7 of 3 records\n"));
    EXPECT_TRUE(Has(verify.out, "damaged: " + name +
                                    ".idx: bucket 55, slot 55: points at record "
                                    "2, which cannot be read\n"))
        << verify.out;
    EXPECT_TRUE(Has(verify.out, "damaged: " + name +
                                    ".idx: bucket 79, slot 79: its key "
                                    "\"Office\" is not record 0's key \"Home\"\n"));
    EXPECT_TRUE(Has(verify.out, "result: damaged (4 problems)\n"));

    // A chain that comes back to itself, and a key in the wrong bucket.
    idx = ReadBytes(name + ".idx");
    PutU32(idx, SlotAt(101) + 4, 101);
    idx.replace(SlotAt(79) + 8, 6, "Offide");
    WriteBytes(name + ".idx", idx);
    verify = Run({"verify", name});
    EXPECT_EQ(verify.code, 1);
    EXPECT_TRUE(Has(verify.out, "bucket 55: the chain comes back to slot 101\n"));
    EXPECT_TRUE(Has(verify.out, "bucket 79, slot 79: its key does not belong in this bucket\n"));

    // A missing index is damage the database survives, and rebuild-index
    // repairs it once the records are sound again.
    RemoveFile(name + ".idx");
    WriteBytes(name + ".db", ReadBytes(name + ".db").substr(0, RecordAt(2)));
    verify = Run({"verify", name});
    EXPECT_EQ(verify.code, 1);
    EXPECT_TRUE(Has(verify.out, "damaged: " + name +
                                    ".idx: cannot be opened (missing or not "
                                    "readable)\n"));
    Result rebuild = Run({"rebuild-index", name});
    EXPECT_EQ(rebuild.code, 0) << rebuild.err;
    EXPECT_EQ(rebuild.out, name +
                               ".idx: made anew, the profile store's index, 101 buckets, key "
                               "length 255; 2 records\n");
    verify = Run({"verify", name});
    EXPECT_EQ(verify.code, 1) << "the current record is still 7";
    EXPECT_TRUE(Has(verify.out, "result: damaged (1 problems)\n"));
}

TEST_F(KitDbTest, UnusableDatabasesGiveTwo) {
    Result missing = Run({"verify", Name("nothing")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.out, "result: unusable\n");
    EXPECT_EQ(missing.err, "kitdb: " + Name("nothing") +
                               ".db: cannot be opened (missing, or not readable and writable) "
                               "(code -3)\n");
    EXPECT_EQ(Run({"info", Name("nothing")}).code, 2);

    WriteBytes(Name("junk") + ".db", std::string(200, 'j'));
    Result junk = Run({"verify", Name("junk")});
    EXPECT_EQ(junk.code, 2);
    EXPECT_EQ(junk.err, "kitdb: " + Name("junk") +
                            ".db: not a database file (wrong magic or an impossible header) "
                            "(code -17)\n");
    std::string db = RawDbBytes(RawDatabase{});
    PutU32(db, 12, 51);
    WriteBytes(Name("old") + ".db", db);
    EXPECT_TRUE(Has(Run({"show", Name("old")}).err, "the database version is not 52 (code -14)"));
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
}

TEST_F(KitDbTest, HelpAndUsage) {
    Result help = Run({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* command :
         {"info NAME", "verify NAME", "show NAME [N]", "export NAME FILE", "import NAME FILE",
          "rebuild-index NAME", "upgrade NAME profile|location"})
        EXPECT_TRUE(Has(help.out, std::string("  kitdb ") + command + "\n")) << command;
    Result verifyHelp = Run({"verify", "--help"});
    EXPECT_EQ(verifyHelp.code, 0);
    EXPECT_TRUE(Has(verifyHelp.out, "usage: kitdb verify NAME\n"));
    EXPECT_TRUE(Has(verifyHelp.out, "Exit code 0 clean, 1 damaged, 2 unusable"));
    EXPECT_EQ(Run({}).code, 2);
    Result unknown = Run({"frobnicate", "x"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(Has(unknown.err, "kitdb: unknown command \"frobnicate\"\n"));
    Result missingArgument = Run({"export", "x"});
    EXPECT_EQ(missingArgument.code, 2);
    EXPECT_EQ(missingArgument.err, "usage: kitdb export NAME FILE\n");
}

}  // namespace
