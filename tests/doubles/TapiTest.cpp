// The tapi32.dll double through the linked Windows 95 names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "dialer/platform/TapiTypes.h"
#include "tests/doubles/DoubleControl.h"
#include "tests/doubles/DoublesTestSupport.h"

namespace {

void CALLBACK IgnoreLineEvent(DWORD, DWORD, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) {}

class TapiTest : public ::testing::Test {
protected:
    void Initialize() {
        ASSERT_EQ(
            0, lineInitialize(&app, GetModuleHandleA(nullptr), IgnoreLineEvent, nullptr, &numDevs));
    }

    void TearDown() override {
        if (app) lineShutdown(app);
    }

    std::string LineName(LINEDEVCAPS* caps) {
        return std::string(reinterpret_cast<char*>(caps) + caps->dwLineNameOffset,
                           caps->dwLineNameSize);
    }

    LONG DevConfig(DWORD device, GuardedBuffer& buffer, DWORD total) {
        VARSTRING* config = buffer.As<VARSTRING>();
        config->dwTotalSize = total;
        return lineGetDevConfig(device, config, "tapi/line");
    }

    DWORD NegotiatedRate(GuardedBuffer& buffer) {
        VARSTRING* config = buffer.As<VARSTRING>();
        DWORD rate = 0;
        std::memcpy(&rate, buffer.Data() + config->dwStringOffset + 100, sizeof rate);
        return rate;
    }

    DoubleControl doubles;
    HLINEAPP app = nullptr;
    DWORD numDevs = 0;
};

TEST_F(TapiTest, DefaultLineHasTheModemNameRatesAndConfiguration) {
    Initialize();
    EXPECT_EQ(1u, numDevs);
    DWORD version = 0;
    LINEEXTENSIONID extension;
    ASSERT_EQ(0, lineNegotiateAPIVersion(app, 0, TAPI_VERSION_1_3, TAPI_VERSION_2_0, &version,
                                         &extension));
    EXPECT_EQ(TAPI_VERSION_2_0, version);

    GuardedBuffer caps(1024);
    caps.As<LINEDEVCAPS>()->dwTotalSize = 1024;
    ASSERT_EQ(0, lineGetDevCaps(app, 0, version, 0, caps.As<LINEDEVCAPS>()));
    LINEDEVCAPS* c = caps.As<LINEDEVCAPS>();
    EXPECT_EQ(std::string("Sim Modem 28800", 16), LineName(c));
    EXPECT_EQ(252u, c->dwLineNameOffset);
    EXPECT_EQ(268u, c->dwNeededSize);
    EXPECT_EQ(268u, c->dwUsedSize);
    EXPECT_EQ(115200u, c->dwMaxRate);
    EXPECT_TRUE(caps.UntouchedFrom(268));

    HLINE line = nullptr;
    ASSERT_EQ(0, lineOpen(app, 0, &line, version, 0, 0, LINECALLPRIVILEGE_NONE,
                          LINEMEDIAMODE_DATAMODEM, nullptr));
    GuardedBuffer config(1024);
    ASSERT_EQ(0, DevConfig(0, config, 1024));
    VARSTRING* v = config.As<VARSTRING>();
    EXPECT_EQ(STRINGFORMAT_BINARY, v->dwStringFormat);
    EXPECT_EQ(24u, v->dwStringOffset);
    EXPECT_EQ(104u, v->dwStringSize);
    EXPECT_EQ(28800u, NegotiatedRate(config));
    EXPECT_EQ(0, lineClose(line));
    EXPECT_EQ(LINEERR_INVALLINEHANDLE, lineClose(line));

    std::string open = doubles.Calls("lineOpen").at(0);
    EXPECT_EQ("0", DoubleControl::Argument(open, "device"));
    EXPECT_EQ("0x20000", DoubleControl::Argument(open, "api"));
    EXPECT_EQ("0x1", DoubleControl::Argument(open, "privileges"));
    EXPECT_EQ("0x10", DoubleControl::Argument(open, "media"));
    EXPECT_EQ("0", DoubleControl::Result(open));
}

TEST_F(TapiTest, ScriptedLinesAndPerDeviceFailures) {
    doubles.Set("devices", "Count", 3);
    doubles.Set("devices", "Name", 1, "Modem B");
    doubles.Set("tapi", "LineName", 2, "Modem C line");
    doubles.Set("tapi", "MaxRate", 2, 57600);
    doubles.Set("tapi", "DCERate", 2, 50666);
    doubles.Set("tapi", "OpenError0", "0x80000001");
    doubles.Set("tapi", "DevCapsError", 1, "0x80000048");
    Initialize();
    EXPECT_EQ(3u, numDevs);

    HLINE line = nullptr;
    EXPECT_EQ(LINEERR_ALLOCATED,
              lineOpen(app, 0, &line, TAPI_VERSION_2_0, 0, 0, LINECALLPRIVILEGE_NONE,
                       LINEMEDIAMODE_DATAMODEM, nullptr));
    EXPECT_EQ(0, lineOpen(app, 2, &line, TAPI_VERSION_2_0, 0, 0, LINECALLPRIVILEGE_NONE,
                          LINEMEDIAMODE_DATAMODEM, nullptr));
    EXPECT_EQ(LINEERR_BADDEVICEID,
              lineOpen(app, 3, &line, TAPI_VERSION_2_0, 0, 0, LINECALLPRIVILEGE_NONE,
                       LINEMEDIAMODE_DATAMODEM, nullptr));

    GuardedBuffer caps(1024);
    caps.As<LINEDEVCAPS>()->dwTotalSize = 1024;
    EXPECT_EQ(LINEERR_OPERATIONFAILED,
              lineGetDevCaps(app, 1, TAPI_VERSION_2_0, 0, caps.As<LINEDEVCAPS>()));
    ASSERT_EQ(0, lineGetDevCaps(app, 2, TAPI_VERSION_2_0, 0, caps.As<LINEDEVCAPS>()));
    EXPECT_EQ(std::string("Modem C line", 13), LineName(caps.As<LINEDEVCAPS>()));
    EXPECT_EQ(57600u, caps.As<LINEDEVCAPS>()->dwMaxRate);

    GuardedBuffer config(1024);
    ASSERT_EQ(0, DevConfig(2, config, 1024));
    EXPECT_EQ(50666u, NegotiatedRate(config));
    EXPECT_EQ("0x80000001", DoubleControl::Result(doubles.Calls("lineOpen").at(0)));
}

TEST_F(TapiTest, CallerSizesAreHonoured) {
    Initialize();
    GuardedBuffer caps(256);
    caps.As<LINEDEVCAPS>()->dwTotalSize = 256;  // room for the fixed part, not the name
    ASSERT_EQ(0, lineGetDevCaps(app, 0, TAPI_VERSION_2_0, 0, caps.As<LINEDEVCAPS>()));
    EXPECT_EQ(268u, caps.As<LINEDEVCAPS>()->dwNeededSize);
    EXPECT_EQ(252u, caps.As<LINEDEVCAPS>()->dwUsedSize);
    EXPECT_EQ(0u, caps.As<LINEDEVCAPS>()->dwLineNameSize);
    EXPECT_TRUE(caps.UntouchedFrom(252));
    caps.As<LINEDEVCAPS>()->dwTotalSize = 240;
    EXPECT_EQ(LINEERR_STRUCTURETOOSMALL,
              lineGetDevCaps(app, 0, TAPI_VERSION_2_0, 0, caps.As<LINEDEVCAPS>()));
    // A 1.4 caller's fixed part is shorter.
    EXPECT_EQ(0, lineGetDevCaps(app, 0, TAPI_VERSION_1_4, 0, caps.As<LINEDEVCAPS>()));

    GuardedBuffer config(74);
    ASSERT_EQ(0, DevConfig(0, config, 74));
    EXPECT_EQ(128u, config.As<VARSTRING>()->dwNeededSize);
    EXPECT_EQ(24u, config.As<VARSTRING>()->dwUsedSize);
    EXPECT_EQ(0u, config.As<VARSTRING>()->dwStringSize);
    EXPECT_TRUE(config.UntouchedFrom(24));
    EXPECT_EQ(LINEERR_STRUCTURETOOSMALL, DevConfig(0, config, 20));
    config.As<VARSTRING>()->dwTotalSize = 74;
    EXPECT_EQ(LINEERR_INVALDEVICECLASS, lineGetDevConfig(0, config.As<VARSTRING>(), "comm"));
}

TEST_F(TapiTest, VersionNegotiationAndScriptedFailures) {
    Initialize();
    DWORD version = 0;
    LINEEXTENSIONID extension;
    EXPECT_EQ(0,
              lineNegotiateAPIVersion(app, 0, TAPI_VERSION_1_3, 0x00030000, &version, &extension));
    EXPECT_EQ(TAPI_VERSION_2_0, version);
    EXPECT_EQ(0, lineNegotiateAPIVersion(app, 0, TAPI_VERSION_1_3, TAPI_VERSION_1_4, &version,
                                         &extension));
    EXPECT_EQ(TAPI_VERSION_1_4, version);
    EXPECT_EQ(LINEERR_INCOMPATIBLEAPIVERSION,
              lineNegotiateAPIVersion(app, 0, 0x00010000, 0x00010002, &version, &extension));

    doubles.Set("tapi", "NegotiateError", "0x80000048");
    EXPECT_EQ(
        LINEERR_OPERATIONFAILED,
        lineNegotiateAPIVersion(app, 0, TAPI_VERSION_1_3, TAPI_VERSION_2_0, &version, &extension));
    EXPECT_EQ(0, lineShutdown(app));
    EXPECT_EQ(LINEERR_INVALAPPHANDLE, lineShutdown(app));
    app = nullptr;

    doubles.Set("tapi", "InitializeError", "0x80000043");
    HLINEAPP other = nullptr;
    EXPECT_EQ(static_cast<LONG>(0x80000043),
              lineInitialize(&other, nullptr, IgnoreLineEvent, nullptr, &numDevs));
}

}  // namespace
