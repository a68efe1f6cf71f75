// The browser, mail and news settings of Netscape Navigator, read from the
// current user's registry and Navigator's "reg.ini" into a profile record;
// and the clean-up of the record's mail fields. Navigator's keys and files
// are only read.
//
// Results are 0 or 8 as each function says; every step is logged on g_Log.
#ifndef WIN95_ENVIRONMENT_CLIENTSETTINGS_H
#define WIN95_ENVIRONMENT_CLIENTSETTINGS_H

#include <win95/CBuffer.h>
#include <win95/Records.h>
#include <windows.h>

// POP and SMTP servers, the POP account name, the user's name and reply-to
// address, and the POP password (registry, else "reg.ini"). found is 1 only
// when the reply-to address was read. 8 when the "mail" key is missing.
DWORD GetNetscapeMailEntries(ProfileRecord& record, DWORD* found);
// The home page, when it can be read. Always 0.
DWORD GetNetscapeBrowserEntries(ProfileRecord& record);
// The news server: 0 when it was read, else 8.
DWORD GetNetscapeNewsEntries(ProfileRecord& record);
// The full path of Navigator's "reg.ini" into path: 0, or 8.
DWORD GetNetscapeRegIniFullPath(CBuffer& path);
// The POP password from "reg.ini": 0 when it was there, else 8.
DWORD GetPOPPasswordFromRegIni(ProfileRecord& record);
// Reads key of section "ISP Information" of "reg.ini" (default "*") into a
// 256-byte value; false when it is missing (it begins with "*").
bool ReadRegIniValue(const char* regIniPath, const char* key, char (&value)[256]);

// POPName keeps what precedes the first "@"; POPServer and SMTPServer keep
// what follows it; an EmailAddress without "@" loses its trailing blanks and
// gains "@" and the service's mail domain (unchanged when that would not fit).
void NormalizeMailFields(ProfileRecord& record);

#endif
