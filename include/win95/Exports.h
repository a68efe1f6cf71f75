// The exported functions of WIN95.dll.
//
// Every function uses the standard Windows calling convention, carries a
// fixed ordinal (see WIN95.def) and reports by result code (Win95ApiResult,
// or the codes named with the function); nothing is thrown and nothing is
// shown to the user. A null pointer where an out-value or record is required
// is answered with a failure code and never dereferenced.
#ifndef WIN95_EXPORTS_H
#define WIN95_EXPORTS_H

#include <windows.h>

#include "DialRecords.h"
#include "Platform.h"
#include "Records.h"
#include "Results.h"

#ifdef __cplusplus
extern "C" {
#endif

#define WIN95_EXPORT WIN95_IMPORT DWORD WINAPI

// ---- Generic object functions (ordinals 1 to 5) ----------------------------
// Creates an object of the class (only WIN95_DIALER_CLASS_ID is known) and
// stores its handle, or 0: 0, 4 (19 objects live), 11 (unknown class).
// A null handle out-value gives 11 and creates nothing.
WIN95_EXPORT GetObjectHandle(DWORD classId, DWORD* handle);
// 0, or 1 for an invalid handle.
WIN95_EXPORT FreeObject(DWORD handle);
// 1 (handle), 5 (key not supported), or the object's answer (6 here).
WIN95_EXPORT Set(DWORD handle, DWORD key, DWORD value);
WIN95_EXPORT Get(DWORD handle, DWORD key, DWORD a, DWORD b);
// 0, or 1 for an invalid handle or a null record.
WIN95_EXPORT GetObjectInfo(DWORD handle, ObjectInfo* info);

// ---- Dialer family (type 3) -------------------------------------------------
WIN95_EXPORT Dial(DWORD handle, struct DialRequest* request);
WIN95_EXPORT HangUp(DWORD handle);
WIN95_EXPORT GetStatus(DWORD handle, DWORD* status);

// ---- System family (type 2) -------------------------------------------------
// The family functions check the handle (1) and the object's type (3) and
// pass their other arguments through unchanged; this library has no class of
// types 1 and 2, so for its own objects they answer 1 or 3.
WIN95_EXPORT ComponentsInstalled(DWORD handle, DWORD a);
WIN95_EXPORT InstallComponents(DWORD handle, DWORD a);
WIN95_EXPORT Uninstall(DWORD handle, DWORD a);
WIN95_EXPORT GetWinsockName(DWORD handle, DWORD a, DWORD b);
WIN95_EXPORT IsMachinePCMCIA(DWORD handle, DWORD a);

// ---- Application family (type 1) --------------------------------------------
WIN95_EXPORT LaunchApp(DWORD handle, DWORD a);
WIN95_EXPORT Terminate(DWORD handle);
WIN95_EXPORT IsRunning(DWORD handle, DWORD a);
WIN95_EXPORT IsInstalled(DWORD handle, DWORD a, DWORD b, DWORD c);
// Keyed data files: 1, 2 (file not opened), 3, or the object's answer.
WIN95_EXPORT LoadData(DWORD handle, DWORD key);
WIN95_EXPORT SaveData(DWORD handle, DWORD key);
// Presence tests: store 1 or 0 and return 0 (1 for a null out-value).
WIN95_EXPORT IsBrowserSupported(DWORD handle, DWORD* supported);
WIN95_EXPORT IsMailSupported(DWORD handle, DWORD* supported);
WIN95_EXPORT IsNewsSupported(DWORD handle, DWORD* supported);

// Browser interface (9 when the application object has none).
WIN95_EXPORT AddBookmark(DWORD handle, DWORD a, DWORD b);
WIN95_EXPORT GetBookmark(DWORD handle, DWORD a, DWORD b, DWORD c);
WIN95_EXPORT RemoveBookmark(DWORD handle, DWORD a);
WIN95_EXPORT SetHomePage(DWORD handle, DWORD a);
WIN95_EXPORT GetHomePage(DWORD handle, DWORD a, DWORD b);
WIN95_EXPORT IsBrowserConfigured(DWORD handle, DWORD a);
WIN95_EXPORT BrowserPostSets(DWORD handle);
WIN95_EXPORT BrowserPreGets(DWORD handle);

// Mail interface.
WIN95_EXPORT GetSMTPAddress(DWORD handle, DWORD a, DWORD b);
WIN95_EXPORT SetSMTPAddress(DWORD handle, DWORD a);
WIN95_EXPORT GetPOP3Address(DWORD handle, DWORD a, DWORD b);
WIN95_EXPORT SetPOP3Address(DWORD handle, DWORD a);
WIN95_EXPORT SetEmailName(DWORD handle, DWORD a);
WIN95_EXPORT GetEmailName(DWORD handle, DWORD a, DWORD b);
WIN95_EXPORT SetPOP3Password(DWORD handle, DWORD a);
WIN95_EXPORT GetPOP3Password(DWORD handle, DWORD a, DWORD b);
WIN95_EXPORT GetPOP3User(DWORD handle, DWORD a, DWORD b);
WIN95_EXPORT SetPOP3User(DWORD handle, DWORD a);
WIN95_EXPORT GetEmailAddress(DWORD handle, DWORD a, DWORD b);
WIN95_EXPORT SetEmailAddress(DWORD handle, DWORD a);
WIN95_EXPORT GetOrganization(DWORD handle, DWORD a, DWORD b);
WIN95_EXPORT SetOrganization(DWORD handle, DWORD a);
WIN95_EXPORT IsMailConfigured(DWORD handle, DWORD a);
WIN95_EXPORT MailPostSets(DWORD handle);
WIN95_EXPORT MailPreGets(DWORD handle);

// News interface.
WIN95_EXPORT SetNewsServerAddress(DWORD handle, DWORD a);
WIN95_EXPORT GetNewsServerAddress(DWORD handle, DWORD a, DWORD b);
WIN95_EXPORT IsNewsConfigured(DWORD handle, DWORD a);
WIN95_EXPORT NewsPostSets(DWORD handle);
WIN95_EXPORT NewsPreGets(DWORD handle);

// ---- Modems (no handle, no lock) --------------------------------------------
// Device index from 0, in the order RAS lists its devices (every type
// counts): writes the RAS device name over 254 bytes of deviceName and the
// line's maximum rate into maxRate; version is not written. 0, 8 (no
// devices, index out of range, RAS or TAPI failure; the name stays written
// when only the TAPI lookup failed) or 19 (out of memory). A null record
// gives 8 and nothing is asked of RAS.
WIN95_EXPORT GetModem(DWORD index, struct ModemRecord* modem);
// The number of RAS devices. 0 or 8; a null out-value gives 8.
WIN95_EXPORT GetNumberOfModems(DWORD* count);
// Shows the modem's configuration dialog and stores the result in the
// service connectoid, which then names that modem. For the modem the
// connectoid already uses the dialog starts from the stored settings, for
// another from the modem's defaults (inactivity time-out 2220 s where they
// have none). 0; 8 or 18 (connectoid not read or written); the dialog's or
// the defaults' Windows error, or 0xFFFFFFFF when that is 0. After a failure
// the connectoid is as it was. A null modem name gives 8 and changes nothing.
WIN95_EXPORT ModemConfig(const char* modemName, HWND parent);

// ---- Environment -------------------------------------------------------------
// Whether the subscriber's account is set up on this machine: from the
// profile store's current record (a POP name), else from the service's
// connectoid or Navigator's "reg.ini", each confirmed by Navigator's reply-to
// address in one of the service's mail domains. Stores 1 or 0 and writes what
// it found into the backup file (sections "Profile" and "Location"). 0; 8
// when RAS cannot list or read the connectoid or for a null argument; 19
// (out of memory).
WIN95_EXPORT IsUserRegistered(DWORD* registered, const char* backupFile, DWORD unused);
// Writes the shortcut the record describes through the shell's link object:
// 0, or 8 when it cannot be made or saved (or for a null record).
WIN95_EXPORT SetShellLink(struct ShellLinkRecord* link);
// request 1: RemovalRecord; 2: ConnectoidCreationRecord (the service
// connectoid's name is written into entryName even when the creation fails;
// 0, 8 or 18); 3: a zero-terminated entry name to delete (0 or 8); 4:
// DllProbeRecord (0); 5 and 6: ModemConfigInfo, the service connectoid's
// device configuration read or written (0 or 8; request 6 gives 8 for a size
// above 255). 6 for another request number, 8 for a null record.
WIN95_EXPORT GenericApi(DWORD request, void* record);

// ---- RAS AutoDial hook of the service connectoid ----------------------------
WIN95_IMPORT BOOL WINAPI AutoDialHandler(HWND parent, LPSTR entryName, DWORD flags,
                                         LPDWORD retCode);

#ifdef __cplusplus
}
#endif

#endif
