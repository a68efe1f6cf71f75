// The TAPI lookups of a modem's line against the tapi32 double: the calls
// in their order and with their arguments, the name match, and what each
// failure logs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "dialer/LineDevices.h"
#include "tests/dialer/DialerTestSupport.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class LineDevicesTest : public DialerTest {
protected:
    // The journal with the handles' values, which differ per run, as "H".
    std::vector<std::string> Journal() const {
        static const std::regex handle("(lineApp|line)=0x[0-9a-f]+");
        std::vector<std::string> lines;
        for (const std::string& line : doubles.Journal())
            lines.push_back(std::regex_replace(line, handle, "$1=H"));
        return lines;
    }
    // Three lines; the third connects at 33600 and can reach 57600.
    void ThreeModems() {
        doubles.Set("devices", "Count", 3);
        doubles.Set("tapi", "MaxRate", 2, 57600);
        doubles.Set("tapi", "DCERate", 2, 33600);
    }
};

TEST_F(LineDevicesTest, TheSpeedIsReadFromTheModemLinesConfiguration) {
    EXPECT_EQ(28800u, GetDCESpeed(kModem0));
    EXPECT_THAT(Journal(),
                ElementsAre("tapi32!lineInitialize lineApp=set instance=set callback=set "
                            "appName=null numDevs=set -> 0 lineApp=H numDevs=1",
                            "tapi32!lineNegotiateAPIVersion lineApp=H device=0 low=0x10003 "
                            "high=0x20000 version=set extensionId=set -> 0 version=0x20000",
                            "tapi32!lineOpen lineApp=H device=0 line=set api=0x20000 ext=0x0 "
                            "instance=0x0 privileges=0x1 media=0x10 callParams=null -> 0 line=H",
                            "tapi32!lineGetDevCaps lineApp=H device=0 api=0x20000 ext=0x0 "
                            "caps=set totalSize=1024 -> 0 neededSize=268 usedSize=268 "
                            "maxRate=115200",
                            "tapi32!lineGetDevConfig device=0 config=set totalSize=1024 "
                            "class=\"tapi/line\" -> 0 neededSize=128 usedSize=128",
                            "tapi32!lineClose line=H -> 0", "tapi32!lineShutdown lineApp=H -> 0"));
    EXPECT_THAT(Log(), ElementsAre("10|GetDCESpeed(): \n", "256|GetDCESpeed(): Line found\n",
                                   "256|GetDCESpeed(): Speed=28800\n", "20|GetDCESpeed(): \n"));
}

TEST_F(LineDevicesTest, EachDeviceIsOpenedAndExaminedInTurnAndNamesMatchInAnyCase) {
    ThreeModems();
    EXPECT_EQ(33600u, GetDCESpeed("sim MODEM 2"));
    EXPECT_THAT(
        CallNames(),
        ElementsAre("lineInitialize", "lineNegotiateAPIVersion", "lineOpen", "lineGetDevCaps",
                    "lineClose", "lineOpen", "lineGetDevCaps", "lineClose", "lineOpen",
                    "lineGetDevCaps", "lineGetDevConfig", "lineClose", "lineShutdown"));
    std::vector<std::string> devices;
    for (const std::string& line : Calls("lineOpen"))
        devices.push_back(DoubleControl::Argument(line, "device"));
    EXPECT_THAT(devices, ElementsAre("0", "1", "2"));
    EXPECT_EQ("2", DoubleControl::Argument(Calls("lineGetDevConfig")[0], "device"));
}

TEST_F(LineDevicesTest, ALineThatCannotBeOpenedDoesNotHideTheModemBehindIt) {
    ThreeModems();
    doubles.Set("tapi", "OpenError", 0, "0x80000001");
    EXPECT_EQ(33600u, GetDCESpeed("Sim Modem 2"));
    EXPECT_THAT(Log(), ElementsAre("10|GetDCESpeed(): \n",
                                   "1|GetDCESpeed(): lineOpen returned: 2147483649\n",
                                   "256|GetDCESpeed(): Line found\n",
                                   "256|GetDCESpeed(): Speed=33600\n", "20|GetDCESpeed(): \n"));
    EXPECT_THAT(Calls("lineGetDevCaps").size(), 3u)
        << "device 0's capabilities tell that it is another modem's line";

    // The modem's own line busy: no speed, and the log says why.
    doubles.Set("tapi", "OpenError", 2, "0x80000001");
    doubles.ClearJournal();
    EXPECT_EQ(0u, GetDCESpeed("Sim Modem 2"));
    EXPECT_THAT(Log(), ElementsAre("10|GetDCESpeed(): \n",
                                   "1|GetDCESpeed(): lineOpen returned: 2147483649\n",
                                   "1|GetDCESpeed(): The line of modem Sim Modem 2 could not be "
                                   "opened: lineOpen returned: 2147483649\n"));
    EXPECT_THAT(CallNames(),
                ElementsAre("lineInitialize", "lineNegotiateAPIVersion", "lineOpen",
                            "lineGetDevCaps", "lineOpen", "lineGetDevCaps", "lineClose", "lineOpen",
                            "lineGetDevCaps", "lineShutdown"));
}

TEST_F(LineDevicesTest, NoModemOfThatNameOrNoDevicesAtAll) {
    EXPECT_EQ(0u, GetDCESpeed("Other Modem"));
    EXPECT_THAT(Log(), ElementsAre("10|GetDCESpeed(): \n",
                                   "1|GetDCESpeed(): Modem Other Modem not found\n"));
    EXPECT_EQ(Calls("lineClose").size(), 1u);
    EXPECT_EQ(CallNames().back(), "lineShutdown");

    doubles.ClearJournal();
    doubles.Set("devices", "Count", "0");
    EXPECT_EQ(0u, GetDCESpeed(kModem0));
    EXPECT_THAT(Log(), ElementsAre("10|GetDCESpeed(): \n",
                                   "1|GetDCESpeed(): Modem Sim Modem 28800 not found\n"));
    EXPECT_THAT(CallNames(), ElementsAre("lineInitialize", "lineShutdown"))
        << "no device to agree on a version with";

    DWORD id = 7;
    DWORD rate = 7;
    EXPECT_EQ(0, GetLineDeviceInfo(kModem0, &id, &rate));
    EXPECT_EQ(7u, id);
    EXPECT_EQ(7u, rate);
    EXPECT_THAT(Log(), ElementsAre("10|GetLineDeviceInfo: entry\n",
                                   "1|GetLineDeviceInfo: Modem Sim Modem 28800 not found\n"));
}

// Every TAPI failure ends both lookups with 0, naming the failed call after
// the lookup's own prefix, and closes and shuts down what was opened.
TEST_F(LineDevicesTest, EveryTapiFailureEndsTheLookup) {
    struct Case {
        const char* key;
        std::string call;
        std::vector<std::string> speedCalls;
    };
    const Case cases[] = {
        {"InitializeError", "lineInitialize", {"lineInitialize"}},
        {"NegotiateError",
         "lineNegotiateAPIVersion",
         {"lineInitialize", "lineNegotiateAPIVersion", "lineShutdown"}},
        {"DevCapsError0",
         "lineGetDevCaps",
         {"lineInitialize", "lineNegotiateAPIVersion", "lineOpen", "lineGetDevCaps", "lineClose",
          "lineShutdown"}},
        {"DevConfigError0",
         "lineGetDevConfig",
         {"lineInitialize", "lineNegotiateAPIVersion", "lineOpen", "lineGetDevCaps",
          "lineGetDevConfig", "lineClose", "lineShutdown"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        doubles.ClearJournal();
        doubles.Set("tapi", c.key, "0x80000048");
        EXPECT_EQ(0u, GetDCESpeed(kModem0));
        EXPECT_EQ(c.speedCalls, CallNames());
        std::vector<std::string> log = Log();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ("1|GetDCESpeed(): " + c.call + " returned: 2147483720\n", log.back());

        doubles.ClearJournal();
        DWORD id = 7;
        int found = GetLineDeviceInfo(kModem0, &id, nullptr);
        doubles.Set("tapi", c.key, nullptr);
        if (c.call == "lineGetDevConfig") {
            EXPECT_EQ(1, found) << "no configuration is read";
            Log();
            continue;
        }
        EXPECT_EQ(0, found);
        EXPECT_EQ(7u, id);
        EXPECT_THAT(Log(),
                    ElementsAre("10|GetLineDeviceInfo: entry\n",
                                "1|GetLineDeviceInfo: " + c.call + " returned: 2147483720\n"));
        EXPECT_EQ(c.call == "lineInitialize" ? "lineInitialize" : "lineShutdown",
                  CallNames().back());
    }
}

TEST_F(LineDevicesTest, LineDeviceInfoOfTheThirdOfThreeDevices) {
    ThreeModems();
    DWORD id = 7;
    DWORD rate = 7;
    EXPECT_EQ(1, GetLineDeviceInfo("SIM modem 2", &id, &rate));
    EXPECT_EQ(2u, id);
    EXPECT_EQ(57600u, rate);
    EXPECT_THAT(Log(), ElementsAre("10|GetLineDeviceInfo: entry\n",
                                   "256|GetLineDeviceInfo: Modem SIM modem 2 found: DeviceID=2 "
                                   "MaxDCERate=57600\n",
                                   "20|GetLineDeviceInfo: exit\n"));
    EXPECT_THAT(CallNames(),
                ElementsAre("lineInitialize", "lineNegotiateAPIVersion", "lineGetDevCaps",
                            "lineGetDevCaps", "lineGetDevCaps", "lineShutdown"));

    EXPECT_EQ(1, GetLineDeviceInfo("Sim Modem 1", nullptr, nullptr));
    EXPECT_EQ(0, GetLineDeviceInfo("Sim Modem 3", &id, &rate));
    EXPECT_EQ(2u, id);
    EXPECT_EQ(57600u, rate);
}

}  // namespace
