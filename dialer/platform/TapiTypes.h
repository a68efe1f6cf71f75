// The TAPI line records, constants and functions that the dialer uses, in
// their Windows 95 form and under the unsuffixed names that Windows 95's
// tapi32.dll exports (import library libtapi32_win95.a). Do not include
// <tapi.h> next to this header: the names are the same.
#ifndef WIN95_DIALER_PLATFORM_TAPITYPES_H
#define WIN95_DIALER_PLATFORM_TAPITYPES_H

#include <windows.h>

#include <cstddef>

#include "dialer/platform/ModemTypes.h"

DECLARE_HANDLE(HLINEAPP);
DECLARE_HANDLE(HLINE);

typedef void(CALLBACK* LINECALLBACK)(DWORD device, DWORD message, DWORD_PTR instance,
                                     DWORD_PTR param1, DWORD_PTR param2, DWORD_PTR param3);

struct LINEEXTENSIONID {
    DWORD dwExtensionID0;
    DWORD dwExtensionID1;
    DWORD dwExtensionID2;
    DWORD dwExtensionID3;
};

struct LINEDIALPARAMS {
    DWORD dwDialPause;
    DWORD dwDialSpeed;
    DWORD dwDigitDuration;
    DWORD dwWaitForDialtone;
};

struct LINECALLPARAMS;

// The line capabilities, fixed part as of API version 2.0 (252 bytes).
// Variable parts (the line name among them) follow it within dwTotalSize;
// offsets count from the start of the record.
struct LINEDEVCAPS {
    DWORD dwTotalSize;
    DWORD dwNeededSize;
    DWORD dwUsedSize;
    DWORD dwProviderInfoSize;
    DWORD dwProviderInfoOffset;
    DWORD dwSwitchInfoSize;
    DWORD dwSwitchInfoOffset;
    DWORD dwPermanentLineID;
    DWORD dwLineNameSize;
    DWORD dwLineNameOffset;
    DWORD dwStringFormat;
    DWORD dwAddressModes;
    DWORD dwNumAddresses;
    DWORD dwBearerModes;
    DWORD dwMaxRate;
    DWORD dwMediaModes;
    DWORD dwGenerateToneModes;
    DWORD dwGenerateToneMaxNumFreq;
    DWORD dwGenerateDigitModes;
    DWORD dwMonitorToneMaxNumFreq;
    DWORD dwMonitorToneMaxNumEntries;
    DWORD dwMonitorDigitModes;
    DWORD dwGatherDigitsMinTimeout;
    DWORD dwGatherDigitsMaxTimeout;
    DWORD dwMedCtlDigitMaxListSize;
    DWORD dwMedCtlMediaMaxListSize;
    DWORD dwMedCtlToneMaxListSize;
    DWORD dwMedCtlCallStateMaxListSize;
    DWORD dwDevCapFlags;
    DWORD dwMaxNumActiveCalls;
    DWORD dwAnswerMode;
    DWORD dwRingModes;
    DWORD dwLineStates;
    DWORD dwUUIAcceptSize;
    DWORD dwUUIAnswerSize;
    DWORD dwUUIMakeCallSize;
    DWORD dwUUIDropSize;
    DWORD dwUUISendUserUserInfoSize;
    DWORD dwUUICallInfoSize;
    LINEDIALPARAMS MinDialParams;
    LINEDIALPARAMS MaxDialParams;
    LINEDIALPARAMS DefaultDialParams;
    DWORD dwNumTerminals;
    DWORD dwTerminalCapsSize;
    DWORD dwTerminalCapsOffset;
    DWORD dwTerminalTextEntrySize;
    DWORD dwTerminalTextSize;
    DWORD dwTerminalTextOffset;
    DWORD dwDevSpecificSize;
    DWORD dwDevSpecificOffset;
    DWORD dwLineFeatures;       // API 1.4
    DWORD dwSettableDevStatus;  // API 2.0
    DWORD dwDeviceClassesSize;
    DWORD dwDeviceClassesOffset;
};

static_assert(sizeof(LINEDEVCAPS) == 252, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, dwTotalSize) == 0, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, dwNeededSize) == 4, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, dwUsedSize) == 8, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, dwPermanentLineID) == 28, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, dwLineNameSize) == 32, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, dwLineNameOffset) == 36, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, dwStringFormat) == 40, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, dwMaxRate) == 56, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, dwMediaModes) == 60, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, MinDialParams) == 156, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, dwNumTerminals) == 204, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, dwLineFeatures) == 236, "LINEDEVCAPS layout");
static_assert(offsetof(LINEDEVCAPS, dwDeviceClassesOffset) == 248, "LINEDEVCAPS layout");

// The fixed size of LINEDEVCAPS for each API version.
constexpr DWORD LINEDEVCAPS_SIZE_V13 = offsetof(LINEDEVCAPS, dwLineFeatures);
constexpr DWORD LINEDEVCAPS_SIZE_V14 = offsetof(LINEDEVCAPS, dwSettableDevStatus);
constexpr DWORD LINEDEVCAPS_SIZE_V20 = sizeof(LINEDEVCAPS);

// A variable-size string or block (lineGetDevConfig).
struct VARSTRING {
    DWORD dwTotalSize;
    DWORD dwNeededSize;
    DWORD dwUsedSize;
    DWORD dwStringFormat;
    DWORD dwStringSize;
    DWORD dwStringOffset;
};

static_assert(sizeof(VARSTRING) == 24, "VARSTRING layout");
static_assert(offsetof(VARSTRING, dwStringFormat) == 12, "VARSTRING layout");
static_assert(offsetof(VARSTRING, dwStringSize) == 16, "VARSTRING layout");
static_assert(offsetof(VARSTRING, dwStringOffset) == 20, "VARSTRING layout");

constexpr DWORD TAPI_VERSION_1_3 = 0x00010003;
constexpr DWORD TAPI_VERSION_1_4 = 0x00010004;
constexpr DWORD TAPI_VERSION_2_0 = 0x00020000;

constexpr DWORD STRINGFORMAT_ASCII = 1;
constexpr DWORD STRINGFORMAT_BINARY = 4;
constexpr DWORD LINECALLPRIVILEGE_NONE = 0x00000001;
constexpr DWORD LINEMEDIAMODE_INTERACTIVEVOICE = 0x00000004;
constexpr DWORD LINEMEDIAMODE_DATAMODEM = 0x00000010;
constexpr DWORD LINEBEARERMODE_VOICE = 0x00000001;
constexpr DWORD LINEADDRESSMODE_ADDRESSID = 0x00000001;

constexpr char TAPI_LINE_CLASS[] = "tapi/line";

// TAPI results (negative: the LINEERR_ codes).
constexpr LONG LINEERR_ALLOCATED = static_cast<LONG>(0x80000001);
constexpr LONG LINEERR_BADDEVICEID = static_cast<LONG>(0x80000002);
constexpr LONG LINEERR_INCOMPATIBLEAPIVERSION = static_cast<LONG>(0x8000000C);
constexpr LONG LINEERR_INVALAPPHANDLE = static_cast<LONG>(0x80000014);
constexpr LONG LINEERR_INVALDEVICECLASS = static_cast<LONG>(0x80000023);
constexpr LONG LINEERR_INVALLINEHANDLE = static_cast<LONG>(0x8000002B);
constexpr LONG LINEERR_INVALMEDIAMODE = static_cast<LONG>(0x8000002F);
constexpr LONG LINEERR_INVALPOINTER = static_cast<LONG>(0x80000035);
constexpr LONG LINEERR_NODEVICE = static_cast<LONG>(0x80000042);
constexpr LONG LINEERR_OPERATIONFAILED = static_cast<LONG>(0x80000048);
constexpr LONG LINEERR_RESOURCEUNAVAIL = static_cast<LONG>(0x8000004B);
constexpr LONG LINEERR_STRUCTURETOOSMALL = static_cast<LONG>(0x8000004D);
constexpr LONG LINEERR_UNINITIALIZED = static_cast<LONG>(0x80000050);

extern "C" {
__declspec(dllimport) LONG WINAPI
    lineInitialize(HLINEAPP* lineApp, HINSTANCE instance, LINECALLBACK callback, LPCSTR appName,
                   DWORD* numDevs);
__declspec(dllimport) LONG WINAPI
    lineNegotiateAPIVersion(HLINEAPP lineApp, DWORD deviceId, DWORD apiLowVersion,
                            DWORD apiHighVersion, DWORD* apiVersion, LINEEXTENSIONID* extensionId);
__declspec(dllimport) LONG WINAPI
    lineOpen(HLINEAPP lineApp, DWORD deviceId, HLINE* line, DWORD apiVersion, DWORD extVersion,
             DWORD_PTR callbackInstance, DWORD privileges, DWORD mediaModes,
             LINECALLPARAMS* callParams);
__declspec(dllimport) LONG WINAPI lineGetDevCaps(HLINEAPP lineApp, DWORD deviceId, DWORD apiVersion,
                                                 DWORD extVersion, LINEDEVCAPS* caps);
__declspec(dllimport) LONG WINAPI
    lineGetDevConfig(DWORD deviceId, VARSTRING* deviceConfig, LPCSTR deviceClass);
__declspec(dllimport) LONG WINAPI lineClose(HLINE line);
__declspec(dllimport) LONG WINAPI lineShutdown(HLINEAPP lineApp);
}

#endif
