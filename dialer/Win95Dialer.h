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
// thread that called Dial, without the library lock.
#ifndef WIN95_DIALER_WIN95DIALER_H
#define WIN95_DIALER_WIN95DIALER_H

#include <win95/DialRecords.h>

#include "api/ApiObject.h"
#include "dialer/platform/RasTypes.h"

class Win95Dialer : public DialerObject {
public:
    Win95Dialer();
    // Disconnects without notification: at least 3000 ms.
    ~Win95Dialer() override;

    // 0 when the dial started (it goes on asynchronously); 8 for wrong record
    // versions, a dial still in progress, a null request or a window that
    // could not be made; the connectoid's code; or RasDialA's error.
    DWORD Dial(DialRequest* request) override;
    // Disconnects and posts status 3 to the caller. 0.
    DWORD HangUp() override;
    // The last status posted through RAS events. 0, or 8 for a null out-value.
    DWORD GetStatus(DWORD* status) override;

    // The dialers with a dial in progress, found by their notification window.
    enum { kMaxActiveDialers = 5 };

private:
    DWORD Disconnect(bool notify);
    bool CreateDialWindow();
    DWORD PostDialerEvent(DWORD state, DWORD error);
    DWORD RasConnStateToStatus(DWORD state, DWORD* detail);
    void CheckConnection();
    void AddToActiveDialers();
    void RemoveFromActiveDialers();

    static LRESULT CALLBACK DialWndProc(HWND window, UINT message, WPARAM first, LPARAM second);
    static Win95Dialer* FindByWindow(HWND window);

    HWND m_hNotifyWindow;
    HRASCONN m_hRasConn;
    HWND m_hCallerWindow;
    UINT m_uCallerMessage;
    DWORD m_dwLastStatus;
    char m_szModemName[RAS_MaxDeviceName + 1];

    static Win95Dialer* s_apActiveDialers[kMaxActiveDialers];
    static UINT s_uRasDialEventMessage;
};

// The error class posted with status 1 for a RAS error number.
DWORD RasErrorToClass(DWORD error);
// Releases "AutoDial Semaphore" by one when it exists.
void ReleaseAutoDialSemaphore();

#endif
