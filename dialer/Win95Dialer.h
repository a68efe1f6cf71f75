// Win95Dialer: the library's one concrete object class (class identifier
// 104281164, type 3, name "Win95 Dialer").
//
// Dial makes sure the service connectoid matches the request, then starts an
// asynchronous RAS dial whose events arrive at a hidden child window of the
// caller's window ("VTDIALER"). The dialer maps RAS states and errors to
// Win95DialerStatus values posted to the caller's window with the caller's
// message, reports the connect speed, polls an established connection every
// 500 ms and reports a dropped line, and releases "AutoDial Semaphore" when
// the connection is up and at every disconnect.
//
// RAS events and timer ticks are handled in the message dispatch of the
// thread that called Dial, without the library lock but under the lock of
// the table of active dialers (ActiveDialers.h), which a dialer leaves
// before it is destroyed. The notification window is only ever destroyed by
// its own thread: a disconnect on another thread asks that thread to.
#ifndef WIN95_DIALER_WIN95DIALER_H
#define WIN95_DIALER_WIN95DIALER_H

#include <win95/DialRecords.h>

#include "api/ApiObject.h"
#include "dialer/platform/RasTypes.h"

class Win95Dialer : public DialerObject {
public:
    Win95Dialer();
    // Disconnects without notification: at least 3000 ms. At process exit it
    // frees memory only.
    ~Win95Dialer() override;

    // 0 when the dial started (it goes on asynchronously); 8 for wrong record
    // versions, a dial still in progress, five dials of other dialers in
    // progress, a null request or a window that could not be made; the
    // connectoid's code; or RasDialA's error.
    DWORD Dial(DialRequest* request) override;
    // Disconnects and posts status 3 to the caller. 0.
    DWORD HangUp() override;
    // The last status posted through RAS events. 0, or 8 for a null out-value.
    DWORD GetStatus(DWORD* status) override;

    // How many dialers have a dial in progress (for tests).
    static unsigned ActiveDialerCount();

private:
    // What a disconnect ends: the dial's connection and window and where
    // its status goes. Taken from the dialer (under the table lock) before
    // the disconnect waits, so that the rest needs nothing of the dialer.
    struct DialEnd {
        HRASCONN connection;
        HWND window;
        HWND caller;
        UINT message;
    };

    DWORD Disconnect(bool notify);
    DialEnd TakeDial();
    static void FinishDial(const DialEnd& end, bool notify);
    static void EndDialWindow(HWND window);
    bool CreateDialWindow();
    // The status for a RAS event posted to the caller; true when the dial
    // ends with it (status 1 or 3).
    bool PostDialerEvent(DWORD state, DWORD error);
    DWORD RasConnStateToStatus(DWORD state, DWORD* detail);
    // A timer tick: true when the line has dropped, with the error that RAS
    // reports for it.
    bool LineDropped(DWORD* error);

    static LRESULT CALLBACK DialWndProc(HWND window, UINT message, WPARAM first, LPARAM second);
    static LRESULT OnDialerMessage(HWND window, UINT message, WPARAM first, LPARAM second);

    HWND m_hNotifyWindow;
    HRASCONN m_hRasConn;
    HWND m_hCallerWindow;
    UINT m_uCallerMessage;
    DWORD m_dwLastStatus;
    char m_szModemName[RAS_MaxDeviceName + 1];
};

// The error class posted with status 1 for a RAS error number.
DWORD RasErrorToClass(DWORD error);
// Releases "AutoDial Semaphore" by one when it exists.
void ReleaseAutoDialSemaphore();

#endif
