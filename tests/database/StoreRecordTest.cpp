// The stores' records: the two field tables descriptor by descriptor against
// the record layouts, the record objects' defaults, the setters' copy rule,
// dotted addresses, the POP entry list and the backup keys.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <set>

#include "database/BackupSection.h"
#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"
#include "tests/database/StoreTesting.h"

namespace {

struct Descriptor {
    std::string name;
    uint32_t type;
    uint32_t length;
    uint32_t offset;
    std::string comment;
    bool operator==(const Descriptor&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Descriptor& d) {
    return out << "{" << d.name << ", " << d.type << ", " << d.length << ", " << d.offset << ", \""
               << d.comment << "\"}";
}

std::vector<Descriptor> Descriptors(const FieldTable& table) {
    std::vector<Descriptor> out;
    for (uint32_t i = 0; i < table.Count(); ++i) {
        const FieldDescriptor& d = *table.Descriptor(static_cast<int>(i));
        EXPECT_EQ(uint32_t{d.flags}, 0u);
        EXPECT_EQ(uint32_t{d.index}, 0u);
        out.push_back({std::string(d.name, FieldNameLength(d)), d.type, d.length, d.offset,
                       std::string(d.comment, FieldCommentLength(d))});
    }
    return out;
}

// Every byte of the record belongs to at most one field, and exactly the
// bytes listed belong to none.
void ExpectCoverage(const FieldTable& table, const std::set<uint32_t>& uncovered) {
    std::vector<int> owners(table.RecordSize(), 0);
    for (uint32_t i = 0; i < table.Count(); ++i) {
        const int index = static_cast<int>(i);
        for (int64_t b = 0; b < table.GetFieldSize(index); ++b)
            ++owners.at(static_cast<size_t>(table.GetFieldOffset(index) + b));
    }
    for (uint32_t b = 0; b < owners.size(); ++b)
        EXPECT_EQ(owners[b], uncovered.count(b) ? 0 : 1) << "byte " << b;
}

TEST(StoreFieldTableTest, ProfileTableHas49DescriptorsInRecordOrder) {
    FieldTable table;
    ASSERT_TRUE(BuildProfileFieldTable(table));
    EXPECT_EQ(table.RecordSize(), 9466u);
    EXPECT_EQ(table.RecordVersion(), 57u);
    EXPECT_EQ(table.PrivateSize(), 0u);
    std::vector<Descriptor> expected = {
        {"Version", 4, 1, 0, "This field must always be 57"},
        {"Description", 2, 255, 4, ""},
        {"ProfileId", 4, 1, 260, "The profileID must be unique in the database"},
        {"RegistrationCode", 2, 255, 264, ""},
        {"Package", 2, 255, 519, ""},
        {"AutoLaunchPackage", 1, 1, 774, ""},
        {"bIsVisible", 1, 1, 775, ""},
        {"LastResetDate", 4, 1, 776, ""},
        {"ConnectionTime", 4, 1, 780, ""},
    };
    for (uint32_t n = 1; n <= 5; ++n) {
        expected.push_back(
            {"UserApp " + std::to_string(n) + " Command line", 2, 254, 784 + 508 * (n - 1), ""});
        expected.push_back(
            {"UserApp " + std::to_string(n) + " Arguments", 2, 254, 1038 + 508 * (n - 1), ""});
    }
    const char* texts1[] = {"LoginName", "Password", "CompanyLoginName", "CompanyPassword",
                            "Domain"};
    for (uint32_t i = 0; i < 5; ++i) expected.push_back({texts1[i], 2, 255, 3324 + 255 * i, ""});
    const char* addresses[] = {"DnsAddr1", "DnsAddr2", "OriginalDnsAddr1", "OriginalDnsAddr2"};
    for (uint32_t i = 0; i < 4; ++i) expected.push_back({addresses[i], 1, 4, 4599 + 4 * i, ""});
    expected.push_back({"IPAssigned", 1, 1, 4615, ""});
    expected.push_back({"IPAddr", 1, 4, 4616, ""});
    const char* texts2[] = {
        "POPName",  "POPPassword", "POPServer",         "SMTPServer",      "EmailAddress",
        "Title",    "FirstName",   "LastName",          "Address",         "Address2",
        "City",     "State",       "Zipcode",           "Country",         "Organization",
        "HomePage", "NNTPServer",  "OriginalLoginName", "OriginalPassword"};
    for (uint32_t i = 0; i < 19; ++i) expected.push_back({texts2[i], 2, 255, 4620 + 255 * i, ""});
    ASSERT_EQ(expected.size(), 49u);
    EXPECT_EQ(Descriptors(table), expected);
    EXPECT_EQ(table.Count(), kProfileFieldCount);
    ExpectCoverage(table, {259, 9465});
}

TEST(StoreFieldTableTest, LocationTableHas80DescriptorsSettingsFirst) {
    FieldTable table;
    ASSERT_TRUE(BuildLocationFieldTable(table));
    EXPECT_EQ(table.RecordSize(), 12544u);
    EXPECT_EQ(table.RecordVersion(), 81u);
    std::vector<Descriptor> expected = {
        {"Version", 4, 1, 0, "This field must always be 81"},
        {"Description", 2, 255, 4, ""},
        {"AreaCode", 2, 255, 259, ""},
        {"LocalNumber", 2, 255, 514, ""},
        {"LocalAccess", 2, 255, 769, ""},
        {"LongDistanceAccess", 2, 255, 1024, ""},
        {"CallWaitingDisable", 2, 255, 1279, ""},
        {"CountryCode", 2, 255, 1534, ""},
        {"CallingCardNumber", 2, 255, 1789, ""},
        {"TapiLocationID", 4, 1, 2044, ""},
        {"CallWaitingDisabled", 1, 1, 2048, ""},
        {"ConnectionType", 3, 1, 2050, ""},
        {"ToneDial", 1, 1, 2064, ""},
        {"DefaultPOPEntry", 4, 1, 2052, ""},
        {"BackupPOPEntry", 4, 1, 2056, ""},
        {"LastLupaCheckTime", 4, 1, 2060, ""},
        {"Use1ForLongDistance", 1, 1, 2065, ""},
        {"DontUseAreaCodeWhenDialing", 1, 1, 2066, ""},
        {"DialLocalAsLongDistance", 1, 1, 2067, ""},
        {"ModemName", 2, 255, 2068, ""},
    };
    for (uint32_t n = 1; n <= 20; ++n) {
        uint32_t start = 2323 + 511 * (n - 1);
        std::string number = std::to_string(n);
        expected.push_back({"PopNumber " + number, 2, 255, start, ""});
        expected.push_back({"PopDescription " + number, 2, 255, start + 255, ""});
        expected.push_back({"PopDualLoginRequired " + number, 1, 1, start + 510, ""});
    }
    EXPECT_EQ(Descriptors(table), expected);
    EXPECT_EQ(table.Count(), kLocationFieldCount);
    ExpectCoverage(table, {2049, 12543});
}

TEST(StoreRecordObjectTest, NewObjectsHoldTheirDefaults) {
    ProfileRecordObject profile;
    EXPECT_EQ(profile.GetDataSize(), 9466u);
    EXPECT_EQ(profile.GetData(), profile.GetRecordData());
    EXPECT_EQ(profile.GetData(), reinterpret_cast<unsigned char*>(&profile.Record()));
    std::string expected(9466, '\0');
    expected[0] = 57;
    EXPECT_EQ(BytesOf(profile.Record()), expected);

    LocationRecordObject location;
    EXPECT_EQ(location.GetDataSize(), 12544u);
    EXPECT_EQ(location.GetData(), location.GetRecordData());
    expected.assign(12544, '\0');
    expected[0] = 81;
    expected.replace(2052, 8, std::string(8, '\xFF'));
    expected[2064] = 1;
    EXPECT_EQ(BytesOf(location.Record()), expected);
}

TEST(StoreRecordObjectTest, ProfileSettersCopyAtMost254CharactersAndKeepTheLastByte) {
    using Setter = void (ProfileRecordObject::*)(const char*);
    struct Case {
        Setter set;
        size_t offset;
    };
    const Case cases[] = {
        {&ProfileRecordObject::SetLoginName, 3324},    {&ProfileRecordObject::SetPassword, 3579},
        {&ProfileRecordObject::SetPOPName, 4620},      {&ProfileRecordObject::SetPOPPassword, 4875},
        {&ProfileRecordObject::SetPOPServer, 5130},    {&ProfileRecordObject::SetSMTPServer, 5385},
        {&ProfileRecordObject::SetEmailAddress, 5640}, {&ProfileRecordObject::SetLastName, 6405},
        {&ProfileRecordObject::SetHomePage, 8445},     {&ProfileRecordObject::SetNNTPServer, 8700},
    };
    std::string text300;
    for (int i = 0; i < 300; ++i) text300 += static_cast<char>('A' + i % 26);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        ProfileRecordObject record;
        unsigned char* bytes = record.GetData();
        std::memset(bytes + c.offset, 'x', 255);
        std::string before = BytesOf(record.Record());

        (record.*c.set)(text300.c_str());
        std::string after = BytesOf(record.Record());
        EXPECT_EQ(after.substr(c.offset, 254), text300.substr(0, 254));
        EXPECT_EQ(after[c.offset + 254], 'x') << "the field's last byte is not written";
        after.replace(c.offset, 255, before.substr(c.offset, 255));
        EXPECT_EQ(after, before) << "nothing outside the field changes";

        (record.*c.set)("mail");
        EXPECT_EQ(BytesOf(record.Record()).substr(c.offset, 255),
                  "mail" + std::string(250, '\0') + "x");
        (record.*c.set)(nullptr);
        EXPECT_EQ(BytesOf(record.Record()).substr(c.offset, 255), std::string(254, '\0') + "x");
    }
}

TEST(StoreRecordObjectTest, ProfileTextGettersPointIntoTheRecord) {
    ProfileRecordObject record;
    record.SetPOPName("pop-user");
    record.SetEmailAddress("user@example.net");
    EXPECT_EQ(record.GetPOPName(), record.Record().POPName);
    EXPECT_STREQ(record.GetPOPName(), "pop-user");
    EXPECT_EQ(record.GetEmailAddress(), record.Record().EmailAddress);
    EXPECT_STREQ(record.GetEmailAddress(), "user@example.net");
    // The last field filled to its end, as an import may leave it, and the
    // record's last byte set: the text still ends inside the object.
    std::memset(record.Record().OriginalPassword, 'p', 255);
    record.Record().unused9465 = 'z';
    EXPECT_EQ(std::strlen(record.Record().OriginalPassword), 256u);
}

// A text in a heap block of exactly its size, so that a read past its
// terminator is caught by the address sanitizer.
std::unique_ptr<char[]> ExactText(const std::string& text) {
    std::unique_ptr<char[]> block(new char[text.size() + 1]);
    std::memcpy(block.get(), text.c_str(), text.size() + 1);
    return block;
}

std::string Address(const uint8_t (&bytes)[4]) {
    return std::to_string(bytes[0]) + "," + std::to_string(bytes[1]) + "," +
           std::to_string(bytes[2]) + "," + std::to_string(bytes[3]);
}

TEST(StoreRecordObjectTest, DottedAddressesAreReadNumberByNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"10.0.0.1", "10,0,0,1"},
        {"300.1.2.3", "44,1,2,3"},
        {"-1.256.511.65537", "255,0,255,1"},
        {"192-168_1 9", "192,168,1,9"},  // separators are not looked at
        {"1..2.3", "1,0,2,3"},           // an empty number is 0 and ends at its separator
        {" 7. +8.9x.4", "7,8,9,0"},
        {"10.0", "10,0,0,0"},
        {"10.0.", "10,0,0,0"},
        {"1.2.3", "1,2,3,0"},
        {"5", "5,0,0,0"},
        {"", "0,0,0,0"},
        {"abc", "0,0,0,0"},
        {"99999999999.1.1.1", "255,1,1,1"},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        ProfileRecordObject record;
        std::memset(record.Record().DnsAddr1, 0xEE, 8);
        std::unique_ptr<char[]> exact = ExactText(text);
        record.ParseDnsAddr1(exact.get());
        EXPECT_EQ(Address(record.Record().DnsAddr1), expected);
        EXPECT_EQ(Address(record.Record().DnsAddr2), "238,238,238,238");
        record.ParseDnsAddr2(exact.get());
        EXPECT_EQ(Address(record.Record().DnsAddr2), expected);
    }
    ProfileRecordObject record;
    record.ParseDnsAddr1("1.2.3.4");
    record.ParseDnsAddr1(nullptr);
    EXPECT_EQ(Address(record.Record().DnsAddr1), "0,0,0,0");
    const uint8_t first[4] = {8, 8, 4, 4};
    const uint8_t second[4] = {255, 0, 1, 2};
    record.SetDnsAddr1(first);
    record.SetDnsAddr2(second);
    EXPECT_EQ(Address(record.Record().DnsAddr1), "8,8,4,4");
    EXPECT_EQ(Address(record.Record().DnsAddr2), "255,0,1,2");
}

POPEntry Entry(const std::string& number) {
    POPEntry entry;
    std::memset(&entry, 0, sizeof entry);
    std::memcpy(entry.PopNumber, number.c_str(), number.size());
    std::memcpy(entry.PopDescription, "desc", 4);
    entry.PopDualLoginRequired = 1;
    return entry;
}

std::vector<std::string> Numbers(const LocationRecordObject& record) {
    std::vector<std::string> numbers;
    for (const POPEntry& entry : record.Record().POPEntries)
        numbers.emplace_back(entry.PopNumber, strnlen(entry.PopNumber, 255));
    return numbers;
}

TEST(StoreRecordObjectTest, POPEntriesFillTheFirstEmptyPlace) {
    LocationRecordObject record;
    ASSERT_EQ(record.AddPOPEntry(Entry("555-0101")), 1);
    EXPECT_EQ(BytesOf(record.Record().POPEntries[0]), BytesOf(Entry("555-0101")));
    ASSERT_EQ(record.AddPOPEntry(Entry("555-0102")), 1);
    EXPECT_EQ(Numbers(record)[1], "555-0102");

    // Entries 1 and 3 taken: entry 2 is filled. An entry whose number is
    // empty counts as empty whatever else it holds.
    LocationRecordObject gap;
    gap.AddPOPEntry(Entry("one"));
    gap.AddPOPEntry(Entry("two"));
    gap.AddPOPEntry(Entry("three"));
    gap.Record().POPEntries[1].PopNumber[0] = '\0';
    ASSERT_EQ(gap.AddPOPEntry(Entry("again")), 1);
    EXPECT_EQ(Numbers(gap)[0], "one");
    EXPECT_EQ(Numbers(gap)[1], "again");
    EXPECT_EQ(Numbers(gap)[2], "three");

    LocationRecordObject full;
    for (int n = 0; n < 20; ++n) ASSERT_EQ(full.AddPOPEntry(Entry("n" + std::to_string(n))), 1);
    std::string before = BytesOf(full.Record());
    EXPECT_EQ(full.AddPOPEntry(Entry("21st")), 0);
    EXPECT_EQ(BytesOf(full.Record()), before);
    EXPECT_EQ(Numbers(full)[19], "n19");
}

TEST(StoreRecordObjectTest, DefaultPOPEntryTakesIndexesBelow20) {
    LocationRecordObject record;
    EXPECT_EQ(record.SetDefaultPOPEntry(0), 1);
    EXPECT_EQ(record.Record().DefaultPOPEntry, 0);
    EXPECT_EQ(record.SetDefaultPOPEntry(19), 1);
    EXPECT_EQ(record.Record().DefaultPOPEntry, 19);
    std::string before = BytesOf(record.Record());
    EXPECT_EQ(record.SetDefaultPOPEntry(20), 0);
    EXPECT_EQ(record.SetDefaultPOPEntry(0xFFFFFFFFu), 0);
    EXPECT_EQ(BytesOf(record.Record()), before);
}

class CollectedKeys : public BackupSink {
public:
    void Put(const char* key, const char* value) override {
        lines.push_back(std::string(key) + "=" + value);
    }
    std::vector<std::string> lines;
};

TEST(StoreBackupKeysTest, ProfileKeysInOrder) {
    ProfileRecordObject record;
    std::memcpy(record.Record().Description, "Home", 4);
    record.SetLoginName("login");
    record.SetPassword("secret");
    std::memcpy(record.Record().Domain, "example.net", 11);
    record.ParseDnsAddr1("10.0.0.1");
    record.ParseDnsAddr2("255.254.0.9");
    std::memcpy(record.Record().RegistrationCode, "R-1", 3);
    record.SetPOPName("pop");
    record.SetEmailAddress("me@example.net");
    record.SetSMTPServer("smtp.example.net");
    std::memset(record.Record().Organization, 'o', 255);  // filled to its end
    CollectedKeys keys;
    ListProfileBackup(record.Record(), keys);
    EXPECT_EQ(keys.lines, ProfileBackupLines({{"Description", "Home"},
                                              {"LoginName", "login"},
                                              {"Password", "secret"},
                                              {"Domain Name", "example.net"},
                                              {"DnsAddr1", "10.0.0.1"},
                                              {"DnsAddr2", "255.254.0.9"},
                                              {"Registration Code", "R-1"},
                                              {"POP Name", "pop"},
                                              {"Email Address", "me@example.net"},
                                              {"SMTP Server", "smtp.example.net"},
                                              {"Organization", std::string(255, 'o')}}));
    EXPECT_EQ(keys.lines.size(), 26u);
}

// The location section of a new record with the given changes applied.
std::vector<std::string> LocationLines(const std::vector<std::string>& settings) {
    std::vector<std::string> lines = settings;
    for (int k = 0; k < 20; ++k) {
        std::string n = std::to_string(k);
        lines.push_back("POP_NUMBER_" + n + "=");
        lines.push_back("POP_DESC_" + n + "=");
        lines.push_back("POP_DUAL_LOGIN_REQUIRED_" + n + "=0");
    }
    return lines;
}

TEST(StoreBackupKeysTest, LocationKeysOfANewRecord) {
    LocationRecordObject record;
    CollectedKeys keys;
    ListLocationBackup(record.Record(), keys);
    EXPECT_EQ(keys.lines,
              LocationLines({"Description=", "AreaCode=", "LocalNumber=", "LocalAccess=",
                             "LongDistanceAccess=", "CallWaitingDisable=", "CallWaitingDisabled=0",
                             "ConnectionType=0", "ToneDial=1", "DontUseAreaCodeWhenDialing=0",
                             "DialLocalAsLongDistance=0", "DefaultPOPEntry=-1", "BackupPOPEntry=-1",
                             "Use1ForLongDistance=0", "CountryCode=", "CallingCardNumber="}));
    EXPECT_EQ(keys.lines.size(), 76u);
}

TEST(StoreBackupKeysTest, LocationKeysCountPOPEntriesFromZero) {
    LocationRecordObject record;
    LocationRecord& r = record.Record();
    std::memcpy(r.Description, "Office", 6);
    std::memcpy(r.AreaCode, "617", 3);
    std::memcpy(r.CallWaitingDisable, "*70,", 4);
    std::memcpy(r.CallingCardNumber, "1234", 4);
    std::memcpy(r.ModemName, "Modem", 5);
    r.TapiLocationID = 77;
    r.LastLupaCheckTime = 99;
    r.CallWaitingDisabled = 255;
    r.ConnectionType = 65535;
    r.ToneDial = 0;
    r.Use1ForLongDistance = 1;
    r.DontUseAreaCodeWhenDialing = 2;
    r.DialLocalAsLongDistance = 3;
    r.BackupPOPEntry = 2147483647;
    record.SetDefaultPOPEntry(19);
    record.AddPOPEntry(Entry("555-0100"));
    std::memcpy(r.POPEntries[19].PopNumber, "555-0120", 8);
    r.POPEntries[19].PopDualLoginRequired = 200;
    CollectedKeys keys;
    ListLocationBackup(r, keys);
    std::vector<std::string> expected = LocationLines(
        {"Description=Office", "AreaCode=617", "LocalNumber=", "LocalAccess=",
         "LongDistanceAccess=", "CallWaitingDisable=*70,", "CallWaitingDisabled=255",
         "ConnectionType=65535", "ToneDial=0", "DontUseAreaCodeWhenDialing=2",
         "DialLocalAsLongDistance=3", "DefaultPOPEntry=19", "BackupPOPEntry=2147483647",
         "Use1ForLongDistance=1", "CountryCode=", "CallingCardNumber=1234"});
    expected[16] = "POP_NUMBER_0=555-0100";
    expected[17] = "POP_DESC_0=desc";
    expected[18] = "POP_DUAL_LOGIN_REQUIRED_0=1";
    expected[16 + 57] = "POP_NUMBER_19=555-0120";
    expected[16 + 59] = "POP_DUAL_LOGIN_REQUIRED_19=200";
    EXPECT_EQ(keys.lines, expected);
}

}  // namespace
