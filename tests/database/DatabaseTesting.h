// Helpers of the database tests, the same natively and under Wine: a scratch
// directory, whole-file bytes, a small sample layout and its records, and the
// log setup that makes g_DbLog produce every category under Wine.
#ifndef WIN95_TESTS_DATABASE_DATABASETESTING_H
#define WIN95_TESTS_DATABASE_DATABASETESTING_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "database/CDatabase.h"
#include "database/CDatabaseImp.h"
#include "database/FieldTable.h"
#include "tests/support/LogRecorder.h"

// A fresh directory, removed with its content at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const;

private:
    std::string m_path;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
void RemoveFile(const std::string& path);

// Little-endian integers inside byte strings.
uint32_t U32At(const std::string& bytes, size_t offset);
void PutU32(std::string& bytes, size_t offset, uint32_t value);

// The sample layout, record version 7, 32-byte records:
//   Version (4, 1, @0), Name (2, 12, @4), Flags (1, 4, @16), Port (3, 2, @20),
//   Id (4, 1, @24); bytes 28 to 31 belong to no field.
constexpr uint32_t kSampleSize = 32;
constexpr uint32_t kSampleVersion = 7;
constexpr uint32_t kSampleFields = 5;
FieldTable SampleTable();

struct SampleRecord {
    int32_t version = kSampleVersion;
    std::string name;
    uint8_t flags[4] = {};
    uint16_t ports[2] = {};
    int32_t id = 0;
    uint8_t spare[4] = {};

    std::vector<unsigned char> Bytes() const;
};

// A record object over a block of the given size.
class TestRecord : public DatabaseRecord {
public:
    explicit TestRecord(uint32_t size) : m_bytes(size) {}
    unsigned char* GetData() override { return m_bytes.data(); }
    unsigned char* GetRecordData() override { return m_bytes.data(); }
    uint32_t GetDataSize() override { return static_cast<uint32_t>(m_bytes.size()); }
    std::vector<unsigned char>& Bytes() { return m_bytes; }

private:
    std::vector<unsigned char> m_bytes;
};

// Creates name (.db, .idx on Name, key length 12, 5 buckets) with the
// records, and closes it again.
void MakeSampleDatabase(const std::string& name, const std::vector<SampleRecord>& records);
// Adds records through the open database's CDatabaseImp.
void AddRecords(CDatabaseImp& imp, const std::vector<SampleRecord>& records);
// A .db file (no index) of the table holding the raw records; the returned
// object has it open.
std::unique_ptr<CDatabaseImp> CreateDbFile(const std::string& path, FieldTable table,
                                           const std::vector<std::vector<unsigned char>>& records);
// The text with every LF written as CR LF.
std::string Crlf(const std::string& text);
// Every record of an open CDatabaseImp, as read.
std::vector<std::vector<unsigned char>> ReadAll(CDatabaseImp& imp);

// The base of the database tests: a scratch directory and the log recorder.
class DatabaseTest : public ::testing::Test {
protected:
    std::string Name(const std::string& base = "sample") const { return dir.File(base); }
    std::vector<std::string> Lines() { return log.TakeLines("Database"); }

    ScratchDir dir;
    LogRecorder log;
};

#endif
