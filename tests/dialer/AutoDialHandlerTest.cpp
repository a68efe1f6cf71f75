// The AutoDial hook: which entries it takes, the connection application it
// starts beside the library, and what it answers RAS in each outcome.
#include <gtest/gtest.h>
#include <win95/Exports.h>

#include <string>
#include <vector>

#include "tests/support/KitInstall.h"
#include "tests/support/LogRecorder.h"
#include "tests/support/LogSetup.h"

namespace {

class AutoDialHandlerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ProduceAllGlobalLogs(); }

    void SetUp() override { recorder.Take(); }
    void TearDown() override { SetEnvironmentVariableA("WIN95_FAKE_CONNECT", nullptr); }

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
