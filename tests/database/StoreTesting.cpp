#include "tests/database/StoreTesting.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/database/DatabaseTesting.h"

namespace {

void AppendU32(std::string& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Text padded with zeros (or cut) to exactly size bytes.
std::string Padded(const std::string& text, size_t size) {
    std::string out = text.substr(0, size);
    out.resize(size, '\0');
    return out;
}

}  // namespace

std::string RawDatabase::NewRecord() const {
    std::string record(recordSize, '\0');
    PutU32(record, 0, recordVersion);
    return record;
}

const RawField& RawDatabase::Field(const std::string& name) const {
    for (const RawField& field : fields)
        if (field.name == name) return field;
    ADD_FAILURE() << "no field " << name;
    return fields.front();
}

void RawDatabase::PutText(std::string& record, const std::string& field,
                          const std::string& text) const {
    const RawField& raw = Field(field);
    record.replace(raw.offset, raw.length, Padded(text, raw.length));
}

void RawDatabase::PutBytes(std::string& record, const std::string& field, const void* bytes,
                           size_t count) const {
    record.replace(Field(field).offset, count, static_cast<const char*>(bytes), count);
}

std::string RawDbBytes(const RawDatabase& database) {
    std::string bytes;
    AppendU32(bytes, 0x6773AE55);  // magic
    AppendU32(bytes, 0);           // id
    AppendU32(bytes, 0);           // flags
    AppendU32(bytes, 52);          // database version
    AppendU32(bytes, database.recordVersion);
    AppendU32(bytes, database.recordSize);
    AppendU32(bytes, static_cast<uint32_t>(database.currentRecord));
    AppendU32(bytes, static_cast<uint32_t>(database.fields.size()));
    AppendU32(bytes, 0);  // reserved
    AppendU32(bytes, 0);  // open count
    AppendU32(bytes, 0);  // private size
    for (const RawField& field : database.fields) {
        AppendU32(bytes, 0);  // flags
        AppendU32(bytes, field.type);
        AppendU32(bytes, field.length);
        AppendU32(bytes, field.offset);
        AppendU32(bytes, 0);  // index
        bytes += Padded(field.name, 33);
        bytes += Padded("", 65);
    }
    for (const std::string& record : database.records) {
        AppendU32(bytes, 0x350D6EF2);
        bytes += std::string(8, '\0');
        bytes += Padded(record, database.recordSize);
    }
    return bytes;
}

std::string RawIndexBytes(uint32_t buckets, uint32_t keyLength) {
    std::string bytes;
    for (uint32_t value : {0xDA6BF212u, 47u, buckets, 2u, keyLength, keyLength + 9, 0u, 0u, 0u})
        AppendU32(bytes, value);
    std::string slot(keyLength + 9, '\0');
    PutU32(slot, 0, 0xFFFFFFFFu);
    for (uint32_t i = 0; i < buckets; ++i) bytes += slot;
    return bytes;
}

void RawDatabase::Write(const std::string& name) const {
    WriteBytes(name + ".db", RawDbBytes(*this));
    WriteBytes(name + ".idx", RawIndexBytes(101, 255));
}

std::vector<std::string> ProfileBackupLines(const std::map<std::string, std::string>& values) {
    const char* keys[] = {
        "Description",   "LoginName",    "Password",   "CompanyLoginName",  "CompanyPassword",
        "Domain Name",   "DnsAddr1",     "DnsAddr2",   "Registration Code", "POP Name",
        "Email Address", "POP Password", "POP Server", "SMTP Server",       "NNTP Server",
        "Home Page",     "Title",        "FirstName",  "LastName",          "Address",
        "Address2",      "State",        "City",       "Zipcode",           "Country",
        "Organization"};
    std::vector<std::string> lines;
    for (const char* key : keys) {
        auto value = values.find(key);
        lines.push_back(std::string(key) + "=" + (value == values.end() ? "" : value->second));
    }
    return lines;
}

CurrentDirectory::CurrentDirectory(const std::string& path)
    : m_previous(std::filesystem::current_path().string()) {
    std::filesystem::current_path(path);
}

CurrentDirectory::~CurrentDirectory() {
    std::error_code error;
    std::filesystem::current_path(m_previous, error);
}
