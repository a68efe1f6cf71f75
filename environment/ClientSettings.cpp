#include "environment/ClientSettings.h"

#include <cstdio>
#include <cstring>

#include "api/ModuleInstance.h"
#include "database/ProfileText.h"
#include "diag/Logs.h"
#include "environment/ConfigPaths.h"
#include "environment/RegistryKey.h"

namespace {

const char kNavigator[] = "software\\netscape\\Netscape Navigator\\";
const char kIspSection[] = "ISP Information";

// The keys are only read: read access is enough, and works where the user
// may not write them.
int OpenNavigatorKey(RegistryKey& key, const char* name) {
    char path[128];
    std::snprintf(path, sizeof path, "%s%s", kNavigator, name);
    return key.Open(HKEY_CURRENT_USER, path, KEY_READ);
}

// Reads a value into a record field through the setter rule; 1 when read.
template <size_t N>
int ReadInto(RegistryKey& key, const char* name, char (&field)[N]) {
    RegistryValue value;
    if (!key.ReadValue(name, value)) return 0;
    SetRecordText(field, value.Text());
    return 1;
}

void LogMissingKey(const char* function, const char* key, const char* consequence,
                   unsigned long mask) {
    g_Log(mask) << function << ": " << kNavigator << key << " not found in registry" << consequence
                << "\n";
}

}  // namespace

DWORD GetNetscapeMailEntries(ProfileRecord& record, DWORD* found) {
    DWORD notFound = 0;
    if (!found) found = &notFound;
    *found = 0;
    RegistryKey key;
    if (!OpenNavigatorKey(key, "services")) {
        LogMissingKey("GetNetscapeMailEntries", "services", ", user not registered", LOG_INFO);
        return 0;
    }
    if (!ReadInto(key, "POP_Server", record.POPServer))
        g_Log(LOG_ERROR) << "GetNetscapeMailEntries: Failed to retrive POP Server address\n";
    if (!ReadInto(key, "SMTP_Server", record.SMTPServer))
        g_Log(LOG_INFO) << "GetNetscapeMailEntries: Failed to retrive SMTP Server address\n";

    if (!OpenNavigatorKey(key, "mail")) {
        *found = 0;
        LogMissingKey("GetNetscapeMailEntries", "mail", ", user not registered", LOG_ERROR);
        return 8;
    }
    if (!ReadInto(key, "POP Name", record.POPName))
        g_Log(LOG_INFO) << "GetNetscapeMailEntries: Failed to retrive POP Name\n";

    if (!OpenNavigatorKey(key, "user")) {
        LogMissingKey("GetNetscapeMailEntries", "user", "", LOG_ERROR);
    } else {
        ReadInto(key, "User_name", record.LastName);
        if (ReadInto(key, "Reply_to", record.EmailAddress)) *found = 1;
    }

    bool passwordRead = false;
    if (OpenNavigatorKey(key, "ORVO")) {
        passwordRead = ReadInto(key, "EASS", record.POPPassword) != 0;
        if (!passwordRead)
            g_Log(LOG_INFO) << "GetNetscapeMailEntries: POP password not found in registry\n";
    } else {
        LogMissingKey("GetNetscapeMailEntries", "ORVO", "", LOG_INFO);
    }
    if (!passwordRead && GetPOPPasswordFromRegIni(record) != 0)
        g_Log(LOG_INFO) << "GetNetscapeMailEntries: GetPOPPasswordFromRegIni() failed\n";
    return 0;
}

DWORD GetNetscapeBrowserEntries(ProfileRecord& record) {
    RegistryKey key;
    if (!OpenNavigatorKey(key, "main")) {
        LogMissingKey("GetNetscapeBrowserEntries", "main", "", LOG_INFO);
        return 0;
    }
    ReadInto(key, "Home page", record.HomePage);
    return 0;
}

DWORD GetNetscapeNewsEntries(ProfileRecord& record) {
    RegistryKey key;
    if (!OpenNavigatorKey(key, "services")) {
        LogMissingKey("GetNetscapeNewsEntries", "services", ", user not registered", LOG_INFO);
        return 8;
    }
    if (!ReadInto(key, "NNTP_Server", record.NNTPServer)) {
        g_Log(LOG_INFO) << "GetNetscapeNewsEntries: Failed to retrive NNTP Server address\n";
        return 8;
    }
    return 0;
}

DWORD GetNetscapeRegIniFullPath(CBuffer& path) {
    RegistryKey key;
    if (!OpenNavigatorKey(key, "Main")) {
        LogMissingKey("GetNetscapeRegIniFullPath", "Main", ", Netscape Navigator not installed",
                      LOG_INFO);
        return 8;
    }
    RegistryValue directory;
    if (!key.ReadValue("Install Directory", directory)) {
        g_Log(LOG_INFO) << "GetNetscapeRegIniFullPath: Failed to retrive Navigator Install "
                           "Directory from registry\n";
        return 8;
    }
    size_t length = std::strlen(directory.Text());
    if (length == 0) {
        g_Log(LOG_INFO)
            << "GetNetscapeRegIniFullPath: Navigator Install Directory is empty string\n";
        return 8;
    }
    char* out = reinterpret_cast<char*>(path.Create(length + 32));
    if (!out) return 8;
    if (directory.Text()[length - 1] == '\\') --length;
    std::memcpy(out, directory.Text(), length);
    std::memcpy(out + length, "\\Program\\reg.ini", sizeof "\\Program\\reg.ini");
    return 0;
}

bool ReadRegIniValue(const char* regIniPath, const char* key, char (&value)[256]) {
    GetPrivateProfileStringA(kIspSection, key, "*", value, sizeof value, regIniPath);
    return value[0] != '*';
}

DWORD GetPOPPasswordFromRegIni(ProfileRecord& record) {
    CBuffer path;
    if (GetNetscapeRegIniFullPath(path) != 0) {
        g_Log(LOG_INFO) << "GetPOPPasswordFromRegIni: GetNetscapeRegIniFullPath() failed\n";
        return 8;
    }
    char value[256];
    if (!ReadRegIniValue(reinterpret_cast<const char*>(path.GetPointer(nullptr)), "EASS", value)) {
        g_Log(LOG_INFO) << "GetPOPPasswordFromRegIni: POP password entry not found in reg.ini\n";
        return 8;
    }
    SetRecordText(record.POPPassword, value);
    return 0;
}

namespace {

// Rewrites a mail field from a 512-byte scratch copy of its text.
template <size_t N, class Rewrite>
void RewriteField(char (&field)[N], Rewrite rewrite) {
    char scratch[512];
    GetRecordText(field, scratch);
    if (rewrite(scratch, sizeof scratch)) SetRecordText(field, scratch);
}

bool KeepBeforeAt(char* text, size_t) {
    char* at = std::strchr(text, '@');
    if (at) *at = '\0';
    return true;
}

bool KeepAfterAt(char* text, size_t) {
    char* at = std::strchr(text, '@');
    if (!at) return false;
    std::memmove(text, at + 1, std::strlen(at + 1) + 1);
    return true;
}

}  // namespace

void NormalizeMailFields(ProfileRecord& record) {
    RewriteField(record.POPName, KeepBeforeAt);
    RewriteField(record.POPServer, KeepAfterAt);
    RewriteField(record.SMTPServer, KeepAfterAt);
    RewriteField(record.EmailAddress, [](char* text, size_t size) {
        if (!*text || std::strchr(text, '@')) return false;
        size_t length = std::strlen(text);
        while (length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\t')) --length;
        char domain[256];
        GetServiceMailDomain(GetModuleInstance(), domain, sizeof domain);
        size_t completed = length + 1 + std::strlen(domain);
        // An address that would not fit the field after completion is left
        // as it was.
        if (completed > kRecordTextLimit || completed >= size) return false;
        std::snprintf(text + length, size - length, "@%s", domain);
        return true;
    });
}
