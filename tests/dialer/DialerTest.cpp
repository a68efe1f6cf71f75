// The dialer object on the simulated line: status messages posted to a real
// window of the test's own thread, hang-up, dropped lines, failures, and the
// AutoDial semaphore; hang-ups and frees from other threads, many threads at
// once, and a process that ends with a connected dialer. Every wait has a
// time-out.
#include <gtest/gtest.h>
#include <win95/Exports.h>

#include <atomic>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "api/Library.h"
#include "dialer/Win95Dialer.h"
#include "tests/doubles/DoubleControl.h"
#include "tests/doubles/DoublesTestSupport.h"
#include "tests/support/ChildTest.h"
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

const char kDialerClass[] = "VTDIALER";
const char kExitEventVariable[] = "WIN95_DIALER_EXIT_EVENT";

// The records of a dial request on the default modem.
struct RequestRecords {
    explicit RequestRecords(UINT message) {
        profile.Version = 57;
        strcpy(profile.LoginName, "subscriber");
        strcpy(profile.Password, "secret");
        modem.version = 31;
        strcpy(modem.deviceName, "Sim Modem 28800");
        request.phoneNumber = "5551234";
        request.profile = &profile;
        request.modem = &modem;
        request.message = message;
    }
    ProfileRecord profile = {};
    ModemRecord modem = {};
    DialRequest request = {};
};

// The notification windows under a caller window.
size_t DialerWindows(HWND caller) {
    size_t count = 0;
    for (HWND child = FindWindowExA(caller, nullptr, kDialerClass, nullptr); child;
         child = FindWindowExA(caller, child, kDialerClass, nullptr))
        ++count;
    return count;
}

bool DialerClassRegistered() {
    WNDCLASSA windowClass;
    return GetClassInfoA(GetModuleInstance(), kDialerClass, &windowClass) != FALSE;
}

// Polls a condition every 20 ms for up to timeoutMs.
template <typename Condition>
bool Eventually(Condition condition, DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); !condition();) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

// A thread with a caller window and a message loop that dials one dialer
// with that window and then dispatches until it is destroyed.
class CallerThread {
public:
    CallerThread(DWORD dialer, UINT message) : m_records(message) {
        m_thread = std::thread([this, dialer] { Run(dialer); });
        while (!m_started) Sleep(5);
    }
    ~CallerThread() {
        m_stop = true;
        m_thread.join();
    }
    DWORD DialResult() const { return m_dialResult; }
    HWND Window() const { return m_window; }
    std::vector<Status> Statuses() {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_statuses;
    }
    bool Received(Status status, DWORD timeoutMs) {
        return Eventually(
            [&] {
                std::vector<Status> all = Statuses();
                return std::find(all.begin(), all.end(), status) != all.end();
            },
            timeoutMs);
    }

private:
    void Run(DWORD dialer) {
        EventWindow window;
        m_window = window.Handle();
        m_records.request.window = window.Handle();
        m_dialResult = ::Dial(dialer, &m_records.request);
        m_started = true;
        while (!m_stop) {
            std::vector<PostedMessage> received =
                window.WaitFor(m_records.request.message, SIZE_MAX, 20);
            std::lock_guard<std::mutex> hold(m_lock);
            m_statuses.clear();
            for (const PostedMessage& message : received)
                m_statuses.emplace_back(message.wParam, message.lParam);
        }
    }

    RequestRecords m_records;
    std::thread m_thread;
    std::atomic<bool> m_started{false};
    std::atomic<bool> m_stop{false};
    std::atomic<HWND> m_window{nullptr};
    std::atomic<DWORD> m_dialResult{0xDEAD};
    std::mutex m_lock;
    std::vector<Status> m_statuses;
};

class DialerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ProduceAllGlobalLogs();
        LibraryAttach(GetModuleHandleA(nullptr));
    }

    void SetUp() override {
        request.window = caller.Handle();
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
        return FindWindowExA(caller.Handle(), nullptr, kDialerClass, nullptr);
    }

    size_t TimerTicksWithoutDialer() {
        size_t count = 0;
        for (const std::string& line : recorder.TakeLines("Win95Dialer"))
            if (line == "1|DialWndProc(): WM_TIMER recv'd, object not found\n") ++count;
        return count;
    }

    KitInstall kit;
    DoubleControl doubles;
    EventWindow caller;
    UINT statusMessage = RegisterWindowMessageA("Win95DialerTestStatus");
    size_t seen = 0;
    RequestRecords records{statusMessage};
    ProfileRecord& profile = records.profile;
    ModemRecord& modem = records.modem;
    DialRequest& request = records.request;
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
    doubles.Set("dial", "HangUpError", "668");
    DWORD dialer = NewDialer();
    ASSERT_EQ(Dial(dialer, &request), 0u);
    EXPECT_EQ(Statuses(2), (std::vector<Status>{{4, 0}, {1, 1}})) << "line busy is class 1";
    std::vector<std::string> lines = recorder.TakeLines("Win95Dialer");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "1|RasDial error event: raserror=676\n");
    EXPECT_EQ(lines.back(), "1|Win95Dialer::Disconnect(): RasHangUp returned: 668\n")
        << "a failing hang-up is logged";
    EXPECT_EQ(doubles.Calls("RasHangUpA").size(), 1u) << "the dialer hangs up by itself";
    doubles.Set("dial", "HangUpError", nullptr);
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

// An entry in the table of active dialers lives exactly as long as its dial:
// dials that fail to make their window leave none behind (not even after
// the dialer is freed), and a sixth dial while five are in progress is
// refused before anything is dialed.
TEST_F(DialerTest, FailedDialsLeaveNoEntryAndASixthDialIsRefused) {
    doubles.Set("dial", "Delay", "50");
    doubles.Set("dial", "Events", "OpenPort");
    DWORD failing = NewDialer();
    request.window = nullptr;  // a child window needs a parent
    EXPECT_EQ(Dial(failing, &request), 8u);
    request.window = reinterpret_cast<HWND>(0x4321);  // names no window
    EXPECT_EQ(Dial(failing, &request), 8u);
    EXPECT_EQ(recorder.TakeLines("Win95Dialer"),
              (std::vector<std::string>{"1|CreateDialWindow() failed\n",
                                        "1|CreateDialWindow() failed\n"}));
    EXPECT_EQ(FreeObject(failing), 0u);
    request.window = caller.Handle();

    std::vector<DWORD> dialers;
    for (int i = 0; i < 5; ++i) {
        dialers.push_back(NewDialer());
        ASSERT_EQ(Dial(dialers.back(), &request), 0u) << i;
    }
    recorder.Take();
    DWORD sixth = NewDialer();
    EXPECT_EQ(Dial(sixth, &request), 8u);
    EXPECT_EQ(recorder.TakeLines("Win95Dialer"),
              std::vector<std::string>{"1|Dial(): 5 dials are in progress, no room for another\n"});
    EXPECT_EQ(Statuses(6, 3000), std::vector<Status>(5, Status(4, 0)))
        << "each of the five is followed";
    EXPECT_EQ(doubles.Calls("RasDialA").size(), 5u) << "the sixth dialed nothing";
    DWORD status = 0xDEAD;
    GetStatus(sixth, &status);
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

// HangUp and FreeObject called on another thread than the one that dialed
// keep their result and their wait, and the window goes on its own thread:
// no window, timer or class registration is left behind.
TEST_F(DialerTest, HangUpAndFreeFromAnotherThreadEndTheWindowOnItsOwnThread) {
    DWORD dialer = NewDialer();
    {
        CallerThread caller(dialer, statusMessage);
        ASSERT_EQ(caller.DialResult(), 0u);
        ASSERT_TRUE(caller.Received(Status(2, 28800), 10000));
        ASSERT_EQ(DialerWindows(caller.Window()), 1u);
        DWORD start = GetTickCount();
        EXPECT_EQ(HangUp(dialer), 0u);
        EXPECT_GE(GetTickCount() - start, 2900u) << "hang-up waits 3000 ms";
        EXPECT_TRUE(caller.Received(Status(3, 0), 2000));
        EXPECT_TRUE(Eventually([&] { return DialerWindows(caller.Window()) == 0; }, 2000))
            << "the dialing thread destroys the window";
        EXPECT_TRUE(Eventually([] { return !DialerClassRegistered(); }, 2000));
        recorder.Take();
        Sleep(1200);
        EXPECT_EQ(TimerTicksWithoutDialer(), 0u) << "no timer is left";
    }
    {
        CallerThread caller(dialer, statusMessage);
        ASSERT_EQ(caller.DialResult(), 0u) << "the dialer dials again";
        ASSERT_TRUE(caller.Received(Status(2, 28800), 10000));
        DWORD start = GetTickCount();
        EXPECT_EQ(FreeObject(dialer), 0u);
        EXPECT_GE(GetTickCount() - start, 2900u);
        EXPECT_TRUE(Eventually([&] { return DialerWindows(caller.Window()) == 0; }, 2000));
        EXPECT_TRUE(Eventually([] { return !DialerClassRegistered(); }, 2000));
        recorder.Take();
        Sleep(1200);
        EXPECT_EQ(TimerTicksWithoutDialer(), 0u);
    }
    EXPECT_EQ(doubles.Calls("RasHangUpA").size(), 2u);
}

// Eight threads, each with a caller window and a message loop, share six
// dialers (one more than can dial at once) for 320 rounds: each round dials
// a random dialer (sometimes without a window), dispatches for a random
// while (dials connect, lines drop, disconnects follow), posts a RAS event
// to a random notification window (the double posts late events after
// hang-ups as well), asks for a status, or now and then hangs up or frees a
// dialer. Hang-ups and frees wait 3000 ms under the library lock, so they
// are few; disconnects in the threads' own dispatch overlap.
TEST_F(DialerTest, ThreadsDialHangUpAndFreeAtRandomMoments) {
    constexpr int kThreads = 8;
    constexpr int kDialers = 6;
    constexpr int kRounds = 40;
    constexpr int kExportEnds = 4;
    doubles.Set("dial", "Delay", "20");
    doubles.Set("dial", "DropAfter", "200");
    doubles.Set("dial", "LateEvents", "2");
    const UINT rasMessage = RasDialEventMessage();

    std::mutex handlesLock;
    std::vector<DWORD> handles;
    for (int i = 0; i < kDialers; ++i) handles.push_back(NewDialer());
    auto handleOf = [&](size_t slot) {
        std::lock_guard<std::mutex> hold(handlesLock);
        return handles[slot];
    };
    std::vector<HWND> callers(kThreads);
    std::atomic<int> ready{0}, finished{0}, exportEnds{0};
    std::atomic<bool> stop{false};
    std::vector<std::vector<Status>> statuses(kThreads);
    std::vector<std::vector<DWORD>> unexpected(kThreads);

    auto worker = [&](int index) {
        std::mt19937 random(4711 + index);
        EventWindow caller;
        callers[index] = caller.Handle();
        RequestRecords records(
            RegisterWindowMessageA(("Win95DialerStress" + std::to_string(index)).c_str()));
        records.request.window = caller.Handle();
        ++ready;
        while (ready < kThreads) Sleep(1);
        auto expectOneOf = [&](DWORD result, std::initializer_list<DWORD> allowed) {
            if (std::find(allowed.begin(), allowed.end(), result) == allowed.end())
                unexpected[index].push_back(result);
        };
        for (int round = 0; round < kRounds; ++round) {
            unsigned pick = random() % 100;
            size_t slot = random() % kDialers;
            if (pick < 25) {
                // 8 while the dialer dials or when five others do; 1 while
                // another thread frees and replaces it.
                expectOneOf(Dial(handleOf(slot), &records.request), {0, 8, 1});
            } else if (pick < 30) {
                DialRequest windowless = records.request;
                windowless.window = nullptr;
                expectOneOf(Dial(handleOf(slot), &windowless), {8, 1});
            } else if (pick < 67) {
                caller.WaitFor(records.request.message, SIZE_MAX, random() % 300);
            } else if (pick < 87) {
                HWND target =
                    FindWindowExA(callers[random() % kThreads], nullptr, kDialerClass, nullptr);
                static const Status kEvents[] = {{RASCS_OpenPort, 0},      {RASCS_Authenticate, 0},
                                                 {RASCS_Connected, 0},     {RASCS_Disconnected, 0},
                                                 {RASCS_ConnectDevice, 0}, {RASCS_OpenPort, 676},
                                                 {RASCS_OpenPort, 629}};
                const Status& event = kEvents[random() % (sizeof kEvents / sizeof kEvents[0])];
                if (target) PostMessageA(target, rasMessage, event.first, event.second);
            } else if (pick < 97) {
                DWORD status = 0;
                expectOneOf(GetStatus(handleOf(slot), &status), {0, 1});
                if (status > 5) unexpected[index].push_back(1000 + status);
            } else if (exportEnds++ < kExportEnds) {
                if (random() % 2) {
                    expectOneOf(HangUp(handleOf(slot)), {0, 1});
                } else {
                    expectOneOf(FreeObject(handleOf(slot)), {0, 1});
                    DWORD fresh = 0;
                    expectOneOf(GetObjectHandle(WIN95_DIALER_CLASS_ID, &fresh), {0});
                    std::lock_guard<std::mutex> hold(handlesLock);
                    handles[slot] = fresh;
                }
            }
        }
        ++finished;
        while (!stop) caller.WaitFor(records.request.message, SIZE_MAX, 20);
        for (const PostedMessage& message : caller.WaitFor(records.request.message, SIZE_MAX, 0))
            statuses[index].emplace_back(message.wParam, message.lParam);
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) threads.emplace_back(worker, i);

    bool allFinished = Eventually([&] { return finished == kThreads; }, 240000);
    for (DWORD handle : handles) FreeObject(handle);
    bool windowsGone = Eventually(
        [&] {
            size_t windows = 0;
            for (HWND caller : callers) windows += DialerWindows(caller);
            return windows == 0;
        },
        5000);
    stop = true;
    for (std::thread& thread : threads) thread.join();
    handles.clear();

    ASSERT_TRUE(allFinished);
    EXPECT_TRUE(windowsGone) << "every notification window went with its dial";
    EXPECT_FALSE(DialerClassRegistered());
    EXPECT_EQ(Win95Dialer::ActiveDialerCount(), 0u) << "the table of active dialers is empty";
    size_t connected = 0, disconnected = 0;
    for (int i = 0; i < kThreads; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(unexpected[i].empty()) << unexpected[i].front();
        for (const Status& status : statuses[i]) {
            bool wellFormed = status == Status(1, 1) || status == Status(1, 629) ||
                              status == Status(2, 28800) || status == Status(3, 0) ||
                              status == Status(4, 0) || status == Status(5, 0);
            EXPECT_TRUE(wellFormed) << status.first << ", " << status.second;
            connected += status.first == 2;
            disconnected += status.first == 3;
        }
    }
    EXPECT_GT(connected, 0u);
    EXPECT_GT(disconnected, 0u);
}

// The child half of the next test: dials with WIN95.dll, and once connected
// signals the parent and ends the process at once. Skipped unless started
// by the parent.
TEST(DialerExitChild, ConnectsAndEndsTheProcess) {
    char eventName[64] = "";
    if (!GetEnvironmentVariableA(kExitEventVariable, eventName, sizeof eventName))
        GTEST_SKIP() << "started by AProcessEndingWithAConnectedDialerEndsAtOnce";
    HMODULE library = LoadLibraryA((ProgramDirectory() + "WIN95.dll").c_str());
    ASSERT_NE(library, nullptr);
    typedef DWORD(WINAPI * GetObjectHandleFn)(DWORD, DWORD*);
    typedef DWORD(WINAPI * DialFn)(DWORD, DialRequest*);
    auto getHandle = reinterpret_cast<GetObjectHandleFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetObjectHandle")));
    auto dial = reinterpret_cast<DialFn>(reinterpret_cast<void*>(GetProcAddress(library, "Dial")));
    EventWindow caller;
    RequestRecords records(RegisterWindowMessageA("Win95DialerExitStatus"));
    records.request.window = caller.Handle();
    DWORD dialer = 0;
    ASSERT_EQ(getHandle(WIN95_DIALER_CLASS_ID, &dialer), 0u);
    ASSERT_EQ(dial(dialer, &records.request), 0u);
    std::vector<PostedMessage> statuses = caller.WaitFor(records.request.message, 3, 20000);
    ASSERT_EQ(statuses.size(), 3u);
    ASSERT_EQ(statuses.back().wParam, 2u);
    HANDLE connected = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName);
    SetEvent(connected);
    ExitProcess(0);
}

// A process that ends while its dialer is connected ends at once: at
// process exit the library frees memory only (no hang-up, no 3000 ms wait).
TEST_F(DialerTest, AProcessEndingWithAConnectedDialerEndsAtOnce) {
    std::string eventName = "Win95DialerExit" + std::to_string(GetCurrentProcessId());
    HANDLE connected = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    ChildTest child("DialerExitChild.*", kExitEventVariable, eventName);
    ASSERT_TRUE(child.Started()) << child.StartError();
    HANDLE either[2] = {connected, child.Process()};
    EXPECT_EQ(WaitForMultipleObjects(2, either, FALSE, 30000), WAIT_OBJECT_0)
        << "the child connected";
    DWORD start = GetTickCount();
    EXPECT_EQ(child.Wait(10000), 0u);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_LT(elapsed, 2000u) << "no 3000 ms hang-up wait at process exit";
    CloseHandle(connected);
    EXPECT_EQ(doubles.Calls("RasDialA").size(), 1u);
    EXPECT_TRUE(doubles.Calls("RasHangUpA").empty()) << "no RAS call at process exit";
}

}  // namespace
