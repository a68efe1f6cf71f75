#include "tests/database/DatabaseTesting.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>

#include "tests/support/KitInstall.h"
#endif

namespace fs = std::filesystem;

namespace {

// Natively, memory-backed storage when there is some: the tests create and
// empty thousands of small files, which a disk file system may flush on
// every close.
fs::path ScratchBase() {
#ifndef _WIN32
    std::error_code error;
    if (!std::getenv("TMPDIR") && fs::is_directory("/dev/shm", error)) return "/dev/shm";
#endif
    return fs::temp_directory_path();
}

}  // namespace

ScratchDir::ScratchDir() {
    static std::atomic<unsigned> counter{0};
    fs::path base = ScratchBase();
    for (;;) {
        fs::path candidate = base / ("win95-db-" + std::to_string(counter++) + "-" +
                                     std::to_string(reinterpret_cast<uintptr_t>(this) & 0xFFFFFF));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            m_path = candidate.string();
            return;
        }
    }
}

ScratchDir::~ScratchDir() {
    std::error_code error;
    fs::remove_all(m_path, error);
}

std::string ScratchDir::File(const std::string& name) const {
    return (fs::path(m_path) / name).string();
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path) {
    return fs::exists(path);
}

void RemoveFile(const std::string& path) {
    std::error_code error;
    fs::remove(path, error);
}

uint32_t U32At(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

void PutU32(std::string& bytes, size_t offset, uint32_t value) {
    std::memcpy(&bytes[offset], &value, 4);
}

FieldTable SampleTable() {
    FieldTable table;
    table.Init(kSampleSize, kSampleVersion);
    table.AddField("Version", "This field must always be 7", kFieldLong, 1, 0);
    table.AddField("Name", "", kFieldText, 12, 4);
    table.AddField("Flags", "", kFieldBytes, 4, 16);
    table.AddField("Port", "", kFieldShort, 2, 20);
    table.AddField("Id", "", kFieldLong, 1, 24);
    return table;
}

std::vector<unsigned char> SampleRecord::Bytes() const {
    std::vector<unsigned char> bytes(kSampleSize);
    std::memcpy(&bytes[0], &version, 4);
    std::memcpy(&bytes[4], name.data(), name.size() < 12 ? name.size() : 12);
    std::memcpy(&bytes[16], flags, 4);
    std::memcpy(&bytes[20], ports, 4);
    std::memcpy(&bytes[24], &id, 4);
    std::memcpy(&bytes[28], spare, 4);
    return bytes;
}

void AddRecords(CDatabaseImp& imp, const std::vector<SampleRecord>& records) {
    for (const SampleRecord& record : records) {
        uint32_t number = 0;
        std::vector<unsigned char> bytes = record.Bytes();
        ASSERT_EQ(imp.AddRecord(&number, bytes.data(), kSampleSize), DB_OK);
    }
}

void MakeSampleDatabase(const std::string& name, const std::vector<SampleRecord>& records) {
    CDatabase database;
    FieldTable table = SampleTable();
    ASSERT_EQ(database.CreateDatabase(name.c_str(), table, kFieldText, 12, 5), 0);
    database.CloseDatabase();
    std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
    ASSERT_EQ(imp->OpenDatabase((name + ".db").c_str(), 0), DB_OK);
    AddRecords(*imp, records);
}

std::unique_ptr<CDatabaseImp> CreateDbFile(const std::string& path, FieldTable table,
                                           const std::vector<std::vector<unsigned char>>& records) {
    std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
    EXPECT_EQ(imp->CreateDatabase(path.c_str(), table), DB_OK);
    for (const std::vector<unsigned char>& record : records) {
        uint32_t number = 0;
        EXPECT_EQ(imp->AddRecord(&number, record.data(), static_cast<uint32_t>(record.size())),
                  DB_OK);
    }
    return imp;
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::vector<std::vector<unsigned char>> ReadAll(CDatabaseImp& imp) {
    std::vector<std::vector<unsigned char>> records;
    uint32_t count = 0;
    imp.GetRecordCount(&count);
    for (uint32_t n = 0; n < count; ++n) {
        std::vector<unsigned char> bytes(imp.Fields().RecordSize());
        imp.ReadRecord(n, bytes.data(), static_cast<uint32_t>(bytes.size()));
        records.push_back(bytes);
    }
    return records;
}

#ifdef _WIN32
namespace {

// Under Wine the log INI decides what g_DbLog produces: every category, on
// no device (the log observer still sees everything). Set up before the
// first database message of the program.
class DatabaseLogEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_kit = std::make_unique<KitInstall>();
        m_kit->SetKitPath(m_kit->Directory().c_str());
        m_kit->SetConfig("DataDir", "data");
        std::string data = m_kit->Directory() + "\\data";
        CreateDirectoryA(data.c_str(), nullptr);
        std::string ini = data + "\\veltrane.ini";
        WritePrivateProfileStringA("GlobalDebug", "LogFlags", "ffffffff", ini.c_str());
        WritePrivateProfileStringA("GlobalDebug", "LogDevices", "0", ini.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    }

private:
    std::unique_ptr<KitInstall> m_kit;
};

const ::testing::Environment* const g_logEnvironment =
    ::testing::AddGlobalTestEnvironment(new DatabaseLogEnvironment);

}  // namespace
#endif
