// The Windows 95 forms of the RAS records, result codes and functions that
// the dialer uses, declared here so that their sizes do not depend on the
// WINVER that MinGW's <ras.h> keys its layouts on. Do not include <ras.h> or
// <raserror.h> next to this header: the names are the same.
//
// Linked functions come from rasapi32.dll through librasapi32_win95.a; the
// phonebook functions are looked up at run time (their names differ between
// Windows versions), hence only their pointer types here.
#ifndef WIN95_DIALER_PLATFORM_RASTYPES_H
#define WIN95_DIALER_PLATFORM_RASTYPES_H

#include <windows.h>

#include <cstddef>

// Texts are ANSI; the array sizes include the terminator.
constexpr DWORD RAS_MaxEntryName = 256;
constexpr DWORD RAS_MaxDeviceType = 16;
constexpr DWORD RAS_MaxDeviceName = 128;
constexpr DWORD RAS_MaxPhoneNumber = 128;
constexpr DWORD RAS_MaxCallbackNumber = 128;
constexpr DWORD RAS_MaxAreaCode = 10;
constexpr DWORD RAS_MaxPadType = 32;
constexpr DWORD RAS_MaxX25Address = 200;
constexpr DWORD RAS_MaxFacilities = 200;
constexpr DWORD RAS_MaxUserData = 200;
constexpr DWORD RAS_MaxUserName = 256;
constexpr DWORD RAS_MaxPassword = 256;
constexpr DWORD RAS_MaxDomain = 15;

// An IP address as RAS stores it: the dotted form's numbers, first first.
struct RASIPADDR {
    BYTE a;
    BYTE b;
    BYTE c;
    BYTE d;
};

// The phonebook entry, 1768 bytes (dwSize = 1768).
struct RASENTRY {
    DWORD dwSize;
    DWORD dwfOptions;
    DWORD dwCountryID;
    DWORD dwCountryCode;
    CHAR szAreaCode[RAS_MaxAreaCode + 1];
    CHAR szLocalPhoneNumber[RAS_MaxPhoneNumber + 1];
    DWORD dwAlternateOffset;
    RASIPADDR ipaddr;
    RASIPADDR ipaddrDns;
    RASIPADDR ipaddrDnsAlt;
    RASIPADDR ipaddrWins;
    RASIPADDR ipaddrWinsAlt;
    DWORD dwFrameSize;
    DWORD dwfNetProtocols;
    DWORD dwFramingProtocol;
    CHAR szScript[MAX_PATH];
    CHAR szAutodialDll[MAX_PATH];
    CHAR szAutodialFunc[MAX_PATH];
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
    CHAR szX25PadType[RAS_MaxPadType + 1];
    CHAR szX25Address[RAS_MaxX25Address + 1];
    CHAR szX25Facilities[RAS_MaxFacilities + 1];
    CHAR szX25UserData[RAS_MaxUserData + 1];
    DWORD dwChannels;
    DWORD dwReserved1;
    DWORD dwReserved2;
};

static_assert(sizeof(RASENTRY) == 1768, "RASENTRY layout");
static_assert(offsetof(RASENTRY, dwSize) == 0, "RASENTRY layout");
static_assert(offsetof(RASENTRY, dwfOptions) == 4, "RASENTRY layout");
static_assert(offsetof(RASENTRY, dwCountryID) == 8, "RASENTRY layout");
static_assert(offsetof(RASENTRY, dwCountryCode) == 12, "RASENTRY layout");
static_assert(offsetof(RASENTRY, szAreaCode) == 16, "RASENTRY layout");
static_assert(offsetof(RASENTRY, szLocalPhoneNumber) == 27, "RASENTRY layout");
static_assert(offsetof(RASENTRY, dwAlternateOffset) == 156, "RASENTRY layout");
static_assert(offsetof(RASENTRY, ipaddr) == 160, "RASENTRY layout");
static_assert(offsetof(RASENTRY, ipaddrDns) == 164, "RASENTRY layout");
static_assert(offsetof(RASENTRY, ipaddrDnsAlt) == 168, "RASENTRY layout");
static_assert(offsetof(RASENTRY, ipaddrWins) == 172, "RASENTRY layout");
static_assert(offsetof(RASENTRY, ipaddrWinsAlt) == 176, "RASENTRY layout");
static_assert(offsetof(RASENTRY, dwFrameSize) == 180, "RASENTRY layout");
static_assert(offsetof(RASENTRY, dwfNetProtocols) == 184, "RASENTRY layout");
static_assert(offsetof(RASENTRY, dwFramingProtocol) == 188, "RASENTRY layout");
static_assert(offsetof(RASENTRY, szScript) == 192, "RASENTRY layout");
static_assert(offsetof(RASENTRY, szAutodialDll) == 452, "RASENTRY layout");
static_assert(offsetof(RASENTRY, szAutodialFunc) == 712, "RASENTRY layout");
static_assert(offsetof(RASENTRY, szDeviceType) == 972, "RASENTRY layout");
static_assert(offsetof(RASENTRY, szDeviceName) == 989, "RASENTRY layout");
static_assert(offsetof(RASENTRY, szX25PadType) == 1118, "RASENTRY layout");
static_assert(offsetof(RASENTRY, szX25Address) == 1151, "RASENTRY layout");
static_assert(offsetof(RASENTRY, szX25Facilities) == 1352, "RASENTRY layout");
static_assert(offsetof(RASENTRY, szX25UserData) == 1553, "RASENTRY layout");
static_assert(offsetof(RASENTRY, dwChannels) == 1756, "RASENTRY layout");
static_assert(offsetof(RASENTRY, dwReserved1) == 1760, "RASENTRY layout");
static_assert(offsetof(RASENTRY, dwReserved2) == 1764, "RASENTRY layout");

// RASENTRY option, protocol and framing bits.
constexpr DWORD RASEO_UseCountryAndAreaCodes = 0x00000001;
constexpr DWORD RASEO_SpecificIpAddr = 0x00000002;
constexpr DWORD RASEO_SpecificNameServers = 0x00000004;
constexpr DWORD RASEO_IpHeaderCompression = 0x00000008;
constexpr DWORD RASEO_RemoteDefaultGateway = 0x00000010;
constexpr DWORD RASEO_DisableLcpExtensions = 0x00000020;
constexpr DWORD RASEO_TerminalBeforeDial = 0x00000040;
constexpr DWORD RASEO_TerminalAfterDial = 0x00000080;
constexpr DWORD RASEO_ModemLights = 0x00000100;
constexpr DWORD RASEO_SwCompression = 0x00000200;
constexpr DWORD RASNP_NetBEUI = 0x00000001;
constexpr DWORD RASNP_Ipx = 0x00000002;
constexpr DWORD RASNP_Ip = 0x00000004;
constexpr DWORD RASFP_Ppp = 0x00000001;
constexpr DWORD RASFP_Slip = 0x00000002;

// Dial parameters, 1052 bytes (dwSize = 1052).
struct RASDIALPARAMS {
    DWORD dwSize;
    CHAR szEntryName[RAS_MaxEntryName + 1];
    CHAR szPhoneNumber[RAS_MaxPhoneNumber + 1];
    CHAR szCallbackNumber[RAS_MaxCallbackNumber + 1];
    CHAR szUserName[RAS_MaxUserName + 1];
    CHAR szPassword[RAS_MaxPassword + 1];
    CHAR szDomain[RAS_MaxDomain + 1];
};

static_assert(sizeof(RASDIALPARAMS) == 1052, "RASDIALPARAMS layout");
static_assert(offsetof(RASDIALPARAMS, dwSize) == 0, "RASDIALPARAMS layout");
static_assert(offsetof(RASDIALPARAMS, szEntryName) == 4, "RASDIALPARAMS layout");
static_assert(offsetof(RASDIALPARAMS, szPhoneNumber) == 261, "RASDIALPARAMS layout");
static_assert(offsetof(RASDIALPARAMS, szCallbackNumber) == 390, "RASDIALPARAMS layout");
static_assert(offsetof(RASDIALPARAMS, szUserName) == 519, "RASDIALPARAMS layout");
static_assert(offsetof(RASDIALPARAMS, szPassword) == 776, "RASDIALPARAMS layout");
static_assert(offsetof(RASDIALPARAMS, szDomain) == 1033, "RASDIALPARAMS layout");

// One RAS-capable device, 152 bytes (dwSize = 152).
struct RASDEVINFO {
    DWORD dwSize;
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
};

static_assert(sizeof(RASDEVINFO) == 152, "RASDEVINFO layout");
static_assert(offsetof(RASDEVINFO, dwSize) == 0, "RASDEVINFO layout");
static_assert(offsetof(RASDEVINFO, szDeviceType) == 4, "RASDEVINFO layout");
static_assert(offsetof(RASDEVINFO, szDeviceName) == 21, "RASDEVINFO layout");

// Connection states, as RasDial's notifications and RasGetConnectStatus
// report them.
enum RASCONNSTATE : DWORD {
    RASCS_OpenPort = 0,
    RASCS_PortOpened = 1,
    RASCS_ConnectDevice = 2,
    RASCS_DeviceConnected = 3,
    RASCS_AllDevicesConnected = 4,
    RASCS_Authenticate = 5,
    RASCS_AuthNotify = 6,
    RASCS_AuthRetry = 7,
    RASCS_AuthCallback = 8,
    RASCS_AuthChangePassword = 9,
    RASCS_AuthProject = 10,
    RASCS_AuthLinkSpeed = 11,
    RASCS_AuthAck = 12,
    RASCS_ReAuthenticate = 13,
    RASCS_Authenticated = 14,
    RASCS_PrepareForCallback = 15,
    RASCS_WaitForModemReset = 16,
    RASCS_WaitForCallback = 17,
    RASCS_Projected = 18,
    RASCS_Interactive = 0x1000,
    RASCS_RetryAuthentication = 0x1001,
    RASCS_CallbackSetByCaller = 0x1002,
    RASCS_PasswordExpired = 0x1003,
    RASCS_Connected = 0x2000,
    RASCS_Disconnected = 0x2001,
};

// The state of a connection, 160 bytes (dwSize = 160).
struct RASCONNSTATUS {
    DWORD dwSize;
    RASCONNSTATE rasconnstate;
    DWORD dwError;
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
};

static_assert(sizeof(RASCONNSTATUS) == 160, "RASCONNSTATUS layout");
static_assert(offsetof(RASCONNSTATUS, dwSize) == 0, "RASCONNSTATUS layout");
static_assert(offsetof(RASCONNSTATUS, rasconnstate) == 4, "RASCONNSTATUS layout");
static_assert(offsetof(RASCONNSTATUS, dwError) == 8, "RASCONNSTATUS layout");
static_assert(offsetof(RASCONNSTATUS, szDeviceType) == 12, "RASCONNSTATUS layout");
static_assert(offsetof(RASCONNSTATUS, szDeviceName) == 29, "RASCONNSTATUS layout");

DECLARE_HANDLE(HRASCONN);

// RasDial's notifier types (0xFFFFFFFF: the notifier is a window that gets
// the message registered as "RasDialEvent", or WM_RASDIALEVENT when the
// registration gives 0).
constexpr DWORD RASDIAL_NOTIFIER_FUNC = 0;
constexpr DWORD RASDIAL_NOTIFIER_FUNC1 = 1;
constexpr DWORD RASDIAL_NOTIFIER_WINDOW = 0xFFFFFFFF;
constexpr UINT WM_RASDIALEVENT = 0xCCCD;
constexpr char RASDIALEVENT[] = "RasDialEvent";

typedef VOID(WINAPI* RASDIALFUNC)(UINT unMsg, RASCONNSTATE state, DWORD dwError);
typedef VOID(WINAPI* RASDIALFUNC1)(HRASCONN conn, UINT unMsg, RASCONNSTATE state, DWORD dwError,
                                   DWORD dwExtendedError);

// RAS result codes (RASBASE 600 and up) that the dialer tells apart.
constexpr DWORD ERROR_INVALID_PORT_HANDLE = 601;
constexpr DWORD ERROR_PORT_ALREADY_OPEN = 602;
constexpr DWORD ERROR_BUFFER_TOO_SMALL = 603;
constexpr DWORD ERROR_PORT_NOT_CONNECTED = 606;
constexpr DWORD ERROR_PORT_NOT_FOUND = 615;
constexpr DWORD ERROR_CANNOT_FIND_PHONEBOOK_ENTRY = 623;
constexpr DWORD ERROR_INVALID_SIZE = 632;
constexpr DWORD ERROR_PORT_NOT_AVAILABLE = 633;
constexpr DWORD ERROR_LINE_BUSY = 676;
constexpr DWORD ERROR_VOICE_ANSWER = 677;
constexpr DWORD ERROR_NO_ANSWER = 678;
constexpr DWORD ERROR_NO_CARRIER = 679;
constexpr DWORD ERROR_NO_DIALTONE = 680;
constexpr DWORD ERROR_PPP_TIMEOUT = 718;
constexpr DWORD ERROR_PPP_REMOTE_TERMINATED = 719;
constexpr DWORD ERROR_PPP_NO_PROTOCOLS_CONFIGURED = 720;
constexpr DWORD ERROR_PPP_NO_RESPONSE = 721;
constexpr DWORD ERROR_PPP_INVALID_PACKET = 722;
constexpr DWORD ERROR_PPP_NOT_CONVERGING = 732;
constexpr DWORD ERROR_PPP_CP_REJECTED = 733;
constexpr DWORD ERROR_PPP_LCP_TERMINATED = 734;
constexpr DWORD ERROR_PPP_REQUIRED_ADDRESS_REJECTED = 735;
constexpr DWORD ERROR_PPP_NCP_TERMINATED = 736;
constexpr DWORD ERROR_PPP_LOOPBACK_DETECTED = 737;
constexpr DWORD ERROR_PPP_NO_ADDRESS_ASSIGNED = 738;
constexpr DWORD ERROR_CANNOT_USE_LOGON_CREDENTIALS = 739;

// The phonebook functions, found by name at run time: unsuffixed in
// Windows 95's rasapi32.dll or rnaph.dll, "A"-suffixed in later systems.
typedef DWORD(WINAPI* RasEnumDevicesFn)(RASDEVINFO* devices, DWORD* bytes, DWORD* count);
typedef DWORD(WINAPI* RasGetEntryPropertiesFn)(LPCSTR phonebook, LPCSTR entry, RASENTRY* entryInfo,
                                               DWORD* entryInfoSize, BYTE* deviceInfo,
                                               DWORD* deviceInfoSize);
typedef DWORD(WINAPI* RasSetEntryPropertiesFn)(LPCSTR phonebook, LPCSTR entry, RASENTRY* entryInfo,
                                               DWORD entryInfoSize, BYTE* deviceInfo,
                                               DWORD deviceInfoSize);
typedef DWORD(WINAPI* RasValidateEntryNameFn)(LPCSTR phonebook, LPCSTR entry);
typedef DWORD(WINAPI* RasDeleteEntryFn)(LPCSTR phonebook, LPCSTR entry);

struct RASDIALEXTENSIONS;

// The functions linked from rasapi32.dll (import library
// librasapi32_win95.a).
extern "C" {
__declspec(dllimport) DWORD WINAPI
    RasDialA(RASDIALEXTENSIONS* extensions, LPCSTR phonebook, RASDIALPARAMS* params,
             DWORD notifierType, LPVOID notifier, HRASCONN* conn);
__declspec(dllimport) DWORD WINAPI RasHangUpA(HRASCONN conn);
__declspec(dllimport) DWORD WINAPI RasGetConnectStatusA(HRASCONN conn, RASCONNSTATUS* status);
__declspec(dllimport) DWORD WINAPI
    RasGetEntryDialParamsA(LPCSTR phonebook, RASDIALPARAMS* params, BOOL* passwordSaved);
__declspec(dllimport) DWORD WINAPI
    RasSetEntryDialParamsA(LPCSTR phonebook, RASDIALPARAMS* params, BOOL removePassword);
}

#endif
