// Helpers of the store tests: databases of older record layouts written byte
// by byte (not through the engine), a process current directory for the
// carry-over's "database.exp", and little helpers on records.
#ifndef WIN95_TESTS_DATABASE_STORETESTING_H
#define WIN95_TESTS_DATABASE_STORETESTING_H

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

// One field of a layout written by hand.
struct RawField {
    std::string name;
    uint32_t type;
    uint32_t length;
    uint32_t offset;
};

// A database as an older program left it: header, descriptors, records and
// an empty index of 101 buckets (key type 2, key length 255).
struct RawDatabase {
    uint32_t recordVersion = 0;
    uint32_t recordSize = 0;
    int32_t currentRecord = -1;
    std::vector<RawField> fields;
    std::vector<std::string> records;  // each recordSize bytes

    // A zero record with Version set.
    std::string NewRecord() const;
    // Puts a field's value into a record: text (zero-padded to the field),
    // or the bytes of a number.
    void PutText(std::string& record, const std::string& field, const std::string& text) const;
    void PutBytes(std::string& record, const std::string& field, const void* bytes,
                  size_t count) const;
    const RawField& Field(const std::string& name) const;

    // Writes name.db and name.idx.
    void Write(const std::string& name) const;
};

// The older layouts the tests carry over. Profile56: record version 56,
// fewer and shorter fields at other offsets, one field the current layout no
// longer has; three records, record 1 current.
RawDatabase Profile56();
// A location layout of the given version without TapiLocationID and
// BackupPOPEntry, its TAPI location in the four bytes in front of
// CallWaitingDisabled, outside every field; two records, record 0 current.
RawDatabase OldLocation(uint32_t version);

// The .db bytes of a RawDatabase.
std::string RawDbBytes(const RawDatabase& database);
// The bytes of an empty index file.
std::string RawIndexBytes(uint32_t buckets, uint32_t keyLength);

// Makes a directory the process's current directory until destruction.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& path);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::string m_previous;
};

// The 26 lines "key=value" of a profile backup section in their order, with
// the values given (the others empty).
std::vector<std::string> ProfileBackupLines(const std::map<std::string, std::string>& values);

// The bytes of an object as a string.
template <class T>
std::string BytesOf(const T& value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

#endif
