// The rasapi32.dll double's phonebook, reached as the dialer reaches it:
// LoadLibrary("rasapi32.dll") and the Windows 95 names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "dialer/platform/ModemTypes.h"
#include "tests/doubles/DoubleControl.h"
#include "tests/doubles/DoublesTestSupport.h"

using ::testing::ElementsAre;

namespace {

constexpr char ENTRY[] = "Sim Service";

class PhonebookTest : public ::testing::Test {
protected:
    DWORD Store(const char* name, RASENTRY entry, const void* block = nullptr, DWORD size = 0) {
        return api.setEntryProperties(nullptr, name, &entry, sizeof entry,
                                      static_cast<BYTE*>(const_cast<void*>(block)), size);
    }

    DoubleControl doubles;
    Library ras{"rasapi32.dll"};
    PhonebookApi api{ras};
};

TEST_F(PhonebookTest, EnumDevicesAnswersSizeQueriesThenListsTheScriptedDevices) {
    doubles.Set("devices", "Count", 2);
    doubles.Set("devices", "Type", 1, "isdn");
    doubles.Set("devices", "Name", 1, "Sim ISDN");

    DWORD bytes = 0, count = 0;
    EXPECT_EQ(ERROR_BUFFER_TOO_SMALL, api.enumDevices(nullptr, &bytes, &count));
    EXPECT_EQ(304u, bytes);
    EXPECT_EQ(2u, count);

    GuardedBuffer buffer(304);
    RASDEVINFO* devices = buffer.As<RASDEVINFO>();
    devices[0].dwSize = sizeof(RASDEVINFO);
    bytes = 152;
    EXPECT_EQ(ERROR_BUFFER_TOO_SMALL, api.enumDevices(devices, &bytes, &count));
    EXPECT_EQ(304u, bytes);
    EXPECT_TRUE(buffer.UntouchedFrom(4));

    bytes = 304;
    ASSERT_EQ(0u, api.enumDevices(devices, &bytes, &count));
    EXPECT_EQ(2u, count);
    EXPECT_STREQ("modem", devices[0].szDeviceType);
    EXPECT_STREQ("Sim Modem 28800", devices[0].szDeviceName);
    EXPECT_EQ(sizeof(RASDEVINFO), devices[1].dwSize);
    EXPECT_STREQ("isdn", devices[1].szDeviceType);
    EXPECT_STREQ("Sim ISDN", devices[1].szDeviceName);
    EXPECT_TRUE(buffer.UntouchedFrom(304));

    devices[0].dwSize = 148;
    EXPECT_EQ(ERROR_INVALID_SIZE, api.enumDevices(devices, &bytes, &count));
    doubles.Set("ras", "EnumDevicesError", 610);
    EXPECT_EQ(610u, api.enumDevices(nullptr, &bytes, &count));
}

TEST_F(PhonebookTest, EnumDevicesWithNoDevicesSucceedsWithCountZero) {
    doubles.Set("devices", "Count", "0");
    DWORD bytes = 0, count = 7;
    EXPECT_EQ(0u, api.enumDevices(nullptr, &bytes, &count));
    EXPECT_EQ(0u, bytes);
    EXPECT_EQ(0u, count);
}

TEST_F(PhonebookTest, GetEntryPropertiesSizeQueryReportsBothSizes) {
    DWORD entrySize = 0, deviceSize = 0;
    EXPECT_EQ(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY,
              api.getEntryProperties(nullptr, ENTRY, nullptr, &entrySize, nullptr, &deviceSize));

    ASSERT_EQ(0u, Store(ENTRY, SampleEntry("Sim Modem 28800")));
    EXPECT_EQ(ERROR_BUFFER_TOO_SMALL,
              api.getEntryProperties(nullptr, ENTRY, nullptr, &entrySize, nullptr, &deviceSize));
    EXPECT_EQ(1768u, entrySize);
    EXPECT_EQ(sizeof(ModemDevConfig), deviceSize);

    // A device buffer smaller than the block is a size query too.
    RASENTRY entry = {};
    entry.dwSize = sizeof entry;
    BYTE block[40];
    deviceSize = sizeof block;
    EXPECT_EQ(ERROR_BUFFER_TOO_SMALL,
              api.getEntryProperties(nullptr, ENTRY, &entry, &entrySize, block, &deviceSize));
    EXPECT_EQ(104u, deviceSize);

    doubles.Set("ras", "SizeQueryResult", "0");
    entrySize = deviceSize = 0;
    EXPECT_EQ(0u,
              api.getEntryProperties(nullptr, ENTRY, nullptr, &entrySize, nullptr, &deviceSize));
    EXPECT_EQ(1768u, entrySize);
    EXPECT_EQ(104u, deviceSize);
}

TEST_F(PhonebookTest, StoredEntryAndDeviceBlockReadBackByteForByte) {
    RASENTRY written = SampleEntry("Sim Modem 28800");
    BYTE block[150];
    for (size_t i = 0; i < sizeof block; ++i) block[i] = static_cast<BYTE>(i * 7 + 1);
    ASSERT_EQ(0u, Store(ENTRY, written, block, sizeof block));

    GuardedBuffer entryBuffer(sizeof(RASENTRY));
    GuardedBuffer deviceBuffer(255, 0xEE);
    entryBuffer.As<RASENTRY>()->dwSize = sizeof(RASENTRY);
    DWORD entrySize = sizeof(RASENTRY), deviceSize = 255;
    ASSERT_EQ(0u, api.getEntryProperties(nullptr, "SIM SERVICE", entryBuffer.As<RASENTRY>(),
                                         &entrySize, deviceBuffer.Data(), &deviceSize));
    EXPECT_EQ(0, std::memcmp(&written, entryBuffer.Data(), sizeof written));
    EXPECT_TRUE(entryBuffer.UntouchedFrom(sizeof(RASENTRY)));
    EXPECT_EQ(150u, deviceSize);
    EXPECT_EQ(0, std::memcmp(block, deviceBuffer.Data(), sizeof block));
    EXPECT_TRUE(deviceBuffer.UntouchedFrom(150));

    // Writing the entry again without a block keeps the stored block.
    written.dwfOptions = 0x31C;
    ASSERT_EQ(0u, Store(ENTRY, written));
    doubles::PhonebookEntry stored;
    ASSERT_TRUE(doubles.ReadEntry(ENTRY, stored));
    EXPECT_EQ(0x31Cu, stored.entry.dwfOptions);
    EXPECT_EQ(std::vector<BYTE>(block, block + sizeof block), stored.deviceConfig);
}

TEST_F(PhonebookTest, EntryWithoutBlockReportsTheModemDefaults) {
    doubles.Set("serialui", "InactivityTimeout", 30);
    ASSERT_EQ(0u, Store(ENTRY, SampleEntry("Sim Modem 28800")));
    RASENTRY entry = {};
    entry.dwSize = sizeof entry;
    ModemDevConfig block = {};
    DWORD entrySize = sizeof entry, deviceSize = sizeof block;
    ASSERT_EQ(0u, api.getEntryProperties(nullptr, ENTRY, &entry, &entrySize,
                                         reinterpret_cast<BYTE*>(&block), &deviceSize));
    EXPECT_EQ(104u, block.header.dwSize);
    EXPECT_EQ(static_cast<DWORD>(PST_MODEM), block.config.commConfig.dwProviderSubType);
    EXPECT_EQ(48u, block.config.commConfig.dwProviderOffset);
    EXPECT_EQ(44u, block.config.commConfig.dwProviderSize);
    EXPECT_EQ(115200u, block.config.commConfig.dcb.BaudRate);
    EXPECT_EQ(30u, block.config.modemSettings.dwInactivityTimeout);
    EXPECT_EQ(0u, block.config.modemSettings.dwNegotiatedDCERate);
}

TEST_F(PhonebookTest, ScriptedFailuresHitTheReadWithBuffersAndTheWrites) {
    ASSERT_EQ(0u, Store(ENTRY, SampleEntry("Sim Modem 28800")));
    doubles.Set("ras", "GetPropertiesError", 625);
    doubles.Set("ras", "GetPropertiesErrorAfter", 1);
    RASENTRY entry = {};
    entry.dwSize = sizeof entry;
    DWORD entrySize = 0;
    EXPECT_EQ(ERROR_BUFFER_TOO_SMALL,
              api.getEntryProperties(nullptr, ENTRY, nullptr, &entrySize, nullptr, nullptr));
    EXPECT_EQ(0u, api.getEntryProperties(nullptr, ENTRY, &entry, &entrySize, nullptr, nullptr));
    EXPECT_EQ(625u, api.getEntryProperties(nullptr, ENTRY, &entry, &entrySize, nullptr, nullptr));
    EXPECT_EQ(625u, api.getEntryProperties(nullptr, ENTRY, &entry, &entrySize, nullptr, nullptr));

    doubles.Set("ras", "SetPropertiesError", 621);
    EXPECT_EQ(621u, Store("Other", SampleEntry("Sim Modem 28800")));
    EXPECT_EQ(0u, api.validateEntryName(nullptr, "Other"));
}

TEST_F(PhonebookTest, ValidateAndDeleteFollowTheEntry) {
    EXPECT_EQ(0u, api.validateEntryName(nullptr, ENTRY));
    ASSERT_EQ(0u, Store(ENTRY, SampleEntry("Sim Modem 28800")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), api.validateEntryName(nullptr, ENTRY));
    doubles.Set("ras", "ValidateError", static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), api.validateEntryName(nullptr, ENTRY));
    doubles.Set("ras", "ValidateError", nullptr);

    EXPECT_EQ(0u, api.deleteEntry(nullptr, ENTRY));
    EXPECT_EQ(0u, api.validateEntryName(nullptr, ENTRY));
    EXPECT_EQ(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, api.deleteEntry(nullptr, ENTRY));
}

TEST_F(PhonebookTest, DialParamsKeepThePasswordUnlessRemoved) {
    RASDIALPARAMS params = SampleDialParams(ENTRY, "subscriber", "secret");
    EXPECT_EQ(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, RasSetEntryDialParamsA(nullptr, &params, FALSE));
    ASSERT_EQ(0u, Store(ENTRY, SampleEntry("Sim Modem 28800")));

    RASDIALPARAMS read = SampleDialParams(ENTRY, "", "");
    BOOL saved = TRUE;
    ASSERT_EQ(0u, RasGetEntryDialParamsA(nullptr, &read, &saved));
    EXPECT_FALSE(saved);
    EXPECT_STREQ("", read.szUserName);

    ASSERT_EQ(0u, RasSetEntryDialParamsA(nullptr, &params, FALSE));
    read = SampleDialParams(ENTRY, "", "");
    ASSERT_EQ(0u, RasGetEntryDialParamsA(nullptr, &read, &saved));
    EXPECT_TRUE(saved);
    EXPECT_STREQ("subscriber", read.szUserName);
    EXPECT_STREQ("secret", read.szPassword);
    EXPECT_STREQ("555-0199", read.szPhoneNumber);
    EXPECT_STREQ(ENTRY, read.szEntryName);

    params = SampleDialParams(ENTRY, "subscriber", "ignored");
    ASSERT_EQ(0u, RasSetEntryDialParamsA(nullptr, &params, TRUE));
    ASSERT_EQ(0u, RasGetEntryDialParamsA(nullptr, &read, &saved));
    EXPECT_FALSE(saved);
    EXPECT_STREQ("", read.szPassword);

    read.dwSize = 1028;
    EXPECT_EQ(ERROR_INVALID_SIZE, RasGetEntryDialParamsA(nullptr, &read, &saved));
    read.dwSize = sizeof read;
    doubles.Set("ras", "GetDialParamsError", 5);
    EXPECT_EQ(5u, RasGetEntryDialParamsA(nullptr, &read, &saved));
    doubles.Set("ras", "SetDialParamsError", 8);
    EXPECT_EQ(8u, RasSetEntryDialParamsA(nullptr, &params, FALSE));
}

TEST_F(PhonebookTest, JournalRecordsEachCallWithArgumentsAndResult) {
    ASSERT_EQ(0u, Store(ENTRY, SampleEntry("Sim Modem 28800")));
    DWORD entrySize = 0, deviceSize = 0;
    api.getEntryProperties(nullptr, ENTRY, nullptr, &entrySize, nullptr, &deviceSize);
    RASDIALPARAMS params = SampleDialParams(ENTRY, "a \"b\"", "pw");
    RasSetEntryDialParamsA(nullptr, &params, FALSE);

    EXPECT_THAT(
        doubles.Journal(),
        ElementsAre(
            "rasapi32!RasSetEntryProperties phonebook=null entry=\"Sim Service\" entryInfo=set "
            "entryInfoSize=1768 deviceInfo=null deviceInfoSize=0 -> 0",
            "rasapi32!RasGetEntryProperties phonebook=null entry=\"Sim Service\" entryInfo=null "
            "entryInfoSize=0 deviceInfo=null deviceInfoSize=0 -> 603 entryInfoSize=1768 "
            "deviceInfoSize=104",
            "rasapi32!RasSetEntryDialParamsA phonebook=null entry=\"Sim Service\" "
            "phone=\"555-0199\" callback=\"\" user=\"a \\\"b\\\"\" password=\"pw\" domain=\"\" "
            "removePassword=0 -> 0"));
    std::string line = doubles.Calls("RasSetEntryDialParamsA").at(0);
    EXPECT_EQ("a \"b\"", DoubleControl::Argument(line, "user"));
    EXPECT_EQ("rasapi32", DoubleControl::Module(line));
    EXPECT_EQ("0", DoubleControl::Result(line));
    line = doubles.Calls("RasGetEntryProperties").at(0);
    EXPECT_EQ("0", DoubleControl::Argument(line, "entryInfoSize"));
    EXPECT_EQ("1768", DoubleControl::Output(line, "entryInfoSize"));
}

}  // namespace
