// Paths from the kit's configuration file "corecode.ini", which lies beside
// the library module, section "configuration".
//
// Two families of readers, whose conventions differ on purpose:
//  - the log-side readers (GetKitPath, GetKitSubdirPath) treat an empty value
//    as failure and report lengths without the terminating zero;
//  - the size-query getters (Query*) accept empty values, take a null output
//    buffer to ask for the size, and report lengths with the terminator.
// Nothing is cached: every call reads "corecode.ini" and WIN.INI again.
// Integer results are 1 (success) or 0 (failure); on failure *len is left as
// it was and the output is not written. A null len is a failure.
#ifndef WIN95_ENVIRONMENT_CONFIGPATHS_H
#define WIN95_ENVIRONMENT_CONFIGPATHS_H

#include <windows.h>

// Reads a key of section "configuration" into out (outSize characters), ""
// when the file or key is missing.
void GetCoreConfigString(HMODULE module, const char* key, char* out, DWORD outSize);

// The kit directory: "Path" of the WIN.INI section that "WinSection" names.
int GetKitPath(HMODULE module, char* out, DWORD outSize);
// Kit directory, a backslash and the value of key; out may be null. *len is
// out's size on entry and the path's length without terminator on return.
int GetKitSubdirPath(HMODULE module, char* out, DWORD* len, const char* key);

// Size-query getters: out may be null; *len is out's size on entry and the
// result's length plus one on success.
int QueryKitPath(HMODULE module, char* out, DWORD* len);
int QueryDataDirPath(HMODULE module, char* out, DWORD* len);     // kit\DataDir
int QueryProfileDBPath(HMODULE module, char* out, DWORD* len);   // data\ProfileDB
int QueryLocationDBPath(HMODULE module, char* out, DWORD* len);  // data\LocationDB

// The service's two accepted mail domains, "MailDomain" (default
// "orvoveltrane.net") and "ShortMailDomain" (default "ovt.net").
void GetServiceMailDomain(HMODULE module, char* out, DWORD outSize);
void GetServiceShortMailDomain(HMODULE module, char* out, DWORD outSize);

#endif
