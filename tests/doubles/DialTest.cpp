// The rasapi32.dll double's dial: events posted to a real window of this
// thread, hang-up, connection status and its scripted drop. Every wait has
// a time-out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/doubles/DoubleControl.h"
#include "tests/doubles/DoublesTestSupport.h"

using ::testing::ElementsAre;

namespace {

constexpr char ENTRY[] = "Sim Service";
constexpr DWORD WAIT_MS = 10000;

class DialTest : public ::testing::Test {
protected:
    void SetUp() override {
        doubles::PhonebookEntry entry;
        entry.entry = SampleEntry("Sim Modem 28800");
        doubles.WriteEntry(ENTRY, entry);
        ASSERT_NE(nullptr, window.Handle());
    }

    void TearDown() override {
        if (conn) RasHangUpA(conn);
    }

    DWORD Dial() {
        RASDIALPARAMS params = SampleDialParams(ENTRY, "subscriber", "secret");
        return RasDialA(nullptr, nullptr, &params, RASDIAL_NOTIFIER_WINDOW, window.Handle(), &conn);
    }

    std::vector<PostedMessage> Events(size_t count) {
        return window.WaitFor(RasDialEventMessage(), count, WAIT_MS);
    }

    RASCONNSTATUS Status(DWORD& result) {
        RASCONNSTATUS status = {};
        status.dwSize = sizeof status;
        result = RasGetConnectStatusA(conn, &status);
        return status;
    }

    DoubleControl doubles;
    EventWindow window;
    HRASCONN conn = nullptr;
};

std::vector<std::pair<WPARAM, LPARAM>> StatesAndErrors(const std::vector<PostedMessage>& events) {
    std::vector<std::pair<WPARAM, LPARAM>> pairs;
    for (const PostedMessage& event : events) pairs.emplace_back(event.wParam, event.lParam);
    return pairs;
}

TEST_F(DialTest, DefaultDialPostsTheNormalSequenceAndStaysConnected) {
    ASSERT_EQ(0u, Dial());
    ASSERT_NE(nullptr, conn);
    using P = std::pair<WPARAM, LPARAM>;
    EXPECT_THAT(
        StatesAndErrors(Events(8)),
        ElementsAre(P(RASCS_OpenPort, 0), P(RASCS_PortOpened, 0), P(RASCS_ConnectDevice, 0),
                    P(RASCS_DeviceConnected, 0), P(RASCS_AllDevicesConnected, 0),
                    P(RASCS_Authenticate, 0), P(RASCS_Authenticated, 0), P(RASCS_Connected, 0)));

    DWORD result = 0;
    RASCONNSTATUS status = Status(result);
    ASSERT_EQ(0u, result);
    EXPECT_EQ(RASCS_Connected, status.rasconnstate);
    EXPECT_EQ(0u, status.dwError);
    EXPECT_STREQ("modem", status.szDeviceType);
    EXPECT_STREQ("Sim Modem 28800", status.szDeviceName);

    std::string dial = doubles.Calls("RasDialA").at(0);
    EXPECT_EQ("Sim Service", DoubleControl::Argument(dial, "entry"));
    EXPECT_EQ("555-0199", DoubleControl::Argument(dial, "phone"));
    EXPECT_EQ("subscriber", DoubleControl::Argument(dial, "user"));
    EXPECT_EQ("secret", DoubleControl::Argument(dial, "password"));
    EXPECT_EQ("0xffffffff", DoubleControl::Argument(dial, "notifierType"));
    char window[16];
    wsprintfA(window, "0x%lx",
              static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(this->window.Handle())));
    EXPECT_EQ(window, DoubleControl::Argument(dial, "notifier"));
    EXPECT_EQ(8u, doubles.Calls("RasDialEvent").size());

    EXPECT_EQ(0u, RasHangUpA(conn));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), RasHangUpA(conn));
    Status(result);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), result);
    conn = nullptr;
}

TEST_F(DialTest, AnErrorEventEndsTheSequence) {
    doubles.Set("dial", "Events", "OpenPort, PortOpened, ConnectDevice:676, DeviceConnected");
    ASSERT_EQ(0u, Dial());
    using P = std::pair<WPARAM, LPARAM>;
    EXPECT_THAT(
        StatesAndErrors(Events(3)),
        ElementsAre(P(RASCS_OpenPort, 0), P(RASCS_PortOpened, 0), P(RASCS_ConnectDevice, 676)));
    EXPECT_TRUE(window.WaitFor(RasDialEventMessage(), 4, 500).size() == 3);
    DWORD result = 0;
    RASCONNSTATUS status = Status(result);
    EXPECT_EQ(RASCS_ConnectDevice, status.rasconnstate);
    EXPECT_EQ(676u, status.dwError);
}

TEST_F(DialTest, ImmediateFailureGivesAHandleUnlessScriptedOtherwise) {
    doubles.Set("dial", "Result", 633);
    EXPECT_EQ(633u, Dial());
    EXPECT_NE(nullptr, conn);
    EXPECT_EQ(0u, RasHangUpA(conn));
    conn = nullptr;

    doubles.Set("dial", "ResultHandle", "0");
    EXPECT_EQ(633u, Dial());
    EXPECT_EQ(nullptr, conn);
    EXPECT_TRUE(window.WaitFor(RasDialEventMessage(), 1, 300).empty());
}

TEST_F(DialTest, HangUpStopsFurtherEvents) {
    // The events come a second apart and the hang-up follows the first (or
    // more of them on a slow machine). After it come only the "LateEvents"
    // already on their way, at once, continuing the sequence.
    doubles.Set("dial", "Delay", 1000);
    for (DWORD late : {0u, 2u}) {
        SCOPED_TRACE(late);
        doubles.Set("dial", "LateEvents", late);
        doubles.ClearJournal();
        size_t before = window.WaitFor(RasDialEventMessage(), 0, 0).size();
        ASSERT_EQ(0u, Dial());
        ASSERT_LE(before + 1, Events(before + 1).size());
        ASSERT_EQ(0u, RasHangUpA(conn));
        conn = nullptr;
        std::vector<PostedMessage> events =
            window.WaitFor(RasDialEventMessage(), before + 99, 2500);

        std::vector<std::string> calls = doubles.CallNames();
        auto hangUp = std::find(calls.begin(), calls.end(), "RasHangUpA");
        size_t early = std::count(calls.begin(), hangUp, "RasDialEvent");
        std::vector<std::string> expected(early + late + 2, "RasDialEvent");
        expected.front() = "RasDialA";
        expected[early + 1] = "RasHangUpA";
        EXPECT_EQ(expected, calls);
        ASSERT_EQ(before + early + late, events.size());
        for (size_t i = 0; i < early + late; ++i)
            EXPECT_EQ(RASCS_OpenPort + i, events[before + i].wParam) << "event " << i;
    }
}

TEST_F(DialTest, ConnectStatusReportsTheScriptedDropAndErrors) {
    doubles.Set("dial", "DropAfter", 2000);
    doubles.Set("dial", "DropError", 638);
    ASSERT_EQ(0u, Dial());
    ASSERT_EQ(8u, Events(8).size());
    DWORD result = 0;
    EXPECT_EQ(RASCS_Connected, Status(result).rasconnstate);
    Sleep(2100);
    RASCONNSTATUS status = Status(result);
    EXPECT_EQ(0u, result);
    EXPECT_EQ(RASCS_Disconnected, status.rasconnstate);
    EXPECT_EQ(638u, status.dwError);

    doubles.Set("dial", "ConnectStatusError", 6);
    Status(result);
    EXPECT_EQ(6u, result);
    status.dwSize = 100;
    EXPECT_EQ(ERROR_INVALID_SIZE, RasGetConnectStatusA(conn, &status));
}

TEST_F(DialTest, UnknownEntryIsNotDialed) {
    RASDIALPARAMS params = SampleDialParams("No Such Entry", "u", "p");
    EXPECT_EQ(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY,
              RasDialA(nullptr, nullptr, &params, RASDIAL_NOTIFIER_WINDOW, window.Handle(), &conn));
    EXPECT_EQ(nullptr, conn);
}

}  // namespace
