// The service connectoid: the RAS phonebook entry "Orvo VelTrane Service"
// that the library creates from a dial request and keeps up to date.
//
// Every operation resolves the RAS phonebook functions it needs at run time
// through its own RasLoader and returns 0 or an ApiResult code (8, 14, 18);
// failures are logged on g_Log at mask 1. The phonebook holds all state.
#ifndef WIN95_DIALER_CONNECTOID_H
#define WIN95_DIALER_CONNECTOID_H

#include <win95/CBuffer.h>
#include <win95/DialRecords.h>
#include <windows.h>

// exists = 1 when RAS says the entry name is taken (183), else 0. 0, or 14
// when the validation function cannot be resolved.
DWORD ConnectoidExists(const char* entryName, int* exists);
// The service connectoid's RASENTRY into entry, sized as RAS asks. 0 or 8.
DWORD GetConnectoid(CBuffer& entry);
// Writes entry (a RASENTRY) as the service connectoid, without device
// configuration. 0 or 18.
DWORD SetRasEntry(CBuffer& entry);
// The service connectoid's device configuration block. 0 or 8.
DWORD GetModemConfigInfo(ModemConfigInfo& info);
// Writes info's block into the service connectoid. 0 or 8.
DWORD SetModemConfigInfo(const ModemConfigInfo& info);
// Creates or rewrites the entry from the request, stores the dial
// credentials, names this library's AutoDialHandler, and for a new entry or
// another modem writes the modem's default configuration. 0, 8 or 18.
DWORD CreateConnectoid(const char* entryName, const DialRequest& request);
// Deletes the entry. 0 or 8.
DWORD RemoveConnectoid(const char* entryName);

#endif
