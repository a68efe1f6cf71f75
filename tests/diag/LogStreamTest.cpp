// The log stream's message model and piece formats, observed through the
// log observer: the same cases natively and under Wine.
#include <gtest/gtest.h>
#include <win95/VLogOut.h>

#include <cstdio>
#include <string>

#include "tests/support/LogRecorder.h"
#ifdef _WIN32
#include "tests/support/TestFiles.h"
#endif

namespace {

// An INI file that produces every category on no device (the observer still
// sees everything). Natively every category is produced by default.
const char* ProducingIni() {
#ifdef _WIN32
    static TempDir dir;
    static std::string ini = dir.File("producing.ini");
    WritePrivateProfileStringA("GlobalDebug", "LogFlags", "ffffffff", ini.c_str());
    WritePrivateProfileStringA("GlobalDebug", "LogDevices", "0", ini.c_str());
    return ini.c_str();
#else
    return nullptr;
#endif
}

class Point : public VLoggable {
public:
    Point(int x, int y) : m_x(x), m_y(y) {}
    void LogTo(VLogOut& out) const override { out << "(" << m_x << "," << m_y << ")"; }

private:
    int m_x, m_y;
};

int g_manipulatorCalls = 0;
void CountingManipulator(VLogOut& out) {
    ++g_manipulatorCalls;
    out << "[m]";
}

class LogStreamTest : public ::testing::Test {
protected:
    LogRecorder recorder;
};

TEST_F(LogStreamTest, EveryPieceTypeHasItsFormat) {
    VLogOut log("Pieces", ProducingIni());
    const void* pointer = reinterpret_cast<const void*>(0x1234abcdUL);
    log(1) << "text " << -5 << " " << static_cast<short>(-2) << " " << 7u << " "
           << static_cast<unsigned short>(65535) << " " << -9L << " " << 4294967295UL << " "
           << pointer << " " << static_cast<signed char>('A') << static_cast<unsigned char>('z')
           << " " << Point(3, -4) << static_cast<const char*>(nullptr) << "\n";
    std::vector<LoggedMessage> messages = recorder.Take();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].module, "Pieces");
    EXPECT_EQ(messages[0].mask, 1u);
    EXPECT_EQ(messages[0].Text(), "text -5 -2 7 65535 -9 4294967295 @1234abcd Az (3,-4)\n");
}

TEST_F(LogStreamTest, MessagesStartWithTimeAndModulePrefix) {
    VLogOut log("Win95Dialer", ProducingIni());
    log(256) << "first\n";
    log(256, 1) << "continued\n";
    std::vector<LoggedMessage> messages = recorder.Take();
    ASSERT_EQ(messages.size(), 2u);
    ASSERT_EQ(messages[0].pieces.size(), 3u);
    EXPECT_TRUE(IsTimePrefix(messages[0].pieces[0])) << messages[0].pieces[0];
    EXPECT_EQ(messages[0].pieces[1], "Win95Dialer:  ");
    EXPECT_EQ(messages[1].pieces, std::vector<std::string>{"continued\n"})
        << "a continuation has no prefix";

    VLogOut longName("ModuleNameOfThirtyCharacters12", ProducingIni());
    longName(1) << "x";
    messages = recorder.Take();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].pieces[1], "ModuleNameOfThirtyCharac:  ")
        << "the prefix keeps 24 characters of the name";
}

TEST_F(LogStreamTest, HexModeAppliesToIntegersOnly) {
    VLogOut log("Hex", ProducingIni());
    log(0);  // the settings load sets the starting hex mode
    log.Hex();
    log(1) << -1 << " " << static_cast<short>(-1) << " " << 255UL << " " << 0u << " "
           << static_cast<unsigned short>(65535) << " " << static_cast<unsigned char>('q');
    log.UnHex();
    log(1) << -1 << " " << static_cast<unsigned short>(65535);
    std::vector<LoggedMessage> messages = recorder.Take();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].Text(), "0xffffffff 0xffffffff 0xff 0 0xffff q");
    EXPECT_EQ(messages[1].Text(), "-1 65535");
}

TEST_F(LogStreamTest, UnproducedMessagesDropPiecesButCallManipulators) {
    VLogOut log("Quiet", ProducingIni());
    EXPECT_EQ(log.Producing(), 0) << "nothing started yet";
    g_manipulatorCalls = 0;
    log(0) << "dropped " << 5 << Point(1, 2) << CountingManipulator;
    EXPECT_EQ(log.Producing(), 0);
    EXPECT_EQ(g_manipulatorCalls, 1);
    EXPECT_TRUE(recorder.Take().empty()) << "mask 0 meets no category";

    log(8) << "kept" << CountingManipulator;
    EXPECT_EQ(log.Producing(), 1);
    EXPECT_EQ(g_manipulatorCalls, 2);
    std::vector<LoggedMessage> messages = recorder.Take();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Text(), "kept[m]");
}

TEST_F(LogStreamTest, CopiesAndAssignmentsShareOneImplementation) {
    VLogOut* original = new VLogOut("Shared", ProducingIni());
    (*original)(0);
    VLogOut copy(*original);
    VLogOut assigned("Other", ProducingIni());
    assigned = copy;
    original->Hex();
    copy(1) << 16;
    delete original;
    assigned(1) << 17;
    VLogOut& alias = assigned;
    assigned = alias;
    copy.UnHex();
    assigned(1) << 18;
    std::vector<LoggedMessage> messages = recorder.Take();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].Text(), "0x10") << "hex mode lives in the shared implementation";
    EXPECT_EQ(messages[1].Text(), "0x11") << "the last streams keep the implementation alive";
    EXPECT_EQ(messages[2].module, "Shared");
    EXPECT_EQ(messages[2].pieces[1], "Shared:  ") << "the assigned stream took the module name";
    EXPECT_EQ(messages[2].Text(), "18");
}

TEST_F(LogStreamTest, StreamsWithoutModuleNameStaySilent) {
    VLogOut nameless("", ProducingIni());
    VLogOut null(nullptr, nullptr);
    for (VLogOut* log : {&nameless, &null}) {
        (*log)(1) << "never" << 1;
        log->Hex();
        log->UnHex();
        log->Indent();
        log->UnIndent();
        log->SetIndentSpacing(8);
        EXPECT_EQ(log->Producing(), 0);
        EXPECT_EQ(log->IniFileName(), nullptr);
        VLogOut copy(*log);
        copy(1) << "never";
        EXPECT_EQ(copy.Producing(), 0);
    }
    EXPECT_TRUE(recorder.Take().empty());
}

}  // namespace
