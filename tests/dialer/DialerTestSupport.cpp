#include "tests/dialer/DialerTestSupport.h"

#include <cstring>

#include "diag/BoundedCopy.h"
#include "tests/support/LogSetup.h"

void DialerTest::SetUpTestSuite() {
    ProduceAllGlobalLogs();
}

void DialerTest::SetUp() {
    recorder.Take();
}

std::vector<std::string> DialerTest::Log() {
    return recorder.TakeLines("Win95Dialer");
}

doubles::PhonebookEntry DialerTest::Stored(const char* name) const {
    doubles::PhonebookEntry entry;
    EXPECT_TRUE(doubles.ReadEntry(name, entry)) << name;
    return entry;
}

SampleRequest::SampleRequest(const char* modem, const char* phone)
    : m_profile(new ProfileRecord()), m_modem(), m_phone(phone), m_request() {
    m_profile->Version = 57;
    CopyBounded(m_profile->LoginName, "jdoe");
    CopyBounded(m_profile->Password, "s3cret");
    const uint8_t dns1[4] = {10, 1, 2, 3};
    const uint8_t dns2[4] = {192, 168, 7, 53};
    std::memcpy(m_profile->DnsAddr1, dns1, sizeof dns1);
    std::memcpy(m_profile->DnsAddr2, dns2, sizeof dns2);
    m_modem.version = 31;
    CopyBounded(m_modem.deviceName, modem);
    m_modem.maxRate = 115200;
    m_request.phoneNumber = m_phone.c_str();
    m_request.profile = m_profile.get();
    m_request.modem = &m_modem;
    m_request.window = nullptr;
    m_request.message = 0x401;
}

void SampleRequest::SetScript(const char* path, bool use) {
    if (path) m_script = path;
    m_request.scriptPath = path ? m_script.c_str() : nullptr;
    m_request.useScript = use ? 1 : 0;
}

DWORD StoredInactivityTimeout(const doubles::PhonebookEntry& entry) {
    constexpr size_t kAt = offsetof(ModemDevConfig, config.modemSettings.dwInactivityTimeout);
    DWORD value = 0xFFFFFFFF;
    if (entry.deviceConfig.size() >= kAt + sizeof value)
        std::memcpy(&value, entry.deviceConfig.data() + kAt, sizeof value);
    return value;
}

std::string Repeated(char c, size_t count) {
    return std::string(count, c);
}
