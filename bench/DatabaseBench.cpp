// Benchmarks of the database engine, each against a baseline measured in the
// same run, over 5,000 profile records (9,466 bytes):
//   rebuild_index  RebuildIndex  vs. reading the record bytes with pread
//   append_read    AddRecord and ReadRecord of every record  vs. SQLite
//                  storing and reading the blobs by rowid in one transaction
//   export         ExportDatabase  vs. one stdio stream writing as many bytes
//                  as the export writes (the text) and reading as many as it
//                  reads (the records)
//   import         ImportRecords of that text into a new database  vs. one
//                  stdio stream writing the record bytes and reading the text
//                  bytes
// The table ends with lines "ratio <name> <ours/baseline>"; text_stream, the
// stream moving the text's bytes alone, is shown for reference. Files go to
// $WIN95_BENCH_DIR, else /dev/shm (so that no disk is measured), else /tmp.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/ProfileLayout.h"
#include "database/CDatabase.h"
#include "database/CDatabaseImp.h"

namespace {

constexpr uint32_t kRecords = 5000;

struct Workspace {
    std::string dir;
    std::vector<std::vector<unsigned char>> records;
    std::string source;  // a database of the records, with its index
    std::string text;    // its export
    long textSize = 0;

    std::string File(const char* name) const { return dir + "/" + name; }
};

Workspace& Work() {
    static Workspace work;
    return work;
}

void Fail(benchmark::State& state, const char* what) {
    state.SkipWithError(what);
}

void RebuildIndex(benchmark::State& state) {
    CDatabase database;
    if (database.OpenDatabase(Work().source.c_str(), kProfileVersion) != 0)
        return Fail(state, "open");
    for (auto _ : state) {
        if (database.RebuildIndex(kFieldText, 4, 255, 101) != 0) return Fail(state, "rebuild");
    }
}

void RebuildIndexBaseline(benchmark::State& state) {
    int handle = open((Work().source + ".db").c_str(), O_RDONLY);
    std::vector<unsigned char> buffer(kProfileSize);
    const uint64_t start = 44 + 118 * ProfileTable().Count();
    for (auto _ : state) {
        for (uint32_t n = 0; n < kRecords; ++n) {
            off_t offset = static_cast<off_t>(start + n * (kProfileSize + 12ull) + 12);
            if (pread(handle, buffer.data(), kProfileSize, offset) != kProfileSize)
                return Fail(state, "pread");
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    close(handle);
}

void AppendRead(benchmark::State& state) {
    const std::string path = Work().File("append.db");
    std::vector<unsigned char> buffer(kProfileSize);
    for (auto _ : state) {
        std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
        FieldTable table = ProfileTable();
        if (imp->CreateDatabase(path.c_str(), table) != DB_OK) return Fail(state, "create");
        for (uint32_t n = 0; n < kRecords; ++n) {
            uint32_t number = 0;
            if (imp->AddRecord(&number, Work().records[n].data(), kProfileSize) != DB_OK)
                return Fail(state, "append");
        }
        for (uint32_t n = 0; n < kRecords; ++n) {
            if (imp->ReadRecord(n, buffer.data(), kProfileSize) != DB_OK)
                return Fail(state, "read");
            benchmark::DoNotOptimize(buffer.data());
        }
    }
}

void AppendReadSqlite(benchmark::State& state) {
    const std::string path = Work().File("append.sqlite");
    std::vector<unsigned char> buffer(kProfileSize);
    for (auto _ : state) {
        std::remove(path.c_str());
        sqlite3* db = nullptr;
        sqlite3_stmt* insert = nullptr;
        sqlite3_stmt* select = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE records(id INTEGER PRIMARY KEY, data BLOB)", nullptr,
                     nullptr, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO records(data) VALUES(?)", -1, &insert, nullptr);
        for (uint32_t n = 0; n < kRecords; ++n) {
            sqlite3_bind_blob(insert, 1, Work().records[n].data(), kProfileSize, SQLITE_STATIC);
            if (sqlite3_step(insert) != SQLITE_DONE) return Fail(state, "insert");
            sqlite3_reset(insert);
        }
        sqlite3_prepare_v2(db, "SELECT data FROM records WHERE id=?", -1, &select, nullptr);
        for (uint32_t n = 0; n < kRecords; ++n) {
            sqlite3_bind_int64(select, 1, n + 1);
            if (sqlite3_step(select) != SQLITE_ROW) return Fail(state, "select");
            std::memcpy(buffer.data(), sqlite3_column_blob(select, 0),
                        static_cast<size_t>(sqlite3_column_bytes(select, 0)));
            benchmark::DoNotOptimize(buffer.data());
            sqlite3_reset(select);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_finalize(insert);
        sqlite3_finalize(select);
        sqlite3_close(db);
    }
}

void Export(benchmark::State& state) {
    CDatabase database;
    if (database.OpenDatabase(Work().source.c_str(), kProfileVersion) != 0)
        return Fail(state, "open");
    const std::string path = Work().File("export.txt");
    for (auto _ : state) {
        if (database.ExportDatabase(path.c_str()) != 0) return Fail(state, "export");
    }
}

void Import(benchmark::State& state) {
    const std::string name = Work().File("import");
    for (auto _ : state) {
        CDatabase database;
        FieldTable table = ProfileTable();
        if (database.CreateDatabase(name.c_str(), table, kFieldText, 255, 101) != 0)
            return Fail(state, "create");
        if (database.ImportRecords(Work().text.c_str()) != 0) return Fail(state, "import");
    }
}

// One buffered stream (stdio, default buffer) on a scratch file that already
// holds `read` bytes: it writes `written` bytes from the start, in pieces of
// the buffer's size, then goes back and reads `read` bytes. The bytes an
// export or import moves, without the work it does on them.
void StreamBaseline(benchmark::State& state, size_t written, size_t read) {
    const std::string path = Work().File("stream.bin");
    std::vector<char> bytes(written > read ? written : read, 'x');
    FILE* prepare = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, read, prepare);
    std::fclose(prepare);
    std::vector<char> piece(BUFSIZ);
    for (auto _ : state) {
        FILE* stream = std::fopen(path.c_str(), "r+b");
        for (size_t done = 0; done < written; done += piece.size())
            std::fwrite(bytes.data() + done, 1, std::min(piece.size(), written - done), stream);
        std::rewind(stream);
        size_t got = 0;
        for (size_t part;
             got < read &&
             (part = std::fread(piece.data(), 1, std::min(piece.size(), read - got), stream)) != 0;)
            got += part;
        std::fclose(stream);
        if (got != read) return Fail(state, "stream");
    }
}

size_t RecordBytes() {
    return size_t{kRecords} * (kProfileSize + 12);
}

void ExportBaseline(benchmark::State& state) {
    StreamBaseline(state, static_cast<size_t>(Work().textSize), RecordBytes());
}

void ImportBaseline(benchmark::State& state) {
    StreamBaseline(state, RecordBytes(), static_cast<size_t>(Work().textSize));
}

// For reference only: the stream writing and reading the text's bytes alone.
void TextStream(benchmark::State& state) {
    StreamBaseline(state, static_cast<size_t>(Work().textSize),
                   static_cast<size_t>(Work().textSize));
}

// Collects each benchmark's time while the console shows the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Time(const std::string& name) const {
        auto found = m_times.find(name);
        return found == m_times.end() ? 0 : found->second;
    }

private:
    std::map<std::string, double> m_times;
};

bool Prepare() {
    Workspace& work = Work();
    const char* base = std::getenv("WIN95_BENCH_DIR");
    struct stat status;
    if (!base) base = stat("/dev/shm", &status) == 0 ? "/dev/shm" : "/tmp";
    work.dir = std::string(base) + "/win95-bench-" + std::to_string(getpid());
    mkdir(work.dir.c_str(), 0700);
    for (uint32_t n = 0; n < kRecords; ++n) work.records.push_back(ProfileRecordBytes(n));
    work.source = work.File("source");
    CDatabase database;
    FieldTable table = ProfileTable();
    if (database.CreateDatabase(work.source.c_str(), table, kFieldText, 255, 101) != 0)
        return false;
    database.CloseDatabase();
    std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
    if (imp->OpenDatabase((work.source + ".db").c_str(), 0) != DB_OK) return false;
    for (const std::vector<unsigned char>& record : work.records) {
        uint32_t number = 0;
        if (imp->AddRecord(&number, record.data(), kProfileSize) != DB_OK) return false;
    }
    work.text = work.File("source.txt");
    if (imp->ExportDatabase(work.text.c_str()) != DB_OK) return false;
    struct stat text;
    if (stat(work.text.c_str(), &text) != 0) return false;
    work.textSize = text.st_size;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("WIN95_LOG_FLAGS", "0", 0);  // logging costs nothing it does not do
    benchmark::Initialize(&argc, argv);
    if (!Prepare()) {
        std::fprintf(stderr, "cannot prepare the benchmark files\n");
        return 1;
    }
    struct Figure {
        const char* name;
        void (*ours)(benchmark::State&);
        void (*baseline)(benchmark::State&);
    };
    const Figure figures[] = {{"rebuild_index", RebuildIndex, RebuildIndexBaseline},
                              {"append_read", AppendRead, AppendReadSqlite},
                              {"export", Export, ExportBaseline},
                              {"import", Import, ImportBaseline}};
    for (const Figure& figure : figures) {
        benchmark::RegisterBenchmark(figure.name, figure.ours)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string(figure.name) + "_baseline").c_str(),
                                     figure.baseline)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("text_stream", TextStream)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n5000 records of %u bytes, text of %ld bytes\n", kProfileSize, Work().textSize);
    std::printf("%-14s %12s %12s\n", "figure", "ours ms", "baseline ms");
    for (const Figure& figure : figures) {
        std::printf("%-14s %12.1f %12.1f\n", figure.name, reporter.Time(figure.name),
                    reporter.Time(std::string(figure.name) + "_baseline"));
    }
    std::printf("%-14s %12.1f   (one stream writing and reading the text's bytes)\n", "text_stream",
                reporter.Time("text_stream"));
    for (const Figure& figure : figures) {
        double baseline = reporter.Time(std::string(figure.name) + "_baseline");
        std::printf("ratio %s %.2f\n", figure.name,
                    baseline > 0 ? reporter.Time(figure.name) / baseline : 0.0);
    }
    std::string command = "rm -rf " + Work().dir;
    return std::system(command.c_str()) == 0 ? 0 : 1;
}
