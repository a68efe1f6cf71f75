// The AutoDial hook: which entries it takes, the connection application it
// starts beside the library, and what it answers RAS in each outcome.
#include <gtest/gtest.h>
#include <win95/Exports.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/KitInstall.h"
#include "tests/support/LogRecorder.h"
#include "tests/support/LogSetup.h"

namespace {

// Replaces the process's import of CreateProcessA (which the statically
// linked handler calls through it) while the object lives, to see the
// moment the handler starts the application.
extern "C" void* g_importedCreateProcessA __asm__("__imp__CreateProcessA@40");

class CreateProcessWatch {
public:
    CreateProcessWatch() : m_original(Swap(reinterpret_cast<void*>(&Watch))) {
        s_original = reinterpret_cast<decltype(&CreateProcessA)>(m_original);
        s_semaphoreExisted = false;
    }
    ~CreateProcessWatch() { Swap(m_original); }
    // Whether "AutoDial Semaphore" existed when the application was started.
    static bool SemaphoreExisted() { return s_semaphoreExisted; }

private:
    static void* Swap(void* replacement) {
        DWORD protection = 0;
        VirtualProtect(&g_importedCreateProcessA, sizeof(void*), PAGE_READWRITE, &protection);
        void* previous = g_importedCreateProcessA;
        g_importedCreateProcessA = replacement;
        VirtualProtect(&g_importedCreateProcessA, sizeof(void*), protection, &protection);
        return previous;
    }
    static BOOL WINAPI Watch(LPCSTR application, LPSTR command, LPSECURITY_ATTRIBUTES process,
                             LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags,
                             LPVOID environment, LPCSTR directory, LPSTARTUPINFOA startup,
                             LPPROCESS_INFORMATION info) {
        HANDLE semaphore = OpenSemaphoreA(SYNCHRONIZE, FALSE, "AutoDial Semaphore");
        s_semaphoreExisted = semaphore != nullptr;
        if (semaphore) CloseHandle(semaphore);
        return s_original(application, command, process, thread, inherit, flags, environment,
                          directory, startup, info);
    }

    void* m_original;
    static decltype(&CreateProcessA) s_original;
    static bool s_semaphoreExisted;
};
decltype(&CreateProcessA) CreateProcessWatch::s_original = nullptr;
bool CreateProcessWatch::s_semaphoreExisted = false;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class AutoDialHandlerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ProduceAllGlobalLogs(); }

    void SetUp() override { recorder.Take(); }
    void TearDown() override {
        SetEnvironmentVariableA("WIN95_FAKE_CONNECT", nullptr);
        SetEnvironmentVariableA("WIN95_FAKE_CONNECT_STARTS", nullptr);
    }

    void InstallConnect(KitInstall& kit, const char* mode) {
        CopyFileA((ProgramDirectory() + "fake_connect.exe").c_str(),
                  (kit.Directory() + "\\Connect.exe").c_str(), FALSE);
        SetEnvironmentVariableA("WIN95_FAKE_CONNECT", mode);
    }

    // Calls the handler for the service connectoid; the result and the code.
    std::pair<BOOL, DWORD> Handle(const char* entry = "Orvo VelTrane Service") {
        DWORD code = 0xDEAD;
        std::string name = entry;
        BOOL handled = AutoDialHandler(nullptr, &name[0], 0, &code);
        return {handled, code};
    }

    LogRecorder recorder;
};

TEST_F(AutoDialHandlerTest, OtherEntriesAreDeclinedExactly) {
    KitInstall kit;
    InstallConnect(kit, "exit:0");
    EXPECT_EQ(Handle("orvo velTrane service"), std::make_pair(FALSE, 0ul));
    EXPECT_EQ(Handle("Orvo VelTrane Service "), std::make_pair(FALSE, 0ul));
    EXPECT_EQ(
        recorder.TakeLines("Win95Dialer"),
        (std::vector<std::string>{
            "256|AutoDialHandler: Called for connectoid orvo velTrane service - ignoring\n",
            "256|AutoDialHandler: Called for connectoid Orvo VelTrane Service  - ignoring\n"}));
}

TEST_F(AutoDialHandlerTest, ExitCodeZeroMeansConnected) {
    KitInstall kit;
    InstallConnect(kit, "exit:0");
    EXPECT_EQ(Handle(), std::make_pair(TRUE, 1ul));
    EXPECT_EQ(recorder.TakeLines("Win95Dialer"),
              (std::vector<std::string>{"256|AutoDialHandler: Winexec Connect.exe\n",
                                        "256|AutoDialHandler: WaitForMultipleObjects() called\n",
                                        "256|AutoDialHandler: connect.exe exit code: 0\n",
                                        "256|AutoDialHandler: dwRetCode = 1\n",
                                        "20|AutoDialHandler: Returning\n"}));
}

// A release made as soon as the application runs is not lost: the
// semaphore exists before the start.
TEST_F(AutoDialHandlerTest, TheSemaphoreExistsBeforeTheApplicationStarts) {
    KitInstall kit;
    InstallConnect(kit, "exit:0");
    CreateProcessWatch watch;
    EXPECT_EQ(Handle(), std::make_pair(TRUE, 1ul));
    EXPECT_TRUE(CreateProcessWatch::SemaphoreExisted());
}

// In a kit directory with blanks in its path the application is started by
// its full path: a program named after the path's first part is never run.
TEST_F(AutoDialHandlerTest, OnlyTheKitsOwnApplicationStartsFromAPathWithBlanks) {
    KitInstall kit("Orvo Kit");
    InstallConnect(kit, "exit:0");
    std::string base = kit.Directory().substr(0, kit.Directory().rfind('\\'));
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + "fake_connect.exe").c_str(),
                          (base + "\\Orvo.exe").c_str(), FALSE));
    std::string starts = base + "\\starts.txt";
    SetEnvironmentVariableA("WIN95_FAKE_CONNECT_STARTS", starts.c_str());
    EXPECT_EQ(Handle(), std::make_pair(TRUE, 1ul));
    EXPECT_EQ(Lower(ReadFileBytes(starts)), Lower(kit.Directory() + "\\Connect.exe|/S\n"))
        << "started once, with /S";
}

TEST_F(AutoDialHandlerTest, AnyOtherExitCodeMeansNotConnected) {
    KitInstall kit;
    InstallConnect(kit, "exit:5");
    EXPECT_EQ(Handle(), std::make_pair(TRUE, 0ul));
    std::vector<std::string> lines = recorder.TakeLines("Win95Dialer");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], "256|AutoDialHandler: connect.exe exit code: 5\n");
    EXPECT_EQ(lines[3], "256|AutoDialHandler: dwRetCode = 0\n");
}

TEST_F(AutoDialHandlerTest, TheSemaphoreEndsTheWaitWhileTheApplicationRuns) {
    KitInstall kit;
    InstallConnect(kit, "release");
    HANDLE quit = CreateEventA(nullptr, TRUE, FALSE, "Win95FakeConnectQuit");
    EXPECT_EQ(Handle(), std::make_pair(TRUE, 0ul));
    std::vector<std::string> lines = recorder.TakeLines("Win95Dialer");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], "256|AutoDialHandler: connect.exe exit code: 259\n")
        << "still active: the application keeps running";
    SetEvent(quit);
    Sleep(500);
    CloseHandle(quit);
}

TEST_F(AutoDialHandlerTest, AMissingApplicationGivesTheStartError) {
    KitInstall kit;
    EXPECT_EQ(Handle(), std::make_pair(TRUE, static_cast<DWORD>(ERROR_FILE_NOT_FOUND)));
    EXPECT_EQ(recorder.TakeLines("Win95Dialer"),
              (std::vector<std::string>{"256|AutoDialHandler: Winexec Connect.exe\n",
                                        "1|AutoDialHandler: CreateProcess failed, Lasterror=2\n"}));
}

TEST_F(AutoDialHandlerTest, ADirectoryTooLongForTheCommandLineIsAStartError) {
    KitInstall base;
    std::string deep = base.Directory();
    while (deep.size() < 240) {
        deep += "\\deeper";
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    std::string dll = deep + "\\WIN95.dll";
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + "WIN95.dll").c_str(), dll.c_str(), FALSE));
    HMODULE module = LoadLibraryA(dll.c_str());
    ASSERT_NE(module, nullptr);
    HINSTANCE previous = GetModuleInstance();
    SetModuleInstance(module);
    EXPECT_EQ(Handle(), std::make_pair(TRUE, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE)));
    SetModuleInstance(previous);
    FreeLibrary(module);
}

TEST_F(AutoDialHandlerTest, ANullReturnCodePointerIsNotWritten) {
    KitInstall kit;
    char entry[] = "Another Entry";
    EXPECT_EQ(AutoDialHandler(nullptr, entry, 0, nullptr), FALSE);
    EXPECT_EQ(AutoDialHandler(nullptr, nullptr, 0, nullptr), FALSE);
}

}  // namespace
