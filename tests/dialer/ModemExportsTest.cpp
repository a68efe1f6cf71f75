// The modem exports against the doubles: the RAS device list, the modem
// record GetModem fills, and ModemConfig's dialog with the connectoid
// written back as it was whenever a step after its first change fails.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <win95/Exports.h>

#include <cstring>

#include "dialer/Connectoid.h"
#include "tests/dialer/DialerTestSupport.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr char kModem1[] = "Sim Modem 1";
const HWND kParent = reinterpret_cast<HWND>(0x1234);

class ModemExportsTest : public DialerTest {
protected:
    // A record whose every byte is 0xAB but for the version.
    static ModemRecord Untouched() {
        ModemRecord record;
        std::memset(&record, 0xAB, sizeof record);
        record.version = 31;
        return record;
    }
    // The service connectoid on kModem0 with an inactivity time-out of 77
    // set by the user; journal and log forgotten.
    void ConnectoidOnModem0() {
        SampleRequest request;
        ASSERT_EQ(0u, CreateConnectoid(kService, request.Get()));
        doubles::PhonebookEntry stored = Stored();
        stored.deviceConfig[80] = 77;
        doubles.WriteEntry(kService, stored);
        doubles.ClearJournal();
        Log();
    }
};

TEST_F(ModemExportsTest, TheNumberOfModemsCountsEveryRasDevice) {
    DWORD count = 7;
    EXPECT_EQ(0u, GetNumberOfModems(&count));
    EXPECT_EQ(1u, count);
    EXPECT_THAT(doubles.Journal(), ElementsAre("rasapi32!RasEnumDevices devices=null bytes=0 "
                                               "count=7 -> 603 bytes=152 count=1"));
    doubles.Set("devices", "Count", 3);
    doubles.Set("devices", "Type", 1, "isdn");
    EXPECT_EQ(0u, GetNumberOfModems(&count));
    EXPECT_EQ(3u, count);
    doubles.Set("devices", "Count", "0");
    EXPECT_EQ(0u, GetNumberOfModems(&count));
    EXPECT_EQ(0u, count);
    EXPECT_THAT(Log(), IsEmpty());

    doubles.Set("ras", "EnumDevicesError", 610);
    EXPECT_EQ(8u, GetNumberOfModems(&count));
    EXPECT_THAT(Log(), ElementsAre("1|GetNumberOfModems: RasEnumDevices() failed, raserror=610\n"));

    doubles.ClearJournal();
    EXPECT_EQ(8u, GetNumberOfModems(nullptr));
    EXPECT_THAT(CallNames(), IsEmpty());
}

TEST_F(ModemExportsTest, GetModemWritesTheNameAndTheLinesMaximumRateOnly) {
    ModemRecord record = Untouched();
    EXPECT_EQ(0u, GetModem(0, &record));
    EXPECT_EQ(31u, record.version);
    EXPECT_EQ(std::string(kModem0) + std::string(254 - std::strlen(kModem0), '\0'),
              std::string(record.deviceName, 254));
    EXPECT_EQ(std::string(6, '\xAB'), std::string(record.deviceName + 254, 6));
    EXPECT_EQ(115200u, record.maxRate);

    EXPECT_THAT(Calls("RasEnumDevices"),
                ElementsAre("rasapi32!RasEnumDevices devices=null bytes=0 count=0 -> 603 "
                            "bytes=152 count=1",
                            "rasapi32!RasEnumDevices devices=set bytes=152 count=0 -> 0 "
                            "bytes=152 count=1"));
    EXPECT_THAT(CallNames(),
                ElementsAre("RasEnumDevices", "RasEnumDevices", "lineInitialize",
                            "lineNegotiateAPIVersion", "lineGetDevCaps", "lineShutdown"));
    EXPECT_THAT(Log(), ElementsAre("10|GetLineDeviceInfo: entry\n",
                                   "256|GetLineDeviceInfo: Modem Sim Modem 28800 found: "
                                   "DeviceID=0 MaxDCERate=115200\n",
                                   "20|GetLineDeviceInfo: exit\n"));
}

TEST_F(ModemExportsTest, GetModemForTheThirdOfThreeDevicesOfAnyType) {
    doubles.Set("devices", "Count", 3);
    doubles.Set("devices", "Type", 1, "isdn");
    doubles.Set("tapi", "MaxRate", 2, 57600);
    ModemRecord record = Untouched();
    EXPECT_EQ(0u, GetModem(2, &record));
    EXPECT_STREQ("Sim Modem 2", record.deviceName);
    EXPECT_EQ(57600u, record.maxRate);
    EXPECT_EQ("bytes=456", "bytes=" + DoubleControl::Argument(Calls("RasEnumDevices")[1], "bytes"));
}

TEST_F(ModemExportsTest, GetModemFailures) {
    ModemRecord record = Untouched();
    EXPECT_EQ(8u, GetModem(1, &record));
    EXPECT_THAT(Log(), ElementsAre("1|GetModem: Modem number out of range\n"));
    EXPECT_EQ(1u, Calls("RasEnumDevices").size());

    doubles.Set("devices", "Count", "0");
    EXPECT_EQ(8u, GetModem(0, &record));
    EXPECT_THAT(Log(), ElementsAre("1|GetModem: No modems installed\n"));
    EXPECT_EQ(Bytes(Untouched()), Bytes(record));

    doubles.Set("devices", "Count", nullptr);
    doubles.Set("ras", "EnumDevicesError", 610);
    doubles.Set("ras", "EnumDevicesErrorAfter", 1);
    EXPECT_EQ(8u, GetModem(0, &record));
    EXPECT_THAT(Log(), ElementsAre("1|GetModem: RasEnumDevices() failed, raserror=610\n"));
    EXPECT_EQ(Bytes(Untouched()), Bytes(record));

    // No TAPI line of that name: the name stays written, the rate not.
    doubles.Set("ras", "EnumDevicesError", nullptr);
    doubles.Set("tapi", "LineName", 0, "Another Line");
    EXPECT_EQ(8u, GetModem(0, &record));
    EXPECT_STREQ(kModem0, record.deviceName);
    EXPECT_EQ(0xABABABABu, record.maxRate);
    std::vector<std::string> log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ("1|GetModem: GetLineDeviceInfo() failed\n", log.back());

    doubles.ClearJournal();
    EXPECT_EQ(8u, GetModem(0, nullptr));
    EXPECT_THAT(CallNames(), IsEmpty());
}

TEST_F(ModemExportsTest, ConfiguringTheConnectoidsModemStartsFromItsStoredSettings) {
    ConnectoidOnModem0();
    doubles.Set("serialui", "Dialog", "change");
    EXPECT_EQ(0u, ModemConfig(kModem0, kParent));
    EXPECT_THAT(
        CallNames(),
        ElementsAre("RasGetEntryProperties", "RasGetEntryProperties", "RasSetEntryProperties",
                    "RasGetEntryProperties", "RasGetEntryProperties", "drvCommConfigDialogW",
                    "RasGetEntryProperties", "RasGetEntryProperties", "RasSetEntryProperties"));
    EXPECT_THAT(Calls("drvCommConfigDialogW"),
                ElementsAre("serialui!drvCommConfigDialogW device=\"Sim Modem 28800\" "
                            "parent=0x1234 commConfig=set dwSize=92 -> 0"));
    doubles::PhonebookEntry stored = Stored();
    EXPECT_EQ(90u, StoredInactivityTimeout(stored));
    ModemDevConfig block;
    std::memcpy(&block, stored.deviceConfig.data(), sizeof block);
    EXPECT_EQ(57600u, block.config.commConfig.dcb.BaudRate);
    EXPECT_THAT(Log(), IsEmpty());
}

TEST_F(ModemExportsTest, ConfiguringAnotherModemStartsFromItsDefaultsAndMovesTheConnectoid) {
    doubles.Set("devices", "Count", 2);
    ConnectoidOnModem0();
    EXPECT_EQ(0u, ModemConfig(kModem1, nullptr));
    EXPECT_THAT(Calls("drvGetDefaultCommConfigW"),
                ElementsAre("serialui!drvGetDefaultCommConfigW device=\"Sim Modem 1\" "
                            "commConfig=set size=243 dwSize=243 -> 0 size=92"));
    EXPECT_EQ("Sim Modem 1", DoubleControl::Argument(Calls("drvCommConfigDialogW")[0], "device"));
    doubles::PhonebookEntry stored = Stored();
    EXPECT_STREQ(kModem1, stored.entry.szDeviceName);
    EXPECT_EQ(2220u, StoredInactivityTimeout(stored)) << "the defaults, not the stored 77";
    EXPECT_THAT(Log(), IsEmpty());
}

// A failure after the connectoid was moved to the other modem writes the
// entry back as it was read.
TEST_F(ModemExportsTest, EveryFailureAfterTheFirstChangeRestoresTheEntry) {
    struct Key {
        const char* section;
        const char* key;
        const char* value;
    };
    struct Case {
        std::vector<Key> scenario;
        DWORD result;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {{{"serialui", "DialogError", "1223"}},
         1223,
         {"1|ModemConfig: CommConfigDialog() failed, lasterror=1223\n"}},
        {{{"serialui", "DefaultError", "1168"}},
         1168,
         {"1|ModemConfig: GetDefaultCommConfig() failed, lasterror=1168, "
          "dwCommConfigSize=243\n"}},
        {{{"ras", "SizeQueryResult", "0"}},
         8,
         {"1|GetModemConfigInfo(): RasGetEntryProperties (1st call) returned 0\n"}},
        // The connectoid's and the block's reads pass, SetModemConfigInfo's fails.
        {{{"ras", "GetPropertiesError", "5"}, {"ras", "GetPropertiesErrorAfter", "2"}},
         8,
         {"1|SetModemConfigInfo(): RasGetEntryProperties (2nd call) returned 5\n"}},
    };
    doubles.Set("devices", "Count", 2);
    ConnectoidOnModem0();
    doubles::PhonebookEntry before = Stored();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario[0].key);
        for (const Key& k : c.scenario) doubles.Set(k.section, k.key, k.value);
        doubles.ClearJournal();
        EXPECT_EQ(c.result, ModemConfig(kModem1, nullptr));
        for (const Key& k : c.scenario) doubles.Set(k.section, k.key, nullptr);
        EXPECT_EQ(c.log, Log());
        doubles::PhonebookEntry after = Stored();
        EXPECT_EQ(Bytes(before.entry), Bytes(after.entry));
        EXPECT_EQ(before.deviceConfig, after.deviceConfig);
        std::vector<std::string> writes = Calls("RasSetEntryProperties");
        ASSERT_EQ(2u, writes.size()) << "the change and the restore";
        EXPECT_EQ("null", DoubleControl::Argument(writes[1], "deviceInfo"));
    }
}

TEST_F(ModemExportsTest, WithoutAConnectoidOrAModemNameNothingIsChanged) {
    EXPECT_EQ(8u, ModemConfig(kModem0, nullptr));
    EXPECT_THAT(Log(), ElementsAre("1|GetConnectoid: RasGetEntryProperties failed, retcode=623\n"));
    EXPECT_THAT(Calls("RasSetEntryProperties"), IsEmpty());

    ConnectoidOnModem0();
    EXPECT_EQ(8u, ModemConfig(nullptr, nullptr));
    EXPECT_THAT(CallNames(), IsEmpty());
}

}  // namespace
