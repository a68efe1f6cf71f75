// The variant DLLs' export tables, looked up as the dialer's loader looks
// them up, and the state that all variants share.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/doubles/DoubleControl.h"
#include "tests/doubles/DoublesTestSupport.h"

using ::testing::ElementsAre;

namespace {

const char* const PHONEBOOK[] = {"RasEnumDevices", "RasGetEntryProperties", "RasSetEntryProperties",
                                 "RasValidateEntryName", "RasDeleteEntry"};
const char* const LINKED[] = {"RasDialA", "RasHangUpA", "RasGetConnectStatusA",
                              "RasGetEntryDialParamsA", "RasSetEntryDialParamsA"};

// One character per phonebook function, in PHONEBOOK's order: 'x' when the
// library exports it with the suffix, '-' when not.
std::string PhonebookPattern(const Library& library, const char* suffix) {
    std::string pattern;
    for (const char* name : PHONEBOOK)
        pattern += library.Exports((std::string(name) + suffix).c_str()) ? 'x' : '-';
    return pattern;
}

TEST(DoubleVariants, RasExportTablesDifferByVariant) {
    struct Expected {
        const char* variant;
        const char* unsuffixed;
        const char* suffixed;
    };
    const Expected variants[] = {{"win95", "xxxxx", "-----"},
                                 {"nt", "-----", "xxxxx"},
                                 {"split", "-----", "-----"},
                                 {"split-partial", "x--x-", "-----"}};
    for (const Expected& expected : variants) {
        Library ras(VariantDirectory(expected.variant) + "rasapi32.dll");
        ASSERT_NE(nullptr, ras.Get()) << expected.variant;
        EXPECT_EQ(expected.unsuffixed, PhonebookPattern(ras, "")) << expected.variant;
        EXPECT_EQ(expected.suffixed, PhonebookPattern(ras, "A")) << expected.variant;
        for (const char* name : LINKED) EXPECT_TRUE(ras.Exports(name)) << expected.variant << name;
    }
    // Loaded by path, a variant is a module of its own beside the default.
    Library nt(VariantDirectory("nt") + "rasapi32.dll");
    EXPECT_NE(GetModuleHandleA("rasapi32.dll"), nt.Get());
}

TEST(DoubleVariants, RnaphProvidesThePhonebookOverTheSharedState) {
    DoubleControl doubles;
    for (const char* variant : {"split", "split-partial"}) {
        Library rnaph(VariantDirectory(variant) + "rnaph.dll");
        ASSERT_NE(nullptr, rnaph.Get()) << variant;
        for (const char* name : PHONEBOOK) EXPECT_TRUE(rnaph.Exports(name)) << variant << name;
        EXPECT_FALSE(rnaph.Exports("RasDialA"));
    }

    // An entry written through the default rasapi32 is seen by rnaph.
    Library ras("rasapi32.dll");
    RASENTRY entry = SampleEntry("Sim Modem 28800");
    ASSERT_EQ(0u, PhonebookApi(ras).setEntryProperties(nullptr, "Shared", &entry, sizeof entry,
                                                       nullptr, 0));
    Library rnaph(VariantDirectory("split") + "rnaph.dll");
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS),
              PhonebookApi(rnaph).validateEntryName(nullptr, "Shared"));
    std::vector<std::string> modules;
    for (const std::string& line : doubles.Journal())
        modules.push_back(DoubleControl::Module(line));
    EXPECT_THAT(modules, ElementsAre("rasapi32", "rnaph"));
}

TEST(DoubleVariants, TapiExportsUnsuffixedAndANames) {
    Library tapi("tapi32.dll");
    for (const char* name :
         {"lineInitialize", "lineNegotiateAPIVersion", "lineOpen", "lineOpenA", "lineGetDevCaps",
          "lineGetDevCapsA", "lineGetDevConfig", "lineGetDevConfigA", "lineClose", "lineShutdown"})
        EXPECT_TRUE(tapi.Exports(name)) << name;
    EXPECT_EQ(GetProcAddress(tapi.Get(), "lineOpen"), GetProcAddress(tapi.Get(), "lineOpenA"));
}

}  // namespace
