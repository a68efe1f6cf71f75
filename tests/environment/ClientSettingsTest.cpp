// Navigator's mail, news and browser settings read into a profile record,
// "reg.ini" found from the registry, and the mail fields cleaned up.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "database/ProfileText.h"
#include "environment/ClientSettings.h"
#include "tests/support/KitInstall.h"
#include "tests/support/LogRecorder.h"
#include "tests/support/LogSetup.h"
#include "tests/support/NavigatorSettings.h"

namespace {

class ClientSettingsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ProduceAllGlobalLogs(); }
    void SetUp() override {
        std::memset(&record, 0, sizeof record);
        recorder.Take();
    }

    std::vector<std::string> Lines() { return recorder.TakeLines("Win95Dialer"); }

    KitInstall kit;
    NavigatorSettings navigator;
    ProfileRecord record;
    LogRecorder recorder;
};

TEST_F(ClientSettingsTest, MailSettingsFillTheRecordAndReplyToIsTheOnlyFoundSignal) {
    navigator.SetString("services", "POP_Server", "pop.orvoveltrane.net");
    navigator.SetString("services", "SMTP_Server", "smtp.orvoveltrane.net");
    navigator.SetString("mail", "POP Name", "jdoe");
    navigator.SetString("user", "User_name", "Jane Doe");
    navigator.SetString("ORVO", "EASS", "mailpw");
    DWORD found = 0xDEAD;
    EXPECT_EQ(GetNetscapeMailEntries(record, &found), 0u);
    EXPECT_EQ(found, 0u) << "without Reply_to nothing is found";
    EXPECT_STREQ(record.POPServer, "pop.orvoveltrane.net");
    EXPECT_STREQ(record.SMTPServer, "smtp.orvoveltrane.net");
    EXPECT_STREQ(record.POPName, "jdoe");
    EXPECT_STREQ(record.LastName, "Jane Doe");
    EXPECT_STREQ(record.POPPassword, "mailpw");
    EXPECT_TRUE(Lines().empty());

    navigator.SetString("user", "Reply_to", "jane@orvoveltrane.net");
    EXPECT_EQ(GetNetscapeMailEntries(record, &found), 0u);
    EXPECT_EQ(found, 1u);
    EXPECT_STREQ(record.EmailAddress, "jane@orvoveltrane.net");
}

TEST_F(ClientSettingsTest, MissingKeysEndOrContinueAsEachStepSays) {
    DWORD found = 0xDEAD;
    EXPECT_EQ(GetNetscapeMailEntries(record, &found), 0u);
    EXPECT_EQ(found, 0u);
    EXPECT_EQ(Lines(), std::vector<std::string>{
                           "256|GetNetscapeMailEntries: software\\netscape\\Netscape "
                           "Navigator\\services not found in registry, user not registered\n"});

    navigator.CreateKey("services");
    EXPECT_EQ(GetNetscapeMailEntries(record, &found), 8u);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{
                  "1|GetNetscapeMailEntries: Failed to retrive POP Server address\n",
                  "256|GetNetscapeMailEntries: Failed to retrive SMTP Server address\n",
                  "1|GetNetscapeMailEntries: software\\netscape\\Netscape Navigator\\mail not "
                  "found in registry, user not registered\n"}));

    navigator.CreateKey("mail");
    EXPECT_EQ(GetNetscapeMailEntries(record, &found), 0u);
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[2], "256|GetNetscapeMailEntries: Failed to retrive POP Name\n");
    EXPECT_EQ(lines[3],
              "1|GetNetscapeMailEntries: software\\netscape\\Netscape Navigator\\user not found "
              "in registry\n");
    EXPECT_EQ(lines[4],
              "256|GetNetscapeMailEntries: software\\netscape\\Netscape Navigator\\ORVO not found "
              "in registry\n");
    EXPECT_EQ(lines[5],
              "256|GetNetscapeRegIniFullPath: software\\netscape\\Netscape Navigator\\Main not "
              "found in registry, Netscape Navigator not installed\n");
    EXPECT_EQ(lines[6], "256|GetPOPPasswordFromRegIni: GetNetscapeRegIniFullPath() failed\n");
    EXPECT_EQ(lines[7], "256|GetNetscapeMailEntries: GetPOPPasswordFromRegIni() failed\n");
}

TEST_F(ClientSettingsTest, ThePopPasswordFallsBackToRegIni) {
    navigator.CreateKey("services");
    navigator.CreateKey("mail");
    navigator.CreateKey("ORVO");
    navigator.Install();
    navigator.SetRegIni("EASS", "fromregini");
    DWORD found = 0;
    EXPECT_EQ(GetNetscapeMailEntries(record, &found), 0u);
    EXPECT_STREQ(record.POPPassword, "fromregini");
    std::vector<std::string> lines = Lines();
    EXPECT_EQ(lines.back(), "256|GetNetscapeMailEntries: POP password not found in registry\n");

    navigator.SetRegIni("EASS", "*unset");
    std::memset(&record, 0, sizeof record);
    EXPECT_EQ(GetPOPPasswordFromRegIni(record), 8u) << "a value beginning with * is missing";
    EXPECT_STREQ(record.POPPassword, "");
    EXPECT_EQ(Lines().back(),
              "256|GetPOPPasswordFromRegIni: POP password entry not found in reg.ini\n");
}

TEST_F(ClientSettingsTest, RegIniLiesUnderProgramOfTheInstallDirectory) {
    CBuffer path;
    for (bool trailing : {false, true}) {
        navigator.Install(trailing);
        ASSERT_EQ(GetNetscapeRegIniFullPath(path), 0u);
        EXPECT_STREQ(reinterpret_cast<const char*>(path.GetPointer(nullptr)),
                     navigator.RegIni().c_str())
            << "trailing backslash " << trailing;
    }
    navigator.SetString("Main", "Install Directory", "");
    EXPECT_EQ(GetNetscapeRegIniFullPath(path), 8u);
    EXPECT_EQ(Lines().back(),
              "256|GetNetscapeRegIniFullPath: Navigator Install Directory is empty string\n");
}

TEST_F(ClientSettingsTest, NewsAndHomePage) {
    EXPECT_EQ(GetNetscapeNewsEntries(record), 8u);
    EXPECT_EQ(GetNetscapeBrowserEntries(record), 0u);
    navigator.SetString("services", "NNTP_Server", "news.orvoveltrane.net");
    navigator.SetString("main", "Home page", "http://www.orvoveltrane.net/");
    EXPECT_EQ(GetNetscapeNewsEntries(record), 0u);
    EXPECT_EQ(GetNetscapeBrowserEntries(record), 0u);
    EXPECT_STREQ(record.NNTPServer, "news.orvoveltrane.net");
    EXPECT_STREQ(record.HomePage, "http://www.orvoveltrane.net/")
        << "\"main\" and \"Main\" are one key";
}

TEST_F(ClientSettingsTest, ValuesAreCutToTheFieldAndReadOnlyToTheirSize) {
    std::memset(record.POPServer, 0x7A, sizeof record.POPServer);
    navigator.SetString("services", "POP_Server", std::string(300, 'p'));
    navigator.SetRaw("services", "SMTP_Server", REG_BINARY, "smtp");  // no terminator
    navigator.CreateKey("mail");
    DWORD found = 0;
    GetNetscapeMailEntries(record, &found);
    EXPECT_EQ(RecordTextLength(record.POPServer), 255u) << "254 characters and the last byte";
    EXPECT_EQ(std::string(record.POPServer, 254), std::string(254, 'p'));
    EXPECT_EQ(record.POPServer[254], 0x7A) << "the field's last byte is not written";
    EXPECT_STREQ(record.SMTPServer, "smtp");
}

TEST_F(ClientSettingsTest, MailFieldsAreNormalised) {
    strcpy(record.POPName, "jdoe@pop.orvoveltrane.net");
    strcpy(record.POPServer, "jdoe@pop.orvoveltrane.net");
    strcpy(record.SMTPServer, "smtp.orvoveltrane.net");
    strcpy(record.EmailAddress, "jdoe \t ");
    NormalizeMailFields(record);
    EXPECT_STREQ(record.POPName, "jdoe");
    EXPECT_STREQ(record.POPServer, "pop.orvoveltrane.net");
    EXPECT_STREQ(record.SMTPServer, "smtp.orvoveltrane.net");
    EXPECT_STREQ(record.EmailAddress, "jdoe@orvoveltrane.net");

    kit.SetConfig("MailDomain", "example.org");
    strcpy(record.EmailAddress, "ann");
    NormalizeMailFields(record);
    EXPECT_STREQ(record.EmailAddress, "ann@example.org");

    std::memset(record.EmailAddress, 0, sizeof record.EmailAddress);
    NormalizeMailFields(record);
    EXPECT_STREQ(record.EmailAddress, "") << "an empty address stays empty";

    std::string long_(250, 'x');
    strcpy(record.EmailAddress, long_.c_str());
    NormalizeMailFields(record);
    EXPECT_EQ(std::string(record.EmailAddress), long_) << "no room for the domain: unchanged";
}

}  // namespace
