// Makes the seed corpora of the fuzz targets from files the engine writes:
// exports of small databases for the import target, .db/.idx pairs for the
// files target. Usage: database_fuzz_seeds <corpus directory>; writes
// <dir>/import/* and <dir>/files/*.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "database/CDatabase.h"
#include "database/CDatabaseImp.h"
#include "tests/database/DatabaseExercise.h"
#include "tests/database/fuzz/FuzzSupport.h"

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

FieldTable Layout() {
    FieldTable table;
    table.Init(40, 57);
    AddSeedFields(table);
    return table;
}

void Add(CDatabaseImp& imp, const char* description, int32_t id) {
    unsigned char record[40] = {};
    int32_t version = 57;
    std::memcpy(record, &version, 4);
    std::strncpy(reinterpret_cast<char*>(record + 4), description, 12);
    const unsigned char dns[4] = {10, 0, 0, 1};
    std::memcpy(record + 16, dns, 4);
    std::memcpy(record + 24, &id, 4);
    record[28] = 0xFE;
    uint32_t number = 0;
    imp.AddRecord(&number, record, sizeof record);
}

// A database of n records (the second removed when n > 2) with a rebuilt
// index; its export goes to the import corpus, the pair to the files corpus.
void MakeSeed(const std::string& work, const std::string& corpus, const char* seed, int n) {
    std::string name = work + "/" + seed;
    {
        CDatabase database;
        FieldTable table = Layout();
        database.CreateDatabase(name.c_str(), table, kFieldText, 12, 3);
    }
    {
        std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
        imp->OpenDatabase((name + ".db").c_str(), 0);
        for (int i = 0; i < n; ++i) Add(*imp, i % 2 ? "work" : "home", i - 1);
    }
    if (n > 2) {
        std::string db = Read(name + ".db");
        db[44 + 118 * 6 + 52 + 8] = 1;
        const int32_t current = 3;
        std::memcpy(&db[24], &current, 4);
        WriteWholeFile(name + ".db", db);
    }
    CDatabase database;
    database.OpenDatabase(name.c_str(), 0);
    database.RebuildIndex(kFieldText, 4, 12, 3);
    database.ExportDatabase((corpus + "/import/" + seed + ".txt").c_str());
    database.CloseDatabase();
    database.ReleaseIndex();
    std::string db = Read(name + ".db");
    std::string pair;
    pair += static_cast<char>(db.size() & 0xFF);
    pair += static_cast<char>(db.size() >> 8);
    WriteWholeFile(corpus + "/files/" + seed, pair + db + Read(name + ".idx"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    std::string corpus = argv[1];
    mkdir((corpus + "/import").c_str(), 0755);
    mkdir((corpus + "/files").c_str(), 0755);
    char work[] = "/tmp/win95-seeds-XXXXXX";
    if (!mkdtemp(work)) return 1;
    MakeSeed(work, corpus, "empty", 0);
    MakeSeed(work, corpus, "two", 2);
    MakeSeed(work, corpus, "five", 5);
    // The five-record export with bare line feeds.
    std::string text = Read(corpus + "/import/five.txt");
    std::string lf;
    for (char c : text)
        if (c != '\r') lf += c;
    WriteWholeFile(corpus + "/import/five-lf.txt", lf);
    std::string command = std::string("rm -rf ") + work;
    return std::system(command.c_str()) == 0 ? 0 : 1;
}
