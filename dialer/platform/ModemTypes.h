// A modem's device configuration block, as RAS keeps it with a phonebook
// entry and as TAPI's lineGetDevConfig returns it for the class
// "tapi/line": a 12-byte header, the fixed part of a COMMCONFIG, then the
// modem provider's MODEMSETTINGS (which the COMMCONFIG's dwProviderOffset
// points at, counted from the start of the COMMCONFIG).
#ifndef WIN95_DIALER_PLATFORM_MODEMTYPES_H
#define WIN95_DIALER_PLATFORM_MODEMTYPES_H

#include <windows.h>

#include <cstddef>

// The header in front of the COMMCONFIG.
struct DevConfigHeader {
    DWORD dwSize;  // of the whole block
    DWORD dwVersion;
    WORD fwOptions;
    WORD wWaitBong;
};

static_assert(sizeof(DevConfigHeader) == 12, "DevConfigHeader layout");

constexpr DWORD DEVCONFIG_VERSION = 0x00010003;
constexpr WORD DEVCONFIG_OPTION_LAUNCH_LIGHTS = 0x0008;

// COMMCONFIG without its variable provider data: <winbase.h>'s COMMCONFIG
// ends in a one-element array, so its sizeof (52) is not the fixed size.
struct CommConfigFixed {
    DWORD dwSize;
    WORD wVersion;
    WORD wReserved;
    DCB dcb;
    DWORD dwProviderSubType;
    DWORD dwProviderOffset;
    DWORD dwProviderSize;
};

static_assert(sizeof(CommConfigFixed) == 48, "CommConfigFixed layout");
static_assert(offsetof(CommConfigFixed, dwSize) == offsetof(COMMCONFIG, dwSize), "layout");
static_assert(offsetof(CommConfigFixed, wVersion) == offsetof(COMMCONFIG, wVersion), "layout");
static_assert(offsetof(CommConfigFixed, wReserved) == offsetof(COMMCONFIG, wReserved), "layout");
static_assert(offsetof(CommConfigFixed, dcb) == offsetof(COMMCONFIG, dcb), "layout");
static_assert(offsetof(CommConfigFixed, dwProviderSubType) ==
                  offsetof(COMMCONFIG, dwProviderSubType),
              "layout");
static_assert(offsetof(CommConfigFixed, dwProviderOffset) == offsetof(COMMCONFIG, dwProviderOffset),
              "layout");
static_assert(offsetof(CommConfigFixed, dwProviderSize) == offsetof(COMMCONFIG, dwProviderSize),
              "layout");
static_assert(offsetof(COMMCONFIG, wcProviderData) == 48, "provider data follows the fixed part");

// The fixed part of the modem provider settings: <mcx.h>'s MODEMSETTINGS
// (which <windows.h> brings, with the MDM* constants) less its variable
// portion, whose one-element array makes sizeof(MODEMSETTINGS) 48.
struct ModemSettings {
    DWORD dwActualSize;
    DWORD dwRequiredSize;
    DWORD dwDevSpecificOffset;
    DWORD dwDevSpecificSize;
    DWORD dwCallSetupFailTimer;  // seconds
    DWORD dwInactivityTimeout;   // seconds, 0: none
    DWORD dwSpeakerVolume;
    DWORD dwSpeakerMode;
    DWORD dwPreferredModemOptions;
    DWORD dwNegotiatedModemOptions;
    DWORD dwNegotiatedDCERate;
};

static_assert(sizeof(ModemSettings) == 44, "ModemSettings layout");
static_assert(offsetof(ModemSettings, dwCallSetupFailTimer) == 16, "ModemSettings layout");
static_assert(offsetof(ModemSettings, dwInactivityTimeout) == 20, "ModemSettings layout");
static_assert(offsetof(ModemSettings, dwSpeakerVolume) == 24, "ModemSettings layout");
static_assert(offsetof(ModemSettings, dwSpeakerMode) == 28, "ModemSettings layout");
static_assert(offsetof(ModemSettings, dwPreferredModemOptions) == 32, "ModemSettings layout");
static_assert(offsetof(ModemSettings, dwNegotiatedModemOptions) == 36, "ModemSettings layout");
static_assert(offsetof(ModemSettings, dwNegotiatedDCERate) == 40, "ModemSettings layout");

static_assert(offsetof(ModemSettings, dwInactivityTimeout) ==
                  offsetof(MODEMSETTINGS, dwInactivityTimeout),
              "layout");
static_assert(offsetof(ModemSettings, dwNegotiatedDCERate) ==
                  offsetof(MODEMSETTINGS, dwNegotiatedDCERate),
              "layout");
static_assert(offsetof(MODEMSETTINGS, abVariablePortion) == sizeof(ModemSettings),
              "variable portion follows the fixed part");

// A COMMCONFIG whose provider data are the modem settings, right after the
// fixed part (dwProviderOffset 48, dwProviderSize 44).
struct ModemCommConfig {
    CommConfigFixed commConfig;
    ModemSettings modemSettings;
};

static_assert(sizeof(ModemCommConfig) == 92, "ModemCommConfig layout");
static_assert(offsetof(ModemCommConfig, modemSettings) == 48, "ModemCommConfig layout");

// The whole device configuration block.
struct ModemDevConfig {
    DevConfigHeader header;
    ModemCommConfig config;
};

static_assert(sizeof(ModemDevConfig) == 104, "ModemDevConfig layout");
static_assert(offsetof(ModemDevConfig, config.commConfig) == 12, "ModemDevConfig layout");
static_assert(offsetof(ModemDevConfig, config.modemSettings) == 60, "ModemDevConfig layout");
static_assert(offsetof(ModemDevConfig, config.modemSettings.dwInactivityTimeout) == 80,
              "ModemDevConfig layout");
static_assert(offsetof(ModemDevConfig, config.modemSettings.dwNegotiatedDCERate) == 100,
              "the connect speed is read at byte 100 of the block");

// Where the COMMCONFIG and the negotiated rate lie in a block of any size.
constexpr size_t DEVCONFIG_COMMCONFIG_OFFSET = offsetof(ModemDevConfig, config.commConfig);
constexpr size_t DEVCONFIG_DCE_RATE_OFFSET =
    offsetof(ModemDevConfig, config.modemSettings.dwNegotiatedDCERate);

#endif
