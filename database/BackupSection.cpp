#include "database/BackupSection.h"

#include <cstdio>

#include "database/ProfileText.h"

namespace {

// A record text as the terminated value of a key.
template <size_t N>
void PutText(BackupSink& sink, const char* key, const char (&field)[N]) {
    char value[N + 1];
    GetRecordText(field, value);
    sink.Put(key, value);
}

void PutNumber(BackupSink& sink, const char* key, long value) {
    char text[16];
    std::snprintf(text, sizeof text, "%ld", value);
    sink.Put(key, text);
}

void PutAddress(BackupSink& sink, const char* key, const uint8_t (&address)[4]) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", address[0], address[1], address[2], address[3]);
    sink.Put(key, text);
}

}  // namespace

void ListProfileBackup(const ProfileRecord& record, BackupSink& sink) {
    PutText(sink, "Description", record.Description);
    PutText(sink, "LoginName", record.LoginName);
    PutText(sink, "Password", record.Password);
    PutText(sink, "CompanyLoginName", record.CompanyLoginName);
    PutText(sink, "CompanyPassword", record.CompanyPassword);
    PutText(sink, "Domain Name", record.Domain);
    PutAddress(sink, "DnsAddr1", record.DnsAddr1);
    PutAddress(sink, "DnsAddr2", record.DnsAddr2);
    PutText(sink, "Registration Code", record.RegistrationCode);
    PutText(sink, "POP Name", record.POPName);
    PutText(sink, "Email Address", record.EmailAddress);
    PutText(sink, "POP Password", record.POPPassword);
    PutText(sink, "POP Server", record.POPServer);
    PutText(sink, "SMTP Server", record.SMTPServer);
    PutText(sink, "NNTP Server", record.NNTPServer);
    PutText(sink, "Home Page", record.HomePage);
    PutText(sink, "Title", record.Title);
    PutText(sink, "FirstName", record.FirstName);
    PutText(sink, "LastName", record.LastName);
    PutText(sink, "Address", record.Address);
    PutText(sink, "Address2", record.Address2);
    PutText(sink, "State", record.State);
    PutText(sink, "City", record.City);
    PutText(sink, "Zipcode", record.Zipcode);
    PutText(sink, "Country", record.Country);
    PutText(sink, "Organization", record.Organization);
}

void ListLocationBackup(const LocationRecord& record, BackupSink& sink) {
    PutText(sink, "Description", record.Description);
    PutText(sink, "AreaCode", record.AreaCode);
    PutText(sink, "LocalNumber", record.LocalNumber);
    PutText(sink, "LocalAccess", record.LocalAccess);
    PutText(sink, "LongDistanceAccess", record.LongDistanceAccess);
    PutText(sink, "CallWaitingDisable", record.CallWaitingDisable);
    // The flags and the connection type are unsigned: 65535 stays 65535.
    PutNumber(sink, "CallWaitingDisabled", record.CallWaitingDisabled);
    PutNumber(sink, "ConnectionType", record.ConnectionType);
    PutNumber(sink, "ToneDial", record.ToneDial);
    PutNumber(sink, "DontUseAreaCodeWhenDialing", record.DontUseAreaCodeWhenDialing);
    PutNumber(sink, "DialLocalAsLongDistance", record.DialLocalAsLongDistance);
    PutNumber(sink, "DefaultPOPEntry", record.DefaultPOPEntry);
    PutNumber(sink, "BackupPOPEntry", record.BackupPOPEntry);
    PutNumber(sink, "Use1ForLongDistance", record.Use1ForLongDistance);
    PutText(sink, "CountryCode", record.CountryCode);
    PutText(sink, "CallingCardNumber", record.CallingCardNumber);
    for (int k = 0; k < 20; ++k) {
        const POPEntry& entry = record.POPEntries[k];
        char key[40];
        std::snprintf(key, sizeof key, "POP_NUMBER_%d", k);
        PutText(sink, key, entry.PopNumber);
        std::snprintf(key, sizeof key, "POP_DESC_%d", k);
        PutText(sink, key, entry.PopDescription);
        std::snprintf(key, sizeof key, "POP_DUAL_LOGIN_REQUIRED_%d", k);
        PutNumber(sink, key, entry.PopDualLoginRequired);
    }
}
