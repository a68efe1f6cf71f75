// The log stream under Wine with real INI files, log files and debugger
// output: settings lookup, flag and device rules, file bytes.
#include <gtest/gtest.h>
#include <win95/VLogOut.h>

#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ChildTest.h"
#include "tests/support/DebugMonitor.h"
#include "tests/support/KitInstall.h"
#include "tests/support/LogRecorder.h"

namespace {

// Replaces every time stamp by "<T>", after checking its shape.
std::string Masked(const std::string& content) {
    std::string out;
    for (size_t pos = 0; pos < content.size();) {
        if (pos + 19 <= content.size() && IsTimePrefix(content.substr(pos, 19))) {
            out += "<T>";
            pos += 19;
        } else {
            out += content[pos++];
        }
    }
    return out;
}

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        kit.SetKitPath(kit.Directory().c_str());
        kit.SetConfig("DataDir", "data");
        kit.SetConfig("LogDir", "logs");
        CreateDirectoryA(DataDir().c_str(), nullptr);
        CreateDirectoryA(LogDir().c_str(), nullptr);
    }

    std::string DataDir() const { return kit.Directory() + "\\data"; }
    std::string LogDir() const { return kit.Directory() + "\\logs"; }
    std::string Ini() const { return DataDir() + "\\veltrane.ini"; }
    std::string LogFile(const char* name = "setupwzd.log") const { return LogDir() + "\\" + name; }
    void Set(const char* section, const char* key, const char* value) {
        WritePrivateProfileStringA(section, key, value, Ini().c_str());
    }
    std::string Log(const char* name = "setupwzd.log") const {
        return Masked(ReadFileBytes(LogFile(name)));
    }

    KitInstall kit;
};

TEST_F(LogFileTest, AFailureMessageBecomesOneCrLfLine) {
    Set("Win95Dialer", "LogFlags", "1");
    Set("Win95Dialer", "LogDevices", "2");
    VLogOut log("Win95Dialer", nullptr);
    log(1) << "Dial(): CreateConnectoid() failed, retcode=" << 5UL << "\n";
    log(256) << "not produced\n";
    EXPECT_EQ(Log(), "<T>Win95Dialer:  Dial(): CreateConnectoid() failed, retcode=5\r\n");
    EXPECT_EQ(log.IniFileName(), Ini());
}

TEST_F(LogFileTest, BareLineFeedsGetCarriageReturnsInFilesOnly) {
    Set("GlobalDebug", "LogFlags", "1");
    Set("GlobalDebug", "LogDevices", "3");
    DebugMonitor monitor;
    ASSERT_TRUE(monitor.Active());
    VLogOut log("Ends", nullptr);
    log(1, 1) << "\nfirst\nsecond\r\nthird";
    log(1, 1) << "" << static_cast<const char*>(nullptr);
    EXPECT_EQ(ReadFileBytes(LogFile()), "\r\nfirst\r\nsecond\r\nthird");
    EXPECT_EQ(monitor.Take(), "\nfirst\nsecond\r\nthird");
}

TEST_F(LogFileTest, CategoryFlagsAndTheirSpellings) {
    Set("GlobalDebug", "LogDevices", "2");
    Set("Detail", "LogFlags", "8");
    Set("Main", "LogFlags", "2");
    Set("Spelled", "LogFlags", "0xFF");
    Set("Lower", "LogFlags", "ff");
    Set("Junk", "LogFlags", "zz");
    VLogOut detail("Detail", nullptr), main("Main", nullptr), spelled("Spelled", nullptr),
        lower("Lower", nullptr), junk("Junk", nullptr);
    detail(10) << "detail 10\n";
    main(10) << "main 10\n";
    main(8) << "main 8\n";
    spelled(128) << "spelled 128\n";
    spelled(256) << "spelled 256\n";
    lower(128) << "lower 128\n";
    junk(0xFFFFFFFF) << "junk\n";
    EXPECT_EQ(junk.Producing(), 0);
    EXPECT_EQ(Log(),
              "<T>Detail:  detail 10\r\n<T>Main:  main 10\r\n<T>Spelled:  spelled 128\r\n"
              "<T>Lower:  lower 128\r\n");
}

TEST_F(LogFileTest, LogActiveSwitchesEveryStreamOff) {
    Set("GlobalDebug", "LogFlags", "ffff");
    Set("GlobalDebug", "LogDevices", "2");
    for (const char* off : {"Off", "NO", "false", "0"}) {
        Set("GlobalDebug", "LogActive", off);
        VLogOut log("Switched", nullptr);
        log(1) << off;
        EXPECT_EQ(log.Producing(), 0) << off;
    }
    Set("GlobalDebug", "LogActive", "2");
    VLogOut log("Switched", nullptr);
    log(1) << "on\n";
    EXPECT_EQ(Log(), "<T>Switched:  on\r\n") << "an unknown value keeps the default";
}

TEST_F(LogFileTest, NoIniFileMeansNothingIsProduced) {
    VLogOut log("Nothing", nullptr);
    log(0xFFFFFFFF) << "x";
    EXPECT_EQ(log.Producing(), 0);
    EXPECT_FALSE(FileExists(LogFile()));
}

TEST_F(LogFileTest, GlobalHexBaseCannotBeUndoneModuleHexBaseCan) {
    Set("GlobalDebug", "LogFlags", "1");
    Set("GlobalDebug", "LogDevices", "2");
    Set("ModHex", "HexBase", "on");
    {
        VLogOut log("ModHex", nullptr);
        log(1) << 255 << " ";
        log.UnHex();
        log(1, 1) << 255 << "\n";
    }
    Set("GlobalDebug", "HexBase", "yes");
    {
        VLogOut log("GlobalHex", nullptr);
        log.UnHex();
        log(1) << 255 << "\n";
    }
    EXPECT_EQ(Log(), "<T>ModHex:  0xff 255\r\n<T>GlobalHex:  0xff\r\n");
}

TEST_F(LogFileTest, ModuleLogFileIsASecondFileUnlessItIsTheGlobalOne) {
    Set("GlobalDebug", "LogFlags", "1");
    Set("GlobalDebug", "LogDevices", "2");
    Set("GlobalDebug", "LogFile", "main.log");
    Set("Same", "LogFile", "main.log");
    Set("Cased", "LogFile", "MAIN.LOG");
    Set("Own", "LogFile", "own.log");
    VLogOut same("Same", nullptr), cased("Cased", nullptr), own("Own", nullptr);
    same(1) << "s\n";
    cased(1) << "c\n";
    own(1) << "o\n";
    EXPECT_EQ(Log("main.log"), "<T>Same:  s\r\n<T><T>Cased:  Cased:  c\r\nc\r\n<T>Own:  o\r\n")
        << "a name differing only in case names the same file twice: every piece twice";
    EXPECT_EQ(Log("own.log"), "<T>Own:  o\r\n");
}

TEST_F(LogFileTest, ReadOnlyLogFilesAreSkipped) {
    Set("GlobalDebug", "LogFlags", "1");
    Set("GlobalDebug", "LogDevices", "3");
    WriteFileBytes(LogFile(), "kept");
    SetFileAttributesA(LogFile().c_str(), FILE_ATTRIBUTE_READONLY);
    DebugMonitor monitor;
    VLogOut log("ReadOnly", nullptr);
    log(1, 1) << "text";
    EXPECT_EQ(ReadFileBytes(LogFile()), "kept");
    EXPECT_EQ(monitor.Take(), "text");
    SetFileAttributesA(LogFile().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(LogFileTest, LogFileValuesKeepOnlyTheirNameBehindTheLogDirectory) {
    Set("GlobalDebug", "LogFlags", "1");
    Set("GlobalDebug", "LogDevices", "2");
    Set("GlobalDebug", "LogFile", "C:\\elsewhere\\named.log");
    VLogOut log("Named", nullptr);
    log(1) << "n\n";
    EXPECT_EQ(Log("named.log"), "<T>Named:  n\r\n");
}

TEST_F(LogFileTest, WithoutLogDirTheLogGoesToTheCurrentDirectory) {
    kit.SetConfig("LogDir", nullptr);
    Set("GlobalDebug", "LogFlags", "1");
    Set("GlobalDebug", "LogDevices", "2");
    TempDir current;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(current.Path().c_str());
    {
        VLogOut log("Here", nullptr);
        log(1) << "h\n";
    }
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(Masked(ReadFileBytes(current.File("setupwzd.log"))), "<T>Here:  h\r\n");
}

TEST_F(LogFileTest, IniFileIsFoundFromCorecode) {
    VLogOut before("Where", nullptr);
    EXPECT_EQ(before.IniFileName(), nullptr) << "not established before the first message";
    before(1);
    EXPECT_EQ(std::string(before.IniFileName()), Ini());

    kit.SetConfig("LogIniFile", "D:\\ignored\\custom.ini");
    VLogOut custom("Where", nullptr);
    custom(1);
    EXPECT_EQ(std::string(custom.IniFileName()), DataDir() + "\\custom.ini");

    kit.SetConfig("DataDir", nullptr);
    kit.SetConfig("LogIniFile", nullptr);
    VLogOut own("Where", nullptr);
    own(1);
    EXPECT_EQ(std::string(own.IniFileName()), kit.Directory() + "\\veltrane.ini")
        << "without DataDir the INI file is beside the library";

    std::string given = kit.Directory() + "\\given\\g.ini";
    VLogOut explicitly("Where", given.c_str());
    explicitly(1);
    EXPECT_EQ(std::string(explicitly.IniFileName()), given);
}

TEST_F(LogFileTest, OverlongNamesAreCutNotOverrun) {
    std::string longIni(2000, 'i');
    VLogOut log("Long", longIni.c_str());
    log(1) << "x";
    EXPECT_EQ(log.Producing(), 0);
    ASSERT_NE(log.IniFileName(), nullptr);
    EXPECT_LE(std::string(log.IniFileName()).size(), 1100u);

    kit.SetConfig("LogDir", std::string(300, 'd').c_str());
    Set("GlobalDebug", "LogFlags", "1");
    Set("GlobalDebug", "LogDevices", "2");
    Set("GlobalDebug", "LogFile", std::string(400, 'f').c_str());
    VLogOut cut("Cut", nullptr);
    cut(1) << "y";
    EXPECT_EQ(cut.Producing(), 1);
}

// Threads whose first messages on a fresh stream meet all see the settings
// loaded: every message is produced.
TEST_F(LogFileTest, ThreadsRacingForTheFirstMessageAreAllProduced) {
    Set("GlobalDebug", "LogFlags", "1");
    constexpr int kRounds = 10, kThreads = 4;
    LogRecorder recorder;
    for (int round = 0; round < kRounds; ++round) {
        VLogOut log("Racer", nullptr);
        HANDLE start = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&] {
                WaitForSingleObject(start, INFINITE);
                log(1) << "first\n";
            });
        Sleep(20);
        SetEvent(start);
        for (std::thread& thread : threads) thread.join();
        CloseHandle(start);
    }
    EXPECT_EQ(recorder.TakeLines("Racer"),
              std::vector<std::string>(kRounds * kThreads, "1|first\n"));
}

const char kAppendIni[] = "WIN95_LOG_APPEND_INI";
const char kAppendProcess[] = "WIN95_LOG_APPEND_PROCESS";
constexpr int kAppendPieces = 1000;

// Two threads of this process each append kAppendPieces numbered pieces,
// "p<process> t<thread> n<number>", one piece a message.
void AppendPieces(const char* ini, int process) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([=] {
            VLogOut log("Appender", ini);
            for (int n = 0; n < kAppendPieces; ++n) {
                char piece[32];
                std::snprintf(piece, sizeof piece, "p%d t%d n%04d\n", process, t, n);
                log(1, 1) << piece;
            }
        });
    for (std::thread& thread : threads) thread.join();
}

// The child half of the next test; skipped unless started by it.
TEST(LogAppendChild, AppendsPieces) {
    char ini[MAX_PATH] = "";
    if (!GetEnvironmentVariableA(kAppendIni, ini, sizeof ini))
        GTEST_SKIP() << "started by TwoProcessesOfTwoThreadsEachAppendWholePieces";
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, "Win95LogAppendReady");
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, "Win95LogAppendGo");
    ASSERT_TRUE(ready && go);
    SetEvent(ready);
    WaitForSingleObject(go, 30000);
    AppendPieces(ini, 1);
}

// Two processes of two threads each append to one log file: every piece
// arrives whole, none is lost or overwritten.
TEST_F(LogFileTest, TwoProcessesOfTwoThreadsEachAppendWholePieces) {
    kit.SetConfig("LogDir", nullptr);  // both processes: the current directory
    std::string ini = DataDir() + "\\append.ini";
    WritePrivateProfileStringA("GlobalDebug", "LogFlags", "1", ini.c_str());
    WritePrivateProfileStringA("GlobalDebug", "LogDevices", "2", ini.c_str());
    WritePrivateProfileStringA("GlobalDebug", "LogFile", "append.log", ini.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    TempDir current;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(current.Path().c_str());

    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "Win95LogAppendReady");
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, "Win95LogAppendGo");
    {
        ChildTest child("LogAppendChild.*", kAppendIni, ini);
        ASSERT_TRUE(child.Started()) << child.StartError();
        EXPECT_EQ(WaitForSingleObject(ready, 30000), WAIT_OBJECT_0);
        SetEvent(go);
        AppendPieces(ini.c_str(), 0);
        EXPECT_EQ(child.Wait(120000), 0u);
    }
    CloseHandle(ready);
    CloseHandle(go);
    SetCurrentDirectoryA(previous);

    std::string content = ReadFileBytes(current.File("append.log"));
    std::set<std::string> pieces;
    size_t torn = 0;
    for (size_t start = 0; start < content.size();) {
        size_t end = content.find("\r\n", start);
        std::string line = content.substr(start, end == std::string::npos ? end : end - start);
        int p = -1, t = -1, n = -1;
        char rest = 0;
        if (std::sscanf(line.c_str(), "p%d t%d n%d%c", &p, &t, &n, &rest) != 3 || p < 0 || p > 1 ||
            t < 0 || t > 1 || n < 0 || n >= kAppendPieces || !pieces.insert(line).second) {
            if (++torn <= 5) ADD_FAILURE() << "torn or repeated: \"" << line << "\"";
        }
        if (end == std::string::npos) break;
        start = end + 2;
    }
    EXPECT_EQ(torn, 0u);
    EXPECT_EQ(pieces.size(), 4u * kAppendPieces) << "pieces lost";
}

TEST_F(LogFileTest, AStreamWithoutNameReportsOnTheDebuggerOutput) {
    DebugMonitor monitor;
    VLogOut log("", nullptr);
    EXPECT_EQ(monitor.Take(), "INTERNAL LOGGING ERROR:  length of module name is zero.\n");
}

}  // namespace
