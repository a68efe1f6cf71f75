// The service connectoid against the RAS and modem configuration doubles:
// what CreateConnectoid writes and in which order, when it resets the
// device configuration, the device configuration operations, and the
// failures each step reports.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "diag/BoundedCopy.h"
#include "dialer/Connectoid.h"
#include "tests/dialer/DialerTestSupport.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// The offset of the first byte where two records differ, or "equal".
template <typename Record>
std::string FirstDifference(const Record& actual, const Record& expected) {
    const BYTE* a = reinterpret_cast<const BYTE*>(&actual);
    const BYTE* e = reinterpret_cast<const BYTE*>(&expected);
    for (size_t i = 0; i < sizeof(Record); ++i)
        if (a[i] != e[i]) return "byte " + std::to_string(i);
    return "equal";
}

// A new entry: the existence check, the entry, the dial parameters, then
// the device configuration read, reset to the modem's defaults and written.
std::vector<std::string> NewEntryCalls() {
    return {"RasValidateEntryName",  "RasSetEntryProperties", "RasSetEntryDialParamsA",
            "RasGetEntryProperties", "RasGetEntryProperties", "drvGetDefaultCommConfigW",
            "RasGetEntryProperties", "RasGetEntryProperties", "RasSetEntryProperties"};
}

class ConnectoidTest : public DialerTest {
protected:
    DWORD Create(SampleRequest& request) { return CreateConnectoid(kService, request.Get()); }
    // Creates the connectoid and forgets the journal and log of doing so.
    void CreateInitial(const char* modem = kModem0) {
        SampleRequest request(modem);
        ASSERT_EQ(0u, Create(request));
        doubles.ClearJournal();
        Log();
    }
};

TEST_F(ConnectoidTest, ANewEntryGetsEntryDialParametersAndModemDefaultsInThatOrder) {
    SampleRequest request;
    ASSERT_EQ(0u, Create(request));

    EXPECT_EQ(NewEntryCalls(), CallNames());
    std::vector<std::string> journal = doubles.Journal();
    EXPECT_EQ(journal[1],
              "rasapi32!RasSetEntryProperties phonebook=null entry=\"Orvo VelTrane Service\" "
              "entryInfo=set entryInfoSize=1768 deviceInfo=null deviceInfoSize=0 -> 0");
    EXPECT_EQ(journal[2],
              "rasapi32!RasSetEntryDialParamsA phonebook=null entry=\"Orvo VelTrane Service\" "
              "phone=\"555-0100\" callback=\"\" user=\"jdoe\" password=\"s3cret\" domain=\"\" "
              "removePassword=0 -> 0");
    // GetModemConfigInfo reads the block with room for 255 bytes.
    EXPECT_EQ(journal[4],
              "rasapi32!RasGetEntryProperties phonebook=null entry=\"Orvo VelTrane Service\" "
              "entryInfo=set entryInfoSize=1768 deviceInfo=set deviceInfoSize=255 -> 0 "
              "entryInfoSize=1768 deviceInfoSize=104");
    EXPECT_EQ(journal[5],
              "serialui!drvGetDefaultCommConfigW device=\"Sim Modem 28800\" commConfig=set "
              "size=243 dwSize=243 -> 0 size=92");
    EXPECT_EQ(journal[8],
              "rasapi32!RasSetEntryProperties phonebook=null entry=\"Orvo VelTrane Service\" "
              "entryInfo=set entryInfoSize=1768 deviceInfo=set deviceInfoSize=104 -> 0");
    EXPECT_THAT(Log(), IsEmpty());
}

TEST_F(ConnectoidTest, TheStoredEntryAndDialParametersAreExactlyTheServiceRecords) {
    SampleRequest request;
    ASSERT_EQ(0u, Create(request));
    doubles::PhonebookEntry stored = Stored();

    RASENTRY expected;
    std::memset(&expected, 0, sizeof expected);
    expected.dwSize = 1768;
    expected.dwfOptions = 0x31C;
    expected.dwCountryID = 1;
    expected.dwCountryCode = 1;
    std::strcpy(expected.szAreaCode, " ");
    std::strcpy(expected.szLocalPhoneNumber, "555-0100");
    expected.ipaddrDns = {10, 1, 2, 3};
    expected.ipaddrDnsAlt = {192, 168, 7, 53};
    expected.dwfNetProtocols = 4;
    expected.dwFramingProtocol = 1;
    std::strcpy(expected.szAutodialDll, ModulePath().c_str());
    std::strcpy(expected.szAutodialFunc, "AutoDialHandler");
    std::strcpy(expected.szDeviceType, "modem");
    std::strcpy(expected.szDeviceName, "Sim Modem 28800");
    EXPECT_EQ("equal", FirstDifference(stored.entry, expected));

    RASDIALPARAMS params;
    std::memset(&params, 0, sizeof params);
    params.dwSize = 1052;
    std::strcpy(params.szEntryName, "Orvo VelTrane Service");
    std::strcpy(params.szPhoneNumber, "555-0100");
    std::strcpy(params.szUserName, "jdoe");
    std::strcpy(params.szPassword, "s3cret");
    ASSERT_TRUE(stored.hasDialParams);
    EXPECT_EQ("equal", FirstDifference(stored.dialParams, params));
    EXPECT_TRUE(stored.passwordSaved);

    // The modem's defaults (a 92-byte COMMCONFIG) behind the doubles'
    // 12-byte header, with the inactivity time-out they lack.
    ASSERT_EQ(104u, stored.deviceConfig.size());
    ModemDevConfig block;
    std::memcpy(&block, stored.deviceConfig.data(), sizeof block);
    EXPECT_EQ(104u, block.header.dwSize);
    EXPECT_EQ(92u, block.config.commConfig.dwSize);
    EXPECT_EQ(static_cast<DWORD>(PST_MODEM), block.config.commConfig.dwProviderSubType);
    EXPECT_EQ(115200u, block.config.commConfig.dcb.BaudRate);
    EXPECT_EQ(2220u, block.config.modemSettings.dwInactivityTimeout);
    EXPECT_EQ(60u, block.config.modemSettings.dwCallSetupFailTimer);
}

TEST_F(ConnectoidTest, TheSameModemAgainKeepsTheDeviceConfiguration) {
    CreateInitial();
    // The user's own settings since, which a new dial must not reset.
    doubles::PhonebookEntry stored = Stored();
    std::vector<BYTE> own = stored.deviceConfig;
    own[80] = 77;
    stored.deviceConfig = own;
    doubles.WriteEntry(kService, stored);

    SampleRequest request(kModem0, "555-0199");
    ASSERT_EQ(0u, Create(request));
    EXPECT_THAT(CallNames(), ElementsAre("RasValidateEntryName", "RasGetEntryProperties",
                                         "RasGetEntryProperties", "RasSetEntryProperties",
                                         "RasSetEntryDialParamsA"));
    // GetConnectoid: the size query and the read, without device buffers.
    EXPECT_EQ(Calls("RasGetEntryProperties")[1],
              "rasapi32!RasGetEntryProperties phonebook=null entry=\"Orvo VelTrane Service\" "
              "entryInfo=set entryInfoSize=1768 deviceInfo=null deviceInfoSize=null -> 0 "
              "entryInfoSize=1768 deviceInfoSize=null");
    stored = Stored();
    EXPECT_EQ(own, stored.deviceConfig);
    EXPECT_STREQ("555-0199", stored.entry.szLocalPhoneNumber);
    EXPECT_STREQ("555-0199", stored.dialParams.szPhoneNumber);
    EXPECT_THAT(Log(), IsEmpty());
}

TEST_F(ConnectoidTest, AModemNameDifferingOnlyInCaseResetsTheDeviceConfiguration) {
    doubles.Set("devices", "Count", 2);
    doubles.Set("devices", "Name", 1, "SIM MODEM 28800");
    doubles.Set("serialui", "InactivityTimeout", 90);
    CreateInitial();

    SampleRequest request("SIM MODEM 28800");
    ASSERT_EQ(0u, Create(request));
    EXPECT_THAT(Calls("drvGetDefaultCommConfigW"),
                ElementsAre("serialui!drvGetDefaultCommConfigW device=\"SIM MODEM 28800\" "
                            "commConfig=set size=243 dwSize=243 -> 0 size=92"));
    // GetConnectoid, GetModemConfigInfo and SetModemConfigInfo: two each.
    EXPECT_EQ(6u, Calls("RasGetEntryProperties").size());
    EXPECT_EQ(2u, Calls("RasSetEntryProperties").size());
    doubles::PhonebookEntry stored = Stored();
    EXPECT_STREQ("SIM MODEM 28800", stored.entry.szDeviceName);
    EXPECT_EQ(90u, StoredInactivityTimeout(stored)) << "a time-out the defaults have stays";
}

TEST_F(ConnectoidTest, TheScriptIsUsedOnlyWhenFlaggedAndNotEmpty) {
    struct Case {
        const char* path;
        bool use;
        const char* stored;
    };
    const Case cases[] = {{"C:\\kit\\login.scp", true, "C:\\kit\\login.scp"},
                          {"C:\\kit\\login.scp", false, ""},
                          {"", true, ""},
                          {nullptr, true, ""}};
    for (const Case& c : cases) {
        SampleRequest request;
        request.SetScript(c.path, c.use);
        ASSERT_EQ(0u, Create(request));
        EXPECT_STREQ(c.stored, Stored().entry.szScript) << (c.path ? c.path : "null") << c.use;
        std::vector<std::string> log = Log();
        if (*c.stored)
            EXPECT_THAT(log, ElementsAre("256|CreateConnectoid: script file set to "
                                         "C:\\kit\\login.scp\n"));
        else
            EXPECT_THAT(log, IsEmpty());
    }
}

TEST_F(ConnectoidTest, ExistenceIsOnlyTheAnswerEntryExists) {
    int exists = 7;
    EXPECT_EQ(0u, ConnectoidExists(kService, &exists));
    EXPECT_EQ(0, exists);
    CreateInitial();
    EXPECT_EQ(0u, ConnectoidExists("orvo velTrane SERVICE", &exists));
    EXPECT_EQ(1, exists);

    // RAS refusing the name for another reason does not make it exist...
    doubles.Set("ras", "ValidateError", 123);
    exists = 7;
    EXPECT_EQ(0u, ConnectoidExists(kService, &exists));
    EXPECT_EQ(0, exists);
    EXPECT_THAT(Log(), IsEmpty());
    // ...so the entry is written as a new one, device configuration and all.
    doubles.ClearJournal();
    SampleRequest request;
    ASSERT_EQ(0u, Create(request));
    EXPECT_EQ(NewEntryCalls(), CallNames());
}

// Reading and restoring the entry are exercised by ModemConfig's tests;
// here what SetRasEntry refuses.
TEST_F(ConnectoidTest, SetRasEntryWritesOnlyAWholeEntry) {
    CreateInitial();
    CBuffer entry;
    ASSERT_EQ(0u, GetConnectoid(entry));
    doubles.Set("ras", "SetPropertiesError", 621);
    EXPECT_EQ(18u, SetRasEntry(entry));
    doubles.Set("ras", "SetPropertiesError", nullptr);
    entry.Resize(sizeof(RASENTRY) - 1);
    EXPECT_EQ(18u, SetRasEntry(entry)) << "RAS would read a whole RASENTRY";
    EXPECT_EQ(1u, Calls("RasSetEntryProperties").size());
    EXPECT_THAT(Log(),
                ElementsAre("1|SetRasEntry: RasSetEntryProperties() failed, raserror=621\n",
                            "1|SetRasEntry: RasSetEntryProperties() failed, raserror=632\n"));
}

TEST_F(ConnectoidTest, DeviceConfigurationIsReadAndWrittenWithTheSizesRasReports) {
    CreateInitial();
    ModemConfigInfo info;
    std::memset(&info, 0xEE, sizeof info);
    ASSERT_EQ(0u, GetModemConfigInfo(info));
    EXPECT_EQ(104u, info.size);
    doubles::PhonebookEntry stored = Stored();
    EXPECT_EQ(0, std::memcmp(info.data, stored.deviceConfig.data(), 104));
    EXPECT_EQ(std::string(151, '\xEE'), std::string(info.data + 104, info.data + 255))
        << "bytes beyond the reported size are not written";

    // Another modem's entry that lacks the area code: a write takes the
    // caller's bytes and size, and the area code comes back.
    CopyBounded(stored.entry.szAreaCode, "617");
    doubles.WriteEntry(kService, stored);
    ModemConfigInfo mine;
    mine.size = 60;
    for (size_t i = 0; i < sizeof mine.data; ++i) mine.data[i] = static_cast<BYTE>(i);
    ASSERT_EQ(0u, SetModemConfigInfo(mine));
    EXPECT_THAT(Log(), ElementsAre("1|SetModemConfigInfo: data size mismatch, arg=60 prop=104 "
                                   "(ignored)\n"));
    stored = Stored();
    EXPECT_EQ(std::vector<BYTE>(mine.data, mine.data + 60), stored.deviceConfig);
    EXPECT_STREQ(" ", stored.entry.szAreaCode);
    EXPECT_EQ(Calls("RasSetEntryProperties").back(),
              "rasapi32!RasSetEntryProperties phonebook=null entry=\"Orvo VelTrane Service\" "
              "entryInfo=set entryInfoSize=1768 deviceInfo=set deviceInfoSize=60 -> 0");

    // A size beyond the record's 255 bytes is refused before RAS is asked.
    doubles.ClearJournal();
    mine.size = 256;
    EXPECT_EQ(8u, SetModemConfigInfo(mine));
    EXPECT_THAT(CallNames(), IsEmpty());
    EXPECT_THAT(Log(), ElementsAre("1|SetModemConfigInfo: data size 256 exceeds 255\n"));
}

TEST_F(ConnectoidTest, ASizeQueryThatSucceedsFailsBothDeviceConfigurationOperations) {
    CreateInitial();
    doubles.Set("ras", "SizeQueryResult", "0");
    ModemConfigInfo info = {};
    EXPECT_EQ(8u, GetModemConfigInfo(info));
    EXPECT_EQ(104u, info.size) << "what RAS reported for the query";
    info.size = 104;
    EXPECT_EQ(8u, SetModemConfigInfo(info));
    EXPECT_THAT(
        Log(),
        ElementsAre("1|GetModemConfigInfo(): RasGetEntryProperties (1st call) returned 0\n",
                    "1|SetModemConfigInfo(): RasGetEntryProperties (1st call) returned 0\n"));
    EXPECT_THAT(Calls("RasSetEntryProperties"), IsEmpty());
    EXPECT_EQ(2u, Calls("RasGetEntryProperties").size());

    doubles.Set("ras", "SizeQueryResult", nullptr);
    doubles.Set("ras", "GetPropertiesError", 5);
    EXPECT_EQ(8u, GetModemConfigInfo(info));
    EXPECT_EQ(8u, SetModemConfigInfo(info));
    EXPECT_THAT(
        Log(),
        ElementsAre("1|GetModemConfigInfo(): RasGetEntryProperties (2nd call) returned 5\n",
                    "1|SetModemConfigInfo(): RasGetEntryProperties (2nd call) returned 5\n"));
}

// Each failing step: its scenario, CreateConnectoid's result and log, and
// whether the entry written before the failure stays.
TEST_F(ConnectoidTest, EachFailingStepIsLoggedAndReported) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        bool existing;
        DWORD result;
        std::vector<std::string> log;
        bool entryWritten;  // the phonebook's entry names the request's modem
    };
    const Case cases[] = {
        {"ras",
         "SetPropertiesError",
         "621",
         false,
         18,
         {"1|CreateConnectoid: RasSetEntryProperties() failed, raserror=621\n"},
         false},
        {"ras",
         "SetDialParamsError",
         "610",
         false,
         18,
         {"1|CreateConnectoid(): RasSetEntryDialParams() failed, error=610\n"},
         true},
        {"ras",
         "GetPropertiesError",
         "5",
         true,
         8,
         {"1|GetConnectoid: RasGetEntryProperties failed, retcode=5\n",
          "1|CreateConnectoid: GetRasEntry() failed, return=8\n"},
         false},
        {"ras",
         "SizeQueryResult",
         "0",
         false,
         18,
         {"1|GetModemConfigInfo(): RasGetEntryProperties (1st call) returned 0\n",
          "1|CreateConnectoid(): GetModemConfigInfo() failed\n"},
         true},
        {"serialui",
         "DefaultError",
         "1168",
         false,
         18,
         {"1|CreateConnectoid(): GetDefaultCommConfig() failed, lasterror=1168\n"},
         true},
    };
    doubles.Set("devices", "Count", 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        if (c.existing)
            CreateInitial("Sim Modem 1");
        else
            RemoveConnectoid(kService);
        doubles.Set(c.section, c.key, c.value);
        Log();
        SampleRequest request;
        EXPECT_EQ(c.result, Create(request));
        EXPECT_EQ(c.log, Log());
        doubles.Set(c.section, c.key, nullptr);
        doubles::PhonebookEntry stored;
        bool found = doubles.ReadEntry(kService, stored);
        EXPECT_EQ(c.entryWritten, found && std::strcmp(stored.entry.szDeviceName, kModem0) == 0);
    }

    // A request without its records is refused before RAS is asked.
    DialRequest incomplete = {};
    EXPECT_EQ(8u, CreateConnectoid(kService, incomplete));
    EXPECT_THAT(Log(), ElementsAre("1|CreateConnectoid: incomplete dial request\n"));

    // The last write's failure leaves entry and dial parameters in place.
    RemoveConnectoid(kService);
    doubles.Set("ras", "SetPropertiesError", 621);
    doubles.Set("ras", "SetPropertiesErrorAfter", 1);
    Log();
    SampleRequest request;
    EXPECT_EQ(18u, Create(request));
    EXPECT_THAT(Log(), ElementsAre("1|SetModemConfigInfo(): RasSetEntryProperties returned 621\n",
                                   "1|CreateConnectoid(): SetModemConfigInfo() failed\n"));
    EXPECT_TRUE(Stored().hasDialParams);
}

TEST_F(ConnectoidTest, RemovingTheEntry) {
    CreateInitial();
    EXPECT_EQ(0u, RemoveConnectoid(kService));
    EXPECT_THAT(doubles.Journal(), ElementsAre("rasapi32!RasDeleteEntry phonebook=null "
                                               "entry=\"Orvo VelTrane Service\" -> 0"));
    doubles::PhonebookEntry gone;
    EXPECT_FALSE(doubles.ReadEntry(kService, gone));
    EXPECT_EQ(8u, RemoveConnectoid(kService));
    EXPECT_THAT(Log(), ElementsAre("1|RemoveConnectoid: RasDeleteEntry failed, raserror=623\n"));
}

// Texts longer than their RAS fields are cut; the neighbouring fields keep
// their values.
TEST_F(ConnectoidTest, LongTextsAreCutAtTheirFields) {
    std::string phone = Repeated('5', 200);
    std::string modem = Repeated('M', 259);  // fills the record's field but for its terminator
    std::string script = Repeated('s', 400);
    doubles.Set("devices", "Name", 0, Repeated('M', 128).c_str());
    SampleRequest request(modem.c_str(), phone.c_str());
    request.SetScript(script.c_str(), true);
    std::memset(request.Profile().LoginName, 'u', sizeof request.Profile().LoginName);
    std::memset(request.Profile().Password, 'p', sizeof request.Profile().Password);
    ASSERT_EQ(0u, Create(request));

    doubles::PhonebookEntry stored = Stored();
    EXPECT_EQ(Repeated('5', 128), stored.entry.szLocalPhoneNumber);
    EXPECT_EQ(0u, stored.entry.dwAlternateOffset);
    EXPECT_EQ(Repeated('s', 259), stored.entry.szScript);
    EXPECT_EQ(ModulePath(), stored.entry.szAutodialDll);
    EXPECT_EQ(Repeated('M', 128), stored.entry.szDeviceName);
    EXPECT_EQ('\0', stored.entry.szX25PadType[0]);
    EXPECT_EQ(Repeated('5', 128), stored.dialParams.szPhoneNumber);
    EXPECT_EQ('\0', stored.dialParams.szCallbackNumber[0]);
    // The profile's fields use their full 255 bytes, with no terminator.
    EXPECT_EQ(Repeated('u', 255), stored.dialParams.szUserName);
    EXPECT_EQ(Repeated('p', 255), stored.dialParams.szPassword);
    EXPECT_EQ(Calls("drvGetDefaultCommConfigW").size(), 1u);

    // The same cut name counts as the same modem.
    doubles.ClearJournal();
    ASSERT_EQ(0u, Create(request));
    EXPECT_THAT(Calls("drvGetDefaultCommConfigW"), IsEmpty());
}

TEST_F(ConnectoidTest, AModulePathTooLongForItsFieldFailsTheCreation) {
    // A loadable library whose path has 257 characters.
    std::string deep = kit.Directory();
    while (deep.size() < 230) {
        deep += "\\deeper";
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    deep += "\\" + Repeated('d', 246 - deep.size());
    CreateDirectoryA(deep.c_str(), nullptr);
    std::string dll = deep + "\\WIN95.dll";
    ASSERT_EQ(257u, dll.size());
    ASSERT_TRUE(CopyFileA(ModulePath().c_str(), dll.c_str(), FALSE));
    HMODULE module = LoadLibraryA(dll.c_str());
    ASSERT_NE(nullptr, module);
    SetModuleInstance(module);
    SampleRequest request;
    EXPECT_EQ(8u, Create(request));
    SetModuleInstance(kit.Module());
    FreeLibrary(module);
    EXPECT_THAT(Log(), ElementsAre("1|CreateConnectoid: GetModuleFileName() failed\n"));
    EXPECT_THAT(CallNames(), IsEmpty());
}

}  // namespace
