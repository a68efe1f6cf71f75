// The dialer object on the simulated line: status messages posted to a real
// window of the test's own thread, hang-up, dropped lines, failures, and the
// AutoDial semaphore. Every wait has a time-out.
#include <gtest/gtest.h>
#include <win95/Exports.h>

#include <string>
#include <utility>
#include <vector>

#include "api/Library.h"
#include "dialer/Win95Dialer.h"
#include "tests/doubles/DoubleControl.h"
#include "tests/doubles/DoublesTestSupport.h"
#include "tests/support/KitInstall.h"
#include "tests/support/LogRecorder.h"
#include "tests/support/LogSetup.h"
#include "tests/support/TestFiles.h"

namespace {

typedef std::pair<WPARAM, LPARAM> Status;

// "AutoDial Semaphore" as an AutoDial handler holds it, with room to count
// every release the dialers make.
class CountingSemaphore {
public:
    CountingSemaphore() : m_handle(CreateSemaphoreA(nullptr, 0, 100, "AutoDial Semaphore")) {}
    ~CountingSemaphore() { CloseHandle(m_handle); }
    int TakeCount() {
        int count = 0;
        while (WaitForSingleObject(m_handle, 0) == WAIT_OBJECT_0) ++count;
        return count;
    }

private:
    HANDLE m_handle;
};

class DialerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ProduceAllGlobalLogs();
        LibraryAttach(GetModuleHandleA(nullptr));
    }

    void SetUp() override {
        statusMessage = RegisterWindowMessageA("Win95DialerTestStatus");
        profile.Version = 57;
        strcpy(profile.LoginName, "subscriber");
        strcpy(profile.Password, "secret");
        modem.version = 31;
        strcpy(modem.deviceName, "Sim Modem 28800");
        request.phoneNumber = "5551234";
        request.profile = &profile;
        request.modem = &modem;
        request.window = caller.Handle();
        request.message = statusMessage;
        recorder.Take();
    }

    void TearDown() override {
        for (DWORD handle = 1; handle <= WIN95_MAX_OBJECTS; ++handle) FreeObject(handle);
    }

    DWORD NewDialer() {
        DWORD handle = 0;
        EXPECT_EQ(GetObjectHandle(WIN95_DIALER_CLASS_ID, &handle), 0u);
        return handle;
    }

    // The statuses posted to the caller window since the last call, waiting
    // for count of them.
    std::vector<Status> Statuses(size_t count, DWORD timeoutMs = 20000) {
        std::vector<PostedMessage> all = caller.WaitFor(statusMessage, seen + count, timeoutMs);
        std::vector<Status> statuses;
        for (size_t i = seen; i < all.size(); ++i)
            statuses.emplace_back(all[i].wParam, all[i].lParam);
        seen = all.size();
        return statuses;
    }

    HWND NotificationWindow() {
        return FindWindowExA(caller.Handle(), nullptr, "VTDIALER", nullptr);
    }

    KitInstall kit;
    DoubleControl doubles;
    EventWindow caller;
    UINT statusMessage = 0;
    size_t seen = 0;
    ProfileRecord profile = {};
    ModemRecord modem = {};
    DialRequest request = {};
    LogRecorder recorder;
};

TEST_F(DialerTest, ADialReportsBegunAuthenticatingAndConnectedWithTheSpeed) {
    CountingSemaphore semaphore;
    DWORD dialer = NewDialer();
    DWORD status = 0xDEAD;
    EXPECT_EQ(GetStatus(dialer, &status), 0u);
    EXPECT_EQ(status, 0u) << "nothing posted yet";

    ASSERT_EQ(Dial(dialer, &request), 0u);
    HWND window = NotificationWindow();
    EXPECT_NE(window, nullptr) << "the hidden child window exists while dialing";
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(Statuses(3), (std::vector<Status>{{4, 0}, {5, 0}, {2, 28800}}))
        << "intermediate states post nothing";
    EXPECT_EQ(GetStatus(dialer, &status), 0u);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(semaphore.TakeCount(), 1) << "released once on connection";

    std::vector<std::string> dials = doubles.Calls("RasDialA");
    ASSERT_EQ(dials.size(), 1u);
    EXPECT_EQ(DoubleControl::Argument(dials[0], "entry"), "Orvo VelTrane Service");
    EXPECT_EQ(DoubleControl::Argument(dials[0], "phone"), "5551234");
    EXPECT_EQ(DoubleControl::Argument(dials[0], "user"), "subscriber");
    EXPECT_EQ(DoubleControl::Argument(dials[0], "password"), "secret");
    EXPECT_EQ(DoubleControl::Argument(dials[0], "phonebook"), "null");
    EXPECT_EQ(DoubleControl::Argument(dials[0], "notifierType"), "0xffffffff");
    std::vector<std::string> lines = recorder.TakeLines("Win95Dialer");
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "128|RasConnStateToStatus: Connect speed is 28800\n"),
        lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "256|RasConnStateToStatus: Timer started\n"),
              lines.end());

    DWORD start = GetTickCount();
    EXPECT_EQ(HangUp(dialer), 0u);
    EXPECT_GE(GetTickCount() - start, 2900u) << "hang-up waits 3000 ms";
    EXPECT_EQ(Statuses(1), (std::vector<Status>{{3, 0}}));
    EXPECT_EQ(GetStatus(dialer, &status), 0u);
    EXPECT_EQ(status, 2u) << "hang-up's own status 3 is not stored";
    EXPECT_FALSE(IsWindow(window)) << "the window is gone after the hang-up";
    EXPECT_EQ(semaphore.TakeCount(), 1) << "released again at the disconnect";
    EXPECT_EQ(doubles.Calls("RasHangUpA").size(), 1u);
}

TEST_F(DialerTest, AnUnknownSpeedIsPostedAsZero) {
    doubles.Set("tapi", "LineCount", "0");
    DWORD dialer = NewDialer();
    ASSERT_EQ(Dial(dialer, &request), 0u);
    EXPECT_EQ(Statuses(3), (std::vector<Status>{{4, 0}, {5, 0}, {2, 0}}));
}

TEST_F(DialerTest, RasErrorsPostTheirClassAndEndTheDial) {
    doubles.Set("dial", "Events", "OpenPort,ConnectDevice:676");
    DWORD dialer = NewDialer();
    ASSERT_EQ(Dial(dialer, &request), 0u);
    EXPECT_EQ(Statuses(2), (std::vector<Status>{{4, 0}, {1, 1}})) << "line busy is class 1";
    EXPECT_EQ(recorder.TakeLines("Win95Dialer").back(), "1|RasDial error event: raserror=676\n");
    EXPECT_EQ(doubles.Calls("RasHangUpA").size(), 1u) << "the dialer hangs up by itself";
    DWORD status = 0;
    GetStatus(dialer, &status);
    EXPECT_EQ(status, 1u);

    doubles.Set("dial", "Events", "OpenPort:629");
    ASSERT_EQ(Dial(dialer, &request), 0u) << "the dialer can dial again after a failure";
    EXPECT_EQ(Statuses(1), (std::vector<Status>{{1, 629}})) << "an unmapped error passes through";
}

TEST_F(DialerTest, ErrorClassesFollowTheRasErrorNumbers) {
    std::vector<std::pair<DWORD, DWORD>> table = {
        {676, 1},  {678, 2},   {680, 3},   {739, 5},   {679, 6},   {602, 7}, {718, 8},
        {722, 8},  {732, 8},   {738, 8},   {601, 9},   {606, 9},   {615, 9}, {633, 9},
        {677, 10}, {717, 717}, {723, 723}, {731, 731}, {629, 629}, {4, 4}};
    for (const auto& [error, expected] : table)
        EXPECT_EQ(RasErrorToClass(error), expected) << error;
}

TEST_F(DialerTest, ADroppedLinePostsExactlyOneDisconnect) {
    doubles.Set("dial", "DropAfter", "600");
    doubles.Set("dial", "DropError", "628");
    DWORD dialer = NewDialer();
    ASSERT_EQ(Dial(dialer, &request), 0u);
    EXPECT_EQ(Statuses(4), (std::vector<Status>{{4, 0}, {5, 0}, {2, 28800}, {3, 0}}));
    EXPECT_EQ(Statuses(1, 1500).size(), 0u) << "no second status 3";
    std::vector<std::string> lines = recorder.TakeLines("Win95Dialer");
    EXPECT_EQ(lines.back(), "1|DialWndProc(): Connection dropped RAS Error = 628\n");
    DWORD status = 0;
    GetStatus(dialer, &status);
    EXPECT_EQ(status, 3u);
}

TEST_F(DialerTest, AFailingStatusQueryCountsAsADroppedLine) {
    doubles.Set("dial", "ConnectStatusError", "6");
    DWORD dialer = NewDialer();
    ASSERT_EQ(Dial(dialer, &request), 0u);
    EXPECT_EQ(Statuses(4), (std::vector<Status>{{4, 0}, {5, 0}, {2, 28800}, {3, 0}}));
    std::vector<std::string> lines = recorder.TakeLines("Win95Dialer");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2],
              "1|DialWndProc(): RasGetConnStatus returned 6, Simulating a disconnect\n");
    EXPECT_EQ(lines.back(), "1|DialWndProc(): Connection dropped\n");
}

TEST_F(DialerTest, AFailingRasDialReturnsItsErrorAfterAFullDisconnect) {
    CountingSemaphore semaphore;
    doubles.Set("dial", "Result", "633");
    DWORD dialer = NewDialer();
    DWORD start = GetTickCount();
    EXPECT_EQ(Dial(dialer, &request), 633u);
    EXPECT_GE(GetTickCount() - start, 2900u);
    EXPECT_EQ(NotificationWindow(), nullptr);
    EXPECT_EQ(Statuses(1, 500).size(), 0u) << "nothing posted";
    EXPECT_EQ(semaphore.TakeCount(), 1);
    std::vector<std::string> lines = recorder.TakeLines("Win95Dialer");
    EXPECT_EQ(lines.back(), "1|Win95Dialer::Dial(): RasDial returned: 633\n");
}

TEST_F(DialerTest, RecordVersionsAreCheckedBeforeAnythingElse) {
    DWORD dialer = NewDialer();
    modem.version = 30;
    profile.Version = 56;
    EXPECT_EQ(Dial(dialer, &request), 8u);
    modem.version = 31;
    EXPECT_EQ(Dial(dialer, &request), 8u);
    EXPECT_EQ(recorder.TakeLines("Win95Dialer"),
              (std::vector<std::string>{
                  "1|Dial: MODEM_RECORD is version 30 expected version= 31\n",
                  "1|Dial: PROFILE_RECORD_VERSION is version 56 expected version= 57\n"}));
    EXPECT_TRUE(doubles.Journal().empty()) << "nothing reached RAS";
    EXPECT_EQ(NotificationWindow(), nullptr);
    EXPECT_EQ(Dial(dialer, nullptr), 8u);
    EXPECT_EQ(GetStatus(dialer, nullptr), 8u);
}

TEST_F(DialerTest, AConnectoidFailureIsReturnedAndNothingDials) {
    doubles.Set("ras", "SetPropertiesError", "5");
    DWORD dialer = NewDialer();
    EXPECT_EQ(Dial(dialer, &request), 18u);
    EXPECT_EQ(recorder.TakeLines("Win95Dialer").back(),
              "1|Dial(): CreateConnectoid() failed, retcode=18\n");
    EXPECT_TRUE(doubles.Calls("RasDialA").empty());
}

TEST_F(DialerTest, ASecondDialWhileDialingIsRefused) {
    doubles.Set("dial", "Delay", "400");
    DWORD dialer = NewDialer();
    ASSERT_EQ(Dial(dialer, &request), 0u);
    HWND window = NotificationWindow();
    EXPECT_EQ(Dial(dialer, &request), 8u);
    EXPECT_EQ(NotificationWindow(), window);
    EXPECT_EQ(FindWindowExA(caller.Handle(), window, "VTDIALER", nullptr), nullptr)
        << "no second window";
    EXPECT_EQ(doubles.Calls("RasDialA").size(), 1u);
}

TEST_F(DialerTest, ASixthDialerIsNotFollowed) {
    doubles.Set("dial", "Delay", "300");
    doubles.Set("dial", "Events", "OpenPort");
    std::vector<DWORD> dialers;
    for (int i = 0; i < 6; ++i) {
        dialers.push_back(NewDialer());
        ASSERT_EQ(Dial(dialers.back(), &request), 0u);
    }
    EXPECT_EQ(Statuses(6, 5000).size(), 5u) << "only five dialers are followed";
    std::vector<std::string> lines = recorder.TakeLines("Win95Dialer");
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "1|DialWndProc(): RAS Message recv'd, object not found\n"),
              1);
    DWORD status = 0;
    GetStatus(dialers.back(), &status);
    EXPECT_EQ(status, 0u);
}

TEST_F(DialerTest, FreeingAnIdleDialerWaitsAndReleasesTheSemaphore) {
    CountingSemaphore semaphore;
    DWORD dialer = NewDialer();
    DWORD start = GetTickCount();
    EXPECT_EQ(FreeObject(dialer), 0u);
    EXPECT_GE(GetTickCount() - start, 2900u);
    EXPECT_EQ(semaphore.TakeCount(), 1);
}

// Unloading the library destroys the dialers still alive, each once: each
// destruction disconnects and releases the semaphore.
TEST_F(DialerTest, UnloadingTheLibraryDestroysLiveDialers) {
    TempDir dir;
    std::string copy = dir.File("WIN95.dll");
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + "WIN95.dll").c_str(), copy.c_str(), FALSE));
    HMODULE library = LoadLibraryA(copy.c_str());
    ASSERT_NE(library, nullptr);
    typedef DWORD(WINAPI * GetObjectHandleFn)(DWORD, DWORD*);
    auto getHandle = reinterpret_cast<GetObjectHandleFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetObjectHandle")));
    DWORD first = 0, second = 0;
    ASSERT_EQ(getHandle(WIN95_DIALER_CLASS_ID, &first), 0u);
    ASSERT_EQ(getHandle(WIN95_DIALER_CLASS_ID, &second), 0u);
    CountingSemaphore semaphore;
    DWORD start = GetTickCount();
    FreeLibrary(library);
    EXPECT_GE(GetTickCount() - start, 5800u) << "two disconnects of 3000 ms";
    EXPECT_EQ(semaphore.TakeCount(), 2);
}

}  // namespace
