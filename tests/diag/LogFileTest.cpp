// The log stream under Wine with real INI files, log files and debugger
// output: settings lookup, flag and device rules, file bytes.
#include <gtest/gtest.h>
#include <win95/VLogOut.h>

#include <string>

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

TEST_F(LogFileTest, AStreamWithoutNameReportsOnTheDebuggerOutput) {
    DebugMonitor monitor;
    VLogOut log("", nullptr);
    EXPECT_EQ(monitor.Take(), "INTERNAL LOGGING ERROR:  length of module name is zero.\n");
}

}  // namespace
