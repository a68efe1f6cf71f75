#include "environment/ConfigPaths.h"

#include <cstdio>
#include <cstring>

#include "environment/PathParts.h"

namespace {

const char kSection[] = "configuration";

// Reads "WinSection" and then WIN.INI's "Path" of that section into a buffer
// of 256 characters.
void ReadKitDirectory(HMODULE module, char (&value)[256]) {
    GetCoreConfigString(module, "WinSection", value, sizeof value);
    char section[256];
    std::memcpy(section, value, sizeof section);
    GetProfileStringA(section, "Path", "", value, sizeof value);
}

// Copies a result out by the size-query convention.
int ReportSized(const char* value, char* out, DWORD* len) {
    DWORD length = static_cast<DWORD>(std::strlen(value));
    if (out) {
        if (length >= *len) return 0;
        std::memcpy(out, value, length + 1);
    }
    *len = length + 1;
    return 1;
}

typedef int (*BaseGetter)(HMODULE, char*, DWORD*);

// base\value-of-key, by the size-query convention.
int QueryJoined(HMODULE module, const char* key, BaseGetter base, char* out, DWORD* len) {
    if (!len) return 0;
    char value[64];
    GetCoreConfigString(module, key, value, sizeof value);
    char basePath[256];
    DWORD baseLength = sizeof basePath;
    if (!base(module, basePath, &baseLength)) return 0;
    char joined[1024];
    std::snprintf(joined, sizeof joined, "%s\\%s", basePath, value);
    return ReportSized(joined, out, len);
}

}  // namespace

void GetCoreConfigString(HMODULE module, const char* key, char* out, DWORD outSize) {
    if (!out || outSize == 0) return;
    out[0] = '\0';
    char modulePath[256];
    DWORD length = GetModuleFileNameA(module, modulePath, sizeof modulePath);
    if (length >= sizeof modulePath) length = sizeof modulePath - 1;
    modulePath[length] = '\0';
    char iniPath[256 + sizeof "corecode.ini"];
    std::snprintf(iniPath, sizeof iniPath, "%.*scorecode.ini",
                  static_cast<int>(DirectoryPartLength(modulePath)), modulePath);
    GetPrivateProfileStringA(kSection, key, "", out, outSize, iniPath);
}

int GetKitPath(HMODULE module, char* out, DWORD outSize) {
    char value[256];
    ReadKitDirectory(module, value);
    DWORD length = static_cast<DWORD>(std::strlen(value));
    if (!out || length >= outSize || length == 0) return 0;
    std::memcpy(out, value, length + 1);
    return 1;
}

int GetKitSubdirPath(HMODULE module, char* out, DWORD* len, const char* key) {
    if (!len) return 0;
    char value[64];
    GetCoreConfigString(module, key, value, sizeof value);
    char kit[256];
    if (!GetKitPath(module, kit, sizeof kit) || value[0] == '\0') return 0;
    char joined[320];
    std::snprintf(joined, sizeof joined, "%s\\%s", kit, value);
    DWORD length = static_cast<DWORD>(std::strlen(joined));
    if (out) {
        if (length >= *len) return 0;
        std::memcpy(out, joined, length + 1);
    }
    *len = length;
    return 1;
}

int QueryKitPath(HMODULE module, char* out, DWORD* len) {
    if (!len) return 0;
    char value[256];
    ReadKitDirectory(module, value);
    return ReportSized(value, out, len);
}

int QueryDataDirPath(HMODULE module, char* out, DWORD* len) {
    return QueryJoined(module, "DataDir", QueryKitPath, out, len);
}

int QueryProfileDBPath(HMODULE module, char* out, DWORD* len) {
    return QueryJoined(module, "ProfileDB", QueryDataDirPath, out, len);
}

int QueryLocationDBPath(HMODULE module, char* out, DWORD* len) {
    return QueryJoined(module, "LocationDB", QueryDataDirPath, out, len);
}

namespace {
void ReadWithDefault(HMODULE module, const char* key, const char* fallback, char* out,
                     DWORD outSize) {
    if (!out || outSize == 0) return;
    GetCoreConfigString(module, key, out, outSize);
    if (out[0] == '\0') std::snprintf(out, outSize, "%s", fallback);
}
}  // namespace

void GetServiceMailDomain(HMODULE module, char* out, DWORD outSize) {
    ReadWithDefault(module, "MailDomain", "orvoveltrane.net", out, outSize);
}

void GetServiceShortMailDomain(HMODULE module, char* out, DWORD outSize) {
    ReadWithDefault(module, "ShortMailDomain", "ovt.net", out, outSize);
}
