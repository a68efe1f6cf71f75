// GenericApi's connectoid requests (2, 3, 5, 6) and the file probe (4), on
// the caller's flat records.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <win95/Exports.h>

#include <cstring>

#include "diag/BoundedCopy.h"
#include "tests/dialer/DialerTestSupport.h"
#include "tests/support/TestFiles.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class GenericApiTest : public DialerTest {
protected:
    // A creation record whose entry name field still holds 'x's.
    static ConnectoidCreationRecord Record(const char* script = "") {
        ConnectoidCreationRecord record;
        std::memset(&record, 0, sizeof record);
        std::memset(record.entryName, 'x', sizeof record.entryName);
        CopyBounded(record.phoneNumber, "555-0177");
        const uint8_t dns1[4] = {172, 16, 0, 1};
        const uint8_t dns2[4] = {172, 16, 0, 2};
        std::memcpy(record.dnsPrimary, dns1, 4);
        std::memcpy(record.dnsSecondary, dns2, 4);
        CopyBounded(record.deviceName, kModem0);
        CopyBounded(record.loginName, "flat");
        CopyBounded(record.password, "word");
        CopyBounded(record.scriptPath, script);
        return record;
    }
    static std::string ServiceNameField() {
        return std::string(kService) + std::string(64 - std::strlen(kService), '\0');
    }
};

TEST_F(GenericApiTest, CreationFromTheFlatRecord) {
    ConnectoidCreationRecord record = Record("C:\\kit\\flat.scp");
    ConnectoidCreationRecord original = record;
    EXPECT_EQ(0u, GenericApi(2, &record));
    EXPECT_EQ(ServiceNameField(), std::string(record.entryName, 64));
    EXPECT_EQ(0, std::memcmp(&original.phoneNumber, &record.phoneNumber,
                             sizeof record - sizeof record.entryName))
        << "only the entry name is written";

    doubles::PhonebookEntry stored = Stored();
    EXPECT_STREQ("555-0177", stored.entry.szLocalPhoneNumber);
    EXPECT_EQ(0, std::memcmp(&stored.entry.ipaddrDns, original.dnsPrimary, 4));
    EXPECT_EQ(0, std::memcmp(&stored.entry.ipaddrDnsAlt, original.dnsSecondary, 4));
    EXPECT_STREQ(kModem0, stored.entry.szDeviceName);
    EXPECT_STREQ("C:\\kit\\flat.scp", stored.entry.szScript);
    EXPECT_STREQ(ModulePath().c_str(), stored.entry.szAutodialDll);
    EXPECT_STREQ("flat", stored.dialParams.szUserName);
    EXPECT_STREQ("word", stored.dialParams.szPassword);
    EXPECT_STREQ("555-0177", stored.dialParams.szPhoneNumber);
    EXPECT_EQ(2220u, StoredInactivityTimeout(stored));
    EXPECT_THAT(Log(), ElementsAre("256|CreateConnectoid: script file set to C:\\kit\\flat.scp\n"));

    record = Record();
    EXPECT_EQ(0u, GenericApi(2, &record));
    EXPECT_STREQ("", Stored().entry.szScript);
    EXPECT_THAT(Log(), IsEmpty());
}

TEST_F(GenericApiTest, TheEntryNameIsWrittenEvenWhenTheCreationFails) {
    doubles.Set("ras", "SetPropertiesError", 621);
    ConnectoidCreationRecord record = Record();
    EXPECT_EQ(18u, GenericApi(2, &record));
    EXPECT_EQ(ServiceNameField(), std::string(record.entryName, 64));
}

// Every text field filled to its last byte, without a terminator: each is
// read only up to its own end.
TEST_F(GenericApiTest, FullWidthFieldsOfTheFlatRecordStayInsideTheirFields) {
    doubles.Set("devices", "Name", 0, Repeated('M', 128).c_str());
    ConnectoidCreationRecord record = Record();
    std::memset(record.phoneNumber, '5', sizeof record.phoneNumber);
    std::memset(record.deviceName, 'M', sizeof record.deviceName);
    std::memset(record.loginName, 'u', sizeof record.loginName);
    std::memset(record.password, 'p', sizeof record.password);
    std::memset(record.scriptPath, 's', sizeof record.scriptPath);
    EXPECT_EQ(0u, GenericApi(2, &record));
    doubles::PhonebookEntry stored = Stored();
    EXPECT_EQ(Repeated('5', 128), stored.entry.szLocalPhoneNumber);
    EXPECT_EQ(Repeated('M', 128), stored.entry.szDeviceName);
    EXPECT_EQ(Repeated('s', 259), stored.entry.szScript);
    EXPECT_EQ(Repeated('u', 64), stored.dialParams.szUserName);
    EXPECT_EQ(Repeated('p', 64), stored.dialParams.szPassword);
}

TEST_F(GenericApiTest, RemovalAndTheDeviceConfigurationRequests) {
    ConnectoidCreationRecord record = Record();
    ASSERT_EQ(0u, GenericApi(2, &record));

    ModemConfigInfo info;
    std::memset(&info, 0, sizeof info);
    ASSERT_EQ(0u, GenericApi(5, &info));
    ASSERT_EQ(104u, info.size);
    EXPECT_EQ(Stored().deviceConfig, std::vector<BYTE>(info.data, info.data + 104));
    info.data[100] = 0x42;
    EXPECT_EQ(0u, GenericApi(6, &info));
    EXPECT_EQ(0x42, Stored().deviceConfig[100]);
    info.size = 300;
    EXPECT_EQ(8u, GenericApi(6, &info));

    char name[] = "Orvo VelTrane Service";
    EXPECT_EQ(0u, GenericApi(3, name));
    EXPECT_EQ(8u, GenericApi(3, name));
    EXPECT_EQ(8u, GenericApi(5, &info));
    std::vector<std::string> log = Log();
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ("1|SetModemConfigInfo: data size 300 exceeds 255\n", log[0]);
    EXPECT_EQ("1|RemoveConnectoid: RasDeleteEntry failed, raserror=623\n", log[1]);
    EXPECT_EQ("1|GetModemConfigInfo(): RasGetEntryProperties (1st call) returned 623\n", log[2]);
}

TEST_F(GenericApiTest, NullRecordsAndUnknownRequests) {
    for (DWORD request = 1; request <= 6; ++request)
        EXPECT_EQ(8u, GenericApi(request, nullptr)) << request;
    ConnectoidCreationRecord record = Record();
    EXPECT_EQ(6u, GenericApi(0, &record));
    EXPECT_EQ(6u, GenericApi(7, &record));
    EXPECT_EQ('x', record.entryName[0]);
    EXPECT_THAT(CallNames(), IsEmpty());
}

TEST_F(GenericApiTest, TheFileProbeJoinsPathAndLastErrorWithoutASeparator) {
    TempDir dir;
    std::string file = dir.File("probe.dll");
    WriteFileBytes(file, "MZ");
    DllProbeRecord probe = {};
    CopyBounded(probe.path, file.c_str());
    probe.openedExclusively = 7;
    EXPECT_EQ(0u, GenericApi(4, &probe));
    EXPECT_EQ(1u, probe.openedExclusively);

    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0u, GenericApi(4, &probe));
    CloseHandle(held);
    EXPECT_EQ(0u, probe.openedExclusively);
    EXPECT_THAT(Log(), ElementsAre("1|Is32BitDllLoaded: Cannot open " + file + "Last error: 32\n"));

    CopyBounded(probe.path, "C:\\no such folder\\probe.dll");
    probe.openedExclusively = 7;
    EXPECT_EQ(0u, GenericApi(4, &probe));
    EXPECT_EQ(0u, probe.openedExclusively);
    EXPECT_THAT(Log(), ElementsAre("1|Is32BitDllLoaded: Cannot open C:\\no such "
                                   "folder\\probe.dllLast error: 3\n"));
}

}  // namespace
