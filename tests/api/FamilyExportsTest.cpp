// Every family export reaches its slot with its arguments unchanged, and the
// frame answers 1, 3 and 9 before any slot is called.
#include <gtest/gtest.h>
#include <win95/Exports.h>

#include <functional>
#include <string>
#include <vector>

#include "api/Library.h"
#include "api/ObjectHandleTable.h"
#include "tests/api/RecordingObjects.h"

namespace {

struct FamilyCall {
    const char* expected;  // the slot call the export must make
    std::function<DWORD(DWORD)> call;
};

#define CALL(expected, ...)                           \
    FamilyCall {                                      \
        expected, [](DWORD h) { return __VA_ARGS__; } \
    }

const std::vector<FamilyCall>& ApplicationCalls() {
    static const std::vector<FamilyCall> calls = {
        CALL("LaunchApp(11)", LaunchApp(h, 11)),
        CALL("Terminate()", Terminate(h)),
        CALL("IsRunning(12)", IsRunning(h, 12)),
        CALL("IsInstalled(13,14,15)", IsInstalled(h, 13, 14, 15)),
    };
    return calls;
}

const std::vector<FamilyCall>& BrowserCalls() {
    static const std::vector<FamilyCall> calls = {
        CALL("AddBookmark(1,2)", AddBookmark(h, 1, 2)),
        CALL("GetBookmark(3,4,5)", GetBookmark(h, 3, 4, 5)),
        CALL("RemoveBookmark(6)", RemoveBookmark(h, 6)),
        CALL("SetHomePage(7)", SetHomePage(h, 7)),
        CALL("GetHomePage(8,9)", GetHomePage(h, 8, 9)),
        CALL("IsBrowserConfigured(10)", IsBrowserConfigured(h, 10)),
        CALL("BrowserPostSets()", BrowserPostSets(h)),
        CALL("BrowserPreGets()", BrowserPreGets(h)),
    };
    return calls;
}

const std::vector<FamilyCall>& MailCalls() {
    static const std::vector<FamilyCall> calls = {
        CALL("GetSMTPAddress(1,2)", GetSMTPAddress(h, 1, 2)),
        CALL("SetSMTPAddress(3)", SetSMTPAddress(h, 3)),
        CALL("GetPOP3Address(4,5)", GetPOP3Address(h, 4, 5)),
        CALL("SetPOP3Address(6)", SetPOP3Address(h, 6)),
        CALL("SetEmailName(7)", SetEmailName(h, 7)),
        CALL("GetEmailName(8,9)", GetEmailName(h, 8, 9)),
        CALL("SetPOP3Password(10)", SetPOP3Password(h, 10)),
        CALL("GetPOP3Password(11,12)", GetPOP3Password(h, 11, 12)),
        CALL("GetPOP3User(13,14)", GetPOP3User(h, 13, 14)),
        CALL("SetPOP3User(15)", SetPOP3User(h, 15)),
        CALL("GetEmailAddress(16,17)", GetEmailAddress(h, 16, 17)),
        CALL("SetEmailAddress(18)", SetEmailAddress(h, 18)),
        CALL("GetOrganization(19,20)", GetOrganization(h, 19, 20)),
        CALL("SetOrganization(21)", SetOrganization(h, 21)),
        CALL("IsMailConfigured(22)", IsMailConfigured(h, 22)),
        CALL("MailPostSets()", MailPostSets(h)),
        CALL("MailPreGets()", MailPreGets(h)),
    };
    return calls;
}

const std::vector<FamilyCall>& NewsCalls() {
    static const std::vector<FamilyCall> calls = {
        CALL("SetNewsServerAddress(1)", SetNewsServerAddress(h, 1)),
        CALL("GetNewsServerAddress(2,3)", GetNewsServerAddress(h, 2, 3)),
        CALL("IsNewsConfigured(4)", IsNewsConfigured(h, 4)),
        CALL("NewsPostSets()", NewsPostSets(h)),
        CALL("NewsPreGets()", NewsPreGets(h)),
    };
    return calls;
}

const std::vector<FamilyCall>& SystemCalls() {
    static const std::vector<FamilyCall> calls = {
        CALL("ComponentsInstalled(1)", ComponentsInstalled(h, 1)),
        CALL("InstallComponents(2)", InstallComponents(h, 2)),
        CALL("Uninstall(3)", Uninstall(h, 3)),
        CALL("GetWinsockName(4,5)", GetWinsockName(h, 4, 5)),
        CALL("IsMachinePCMCIA(6)", IsMachinePCMCIA(h, 6)),
    };
    return calls;
}

class FamilyExportsTest : public ::testing::Test {
protected:
    void SetUp() override { LibraryAttach(GetModuleHandleA(nullptr)); }
    void TearDown() override {
        for (DWORD handle = 1; handle <= WIN95_MAX_OBJECTS; ++handle) FreeObject(handle);
    }

    // Calls every export of the list on the handle; each must reach its slot
    // and return that slot's result.
    void ExpectReached(DWORD handle, const std::vector<FamilyCall>& calls) {
        for (const FamilyCall& c : calls) {
            DWORD result = c.call(handle);
            std::string seen = log.Take();
            EXPECT_EQ(seen, c.expected);
            EXPECT_GE(result, 100u) << c.expected << " must return the slot's result";
        }
    }

    void ExpectAnswer(DWORD handle, const std::vector<FamilyCall>& calls, DWORD answer) {
        for (const FamilyCall& c : calls) {
            EXPECT_EQ(c.call(handle), answer) << c.expected;
            EXPECT_EQ(log.Take(), "") << c.expected << " must not reach a slot";
        }
    }

    CallLog log;
};

TEST_F(FamilyExportsTest, ApplicationExportsReachTheirSlots) {
    DWORD app = ObjectHandleTable::Insert(new RecordingApplication(log, true, true, true));
    ExpectReached(app, ApplicationCalls());
    ExpectReached(app, BrowserCalls());
    ExpectReached(app, MailCalls());
    ExpectReached(app, NewsCalls());
}

TEST_F(FamilyExportsTest, SystemExportsReachTheirSlots) {
    DWORD system = ObjectHandleTable::Insert(new RecordingSystem(log));
    ExpectReached(system, SystemCalls());
}

TEST_F(FamilyExportsTest, MissingSubinterfacesAnswerNine) {
    DWORD app = ObjectHandleTable::Insert(new RecordingApplication(log, false, false, false));
    ExpectAnswer(app, BrowserCalls(), 9);
    ExpectAnswer(app, MailCalls(), 9);
    ExpectAnswer(app, NewsCalls(), 9);
    ExpectReached(app, ApplicationCalls());
}

TEST_F(FamilyExportsTest, PresenceTestsStoreOneOrZeroAndReturnZero) {
    DWORD mailOnly = ObjectHandleTable::Insert(new RecordingApplication(log, false, true, false));
    DWORD supported = 0xDEAD;
    EXPECT_EQ(IsMailSupported(mailOnly, &supported), 0u);
    EXPECT_EQ(supported, 1u);
    EXPECT_EQ(IsBrowserSupported(mailOnly, &supported), 0u);
    EXPECT_EQ(supported, 0u);
    supported = 0xDEAD;
    EXPECT_EQ(IsNewsSupported(mailOnly, &supported), 0u);
    EXPECT_EQ(supported, 0u);
    EXPECT_EQ(IsMailSupported(mailOnly, nullptr), 1u) << "a null out-value is refused";
}

TEST_F(FamilyExportsTest, WrongTypesAnswerThree) {
    DWORD dialer = 0;
    ASSERT_EQ(GetObjectHandle(WIN95_DIALER_CLASS_ID, &dialer), 0u);
    DWORD system = ObjectHandleTable::Insert(new RecordingSystem(log));
    DWORD app = ObjectHandleTable::Insert(new RecordingApplication(log, true, true, true));

    for (DWORD handle : {dialer, system}) {
        ExpectAnswer(handle, ApplicationCalls(), 3);
        ExpectAnswer(handle, BrowserCalls(), 3);
        ExpectAnswer(handle, MailCalls(), 3);
        ExpectAnswer(handle, NewsCalls(), 3);
        DWORD supported = 0xDEAD;
        EXPECT_EQ(IsBrowserSupported(handle, &supported), 3u);
        EXPECT_EQ(supported, 0xDEADu);
        EXPECT_EQ(SaveData(handle, 1), 3u);
        EXPECT_EQ(LoadData(handle, 1), 3u);
    }
    ExpectAnswer(dialer, SystemCalls(), 3);
    ExpectAnswer(app, SystemCalls(), 3);

    DWORD status = 0;
    for (DWORD handle : {system, app}) {
        EXPECT_EQ(Dial(handle, nullptr), 3u);
        EXPECT_EQ(HangUp(handle), 3u);
        EXPECT_EQ(GetStatus(handle, &status), 3u);
    }
    EXPECT_EQ(log.Take(), "");
}

}  // namespace
