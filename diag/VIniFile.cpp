#include "diag/VIniFile.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "api/ModuleInstance.h"
#include "diag/LogPlatform.h"
#include "environment/ConfigPaths.h"
#include "environment/PathParts.h"

namespace {

const DWORD kSubdirSize = 259;
const DWORD kModulePathSize = 772;

bool EndsWithSeparator(const char* text) {
    size_t length = std::strlen(text);
    return length && (text[length - 1] == '\\' || text[length - 1] == '/');
}

// Stores text + "\" (unless it already ends in a separator) into target.
bool AssignDirectory(HeapText& target, const char* text) {
    char joined[kModulePathSize + 2];
    std::snprintf(joined, sizeof joined, EndsWithSeparator(text) ? "%s" : "%s\\", text);
    return target.Assign(joined);
}

bool Report(const char* field) {
    char text[128];
    std::snprintf(text, sizeof text, "INTERNAL LOG ERROR:  Could not alloc memory for %s\n", field);
    DebuggerOutput(text);
    return false;
}

// Case-insensitive membership of a word list.
bool OneOf(const char* text, std::initializer_list<const char*> words) {
    for (const char* word : words)
        if (lstrcmpiA(text, word) == 0) return true;
    return false;
}

}  // namespace

VIniFile::VIniFile(const char* givenName) {
    if (!m_pGivenName.Assign(givenName, kMaxGivenName))
        DebuggerOutput("INTERNAL LOG ERROR:  Could not store Ini file passed in\n");
}

VIniFile::~VIniFile() {
    Close();
}

void VIniFile::Locate() {
    HMODULE module = GetModuleInstance();
    const char* given = m_pGivenName.Text();
    size_t dirLength = DirectoryPartLength(given);

    char candidate[kModulePathSize + 1];
    std::snprintf(candidate, sizeof candidate, "%.*s", static_cast<int>(dirLength), given);
    if (candidate[0] == '\0') {
        DWORD length = kSubdirSize;
        if (!GetKitSubdirPath(module, candidate, &length, "DataDir")) {
            char modulePath[kModulePathSize];
            DWORD got = GetModuleFileNameA(module, modulePath, sizeof modulePath);
            if (got == 0 || got >= sizeof modulePath) {
                DebuggerOutput("INTERNAL LOG ERROR:  Could not get module path..\n");
                return;
            }
            modulePath[got] = '\0';
            std::snprintf(candidate, sizeof candidate, "%.*s",
                          static_cast<int>(DirectoryPartLength(modulePath)), modulePath);
        }
    }
    if (!AssignDirectory(m_pIniDirectoryName, candidate)) {
        Report("m_pIniDirectoryName");
        return;
    }

    char name[256];
    std::snprintf(name, sizeof name, "%s", given + dirLength);
    if (name[0] == '\0') {
        char configured[256];
        GetCoreConfigString(module, "LogIniFile", configured, sizeof configured);
        std::snprintf(name, sizeof name, "%s",
                      configured[0] ? NamePart(configured) : "veltrane.ini");
    }
    if (!m_pIniFileName.Assign(name)) {
        Report("m_pIniFileName");
        return;
    }
    char full[kModulePathSize + 2 + sizeof name];
    std::snprintf(full, sizeof full, "%s%s", m_pIniDirectoryName.Text(), name);
    if (!m_pIniFullPathName.Assign(full)) {
        Report("m_pIniFullPathName");
        return;
    }

    char logDir[kSubdirSize];
    DWORD length = kSubdirSize;
    if (GetKitSubdirPath(module, logDir, &length, "LogDir")) {
        if (!AssignDirectory(m_pLogDirectory, logDir)) Report("m_pLogDirectory");
    } else {
        m_pLogDirectory.Reset();
    }
}

int VIniFile::ReadBool(const char* section, const char* key, int fallback) const {
    if (!FullPathName()) return fallback;
    char defaultText[16];
    std::snprintf(defaultText, sizeof defaultText, "%d", fallback);
    char value[100];
    GetPrivateProfileStringA(section, key, defaultText, value, sizeof value, FullPathName());
    if (value[0] == '\0') return fallback;
    if (OneOf(value, {"0", "false", "off", "no"})) return 0;
    if (OneOf(value, {"1", "true", "on", "yes"})) return 1;
    return fallback;
}

int VIniFile::ReadInt(const char* section, const char* key, int fallback) const {
    if (!FullPathName()) return fallback;
    return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, FullPathName()));
}

unsigned long VIniFile::ReadHex(const char* section, const char* key,
                                unsigned long fallback) const {
    if (!FullPathName()) return fallback;
    char value[100];
    GetPrivateProfileStringA(section, key, "", value, sizeof value, FullPathName());
    if (value[0] == '\0') return fallback;
    const char* p = value;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) p += 2;
    unsigned long result = 0;
    for (;; ++p) {
        int digit;
        if (*p >= '0' && *p <= '9')
            digit = *p - '0';
        else if (*p >= 'a' && *p <= 'f')
            digit = *p - 'a' + 10;
        else if (*p >= 'A' && *p <= 'F')
            digit = *p - 'A' + 10;
        else
            break;
        result = (result << 4) | static_cast<unsigned long>(digit);
    }
    return result;
}

void VIniFile::ReadString(const char* section, const char* key, const char* fallback, char* out,
                          unsigned long size) const {
    if (!out || size == 0) return;
    if (!FullPathName()) {
        std::snprintf(out, size, "%s", fallback ? fallback : "");
        return;
    }
    GetPrivateProfileStringA(section, key, fallback, out, size, FullPathName());
}

void VIniFile::Close() {
    if (FullPathName()) WritePrivateProfileStringA(nullptr, nullptr, nullptr, FullPathName());
    m_pIniFileName.Reset();
    m_pIniDirectoryName.Reset();
    m_pIniFullPathName.Reset();
    m_pGivenName.Reset();
    m_pLogDirectory.Reset();
}
