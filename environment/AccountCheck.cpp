// IsUserRegistered: whether a subscriber account of the service is set up on
// this machine. Three sources in order, the first that yields an account
// wins: the profile store's current record, a connectoid of the service in
// the phonebook (the registry names it), and Navigator's "reg.ini"; for the
// last two, Navigator's mail settings decide. What is found goes to the
// caller's backup file; the stores are only read.
#include <win95/Exports.h>

#include <cstdio>
#include <cstring>

#include "api/ModuleInstance.h"
#include "database/LocationDatabase.h"
#include "database/ProfileDatabase.h"
#include "database/ProfileText.h"
#include "diag/BoundedCopy.h"
#include "diag/Logs.h"
#include "dialer/RasLoader.h"
#include "dialer/platform/RasTypes.h"
#include "environment/ClientSettings.h"
#include "environment/ConfigPaths.h"
#include "environment/RegistryKey.h"

namespace {

const char* const kConnectoidNames[] = {"Orvo VelTrane", "Orvo Veltrane", "ORVO"};

// How the connectoid search ended.
enum ConnectoidSearch {
    kNoAddresses,     // the registry key cannot be opened: the answer is no
    kNoConnectoid,    // none of the names: Navigator's reg.ini is next
    kConnectoidRead,  // the account came from the connectoid
    kRasFailed        // a RAS step failed: the check ends with 8
};

// The working objects of one check.
struct Account {
    ProfileRecordObject profile;
    LocationRecordObject location;
};

void LogCode(const char* text, int code) {
    g_Log(LOG_ERROR) << text << static_cast<unsigned long>(code) << "\n";
}

// Source 1: a current profile record that names a POP account.
bool FromProfileStore(Account& account, const char* profilePath, const char* locationPath,
                      const char* backupFile) {
    CProfileDatabase profiles;
    int error = profiles.OpenDatabase(profilePath, kProfileRecordVersion);
    if (error != 0) {
        LogCode("IsUserRegistered: Cannot open profile database, err=", error);
        return false;
    }
    if (profiles.GetCurrentRecord(account.profile) != 0 ||
        RecordTextLength(account.profile.Record().POPName) == 0)
        return false;

    account.profile.WriteBackup(backupFile);
    CLocationDatabase locations;
    error = locations.OpenDatabase(locationPath, kLocationRecordVersion);
    if (error != 0) {
        LogCode("IsUserRegistered: Error opening location database, err=", error);
        return true;
    }
    error = locations.GetCurrentRecord(account.location);
    if (error != 0) {
        LogCode("IsUserRegistered: Error opening current location record, err=", error);
        return true;
    }
    account.location.WriteBackup(backupFile);
    return true;
}

// Source 2: the connectoid's entry and dial parameters.
ConnectoidSearch FromConnectoid(Account& account) {
    RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, "RemoteAccess\\Addresses", KEY_READ)) {
        g_Log(LOG_ERROR) << "IsUserRegistered: Could not open "
                            "HKEY_CURRENT_USER\\RemoteAccess\\Addresses in registry\n";
        return kNoAddresses;
    }
    const char* name = nullptr;
    for (const char* candidate : kConnectoidNames) {
        RegistryValue value;
        if (key.ReadValue(candidate, value)) {
            name = candidate;
            break;
        }
    }
    if (!name) {
        g_Log(LOG_INFO)
            << "IsUserRegistered: Orvo VelTrane connectoid not found, will check reg.ini\n";
        return kNoConnectoid;
    }

    RasLoader loader;
    auto getEntryProperties = loader.Get<RasGetEntryPropertiesFn>("RasGetEntryProperties");
    if (!getEntryProperties) {
        g_Log(LOG_ERROR) << "IsUserRegistered: GetProcAddress for RasGetEntryProperties failed\n";
        return kRasFailed;
    }
    RASENTRY entry;
    std::memset(&entry, 0, sizeof entry);
    entry.dwSize = sizeof entry;
    DWORD entrySize = sizeof entry;
    if (getEntryProperties(nullptr, name, &entry, &entrySize, nullptr, nullptr) != 0) {
        g_Log(LOG_ERROR) << "IsUserRegistered: Error reading connectoid " << name << "\n";
        return kRasFailed;
    }
    const uint8_t dns1[4] = {entry.ipaddrDns.a, entry.ipaddrDns.b, entry.ipaddrDns.c,
                             entry.ipaddrDns.d};
    const uint8_t dns2[4] = {entry.ipaddrDnsAlt.a, entry.ipaddrDnsAlt.b, entry.ipaddrDnsAlt.c,
                             entry.ipaddrDnsAlt.d};
    account.profile.SetDnsAddr1(dns1);
    account.profile.SetDnsAddr2(dns2);

    RASDIALPARAMS params;
    std::memset(&params, 0, sizeof params);
    params.dwSize = sizeof params;
    CopyBounded(params.szEntryName, sizeof params.szEntryName, name);
    BOOL passwordStored = FALSE;
    DWORD error = RasGetEntryDialParamsA(nullptr, &params, &passwordStored);
    if (error != 0) {
        g_Log(LOG_ERROR) << "IsUserRegistered: RasGetEntryParams failed, err=" << error << "\n";
        return kRasFailed;
    }

    POPEntry pop;
    std::memset(&pop, 0, sizeof pop);
    char* number = reinterpret_cast<char*>(&pop);
    if (params.szPhoneNumber[0]) {
        g_Log(LOG_INFO) << "IsUserRegistered: RasDialParams.szPhoneNumber: " << params.szPhoneNumber
                        << "\n";
        CopyBounded(number, sizeof pop, params.szPhoneNumber);
    } else {
        g_Log(LOG_INFO) << "IsUserRegistered:  RasDialParams.szPhoneNumber is null\n";
        std::snprintf(number, sizeof pop, "%s %s", entry.szAreaCode, entry.szLocalPhoneNumber);
        g_Log(LOG_INFO) << "IsUserRegistered:  popEntry set to: " << number << "\n";
    }
    account.location.AddPOPEntry(pop);
    account.location.SetDefaultPOPEntry(0);

    account.profile.SetLoginName(params.szUserName);
    if (passwordStored)
        account.profile.SetPassword(params.szPassword);
    else
        g_Log(LOG_INFO) << "IsUserRegistered: RasGetEntryParams did not retrive password\n";
    SecureZeroMemory(&params, sizeof params);
    return kConnectoidRead;
}

// Whether the text after the first "@" is one of the service's mail domains,
// compared without regard to case.
bool IsServiceAddress(const char* address) {
    const char* at = std::strchr(address, '@');
    if (!at) return false;
    char domain[256], shortDomain[256];
    GetServiceMailDomain(GetModuleInstance(), domain, sizeof domain);
    GetServiceShortMailDomain(GetModuleInstance(), shortDomain, sizeof shortDomain);
    return lstrcmpiA(at + 1, domain) == 0 || lstrcmpiA(at + 1, shortDomain) == 0;
}

// Source 3: Navigator's "reg.ini". False when it yields no account.
bool FromRegIni(Account& account) {
    CBuffer path;
    if (GetNetscapeRegIniFullPath(path) != 0) {
        g_Log(LOG_INFO) << "IsUserRegistered: GetNetscapeRegIniFullPath() failed\n";
        return false;
    }
    const char* regIni = reinterpret_cast<const char*>(path.GetPointer(nullptr));
    char value[256];
    if (!ReadRegIniValue(regIni, "EMAIL_ADDR", value)) {
        g_Log(LOG_INFO) << "IsUserRegistered: Email address not found in reg.ini\n";
        return false;
    }
    if (!IsServiceAddress(value)) {
        g_Log(LOG_INFO) << "IsUserRegistered: User is not registered through Netscape\n";
        return false;
    }
    if (!ReadRegIniValue(regIni, "LOGIN", value)) {
        g_Log(LOG_INFO) << "IsUserRegistered: Login not found in reg.ini\n";
        return false;
    }
    account.profile.SetLoginName(value);
    if (!ReadRegIniValue(regIni, "LASS", value)) {
        g_Log(LOG_INFO) << "IsUserRegistered: Password not found in reg.ini\n";
        return false;
    }
    account.profile.SetPassword(value);
    if (!ReadRegIniValue(regIni, "DNS_ADDR", value)) {
        g_Log(LOG_INFO) << "IsUserRegistered: DNS1 not found in reg.ini\n";
        return false;
    }
    account.profile.ParseDnsAddr1(value);
    if (!ReadRegIniValue(regIni, "DNS_ADDR_2", value))
        g_Log(LOG_INFO) << "IsUserRegistered: DNS2 not found in reg.ini\n";
    else
        account.profile.ParseDnsAddr2(value);
    return true;
}

// Navigator's mail settings decide; the account goes to the backup file.
void Decide(Account& account, DWORD* registered, const char* backupFile) {
    ProfileRecord& profile = account.profile.Record();
    GetNetscapeMailEntries(profile, registered);
    if (*registered == 1) {
        NormalizeMailFields(profile);
        char address[256];
        GetRecordText(profile.EmailAddress, address);
        if (!std::strchr(address, '@')) {
            g_Log(LOG_INFO) << "IsUserRegistered: User is not registered through Netscape\n";
            *registered = 0;
        } else if (IsServiceAddress(address)) {
            GetNetscapeBrowserEntries(profile);
            GetNetscapeNewsEntries(profile);
        }
    }
    if (*registered == 1) {
        NormalizeMailFields(profile);
        account.profile.WriteBackup(backupFile);
        account.location.WriteBackup(backupFile);
        g_Log(LOG_INFO) << "IsUserRegistered: User is registered\n";
    } else {
        *registered = 0;
        g_Log(LOG_INFO) << "IsUserRegistered: User is not registered\n";
    }
}

}  // namespace

extern "C" DWORD WINAPI IsUserRegistered(DWORD* registered, const char* backupFile, DWORD) {
    g_Log(LOG_ENTER | LOG_ENTER_DETAIL) << "IsUserRegistered entered\n";
    if (!registered || !backupFile) return WIN95_FAILED;
    *registered = 0;

    CBuffer profilePath, locationPath;
    if (!profilePath.Create(256) || !locationPath.Create(256)) {
        g_Log(LOG_ERROR) << "IsUserRegistered: Memory allocation failed\n";
        return WIN95_OUT_OF_MEMORY;
    }
    char* profileName = reinterpret_cast<char*>(profilePath.GetPointer(nullptr));
    char* locationName = reinterpret_cast<char*>(locationPath.GetPointer(nullptr));
    DWORD length = 256;
    QueryProfileDBPath(GetModuleInstance(), profileName, &length);
    length = 256;
    QueryLocationDBPath(GetModuleInstance(), locationName, &length);

    Account account;
    if (FromProfileStore(account, profileName, locationName, backupFile)) {
        *registered = 1;
        return WIN95_OK;
    }

    g_Log(LOG_INFO) << "IsUserRegistered: Registered user not found in profile database, "
                       "searching for connectoids\n";
    switch (FromConnectoid(account)) {
        case kNoAddresses:
            return WIN95_OK;
        case kRasFailed:
            return WIN95_FAILED;
        case kNoConnectoid:
            if (!FromRegIni(account)) return WIN95_OK;
            break;
        case kConnectoidRead:
            break;
    }
    Decide(account, registered, backupFile);
    return WIN95_OK;
}
