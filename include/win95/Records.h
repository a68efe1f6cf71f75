// Caller-visible records of WIN95.dll, with their byte layouts checked.
//
// Texts are zero-terminated 8-bit ANSI in fixed arrays; the library cuts what
// it copies into them to the array size less one.
#ifndef WIN95_RECORDS_H
#define WIN95_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#pragma pack(push, 1)

// Filled by GetObjectInfo. Bytes 8 to 15 and the last byte of the name are
// not written by the library.
struct ObjectInfo {
    uint32_t type;     // Win95ObjectType
    uint32_t classId;  // class identifier
    uint8_t reserved[8];
    char name[128];  // the object's name, zero-padded over 127 bytes
};

// The shortcut SetShellLink writes.
struct ShellLinkRecord {
    char targetPath[256];  // file the shortcut points at; also the icon file
    char linkPath[256];    // the shortcut file to write
    char description[256];
    int32_t iconIndex;  // icon within targetPath, from 0
    char arguments[256];
    char workingDirectory[260];
};

// A file or directory tree to remove (GenericApi request 1).
struct RemovalRecord {
    uint16_t isFile;  // non-zero: path names a file; zero: a directory tree
    char path[258];
};

// GenericApi request 4: whether a file can be opened for exclusive access.
struct DllProbeRecord {
    char path[64];
    uint32_t openedExclusively;  // out: 1 or 0
};

// ---- the subscriber profile store's record (9466 bytes, version 57) -------
// Texts are zero-terminated unless a database import filled the whole field.
struct ProfileUserApp {
    char CommandLine[254];
    char Arguments[254];
};

struct ProfileRecord {
    int32_t Version;  // always 57
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
    char LoginName[255];  // dial-up user name
    char Password[255];   // dial-up password
    char CompanyLoginName[255];
    char CompanyPassword[255];
    char Domain[255];
    uint8_t DnsAddr1[4];  // the four numbers of the dotted form, first first
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
};

// ---- the dialing-location store's record (12544 bytes, version 81) ---------
struct POPEntry {
    char PopNumber[255];  // access number; empty entry when the first byte is 0
    char PopDescription[255];
    uint8_t PopDualLoginRequired;
};

struct LocationRecord {
    int32_t Version;  // always 81
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
    int32_t DefaultPOPEntry;  // 0..19, -1 for none
    int32_t BackupPOPEntry;
    int32_t LastLupaCheckTime;
    uint8_t ToneDial;
    uint8_t Use1ForLongDistance;
    uint8_t DontUseAreaCodeWhenDialing;
    uint8_t DialLocalAsLongDistance;
    char ModemName[255];
    POPEntry POPEntries[20];
    uint8_t unused12543;
};

#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(ObjectInfo) == 144, "ObjectInfo layout");
static_assert(offsetof(ObjectInfo, type) == 0, "ObjectInfo layout");
static_assert(offsetof(ObjectInfo, classId) == 4, "ObjectInfo layout");
static_assert(offsetof(ObjectInfo, reserved) == 8, "ObjectInfo layout");
static_assert(offsetof(ObjectInfo, name) == 16, "ObjectInfo layout");

#define WIN95_AT(Record, field, offset) \
    static_assert(offsetof(Record, field) == offset, #Record " layout: " #field)
static_assert(sizeof(ProfileUserApp) == 508, "ProfileUserApp layout");
static_assert(sizeof(ProfileRecord) == 9466, "ProfileRecord layout");
WIN95_AT(ProfileRecord, Version, 0);
WIN95_AT(ProfileRecord, Description, 4);
WIN95_AT(ProfileRecord, ProfileId, 260);
WIN95_AT(ProfileRecord, RegistrationCode, 264);
WIN95_AT(ProfileRecord, Package, 519);
WIN95_AT(ProfileRecord, AutoLaunchPackage, 774);
WIN95_AT(ProfileRecord, bIsVisible, 775);
WIN95_AT(ProfileRecord, LastResetDate, 776);
WIN95_AT(ProfileRecord, ConnectionTime, 780);
WIN95_AT(ProfileRecord, UserApp, 784);
WIN95_AT(ProfileRecord, UserApp[0].Arguments, 1038);
WIN95_AT(ProfileRecord, UserApp[4].CommandLine, 2816);
WIN95_AT(ProfileRecord, UserApp[4].Arguments, 3070);
WIN95_AT(ProfileRecord, LoginName, 3324);
WIN95_AT(ProfileRecord, Password, 3579);
WIN95_AT(ProfileRecord, CompanyLoginName, 3834);
WIN95_AT(ProfileRecord, CompanyPassword, 4089);
WIN95_AT(ProfileRecord, Domain, 4344);
WIN95_AT(ProfileRecord, DnsAddr1, 4599);
WIN95_AT(ProfileRecord, DnsAddr2, 4603);
WIN95_AT(ProfileRecord, OriginalDnsAddr1, 4607);
WIN95_AT(ProfileRecord, OriginalDnsAddr2, 4611);
WIN95_AT(ProfileRecord, IPAssigned, 4615);
WIN95_AT(ProfileRecord, IPAddr, 4616);
WIN95_AT(ProfileRecord, POPName, 4620);
WIN95_AT(ProfileRecord, POPPassword, 4875);
WIN95_AT(ProfileRecord, POPServer, 5130);
WIN95_AT(ProfileRecord, SMTPServer, 5385);
WIN95_AT(ProfileRecord, EmailAddress, 5640);
WIN95_AT(ProfileRecord, Title, 5895);
WIN95_AT(ProfileRecord, FirstName, 6150);
WIN95_AT(ProfileRecord, LastName, 6405);
WIN95_AT(ProfileRecord, Address, 6660);
WIN95_AT(ProfileRecord, Address2, 6915);
WIN95_AT(ProfileRecord, City, 7170);
WIN95_AT(ProfileRecord, State, 7425);
WIN95_AT(ProfileRecord, Zipcode, 7680);
WIN95_AT(ProfileRecord, Country, 7935);
WIN95_AT(ProfileRecord, Organization, 8190);
WIN95_AT(ProfileRecord, HomePage, 8445);
WIN95_AT(ProfileRecord, NNTPServer, 8700);
WIN95_AT(ProfileRecord, OriginalLoginName, 8955);
WIN95_AT(ProfileRecord, OriginalPassword, 9210);

static_assert(sizeof(POPEntry) == 511, "POPEntry layout");
WIN95_AT(POPEntry, PopDescription, 255);
WIN95_AT(POPEntry, PopDualLoginRequired, 510);
static_assert(sizeof(LocationRecord) == 12544, "LocationRecord layout");
WIN95_AT(LocationRecord, Version, 0);
WIN95_AT(LocationRecord, Description, 4);
WIN95_AT(LocationRecord, AreaCode, 259);
WIN95_AT(LocationRecord, LocalNumber, 514);
WIN95_AT(LocationRecord, LocalAccess, 769);
WIN95_AT(LocationRecord, LongDistanceAccess, 1024);
WIN95_AT(LocationRecord, CallWaitingDisable, 1279);
WIN95_AT(LocationRecord, CountryCode, 1534);
WIN95_AT(LocationRecord, CallingCardNumber, 1789);
WIN95_AT(LocationRecord, TapiLocationID, 2044);
WIN95_AT(LocationRecord, CallWaitingDisabled, 2048);
WIN95_AT(LocationRecord, ConnectionType, 2050);
WIN95_AT(LocationRecord, DefaultPOPEntry, 2052);
WIN95_AT(LocationRecord, BackupPOPEntry, 2056);
WIN95_AT(LocationRecord, LastLupaCheckTime, 2060);
WIN95_AT(LocationRecord, ToneDial, 2064);
WIN95_AT(LocationRecord, Use1ForLongDistance, 2065);
WIN95_AT(LocationRecord, DontUseAreaCodeWhenDialing, 2066);
WIN95_AT(LocationRecord, DialLocalAsLongDistance, 2067);
WIN95_AT(LocationRecord, ModemName, 2068);
WIN95_AT(LocationRecord, POPEntries, 2323);
WIN95_AT(LocationRecord, POPEntries[19], 12032);
WIN95_AT(LocationRecord, unused12543, 12543);

static_assert(sizeof(ShellLinkRecord) == 1288, "ShellLinkRecord layout");
static_assert(offsetof(ShellLinkRecord, targetPath) == 0, "ShellLinkRecord layout");
static_assert(offsetof(ShellLinkRecord, linkPath) == 256, "ShellLinkRecord layout");
static_assert(offsetof(ShellLinkRecord, description) == 512, "ShellLinkRecord layout");
static_assert(offsetof(ShellLinkRecord, iconIndex) == 768, "ShellLinkRecord layout");
static_assert(offsetof(ShellLinkRecord, arguments) == 772, "ShellLinkRecord layout");
static_assert(offsetof(ShellLinkRecord, workingDirectory) == 1028, "ShellLinkRecord layout");

static_assert(sizeof(RemovalRecord) == 260, "RemovalRecord layout");
static_assert(offsetof(RemovalRecord, isFile) == 0, "RemovalRecord layout");
static_assert(offsetof(RemovalRecord, path) == 2, "RemovalRecord layout");

static_assert(sizeof(DllProbeRecord) == 68, "DllProbeRecord layout");
static_assert(offsetof(DllProbeRecord, path) == 0, "DllProbeRecord layout");
static_assert(offsetof(DllProbeRecord, openedExclusively) == 64, "DllProbeRecord layout");
#undef WIN95_AT
#endif

#endif
