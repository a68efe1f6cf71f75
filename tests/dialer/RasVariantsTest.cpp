// Where the RAS phonebook functions come from: Windows 95's rasapi32.dll
// (the doubles beside the test programs), a split installation with
// rnaph.dll, and later systems that have only the "A" names.
//
// RasLoader loads "rasapi32.dll" and "rnaph.dll" by name, so a process sees
// the ones in its own folder, and a DLL loaded once stays the one the name
// finds. A variant is therefore tested in a process of its own: this test
// program copied, with WIN95.dll, into a folder that holds the variant's
// DLLs, and run with a filter for one of the RasVariantChild tests below.
// Those tests skip themselves unless WIN95_RAS_VARIANT_CHILD names them; the
// child inherits the doubles' state directory, so the parent reads the
// child's calls from the journal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <win95/Exports.h>

#include <map>
#include <set>

#include "dialer/Connectoid.h"
#include "dialer/RasLoader.h"
#include "tests/dialer/DialerTestSupport.h"
#include "tests/support/ChildTest.h"
#include "tests/support/LogSetup.h"
#include "tests/support/TestFiles.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr char kChildVariable[] = "WIN95_RAS_VARIANT_CHILD";
const char* const kPhonebook[] = {"RasEnumDevices", "RasGetEntryProperties",
                                  "RasSetEntryProperties", "RasValidateEntryName",
                                  "RasDeleteEntry"};

// ---- the parent's side ------------------------------------------------------

struct ChildRun {
    DWORD exitCode;
    std::string output;
};

// Runs RasVariantChild.<test> in a folder with WIN95.dll, this program and
// the named DLLs of the variant's folder.
ChildRun RunInVariantFolder(const char* variant, const std::vector<const char*>& dlls,
                            const char* test) {
    TempDir folder;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string program = folder.File("variant_child.exe");
    CopyFileA(self, program.c_str(), FALSE);
    CopyFileA((ProgramDirectory() + "WIN95.dll").c_str(), folder.File("WIN95.dll").c_str(), FALSE);
    std::string source = ProgramDirectory() + "doubles\\" + variant + "\\";
    for (const char* dll : dlls) CopyFileA((source + dll).c_str(), folder.File(dll).c_str(), FALSE);

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    std::string outputFile = folder.File("output.txt");
    HANDLE output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::string command = "\"" + program + "\" --gtest_filter=RasVariantChild." + test;
    PROCESS_INFORMATION process = {};
    SetEnvironmentVariableA(kChildVariable, test);
    UnshardChildren();
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  folder.Path().c_str(), &startup, &process);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    CloseHandle(output);
    ChildRun run = {0xFFFFFFFF, "not started"};
    if (!started) return run;
    WaitForSingleObject(process.hProcess, 300000);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.output = ReadFileBytes(outputFile);
    return run;
}

// For each phonebook function in the journal, the modules that answered it.
std::map<std::string, std::set<std::string>> AnsweringModules(const DoubleControl& doubles) {
    std::map<std::string, std::set<std::string>> modules;
    for (const std::string& line : doubles.Journal()) {
        std::string function = DoubleControl::Function(line);
        for (const char* name : kPhonebook)
            if (function == name) modules[function].insert(DoubleControl::Module(line));
    }
    return modules;
}

class RasVariantsTest : public ::testing::Test {
protected:
    // The child ran its test, which passed.
    void ExpectPassed(const ChildRun& run, const char* test) {
        EXPECT_EQ(0u, run.exitCode) << run.output;
        EXPECT_THAT(run.output, HasSubstr(std::string("[       OK ] RasVariantChild.") + test));
    }

    DoubleControl doubles;
};

TEST_F(RasVariantsTest, InThisFolderWindows95NamesComeFromRasapi32) {
    RasLoader loader;
    HMODULE rasapi32 = GetModuleHandleA("rasapi32.dll");
    ASSERT_NE(nullptr, rasapi32);
    for (const char* name : kPhonebook)
        EXPECT_EQ(GetProcAddress(rasapi32, name), loader.GetProc(name)) << name;
    EXPECT_EQ(nullptr, loader.GetProc("RasNoSuchFunction"));
    EXPECT_EQ(nullptr, GetModuleHandleA("rnaph.dll")) << "no rnaph.dll here: not loaded";
}

TEST_F(RasVariantsTest, LaterSystemsAnswerUnderTheSuffixedNames) {
    ExpectPassed(RunInVariantFolder("nt", {"rasapi32.dll", "tapi32.dll", "serialui.dll"}, "Works"),
                 "Works");
    std::map<std::string, std::set<std::string>> expected;
    for (const char* name : kPhonebook) expected[name] = {"rasapi32"};
    EXPECT_EQ(expected, AnsweringModules(doubles));
}

TEST_F(RasVariantsTest, ASplitInstallationAnswersFromRnaph) {
    ExpectPassed(RunInVariantFolder(
                     "split", {"rasapi32.dll", "rnaph.dll", "tapi32.dll", "serialui.dll"}, "Works"),
                 "Works");
    std::map<std::string, std::set<std::string>> expected;
    for (const char* name : kPhonebook) expected[name] = {"rnaph"};
    EXPECT_EQ(expected, AnsweringModules(doubles));
}

TEST_F(RasVariantsTest, Rasapi32IsAskedBeforeRnaph) {
    ExpectPassed(
        RunInVariantFolder("split-partial",
                           {"rasapi32.dll", "rnaph.dll", "tapi32.dll", "serialui.dll"}, "Works"),
        "Works");
    std::map<std::string, std::set<std::string>> expected = {{"RasEnumDevices", {"rasapi32"}},
                                                             {"RasValidateEntryName", {"rasapi32"}},
                                                             {"RasGetEntryProperties", {"rnaph"}},
                                                             {"RasSetEntryProperties", {"rnaph"}},
                                                             {"RasDeleteEntry", {"rnaph"}}};
    EXPECT_EQ(expected, AnsweringModules(doubles));
}

TEST_F(RasVariantsTest, EachOperationReportsAMissingFunction) {
    // The split installation's rasapi32.dll without its rnaph.dll.
    ExpectPassed(
        RunInVariantFolder("split", {"rasapi32.dll", "tapi32.dll", "serialui.dll"}, "Missing"),
        "Missing");
    ExpectPassed(RunInVariantFolder("split-partial", {"rasapi32.dll", "tapi32.dll", "serialui.dll"},
                                    "PartlyMissing"),
                 "PartlyMissing");
}

// ---- the child's side -------------------------------------------------------

class RasVariantChild : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ProduceAllGlobalLogs(); }
    void SetUp() override {
        char role[32] = "";
        GetEnvironmentVariableA(kChildVariable, role, sizeof role);
        if (::testing::UnitTest::GetInstance()->current_test_info()->name() != std::string(role))
            GTEST_SKIP() << "runs in a variant's folder, started by RasVariantsTest";
        recorder.Take();
    }
    std::vector<std::string> Log() { return recorder.TakeLines("Win95Dialer"); }

    KitInstall kit;
    LogRecorder recorder;
};

TEST_F(RasVariantChild, Works) {
    DWORD count = 0;
    EXPECT_EQ(0u, GetNumberOfModems(&count));
    EXPECT_EQ(1u, count);
    SampleRequest request;
    EXPECT_EQ(0u, CreateConnectoid(kService, request.Get()));
    ModemRecord modem = {};
    EXPECT_EQ(0u, GetModem(0, &modem));
    EXPECT_STREQ(kModem0, modem.deviceName);
    EXPECT_EQ(0u, ModemConfig(kModem0, nullptr));
    EXPECT_EQ(0u, RemoveConnectoid(kService));
    EXPECT_THAT(Log(), ::testing::Each(::testing::Not(::testing::StartsWith("1|"))));
}

TEST_F(RasVariantChild, Missing) {
    DWORD count = 0;
    EXPECT_EQ(8u, GetNumberOfModems(&count));
    ModemRecord modem = {};
    EXPECT_EQ(8u, GetModem(0, &modem));
    int exists = 7;
    EXPECT_EQ(14u, ConnectoidExists(kService, &exists));
    EXPECT_EQ(0, exists);
    SampleRequest request;
    EXPECT_EQ(8u, CreateConnectoid(kService, request.Get()));
    CBuffer entry;
    EXPECT_EQ(8u, GetConnectoid(entry));
    entry.Create(sizeof(RASENTRY));
    EXPECT_EQ(18u, SetRasEntry(entry));
    ModemConfigInfo info = {};
    EXPECT_EQ(8u, GetModemConfigInfo(info));
    EXPECT_EQ(8u, SetModemConfigInfo(info));
    EXPECT_EQ(8u, RemoveConnectoid(kService));
    EXPECT_EQ(8u, ModemConfig(kModem0, nullptr));
    EXPECT_THAT(
        Log(), ElementsAre("1|GetNumberOfModems: Unable to get procaddress for RasEnumDevices\n",
                           "1|GetModem: GetProcAddress() failed for RasEnumDevices\n",
                           "1|ConnectoidExists: GetProcAddress () failed on RasValidateEntryName\n",
                           "1|ConnectoidExists: GetProcAddress () failed on RasValidateEntryName\n",
                           "1|CreateConnectoid: ConnectoidExists() failed\n",
                           "1|GetConnectoid: GetProcAddress failed\n",
                           "1|SetRasEntry: GetProcAddress () failed on RasSetEntryProperties\n",
                           "1|GetModemConfigInfo: GetProcAddress failed\n",
                           "1|SetModemConfigInfo: GetProcAddress failed\n",
                           "1|RemoveConnectoid: GetProcAddress failed for RasDeleteEntry\n",
                           "1|GetConnectoid: GetProcAddress failed\n"));
}

// RasEnumDevices and RasValidateEntryName only.
TEST_F(RasVariantChild, PartlyMissing) {
    DWORD count = 0;
    EXPECT_EQ(0u, GetNumberOfModems(&count));
    SampleRequest request;
    EXPECT_EQ(18u, CreateConnectoid(kService, request.Get()));
    EXPECT_THAT(Log(), ElementsAre("1|CreateConnectoid: GetProcAddress () failed on "
                                   "RasSetEntryProperties\n"));
}

}  // namespace
