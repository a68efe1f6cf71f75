// The serialui.dll double as the dialer reaches it: through kernel32's own
// GetDefaultCommConfigA and CommConfigDialogA, which load serialui.dll.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "dialer/platform/ModemTypes.h"
#include "tests/doubles/DoubleControl.h"
#include "tests/doubles/DoublesTestSupport.h"

using ::testing::ElementsAre;

namespace {

constexpr char MODEM[] = "Sim Modem 28800";

class SerialUiTest : public ::testing::Test {
protected:
    // The COMMCONFIG part of a device configuration block, as the dialer
    // passes it: dwSize and size 243.
    BOOL GetDefaults(const char* modem) {
        config()->dwSize = 243;
        size = 243;
        return GetDefaultCommConfigA(modem, config(), &size);
    }

    COMMCONFIG* config() { return buffer.As<COMMCONFIG>(); }
    ModemSettings* settings() {
        return reinterpret_cast<ModemSettings*>(buffer.Data() + config()->dwProviderOffset);
    }

    DoubleControl doubles;
    GuardedBuffer buffer{243};
    DWORD size = 0;
};

TEST_F(SerialUiTest, GetDefaultCommConfigReachesTheDoubleThroughKernel32) {
    ASSERT_TRUE(GetDefaults(MODEM)) << GetLastError();
    EXPECT_EQ(static_cast<DWORD>(PST_MODEM), config()->dwProviderSubType);
    EXPECT_EQ(48u, config()->dwProviderOffset);
    EXPECT_EQ(44u, config()->dwProviderSize);
    EXPECT_EQ(92u, config()->dwSize);
    EXPECT_EQ(115200u, config()->dcb.BaudRate);
    EXPECT_EQ(0u, settings()->dwInactivityTimeout);
    EXPECT_TRUE(buffer.UntouchedFrom(92));
    EXPECT_THAT(doubles.Journal(),
                ElementsAre("serialui!drvGetDefaultCommConfigW device=\"Sim Modem 28800\" "
                            "commConfig=set size=243 dwSize=243 -> 0 size=92"));

    doubles.Set("serialui", "InactivityTimeout", 600);
    ASSERT_TRUE(GetDefaults(MODEM));
    EXPECT_EQ(600u, settings()->dwInactivityTimeout);
}

TEST_F(SerialUiTest, GetDefaultCommConfigFailsWithTheScriptedLastError) {
    doubles.Set("serialui", "DefaultError", 1168);
    SetLastError(0);
    EXPECT_FALSE(GetDefaults(MODEM));
    EXPECT_EQ(1168u, GetLastError());

    doubles.Set("serialui", "DefaultError", nullptr);
    EXPECT_FALSE(GetDefaults("Unknown Modem"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(SerialUiTest, CommConfigDialogKeepsChangesOrFailsAsScripted) {
    ASSERT_TRUE(GetDefaults(MODEM));
    std::vector<BYTE> before(buffer.Data(), buffer.Data() + 243);
    EventWindow parent;
    ASSERT_TRUE(CommConfigDialogA(MODEM, parent.Handle(), config())) << GetLastError();
    EXPECT_EQ(before, std::vector<BYTE>(buffer.Data(), buffer.Data() + 243));
    std::string line = doubles.Calls("drvCommConfigDialogW").at(0);
    char handle[16];
    wsprintfA(handle, "0x%lx", static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(parent.Handle())));
    EXPECT_EQ(MODEM, DoubleControl::Argument(line, "device"));
    EXPECT_EQ(handle, DoubleControl::Argument(line, "parent"));

    doubles.Set("serialui", "Dialog", "change");
    ASSERT_TRUE(CommConfigDialogA(MODEM, parent.Handle(), config()));
    EXPECT_EQ(90u, settings()->dwInactivityTimeout);
    EXPECT_EQ(57600u, config()->dcb.BaudRate);

    doubles.Set("serialui", "DialogError", static_cast<DWORD>(ERROR_CANCELLED));
    SetLastError(0);
    EXPECT_FALSE(CommConfigDialogA(MODEM, parent.Handle(), config()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CANCELLED), GetLastError());
}

}  // namespace
