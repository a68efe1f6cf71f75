// Paths from "corecode.ini" beside a copy of the library and the WIN.INI
// section it names: both reader families, with their size conventions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "environment/ConfigPaths.h"
#include "tests/support/KitInstall.h"

namespace {

class ConfigPathsTest : public ::testing::Test {
protected:
    KitInstall kit;

    // A size-query getter's text and reported length, or "<failed>".
    template <class Getter>
    std::string Query(Getter getter, DWORD size, DWORD* reported) {
        char out[1100];
        std::memset(out, '#', sizeof out);
        DWORD len = size;
        if (!getter(kit.Module(), out, &len)) {
            *reported = len;
            return "<failed>";
        }
        *reported = len;
        return out;
    }
};

TEST_F(ConfigPathsTest, WithoutCorecodeTheLogSideFailsAndTheGettersGiveBackslashes) {
    kit.RemoveConfigFile();
    char out[256] = "untouched";
    EXPECT_EQ(GetKitPath(kit.Module(), out, sizeof out), 0);
    DWORD len = sizeof out;
    EXPECT_EQ(GetKitSubdirPath(kit.Module(), out, &len, "DataDir"), 0);
    EXPECT_STREQ(out, "untouched");
    EXPECT_EQ(len, sizeof out) << "len is left alone on failure";

    DWORD reported = 0;
    EXPECT_EQ(Query(QueryKitPath, 256, &reported), "");
    EXPECT_EQ(reported, 1u);
    EXPECT_EQ(Query(QueryDataDirPath, 256, &reported), "\\");
    EXPECT_EQ(reported, 2u);
    EXPECT_EQ(Query(QueryProfileDBPath, 256, &reported), "\\\\");
    EXPECT_EQ(Query(QueryLocationDBPath, 256, &reported), "\\\\");
}

TEST_F(ConfigPathsTest, KitAndDataDirectoriesJoinWithOneBackslash) {
    kit.SetKitPath("C:\\KIT");
    kit.SetConfig("DataDir", "DATA");
    kit.SetConfig("ProfileDB", "profile");
    kit.SetConfig("LocationDB", "location");

    DWORD reported = 0;
    EXPECT_EQ(Query(QueryKitPath, 256, &reported), "C:\\KIT");
    EXPECT_EQ(reported, 7u);
    EXPECT_EQ(Query(QueryDataDirPath, 256, &reported), "C:\\KIT\\DATA");
    EXPECT_EQ(reported, 12u);
    EXPECT_EQ(Query(QueryProfileDBPath, 256, &reported), "C:\\KIT\\DATA\\profile");
    EXPECT_EQ(reported, 20u);
    EXPECT_EQ(Query(QueryLocationDBPath, 256, &reported), "C:\\KIT\\DATA\\location");
    EXPECT_EQ(reported, 21u);

    char out[256];
    DWORD len = sizeof out;
    ASSERT_EQ(GetKitSubdirPath(kit.Module(), out, &len, "DataDir"), 1);
    EXPECT_STREQ(out, "C:\\KIT\\DATA");
    EXPECT_EQ(len, 11u);
    ASSERT_EQ(GetKitPath(kit.Module(), out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\KIT");
}

TEST_F(ConfigPathsTest, MissingKeysStillComposeForTheGettersButFailForTheLogSide) {
    kit.SetKitPath("C:\\KIT");
    DWORD reported = 0;
    EXPECT_EQ(Query(QueryDataDirPath, 256, &reported), "C:\\KIT\\");
    EXPECT_EQ(Query(QueryProfileDBPath, 256, &reported), "C:\\KIT\\\\");
    char out[256];
    DWORD len = sizeof out;
    EXPECT_EQ(GetKitSubdirPath(kit.Module(), out, &len, "LogDir"), 0);
}

TEST_F(ConfigPathsTest, SizeQueriesReportTheNeededSizeAndRefuseTooSmallBuffers) {
    kit.SetKitPath("C:\\KIT");
    kit.SetConfig("DataDir", "DATA");

    DWORD len = 0;
    EXPECT_EQ(QueryDataDirPath(kit.Module(), nullptr, &len), 1);
    EXPECT_EQ(len, 12u) << "a null buffer asks for the size";

    DWORD reported = 0;
    EXPECT_EQ(Query(QueryDataDirPath, 11, &reported), "<failed>") << "size = length fails";
    EXPECT_EQ(reported, 11u);
    EXPECT_EQ(Query(QueryDataDirPath, 12, &reported), "C:\\KIT\\DATA");

    char out[16];
    EXPECT_EQ(GetKitPath(kit.Module(), nullptr, 256), 0) << "GetKitPath needs a buffer";
    EXPECT_EQ(GetKitPath(kit.Module(), out, 6), 0);
    EXPECT_EQ(GetKitPath(kit.Module(), out, 7), 1);

    DWORD subdirLen = 0;
    EXPECT_EQ(GetKitSubdirPath(kit.Module(), nullptr, &subdirLen, "DataDir"), 1);
    EXPECT_EQ(subdirLen, 11u);
    subdirLen = 11;
    EXPECT_EQ(GetKitSubdirPath(kit.Module(), out, &subdirLen, "DataDir"), 0);
    subdirLen = 12;
    EXPECT_EQ(GetKitSubdirPath(kit.Module(), out, &subdirLen, "DataDir"), 1);

    EXPECT_EQ(QueryKitPath(kit.Module(), out, nullptr), 0) << "a null len is refused";
    EXPECT_EQ(GetKitSubdirPath(kit.Module(), out, nullptr, "DataDir"), 0);
}

TEST_F(ConfigPathsTest, LongValuesAreCutAtTheReadersLimits) {
    kit.SetKitPath("C:\\KIT");
    std::string data(80, 'd');
    kit.SetConfig("DataDir", data.c_str());
    DWORD reported = 0;
    EXPECT_EQ(Query(QueryDataDirPath, 1024, &reported), "C:\\KIT\\" + std::string(63, 'd'));

    // A kit directory of 255 characters: the composed getters still work up
    // to their 256-character base buffer, and nothing overflows.
    std::string longKit = "C:\\" + std::string(252, 'k');
    kit.SetKitPath(longKit.c_str());
    EXPECT_EQ(Query(QueryKitPath, 1024, &reported), longKit);
    EXPECT_EQ(reported, 256u);
    EXPECT_EQ(Query(QueryDataDirPath, 1024, &reported), longKit + "\\" + std::string(63, 'd'));
    EXPECT_EQ(Query(QueryProfileDBPath, 1024, &reported), "<failed>")
        << "a data directory of 256 characters or more does not fit the base buffer";
}

TEST_F(ConfigPathsTest, MailDomainsHaveDefaults) {
    char out[64];
    GetServiceMailDomain(kit.Module(), out, sizeof out);
    EXPECT_STREQ(out, "orvoveltrane.net");
    GetServiceShortMailDomain(kit.Module(), out, sizeof out);
    EXPECT_STREQ(out, "ovt.net");
    kit.SetConfig("MailDomain", "mail.example");
    kit.SetConfig("ShortMailDomain", "ex");
    GetServiceMailDomain(kit.Module(), out, sizeof out);
    EXPECT_STREQ(out, "mail.example");
    GetServiceShortMailDomain(kit.Module(), out, sizeof out);
    EXPECT_STREQ(out, "ex");
}

}  // namespace
