// What the tests of the connectoid, line device and modem code share: a
// fixture with fresh doubles and the library's log recorded, dial requests
// as the dialer fills them, and the phonebook read back as bytes.
#ifndef WIN95_TESTS_DIALER_DIALERTESTSUPPORT_H
#define WIN95_TESTS_DIALER_DIALERTESTSUPPORT_H

#include <gtest/gtest.h>
#include <win95/DialRecords.h>

#include <memory>
#include <string>
#include <vector>

#include "dialer/platform/ModemTypes.h"
#include "tests/doubles/DoubleControl.h"
#include "tests/support/KitInstall.h"
#include "tests/support/LogRecorder.h"

constexpr char kService[] = "Orvo VelTrane Service";
constexpr char kModem0[] = "Sim Modem 28800";

// Fresh doubles (default scenario: one modem kModem0), every message of the
// library's log recorded, and a kit installation whose WIN95.dll is the
// library's module.
class DialerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;

    // "mask|text" of the "Win95Dialer" messages since the last call.
    std::vector<std::string> Log();
    // The journal's lines of one function, in order.
    std::vector<std::string> Calls(const char* function) const { return doubles.Calls(function); }
    std::vector<std::string> CallNames() const { return doubles.CallNames(); }
    // The service connectoid as the phonebook holds it; fails the test when
    // it is missing.
    doubles::PhonebookEntry Stored(const char* name = kService) const;
    // Full path of the kit's WIN95.dll.
    std::string ModulePath() const { return kit.Directory() + "\\WIN95.dll"; }

    DoubleControl doubles;
    KitInstall kit;
    LogRecorder recorder;
};

// A dial request with the records it points at.
class SampleRequest {
public:
    explicit SampleRequest(const char* modem = kModem0, const char* phone = "555-0100");
    SampleRequest(const SampleRequest&) = delete;
    SampleRequest& operator=(const SampleRequest&) = delete;

    ProfileRecord& Profile() { return *m_profile; }
    ModemRecord& Modem() { return m_modem; }
    DialRequest& Get() { return m_request; }
    void SetScript(const char* path, bool use);

private:
    std::unique_ptr<ProfileRecord> m_profile;
    ModemRecord m_modem;
    std::string m_phone;
    std::string m_script;
    DialRequest m_request;
};

// The modem settings' inactivity time-out in a stored device configuration
// block that has the doubles' layout.
DWORD StoredInactivityTimeout(const doubles::PhonebookEntry& entry);

// A text of count copies of c.
std::string Repeated(char c, size_t count);
// The bytes of a record, for whole-record comparisons.
template <typename Record>
std::string Bytes(const Record& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

#endif
