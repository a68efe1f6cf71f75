#include "dialer/Win95Dialer.h"

#include <atomic>
#include <cstring>

#include "api/ModuleInstance.h"
#include "api/UnloadState.h"
#include "diag/BoundedCopy.h"
#include "diag/Logs.h"
#include "diag/ScopedHandle.h"
#include "dialer/ActiveDialers.h"
#include "dialer/Connectoid.h"
#include "dialer/LineDevices.h"
#include "dialer/ServiceNames.h"

namespace {

const char kWindowClass[] = "VTDIALER";
const UINT_PTR kPollTimer = 1;
const UINT kPollPeriod = 500;
const DWORD kHangUpWait = 3000;
const DWORD kModemRecordVersion = 31;
const DWORD kProfileRecordVersion = 57;
// Posted to a notification window by a disconnect on another thread: its
// own thread destroys it (a thread cannot destroy another's window).
const UINT kEndDialWindow = WM_USER + 0x100;

// The RAS dial-event message number, set by every Dial and read by every
// notification window's thread.
std::atomic<UINT> g_uRasDialEventMessage{0};

bool IsPppFailure(DWORD error) {
    return (error >= 718 && error <= 722) || (error >= 732 && error <= 738);
}

}  // namespace

DWORD RasErrorToClass(DWORD error) {
    switch (error) {
        case 676:
            return WIN95_DIAL_LINE_BUSY;
        case 678:
            return WIN95_DIAL_NO_ANSWER;
        case 680:
            return WIN95_DIAL_NO_DIALTONE;
        case 739:
            return WIN95_DIAL_ERROR_739;
        case 679:
            return WIN95_DIAL_NO_CARRIER;
        case 602:
            return WIN95_DIAL_PORT_ALREADY_OPEN;
        case 677:
            return WIN95_DIAL_VOICE_ANSWER;
        case 601:
        case 606:
        case 615:
        case 633:
            return WIN95_DIAL_PORT_UNAVAILABLE;
        default:
            return IsPppFailure(error) ? static_cast<DWORD>(WIN95_DIAL_PPP_FAILED) : error;
    }
}

// Opened with the right to change its state: a handle opened with no access
// cannot release the semaphore, and the AutoDial handler would then wait for
// the connection application to end instead of for the connection.
void ReleaseAutoDialSemaphore() {
    KernelObject semaphore(OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, kAutoDialSemaphoreName));
    if (semaphore.Valid()) ReleaseSemaphore(semaphore.Get(), 1, nullptr);
}

Win95Dialer::Win95Dialer()
    : DialerObject(WIN95_DIALER_CLASS_ID, "Win95 Dialer"),
      m_hNotifyWindow(nullptr),
      m_hRasConn(nullptr),
      m_hCallerWindow(nullptr),
      m_uCallerMessage(0),
      m_dwLastStatus(0),
      m_szModemName() {}

Win95Dialer::~Win95Dialer() {
    if (ProcessEnding()) return;
    Disconnect(false);
    m_hCallerWindow = nullptr;
}

unsigned Win95Dialer::ActiveDialerCount() {
    ActiveDialers::Guard hold;
    return ActiveDialers::Count();
}

DWORD Win95Dialer::Dial(DialRequest* request) {
    if (!request || !request->modem || !request->profile) return WIN95_FAILED;
    if (request->modem->version != kModemRecordVersion) {
        g_Log(LOG_ERROR) << "Dial: MODEM_RECORD is version "
                         << static_cast<unsigned long>(request->modem->version)
                         << " expected version= " << static_cast<int>(kModemRecordVersion) << "\n";
        return WIN95_FAILED;
    }
    if (static_cast<DWORD>(request->profile->Version) != kProfileRecordVersion) {
        g_Log(LOG_ERROR) << "Dial: PROFILE_RECORD_VERSION is version "
                         << static_cast<unsigned long>(request->profile->Version)
                         << " expected version= " << static_cast<int>(kProfileRecordVersion)
                         << "\n";
        return WIN95_FAILED;
    }
    // The dial takes its entry in the table before anything is changed or
    // dialed, and leaves it again on every failure: an entry exists only
    // while its dial does. A dial in progress holds a RAS connection or a
    // notification window: a second one would orphan them.
    {
        ActiveDialers::Guard hold;
        if (m_hRasConn || m_hNotifyWindow) {
            g_Log(LOG_ERROR) << "Dial: a dial is already in progress on this dialer\n";
            return WIN95_FAILED;
        }
        if (!ActiveDialers::Add(this)) {
            g_Log(LOG_ERROR) << "Dial(): " << static_cast<unsigned long>(ActiveDialers::kCapacity)
                             << " dials are in progress, no room for another\n";
            return WIN95_FAILED;
        }
    }

    DWORD result = CreateConnectoid(kServiceConnectoidName, *request);
    if (result != 0) {
        g_Log(LOG_ERROR) << "Dial(): CreateConnectoid() failed, retcode=" << result << "\n";
        ActiveDialers::Guard hold;
        ActiveDialers::Remove(this);
        return result;
    }

    RASDIALPARAMS params;
    std::memset(&params, 0, sizeof params);
    params.dwSize = sizeof params;
    CopyBounded(params.szEntryName, sizeof params.szEntryName, kServiceConnectoidName);
    CopyBounded(params.szPhoneNumber, sizeof params.szPhoneNumber, request->phoneNumber);
    FillBounded(params.szUserName, sizeof request->profile->LoginName, request->profile->LoginName);
    FillBounded(params.szPassword, sizeof request->profile->Password, request->profile->Password);

    m_hCallerWindow = request->window;
    m_uCallerMessage = request->message;
    UINT rasMessage = RegisterWindowMessageA(RASDIALEVENT);
    g_uRasDialEventMessage = rasMessage ? rasMessage : WM_RASDIALEVENT;
    bool created = CreateDialWindow();
    {
        ActiveDialers::Guard hold;
        if (created)
            ActiveDialers::SetWindow(this, m_hNotifyWindow);
        else
            ActiveDialers::Remove(this);
    }
    if (!created) {
        g_Log(LOG_ERROR) << "CreateDialWindow() failed\n";
        return WIN95_FAILED;
    }
    CopyBounded(m_szModemName, sizeof m_szModemName, request->modem->deviceName);

    result =
        RasDialA(nullptr, nullptr, &params, RASDIAL_NOTIFIER_WINDOW, m_hNotifyWindow, &m_hRasConn);
    if (result != 0) {
        g_Log(LOG_ERROR) << "Win95Dialer::Dial(): RasDial returned: " << result << "\n";
        Disconnect(false);
    }
    return result;
}

DWORD Win95Dialer::HangUp() {
    return Disconnect(true);
}

DWORD Win95Dialer::GetStatus(DWORD* status) {
    if (!status) return WIN95_FAILED;
    ActiveDialers::Guard hold;
    *status = m_dwLastStatus;
    return 0;
}

bool Win95Dialer::CreateDialWindow() {
    HINSTANCE instance = GetModuleInstance();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DialWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);  // may already exist: that is fine
    m_hNotifyWindow = CreateWindowExA(0, kWindowClass, "", WS_CHILD, 0, 0, 8, 8, m_hCallerWindow,
                                      nullptr, instance, nullptr);
    if (m_hNotifyWindow) return true;
    // No window of the class is left behind either (fails while another
    // dial's window exists).
    UnregisterClassA(kWindowClass, instance);
    return false;
}

// Needs the table lock held.
Win95Dialer::DialEnd Win95Dialer::TakeDial() {
    DialEnd end = {m_hRasConn, m_hNotifyWindow, m_hCallerWindow, m_uCallerMessage};
    ActiveDialers::Remove(this);
    m_hRasConn = nullptr;
    m_hNotifyWindow = nullptr;
    return end;
}

DWORD Win95Dialer::Disconnect(bool notify) {
    DialEnd end;
    {
        ActiveDialers::Guard hold;
        end = TakeDial();
    }
    FinishDial(end, notify);
    return 0;
}

// The rest of a disconnect, on whatever thread made it: hang up, wait,
// notify, end the window, release the semaphore.
void Win95Dialer::FinishDial(const DialEnd& end, bool notify) {
    if (end.connection) {
        DWORD result = RasHangUpA(end.connection);
        if (result != 0)
            g_Log(LOG_ERROR) << "Win95Dialer::Disconnect(): RasHangUp returned: " << result << "\n";
    }
    Sleep(kHangUpWait);
    if (notify) PostMessageA(end.caller, end.message, WIN95_DIAL_DISCONNECTED, 0);
    if (end.window) EndDialWindow(end.window);
    // Fails while another dial's window exists, which unregisters it in turn.
    UnregisterClassA(kWindowClass, GetModuleInstance());
    ReleaseAutoDialSemaphore();
}

// A window of this thread is destroyed, and whatever is still queued for it
// dispatched; another thread's window is destroyed by its own thread. At
// unload another thread's window cannot wait for its thread: it is left
// to the default window procedure, so that nothing calls into the library
// once it is gone.
void Win95Dialer::EndDialWindow(HWND window) {
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
        if (LibraryUnloading())
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        else
            PostMessageA(window, kEndDialWindow, 0, 0);
        return;
    }
    DestroyWindow(window);
    MSG message;
    while (IsWindow(window) && PeekMessageA(&message, window, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

bool Win95Dialer::PostDialerEvent(DWORD state, DWORD error) {
    DWORD status;
    DWORD detail = 0;
    if (error != 0) {
        g_Log(LOG_ERROR) << "RasDial error event: raserror=" << error << "\n";
        status = WIN95_DIAL_FAILED;
        detail = RasErrorToClass(error);
    } else {
        status = RasConnStateToStatus(state, &detail);
    }
    if (status == 0) return false;
    m_dwLastStatus = status;
    if (!PostMessageA(m_hCallerWindow, m_uCallerMessage, static_cast<WORD>(status), detail)) {
        g_Log(LOG_ERROR) << "PostDialerEvent(): PostMessage failed, HWND="
                         << static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(m_hCallerWindow))
                         << " LastError=" << GetLastError() << "\n";
    }
    return status == WIN95_DIAL_FAILED || status == WIN95_DIAL_DISCONNECTED;
}

DWORD Win95Dialer::RasConnStateToStatus(DWORD state, DWORD* detail) {
    *detail = 0;
    switch (state) {
        case RASCS_OpenPort:
            return WIN95_DIAL_BEGUN;
        case RASCS_Authenticate:
            return WIN95_DIAL_AUTHENTICATING;
        case RASCS_Connected: {
            *detail = GetDCESpeed(m_szModemName);
            g_Log(LOG_CONNECT) << "RasConnStateToStatus: Connect speed is "
                               << static_cast<long>(*detail) << "\n";
            if (SetTimer(m_hNotifyWindow, kPollTimer, kPollPeriod, nullptr))
                g_Log(LOG_INFO) << "RasConnStateToStatus: Timer started\n";
            else
                g_Log(LOG_ERROR) << "RasConnStateToStatus: SetTimer() failed\n";
            ReleaseAutoDialSemaphore();
            return WIN95_DIAL_CONNECTED;
        }
        case RASCS_Disconnected:
            return WIN95_DIAL_DISCONNECTED;
        default:
            return 0;
    }
}

// A connection that RAS no longer reports, or reports as disconnected, is a
// dropped line.
bool Win95Dialer::LineDropped(DWORD* error) {
    RASCONNSTATUS status;
    std::memset(&status, 0, sizeof status);
    status.dwSize = sizeof status;
    DWORD result = RasGetConnectStatusA(m_hRasConn, &status);
    if (result != 0) {
        g_Log(LOG_ERROR) << "DialWndProc(): RasGetConnStatus returned " << result
                         << ", Simulating a disconnect\n";
        status.rasconnstate = RASCS_Disconnected;
    }
    *error = status.dwError;
    return status.rasconnstate == RASCS_Disconnected;
}

LRESULT CALLBACK Win95Dialer::DialWndProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_CREATE) return 0;
    if (message == WM_DESTROY) {
        KillTimer(window, kPollTimer);
        return DefWindowProcA(window, message, first, second);
    }
    if (message == kEndDialWindow) {
        DestroyWindow(window);
        UnregisterClassA(kWindowClass, GetModuleInstance());
        return 0;
    }
    UINT rasMessage = g_uRasDialEventMessage;
    if (message == WM_TIMER || (rasMessage != 0 && message == rasMessage))
        return OnDialerMessage(window, message, first, second);
    return DefWindowProcA(window, message, first, second);
}

// A timer tick or a RAS event: handled on the dialer under the table lock;
// a disconnect that follows waits after the lock is left.
LRESULT Win95Dialer::OnDialerMessage(HWND window, UINT message, WPARAM first, LPARAM second) {
    bool timer = message == WM_TIMER;
    bool ending = false;
    bool dropped = false;
    DWORD dropError = 0;
    DialEnd end = {};
    {
        ActiveDialers::Guard hold;
        Win95Dialer* dialer = ActiveDialers::Find(window);
        if (!dialer) {
            g_Log(LOG_ERROR) << (timer ? "DialWndProc(): WM_TIMER recv'd, object not found\n"
                                       : "DialWndProc(): RAS Message recv'd, object not found\n");
            return 0;
        }
        if (timer) {
            dropped = dialer->LineDropped(&dropError);
            ending = dropped && dialer->PostDialerEvent(RASCS_Disconnected, 0);
        } else {
            ending = dialer->PostDialerEvent(static_cast<DWORD>(first), static_cast<DWORD>(second));
        }
        if (ending) end = dialer->TakeDial();
    }
    if (ending) FinishDial(end, false);
    if (dropped) {
        if (dropError != 0)
            g_Log(LOG_ERROR) << "DialWndProc(): Connection dropped"
                             << " RAS Error = " << dropError << "\n";
        else
            g_Log(LOG_ERROR) << "DialWndProc(): Connection dropped\n";
    }
    return timer ? DefWindowProcA(window, message, first, second) : 0;
}
