/* Caller-visible records of dialing and modem configuration, and the values
 * of the dialer's status messages. Plain C89; needs windows.h (the records
 * carry window handles and pointers of the 32-bit target). */
#ifndef WIN95_DIALRECORDS_H
#define WIN95_DIALRECORDS_H

#include <stddef.h>
#include <stdint.h>
#include <windows.h>

#include "Platform.h"
#include "Records.h"

/* The only ModemRecord version Dial accepts. */
#define WIN95_MODEM_RECORD_VERSION 31

#pragma pack(push, 1)

/* A modem as GetModem describes it. */
typedef struct ModemRecord {
    uint32_t version;     /* set by the caller; GetModem does not write it */
    char deviceName[260]; /* RAS device name; GetModem writes 254 bytes here */
    uint32_t maxRate;     /* maximum rate of the modem's TAPI line device */
} ModemRecord;

/* What Dial needs. The library reads the records only during the call. */
typedef struct DialRequest {
    const char* phoneNumber;      /* number to dial; at most 128 characters used */
    const ProfileRecord* profile; /* Version 57: LoginName, Password, DnsAddr1/2 */
    const ModemRecord* modem;     /* version 31: deviceName */
    HWND window;                  /* receives the status messages ... */
    uint32_t message;             /* ... as this message number */
    const char* scriptPath;       /* dial script; may be null */
    uint8_t useScript;            /* non-zero: use scriptPath when it is not empty */
    uint8_t reserved[3];
} DialRequest;

/* The service connectoid's device configuration block: a 12-byte header,
 * then a COMMCONFIG of at most 243 bytes (at offset 16 of the record). */
typedef struct ModemConfigInfo {
    uint32_t size; /* valid bytes in data */
    uint8_t data[255];
} ModemConfigInfo;

/* GenericApi request 2: the service connectoid from flat fields. */
typedef struct ConnectoidCreationRecord {
    char entryName[64]; /* out: "Orvo VelTrane Service" */
    char phoneNumber[128];
    uint8_t dnsPrimary[4]; /* one byte per part, in written order */
    uint8_t dnsSecondary[4];
    char deviceName[256];
    char loginName[64];
    char password[64];
    char scriptPath[260]; /* empty for none */
} ConnectoidCreationRecord;

#pragma pack(pop)

/* The dialer's status: the wParam of the posted status message (16 bits) and
 * what GetStatus stores. The lParam carries a detail. See Dial in Exports.h
 * for when each is posted. */
enum Win95DialerStatus {
    WIN95_DIAL_NOTHING_POSTED = 0, /* GetStatus only: no status posted yet */
    WIN95_DIAL_FAILED = 1,         /* lParam: an error class below, or the RAS error */
    WIN95_DIAL_CONNECTED = 2,      /* lParam: connect speed in bit/s, 0 when unknown */
    WIN95_DIAL_DISCONNECTED = 3,   /* lParam: 0 */
    WIN95_DIAL_BEGUN = 4,          /* lParam: 0; RAS opened the port */
    WIN95_DIAL_AUTHENTICATING = 5  /* lParam: 0 */
};

/* The lParam of WIN95_DIAL_FAILED for the RAS errors (raserror.h) that have a
 * class; every other RAS error number (600 and above, so never one of these)
 * is posted unchanged. Class 4 is never posted. */
enum Win95DialErrorClass {
    WIN95_DIAL_LINE_BUSY = 1,         /* 676 ERROR_LINE_BUSY */
    WIN95_DIAL_NO_ANSWER = 2,         /* 678 ERROR_NO_ANSWER */
    WIN95_DIAL_NO_DIALTONE = 3,       /* 680 ERROR_NO_DIALTONE */
    WIN95_DIAL_ERROR_739 = 5,         /* 739 */
    WIN95_DIAL_NO_CARRIER = 6,        /* 679 ERROR_NO_CARRIER */
    WIN95_DIAL_PORT_ALREADY_OPEN = 7, /* 602 ERROR_PORT_ALREADY_OPEN */
    WIN95_DIAL_PPP_FAILED = 8,        /* 718 to 722 and 732 to 738: PPP negotiation */
    WIN95_DIAL_PORT_UNAVAILABLE = 9,  /* 601, 606, 615, 633: port invalid, not
                                         connected, not found, not available */
    WIN95_DIAL_VOICE_ANSWER = 10      /* 677 ERROR_VOICE_ANSWER */
};

#if !defined(_WIN64)
WIN95_CHECK_SIZE(ModemRecord, 268);
WIN95_CHECK_OFFSET(ModemRecord, deviceName, 4);
WIN95_CHECK_OFFSET(ModemRecord, maxRate, 264);
WIN95_CHECK_SIZE(DialRequest, 28);
WIN95_CHECK_OFFSET(DialRequest, profile, 4);
WIN95_CHECK_OFFSET(DialRequest, modem, 8);
WIN95_CHECK_OFFSET(DialRequest, window, 12);
WIN95_CHECK_OFFSET(DialRequest, message, 16);
WIN95_CHECK_OFFSET(DialRequest, scriptPath, 20);
WIN95_CHECK_OFFSET(DialRequest, useScript, 24);
WIN95_CHECK_SIZE(ModemConfigInfo, 259);
WIN95_CHECK_OFFSET(ModemConfigInfo, data, 4);
WIN95_CHECK_SIZE(ConnectoidCreationRecord, 844);
WIN95_CHECK_OFFSET(ConnectoidCreationRecord, phoneNumber, 64);
WIN95_CHECK_OFFSET(ConnectoidCreationRecord, dnsPrimary, 192);
WIN95_CHECK_OFFSET(ConnectoidCreationRecord, dnsSecondary, 196);
WIN95_CHECK_OFFSET(ConnectoidCreationRecord, deviceName, 200);
WIN95_CHECK_OFFSET(ConnectoidCreationRecord, loginName, 456);
WIN95_CHECK_OFFSET(ConnectoidCreationRecord, password, 520);
WIN95_CHECK_OFFSET(ConnectoidCreationRecord, scriptPath, 584);
#endif

#endif
