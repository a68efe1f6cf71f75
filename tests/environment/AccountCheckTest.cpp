// The account presence check: its three sources in order, Navigator's mail
// settings deciding for the last two, and the backup file it writes.
#include <gtest/gtest.h>
#include <win95/Exports.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/database/StoreTesting.h"
#include "tests/doubles/DoubleControl.h"
#include "tests/support/KitInstall.h"
#include "tests/support/LogRecorder.h"
#include "tests/support/LogSetup.h"
#include "tests/support/NavigatorSettings.h"

namespace {

const char kAddresses[] = "RemoteAccess\\Addresses";

class AccountCheckTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ProduceAllGlobalLogs(); }

    void SetUp() override {
        kit.SetKitPath(kit.Directory().c_str());
        kit.SetConfig("DataDir", "data");
        kit.SetConfig("ProfileDB", "profile");
        kit.SetConfig("LocationDB", "location");
        CreateDirectoryA(DataFile("").c_str(), nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, kAddresses);
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, kAddresses, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        RegCloseKey(key);
        recorder.Take();
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kAddresses); }

    std::string DataFile(const char* name) { return kit.Directory() + "\\data\\" + name; }
    std::string Backup() { return temp.File("backup.ini"); }
    std::string BackupValue(const char* section, const char* key) {
        char value[512];
        GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, Backup().c_str());
        return value;
    }
    DWORD Check(DWORD* flag) { return IsUserRegistered(flag, Backup().c_str(), 0); }
    std::vector<std::string> Lines() { return recorder.TakeLines("Win95Dialer"); }
    static bool Has(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    // A store whose only record is the current one.
    template <class Record>
    void WriteStore(const char* name, const Record& record, uint32_t version) {
        RawDatabase store;
        store.recordVersion = version;
        store.recordSize = sizeof record;
        store.currentRecord = 0;
        store.fields = {{"Version", 4, 1, 0}, {"Description", 2, 255, 4}};
        store.records = {BytesOf(record)};
        store.Write(DataFile(name));
    }
    void WriteProfileStore(const char* popName) {
        ProfileRecord profile = {};
        profile.Version = 57;
        std::strcpy(profile.POPName, popName);
        std::strcpy(profile.LoginName, "storeuser");
        WriteStore("profile", profile, 57);
    }
    void WriteLocationStore() {
        LocationRecord location = {};
        location.Version = 81;
        std::strcpy(location.Description, "Home");
        location.DefaultPOPEntry = -1;
        location.BackupPOPEntry = -1;
        WriteStore("location", location, 81);
    }

    // A connectoid named in the registry, kept in the phonebook.
    void AddConnectoid(const char* name, const char* phone, const char* user) {
        HKEY key;
        RegOpenKeyExA(HKEY_CURRENT_USER, kAddresses, 0, KEY_ALL_ACCESS, &key);
        RegSetValueExA(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>("x"), 1);
        RegCloseKey(key);
        doubles::PhonebookEntry entry;
        entry.entry.dwSize = sizeof entry.entry;
        std::strcpy(entry.entry.szAreaCode, "212");
        std::strcpy(entry.entry.szLocalPhoneNumber, "5550100");
        entry.entry.ipaddrDns = {10, 0, 0, 1};
        entry.entry.ipaddrDnsAlt = {10, 0, 0, 2};
        entry.hasDialParams = true;
        entry.dialParams.dwSize = sizeof entry.dialParams;
        std::strcpy(entry.dialParams.szEntryName, name);
        std::strcpy(entry.dialParams.szPhoneNumber, phone);
        std::strcpy(entry.dialParams.szUserName, user);
        std::strcpy(entry.dialParams.szPassword, "dialpw");
        entry.passwordSaved = true;
        doubles.WriteEntry(name, entry);
    }
    void NavigatorMail(const char* replyTo) {
        navigator.SetString("services", "POP_Server", "pop.orvoveltrane.net");
        navigator.SetString("services", "SMTP_Server", "smtp.orvoveltrane.net");
        navigator.SetString("services", "NNTP_Server", "news.orvoveltrane.net");
        navigator.SetString("mail", "POP Name", "jdoe@pop.orvoveltrane.net");
        navigator.SetString("main", "Home page", "http://home.orvoveltrane.net/");
        if (replyTo) navigator.SetString("user", "Reply_to", replyTo);
    }

    KitInstall kit;
    DoubleControl doubles;
    NavigatorSettings navigator;
    TempDir temp;
    LogRecorder recorder;
};

TEST_F(AccountCheckTest, AProfileWithAPopNameAnswersAtOnce) {
    WriteProfileStore("jdoe");
    WriteLocationStore();
    AddConnectoid("Orvo VelTrane", "5551234", "conuser");
    DWORD flag = 0xDEAD;
    EXPECT_EQ(Check(&flag), 0u);
    EXPECT_EQ(flag, 1u);
    EXPECT_EQ(BackupValue("Profile", "POP Name"), "jdoe");
    EXPECT_EQ(BackupValue("Profile", "LoginName"), "storeuser");
    EXPECT_EQ(BackupValue("Location", "Description"), "Home");
    EXPECT_TRUE(doubles.Journal().empty()) << "the phonebook is not looked at";
    EXPECT_EQ(Lines(), std::vector<std::string>{"10|IsUserRegistered entered\n"});
}

TEST_F(AccountCheckTest, AMissingLocationStoreKeepsTheAnswerWithTheProfileOnly) {
    WriteProfileStore("jdoe");
    DWORD flag = 0;
    EXPECT_EQ(Check(&flag), 0u);
    EXPECT_EQ(flag, 1u);
    EXPECT_EQ(BackupValue("Profile", "POP Name"), "jdoe");
    EXPECT_EQ(BackupValue("Location", "Description"), "<none>");
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rfind("1|IsUserRegistered: Error opening location database, err=", 0), 0u)
        << lines[1];
}

TEST_F(AccountCheckTest, AConnectoidGivesTheAccountWhenNavigatorHasAReplyTo) {
    WriteProfileStore("");
    AddConnectoid("ORVO", "5558888", "third");
    AddConnectoid("Orvo VelTrane", "", "conuser");
    NavigatorMail("jdoe@orvoveltrane.net");
    DWORD flag = 0;
    EXPECT_EQ(Check(&flag), 0u);
    EXPECT_EQ(flag, 1u);

    std::vector<std::string> reads = doubles.Calls("RasGetEntryProperties");
    ASSERT_EQ(reads.size(), 1u) << "only the first name is read";
    EXPECT_EQ(DoubleControl::Argument(reads[0], "entry"), "Orvo VelTrane");
    EXPECT_EQ(BackupValue("Profile", "LoginName"), "conuser");
    EXPECT_EQ(BackupValue("Profile", "Password"), "dialpw");
    EXPECT_EQ(BackupValue("Profile", "DnsAddr1"), "10.0.0.1");
    EXPECT_EQ(BackupValue("Profile", "DnsAddr2"), "10.0.0.2");
    EXPECT_EQ(BackupValue("Profile", "POP Name"), "jdoe") << "normalised";
    EXPECT_EQ(BackupValue("Profile", "Home Page"), "http://home.orvoveltrane.net/");
    EXPECT_EQ(BackupValue("Profile", "NNTP Server"), "news.orvoveltrane.net");
    EXPECT_EQ(BackupValue("Location", "POP_NUMBER_0"), "212 5550100")
        << "area code, a space and the local number";
    EXPECT_EQ(BackupValue("Location", "DefaultPOPEntry"), "0");

    std::vector<std::string> lines = Lines();
    EXPECT_TRUE(Has(lines, "256|IsUserRegistered:  RasDialParams.szPhoneNumber is null\n"));
    EXPECT_TRUE(Has(lines, "256|IsUserRegistered:  popEntry set to: 212 5550100\n"));
    EXPECT_EQ(lines.back(), "256|IsUserRegistered: User is registered\n");
}

TEST_F(AccountCheckTest, WithoutAReplyToNothingIsRegisteredOrWritten) {
    AddConnectoid("ORVO", "5551234", "conuser");
    NavigatorMail(nullptr);
    DWORD flag = 0xDEAD;
    EXPECT_EQ(Check(&flag), 0u);
    EXPECT_EQ(flag, 0u);
    EXPECT_FALSE(FileExists(Backup()));
    std::vector<std::string> lines = Lines();
    EXPECT_TRUE(Has(lines, "256|IsUserRegistered: RasDialParams.szPhoneNumber: 5551234\n"));
    EXPECT_EQ(lines.back(), "256|IsUserRegistered: User is not registered\n");
}

TEST_F(AccountCheckTest, AForeignReplyToKeepsTheAnswerButImportsNoMore) {
    AddConnectoid("Orvo VelTrane", "5551234", "conuser");
    NavigatorMail("jane@example.com");
    DWORD flag = 0;
    EXPECT_EQ(Check(&flag), 0u);
    EXPECT_EQ(flag, 1u);
    EXPECT_EQ(BackupValue("Profile", "Email Address"), "jane@example.com");
    EXPECT_EQ(BackupValue("Profile", "Home Page"), "");
    EXPECT_EQ(BackupValue("Profile", "NNTP Server"), "");
}

TEST_F(AccountCheckTest, RegIniIsTheLastSource) {
    navigator.Install();
    navigator.SetRegIni("EMAIL_ADDR", "jdoe@OrvoVelTrane.NET");
    navigator.SetRegIni("LOGIN", "iniuser");
    navigator.SetRegIni("LASS", "inipw");
    navigator.SetRegIni("DNS_ADDR", "10.1.2.3");
    NavigatorMail("jdoe@ovt.net");
    DWORD flag = 0;
    EXPECT_EQ(Check(&flag), 0u);
    EXPECT_EQ(flag, 1u) << "the domain is compared without regard to case";
    EXPECT_EQ(BackupValue("Profile", "LoginName"), "iniuser");
    EXPECT_EQ(BackupValue("Profile", "Password"), "inipw");
    EXPECT_EQ(BackupValue("Profile", "DnsAddr1"), "10.1.2.3");
    EXPECT_EQ(BackupValue("Profile", "DnsAddr2"), "0.0.0.0");
    std::vector<std::string> lines = Lines();
    EXPECT_TRUE(Has(lines,
                    "256|IsUserRegistered: Orvo VelTrane connectoid not found, will check "
                    "reg.ini\n"));
    EXPECT_TRUE(Has(lines, "256|IsUserRegistered: DNS2 not found in reg.ini\n"));
}

TEST_F(AccountCheckTest, RegIniWithAnotherDomainOrAStarIsNoAccount) {
    navigator.Install();
    navigator.SetRegIni("EMAIL_ADDR", "jdoe@example.com");
    DWORD flag = 0xDEAD;
    EXPECT_EQ(Check(&flag), 0u);
    EXPECT_EQ(flag, 0u);
    EXPECT_EQ(Lines().back(), "256|IsUserRegistered: User is not registered through Netscape\n");

    navigator.SetRegIni("EMAIL_ADDR", "jdoe@orvoveltrane.net");
    navigator.SetRegIni("LOGIN", "*");
    EXPECT_EQ(Check(&flag), 0u);
    EXPECT_EQ(flag, 0u);
    EXPECT_EQ(Lines().back(), "256|IsUserRegistered: Login not found in reg.ini\n");
}

TEST_F(AccountCheckTest, RasFailuresEndTheCheckWithEight) {
    AddConnectoid("Orvo VelTrane", "5551234", "conuser");
    doubles.Set("ras", "GetPropertiesError", "623");
    DWORD flag = 0xDEAD;
    EXPECT_EQ(Check(&flag), 8u);
    EXPECT_EQ(flag, 0u);
    EXPECT_EQ(Lines().back(), "1|IsUserRegistered: Error reading connectoid Orvo VelTrane\n");

    doubles.Set("ras", "GetPropertiesError", nullptr);
    doubles.Set("ras", "GetDialParamsError", "5");
    EXPECT_EQ(Check(&flag), 8u);
    EXPECT_EQ(Lines().back(), "1|IsUserRegistered: RasGetEntryParams failed, err=5\n");
}

TEST_F(AccountCheckTest, NullArgumentsAreRefused) {
    DWORD flag = 0;
    EXPECT_EQ(IsUserRegistered(nullptr, Backup().c_str(), 0), 8u);
    EXPECT_EQ(IsUserRegistered(&flag, nullptr, 0), 8u);
}

}  // namespace
