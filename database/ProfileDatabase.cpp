#include "database/ProfileDatabase.h"

#include <cstddef>

#include "database/DatabaseFormat.h"
#include "database/ProfileText.h"
#include "database/TextNumbers.h"

namespace {

#define PROFILE_FIELD(field, type, comment)                             \
    MakeStoreField(#field, comment, type, sizeof(ProfileRecord::field), \
                   offsetof(ProfileRecord, field))
#define PROFILE_TEXT(field) PROFILE_FIELD(field, kFieldText, "")
#define PROFILE_BYTES(field) PROFILE_FIELD(field, kFieldBytes, "")
#define PROFILE_LONG(field) PROFILE_FIELD(field, kFieldLong, "")

const StoreField kHead[] = {
    PROFILE_FIELD(Version, kFieldLong, "This field must always be %d"),
    PROFILE_TEXT(Description),
    PROFILE_FIELD(ProfileId, kFieldLong, "The profileID must be unique in the database"),
    PROFILE_TEXT(RegistrationCode),
    PROFILE_TEXT(Package),
    PROFILE_BYTES(AutoLaunchPackage),
    PROFILE_BYTES(bIsVisible),
    PROFILE_LONG(LastResetDate),
    PROFILE_LONG(ConnectionTime),
};

// User application n (from 1): its command line and its arguments.
StoreField UserAppField(int n, bool arguments) {
    size_t offset = offsetof(ProfileRecord, UserApp) + sizeof(ProfileUserApp) * (n - 1) +
                    (arguments ? offsetof(ProfileUserApp, Arguments) : 0);
    return StoreField{arguments ? "UserApp %d Arguments" : "UserApp %d Command line", "",
                      kFieldText, sizeof(ProfileUserApp::CommandLine),
                      static_cast<uint32_t>(offset)};
}

const StoreField kTail[] = {
    PROFILE_TEXT(LoginName),
    PROFILE_TEXT(Password),
    PROFILE_TEXT(CompanyLoginName),
    PROFILE_TEXT(CompanyPassword),
    PROFILE_TEXT(Domain),
    PROFILE_BYTES(DnsAddr1),
    PROFILE_BYTES(DnsAddr2),
    PROFILE_BYTES(OriginalDnsAddr1),
    PROFILE_BYTES(OriginalDnsAddr2),
    PROFILE_BYTES(IPAssigned),
    PROFILE_BYTES(IPAddr),
    PROFILE_TEXT(POPName),
    PROFILE_TEXT(POPPassword),
    PROFILE_TEXT(POPServer),
    PROFILE_TEXT(SMTPServer),
    PROFILE_TEXT(EmailAddress),
    PROFILE_TEXT(Title),
    PROFILE_TEXT(FirstName),
    PROFILE_TEXT(LastName),
    PROFILE_TEXT(Address),
    PROFILE_TEXT(Address2),
    PROFILE_TEXT(City),
    PROFILE_TEXT(State),
    PROFILE_TEXT(Zipcode),
    PROFILE_TEXT(Country),
    PROFILE_TEXT(Organization),
    PROFILE_TEXT(HomePage),
    PROFILE_TEXT(NNTPServer),
    PROFILE_TEXT(OriginalLoginName),
    PROFILE_TEXT(OriginalPassword),
};

#undef PROFILE_LONG
#undef PROFILE_BYTES
#undef PROFILE_TEXT
#undef PROFILE_FIELD

constexpr size_t kUserApps = 5;

// Four numbers of a dotted address, each as its low byte. Each number is
// read where the previous one stopped, one character further on; at the
// text's terminator the reading stops and the rest stays 0.
void ParseAddress(uint8_t (&address)[4], const char* text) {
    const char* at = text ? text : "";
    for (uint8_t& byte : address) {
        const char* end = at;
        byte = static_cast<uint8_t>(ParseNumber(at, &end) & 0xFF);
        at = *end ? end + 1 : end;
    }
}

}  // namespace

bool BuildProfileFieldTable(FieldTable& table) {
    if (!table.Init(sizeof(ProfileRecord), kProfileRecordVersion)) return false;
    if (!AddStoreFields(table, kHead, sizeof kHead / sizeof kHead[0], kProfileRecordVersion))
        return false;
    for (size_t n = 1; n <= kUserApps; ++n) {
        const StoreField app[] = {UserAppField(static_cast<int>(n), false),
                                  UserAppField(static_cast<int>(n), true)};
        if (!AddStoreFields(table, app, 2, static_cast<int>(n))) return false;
    }
    return AddStoreFields(table, kTail, sizeof kTail / sizeof kTail[0], 0);
}

const StoreLayout kProfileStoreLayout = {
    "OpenDatabase:Exporting profile database records\n",
    "OpenDatabase:Importing profile database records\n",
    kProfileRecordVersion,
    254,
    255,
    BuildProfileFieldTable,
};

ProfileRecordObject::ProfileRecordObject() {
    Record().Version = kProfileRecordVersion;
}

void ProfileRecordObject::SetLoginName(const char* text) {
    SetRecordText(Record().LoginName, text);
}
void ProfileRecordObject::SetPassword(const char* text) {
    SetRecordText(Record().Password, text);
}
void ProfileRecordObject::SetPOPName(const char* text) {
    SetRecordText(Record().POPName, text);
}
void ProfileRecordObject::SetPOPPassword(const char* text) {
    SetRecordText(Record().POPPassword, text);
}
void ProfileRecordObject::SetPOPServer(const char* text) {
    SetRecordText(Record().POPServer, text);
}
void ProfileRecordObject::SetSMTPServer(const char* text) {
    SetRecordText(Record().SMTPServer, text);
}
void ProfileRecordObject::SetEmailAddress(const char* text) {
    SetRecordText(Record().EmailAddress, text);
}
void ProfileRecordObject::SetNNTPServer(const char* text) {
    SetRecordText(Record().NNTPServer, text);
}
void ProfileRecordObject::SetLastName(const char* text) {
    SetRecordText(Record().LastName, text);
}
void ProfileRecordObject::SetHomePage(const char* text) {
    SetRecordText(Record().HomePage, text);
}

void ProfileRecordObject::SetDnsAddr1(const uint8_t (&address)[4]) {
    for (int i = 0; i < 4; ++i) Record().DnsAddr1[i] = address[i];
}
void ProfileRecordObject::SetDnsAddr2(const uint8_t (&address)[4]) {
    for (int i = 0; i < 4; ++i) Record().DnsAddr2[i] = address[i];
}
void ProfileRecordObject::ParseDnsAddr1(const char* text) {
    ParseAddress(Record().DnsAddr1, text);
}
void ProfileRecordObject::ParseDnsAddr2(const char* text) {
    ParseAddress(Record().DnsAddr2, text);
}
