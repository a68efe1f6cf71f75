// The backup file under the Windows private-profile functions: the comment
// lines of a new file, the sections written key by key in order, read back
// with GetPrivateProfileString and compared byte for byte.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"
#include "tests/database/DatabaseTesting.h"
#include "tests/database/StoreTesting.h"

namespace {

const char kComments[] =
    ";This file is for backup purposes only. Changes made to this file will not\r\n"
    ";take effect within the application\r\n";

// The lines of a section as "key=value" texts joined with CR LF.
std::string Section(const char* name, const std::vector<std::string>& lines) {
    std::string text = std::string("[") + name + "]\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::vector<std::string> ProfileLines(const std::string& login) {
    return ProfileBackupLines({{"Description", "Home"},
                               {"LoginName", login},
                               {"Password", "secret"},
                               {"Domain Name", "example.net"},
                               {"DnsAddr1", "10.0.0.1"},
                               {"DnsAddr2", "255.255.255.0"},
                               {"POP Name", "pop"},
                               {"Email Address", "user@example.net"},
                               {"POP Server", "mail.example.net"},
                               {"NNTP Server", "news.example.net"},
                               {"FirstName", "Ada"},
                               {"LastName", "Byron"}});
}

ProfileRecordObject Profile(const char* login) {
    ProfileRecordObject record;
    std::memcpy(record.Record().Description, "Home", 4);
    record.SetLoginName(login);
    record.SetPassword("secret");
    std::memcpy(record.Record().Domain, "example.net", 11);
    record.ParseDnsAddr1("10.0.0.1");
    record.ParseDnsAddr2("255.255.255.0");
    record.SetPOPName("pop");
    record.SetEmailAddress("user@example.net");
    record.SetPOPServer("mail.example.net");
    record.SetNNTPServer("news.example.net");
    std::memcpy(record.Record().FirstName, "Ada", 3);
    record.SetLastName("Byron");
    return record;
}

std::string ReadKey(const std::string& path, const char* section, const char* key) {
    char value[512];
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, path.c_str());
    return value;
}

class BackupFileTest : public DatabaseTest {
protected:
    std::string Path() const { return dir.File("backup.ini"); }
};

TEST_F(BackupFileTest, ProfileSectionOnANewFileThenAgain) {
    ASSERT_EQ(Profile("first").WriteBackup(Path().c_str()), 1);
    EXPECT_EQ(ReadBytes(Path()),
              std::string(kComments) + Section("Profile", ProfileLines("first")));
    EXPECT_EQ(ReadKey(Path(), "Profile", "LoginName"), "first");
    EXPECT_EQ(ReadKey(Path(), "Profile", "DnsAddr2"), "255.255.255.0");
    EXPECT_EQ(ReadKey(Path(), "Profile", "Domain Name"), "example.net");

    // The same file again: no second pair of comment lines, the keys
    // overwritten in place.
    ASSERT_EQ(Profile("second").WriteBackup(Path().c_str()), 1);
    EXPECT_EQ(ReadBytes(Path()),
              std::string(kComments) + Section("Profile", ProfileLines("second")));
    EXPECT_EQ(ReadKey(Path(), "Profile", "LoginName"), "second");
}

TEST_F(BackupFileTest, LocationSectionFollowsTheProfileSection) {
    ASSERT_EQ(Profile("first").WriteBackup(Path().c_str()), 1);
    LocationRecordObject location;
    LocationRecord& r = location.Record();
    std::memcpy(r.Description, "Office", 6);
    std::memcpy(r.AreaCode, "617", 3);
    r.ConnectionType = 65535;
    location.SetDefaultPOPEntry(1);
    POPEntry entry;
    std::memset(&entry, 0, sizeof entry);
    std::memcpy(entry.PopNumber, "555-0100", 8);
    std::memcpy(entry.PopDescription, "Main", 4);
    entry.PopDualLoginRequired = 1;
    location.AddPOPEntry(entry);
    ASSERT_EQ(location.WriteBackup(Path().c_str()), 1);

    std::vector<std::string> lines = {"Description=Office",
                                      "AreaCode=617",
                                      "LocalNumber=",
                                      "LocalAccess=",
                                      "LongDistanceAccess=",
                                      "CallWaitingDisable=",
                                      "CallWaitingDisabled=0",
                                      "ConnectionType=65535",
                                      "ToneDial=1",
                                      "DontUseAreaCodeWhenDialing=0",
                                      "DialLocalAsLongDistance=0",
                                      "DefaultPOPEntry=1",
                                      "BackupPOPEntry=-1",
                                      "Use1ForLongDistance=0",
                                      "CountryCode=",
                                      "CallingCardNumber="};
    for (int k = 0; k < 20; ++k) {
        std::string n = std::to_string(k);
        lines.push_back("POP_NUMBER_" + n + "=" + (k == 0 ? "555-0100" : ""));
        lines.push_back("POP_DESC_" + n + "=" + (k == 0 ? "Main" : ""));
        lines.push_back("POP_DUAL_LOGIN_REQUIRED_" + n + "=" + (k == 0 ? "1" : "0"));
    }
    EXPECT_EQ(ReadBytes(Path()), std::string(kComments) +
                                     Section("Profile", ProfileLines("first")) +
                                     Section("Location", lines));
    EXPECT_EQ(ReadKey(Path(), "Location", "ConnectionType"), "65535");
    EXPECT_EQ(ReadKey(Path(), "Location", "BackupPOPEntry"), "-1");
    EXPECT_EQ(ReadKey(Path(), "Location", "POP_NUMBER_0"), "555-0100");
    EXPECT_EQ(ReadKey(Path(), "Location", "POP_DUAL_LOGIN_REQUIRED_19"), "0");
    EXPECT_EQ(ReadKey(Path(), "Location", "POP_NUMBER_20"), "<missing>");
    EXPECT_EQ(ReadKey(Path(), "Location", "TapiLocationID"), "<missing>");
    EXPECT_EQ(ReadKey(Path(), "Location", "ModemName"), "<missing>");
}

TEST_F(BackupFileTest, AnExistingFileGetsNoCommentLines) {
    WriteBytes(Path(), "[Other]\r\nkey=value\r\n");
    ASSERT_EQ(LocationRecordObject().WriteBackup(Path().c_str()), 1);
    std::string text = ReadBytes(Path());
    EXPECT_EQ(text.rfind("[Other]\r\nkey=value\r\n[Location]\r\nDescription=\r\n", 0), 0u);
    EXPECT_EQ(text.find(";This file"), std::string::npos);
    EXPECT_EQ(ReadKey(Path(), "Location", "ToneDial"), "1");
    EXPECT_EQ(ReadKey(Path(), "Location", "DefaultPOPEntry"), "-1");
}

TEST_F(BackupFileTest, AFileThatCanBeNeitherOpenedNorCreatedGivesZero) {
    std::string path = dir.File("no such directory\\backup.ini");
    EXPECT_EQ(Profile("x").WriteBackup(path.c_str()), 0);
    EXPECT_EQ(LocationRecordObject().WriteBackup(path.c_str()), 0);
    EXPECT_FALSE(Exists(path));

    // A file held without sharing cannot be opened, and is not made anew.
    WriteBytes(Path(), "[Profile]\r\nLoginName=kept\r\n");
    HANDLE held = CreateFileA(Path().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Profile("lost").WriteBackup(Path().c_str()), 0);
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(Path()), "[Profile]\r\nLoginName=kept\r\n");
}

}  // namespace
