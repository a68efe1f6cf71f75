/* The exported functions of WIN95.dll. Plain C89; needs windows.h.
 *
 * Every function here is imported from WIN95.dll by name (the ordinal is
 * given with each for callers that import by ordinal), uses the standard
 * calling convention (__stdcall: arguments removed by the callee) and
 * reports by result code: a Win95ApiResult (Results.h) or the codes named
 * with the function. Nothing is thrown, and nothing is shown to the user
 * but ModemConfig's dialog. A null pointer where a record or an out-value is
 * required is answered with a failure code and never dereferenced.
 *
 * Threads: the library starts none; every function runs on the caller's
 * thread. The object functions (those taking a handle) hold one library
 * lock from start to return, so calls from several threads are served one
 * at a time, and a dialer's 3000 ms hang-up wait (HangUp, FreeObject)
 * keeps the other threads' object calls waiting. The plain functions
 * (modems, environment) take no lock. */
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

/* WIN95_API(type): declares a function imported from WIN95.dll that returns
 * type with the standard calling convention. */
#define WIN95_API(type) WIN95_IMPORT type WIN95_STDCALL
/* The former name of WIN95_API(DWORD), kept for callers that use it. It
 * declares an import from the DLL, not an export of the caller. */
#define WIN95_EXPORT WIN95_API(DWORD)

/* ---- Generic object functions ----------------------------------------------
 * Objects live in a process-wide table of 19 slots; a handle is slot + 1. */

/* @1. Creates an object of the class (only WIN95_DIALER_CLASS_ID is known)
 * and stores its handle, the lowest free one: 0; 4 (19 objects live: handle
 * 0, nothing kept); 11 (unknown class: handle 0; also for a null handle
 * out-value, which is not written). */
WIN95_API(DWORD) GetObjectHandle(DWORD classId, DWORD* handle);
/* @2. Destroys the object; the handle is invalid afterwards. 0, or 1 for an
 * invalid handle. A dialer's destruction hangs up first and waits 3000 ms
 * (as HangUp, without posting a status). */
WIN95_API(DWORD) FreeObject(DWORD handle);
/* @3 Set, @4 Get. Key 0 reaches the object, whose answer is 6 for every object of
 * this library; another key gives 5. 1 for an invalid handle. a and b are
 * passed through unchanged. */
WIN95_API(DWORD) Set(DWORD handle, DWORD key, DWORD value);
WIN95_API(DWORD) Get(DWORD handle, DWORD key, DWORD a, DWORD b);
/* @5. Writes the object's type, class identifier and name (127 bytes, zero
 * padded); bytes 8 to 15 and the name's last byte are left as they were.
 * 0, or 1 for an invalid handle or a null record. */
WIN95_API(DWORD) GetObjectInfo(DWORD handle, ObjectInfo* info);

/* ---- Dialer family (object type 3) ------------------------------------------
 * Each checks the handle (1 when invalid) and the object's type (3 when it
 * is not a dialer) before the dialer is called. */

/* @20. Starts dialing the service and returns at once; the progress arrives
 * as messages posted to request->window. Dial makes or rewrites the RAS
 * phonebook entry "Orvo VelTrane Service" from the request (number, modem,
 * the profile's name servers, script, this library's AutoDialHandler) and
 * stores the profile's LoginName and Password as its dial parameters; then
 * it creates a hidden child window of request->window, which receives the
 * RAS events, and starts the asynchronous RAS dial.
 *
 * Threads: the hidden window belongs to the thread that calls Dial, which
 * must keep dispatching messages: the RAS events and the 500 ms line check
 * are handled in its message dispatch, outside the library lock. The status
 * messages arrive in the thread that owns request->window. Call Dial on
 * that thread.
 *
 * The status message: PostMessage(request->window, request->message,
 * wParam = status, lParam = detail), in this order for a good dial:
 *   WIN95_DIAL_BEGUN (4), lParam 0           RAS opened the port
 *   WIN95_DIAL_AUTHENTICATING (5), lParam 0  RAS authenticates
 *   WIN95_DIAL_CONNECTED (2), lParam = the speed the modem negotiated, in
 *       bit/s (0 when it cannot be read); "AutoDial Semaphore" is released
 *       and the line is checked every 500 ms from here on
 *   WIN95_DIAL_FAILED (1), lParam = the error class of the RAS error
 *       (Win95DialErrorClass: 676 line busy 1, 678 no answer 2, 680 no dial
 *       tone 3, 739 5, 679 no carrier 6, 602 port already open 7, 718 to
 *       722 and 732 to 738 PPP failed 8, 601/606/615/633 port unavailable
 *       9, 677 voice answer 10), or the RAS error number itself, unchanged,
 *       for every other RAS error; then the dialer hangs up
 *   WIN95_DIAL_DISCONNECTED (3), lParam 0    RAS reported the line down, or
 *       the 500 ms check found it dropped (once); then the dialer hangs up.
 *       HangUp posts it too.
 * Other RAS states post nothing. Every hang-up after a failure or a drop
 * waits 3000 ms inside that thread's message dispatch.
 *
 * Result: 0, the dial started; 8 for a null request, modem or profile, a
 * ModemRecord version other than 31 or a profile Version other than 57
 * (nothing changed), a dial already in progress on this dialer or five
 * on the process's dialers, or the hidden window not created; 8 or 18
 * (entry not written) when the phonebook entry cannot be made; a RAS error
 * number (600 and above) when RAS refuses the dial: the dialer has then
 * hung up (3000 ms) and posts nothing. */
WIN95_API(DWORD) Dial(DWORD handle, DialRequest* request);
/* @21. Hangs up the connection or the dial in progress (also when there is
 * none), blocks the calling thread for 3000 ms, posts WIN95_DIAL_DISCONNECTED
 * with lParam 0 to the window and message of the last Dial, destroys the
 * hidden window and releases "AutoDial Semaphore". 0. The dialer may dial
 * again afterwards. */
WIN95_API(DWORD) HangUp(DWORD handle);
/* @22. Stores the last status the dialer posted for a RAS event
 * (Win95DialerStatus; 0 before the first; a new Dial does not clear it).
 * The status 3 that HangUp posts is not stored. 0; 8 for a null
 * out-value. */
WIN95_API(DWORD) GetStatus(DWORD handle, DWORD* status);

/* ---- Application (type 1) and system (type 2) families -----------------------
 * The family functions check the handle (1) and the object's type (3) and
 * pass their other arguments to the object unchanged. This library creates
 * no object of types 1 and 2, so for its own objects they answer 1 or 3 and
 * write nothing. An application object without the sub-interface a browser,
 * mail or news function needs gives 9. */

/* System objects. */
WIN95_API(DWORD) ComponentsInstalled(DWORD handle, DWORD a);     /* @10 */
WIN95_API(DWORD) InstallComponents(DWORD handle, DWORD a);       /* @11 */
WIN95_API(DWORD) Uninstall(DWORD handle, DWORD a);               /* @12 */
WIN95_API(DWORD) GetWinsockName(DWORD handle, DWORD a, DWORD b); /* @13 */
WIN95_API(DWORD) IsMachinePCMCIA(DWORD handle, DWORD a);         /* @14 */

/* Application objects. */
WIN95_API(DWORD) IsRunning(DWORD handle, DWORD a);                     /* @30 */
WIN95_API(DWORD) IsInstalled(DWORD handle, DWORD a, DWORD b, DWORD c); /* @31 */
WIN95_API(DWORD) LaunchApp(DWORD handle, DWORD a);                     /* @32 */
WIN95_API(DWORD) Terminate(DWORD handle);                              /* @33 */
/* Hand the object the keyed data file of (key, its class identifier) in the
 * kit's data directory, made on first use and listed in "filemap.dat"
 * there: 2 when it cannot be opened, else the object's answer. */
WIN95_API(DWORD) LoadData(DWORD handle, DWORD key); /* @34 */
WIN95_API(DWORD) SaveData(DWORD handle, DWORD key); /* @35 */
/* Store 1 or 0 (the sub-interface is there or not) and return 0; 1 for a
 * null out-value. */
WIN95_API(DWORD) IsBrowserSupported(DWORD handle, DWORD* supported); /* @36 */
WIN95_API(DWORD) IsMailSupported(DWORD handle, DWORD* supported);    /* @37 */
WIN95_API(DWORD) IsNewsSupported(DWORD handle, DWORD* supported);    /* @38 */

/* The browser interface. */
WIN95_API(DWORD) AddBookmark(DWORD handle, DWORD a, DWORD b);          /* @50 */
WIN95_API(DWORD) RemoveBookmark(DWORD handle, DWORD a);                /* @51 */
WIN95_API(DWORD) GetBookmark(DWORD handle, DWORD a, DWORD b, DWORD c); /* @52 */
WIN95_API(DWORD) SetHomePage(DWORD handle, DWORD a);                   /* @53 */
WIN95_API(DWORD) GetHomePage(DWORD handle, DWORD a, DWORD b);          /* @54 */
WIN95_API(DWORD) IsBrowserConfigured(DWORD handle, DWORD a);           /* @55 */
WIN95_API(DWORD) BrowserPostSets(DWORD handle);                        /* @56 */
WIN95_API(DWORD) BrowserPreGets(DWORD handle);                         /* @57 */

/* The mail interface. */
WIN95_API(DWORD) SetSMTPAddress(DWORD handle, DWORD a);           /* @60 */
WIN95_API(DWORD) GetSMTPAddress(DWORD handle, DWORD a, DWORD b);  /* @61 */
WIN95_API(DWORD) SetPOP3Address(DWORD handle, DWORD a);           /* @62 */
WIN95_API(DWORD) GetPOP3Address(DWORD handle, DWORD a, DWORD b);  /* @63 */
WIN95_API(DWORD) GetEmailName(DWORD handle, DWORD a, DWORD b);    /* @64 */
WIN95_API(DWORD) SetEmailName(DWORD handle, DWORD a);             /* @65 */
WIN95_API(DWORD) GetPOP3Password(DWORD handle, DWORD a, DWORD b); /* @66 */
WIN95_API(DWORD) SetPOP3Password(DWORD handle, DWORD a);          /* @67 */
WIN95_API(DWORD) GetPOP3User(DWORD handle, DWORD a, DWORD b);     /* @68 */
WIN95_API(DWORD) SetPOP3User(DWORD handle, DWORD a);              /* @69 */
WIN95_API(DWORD) GetEmailAddress(DWORD handle, DWORD a, DWORD b); /* @70 */
WIN95_API(DWORD) SetEmailAddress(DWORD handle, DWORD a);          /* @71 */
WIN95_API(DWORD) GetOrganization(DWORD handle, DWORD a, DWORD b); /* @72 */
WIN95_API(DWORD) SetOrganization(DWORD handle, DWORD a);          /* @73 */
WIN95_API(DWORD) IsMailConfigured(DWORD handle, DWORD a);         /* @74 */
WIN95_API(DWORD) MailPostSets(DWORD handle);                      /* @75 */
WIN95_API(DWORD) MailPreGets(DWORD handle);                       /* @76 */

/* The news interface. */
WIN95_API(DWORD) GetNewsServerAddress(DWORD handle, DWORD a, DWORD b); /* @80 */
WIN95_API(DWORD) SetNewsServerAddress(DWORD handle, DWORD a);          /* @81 */
WIN95_API(DWORD) IsNewsConfigured(DWORD handle, DWORD a);              /* @82 */
WIN95_API(DWORD) NewsPostSets(DWORD handle);                           /* @83 */
WIN95_API(DWORD) NewsPreGets(DWORD handle);                            /* @84 */

/* ---- Modems: the machine's RAS devices, in the order RAS lists them --------- */

/* @120. Device index from 0 (every RAS device counts, whatever its type):
 * writes the RAS device name over 254 bytes of modem->deviceName and the
 * maximum rate of the modem's TAPI line into maxRate; version is not
 * written. 0; 8 (no devices, index out of range, RAS or TAPI failure; the
 * name stays written when only the TAPI lookup failed; a null record, with
 * nothing asked of RAS); 19 (out of memory). */
WIN95_API(DWORD) GetModem(DWORD index, ModemRecord* modem);
/* @121. Stores the number of RAS devices. 0; 8 when RAS cannot list them or
 * for a null out-value. */
WIN95_API(DWORD) GetNumberOfModems(DWORD* count);
/* @122. Shows the platform's modem configuration dialog (modal, owned by
 * parent, on the calling thread, which it blocks until the dialog closes)
 * and stores the result in the service's phonebook entry, which then names
 * that modem. For the modem the entry already uses the dialog starts from
 * the stored settings, for another from the modem's defaults (inactivity
 * time-out 2220 s where they have none). 0; 8 or 18 when the entry cannot
 * be read or written (8 also when there is none yet: Dial or GenericApi
 * request 2 makes it); the dialog's or the defaults' Windows error (1223
 * when the user cancelled), or 0xFFFFFFFF when that is 0; 19 (out of
 * memory). After a failure the entry is as it was. A null modem name gives
 * 8 and changes nothing. */
WIN95_API(DWORD) ModemConfig(const char* modemName, HWND parent);

/* ---- Environment -------------------------------------------------------------- */

/* @123. Whether the subscriber's account is set up on this machine: from the
 * profile store's current record (a POP name), else from a connectoid of
 * the service ("Orvo VelTrane", "Orvo Veltrane", "ORVO") or Navigator's
 * "reg.ini", each confirmed by Navigator's reply-to address in one of the
 * service's mail domains. Stores 1 or 0 in *registered and, for 1, writes
 * the account into backupFile (INI sections "Profile" and "Location",
 * created with its comment lines when missing); the stores are only read.
 * No library lock: the stores take their own for each operation. 0 for either
 * answer; 8 when RAS cannot read a connectoid found in the registry, or for
 * a null argument (nothing written); 19 (out of memory). *registered is 0
 * whenever the result is not 0. */
WIN95_API(DWORD) IsUserRegistered(DWORD* registered, const char* backupFile, DWORD unused);
/* @134. Writes the shortcut file link->linkPath through the shell's link
 * object (COM is initialised and uninitialised for the call on the calling
 * thread): 0, or 8 when it cannot be made or saved (or for a null
 * record). */
WIN95_API(DWORD) SetShellLink(ShellLinkRecord* link);
/* @135. One entry for six requests on a caller's record:
 *   1 RemovalRecord: deletes the file, or the directory with everything
 *     below it. 0, or 8 (what was deleted before the failure stays deleted).
 *   2 ConnectoidCreationRecord: makes or rewrites the service's phonebook
 *     entry from the flat fields, as Dial does, and writes its name "Orvo
 *     VelTrane Service" into entryName even when that fails. 0, 8 or 18.
 *   3 a zero-terminated phonebook entry name: deletes that entry. 0 or 8.
 *   4 DllProbeRecord: openedExclusively 1 when path can be opened for
 *     exclusive reading and writing (a DLL some process has loaded cannot),
 *     else 0. Always 0.
 *   5 ModemConfigInfo: reads the service entry's device configuration into
 *     size and data. 0 or 8.
 *   6 ModemConfigInfo: writes size bytes of data as the service entry's
 *     device configuration. 0, or 8 (also for a size above 255).
 * 6 for another request number, 8 for a null record. */
WIN95_API(DWORD) GenericApi(DWORD request, void* record);

/* ---- RAS AutoDial hook of the service's phonebook entry ------------------------ */

/* @136. Called by RAS AutoDial, not by the kit's programs. For any entry
 * other than "Orvo VelTrane Service" (compared exactly): FALSE, *retCode 0.
 * For that entry: starts "Connect.exe /S" from the library's directory and
 * blocks until it ends or a dialer, in any process, releases "AutoDial
 * Semaphore" (connected or hung up); TRUE, with *retCode 1 when Connect.exe
 * ended with exit code 0, else 0 (also while it still runs), or the Windows
 * error when it could not be started. retCode may be null. */
WIN95_API(BOOL) AutoDialHandler(HWND parent, LPSTR entryName, DWORD flags, LPDWORD retCode);

#ifdef __cplusplus
}
#endif

#endif
