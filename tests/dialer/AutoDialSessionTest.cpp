// The whole AutoDial path on the simulated line: the handler starts the
// kit's Connect.exe beside the library, which dials with the subscriber's
// stored profile and location and stays connected; the semaphore its dialer
// releases ends the handler's wait.
#include <gtest/gtest.h>
#include <win95/Exports.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "tests/doubles/DoubleControl.h"
#include "tests/support/KitInstall.h"
#include "tests/support/LogRecorder.h"
#include "tests/support/LogSetup.h"
#include "tools/connect/SubscriberStores.h"

namespace {

const char* const kBesideTheLibrary[] = {"Connect.exe", "rasapi32.dll", "tapi32.dll",
                                         "serialui.dll"};

class AutoDialSessionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ProduceAllGlobalLogs(); }

    void SetUp() override {
        for (const char* name : kBesideTheLibrary)
            ASSERT_TRUE(CopyFileA((ProgramDirectory() + name).c_str(),
                                  (kit.Directory() + "\\" + name).c_str(), FALSE))
                << name;
        kit.SetKitPath(kit.Directory().c_str());
        kit.SetConfig("DataDir", "data");
        kit.SetConfig("ProfileDB", "profile");
        kit.SetConfig("LocationDB", "location");
        CreateDirectoryA((kit.Directory() + "\\data").c_str(), nullptr);
        doubles.Set("dial", "Delay", "50");
        recorder.Take();
    }

    void WriteSubscriber(const char* defaultEntry) {
        std::string error;
        ASSERT_TRUE(::WriteSubscriber(kit.Module(),
                                      "        Description=\"jdoe\"\r\n"
                                      "        LoginName=\"jdoe\"\r\n"
                                      "        Password=\"secret\"\r\n"
                                      "        DnsAddr1=10 0 0 1 \r\n",
                                      std::string("        Description=\"Home\"\r\n"
                                                  "        PopNumber 1=\"555-0100\"\r\n"
                                                  "        PopNumber 2=\"555-0199\"\r\n"
                                                  "        DefaultPOPEntry=") +
                                          defaultEntry + " \r\n",
                                      error))
            << error;
    }

    std::pair<BOOL, DWORD> Handle() {
        DWORD code = 0xDEAD;
        char entry[] = "Orvo VelTrane Service";
        BOOL handled = AutoDialHandler(nullptr, entry, 0, &code);
        return {handled, code};
    }

    // The "connect.exe exit code" the handler logged, or "" without one.
    std::string LoggedExitCode() {
        const std::string prefix = "256|AutoDialHandler: connect.exe exit code: ";
        for (const std::string& line : recorder.TakeLines("Win95Dialer"))
            if (line.compare(0, prefix.size(), prefix) == 0)
                return line.substr(prefix.size(), line.size() - prefix.size() - 1);
        return std::string();
    }

    // Waits until no Connect.exe runs any more (the kit directory cannot go
    // while it does).
    static bool ConnectEnded() {
        for (int i = 0; i < 150; ++i) {
            if (!ConnectRuns()) return true;
            Sleep(100);
        }
        return false;
    }
    static bool ConnectRuns() {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        bool found = false;
        for (BOOL more = Process32First(snapshot, &entry); more && !found;
             more = Process32Next(snapshot, &entry))
            found = lstrcmpiA(entry.szExeFile, "Connect.exe") == 0;
        CloseHandle(snapshot);
        return found;
    }

    void TearDown() override { EXPECT_TRUE(ConnectEnded()); }

    KitInstall kit;
    DoubleControl doubles;
    LogRecorder recorder;
};

TEST_F(AutoDialSessionTest, TheConnectionApplicationConnectsAndStaysUntilClosed) {
    WriteSubscriber("1");
    EXPECT_EQ(Handle(), std::make_pair(TRUE, 0ul));
    EXPECT_EQ(LoggedExitCode(), "259") << "still running when the semaphore ended the wait";

    HWND window = FindWindowA("OrvoVelTraneConnect", nullptr);
    ASSERT_NE(window, nullptr) << "Connect.exe keeps its window while connected";
    std::vector<std::string> dials = doubles.Calls("RasDialA");
    ASSERT_EQ(dials.size(), 1u);
    EXPECT_EQ(DoubleControl::Argument(dials[0], "phone"), "555-0199")
        << "the location's default POP entry";
    EXPECT_EQ(DoubleControl::Argument(dials[0], "user"), "jdoe");

    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    ASSERT_NE(process, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, 15000), WAIT_OBJECT_0);
    DWORD exitCode = 0xDEAD;
    GetExitCodeProcess(process, &exitCode);
    EXPECT_EQ(exitCode, 0u) << "hung up after a connection";
    CloseHandle(process);
    EXPECT_EQ(doubles.Calls("RasHangUpA").size(), 1u);
}

TEST_F(AutoDialSessionTest, AFailedDialEndsTheApplicationWithOne) {
    WriteSubscriber("0");
    doubles.Set("dial", "Events", "OpenPort,ConnectDevice:676");
    EXPECT_EQ(Handle(), std::make_pair(TRUE, 0ul)) << "not connected";
    // The dialer releases the semaphore when it disconnects after the
    // failure, so the wait may end before Connect.exe does.
    std::string exitCode = LoggedExitCode();
    EXPECT_TRUE(exitCode == "1" || exitCode == "259") << exitCode;
    EXPECT_TRUE(ConnectEnded());
    std::vector<std::string> dials = doubles.Calls("RasDialA");
    ASSERT_EQ(dials.size(), 1u);
    EXPECT_EQ(DoubleControl::Argument(dials[0], "phone"), "555-0100");
}

TEST_F(AutoDialSessionTest, NothingToDialEndsTheApplicationWithTwo) {
    WriteSubscriber("-1");
    EXPECT_EQ(Handle(), std::make_pair(TRUE, 0ul));
    EXPECT_EQ(LoggedExitCode(), "2");
    EXPECT_TRUE(doubles.Calls("RasDialA").empty());
}

}  // namespace
