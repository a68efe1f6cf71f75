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

// A profile layout of record version 56: fewer and shorter fields at other
// offsets, one field the current layout no longer has.
RawDatabase Profile56() {
    RawDatabase db;
    db.recordVersion = 56;
    db.recordSize = 2010;
    db.fields = {{"Version", 4, 1, 0},           {"Description", 2, 255, 4},
                 {"ProfileId", 4, 1, 260},       {"LoginName", 2, 200, 264},
                 {"Password", 2, 255, 464},      {"DnsAddr1", 1, 4, 719},
                 {"DnsAddr2", 1, 4, 723},        {"POPName", 2, 255, 727},
                 {"EmailAddress", 2, 255, 982},  {"UserApp 1 Command line", 2, 254, 1237},
                 {"ConnectionTime", 4, 1, 1491}, {"AutoLaunchPackage", 1, 1, 1495},
                 {"ModemSpeed", 4, 1, 1496},     {"HomePage", 2, 255, 1500},
                 {"Organization", 2, 250, 1755}};
    for (int n = 0; n < 3; ++n) {
        std::string record = db.NewRecord();
        std::string tag = std::to_string(n);
        db.PutText(record, "Description", "Profile " + tag);
        int32_t id = n == 1 ? -1 : 1000 + n;
        db.PutBytes(record, "ProfileId", &id, 4);
        db.PutText(record, "LoginName", std::string(199, 'L') + tag);
        db.PutText(record, "Password", "pw" + tag);
        const uint8_t dns1[4] = {10, 0, 0, static_cast<uint8_t>(n)};
        const uint8_t dns2[4] = {255, 254, 253, 252};
        db.PutBytes(record, "DnsAddr1", dns1, 4);
        db.PutBytes(record, "DnsAddr2", dns2, 4);
        db.PutText(record, "POPName", "pop" + tag);
        db.PutText(record, "EmailAddress", "user" + tag + "@example.net");
        db.PutText(record, "UserApp 1 Command line", "C:\\APP\\RUN.EXE /" + tag);
        int32_t seconds = 3600 * n;
        db.PutBytes(record, "ConnectionTime", &seconds, 4);
        record[1495] = static_cast<char>(n + 1);
        int32_t speed = 28800;
        db.PutBytes(record, "ModemSpeed", &speed, 4);
        db.PutText(record, "HomePage", "http://www.example.net/" + tag);
        db.PutText(record, "Organization", std::string(250, 'O'));
        db.records.push_back(record);
    }
    db.currentRecord = 1;
    return db;
}

// A location layout of the given version without TapiLocationID and
// BackupPOPEntry; its TAPI location lies in the four bytes in front of
// CallWaitingDisabled, outside every field.
RawDatabase OldLocation(uint32_t version) {
    RawDatabase db;
    db.recordVersion = version;
    db.recordSize = 912;
    db.fields = {{"Version", 4, 1, 0},
                 {"Description", 2, 255, 4},
                 {"AreaCode", 2, 16, 259},
                 {"LocalNumber", 2, 32, 275},
                 {"LongDistanceAccess", 2, 16, 307},
                 {"CallWaitingDisabled", 1, 1, 327},
                 {"ConnectionType", 3, 1, 328},
                 {"DefaultPOPEntry", 4, 1, 330},
                 {"ToneDial", 1, 1, 334},
                 {"ModemName", 2, 64, 335},
                 {"PopNumber 1", 2, 255, 399},
                 {"PopDescription 1", 2, 255, 654},
                 {"PopDualLoginRequired 1", 1, 1, 909}};
    for (int n = 0; n < 2; ++n) {
        std::string record = db.NewRecord();
        std::string tag = std::to_string(n);
        db.PutText(record, "Description", "Location " + tag);
        db.PutText(record, "AreaCode", "61" + tag);
        db.PutText(record, "LocalNumber", "555-010" + tag);
        db.PutText(record, "LongDistanceAccess", "1");
        int32_t tapi = 4242 + n;
        PutU32(record, 323, static_cast<uint32_t>(tapi));
        record[327] = 1;
        uint16_t type = 65535;
        db.PutBytes(record, "ConnectionType", &type, 2);
        int32_t entry = n;
        db.PutBytes(record, "DefaultPOPEntry", &entry, 4);
        record[334] = static_cast<char>(n);
        db.PutText(record, "ModemName", "Sim Modem 28800");
        db.PutText(record, "PopNumber 1", "555-0199");
        db.PutText(record, "PopDescription 1", "Main POP " + tag);
        record[909] = 1;
        db.records.push_back(record);
    }
    db.currentRecord = 0;
    return db;
}
