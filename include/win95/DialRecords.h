// Caller-visible records of dialing and modem configuration (Windows only:
// they carry window handles and pointers of the 32-bit target).
#ifndef WIN95_DIALRECORDS_H
#define WIN95_DIALRECORDS_H

#include <stddef.h>
#include <stdint.h>
#include <windows.h>

#include "Records.h"

#pragma pack(push, 1)

// A modem as GetModem describes it; Dial requires version 31.
struct ModemRecord {
    uint32_t version;      // set by the caller; GetModem does not write it
    char deviceName[260];  // RAS device name; GetModem writes 254 bytes here
    uint32_t maxRate;      // maximum rate of the modem's TAPI line device
};

// What Dial needs: posted status messages go to window with message.
struct DialRequest {
    const char* phoneNumber;
    const ProfileRecord* profile;  // version 57: LoginName, Password, DnsAddr1/2
    const ModemRecord* modem;      // version 31: deviceName
    HWND window;
    uint32_t message;
    const char* scriptPath;  // may be null
    uint8_t useScript;       // non-zero: use scriptPath when it is not empty
    uint8_t reserved[3];
};

// The service connectoid's device configuration block: a 12-byte header,
// then a COMMCONFIG of at most 243 bytes (at offset 16 of the record).
struct ModemConfigInfo {
    uint32_t size;  // valid bytes in data
    uint8_t data[255];
};

// GenericApi request 2: the service connectoid from flat fields.
struct ConnectoidCreationRecord {
    char entryName[64];  // out: "Orvo VelTrane Service"
    char phoneNumber[128];
    uint8_t dnsPrimary[4];  // one byte per part, in written order
    uint8_t dnsSecondary[4];
    char deviceName[256];
    char loginName[64];
    char password[64];
    char scriptPath[260];  // empty for none
};

#pragma pack(pop)

// DialerStatus: the first parameter of the posted message (16 bits), and
// what GetStatus returns. The second parameter carries a detail.
enum Win95DialerStatus {
    WIN95_DIAL_NOTHING_POSTED = 0,
    WIN95_DIAL_FAILED = 1,        // detail: an error class, or the RAS error
    WIN95_DIAL_CONNECTED = 2,     // detail: connect speed in bit/s, 0 unknown
    WIN95_DIAL_DISCONNECTED = 3,  // detail: 0
    WIN95_DIAL_BEGUN = 4,         // port opened
    WIN95_DIAL_AUTHENTICATING = 5
};

// Error classes of WIN95_DIAL_FAILED; other RAS errors pass through as such.
enum Win95DialErrorClass {
    WIN95_DIAL_LINE_BUSY = 1,          // 676
    WIN95_DIAL_NO_ANSWER = 2,          // 678
    WIN95_DIAL_NO_DIALTONE = 3,        // 680
    WIN95_DIAL_ERROR_739 = 5,          // 739
    WIN95_DIAL_NO_CARRIER = 6,         // 679
    WIN95_DIAL_PORT_ALREADY_OPEN = 7,  // 602
    WIN95_DIAL_PPP_FAILED = 8,         // 718 to 722, 732 to 738
    WIN95_DIAL_PORT_UNAVAILABLE = 9,   // 601, 606, 615, 633
    WIN95_DIAL_VOICE_ANSWER = 10       // 677
};

#if !defined(_WIN64)
#define WIN95_AT(Record, field, offset) \
    static_assert(offsetof(Record, field) == offset, #Record " layout: " #field)
static_assert(sizeof(ModemRecord) == 268, "ModemRecord layout");
WIN95_AT(ModemRecord, deviceName, 4);
WIN95_AT(ModemRecord, maxRate, 264);
static_assert(sizeof(DialRequest) == 28, "DialRequest layout");
WIN95_AT(DialRequest, profile, 4);
WIN95_AT(DialRequest, modem, 8);
WIN95_AT(DialRequest, window, 12);
WIN95_AT(DialRequest, message, 16);
WIN95_AT(DialRequest, scriptPath, 20);
WIN95_AT(DialRequest, useScript, 24);
static_assert(sizeof(ModemConfigInfo) == 259, "ModemConfigInfo layout");
WIN95_AT(ModemConfigInfo, data, 4);
static_assert(sizeof(ConnectoidCreationRecord) == 844, "ConnectoidCreationRecord layout");
WIN95_AT(ConnectoidCreationRecord, phoneNumber, 64);
WIN95_AT(ConnectoidCreationRecord, dnsPrimary, 192);
WIN95_AT(ConnectoidCreationRecord, dnsSecondary, 196);
WIN95_AT(ConnectoidCreationRecord, deviceName, 200);
WIN95_AT(ConnectoidCreationRecord, loginName, 456);
WIN95_AT(ConnectoidCreationRecord, password, 520);
WIN95_AT(ConnectoidCreationRecord, scriptPath, 584);
#undef WIN95_AT
#endif

#endif
