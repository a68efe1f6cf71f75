/* Caller-visible records of WIN95.dll, with their byte layouts checked at
 * compile time. Plain C89; needs no windows.h. Every record is packed (no
 * padding), so its layout is the same for every compiler and packing option.
 *
 * Texts are zero-terminated 8-bit ANSI in fixed arrays; the library cuts what
 * it copies into them to the array size less one. */
#ifndef WIN95_RECORDS_H
#define WIN95_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#include "Platform.h"

/* The record versions of the two stores (the Version fields). */
#define WIN95_PROFILE_RECORD_VERSION 57
#define WIN95_LOCATION_RECORD_VERSION 81

#pragma pack(push, 1)

/* Filled by GetObjectInfo. Bytes 8 to 15 and the last byte of the name are
 * not written by the library. */
typedef struct ObjectInfo {
    uint32_t type;    /* Win95ObjectType */
    uint32_t classId; /* class identifier */
    uint8_t reserved[8];
    char name[128]; /* the object's name, zero-padded over 127 bytes */
} ObjectInfo;

/* The shortcut SetShellLink writes. */
typedef struct ShellLinkRecord {
    char targetPath[256]; /* file the shortcut points at; also the icon file */
    char linkPath[256];   /* the shortcut file to write */
    char description[256];
    int32_t iconIndex; /* icon within targetPath, from 0 */
    char arguments[256];
    char workingDirectory[260];
} ShellLinkRecord;

/* A file or directory tree to remove (GenericApi request 1). */
typedef struct RemovalRecord {
    uint16_t isFile; /* non-zero: path names a file; zero: a directory tree */
    char path[258];
} RemovalRecord;

/* GenericApi request 4: whether a file can be opened for exclusive access. */
typedef struct DllProbeRecord {
    char path[64];
    uint32_t openedExclusively; /* out: 1 or 0 */
} DllProbeRecord;

/* ---- the subscriber profile store's record (9466 bytes, version 57) -------
 * Texts are zero-terminated unless a database import filled the whole field. */
typedef struct ProfileUserApp {
    char CommandLine[254];
    char Arguments[254];
} ProfileUserApp;

typedef struct ProfileRecord {
    int32_t Version; /* always 57 */
    char Description[255];
    uint8_t unused259;
    int32_t ProfileId;
    char RegistrationCode[255];
    char Package[255];
    uint8_t AutoLaunchPackage;
    uint8_t bIsVisible;
    int32_t LastResetDate;
    int32_t ConnectionTime;
    ProfileUserApp UserApp[5];
    char LoginName[255]; /* dial-up user name */
    char Password[255];  /* dial-up password */
    char CompanyLoginName[255];
    char CompanyPassword[255];
    char Domain[255];
    uint8_t DnsAddr1[4]; /* the four numbers of the dotted form, first first */
    uint8_t DnsAddr2[4];
    uint8_t OriginalDnsAddr1[4];
    uint8_t OriginalDnsAddr2[4];
    uint8_t IPAssigned;
    uint8_t IPAddr[4];
    char POPName[255];
    char POPPassword[255];
    char POPServer[255];
    char SMTPServer[255];
    char EmailAddress[255];
    char Title[255];
    char FirstName[255];
    char LastName[255];
    char Address[255];
    char Address2[255];
    char City[255];
    char State[255];
    char Zipcode[255];
    char Country[255];
    char Organization[255];
    char HomePage[255];
    char NNTPServer[255];
    char OriginalLoginName[255];
    char OriginalPassword[255];
    uint8_t unused9465;
} ProfileRecord;

/* ---- the dialing-location store's record (12544 bytes, version 81) --------- */
typedef struct POPEntry {
    char PopNumber[255]; /* access number; empty entry when the first byte is 0 */
    char PopDescription[255];
    uint8_t PopDualLoginRequired;
} POPEntry;

typedef struct LocationRecord {
    int32_t Version; /* always 81 */
    char Description[255];
    char AreaCode[255];
    char LocalNumber[255];
    char LocalAccess[255];
    char LongDistanceAccess[255];
    char CallWaitingDisable[255];
    char CountryCode[255];
    char CallingCardNumber[255];
    int32_t TapiLocationID;
    uint8_t CallWaitingDisabled;
    uint8_t unused2049;
    uint16_t ConnectionType;
    int32_t DefaultPOPEntry; /* 0..19, -1 for none */
    int32_t BackupPOPEntry;
    int32_t LastLupaCheckTime;
    uint8_t ToneDial;
    uint8_t Use1ForLongDistance;
    uint8_t DontUseAreaCodeWhenDialing;
    uint8_t DialLocalAsLongDistance;
    char ModemName[255];
    POPEntry POPEntries[20];
    uint8_t unused12543;
} LocationRecord;

#pragma pack(pop)

WIN95_CHECK_SIZE(ObjectInfo, 144);
WIN95_CHECK_OFFSET(ObjectInfo, type, 0);
WIN95_CHECK_OFFSET(ObjectInfo, classId, 4);
WIN95_CHECK_OFFSET(ObjectInfo, reserved, 8);
WIN95_CHECK_OFFSET(ObjectInfo, name, 16);

WIN95_CHECK_SIZE(ProfileUserApp, 508);
WIN95_CHECK_SIZE(ProfileRecord, 9466);
WIN95_CHECK_OFFSET(ProfileRecord, Version, 0);
WIN95_CHECK_OFFSET(ProfileRecord, Description, 4);
WIN95_CHECK_OFFSET(ProfileRecord, ProfileId, 260);
WIN95_CHECK_OFFSET(ProfileRecord, RegistrationCode, 264);
WIN95_CHECK_OFFSET(ProfileRecord, Package, 519);
WIN95_CHECK_OFFSET(ProfileRecord, AutoLaunchPackage, 774);
WIN95_CHECK_OFFSET(ProfileRecord, bIsVisible, 775);
WIN95_CHECK_OFFSET(ProfileRecord, LastResetDate, 776);
WIN95_CHECK_OFFSET(ProfileRecord, ConnectionTime, 780);
WIN95_CHECK_OFFSET(ProfileRecord, UserApp, 784);
WIN95_CHECK_OFFSET(ProfileRecord, UserApp[0].Arguments, 1038);
WIN95_CHECK_OFFSET(ProfileRecord, UserApp[4].CommandLine, 2816);
WIN95_CHECK_OFFSET(ProfileRecord, UserApp[4].Arguments, 3070);
WIN95_CHECK_OFFSET(ProfileRecord, LoginName, 3324);
WIN95_CHECK_OFFSET(ProfileRecord, Password, 3579);
WIN95_CHECK_OFFSET(ProfileRecord, CompanyLoginName, 3834);
WIN95_CHECK_OFFSET(ProfileRecord, CompanyPassword, 4089);
WIN95_CHECK_OFFSET(ProfileRecord, Domain, 4344);
WIN95_CHECK_OFFSET(ProfileRecord, DnsAddr1, 4599);
WIN95_CHECK_OFFSET(ProfileRecord, DnsAddr2, 4603);
WIN95_CHECK_OFFSET(ProfileRecord, OriginalDnsAddr1, 4607);
WIN95_CHECK_OFFSET(ProfileRecord, OriginalDnsAddr2, 4611);
WIN95_CHECK_OFFSET(ProfileRecord, IPAssigned, 4615);
WIN95_CHECK_OFFSET(ProfileRecord, IPAddr, 4616);
WIN95_CHECK_OFFSET(ProfileRecord, POPName, 4620);
WIN95_CHECK_OFFSET(ProfileRecord, POPPassword, 4875);
WIN95_CHECK_OFFSET(ProfileRecord, POPServer, 5130);
WIN95_CHECK_OFFSET(ProfileRecord, SMTPServer, 5385);
WIN95_CHECK_OFFSET(ProfileRecord, EmailAddress, 5640);
WIN95_CHECK_OFFSET(ProfileRecord, Title, 5895);
WIN95_CHECK_OFFSET(ProfileRecord, FirstName, 6150);
WIN95_CHECK_OFFSET(ProfileRecord, LastName, 6405);
WIN95_CHECK_OFFSET(ProfileRecord, Address, 6660);
WIN95_CHECK_OFFSET(ProfileRecord, Address2, 6915);
WIN95_CHECK_OFFSET(ProfileRecord, City, 7170);
WIN95_CHECK_OFFSET(ProfileRecord, State, 7425);
WIN95_CHECK_OFFSET(ProfileRecord, Zipcode, 7680);
WIN95_CHECK_OFFSET(ProfileRecord, Country, 7935);
WIN95_CHECK_OFFSET(ProfileRecord, Organization, 8190);
WIN95_CHECK_OFFSET(ProfileRecord, HomePage, 8445);
WIN95_CHECK_OFFSET(ProfileRecord, NNTPServer, 8700);
WIN95_CHECK_OFFSET(ProfileRecord, OriginalLoginName, 8955);
WIN95_CHECK_OFFSET(ProfileRecord, OriginalPassword, 9210);

WIN95_CHECK_SIZE(POPEntry, 511);
WIN95_CHECK_OFFSET(POPEntry, PopDescription, 255);
WIN95_CHECK_OFFSET(POPEntry, PopDualLoginRequired, 510);
WIN95_CHECK_SIZE(LocationRecord, 12544);
WIN95_CHECK_OFFSET(LocationRecord, Version, 0);
WIN95_CHECK_OFFSET(LocationRecord, Description, 4);
WIN95_CHECK_OFFSET(LocationRecord, AreaCode, 259);
WIN95_CHECK_OFFSET(LocationRecord, LocalNumber, 514);
WIN95_CHECK_OFFSET(LocationRecord, LocalAccess, 769);
WIN95_CHECK_OFFSET(LocationRecord, LongDistanceAccess, 1024);
WIN95_CHECK_OFFSET(LocationRecord, CallWaitingDisable, 1279);
WIN95_CHECK_OFFSET(LocationRecord, CountryCode, 1534);
WIN95_CHECK_OFFSET(LocationRecord, CallingCardNumber, 1789);
WIN95_CHECK_OFFSET(LocationRecord, TapiLocationID, 2044);
WIN95_CHECK_OFFSET(LocationRecord, CallWaitingDisabled, 2048);
WIN95_CHECK_OFFSET(LocationRecord, ConnectionType, 2050);
WIN95_CHECK_OFFSET(LocationRecord, DefaultPOPEntry, 2052);
WIN95_CHECK_OFFSET(LocationRecord, BackupPOPEntry, 2056);
WIN95_CHECK_OFFSET(LocationRecord, LastLupaCheckTime, 2060);
WIN95_CHECK_OFFSET(LocationRecord, ToneDial, 2064);
WIN95_CHECK_OFFSET(LocationRecord, Use1ForLongDistance, 2065);
WIN95_CHECK_OFFSET(LocationRecord, DontUseAreaCodeWhenDialing, 2066);
WIN95_CHECK_OFFSET(LocationRecord, DialLocalAsLongDistance, 2067);
WIN95_CHECK_OFFSET(LocationRecord, ModemName, 2068);
WIN95_CHECK_OFFSET(LocationRecord, POPEntries, 2323);
WIN95_CHECK_OFFSET(LocationRecord, POPEntries[19], 12032);
WIN95_CHECK_OFFSET(LocationRecord, unused12543, 12543);

WIN95_CHECK_SIZE(ShellLinkRecord, 1288);
WIN95_CHECK_OFFSET(ShellLinkRecord, targetPath, 0);
WIN95_CHECK_OFFSET(ShellLinkRecord, linkPath, 256);
WIN95_CHECK_OFFSET(ShellLinkRecord, description, 512);
WIN95_CHECK_OFFSET(ShellLinkRecord, iconIndex, 768);
WIN95_CHECK_OFFSET(ShellLinkRecord, arguments, 772);
WIN95_CHECK_OFFSET(ShellLinkRecord, workingDirectory, 1028);

WIN95_CHECK_SIZE(RemovalRecord, 260);
WIN95_CHECK_OFFSET(RemovalRecord, isFile, 0);
WIN95_CHECK_OFFSET(RemovalRecord, path, 2);

WIN95_CHECK_SIZE(DllProbeRecord, 68);
WIN95_CHECK_OFFSET(DllProbeRecord, path, 0);
WIN95_CHECK_OFFSET(DllProbeRecord, openedExclusively, 64);

#endif
